#include "timer_settings_sheet.h"

#include <cstring>
#include <cwchar>

#include "dpi_scaling.h"

TimerSheetState timerSheetState;
const SheetValidation timerSheetValidation = {timerSheetState.pageWindows, kTimerCheckedPageCount,
                                              &timerSheetState.validationFailed, kMsgTimerCheckPage};

namespace {

constexpr SheetPageEntry kPages[] = {
    {kTimerGeneralPageId, nullptr, TimerGeneralPageDlgProc, nullptr},
    {kTimerAppsPageId, nullptr, TimerAppsPageDlgProc, nullptr},
    {kTimerSoundPageId, nullptr, TimerSoundPageDlgProc, nullptr},
    {kTimerProfilePageId, nullptr, TimerProfilePageDlgProc, nullptr},
};

}  // namespace

SheetLayout TimerComputeSheetLayout(int dpi, const RECT& workArea) {
  constexpr SheetFrame96 kFrame = {459, 462, {12, 12, 431, 372}, {255, 391, 87, 34}, {356, 391, 87, 34}};
  return ComputeSheetLayout(kFrame, dpi, workArea);
}

int CALLBACK TimerSettingsSheetCallback(HWND sheet, UINT message, LPARAM) {
  return OnSheetCallback(sheet, message, &timerSheetState.sheetWindow, &timerSheetValidation);
}

void TimerOpenSettingsSheet(HWND settingsDialog) {
  // No page window may survive from an earlier sheet.
  std::memset(timerSheetState.pageWindows, 0, sizeof timerSheetState.pageWindows);
  timerSheetState.validationFailed = 0;
  timerSheetState.sheetWindow = nullptr;
  OpenSheet(settingsDialog, L"詳細設定", kPages, static_cast<int>(sizeof kPages / sizeof kPages[0]),
            TimerSettingsSheetCallback);
  timerSheetState.sheetWindow = nullptr;
}
