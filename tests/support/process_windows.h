#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Watching the windows of a program the test started as a separate process.
namespace testing_support::process_windows {

// A host path (as CMake gives it) as Wine sees it, on drive Z:.
std::wstring HostPathToWine(const char* path);
// A visible top-level window of that class and process, or null.
HWND FindProcessWindowNow(DWORD processId, const wchar_t* className);
// Waits for such a window; the deadline only stops a broken start from hanging the run.
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className);
// The texts of the window's children.
std::vector<std::wstring> ChildTexts(HWND window);
bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text);

// The program processes one test started: each runs in `folder` with its
// command line "<exe>" plus `arguments`, and whatever still runs when the test
// ends is terminated.
class StartedPrograms {
 public:
  StartedPrograms() = default;
  StartedPrograms(const StartedPrograms&) = delete;
  StartedPrograms& operator=(const StartedPrograms&) = delete;
  ~StartedPrograms() { EndAll(); }

  PROCESS_INFORMATION Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder);
  void EndAll();
  // The exit code, or 0xFFFFFFFF when the process did not end within 30 s.
  static DWORD WaitForExit(const PROCESS_INFORMATION& process);

 private:
  std::vector<PROCESS_INFORMATION> processes_;
};

}  // namespace testing_support::process_windows
