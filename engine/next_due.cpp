#include "next_due.h"

#include <shellapi.h>

#include <cmath>
#include <cwchar>

#include "main_window_state.h"
#include "mail_job_calls.h"
#include "shared/weekday_names.h"
#include "tray_icon.h"

wchar_t statusActionText[100];
wchar_t statusResumeText[100];
wchar_t scheduleStatusTip[128];

namespace {

// Item times of the repeating modes carry this date.
void MoveToRepeatingDate(SYSTEMTIME* t) {
  t->wYear = 2010;
  t->wMonth = 1;
  t->wDay = 1;
}

bool IsPowerItem(const ScheduleItem* item) { return item && item->action != WakeOnly; }

bool Qualifies(const ScheduleItem* item, double nowOle) {
  return IsPowerItem(item) && nowOle < item->oleTime;
}

// The first row of the weekly passes after `row` whose position 0 is used,
// with the days counted to it; false when every row is empty.
bool NextUsedRow(int32_t row, int32_t* found, int32_t* days) {
  int32_t counter = 0;
  int32_t start = (row + 1) % kRowCount;
  for (int pass = 0; pass < 2; ++pass) {
    for (int32_t r = start; r < kRowCount; ++r) {
      ++counter;
      if (orderTable[r][0] != -1) {
        *found = r;
        *days = counter;
        return true;
      }
    }
    start = 0;
  }
  return false;
}

// Through the icon's own record, so that an icon added again after the shell
// restarts shows the current status.
void UpdateTrayTip(const wchar_t* tip) { SetTrayTip(tip); }

const wchar_t* ActionName(int32_t action) {
  return action >= 0 && action <= WakeOnly && actionDisplayNames[action] ? actionDisplayNames[action]
                                                                          : L"";
}

const wchar_t* WeekdayName(int day) { return weekdayNames[((day % 7) + 7) % 7]; }

}  // namespace

ScheduleItem* ItemAtOrder(int32_t row, int32_t pos) {
  if (row < 0 || row >= kRowCount || pos < 0 || pos >= kSlotCount) return nullptr;
  const int32_t slot = orderTable[row][pos];
  if (slot < 0 || slot >= kSlotCount) return nullptr;
  return &scheduleTable[row][slot];
}

bool FindNextDueItem(const SYSTEMTIME& now) {
  SYSTEMTIME clock = now;
  if (scheduleMode != DateMode) MoveToRepeatingDate(&clock);
  const double nowOle = ToOleDate(clock);

  if (scheduleMode == DateMode) {
    currentRow = 0;
    for (int32_t p = currentPos + 1; p < kSlotCount; ++p) {
      if (orderTable[0][p] == -1) return false;
      if (Qualifies(ItemAtOrder(0, p), nowOle)) {
        currentPos = p;
        daysAhead = 0;
        return true;
      }
    }
    return false;
  }

  if (scheduleMode == DailyMode) {
    currentRow = 0;
    for (int32_t p = 0; p < kSlotCount; ++p) {
      if (Qualifies(ItemAtOrder(0, p), nowOle)) {
        currentPos = p;
        daysAhead = 0;
        return true;
      }
    }
    for (int32_t p = 0; p < kSlotCount; ++p) {
      if (IsPowerItem(ItemAtOrder(0, p))) {
        currentPos = p;
        daysAhead = 1;
        return true;
      }
    }
    return false;
  }

  const int32_t today = now.wDayOfWeek % kRowCount;
  for (int32_t p = 0; p < kSlotCount && orderTable[today][p] != -1; ++p) {
    if (Qualifies(ItemAtOrder(today, p), nowOle)) {
      currentRow = today;
      currentPos = p;
      daysAhead = 0;
      return true;
    }
  }
  int32_t counter = 0;
  int32_t start = (today + 1) % kRowCount;
  for (int pass = 0; pass < 2; ++pass) {
    for (int32_t r = start; r < kRowCount; ++r) {
      ++counter;
      for (int32_t p = 0; p < kSlotCount && orderTable[r][p] != -1; ++p) {
        if (IsPowerItem(ItemAtOrder(r, p))) {
          currentRow = r;
          currentPos = p;
          daysAhead = counter;
          return true;
        }
      }
    }
    start = 0;
  }
  return false;
}

