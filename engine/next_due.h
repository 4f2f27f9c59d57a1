#pragma once
#include <windows.h>

#include <cstdint>

#include "schedule_model.h"
#include "shared/schedule_time.h"

// The next item of a run and its resume time, on the model and run state of
// schedule_model.h. "now" is read once per search by the caller and passed to
// every step, so that a search across midnight cannot put the target a day off.

// Sets currentRow, currentPos and daysAhead; false when no item is left.
bool FindNextDueItem(const SYSTEMTIME& now);

// With the time of the item just found: wakeRow, wakePos, wakeOffsetSeconds.
void ComputeDueDateTime(const SYSTEMTIME& itemTime);

// Fixes targetTime in the repeating modes, computes wakeTime, fills the status
// texts and puts them into the tray tip. wakeOffset: wakeOffsetSeconds in
// whole seconds.
void FormatScheduleStatusText(int32_t wakeOffset, const SYSTEMTIME& now);

// The whole search in its order: FindNextDueItem, targetTime, ComputeDueDateTime,
// FormatScheduleStatusText. False when no item is left (nothing else changes).
bool SearchNextDueItem(const SYSTEMTIME& now);

// The item at (row, pos) of the order table; null for a -1 entry or a bad index.
ScheduleItem* ItemAtOrder(int32_t row, int32_t pos);

// What FormatScheduleStatusText wrote: the action and resume lines and the
// whole tray tip "稼働中...\n<action>\n<resume>".
extern wchar_t statusActionText[100];
extern wchar_t statusResumeText[100];
extern wchar_t scheduleStatusTip[128];
