#include "startup_settings.h"

#include <shellapi.h>

#include <cwchar>

#include "main_window_state.h"
#include "schedule_model.h"

StartArgument FindStartProfileName(int argc, wchar_t* const* argv, wchar_t* name) {
  name[0] = L'\0';
  for (int i = 1; i < argc; ++i) {
    const wchar_t* argument = argv[i];
    if (wcslen(argument) < 7 || wcsncmp(argument, L"start:", 6) != 0) continue;
    const wchar_t* given = argument + 6;
    if (wcslen(given) >= static_cast<size_t>(kProfileNameChars)) return StartArgument::TooLong;
    wcscpy(name, given);
    return StartArgument::Name;
  }
  return StartArgument::None;
}

StartArgument ParseStartArgument(const wchar_t* commandLine, wchar_t* name) {
  name[0] = L'\0';
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(commandLine, &argc);
  if (!argv) return StartArgument::None;
  const StartArgument result = FindStartProfileName(argc, argv, name);
  LocalFree(argv);
  return result;
}

int ParseIniNumber(const wchar_t* text) {
  const wchar_t* p = text;
  while (*p == L' ' || *p == L'\t') ++p;
  bool negative = false;
  if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
  long long value = 0;
  while (*p >= L'0' && *p <= L'9' && value < 0x7FFFFFFF) value = value * 10 + (*p++ - L'0');
  if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
  return static_cast<int>(negative ? -value : value);
}

int ReadIniNumber(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText,
                  int bufferChars, const wchar_t* iniPath) {
  wchar_t buffer[16] = L"";
  if (bufferChars > 16) bufferChars = 16;
  GetPrivateProfileStringW(section, key, defaultText, buffer, static_cast<DWORD>(bufferChars), iniPath);
  return ParseIniNumber(buffer);
}

void LoadStartUpSetting(const wchar_t* iniPath) {
  startWithWindows = ReadIniNumber(L"Setting", L"StartUp", L"0", 2, iniPath) != 0;
}

void ReadDefaultProfileName(wchar_t* name, const wchar_t* iniPath) {
  GetPrivateProfileStringW(L"Setting", L"DefProfile", L"", name, kProfileNameChars, iniPath);
}