void ComputeDueDateTime(const SYSTEMTIME& itemTime) {
  wakePos = -1;
  wakeOffsetSeconds = 0;

  if (currentPos < kSlotCount - 1 && orderTable[currentRow][currentPos + 1] != -1) {
    const ScheduleItem* candidate = ItemAtOrder(currentRow, currentPos + 1);
    if (candidate && candidate->action == WakeOnly) {
      wakeRow = currentRow;
      wakePos = currentPos + 1;
      wakeOffsetSeconds = -SecondsBetween(candidate->time, itemTime);
    }
    return;
  }

  int32_t row = currentRow;
  int32_t days = 0;
  if (scheduleMode == DailyMode) {
    days = 1;
  } else if (scheduleMode != WeeklyMode || !NextUsedRow(currentRow, &row, &days)) {
    return;
  }
  const ScheduleItem* candidate = ItemAtOrder(row, 0);
  if (!candidate || candidate->action != WakeOnly) return;
  SYSTEMTIME wake = candidate->time;
  AddDaysToSystemTime(&wake, days);
  wakeRow = row;
  wakePos = 0;
  wakeOffsetSeconds = -SecondsBetween(wake, itemTime);
}

void FormatScheduleStatusText(int32_t wakeOffset, const SYSTEMTIME& now) {
  const ScheduleItem* item = ItemAtOrder(currentRow, currentPos);
  if (!item) return;

  SYSTEMTIME base;
  if (scheduleMode == DateMode) {
    swprintf(statusActionText, 100, L"%ls開始時刻\n%d年%02d月%02d日(%ls)　%02d時%02d分",
             ActionName(item->action), targetTime.wYear, targetTime.wMonth, targetTime.wDay,
             WeekdayName(targetTime.wDayOfWeek), targetTime.wHour, targetTime.wMinute);
    base = targetTime;
  } else {
    targetTime.wYear = now.wYear;
    targetTime.wMonth = now.wMonth;
    targetTime.wDay = now.wDay;
    AddDaysToSystemTime(&targetTime, daysAhead);

    SYSTEMTIME display = now;
    display.wHour = item->time.wHour;
    display.wMinute = item->time.wMinute;
    display.wSecond = item->time.wSecond;
    display.wMilliseconds = 0;
    if (daysAhead != 0) AddDaysToSystemTime(&display, daysAhead);

    wchar_t weekday[8];
    if (scheduleMode == DailyMode)
      swprintf(weekday, 8, L"(%ls)", WeekdayName(now.wDayOfWeek + daysAhead));
    else
      swprintf(weekday, 8, L"%ls", item->weekdayText);
    swprintf(statusActionText, 100, L"%ls開始時刻\n%d年%02d月%02d日%ls　%02d時%02d分",
             ActionName(item->action), display.wYear, display.wMonth, display.wDay, weekday,
             display.wHour, display.wMinute);
    base = display;
  }

  const ScheduleItem* wakeItem = wakePos != -1 ? ItemAtOrder(wakeRow, wakePos) : nullptr;
  if (wakeItem) {
    AddDaysToSystemTime(&base, -static_cast<double>(wakeOffset) / 86400.0);
    base.wHour = wakeItem->time.wHour;
    base.wMinute = wakeItem->time.wMinute;
    wchar_t weekday[8];
    if (scheduleMode == WeeklyMode)
      swprintf(weekday, 8, L"%ls", wakeItem->weekdayText);
    else
      swprintf(weekday, 8, L"(%ls)", WeekdayName(base.wDayOfWeek));
    swprintf(statusResumeText, 100, L"復帰時刻\n%d年%02d月%02d日%ls　%02d時%02d分", base.wYear,
             base.wMonth, base.wDay, weekday, base.wHour, base.wMinute);
    base.wSecond = 0;
    base.wMilliseconds = 0;
    wakeTime = base;
  } else {
    swprintf(statusResumeText, 100, L"%ls", L"復帰時刻\n----年--月--日:--時--分");
  }

  swprintf(scheduleStatusTip, 128, L"稼働中...\n%ls\n%ls", statusActionText, statusResumeText);
  UpdateTrayTip(scheduleStatusTip);
}

bool SearchNextDueItem(const SYSTEMTIME& now) {
  if (!FindNextDueItem(now)) return false;
  const ScheduleItem* item = ItemAtOrder(currentRow, currentPos);
  if (!item) return false;
  targetTime = item->time;
  if (scheduleMode != DateMode && daysAhead != 0) AddDaysToSystemTime(&targetTime, daysAhead);
  ComputeDueDateTime(item->time);
  FormatScheduleStatusText(static_cast<int32_t>(wakeOffsetSeconds), now);
  return true;
}
