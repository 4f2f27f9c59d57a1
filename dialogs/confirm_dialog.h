#pragma once
#include <windows.h>

#include "confirm_view.h"
#include "schedule_model.h"

// Dialog 179 "設定情報の確認": what the item due next and its wake-only item
// will do, read-only, while a countdown runs.

// Given by the countdown dialog when the dialog opens; null when there is none.
extern const ScheduleItem* confirmItem;
extern const ScheduleItem* confirmWakeItem;

// The two pages' texts and the wake item's applications.
ConfirmContent SchedulerConfirmContent(const ScheduleItem& item, const ScheduleItem* wakeItem,
                                       const ProfileSettings& settings);

const ConfirmViewConfig& SchedulerConfirmConfig();

INT_PTR CALLBACK ConfirmDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Opens it modeless without owner (confirmDialog) while a countdown runs; an
// open one is brought to the top instead. Null when nothing is shown.
HWND OpenConfirmDialog();
