#pragma once
#include <windows.h>

#include "timer_profile.h"

// Dialog 129, the child that fills the main window. For now it holds only
// what starting a loaded profile needs: the profile's mode and action, "開始"
// and "終了".
HWND CreateTimerSettingsDialog(HWND mainWindow, bool profileLoaded);
INT_PTR CALLBACK TimerMainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// What the pickers would show after the last apply (or the open).
extern TimerPickerValues settingsPickers;

inline constexpr int kSettingsDialogId = 129;
inline constexpr int kSettingsSummaryId = 1054;
