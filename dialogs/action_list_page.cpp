#include "action_list_page.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "action_names.h"
#include "control_subclasses.h"
#include "in_memory_dialog.h"
#include "list_view_helpers.h"
#include "main_window_state.h"
#include "private_messages.h"
#include "settings_sheet.h"
#include "shared/weekday_names.h"
#include "start_checks.h"
#include "weekday_button.h"

bool actionListHasItems;

namespace {

constexpr int kColumnCount = 6;
constexpr int kColumnWidths[kColumnCount] = {120, 100, 75, 75, 90, 120};
const wchar_t* const kColumnTexts[kColumnCount] = {L"日時", L"動作", L"アプリ起動", L"サウンド", L"キャプチャー",
                                                   L"メール"};
constexpr int kColumnFormats[kColumnCount] = {LVCFMT_LEFT, LVCFMT_LEFT,   LVCFMT_LEFT,
                                              LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_LEFT};

// Set while the list is refilled, so the refill's own notifications do not
// count as the user's choice.
bool refilling;

SettingsSheetState& S() { return settingsSheetState; }

std::wstring Bounded(const wchar_t* text, size_t size) { return std::wstring(text, wcsnlen(text, size)); }

ActionListCells FormatCells(bool appsUsed, int appCount, int32_t action, int32_t sound, int32_t lead,
                            uint8_t capture, int32_t mailTo, const wchar_t (*addresses)[256]) {
  ActionListCells cells;
  wchar_t text[32];
  if (appsUsed) {
    swprintf(text, 32, L"○(%d)", appCount);
    cells.apps = text;
  }
  if (sound != 0) {
    swprintf(text, 32, action == WakeOnly ? L"○(+%d)" : L"○(-%d)", lead);
    cells.sound = text;
  }
  if (capture) cells.capture = L"○";
  if (mailTo >= 1 && mailTo <= kAddressCount) cells.mail = Bounded(addresses[mailTo - 1], 256);
  return cells;
}

const wchar_t* ActionName(int32_t action) {
  if (action < 0 || action >= kActionNameCount || !actionDisplayNames[action]) return L"";
  return actionDisplayNames[action];
}

void AddRow(HWND list, int position, const ScheduleItem& item, const ActionListCells& cells) {
  const std::wstring time = Bounded(item.timeText, 20);
  InsertListViewItem(list, time.c_str(), position);
  SetListViewItemText(list, ActionName(item.action), position, 1);
  SetListViewItemText(list, cells.apps.c_str(), position, 2);
  SetListViewItemText(list, cells.sound.c_str(), position, 3);
  SetListViewItemText(list, cells.capture.c_str(), position, 4);
  SetListViewItemText(list, cells.mail.c_str(), position, 5);
}

HWND List() { return S().actionListView; }

void SendChoice(int first, int second, int position) {
  for (int page : {first, second}) {
    if (HWND window = S().pageWindows[page - 1])
      SendMessageW(window, kMsgRefreshPage, static_cast<WPARAM>(position), 0);
  }
}

void ForgetChoiceWhenNoneSelected() {
  if (ListView_GetNextItem(List(), -1, LVNI_SELECTED) != -1) return;
  S().selectedPosition = -1;
  S().selectedRow = -1;
  SendChoice(kSoundPage, kApplicationsPage, -1);
}

// Lists the shown row from the working copies, so the pages' edits show.
void ListRowFromWorkingCopies(HWND list) {
  refilling = true;
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  const int row = S().actionListRow;
  const int count = RowLength(orderTable, row);
  for (int p = 0; p < count; ++p) {
    const int slot = orderTable[row][p];
    const ScheduleItem& item = scheduleTable[row][slot];
    AddRow(list, p, item, WorkingActionListCells(row, slot, item.action));
  }
  if (row == S().selectedRow && S().selectedPosition >= 0 && S().selectedPosition < count)
    ListView_SetItemState(list, S().selectedPosition, LVIS_SELECTED, LVIS_SELECTED);
  refilling = false;
}

void OnWeekday(HWND panel, int row) {
  if (scheduleMode != WeeklyMode || !actionListHasItems) return;
  InvalidateRect(GetDlgItem(panel, kFirstWeekdayButtonId + S().actionListRow), nullptr, FALSE);
  S().actionListRow = row;
  InvalidateRect(GetDlgItem(panel, kFirstWeekdayButtonId + row), nullptr, FALSE);
  ListRowFromWorkingCopies(List());
}

LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const int item = static_cast<int>(draw->nmcd.dwItemSpec);
  HWND list = draw->nmcd.hdr.hwndFrom;
  const bool selected = ListView_GetItemState(list, item, LVIS_SELECTED) & LVIS_SELECTED;
  // The system's inactive selection is hard to see; the chosen item keeps
  // the active colours while the focus is elsewhere.
  if (selected && GetFocus() != list && S().actionListRow == S().selectedRow && item == S().selectedPosition) {
    draw->nmcd.uItemState &= ~CDIS_SELECTED;
    draw->clrText = RGB(255, 255, 255);
    draw->clrTextBk = RGB(51, 153, 255);
    return CDRF_NEWFONT;
  }
  return CDRF_DODEFAULT;
}

