#pragma once
#include <windows.h>

#include <cstdint>

#include "shared/ui_setup.h"

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

// The work area, fonts and pen every dialog uses are in shared/ui_setup.h.
inline constexpr int kButtonBitmapCount = 5;  // resources 164-168, 28 x 28
extern HBITMAP buttonBitmaps[kButtonBitmapCount];
extern HDC buttonBitmapDCs[kButtonBitmapCount];

// "Setting" / "StartUp": the Startup-folder shortcut is on. The count window's
// positions and flags live in countWindowSettings (count_window.h).
extern bool startWithWindows;

// The countdown dialog exists: never a stale or failed handle.
bool CountdownDialogExists();
