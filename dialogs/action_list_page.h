#pragma once
#include <windows.h>

#include <string>

#include "schedule_model.h"

// Dialog 157, above the settings sheet's tabs: the schedule's items with their
// side actions. It chooses the item the applications and sound pages edit and
// fills the sheet's working copies when it is created; it stores nothing.
INT_PTR CALLBACK ActionListPageDlgProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the panel as a modeless child of the sheet.
HWND CreateActionListPage(HWND sheet);

inline constexpr int kActionListViewId = 3010;
inline constexpr int kFirstWeekdayButtonId = 1300;

// The schedule holds an item: row 0's first entry, or any row's in WeeklyMode.
extern bool actionListHasItems;
bool ScheduleHasItems(int32_t mode, const OrderTable& order);

// Copies the per-item settings of rows 0 to rowCount - 1 and the mail
// addresses into the sheet's working copies.
void FillSheetWorkingCopies();

// Columns 2 to 5 of one row: applications, sound, capture, mail.
struct ActionListCells {
  std::wstring apps;
  std::wstring sound;
  std::wstring capture;
  std::wstring mail;
};
// From the item itself (the list as the sheet opens).
ActionListCells ModelActionListCells(const ScheduleItem& item, const MailSettings& mail);
// From the sheet's working copies, so the pages' edits show.
ActionListCells WorkingActionListCells(int row, int slot, int32_t action);
