#include "applications_page.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "file_pickers.h"
#include "in_memory_dialog.h"
#include "list_view_helpers.h"
#include "main_window_state.h"
#include "private_messages.h"
#include "settings_sheet.h"
#include "shared/utilities.h"
#include "start_checks.h"

namespace {

constexpr int kFromResumeLabel = 1026;
constexpr int kSecondsLabel = 1027;
constexpr int kArgumentsLabel = 1028;
constexpr int kAppsColumn = 2;
constexpr int kPathLimit = 257;
constexpr wchar_t kTitlePrefix[] = L"復帰後に起動するアプリ";

struct PageControl {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  int x, y, width, height;
};

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr PageControl kControls[] = {
    {kAppTitleLabel, L"STATIC", L"復帰後に起動するアプリ(----/--/-- --:--)", 0, 0, 6, 21, 253, 18},
    {kAppCopyButton, L"BUTTON", L"リストをコピー", kButton, 0, 9, 238, 100, 30},
    {kAppPasteButton, L"BUTTON", L"貼り付け", kButton, 0, 115, 238, 100, 30},
    {kAppRemoveButton, L"BUTTON", L"削除", kButton, 0, 243, 238, 100, 30},
    {kAppPathEdit, L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 349, 46, 204, 25},
    {kAppBrowseButton, L"BUTTON", L"参照", kButton, 0, 557, 43, 62, 30},
    {kFromResumeLabel, L"STATIC", L"復帰してから", 0, 0, 407, 91, 80, 18},
    {kAppDelayEdit, L"EDIT", L"", ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP, 0, 493, 87, 45, 25},
    {kSecondsLabel, L"STATIC", L"秒後に起動", 0, 0, 545, 91, 68, 18},
    {kArgumentsLabel, L"STATIC", L"コマンドライン引数:", 0, 0, 346, 127, 128, 18},
    {kAppArgumentsEdit, L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 349, 149, 267, 25},
    {kAppMinimizedBox, L"BUTTON", L"最小化状態で起動", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 493, 192, 123, 22},
    {kAppSetButton, L"BUTTON", L"セット", kButton, 0, 516, 238, 100, 30},
};

constexpr int kColumnWidths[] = {132, 43, 100};
const wchar_t* const kColumnTexts[] = {L"アプリ名", L"時差", L"コマンドライン"};
constexpr int kColumnFormats[] = {LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT};

// The item the page shows: its row, slot and action-list position.
struct CurrentItem {
  int row = -1;
  int slot = -1;
  int position = -1;
  bool editable = false;
};
CurrentItem current;

AppClipboard appClipboard;
uint8_t appClipboardValid;
HeaderDragState appHeaderDrag;
bool refilling;

SettingsSheetState& S() { return settingsSheetState; }
HWND Item(HWND page, int id) { return GetDlgItem(page, id); }
HWND List(HWND page) { return Item(page, kAppListViewId); }

LRESULT CALLBACK AppListSubclassProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
  return HeaderDragRepaint(appHeaderDrag, header, message, wParam, lParam);
}

void EnableAppsPageButtons(HWND page, bool enable) {
  EnableWindow(Item(page, kAppSetButton), enable);
  EnableWindow(Item(page, kAppCopyButton), enable);
  EnableWindow(Item(page, kAppPasteButton), enable && appClipboardValid == 1);
  EnableWindow(Item(page, kAppRemoveButton), FALSE);
}

std::wstring FileTitle(const wchar_t* path) {
  wchar_t title[MAX_PATH] = L"";
  GetFileTitleNoExtension(path, title);
  return title;
}

std::wstring DelayText(int32_t delay) {
  wchar_t text[16];
  swprintf(text, 16, L"+%d", delay);
  return text;
}

