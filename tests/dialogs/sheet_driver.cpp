#include "sheet_driver.h"

#include <gtest/gtest.h>

#include "settings_pages.h"
#include "settings_sheet.h"

namespace sheet_driver {
namespace {

std::function<void(HWND)> pendingActions;
bool ran;

void CALLBACK DriveSheet(HWND, UINT, UINT_PTR id, DWORD) {
  HWND sheet = settingsSheetState.sheetWindow;
  if (!sheet) return;  // not up yet: the timer fires again
  KillTimer(nullptr, id);
  ran = true;
  pendingActions(sheet);
  if (StillOpen(sheet)) PressCancel(sheet);
}

}  // namespace

void RunSettingsSheet(const std::function<void(HWND sheet)>& actions) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  pendingActions = actions;
  ran = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, DriveSheet);
  OpenSettingsSheet(owner, settingsPages, kSettingsPageCount);
  KillTimer(nullptr, timer);
  DestroyWindow(owner);
  EXPECT_TRUE(ran) << "the sheet never stood";
  EXPECT_EQ(settingsSheetState.sheetWindow, nullptr);
}

HWND Page(int number) { return settingsSheetState.pageWindows[number - 1]; }

void ShowPage(HWND sheet, int index) { SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0); }

void PressOk(HWND sheet) {
  SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(sheet, IDOK)));
}

void PressCancel(HWND sheet) {
  SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(sheet, IDCANCEL)));
}

bool StillOpen(HWND sheet) { return PropSheet_GetCurrentPageHwnd(sheet) != nullptr; }

void Click(HWND parent, int id) { SendMessageW(GetDlgItem(parent, id), BM_CLICK, 0, 0); }

}  // namespace sheet_driver
