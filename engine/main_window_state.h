#pragma once
#include <windows.h>

#include <cstdint>

// Process-wide handles and flags of the scheduler's windows, on the
// user-interface thread.
extern HWND mainWindow;
extern HWND mainDialog;
extern HWND countdownDialog;  // null while no run is active
extern HWND countWindow;
extern HWND confirmDialog;
extern HWND featureDialog;
extern HWND aboutDialog;
extern uint8_t soundMuted;
extern uint8_t countWindowCreated;
extern OSVERSIONINFOW windowsVersion;
extern RECT workArea;
