#include "sheet_driver.h"

#include <gtest/gtest.h>

#include "settings_pages.h"
#include "settings_sheet.h"
#include "sheet_runner.h"

namespace sheet_driver {
void RunSettingsSheet(const std::function<void(HWND sheet)>& actions) {
  const bool ran = testing_support::RunPropertySheet(
      [](HWND owner) { OpenSettingsSheet(owner, settingsPages, kSettingsPageCount); },
      &settingsSheetState.sheetWindow, actions);
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