LRESULT OnListNotify(NMHDR* header) {
  if (header->code == NM_CUSTOMDRAW) return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
  // The grey "なし" row of an empty schedule cannot be chosen.
  if (header->code == LVN_ITEMCHANGING) return actionListHasItems ? FALSE : TRUE;
  if (!actionListHasItems || refilling) return 0;
  int row = -1;
  const ListChoice choice = ReadListChoice(header->hwndFrom, header, &row);
  if (choice == ListChoice::RowChosen) {
    S().selectedRow = S().actionListRow;
    S().selectedPosition = row;
    SendChoice(kApplicationsPage, kSoundPage, row);
  }
  // Any change of a row's state may have left none selected.
  const bool stateChanged = header->code == LVN_ITEMCHANGED &&
                            (reinterpret_cast<const NMLISTVIEW*>(header)->uChanged & LVIF_STATE);
  if (choice != ListChoice::Other || stateChanged) ForgetChoiceWhenNoneSelected();
  return 0;
}

void OnInitDialog(HWND panel) {
  const int dpi = ScreenDpiValue();
  HFONT font = DialogUiFont();
  const bool weekly = scheduleMode == WeeklyMode;
  for (int d = 0; d < kRowCount; ++d) {
    HWND button = CreateScaledControl(panel, L"BUTTON", weekdayNames[d], BS_OWNERDRAW | WS_TABSTOP | WS_DISABLED, 0,
                                      kFirstWeekdayButtonId + d, 16 + 30 * d, 9, 28, 28, dpi, font);
    InstallSubclass(button, ImageButtonProc, &previousImageButtonProc);
  }
  HWND list = CreateScaledControl(panel, WC_LISTVIEWW, L"",
                                  WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                                  WS_EX_CLIENTEDGE, kActionListViewId, 17, 45, 630, 185, dpi, nullptr);
  S().actionListView = list;
  int widths[kColumnCount];
  for (int i = 0; i < kColumnCount; ++i) widths[i] = ScaleForDpi(kColumnWidths[i], dpi);
  SetupListViewColumns(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, widths, list, kColumnCount, kColumnTexts,
                       kColumnFormats, meiryoUi16Font ? meiryoUi16Font : font);

  actionListHasItems = ScheduleHasItems(scheduleMode, orderTable);
  refilling = true;
  if (actionListHasItems) {
    const int count = RowLength(orderTable, 0);
    for (int p = 0; p < count; ++p) {
      const ScheduleItem& item = scheduleTable[0][orderTable[0][p]];
      AddRow(list, p, item, ModelActionListCells(item, profileSettings.mail));
    }
    if (weekly) {
      for (int d = 0; d < kRowCount; ++d) EnableWindow(GetDlgItem(panel, kFirstWeekdayButtonId + d), TRUE);
    }
  } else {
    InsertListViewItem(list, L"なし", 0);
    ListView_SetTextColor(list, RGB(150, 150, 150));
  }
  refilling = false;
  FillSheetWorkingCopies();
  MoveWindow(panel, 0, 0, ScaleForDpi(660, dpi), ScaleForDpi(235, dpi), FALSE);
}

}  // namespace

