#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "schedule_model.h"  // kPathChars, kCommandChars, kAppCount, kSoundCount, PowerAction

// The countdown program's one settings record and its profile file.

enum CountdownMode : int32_t { Time = 0, CpuUsage = 1, EndNow = 2 };

inline constexpr int kCaptureFolderChars = 220;
inline constexpr int kTimerProfileNameChars = 32;  // at most 31 characters

struct TimerSettings {
  char versionText[5];
  int32_t cpuPercent;
  int32_t cpuSeconds;
  int32_t mode;    // CountdownMode
  int32_t action;  // PowerAction 0-4
  uint8_t reserved;
  uint8_t resumeEnabled;
  uint8_t captureEnabled;
  int32_t captureFormat;  // 0 BMP, 1 JPEG
  uint8_t forceAction;
  wchar_t captureFolder[kCaptureFolderChars];
  uint8_t monitorOnAfterResume;
  uint8_t endNowNoCapture;
  uint8_t bringToFront;
  int32_t bringToFrontSeconds;
  uint8_t hideTimerAtStart;
  wchar_t appArguments[kAppCount][kCommandChars];
  uint8_t appMinimized[kAppCount];
  wchar_t appPaths[kAppCount][kPathChars];
  uint8_t unexpectedResumeNoApps;
  int32_t appDelays[kAppCount];  // -1 marks an empty slot and ends the list
  uint8_t appsAfterResume;
  uint8_t unexpectedResumeNoSound;
  wchar_t soundPaths[kSoundCount][kPathChars];
  int32_t soundCount;
  int32_t volumes[kSoundCount];
  int32_t soundSeconds[2];  // [0] before the end, [1] after the resume
  int32_t soundIndex[2];    // 1-based entry of the sound list, 0 none
  int32_t endDaysAhead;
  int32_t resumeDaysAhead;
  int32_t minusDayFromHour;
  int32_t minusDayToHour;
  uint8_t advanceDate;
  uint8_t noKeepTime;
  uint8_t minusDayInWindow;
  SYSTEMTIME endTime;
  SYSTEMTIME resumeTime;
};

extern TimerSettings timerSettings;

// The defaults the settings dialog sets when no profile was loaded: JPEG
// capture, one day ahead for both dates, bring to front 300 s before the end,
// the one-day-back window 0-6, no applications; end now without capture.
void SetTimerSettingsDefaults(TimerSettings* settings);

// The fixed part of a profile file, and where its tail starts.
inline constexpr size_t kTimerProfileFixedSize = 16129;
// What follows the fixed part, taken by the writer from the settings dialog's
// controls (or from the record where no dialog is open).
struct TimerProfileTail {
  int32_t cpuSeconds;
  int32_t cpuPercent;
  SYSTEMTIME endTime;
  SYSTEMTIME resumeTime;
};
// 16129, plus 8 in CpuUsage mode, plus 16 for each stored time.
size_t TimerProfileSize(const TimerSettings& settings);
// The whole file image; the version text is made fresh ("3.00").
std::string EncodeTimerProfile(const TimerSettings& settings, const TimerProfileTail& tail);

enum class TimerProfileDecode { Ok, Short, BadValues };
// Reads a file image into `out` (only on Ok), with every text terminated and
// the values a damaged or hand-made file could hold out of range clamped;
// refuses a mode or action outside its range, a stored time that is no date,
// and a file shorter than its own fixed part calls for. Extra bytes are ignored.
TimerProfileDecode DecodeTimerProfile(const std::string& bytes, TimerSettings* out);

// The start of a file that the profile list shows: the version text, the CPU
// values, the mode and the action.
inline constexpr size_t kTimerProfileHeadSize = 21;
// The mode and action stored in a file that begins with these bytes; false
// when there are fewer than kTimerProfileHeadSize of them.
bool ReadTimerProfileHead(const uint8_t* bytes, size_t size, int32_t* mode, int32_t* action);

// "<profileFolder><name>.dat"; false for a name the profile rule refuses or
// longer than 31 characters.
bool TimerProfilePath(const wchar_t* name, wchar_t (&path)[MAX_PATH]);

// Saves timerSettings as the profile `name`, through a temporary file that
// replaces the old one only when written whole. Failures are shown over the
// owner ("ファイル書き込みエラー") and leave the old file as it was.
bool TimerSaveProfileFile(HWND owner, const wchar_t* name);
// Loads the profile into timerSettings; a missing, unreadable or damaged file
// is shown over the owner ("プロファイル読み込みエラー") and changes nothing.
bool TimerLoadProfileFile(HWND owner, const wchar_t* name);

inline constexpr const wchar_t* kTimerWriteErrorCaption = L"ファイル書き込みエラー";
inline constexpr const wchar_t* kTimerReadErrorCaption = L"プロファイル読み込みエラー";
inline constexpr const wchar_t* kBadProfileNameText = L"プロファイル名に使用できない文字が含まれています。";
inline constexpr const wchar_t* kDamagedProfileText = L"ファイルが壊れています。";

// --- Applying a loaded profile ------------------------------------------------

// The hours of the one-day-back window: from `fromHour` forward, 23 followed by
// 0, up to but not including `toHour`; equal hours make an empty window.
bool HourInMinusDayWindow(int hour, int fromHour, int toHour);

// What the settings dialog's four pickers show after a load at `now`: the dates
// by the load-day rules (days ahead, the window one day back), the times as
// stored unless noKeepTime (else now's). Only the pickers' dates and the
// times' hour and minute count when a countdown starts.
struct TimerPickerValues {
  SYSTEMTIME endDate;
  SYSTEMTIME endTime;
  SYSTEMTIME resumeDate;
  SYSTEMTIME resumeTime;
};
TimerPickerValues TimerLoadedPickerValues(const TimerSettings& settings, const SYSTEMTIME& now);

// A start time from a date picker and a time picker: the date, the hour and
// the minute, seconds and milliseconds 0.
SYSTEMTIME TimerComposeStartTime(const SYSTEMTIME& date, const SYSTEMTIME& time);
