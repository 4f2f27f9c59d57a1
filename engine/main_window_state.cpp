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
RECT workArea;

HDC screenDC;
HPEN separatorPen;
HFONT uiFont;
HFONT uiBoldFont;
HFONT uiUnderlineFont;
HFONT meiryoUi16Font;
bool meiryoAvailable;
bool meiryoUiAvailable;
HBITMAP buttonBitmaps[kButtonBitmapCount];
HDC buttonBitmapDCs[kButtonBitmapCount];
wchar_t defaultCaptureFolder[MAX_PATH];

bool startWithWindows;

bool CountdownDialogExists() { return countdownDialog && IsWindow(countdownDialog); }
