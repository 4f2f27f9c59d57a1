#include "timer_sheet_models.h"

#include <shlwapi.h>

#include <cstring>
#include <cwchar>

#include "shared/program_paths.h"
#include "shared/utilities.h"

const wchar_t* TimerCaptureFolderRefusal(size_t length) {
  if (length >= static_cast<size_t>(kCaptureFolderChars)) return kTimerFolderTooLong;
  if (length >= 1 && length <= 3) return kTimerFolderTooShort;
  return nullptr;
}

bool TimerBringToFrontMinutesValid(int minutes) { return minutes >= 1 && minutes <= 60; }

void TimerDefaultCaptureFolder(wchar_t (&folder)[MAX_PATH]) {
  _snwprintf(folder, MAX_PATH, L"%lsss", programFolder);
  folder[MAX_PATH - 1] = L'\0';
}

// --- Applications page -------------------------------------------------------

AppListView TimerAppView(TimerAppList* list) {
  return AppListView{list->paths, list->arguments, list->delays, list->order, list->minimized};
}

void TimerLoadAppList(const TimerSettings& settings, TimerAppList* list) {
  std::memset(list, 0, sizeof *list);
  for (int i = 0; i < kAppCount; ++i) {
    list->delays[i] = -1;
    list->order[i] = -1;
  }
  for (int i = 0; i < kAppCount && settings.appDelays[i] != -1; ++i) {
    CopyText(list->paths[i], kPathChars, settings.appPaths[i], kPathChars);
    CopyText(list->arguments[i], kPathChars, settings.appArguments[i], kCommandChars);
    list->minimized[i] = settings.appMinimized[i];
    list->delays[i] = settings.appDelays[i];
    list->order[i] = i;
  }
}

void TimerStoreAppList(const TimerAppList& list, TimerSettings* settings) {
  std::memset(settings->appPaths, 0, sizeof settings->appPaths);
  std::memset(settings->appArguments, 0, sizeof settings->appArguments);
  std::memset(settings->appMinimized, 0, sizeof settings->appMinimized);
  for (int32_t& delay : settings->appDelays) delay = -1;
  const int count = AppListLength(list.order);
  for (int row = 0; row < count; ++row) {
    const int slot = list.order[row];
    CopyText(settings->appPaths[row], kPathChars, list.paths[slot], kPathChars);
    CopyText(settings->appArguments[row], kCommandChars, list.arguments[slot], kAppArgumentChars);
    settings->appDelays[row] = list.delays[slot];
    settings->appMinimized[row] = list.minimized[slot];
  }
}

bool TimerHasExeExtension(const wchar_t* path) { return _wcsicmp(PathFindExtensionW(path), L".exe") == 0; }

// --- Sounds page -------------------------------------------------------------

void TimerLoadSoundList(const TimerSettings& settings, SoundListModel* list) {
  LoadSoundListModel(settings.soundPaths, settings.volumes, settings.soundCount, list);
}

void TimerStoreSoundList(const SoundListModel& list, TimerSettings* settings) {
  StoreSoundListModel(list, settings->soundPaths, settings->volumes, &settings->soundCount);
}

int32_t TimerStoredSoundIndex(int selection, int rowCount) {
  return selection >= 0 && selection <= rowCount ? selection : 0;
}

// --- Profile page ------------------------------------------------------------

TimerDayLists TimerApplicableDayLists(int32_t mode, bool resumeEnabled) {
  if (mode == Time) return TimerDayLists{true, resumeEnabled};
  return TimerDayLists{false, resumeEnabled};
}

int TimerCoupledResumePosition(int endPosition, int resumePosition) {
  return resumePosition < endPosition ? endPosition : resumePosition;
}

const wchar_t* TimerHourCorrection(const wchar_t* text) {
  return _wtoi(text) > 23 ? L"23" : nullptr;
}
