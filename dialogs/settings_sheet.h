#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "edit_number.h"
#include "sheet_validation.h"
#include "schedule_model.h"

// The settings sheet "詳細設定": its pages check and store in one pass, so
// either every opened page writes its working copy or none does.

// Page numbers in validationFailed and indexes + 1 of pageWindows.
inline constexpr int kGeneralPage = 1;
inline constexpr int kApplicationsPage = 2;
inline constexpr int kSoundPage = 3;
inline constexpr int kCapturePage = 4;
inline constexpr int kMailPage = 5;
inline constexpr int kSettingsPageCount = 5;

// Sent to each opened page in page-number order when OK is pressed: check the
// inputs, show the message and set validationFailed to the page number.
inline constexpr UINT kMsgValidatePage = 0x8001;

// The working state the pages share; zeroed before each sheet. The pages add
// their own working copies here.
struct SettingsSheetState {
  int32_t actionListRow;
  int32_t rowCount;
  int32_t validationFailed;
  int32_t selectedRow;
  int32_t selectedPosition;
  HWND actionListView;
  HWND pageWindows[kSettingsPageCount];
  HWND sheetWindow;
  wchar_t workingAddresses[kAddressCount][256];
  int32_t workingMailTo[kRowCount][kSlotCount];
  // Per-item working copies by row and record slot, filled by the action list.
  int32_t soundChoice[kRowCount][kSlotCount];
  int32_t soundLead[kRowCount][kSlotCount];
  wchar_t editAppPaths[kRowCount][kSlotCount][kAppCount][kPathChars];
  wchar_t editAppArguments[kRowCount][kSlotCount][kAppCount][kPathChars];
  int32_t editAppDelays[kRowCount][kSlotCount][kAppCount];  // -1: free entry
  int32_t editAppOrder[kRowCount][kSlotCount][kAppCount];   // entry at each position; -1 ends
  uint8_t editAppMinimized[kRowCount][kSlotCount][kAppCount];
  uint8_t workingCapture[kRowCount][kSlotCount];

  // The mail page's working copies and windows.
  wchar_t workingSubjects[2][256];  // [0] before the action, [1] after the resume
  wchar_t workingBodies[2][256];
  int32_t templateIndex;            // the template the edits show
  int32_t addressListCount;         // leading non-empty workingAddresses, at most 5
  HWND placeholderTip;
  HWND setButton;
};
extern SettingsSheetState settingsSheetState;

using SettingsPageEntry = SheetPageEntry;

// Runs the modal sheet "SoporaScheduler" over the owner. Returns
// PropertySheetW's result.
INT_PTR OpenSettingsSheet(HWND owner, const SettingsPageEntry* pages, int count);

int CALLBACK SettingsSheetCallback(HWND sheet, UINT message, LPARAM lParam);

// Sends kMsgValidatePage to the opened pages in page-number order and stops
// at the first that fails; returns validationFailed.
int RunValidationPass();

// What a page does on PSN_APPLY: true when it must write its working copy.
// The failing page answers PSNRET_INVALID (the sheet stays on it) and clears
// validationFailed.
bool SettingsPageMayStore(HWND page, int pageNumber);

// A page records its window in WM_INITDIALOG.
void RegisterSettingsPage(HWND page, int pageNumber);

// Where the general page puts the sheet, its tab control and its OK and
// Cancel buttons, at a DPI: the sheet in screen coordinates, the rest in the
// sheet's client coordinates.
struct SettingsSheetLayout {
  RECT sheet;
  RECT tab;
  RECT ok;
  RECT cancel;
};
SettingsSheetLayout ComputeSettingsSheetLayout(int dpi, const RECT& workArea);
// Titles the sheet "詳細設定" and moves it and its parts as laid out above.
void ShapeSettingsSheet(HWND sheet, int dpi, HFONT font);

// Commands 0x8013-0x8019 of the pages' "セット" menus: one power action each,
// then "全ての復帰時" and "全ての終了時" (every power action).
inline constexpr UINT kFirstKindCommand = 0x8013;
inline constexpr int kKindCount = 7;
inline constexpr int kEveryPowerActionKind = 6;
bool ActionMatchesKind(int32_t action, int kind);

// "<prefix>(...)" for an item of a row in the schedule's mode; the dashes
// when item is null.
std::wstring ItemTitle(const wchar_t* prefix, int32_t mode, const ScheduleItem* item, int row);

// The item at a position of a row's order, or null.
ScheduleItem* ItemAtPosition(int row, int position);

// A list view's header while a column is dragged: the page is repainted
// under the list whenever its horizontal scroll bar comes or goes. Each list
// keeps its own state; the header's previous procedure is kept in it.
struct HeaderDragState {
  bool tracking;
  bool scrollBar;
  RECT area;  // the list view in page coordinates
  WNDPROC previous;
};
LRESULT HeaderDragRepaint(HeaderDragState& state, HWND header, UINT message, WPARAM wParam, LPARAM lParam);
