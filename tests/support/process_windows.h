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

}  // namespace testing_support::process_windows
