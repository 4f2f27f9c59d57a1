#pragma once
#include <windows.h>

// The scheduler's frame window: class, procedure and the commands of its tray
// menus and accelerators.

extern wchar_t windowTitle[100];  // string 103
extern wchar_t className[100];    // string 109

// The frame's class (string 109) and "CountClass". False when one fails.
bool RegisterWindowClasses(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One command of the tray menus (low word of WM_COMMAND's wParam).
void HandleMainCommand(HWND window, UINT id);
// The password prompt in front of a protected command: true when the lock is
// off or the right password was given.
bool PassPasswordLock(HWND owner);
