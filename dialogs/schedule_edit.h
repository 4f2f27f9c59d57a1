#pragma once
#include <windows.h>

#include "schedule_model.h"

// The main dialog's edits of one row of the schedule: the list, the used
// slots and the OrderTable row stay one to one in ascending oleTime.

// 590.16 seconds: with whole-minute times neighbours must be 10 minutes apart.
inline constexpr double kMinimumGapDays = 0.006830601092896175;

// The item time from the pickers: seconds and milliseconds 0; in the
// repeating modes the time of day on 2010-01-01.
SYSTEMTIME ComposeItemTime(int32_t mode, const SYSTEMTIME& datePicker, const SYSTEMTIME& timePicker);

enum class AddKind {
  Insert,         // new item at `position` in slot `slot`
  AskOverwrite,   // same date-time, other action: ask, then overwrite `slot`
  SameItem,       // same date-time, same action: beep
  RowFull,        // "これ以上追加できません。"
  TooClose,       // "最低でも10分は間を空けて下さい。"
};

struct AddPlan {
  AddKind kind;
  int position;
  int slot;
  double oleTime;         // unrounded
  wchar_t oleText[20];    // "%.7f"
};

AddPlan PlanAddItem(const ScheduleTable& table, const OrderTable& order, int row,
                    const SYSTEMTIME& time, int32_t action);

// Writes the planned item (Insert or AskOverwrite after Yes) into the row.
void CommitAddItem(ScheduleTable& table, OrderTable& order, int32_t mode, int row,
                   const AddPlan& plan, const SYSTEMTIME& time, int32_t action);

// Frees the item at an OrderTable position; false when there is none.
bool DeleteItemAt(ScheduleTable& table, OrderTable& order, int row, int position);

// A fresh schedule: every slot free, settings zero with their defaults.
void ResetModelToDefaults(ScheduleTable& table, OrderTable& order, ProfileSettings& settings,
                          const wchar_t* defaultCaptureFolder);
