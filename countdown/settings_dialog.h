#pragma once
#include <windows.h>

#include <cstdint>

#include "timer_profile.h"

// Dialog 129, the child that fills the main window: mode, action, the end
// time or the processor watch, the resume time, and the start.
HWND CreateTimerSettingsDialog(HWND mainWindow, bool profileLoaded);
INT_PTR CALLBACK TimerMainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the controls of a mode (the layout recomputed), stores `mode` and
// updates the resume controls.
void TimerApplyMode(HWND dialog, int32_t mode);
// Check 1249 only for hibernate and standby; the resume row only when, in
// addition, resumeEnabled is 1.
void TimerEnableResumeControls(HWND dialog);

struct TimerResumeControlState {
  bool checkEnabled;  // 1249
  bool rowEnabled;    // 1065, 1242, 1243
};
TimerResumeControlState TimerResumeControlsFor(int32_t action, uint8_t resumeEnabled);

// What the four pickers show now.
TimerPickerValues TimerReadPickers(HWND dialog);
// Sets the pickers; a date before the date pickers' minimum (today at 00:00
// when the dialog opened) is raised to it.
void TimerSetPickers(HWND dialog, const TimerPickerValues& values);
// The later of a date and the minimum.
SYSTEMTIME TimerClampToMinimum(const SYSTEMTIME& date, const SYSTEMTIME& minimum);

inline constexpr int kSettingsDialogId = 129;
inline constexpr int kFocusLabelId = 1050;
inline constexpr int kActionLabelId = 1052;
inline constexpr int kModeComboId = 1235;
inline constexpr int kActionComboId = 1236;
inline constexpr int kEndLabelId = 1054;
inline constexpr int kEndDatePickerId = 1240;
inline constexpr int kEndTimePickerId = 1241;
inline constexpr int kCpuLeadLabelId = 1076;
inline constexpr int kCpuSecondsComboId = 1239;
inline constexpr int kCpuMiddleLabelId = 1078;
inline constexpr int kCpuPercentComboId = 1244;
inline constexpr int kCpuTailLabelId = 1080;
inline constexpr int kResumeCheckId = 1249;
inline constexpr int kResumeLabelId = 1065;
inline constexpr int kResumeDatePickerId = 1242;
inline constexpr int kResumeTimePickerId = 1243;
inline constexpr int kTimerMenuButtonId = 1275;
inline constexpr int kTimerMenuId = 151;

// Commands of menu 151 and the reset commands of the quick menu.
inline constexpr UINT kCmdTimerSettingsSheet = 0x8045;
inline constexpr UINT kCmdTimerProfiles = 0x8046;
inline constexpr UINT kCmdTimerHandOver = 0x8047;
inline constexpr UINT kCmdTimerResetEnd = 0x8042;
inline constexpr UINT kCmdTimerResetResume = 0x8043;

// Client size of the dialog (and of the main window) in 96-DPI pixels.
inline constexpr int kTimerDialogWidth = 300;
inline constexpr int kTimerDialogHeight = 281;
// How far the resume row moves down in CpuUsage mode.
inline constexpr int kCpuRowShift = 23;

inline constexpr const wchar_t* kSchedulerFileName = L"SoporaScheduler.exe";
inline constexpr const wchar_t* kHandOverQuestion = L"本プログラムを終了し、スケジューラーを起動します。よろしいですか？";
inline constexpr const wchar_t* kSchedulerMissingText = L"SoporaScheduler.exeが見つかりませんでした。";

// Dialog state.
extern HWND timerSavedFocus;
extern uint8_t timerMenuOpen;
