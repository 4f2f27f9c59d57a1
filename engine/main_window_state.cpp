#include "main_window_state.h"

// soundMuted lives with the sound player, which both programs share.

HWND mainWindow;
HWND mainDialog;
HWND countdownDialog;
HWND countWindow;
HWND confirmDialog;
HWND featureDialog;
HWND aboutDialog;
uint8_t countWindowCreated;
OSVERSIONINFOW windowsVersion;

HBITMAP buttonBitmaps[kButtonBitmapCount];
HDC buttonBitmapDCs[kButtonBitmapCount];

bool startWithWindows;

bool CountdownDialogExists() { return countdownDialog && IsWindow(countdownDialog); }
