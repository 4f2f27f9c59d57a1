// A child program (no console) for the launcher tests: appends one line describing how it
// was started to the file named by SOPORA_RECORD_FILE, in UTF-8:
// <argv[1]>\x1f<argv[2]>...\t<argc>\t<STARTF flags>\t<wShowWindow>\t<command line>\n
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return 4;
  wchar_t target[MAX_PATH];
  if (!GetEnvironmentVariableW(L"SOPORA_RECORD_FILE", target, MAX_PATH)) return 2;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  std::wstring line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += L'\x1f';
    line += argv[i];
  }
  wchar_t numbers[64];
  swprintf(numbers, 64, L"\t%d\t%lu\t%u\t", argc, startup.dwFlags, startup.wShowWindow);
  line += numbers;
  line += GetCommandLineW();
  line += L'\n';
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &bytes[0], size,
                      nullptr, nullptr);
  // Children started in the same second append at once, and Wine's append is
  // no atomic one: one writer at a time, the others wait for their turn.
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int tries = 0; tries < 1000 && file == INVALID_HANDLE_VALUE; ++tries) {
    file = CreateFileW(target, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION) return 3;
    if (file == INVALID_HANDLE_VALUE) Sleep(10);
  }
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
