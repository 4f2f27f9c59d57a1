#pragma once
#include <windows.h>

// Stand-ins for the settings sheet and the profile manager until they are
// linked: each says that its screen is not there yet.
void TimerOpenSettingsSheet(HWND settingsDialog);
// 1 when a profile was loaded; the stand-in loads none.
INT_PTR TimerRunProfileDialog(HWND settingsDialog);
