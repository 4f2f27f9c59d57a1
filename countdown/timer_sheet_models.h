#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "app_list_model.h"
#include "sound_list_model.h"
#include "timer_profile.h"

// What the pages of the countdown program's sheet "詳細設定" decide, on their
// working copies; the page procedures move the results to their controls.

// --- General page ------------------------------------------------------------

inline constexpr wchar_t kTimerFolderTooLong[] = L"イメージ保存先のパスが長すぎます。";
inline constexpr wchar_t kTimerFolderTooShort[] = L"イメージ保存先のパスが短すぎます。";
inline constexpr wchar_t kTimerMinutesRefused[] =
    L"[終了○○分前にカウント画面を最前面に表示]の項の設定値が不正です。\n1~60の値を入れて下さい。";

// The message that refuses a capture folder text of `length` characters, or
// null. captureFolder keeps 219 characters, so 220 and more are refused; an
// empty text passes (the default folder is stored instead).
const wchar_t* TimerCaptureFolderRefusal(size_t length);
// The minutes of the bring-to-front edit are usable from 1 to 60.
bool TimerBringToFrontMinutesValid(int minutes);
// "<programFolder>ss".
void TimerDefaultCaptureFolder(wchar_t (&folder)[MAX_PATH]);

// --- Applications page -------------------------------------------------------

// The page's working copy: ten entries and the entry shown at each row.
struct TimerAppList {
  wchar_t paths[kAppCount][kPathChars];
  wchar_t arguments[kAppCount][kPathChars];
  int32_t delays[kAppCount];  // -1: free entry
  uint8_t minimized[kAppCount];
  int32_t order[kAppCount];
};
AppListView TimerAppView(TimerAppList* list);

// The stored entries up to the first delay of -1, at most ten, row i in entry i.
void TimerLoadAppList(const TimerSettings& settings, TimerAppList* list);
// Clears the stored list and writes the rows in display order.
void TimerStoreAppList(const TimerAppList& list, TimerSettings* settings);
// ".exe" in any letter case.
bool TimerHasExeExtension(const wchar_t* path);

// --- Sounds page -------------------------------------------------------------

// The sounds page edits a SoundListModel: loaded from and stored into the
// record's first soundCount sounds.
void TimerLoadSoundList(const TimerSettings& settings, SoundListModel* list);
void TimerStoreSoundList(const SoundListModel& list, TimerSettings* settings);
// What soundIndex stores for a song list's selection: no selection (-1) or
// one past the rows is "none" (0), since the count dialog plays row index - 1.
int32_t TimerStoredSoundIndex(int selection, int rowCount);

// --- Profile page ------------------------------------------------------------

// Which day lists apply for a mode and the resume option.
struct TimerDayLists {
  bool end;
  bool resume;
};
TimerDayLists TimerApplicableDayLists(int32_t mode, bool resumeEnabled);
// The resume list's position (days - 1) after the end list (days) or the
// resume list changed: never before the end list's position.
int TimerCoupledResumePosition(int endPosition, int resumePosition);
// The text an hour edit is corrected to, or null when it may stay.
const wchar_t* TimerHourCorrection(const wchar_t* text);
