#include "settings_sheet.h"

#include <cstring>
#include <cwchar>
#include <initializer_list>

#include "dpi_scaling.h"
#include "in_memory_dialog.h"
#include "sheet_layout.h"
#include "sheet_validation.h"

#include "mail_page.h"
#include "shared/weekday_names.h"

SettingsSheetState settingsSheetState;

namespace {

const SheetValidation schedulerValidation = {settingsSheetState.pageWindows, kSettingsPageCount,
                                             &settingsSheetState.validationFailed, kMsgValidatePage};

}  // namespace

int RunValidationPass() { return RunSheetValidation(schedulerValidation); }

bool SettingsPageMayStore(HWND page, int pageNumber) { return SheetPageMayStore(schedulerValidation, page, pageNumber); }

void RegisterSettingsPage(HWND page, int pageNumber) { RegisterSheetPage(schedulerValidation, page, pageNumber); }

int CALLBACK SettingsSheetCallback(HWND sheet, UINT message, LPARAM) {
  return OnSheetCallback(sheet, message, &settingsSheetState.sheetWindow, &schedulerValidation);
}

INT_PTR OpenSettingsSheet(HWND owner, const SettingsPageEntry* pages, int count) {
  std::memset(&settingsSheetState, 0, sizeof settingsSheetState);
  settingsSheetState.rowCount = RowsForMode(scheduleMode);
  settingsSheetState.selectedRow = -1;
  settingsSheetState.selectedPosition = -1;
  FillMailWorkingCopies(&settingsSheetState);
  const INT_PTR result =
      OpenSheet(owner, L"SoporaScheduler", pages, count < kSettingsPageCount ? count : kSettingsPageCount,
                SettingsSheetCallback);
  settingsSheetState.sheetWindow = nullptr;
  return result;
}

namespace {
constexpr SheetFrame96 kSchedulerSheetFrame = {668, 656, {17, 250, 630, 327}, {440, 588, 100, 30}, {546, 588, 100, 30}};
}  // namespace

SettingsSheetLayout ComputeSettingsSheetLayout(int dpi, const RECT& workArea) {
  const SheetLayout shared = ComputeSheetLayout(kSchedulerSheetFrame, dpi, workArea);
  return SettingsSheetLayout{shared.sheet, shared.tab, shared.ok, shared.cancel};
}

void ShapeSettingsSheet(HWND sheet, int dpi, HFONT font) {
  SetWindowTextW(sheet, L"詳細設定");
  const SettingsSheetLayout layout = ComputeSettingsSheetLayout(dpi, CurrentWorkArea());
  ApplySheetLayout(sheet, SheetLayout{layout.sheet, layout.tab, layout.ok, layout.cancel}, font);
}

bool ActionMatchesKind(int32_t action, int kind) {
  if (kind == kEveryPowerActionKind) return action >= Shutdown && action <= Standby;
  return kind >= 0 && kind < kEveryPowerActionKind && action == kind;
}

std::wstring ItemTitle(const wchar_t* prefix, int32_t mode, const ScheduleItem* item, int row) {
  wchar_t text[96];
  if (!item) {
    swprintf(text, 96, L"%ls(----/--/-- --:--)", prefix);
  } else if (mode == DateMode) {
    swprintf(text, 96, L"%ls(%d/%02d/%02d %02d:%02d)", prefix, item->time.wYear, item->time.wMonth, item->time.wDay,
             item->time.wHour, item->time.wMinute);
  } else if (mode == WeeklyMode && row >= 0 && row < kRowCount) {
    swprintf(text, 96, L"%ls(%02d:%02d (%ls))", prefix, item->time.wHour, item->time.wMinute, weekdayNames[row]);
  } else {
    swprintf(text, 96, L"%ls(%02d:%02d)", prefix, item->time.wHour, item->time.wMinute);
  }
  return text;
}

ScheduleItem* ItemAtPosition(int row, int position) {
  if (row < 0 || row >= kRowCount || position < 0 || position >= kSlotCount) return nullptr;
  const int slot = orderTable[row][position];
  if (slot < 0 || slot >= kSlotCount) return nullptr;
  return &scheduleTable[row][slot];
}

LRESULT HeaderDragRepaint(HeaderDragState& state, HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND list = GetParent(header);
  HWND page = GetParent(list);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      state.tracking = true;
      GetWindowRect(list, &state.area);
      MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&state.area), 2);
      break;
    case WM_MOUSEMOVE:
      if (state.tracking) {
        const bool scrollBar = (GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL) != 0;
        if (scrollBar != state.scrollBar) {
          state.scrollBar = scrollBar;
          InvalidateRect(page, &state.area, TRUE);
          UpdateWindow(page);
        }
      }
      break;
    case WM_LBUTTONUP:
      state.tracking = false;
      break;
    default:
      break;
  }
  return CallWindowProcW(state.previous, header, message, wParam, lParam);
}
