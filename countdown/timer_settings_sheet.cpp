#include "timer_settings_sheet.h"

#include <cstring>
#include <cwchar>

#include "dpi_scaling.h"

TimerSheetState timerSheetState;
const SheetValidation timerSheetValidation = {timerSheetState.pageWindows, kTimerCheckedPageCount,
                                              &timerSheetState.validationFailed, kMsgTimerCheckPage};

namespace {

struct PageEntry {
  int resourceId;
  DLGPROC procedure;
};
constexpr PageEntry kPages[] = {
    {kTimerGeneralPageId, TimerGeneralPageDlgProc},
    {kTimerAppsPageId, TimerAppsPageDlgProc},
    {kTimerSoundPageId, TimerSoundPageDlgProc},
    {kTimerProfilePageId, TimerProfilePageDlgProc},
};

}  // namespace

SheetLayout TimerComputeSheetLayout(int dpi, const RECT& workArea) {
  constexpr SheetFrame96 kFrame = {459, 462, {12, 12, 431, 372}, {255, 391, 87, 34}, {356, 391, 87, 34}};
  return ComputeSheetLayout(kFrame, dpi, workArea);
}

int CALLBACK TimerSettingsSheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED) {
    timerSheetState.sheetWindow = sheet;
    RunSheetValidationOnOk(sheet, &timerSheetValidation);
  }
  // PSCB_BUTTONPRESSED is not acted on: the pass already ran on the OK button.
  return 0;
}

void TimerOpenSettingsSheet(HWND settingsDialog) {
  // No page window may survive from an earlier sheet.
  std::memset(timerSheetState.pageWindows, 0, sizeof timerSheetState.pageWindows);
  timerSheetState.validationFailed = 0;
  timerSheetState.sheetWindow = nullptr;

  HINSTANCE instance = GetModuleHandleW(nullptr);
  HPROPSHEETPAGE handles[4] = {};
  UINT made = 0;
  for (const PageEntry& entry : kPages) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEW(entry.resourceId);
    page.pfnDlgProc = entry.procedure;
    if (HPROPSHEETPAGE handle = CreatePropertySheetPageW(&page)) handles[made++] = handle;
  }
  if (made == 0) return;

  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPTITLE | PSH_NOAPPLYNOW | PSH_USECALLBACK | PSH_NOCONTEXTHELP;
  header.hwndParent = settingsDialog;
  header.hInstance = instance;
  header.pszCaption = L"詳細設定";
  header.nPages = made;
  header.phpage = handles;
  header.pfnCallback = TimerSettingsSheetCallback;
  PropertySheetW(&header);
  timerSheetState.sheetWindow = nullptr;
}
