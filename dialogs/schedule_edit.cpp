#include "schedule_edit.h"

#include <oleauto.h>

#include <cstring>
#include <cwchar>

#include "shared/utilities.h"
#include "shared/weekday_names.h"
#include "start_checks.h"

namespace {

double ReadOleText(const wchar_t* text) {
  wchar_t copy[21];
  wcsncpy(copy, text, 20);
  copy[20] = L'\0';
  return wcstod(copy, nullptr);
}

}  // namespace

SYSTEMTIME ComposeItemTime(int32_t mode, const SYSTEMTIME& datePicker, const SYSTEMTIME& timePicker) {
  SYSTEMTIME t{};
  if (mode == DateMode) {
    t.wYear = datePicker.wYear;
    t.wMonth = datePicker.wMonth;
    t.wDay = datePicker.wDay;
    t.wDayOfWeek = datePicker.wDayOfWeek;
  } else {
    t.wYear = 2010;
    t.wMonth = 1;
    t.wDay = 1;
    t.wDayOfWeek = 5;  // a Friday
  }
  t.wHour = timePicker.wHour;
  t.wMinute = timePicker.wMinute;
  return t;
}

AddPlan PlanAddItem(const ScheduleTable& table, const OrderTable& order, int row,
                    const SYSTEMTIME& time, int32_t action) {
  AddPlan plan{};
  SYSTEMTIME t = time;
  SystemTimeToVariantTime(&t, &plan.oleTime);
  swprintf(plan.oleText, 20, L"%.7f", plan.oleTime);
  const double r = wcstod(plan.oleText, nullptr);
  const int count = RowLength(order, row);
  int j = 0;
  for (; j < count; ++j) {
    const ScheduleItem& item = table[row][order[row][j]];
    const double f = ReadOleText(item.oleTimeText);
    if (r == f) {
      plan.kind = item.action == action ? AddKind::SameItem : AddKind::AskOverwrite;
      plan.position = j;
      plan.slot = order[row][j];
      return plan;
    }
    if (r < f) break;
  }
  plan.position = j;
  if (count >= kSlotCount) {
    plan.kind = AddKind::RowFull;
    return plan;
  }
  if ((j < count && plan.oleTime + kMinimumGapDays > table[row][order[row][j]].oleTime) ||
      (j > 0 && plan.oleTime - kMinimumGapDays < table[row][order[row][j - 1]].oleTime)) {
    plan.kind = AddKind::TooClose;
    return plan;
  }
  plan.slot = -1;
  for (int s = 0; s < kSlotCount; ++s) {
    if (table[row][s].listIndex == -1) {
      plan.slot = s;
      break;
    }
  }
  // A row whose slots are all marked used but not all listed is damaged:
  // refuse rather than overwrite an item the list does not show.
  plan.kind = plan.slot < 0 ? AddKind::RowFull : AddKind::Insert;
  return plan;
}

void CommitAddItem(ScheduleTable& table, OrderTable& order, int32_t mode, int row,
                   const AddPlan& plan, const SYSTEMTIME& time, int32_t action) {
  ScheduleItem& item = table[row][plan.slot];
  const bool overwrite = plan.kind == AddKind::AskOverwrite;
  if (overwrite) {
    item.mailTo = 0;
    for (int32_t& delay : item.appDelays) delay = -1;
    item.soundIndex = 0;
    item.captureEnabled = 0;
  }
  item.listIndex = plan.position;
  item.time = time;
  if (mode == DateMode) {
    swprintf(item.timeText, 20, L"%d/%02d/%02d %02d:%02d", time.wYear, time.wMonth, time.wDay,
             time.wHour, time.wMinute);
  } else {
    swprintf(item.timeText, 20, L"%02d:%02d", time.wHour, time.wMinute);
  }
  swprintf(item.slotText, 3, L"%d", plan.slot);
  if (mode == WeeklyMode) {
    swprintf(item.weekdayText, 4, L"(%ls)", weekdayNames[row]);
  } else {
    item.weekdayText[0] = L'\0';
  }
  item.oleTime = plan.oleTime;
  CopyText(item.oleTimeText, 20, plan.oleText);
  item.action = action;
  if (!overwrite) {
    const int count = RowLength(order, row);
    for (int m = count; m > plan.position; --m) order[row][m] = order[row][m - 1];
    order[row][plan.position] = plan.slot;
    for (int m = count + 1; m < kSlotCount; ++m) order[row][m] = -1;
  }
}

bool DeleteItemAt(ScheduleTable& table, OrderTable& order, int row, int position) {
  const int count = RowLength(order, row);
  if (position < 0 || position >= count) return false;
  ClearScheduleItem(table[row][order[row][position]]);
  for (int m = position; m < kSlotCount - 1; ++m) order[row][m] = order[row][m + 1];
  order[row][kSlotCount - 1] = -1;
  return true;
}

void ResetModelToDefaults(ScheduleTable& table, OrderTable& order, ProfileSettings& settings,
                          const wchar_t* defaultCaptureFolder) {
  std::memset(&settings, 0, sizeof settings);
  ClearScheduleTable(table, order);
  settings.general.endNowNoCapture = 1;
  settings.general.endNowNoMail = 1;
  settings.general.bringToFrontSeconds = 300;
  CopyText(settings.mail.subjects[0], 256, L"<PCNAME>は終了処理に入りました");
  CopyText(settings.mail.subjects[1], 256, L"<PCNAME>は復帰しました");
  CopyText(settings.mail.bodies[0], 256, L"<PCNAME>は<TIME>に終了処理に入りました");
  CopyText(settings.mail.bodies[1], 256, L"<PCNAME>は<TIME>に復帰しました");
  CopyText(settings.capture.captureFolder, 220, defaultCaptureFolder ? defaultCaptureFolder : L"");
  settings.capture.captureFormat = 1;
}
