#pragma once
#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

#include "timer_profile.h"

// Starting a countdown from timerSettings: the start checks, then the count
// dialog and the count window in place of the main window.

// The calendar record of a time: year - 1900, month - 1, the day, the clock,
// the weekday, daylight-saving flag 0. Converted as local time it gives the
// calendar time the start checks compare.
struct tm TimerSystemTimeToTm(const SYSTEMTIME& time);
// a - b in seconds.
double TimerDiffTime(const SYSTEMTIME& a, const SYSTEMTIME& b);

using TimerFileExistsCall = bool (*)(const wchar_t* path);
bool TimerFileExistsOnDisk(const wchar_t* path);  // PathFileExistsW

// What the checks decided. A refusal stops the start with its box; the
// missing files are asked about, each list with its own Yes/No question.
struct TimerStartCheck {
  const wchar_t* refusal = nullptr;  // null: the start may go on
  const wchar_t* refusalCaption = L"";
  SYSTEMTIME endTime{};     // composed from the end pickers (Time mode)
  SYSTEMTIME resumeTime{};  // composed from the resume pickers (resume on)
  std::vector<std::wstring> missingApps;
  std::vector<std::wstring> missingSounds;
};

// The checks on the settings, what the pickers show and the current time.
// cpuSeconds and cpuPercent are those of the settings.
TimerStartCheck TimerCheckStart(const TimerSettings& settings, const TimerPickerValues& pickers,
                                const SYSTEMTIME& now, TimerFileExistsCall exists);

// The two Yes/No questions, with the listed paths (each read up to its
// buffer's end, so a path without its terminator stays in bounds).
std::wstring TimerMissingAppsQuestion(const std::vector<std::wstring>& paths);
std::wstring TimerMissingSoundsQuestion(const std::vector<std::wstring>& paths);

// The whole start: the checks (their boxes over the owner), the answers to the
// questions, then the count dialog with the count window behind it and the main
// window hidden. False when the start was refused or not confirmed.
bool TimerStartCountdown(HWND owner, const TimerPickerValues& pickers);

inline constexpr const wchar_t* kEndTooSoonText = L"終了時刻は1分以上先を指定して下さい。";
inline constexpr const wchar_t* kBadCpuValuesText = L"不正な値です";
inline constexpr const wchar_t* kBadCpuValuesCaption = L"エラー";
inline constexpr const wchar_t* kBadResumeText = L"復帰時刻の設定が変です";
