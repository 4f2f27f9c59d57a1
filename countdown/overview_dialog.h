#pragma once
#include <windows.h>

#include "confirm_view.h"
#include "timer_profile.h"

// Dialog 174 "設定情報の確認": what the current settings will do before the
// end and after the resume, read-only.

// The two views' texts and the applications after the resume.
ConfirmContent OverviewContent(const TimerSettings& settings);

const ConfirmViewConfig& OverviewConfig();

INT_PTR CALLBACK TimerConfirmSettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Opens it modeless without owner (overviewDialog); an open one is brought to
// the top instead.
HWND OpenOverviewDialog();