// Lists the current item's applications from the working copies.
void FillList(HWND page) {
  HWND list = List(page);
  refilling = true;
  ListView_DeleteAllItems(list);
  if (current.editable) {
    const ItemApps apps = WorkingItemApps(current.row, current.slot);
    const int count = AppListLength(apps.order);
    for (int k = 0; k < count; ++k) {
      const int e = apps.order[k];
      InsertListViewItem(list, FileTitle(apps.paths[e]).c_str(), k);
      SetListViewItemText(list, DelayText(apps.delays[e]).c_str(), k, 1);
      SetListViewItemText(list, apps.arguments[e], k, 2);
    }
  }
  refilling = false;
}

void ShowCountInActionList() {
  if (current.row != S().actionListRow || !S().actionListView || current.position < 0) return;
  const int count = AppListLength(WorkingItemApps(current.row, current.slot).order);
  SetListViewItemText(S().actionListView, AppsCellText(count).c_str(), current.position, kAppsColumn);
}

void ShowItem(HWND page, int position) {
  current = CurrentItem{};
  const ScheduleItem* item = position >= 0 ? ItemAtPosition(S().selectedRow, position) : nullptr;
  if (item) {
    current.row = S().selectedRow;
    current.slot = orderTable[current.row][position];
    current.position = position;
    current.editable = item->action == WakeOnly;
  }
  EnableAppsPageButtons(page, current.editable);
  const std::wstring title =
      ItemTitle(kTitlePrefix, scheduleMode, current.editable ? item : nullptr, current.row);
  SetDlgItemTextW(page, kAppTitleLabel, title.c_str());
  FillList(page);
}

void OnSelect(HWND page, int position) {
  if (!current.editable) return;
  const ItemApps apps = WorkingItemApps(current.row, current.slot);
  if (position < 0 || position >= AppListLength(apps.order)) return;
  const int e = apps.order[position];
  SetDlgItemTextW(page, kAppPathEdit, apps.paths[e]);
  SetDlgItemTextW(page, kAppDelayEdit, std::to_wstring(apps.delays[e]).c_str());
  SetDlgItemTextW(page, kAppArgumentsEdit, apps.arguments[e]);
  CheckDlgButton(page, kAppMinimizedBox, apps.minimized[e] ? BST_CHECKED : BST_UNCHECKED);
  EnableWindow(Item(page, kAppRemoveButton), TRUE);
}

void OnSet(HWND page) {
  std::wstring path = ControlText(Item(page, kAppPathEdit));
  if (path.empty() || !current.editable || !IsWindowEnabled(Item(page, kAppSetButton))) {
    MessageBeep(0);
    return;
  }
  if (path.size() > kPathChars - 1) path.resize(kPathChars - 1);
  if (_wcsicmp(PathFindExtensionW(path.c_str()), L".exe") != 0) {
    MessageBoxW(page, kBadAppFileName, L"", MB_OK);
    return;
  }
  // A pasted or set text passes the digits-only edit: a negative delay would
  // mark a listed entry free.
  int32_t delay = 0;
  if (!ReadEditNumber(page, Item(page, kAppDelayEdit), kMaxAppDelay, &delay)) return;
  const ItemApps apps = WorkingItemApps(current.row, current.slot);
  const int same = FindApplicationPath(apps, path);
  if (same >= 0 && MessageBoxW(page, kSameAppQuestion, L"確認", MB_YESNO) != IDYES) return;
  if (same < 0 && AppListLength(apps.order) >= kAppCount) {
    MessageBoxW(page, kAppListFull, L"", MB_OK);
    return;
  }
  std::wstring arguments = ControlText(Item(page, kAppArgumentsEdit));
  if (arguments.size() > kAppArgumentChars) arguments.resize(kAppArgumentChars);
  const uint8_t minimized = IsDlgButtonChecked(page, kAppMinimizedBox) == BST_CHECKED ? 1 : 0;
  if (PlaceApplication(apps, AppEntry{path, arguments, delay, minimized}, same) < 0) {
    MessageBoxW(page, kAppListFull, L"", MB_OK);
    return;
  }
  FillList(page);
  EnableWindow(Item(page, kAppRemoveButton), FALSE);
  ShowCountInActionList();
}

