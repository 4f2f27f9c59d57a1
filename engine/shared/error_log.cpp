#include "error_log.h"

#include <string>

#include "clock.h"
#include "weekday_names.h"

namespace {

const wchar_t* logFileName = kSchedulerErrorLogName;

// The UI thread and mail workers append at the same moment; one lock keeps
// every entry whole.
struct LogLock {
  CRITICAL_SECTION section;
  LogLock() { InitializeCriticalSection(&section); }
  ~LogLock() { DeleteCriticalSection(&section); }
};
LogLock& TheLock() {
  static LogLock lock;
  return lock;
}

// Text mode: each line feed goes to the file as CR LF (system texts already
// carry CR LF and keep a single CR).
void AppendWithCrLf(std::wstring& out, const wchar_t* text) {
  for (const wchar_t* p = text; *p; ++p) {
    if (*p == L'\n' && (p == text || p[-1] != L'\r')) out += L'\r';
    out += *p;
  }
}

bool WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

}  // namespace

void SetErrorLogFileName(const wchar_t* fileName) { logFileName = fileName; }
const wchar_t* GetErrorLogFileName() { return logFileName; }

wchar_t* FetchSystemErrorText(DWORD code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                     FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                 reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  return text;
}

void AppendErrorLog(const wchar_t* message, const wchar_t* title) {
  // Taken first, so that it still describes the caller's failure.
  const DWORD lastError = GetLastError();
  wchar_t* systemText = nullptr;
  if (!message) {
    systemText = FetchSystemErrorText(lastError);
    message = systemText ? systemText : L"";
  }

  SYSTEMTIME now;
  GetClockLocalTime(&now);
  wchar_t stamp[64];
  const WORD day = now.wDayOfWeek <= 6 ? now.wDayOfWeek : 0;
  swprintf(stamp, 64, L"[%d/%02d/%02d %02d:%02d:%02d (%ls)]\n", now.wYear, now.wMonth, now.wDay,
           now.wHour, now.wMinute, now.wSecond, weekdayNames[day]);

  std::wstring entry;
  AppendWithCrLf(entry, stamp);
  entry += L'\x25A0';
  AppendWithCrLf(entry, title ? title : L"");
  entry += L"\r\n";
  AppendWithCrLf(entry, message);
  entry += L"\r\n\r\n";

  EnterCriticalSection(&TheLock().section);
  HANDLE file = CreateFileW(logFileName, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != 0;
    if (ok && size.QuadPart == 0) {
      const wchar_t bom = 0xFEFF;
      ok = WriteAll(file, &bom, sizeof bom);
    }
    if (ok) WriteAll(file, entry.data(), static_cast<DWORD>(entry.size() * sizeof(wchar_t)));
    CloseHandle(file);
  }
  LeaveCriticalSection(&TheLock().section);

  if (systemText) LocalFree(systemText);
}

void ShowSystemErrorMessage(const wchar_t* caption, HWND owner, wchar_t** systemText) {
  MessageBoxW(owner, (systemText && *systemText) ? *systemText : L"", caption, MB_ICONERROR);
  if (systemText && *systemText) {
    LocalFree(*systemText);
    *systemText = nullptr;
  }
}
