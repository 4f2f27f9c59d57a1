#pragma once
#include <windows.h>

// The countdown program's frame: it holds the settings dialog, owns the tray
// icon and answers its menus.

extern wchar_t timerWindowTitle[100];
extern wchar_t timerClassName[100];

// Registers the main window class and "CountClass" (icon 183).
bool TimerRegisterWindowClasses(HINSTANCE instance);
// Creates and shows the main window (the program paths filled first); 1 on
// success, 0 when it could not be made.
int TimerCreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK TimerMainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The message loop, passing each message through the open modeless dialogs.
int TimerRunMessageLoop();

// The tray's right-button menu: 173 until a count window was first created,
// then 109 with its checks and greying.
HMENU TimerLoadTrayMenu(HINSTANCE instance);

inline constexpr int kTimerIconId = 183;
inline constexpr const wchar_t* kTimerIniPath = L".\\sopora.ini";
inline constexpr const wchar_t* kTimerMutexName = L"MultiplexStartingPreventionTest";
