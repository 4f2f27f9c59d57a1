#include "process_windows.h"

#include <gtest/gtest.h>

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

PROCESS_INFORMATION StartedPrograms::Start(const std::wstring& exe, const std::wstring& arguments,
                                           const std::wstring& folder) {
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process))
    ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
  if (process.hProcess) processes_.push_back(process);
  return process;
}

void StartedPrograms::EndAll() {
  for (PROCESS_INFORMATION& p : processes_) {
    if (WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(p.hProcess, 1);
    WaitForSingleObject(p.hProcess, 10000);
    CloseHandle(p.hProcess);
    CloseHandle(p.hThread);
  }
  processes_.clear();
}

DWORD StartedPrograms::WaitForExit(const PROCESS_INFORMATION& process) {
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) return 0xFFFFFFFF;
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(process.hProcess, &code);
  return code;
}

}  // namespace testing_support::process_windows