void OnRemove(HWND page) {
  if (!current.editable) return;
  const int position = ListView_GetNextItem(List(page), -1, LVNI_SELECTED);
  if (position < 0) return;
  RemoveApplication(WorkingItemApps(current.row, current.slot), position);
  FillList(page);
  ShowCountInActionList();
  EnableWindow(Item(page, kAppRemoveButton), FALSE);
}

void OnCopy(HWND page) {
  if (!current.editable) return;
  CopyApplications(WorkingItemApps(current.row, current.slot), appClipboard);
  appClipboardValid = 1;
  EnableWindow(Item(page, kAppPasteButton), TRUE);
}

void OnPaste(HWND page) {
  if (!current.editable || appClipboardValid != 1) return;
  PasteApplications(WorkingItemApps(current.row, current.slot), appClipboard);
  FillList(page);
  ShowCountInActionList();
  EnableWindow(Item(page, kAppRemoveButton), FALSE);
}

void OnBrowse(HWND page) {
  if (BrowseForFile(page, L"exe(*.exe)\0*.exe\0\0", Item(page, kAppPathEdit))) {
    SetDlgItemTextW(page, kAppDelayEdit, L"");
    SetDlgItemTextW(page, kAppArgumentsEdit, L"");
  }
}

void OnInitDialog(HWND page) {
  RegisterSettingsPage(page, kApplicationsPage);
  appClipboardValid = 0;
  current = CurrentItem{};
  const int dpi = ScreenDpiValue();
  HFONT font = DialogUiFont();
  HWND list = CreateScaledControl(page, WC_LISTVIEWW, L"",
                                  WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                                  WS_EX_CLIENTEDGE, kAppListViewId, 9, 46, 334, 184, dpi, nullptr);
  int widths[3];
  for (int i = 0; i < 3; ++i) widths[i] = ScaleForDpi(kColumnWidths[i], dpi);
  SetupListViewColumns(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, widths, list, 3, kColumnTexts, kColumnFormats,
                       meiryoUi16Font ? meiryoUi16Font : font);
  for (const PageControl& c : kControls) {
    CreateScaledControl(page, c.className, c.text, c.style, c.exStyle, c.id, c.x, c.y, c.width, c.height, dpi, font);
  }
  EnableAppsPageButtons(page, false);
  SendDlgItemMessageW(page, kAppPathEdit, EM_LIMITTEXT, kPathLimit, 0);
  SendDlgItemMessageW(page, kAppDelayEdit, EM_LIMITTEXT, 3, 0);
  SendDlgItemMessageW(page, kAppArgumentsEdit, EM_LIMITTEXT, kAppArgumentChars, 0);
  if (HWND header = ListView_GetHeader(list)) {
    appHeaderDrag = HeaderDragState{};
    appHeaderDrag.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AppListSubclassProc)));
  }
  SendMessageW(page, kMsgRefreshPage, static_cast<WPARAM>(S().selectedPosition), 0);
}

void OnApply(HWND page) {
  if (!SettingsPageMayStore(page, kApplicationsPage)) return;
  StoreApplications(S().rowCount);
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
}

void OnListNotify(HWND page, const NMHDR* header) {
  if (refilling) return;
  int row = -1;
  switch (ReadListChoice(List(page), header, &row)) {
    case ListChoice::RowChosen: OnSelect(page, row); break;
    case ListChoice::ClickOnNoRow: EnableWindow(Item(page, kAppRemoveButton), FALSE); break;
    case ListChoice::Other: break;
  }
}

void OnCommand(HWND page, int id) {
  switch (id) {
    case kAppSetButton: OnSet(page); break;
    case kAppRemoveButton: OnRemove(page); break;
    case kAppCopyButton: OnCopy(page); break;
    case kAppPasteButton: OnPaste(page); break;
    case kAppBrowseButton: OnBrowse(page); break;
    default: break;
  }
}

}  // namespace

