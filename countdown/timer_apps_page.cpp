#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <initializer_list>

#include "dpi_scaling.h"
#include "shared/ui_setup.h"
#include "edit_number.h"
#include "file_pickers.h"
#include "list_view_helpers.h"
#include "shared/utilities.h"
#include "timer_settings_sheet.h"

namespace {

constexpr int kEnableCheck = 1290;
constexpr int kDeleteButton = 1291;
constexpr int kPathEdit = 1292;
constexpr int kBrowseButton = 1293;
constexpr int kArgumentsEdit = 1294;
constexpr int kDelayEdit = 1295;
constexpr int kAddButton = 1299;
constexpr int kNoAppsCheck = 1300;
constexpr int kMinimizedCheck = 1301;
constexpr int kListView = 3000;

constexpr int kGroup[] = {kListView, kBrowseButton, kAddButton, 1296, 1297, 1298,
                          kPathEdit, kArgumentsEdit, kDelayEdit, kMinimizedCheck, kNoAppsCheck};

struct Placement {
  int id, x, y, width, height;
};
constexpr Placement kPlacements[] = {
    {kEnableCheck, 10, 9, 207, 22},   {kDeleteButton, 354, 143, 63, 34}, {kPathEdit, 10, 185, 334, 25},
    {kBrowseButton, 354, 182, 62, 30}, {1296, 7, 224, 125, 18},           {kArgumentsEdit, 132, 221, 212, 25},
    {1297, 7, 259, 80, 18},           {kDelayEdit, 88, 255, 45, 25},      {1298, 140, 259, 68, 18},
    {kMinimizedCheck, 225, 257, 123, 22}, {kAddButton, 354, 230, 62, 47}, {kNoAppsCheck, 209, 304, 207, 22},
};

TimerAppList& Apps() { return timerSheetState.apps; }
bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
HWND List(HWND page) { return GetDlgItem(page, kListView); }

int SelectedRow(HWND page) {
  return static_cast<int>(SendMessageW(List(page), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// The list view shows the working copy row for row.
void ShowRows(HWND page) {
  HWND list = List(page);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  const TimerAppList& apps = Apps();
  const int count = AppListLength(apps.order);
  for (int row = 0; row < count; ++row) {
    const int slot = apps.order[row];
    wchar_t name[MAX_PATH];
    GetFileTitleNoExtension(apps.paths[slot], name);
    InsertListViewItem(list, name, row);
    wchar_t delay[16];
    swprintf(delay, 16, L"+%d", apps.delays[slot]);
    SetListViewItemText(list, delay, row, 1);
    SetListViewItemText(list, apps.arguments[slot], row, 2);
  }
}

void EnableGroup(HWND page, bool enable) {
  for (int id : kGroup) EnableWindow(GetDlgItem(page, id), enable);
}

void OnInitDialog(HWND page) {
  RegisterSheetPage(timerSheetValidation, page, kTimerAppsPage);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
  for (const Placement& p : kPlacements) PlaceControl(page, p.id, p.x, p.y, p.width, p.height);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                  LVS_NOSORTHEADER,
                              ScaleX(10), ScaleY(36), ScaleX(334), ScaleY(141), page,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListView)), GetModuleHandleW(nullptr),
                              nullptr);
  SetWindowPos(list, GetDlgItem(page, kEnableCheck), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const int widths[] = {ScaleX(132), ScaleX(43), ScaleX(100)};
  const wchar_t* const texts[] = {L"アプリ名", L"時差", L"コマンドライン"};
  const int formats[] = {LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT};
  SetupListViewColumns(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, widths, list, 3, texts, formats, font);

  const TimerSettings& s = timerSettings;
  CheckDlgButton(page, kEnableCheck, s.appsAfterResume ? BST_CHECKED : BST_UNCHECKED);
  if (!s.resumeEnabled) {
    EnableWindow(GetDlgItem(page, kEnableCheck), FALSE);
    EnableGroup(page, false);
  } else if (!s.appsAfterResume) {
    EnableGroup(page, false);
  }
  EnableWindow(GetDlgItem(page, kDeleteButton), FALSE);
  CheckDlgButton(page, kNoAppsCheck, s.unexpectedResumeNoApps ? BST_CHECKED : BST_UNCHECKED);
  SendDlgItemMessageW(page, kPathEdit, EM_LIMITTEXT, 257, 0);
  SendDlgItemMessageW(page, kArgumentsEdit, EM_LIMITTEXT, kAppArgumentChars, 0);
  SendDlgItemMessageW(page, kDelayEdit, EM_LIMITTEXT, 3, 0);
  TimerLoadAppList(s, &Apps());
  ShowRows(page);
}

void OnAdd(HWND page) {
  if (GetWindowTextLengthW(GetDlgItem(page, kPathEdit)) == 0) {
    MessageBeep(0);
    return;
  }
  wchar_t path[kPathChars] = {};
  GetDlgItemTextW(page, kPathEdit, path, kPathChars);
  if (!TimerHasExeExtension(path)) {
    MessageBoxW(page, L"ファイル名が不正です", L"", MB_OK);
    return;
  }
  // A pasted or set text passes the digits-only edit: a negative delay would
  // mark a listed entry free and cut off every later application on OK.
  int32_t delay = 0;
  if (!ReadEditNumber(page, GetDlgItem(page, kDelayEdit), kMaxAppDelay, &delay)) return;
  const int target = FindApplicationPath(TimerAppView(&Apps()), path);
  if (target >= 0) {
    if (MessageBoxW(page, L"アプリ名が同じものがあります。上書きしますか？", L"確認", MB_YESNO) != IDYES) return;
  } else if (AppListLength(Apps().order) >= kAppCount) {
    MessageBoxW(page, L"これ以上追加できません。", L"", MB_OK);
    return;
  }
  wchar_t arguments[kCommandChars] = {};
  GetDlgItemTextW(page, kArgumentsEdit, arguments, kCommandChars);
  PlaceApplication(TimerAppView(&Apps()), AppEntry{path, arguments, delay, Checked(page, kMinimizedCheck) ? uint8_t{1} : uint8_t{0}},
                   target);
  ShowRows(page);
  EnableWindow(GetDlgItem(page, kDeleteButton), FALSE);
}

void OnDelete(HWND page) {
  if (!RemoveApplication(TimerAppView(&Apps()), SelectedRow(page))) return;
  for (int id : {kPathEdit, kArgumentsEdit, kDelayEdit}) SetDlgItemTextW(page, id, L"");
  ShowRows(page);
  EnableWindow(GetDlgItem(page, kDeleteButton), FALSE);
}

void OnCommand(HWND page, int id) {
  switch (id) {
    case kEnableCheck:
      EnableGroup(page, Checked(page, kEnableCheck));
      break;
    case kDeleteButton:
      OnDelete(page);
      break;
    case kBrowseButton:
      if (BrowseForFile(page, L"exe(*.exe)\0*.exe\0", GetDlgItem(page, kPathEdit))) {
        SetDlgItemTextW(page, kArgumentsEdit, L"");
        SetDlgItemTextW(page, kDelayEdit, L"");
      }
      break;
    case kAddButton:
      OnAdd(page);
      break;
    default:
      break;
  }
}

void OnListNotify(HWND page, const NMHDR* header) {
  int row = -1;
  switch (ReadListChoice(List(page), header, &row)) {
    case ListChoice::RowChosen: {
      if (row >= AppListLength(Apps().order)) break;
      const int slot = Apps().order[row];
      SetDlgItemTextW(page, kPathEdit, Apps().paths[slot]);
      SetDlgItemTextW(page, kArgumentsEdit, Apps().arguments[slot]);
      TimerSetDlgItemNumber(16, GetDlgItem(page, kDelayEdit), Apps().delays[slot]);
      CheckDlgButton(page, kMinimizedCheck, Apps().minimized[slot] ? BST_CHECKED : BST_UNCHECKED);
      EnableWindow(GetDlgItem(page, kDeleteButton), TRUE);
      break;
    }
    case ListChoice::ClickOnNoRow:
      EnableWindow(GetDlgItem(page, kDeleteButton), FALSE);
      break;
    case ListChoice::Other:
      break;
  }
}

void OnApply(HWND page) {
  if (!SheetPageMayStore(timerSheetValidation, page, kTimerAppsPage)) return;
  TimerStoreAppList(Apps(), &timerSettings);
  timerSettings.appsAfterResume = Checked(page, kEnableCheck) ? 1 : 0;
  timerSettings.unexpectedResumeNoApps = Checked(page, kNoAppsCheck) ? 1 : 0;
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
}

void OnPaint(HWND page) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(page, &paint);
  HGDIOBJ previous = SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, GetSysColor(COLOR_BTNSHADOW));
  MoveToEx(dc, ScaleX(12), ScaleY(295), nullptr);
  LineTo(dc, ScaleX(410), ScaleY(295));
  SelectObject(dc, previous);
  EndPaint(page, &paint);
}

}  // namespace

INT_PTR CALLBACK TimerAppsPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      ApplyFontToControls(page, uiFont);
      OnInitDialog(page);
      return TRUE;
    case WM_COMMAND:
      OnCommand(page, LOWORD(wParam));
      return FALSE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == PSN_APPLY) {
        OnApply(page);
        return TRUE;
      }
      if (header->idFrom == kListView) OnListNotify(page, header);
      return FALSE;
    }
    case WM_PAINT:
      OnPaint(page);
      return TRUE;
    case WM_DESTROY:
      ForgetSheetPage(timerSheetValidation, page);
      return FALSE;
    default:
      return FALSE;
  }
}
