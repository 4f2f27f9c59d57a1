#pragma once
#include <windows.h>

// Stand-in for the settings sheet until it is linked: it says that its screen
// is not there yet.
void TimerOpenSettingsSheet(HWND settingsDialog);
