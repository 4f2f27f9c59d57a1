#include "process_windows.h"

#include "wait.h"

namespace testing_support::process_windows {

namespace {

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t cls[64] = L"";
  GetClassNameW(window, cls, 64);
  if (pid == search->processId && IsWindowVisible(window) && lstrcmpW(cls, search->className) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectTexts(HWND window, LPARAM lParam) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  reinterpret_cast<std::vector<std::wstring>*>(lParam)->push_back(text);
  return TRUE;
}

}  // namespace

std::wstring HostPathToWine(const char* path) {
  std::wstring result = L"Z:";
  for (const char* p = path; *p; ++p) result += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return result;
}

HWND FindProcessWindowNow(DWORD processId, const wchar_t* className) {
  WindowSearch search{processId, className, nullptr};
  EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* className) {
  HWND found = nullptr;
  PumpMessagesUntil([&] { return (found = FindProcessWindowNow(processId, className)) != nullptr; });
  return found;
}

std::vector<std::wstring> ChildTexts(HWND window) {
  std::vector<std::wstring> texts;
  EnumChildWindows(window, CollectTexts, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
  for (const auto& t : texts)
    if (t == text) return true;
  return false;
}

}  // namespace testing_support::process_windows
