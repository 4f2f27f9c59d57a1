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

// Drawing resources every dialog uses, made once by the main window.
extern HDC screenDC;
extern HPEN separatorPen;  // solid, width 1, RGB(180, 180, 180)
extern HFONT uiFont;
extern HFONT uiBoldFont;
extern HFONT uiUnderlineFont;
extern HFONT meiryoUi16Font;  // null when "Meiryo UI" is not installed
extern bool meiryoAvailable;
extern bool meiryoUiAvailable;
inline constexpr int kButtonBitmapCount = 5;  // resources 164-168, 28 x 28
extern HBITMAP buttonBitmaps[kButtonBitmapCount];
extern HDC buttonBitmapDCs[kButtonBitmapCount];
extern wchar_t defaultCaptureFolder[MAX_PATH];

// "Setting" / "StartUp": the Startup-folder shortcut is on. The count window's
// positions and flags live in countWindowSettings (count_window.h).
extern bool startWithWindows;

// The countdown dialog exists: never a stale or failed handle.
bool CountdownDialogExists();
