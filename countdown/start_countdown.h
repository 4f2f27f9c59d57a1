#pragma once
#include <windows.h>

#include "timer_profile.h"

// Starting a countdown from timerSettings: the start checks, then the count
// dialog and the count window in place of the main window. `pickers` are what
// the settings dialog's date and time pickers show. False, with the reason
// shown over the owner, when the start is refused.
bool TimerStartCountdown(HWND owner, const TimerPickerValues& pickers);

inline constexpr const wchar_t* kEndTooSoonText = L"終了時刻は1分以上先を指定して下さい。";
inline constexpr const wchar_t* kBadCpuValuesText = L"不正な値です";
inline constexpr const wchar_t* kBadResumeText = L"復帰時刻の設定が変です";
