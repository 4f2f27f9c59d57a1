#pragma once
#include <windows.h>

#include <cstdint>

// Dialog 133: the mode of the whole schedule.
inline constexpr int kModeLabelId = 1049;
inline constexpr int kDateModeRadioId = 1046;
inline constexpr int kDailyModeRadioId = 1047;
inline constexpr int kWeeklyModeRadioId = 1048;

// Modal over the owner. atStartup 1 labels button 2 "終了". Returns 1 after
// OK (scheduleMode set), 0 after cancel (scheduleMode unchanged). At start-up
// the caller ends the program on 0 (its WM_CREATE fails), so the dialog never
// destroys its owner from inside the owner's creation.
INT_PTR RunModeDialog(HWND owner, int atStartup);
INT_PTR CALLBACK ModeSelectDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

extern uint8_t exitOnCancel;
