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

namespace {

void ClearAppList(TimerAppList* list) {
  std::memset(list, 0, sizeof *list);
  for (int i = 0; i < kAppCount; ++i) {
    list->delays[i] = -1;
    list->order[i] = -1;
  }
}

int FreeAppSlot(const TimerAppList& list) {
  for (int slot = 0; slot < kAppCount; ++slot) {
    if (list.delays[slot] == -1) return slot;
  }
  return -1;
}

// Moves the order entries so that the entry at `from` ends up at `to`.
template <size_t N>
void MoveOrderEntry(int32_t (&order)[N], int from, int to) {
  const int32_t moved = order[from];
  if (from < to) {
    for (int i = from; i < to; ++i) order[i] = order[i + 1];
  } else {
    for (int i = from; i > to; --i) order[i] = order[i - 1];
  }
  order[to] = moved;
}

template <size_t N>
int OrderLength(const int32_t (&order)[N]) {
  int count = 0;
  while (count < static_cast<int>(N) && order[count] >= 0 && order[count] < static_cast<int>(N)) ++count;
  return count;
}

template <size_t N>
void RemoveOrderEntry(int32_t (&order)[N], int row) {
  const int count = OrderLength(order);
  for (int i = row; i + 1 < count; ++i) order[i] = order[i + 1];
  order[count - 1] = -1;
}

}  // namespace

void TimerLoadAppList(const TimerSettings& settings, TimerAppList* list) {
  ClearAppList(list);
  for (int i = 0; i < kAppCount && settings.appDelays[i] != -1; ++i) {
    CopyText(list->paths[i], kPathChars, settings.appPaths[i]);
    CopyText(list->arguments[i], kCommandChars, settings.appArguments[i]);
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
  const int count = TimerAppRowCount(list);
  for (int row = 0; row < count; ++row) {
    const int slot = list.order[row];
    CopyText(settings->appPaths[row], kPathChars, list.paths[slot]);
    wcsncpy(settings->appArguments[row], list.arguments[slot], kTimerArgumentChars);
    settings->appDelays[row] = list.delays[slot];
    settings->appMinimized[row] = list.minimized[slot];
  }
}

int TimerAppRowCount(const TimerAppList& list) { return OrderLength(list.order); }

bool TimerHasExeExtension(const wchar_t* path) { return _wcsicmp(PathFindExtensionW(path), L".exe") == 0; }

int TimerFindAppRow(const TimerAppList& list, const wchar_t* path) {
  const int count = TimerAppRowCount(list);
  for (int row = 0; row < count; ++row) {
    if (wcscmp(list.paths[list.order[row]], path) == 0) return row;
  }
  return -1;
}

int TimerSortedAppRow(const TimerAppList& list, int delay, int skipRow) {
  const int count = TimerAppRowCount(list);
  int position = 0;
  for (int row = 0; row < count; ++row) {
    if (row == skipRow) continue;
    if (list.delays[list.order[row]] > delay) return position;
    ++position;
  }
  return position;
}

int TimerPlaceApp(TimerAppList* list, int overwriteRow, const wchar_t* path, const wchar_t* arguments, int delay,
                  bool minimized) {
  const int count = TimerAppRowCount(*list);
  int row;
  int slot;
  if (overwriteRow >= 0 && overwriteRow < count) {
    slot = list->order[overwriteRow];
    row = overwriteRow;
    if (list->delays[slot] != delay) {
      const int target = TimerSortedAppRow(*list, delay, overwriteRow);
      if (target != overwriteRow) MoveOrderEntry(list->order, overwriteRow, target);
      row = target;
    }
  } else {
    slot = FreeAppSlot(*list);
    if (slot < 0 || count >= kAppCount) return -1;
    row = TimerSortedAppRow(*list, delay, -1);
    list->order[count] = slot;
    MoveOrderEntry(list->order, count, row);
  }
  CopyText(list->paths[slot], kPathChars, path);
  std::memset(list->arguments[slot], 0, sizeof list->arguments[slot]);
  wcsncpy(list->arguments[slot], arguments, kTimerArgumentChars);
  list->delays[slot] = delay;
  list->minimized[slot] = minimized ? 1 : 0;
  return row;
}

bool TimerDeleteAppRow(TimerAppList* list, int row) {
  if (row < 0 || row >= TimerAppRowCount(*list)) return false;
  const int slot = list->order[row];
  list->delays[slot] = -1;
  list->paths[slot][0] = L'\0';
  list->arguments[slot][0] = L'\0';
  list->minimized[slot] = 0;
  RemoveOrderEntry(list->order, row);
  return true;
}

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