ItemApps WorkingItemApps(int row, int slot) {
  SettingsSheetState& s = settingsSheetState;
  return ItemApps{s.editAppPaths[row][slot], s.editAppArguments[row][slot], s.editAppDelays[row][slot],
                  s.editAppOrder[row][slot], s.editAppMinimized[row][slot]};
}

void CopyApplications(ItemApps apps, AppClipboard& clipboard) {
  for (int i = 0; i < kAppCount; ++i) clipboard.delays[i] = -1;
  const int count = AppListLength(apps.order);
  for (int k = 0; k < count; ++k) {
    const int e = apps.order[k];
    CopyText(clipboard.paths[k], kPathChars, apps.paths[e], kPathChars);
    CopyText(clipboard.arguments[k], kPathChars, apps.arguments[e], kPathChars);
    clipboard.delays[k] = apps.delays[e];
    clipboard.minimized[k] = apps.minimized[e];
  }
}

int PasteApplications(ItemApps apps, const AppClipboard& clipboard) {
  int i = 0;
  for (; i < kAppCount && clipboard.delays[i] >= 0; ++i) {
    CopyText(apps.paths[i], kPathChars, clipboard.paths[i], kPathChars);
    CopyText(apps.arguments[i], kPathChars, clipboard.arguments[i], kPathChars);
    apps.delays[i] = clipboard.delays[i];
    apps.minimized[i] = clipboard.minimized[i];
    apps.order[i] = i;
  }
  const int pasted = i;
  for (; i < kAppCount; ++i) {
    apps.paths[i][0] = L'\0';
    apps.arguments[i][0] = L'\0';
    apps.delays[i] = -1;
    apps.minimized[i] = 0;
    apps.order[i] = -1;
  }
  return pasted;
}

void StoreApplications(int rowCount) {
  for (int row = 0; row < rowCount && row < kRowCount; ++row) {
    const int count = RowLength(orderTable, row);
    for (int p = 0; p < count; ++p) {
      const int slot = orderTable[row][p];
      ScheduleItem& item = scheduleTable[row][slot];
      wmemset(&item.appPaths[0][0], L'\0', sizeof item.appPaths / sizeof(wchar_t));
      wmemset(&item.appArguments[0][0], L'\0', sizeof item.appArguments / sizeof(wchar_t));
      for (int k = 0; k < kAppCount; ++k) {
        item.appDelays[k] = -1;
        item.appMinimized[k] = 0;
      }
      const ItemApps apps = WorkingItemApps(row, slot);
      const int listed = AppListLength(apps.order);
      for (int k = 0; k < listed; ++k) {
        const int e = apps.order[k];
        CopyText(item.appPaths[k], kPathChars, apps.paths[e], kPathChars);
        CopyText(item.appArguments[k], kCommandChars, apps.arguments[e], kPathChars);
        item.appDelays[k] = apps.delays[e];
        item.appMinimized[k] = apps.minimized[e];
      }
    }
  }
}

std::wstring AppsCellText(int count) {
  if (count <= 0) return L"";
  wchar_t text[16];
  swprintf(text, 16, L"○(%d)", count);
  return text;
}

const DLGTEMPLATE* ApplicationsPageTemplate() {
  static const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_CHILD | WS_CAPTION | DS_3DLOOK | DS_CONTROL, 0, L"アプリ", 412, 184);
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

INT_PTR CALLBACK AppsPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(page);
      return TRUE;
    case kMsgRefreshPage:
      ShowItem(page, static_cast<int>(wParam));
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(page, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == PSN_APPLY) {
        OnApply(page);
        return TRUE;
      }
      if (header->idFrom == kAppListViewId) OnListNotify(page, header);
      return FALSE;
    }
    case WM_DESTROY:
      if (S().pageWindows[kApplicationsPage - 1] == page) S().pageWindows[kApplicationsPage - 1] = nullptr;
      current = CurrentItem{};
      return FALSE;
    default:
      return FALSE;
  }
}