bool ScheduleHasItems(int32_t mode, const OrderTable& order) {
  const int rows = mode == WeeklyMode ? kRowCount : 1;
  for (int row = 0; row < rows; ++row) {
    if (RowLength(order, row) > 0) return true;
  }
  return false;
}

ActionListCells ModelActionListCells(const ScheduleItem& item, const MailSettings& mail) {
  int apps = 0;
  while (apps < kAppCount && item.appDelays[apps] != -1) ++apps;
  return FormatCells(item.appDelays[0] != -1, apps, item.action, item.soundIndex, item.soundSeconds,
                     item.captureEnabled, item.mailTo, mail.addresses);
}

ActionListCells WorkingActionListCells(int row, int slot, int32_t action) {
  const SettingsSheetState& s = settingsSheetState;
  const int32_t* order = s.editAppOrder[row][slot];
  int apps = 0;
  while (apps < kAppCount && order[apps] != -1) ++apps;
  return FormatCells(order[0] != -1, apps, action, s.soundChoice[row][slot], s.soundLead[row][slot],
                     s.workingCapture[row][slot], s.workingMailTo[row][slot], s.workingAddresses);
}

void FillSheetWorkingCopies() {
  SettingsSheetState& s = settingsSheetState;
  for (int row = 0; row < kRowCount; ++row) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      for (int j = 0; j < kAppCount; ++j) {
        s.editAppDelays[row][slot][j] = -1;
        s.editAppOrder[row][slot][j] = -1;
      }
      s.workingCapture[row][slot] = 0;
      s.workingMailTo[row][slot] = 0;
    }
  }
  std::memcpy(s.workingAddresses, profileSettings.mail.addresses, sizeof s.workingAddresses);
  for (int row = 0; row < s.rowCount && row < kRowCount; ++row) {
    const int count = RowLength(orderTable, row);
    for (int p = 0; p < count; ++p) {
      const int slot = orderTable[row][p];
      const ScheduleItem& item = scheduleTable[row][slot];
      s.soundChoice[row][slot] = item.soundIndex;
      s.soundLead[row][slot] = item.soundSeconds;
      for (int j = 0; j < kAppCount && item.appDelays[j] != -1; ++j) {
        std::memcpy(s.editAppPaths[row][slot][j], item.appPaths[j], sizeof item.appPaths[j]);
        s.editAppPaths[row][slot][j][kPathChars - 1] = L'\0';
        wcsncpy(s.editAppArguments[row][slot][j], item.appArguments[j], kCommandChars);
        s.editAppArguments[row][slot][j][kCommandChars - 1] = L'\0';
        s.editAppDelays[row][slot][j] = item.appDelays[j];
        s.editAppMinimized[row][slot][j] = item.appMinimized[j];
        s.editAppOrder[row][slot][j] = j;
      }
      s.workingCapture[row][slot] = item.captureEnabled;
      s.workingMailTo[row][slot] = item.mailTo;
    }
  }
}

HWND CreateActionListPage(HWND sheet) {
  static const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_CHILD | WS_VISIBLE | DS_CONTROL, WS_EX_CONTROLPARENT, L"", 10, 10);
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                    sheet, ActionListPageDlgProc, reinterpret_cast<LPARAM>(sheet));
}

INT_PTR CALLBACK ActionListPageDlgProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(panel);
      return FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (HIWORD(wParam) == BN_CLICKED && id >= kFirstWeekdayButtonId && id < kFirstWeekdayButtonId + kRowCount)
        OnWeekday(panel, id - kFirstWeekdayButtonId);
      return TRUE;
    }
    case WM_NOTIFY: {
      NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom != List()) return FALSE;
      SetWindowLongPtrW(panel, DWLP_MSGRESULT, OnListNotify(header));
      return TRUE;
    }
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const int day = static_cast<int>(draw->CtlID) - kFirstWeekdayButtonId;
      if (day < 0 || day >= kRowCount) return FALSE;
      const bool active = scheduleMode == WeeklyMode && actionListHasItems;
      DrawWeekdayButton(draw, active, active && day == S().actionListRow);
      return TRUE;
    }
    case WM_DESTROY:
      if (S().actionListView == GetDlgItem(panel, kActionListViewId)) S().actionListView = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}
