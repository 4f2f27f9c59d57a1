#include "main_window_state.h"

HWND mainWindow;
HWND mainDialog;
HWND countdownDialog;
HWND countWindow;
HWND confirmDialog;
HWND featureDialog;
HWND aboutDialog;
uint8_t soundMuted;
uint8_t countWindowCreated;
OSVERSIONINFOW windowsVersion;
RECT workArea;
