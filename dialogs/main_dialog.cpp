#include "main_dialog.h"

#include <commctrl.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>
#include <string>

#include "control_subclasses.h"
#include "count_window.h"
#include "countdown_dialog.h"
#include "dialog_images.h"
#include "dpi_scaling.h"
#include "in_memory_dialog.h"
#include "list_view_helpers.h"
#include "main_window_state.h"
#include "mode_dialog.h"
#include "settings_pages.h"
#include "profile_dialog.h"
#include "program_handover.h"
#include "mail_job_calls.h"
#include "private_messages.h"
#include "schedule_edit.h"
#include "schedule_model.h"
#include "settings_sheet.h"
#include "shared/clock.h"
#include "shared/error_log.h"
#include "shared/program_paths.h"
#include "shared/schedule_time.h"
#include "shared/utilities.h"
#include "shared/weekday_names.h"
#include "start_checks.h"
#include "weekday_button.h"

int32_t listRow;
HWND savedFocus;
uint8_t menuOpen;
HWND itemList;

namespace {

int dialogDpi = 96;
int menuBarTop;
int menuGapWidth;

int S(int value) { return ScaleForDpi(value, dialogDpi); }

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void SetListText(int row, int column, const wchar_t* text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text);
  SendMessageW(itemList, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Refills the list from the OrderTable row; the model is the truth, the
// list shows it.
void FillList(int row) {
  SendMessageW(itemList, LVM_DELETEALLITEMS, 0, 0);
  const int count = RowLength(orderTable, row);
  for (int p = 0; p < count; ++p) {
    const ScheduleItem& item = scheduleTable[row][orderTable[row][p]];
    wchar_t timeText[21] = {};
    wcsncpy(timeText, item.timeText, 20);
    LVITEMW lv{};
    lv.mask = LVIF_TEXT;
    lv.iItem = p;
    lv.pszText = timeText;
    SendMessageW(itemList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lv));
    const int action = item.action >= 0 && item.action <= WakeOnly ? item.action : 0;
    SetListText(p, 1, actionDisplayNames[action]);
    wchar_t oleText[21] = {};
    wcsncpy(oleText, item.oleTimeText, 20);
    SetListText(p, 2, oleText);
    wchar_t slotText[8];
    swprintf(slotText, 8, L"%d", orderTable[row][p]);
    SetListText(p, 3, slotText);
  }
}

void EnableByMode(HWND dialog) {
  for (int d = 0; d < 7; ++d) EnableWindow(Item(dialog, kFirstDayButtonId + d), scheduleMode == WeeklyMode);
  EnableWindow(Item(dialog, kDatePickerId), scheduleMode == DateMode);
}

void SetPickersToNow(HWND dialog) {
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  now.wSecond = 0;
  now.wMilliseconds = 0;
  DateTime_SetSystemtime(Item(dialog, kDatePickerId), GDT_VALID, &now);
  DateTime_SetSystemtime(Item(dialog, kTimePickerId), GDT_VALID, &now);
}

void Refill(HWND dialog) {
  EnableByMode(dialog);
  SetPickersToNow(dialog);
  SendMessageW(Item(dialog, kActionComboId), CB_SETCURSEL, 0, 0);
  if (scheduleMode != WeeklyMode) listRow = 0;
  FillList(listRow);
  EnableWindow(Item(dialog, kDeleteButtonId), FALSE);
}

void CreateControls(HWND dialog) {
  HFONT font = DialogUiFont();
  HFONT bold = DialogBoldFont();
  const int dpi = dialogDpi;
  CreateScaledControl(dialog, L"STATIC", L"時間", SS_NOTIFY, 0, kTimeLabelId, 12, 51, 32, 18, dpi, bold);
  CreateScaledControl(dialog, L"STATIC", L"動作", 0, 0, kActionLabelId, 12, 83, 31, 18, dpi, bold);
  CreateScaledControl(dialog, DATETIMEPICK_CLASSW, L"", WS_TABSTOP | DTS_LONGDATEFORMAT, 0,
                      kDatePickerId, 94, 46, 120, 25, dpi, font);
  CreateScaledControl(dialog, DATETIMEPICK_CLASSW, L"", WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN, 0,
                      kTimePickerId, 220, 46, 58, 25, dpi, font);
  // A drop-down combo whose edit part cannot be typed into; a click opens it.
  // The height given at creation is that of the open list, room for the six
  // actions; the closed box takes its height from its font.
  HWND combo = CreateScaledControl(dialog, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 0,
                                   kActionComboId, 94, 77, 120, 200, dpi, font);
  for (int d = 0; d < 7; ++d) {
    HWND day = CreateScaledControl(dialog, L"BUTTON", weekdayNames[d], WS_TABSTOP | BS_OWNERDRAW, 0,
                                   kFirstDayButtonId + d, 15 + 30 * d, 111, 28, 28, dpi, font);
    InstallSubclass(day, ImageButtonProc, &previousImageButtonProc);
  }
  itemList = CreateScaledControl(
      dialog, WC_LISTVIEWW, L"",
      WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
      WS_EX_CLIENTEDGE, kItemListId, 12, 145, 278, 162, dpi, font);
  CreateScaledControl(dialog, L"BUTTON", L"追加", WS_TABSTOP | BS_PUSHBUTTON, 0, kAddButtonId, 306,
                      210, 65, 45, dpi, font);
  CreateScaledControl(dialog, L"BUTTON", L"削除", WS_TABSTOP | BS_PUSHBUTTON | WS_DISABLED, 0,
                      kDeleteButtonId, 306, 263, 65, 45, dpi, font);
  HWND menuButton = CreateScaledControl(dialog, L"BUTTON", L"メニュー", WS_TABSTOP | BS_OWNERDRAW, 0,
                                        kMenuButtonId, 0, 321, 81, 32, dpi, font);
  // Its x is -1 at every DPI, so its left edge hides under the frame.
  SetWindowPos(menuButton, nullptr, -1, S(321), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  CreateScaledControl(dialog, L"BUTTON", L"開始", WS_TABSTOP | BS_OWNERDRAW, 0, IDOK, 228, 321, 81,
                      32, dpi, font);
  HWND endButton = CreateScaledControl(dialog, L"BUTTON", L"終了", WS_TABSTOP | BS_OWNERDRAW, 0,
                                       IDCANCEL, 308, 321, 81, 32, dpi, font);
  // Quick repeated clicks on the image buttons arrive as separate clicks.
  SetClassLongPtrW(endButton, GCL_STYLE, GetClassLongPtrW(endButton, GCL_STYLE) & ~CS_DBLCLKS);

  const struct {
    const wchar_t* header;
    int width;
  } columns[4] = {{L"日時", 132}, {L"動作", 115}, {L"", 0}, {L"", 0}};
  for (int c = 0; c < 4; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = S(columns[c].width);
    column.pszText = const_cast<wchar_t*>(columns[c].header);
    column.iSubItem = c;
    SendMessageW(itemList, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(itemList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  // The header ignores clicks and cursor changes, so the hidden columns stay hidden.
  HWND header = reinterpret_cast<HWND>(SendMessageW(itemList, LVM_GETHEADER, 0, 0));
  if (header) InstallSubclass(header, InertHeaderProc, &previousInertHeaderProc);
  InstallSubclass(Item(dialog, kTimePickerId), WheelToArrowKeysProc, &previousWheelToArrowKeysProc);
  COMBOBOXINFO comboInfo{};
  comboInfo.cbSize = sizeof comboInfo;
  if (GetComboBoxInfo(combo, &comboInfo) && comboInfo.hwndItem)
    InstallSubclass(comboInfo.hwndItem, ReadOnlyComboEditProc, &previousReadOnlyComboEditProc);
  InstallSubclass(combo, ComboClickDropDownProc, &previousComboClickDropDownProc);
}

// Sizes the frame so that its client area (not its outer size) holds the
// dialog, and centres it on the work area.
void FitParent(HWND dialog) {
  const int width = S(kMainDialogWidth);
  const int height = S(kMainDialogHeight);
  SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  HWND parent = GetParent(dialog);
  if (!parent) return;
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(parent, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(parent, GWL_EXSTYLE)));
  const int outerWidth = frame.right - frame.left;
  const int outerHeight = frame.bottom - frame.top;
  const POINT at = CenterOnWorkArea(CurrentWorkArea(), outerWidth, outerHeight);
  SetWindowPos(parent, nullptr, at.x, at.y, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void LoadDialogImages(HWND dialog);

void OnInitDialog(HWND dialog, LPARAM loaded) {
  listRow = 0;
  savedFocus = nullptr;
  menuOpen = 0;
  mainDialog = dialog;
  LoadDialogImages(dialog);
  dialogDpi = ScreenDpiValue();
  CreateControls(dialog);
  EnableByMode(dialog);

  // The picker compares its minimum with the time of day too: start at 00:00.
  SYSTEMTIME range[2] = {};
  GetClockLocalTime(&range[0]);
  range[0].wHour = range[0].wMinute = range[0].wSecond = range[0].wMilliseconds = 0;
  DateTime_SetRange(Item(dialog, kDatePickerId), GDTR_MIN, range);
  DateTime_SetFormat(Item(dialog, kTimePickerId), L"HH:mm");
  HWND combo = Item(dialog, kActionComboId);
  for (const wchar_t* name : actionDisplayNames) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }

  if (loaded == 1) {
    SendMessageW(dialog, kMsgFillFromModel, 0, 0);
  } else {
    wchar_t captureFolder[MAX_PATH];
    if (defaultCaptureFolder[0])
      CopyText(captureFolder, MAX_PATH, defaultCaptureFolder);
    else
      swprintf(captureFolder, MAX_PATH, L"%lsss", programFolder);
    ResetModelToDefaults(scheduleTable, orderTable, profileSettings, captureFolder);
    SetPickersToNow(dialog);
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  FitParent(dialog);
  menuBarTop = S(321);
  RECT menuRect, startRect;
  GetWindowRect(Item(dialog, kMenuButtonId), &menuRect);
  GetWindowRect(Item(dialog, IDOK), &startRect);
  menuGapWidth = startRect.left - menuRect.right;
  SetFocus(Item(dialog, kTimeLabelId));
  if (startProfileName[0]) PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

SYSTEMTIME ReadPickers(HWND dialog) {
  SYSTEMTIME date{}, time{};
  DateTime_GetSystemtime(Item(dialog, kDatePickerId), &date);
  DateTime_GetSystemtime(Item(dialog, kTimePickerId), &time);
  return ComposeItemTime(scheduleMode, date, time);
}

void OnAdd(HWND dialog) {
  const SYSTEMTIME t = ReadPickers(dialog);
  LRESULT selected = SendMessageW(Item(dialog, kActionComboId), CB_GETCURSEL, 0, 0);
  const int32_t action = selected >= 0 && selected <= WakeOnly ? static_cast<int32_t>(selected) : 0;
  AddPlan plan = PlanAddItem(scheduleTable, orderTable, listRow, t, action);
  switch (plan.kind) {
    case AddKind::SameItem:
      MessageBeep(0);
      return;
    case AddKind::RowFull:
      MessageBoxW(dialog, L"これ以上追加できません。", L"", MB_OK);
      return;
    case AddKind::TooClose:
      MessageBoxW(dialog, L"最低でも10分は間を空けて下さい。", L"", MB_OK);
      return;
    case AddKind::AskOverwrite:
      if (MessageBoxW(dialog, L"日時が同じものがすでにあります。上書きしますか？", L"確認",
                      MB_YESNO) != IDYES) {
        return;
      }
      break;
    case AddKind::Insert:
      break;
  }
  CommitAddItem(scheduleTable, orderTable, scheduleMode, listRow, plan, t, action);
  FillList(listRow);
  EnableWindow(Item(dialog, kDeleteButtonId), FALSE);
}

void OnDelete(HWND dialog) {
  const int sel = static_cast<int>(SendMessageW(itemList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (sel < 0) return;
  if (DeleteItemAt(scheduleTable, orderTable, listRow, sel)) {
    SendMessageW(itemList, LVM_DELETEITEM, static_cast<WPARAM>(sel), 0);
  }
  EnableWindow(Item(dialog, kDeleteButtonId), FALSE);
}

void OnDay(HWND dialog, int day) {
  if (day == listRow) return;
  const int old = listRow;
  listRow = day;
  FillList(day);
  EnableWindow(Item(dialog, kDeleteButtonId), FALSE);
  InvalidateRect(Item(dialog, kFirstDayButtonId + old), nullptr, TRUE);
  InvalidateRect(Item(dialog, kFirstDayButtonId + day), nullptr, TRUE);
}

void ShowSelectedItem(HWND dialog, int position) {
  if (position < 0 || position >= RowLength(orderTable, listRow)) return;
  const ScheduleItem& item = scheduleTable[listRow][orderTable[listRow][position]];
  EnableWindow(Item(dialog, kDeleteButtonId), TRUE);
  SYSTEMTIME time = item.time;
  if (scheduleMode == DateMode) {
    DateTime_SetSystemtime(Item(dialog, kDatePickerId), GDT_VALID, &item.time);
    time.wYear = 2010;
    time.wMonth = 1;
    time.wDay = 1;
    time.wDayOfWeek = 5;
  }
  DateTime_SetSystemtime(Item(dialog, kTimePickerId), GDT_VALID, &time);
  if (item.action >= 0 && item.action <= WakeOnly) {
    SendMessageW(Item(dialog, kActionComboId), CB_SETCURSEL, static_cast<WPARAM>(item.action), 0);
  }
}

LRESULT OnListNotify(HWND dialog, NMHDR* header) {
  int row = -1;
  switch (ReadListChoice(itemList, header, &row)) {
    case ListChoice::RowChosen: {
      // Only a row newly chosen fills the editors.
      const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
      if ((reinterpret_cast<NMLISTVIEW*>(header)->uOldState & both) != both) ShowSelectedItem(dialog, row);
      return 0;
    }
    case ListChoice::ClickOnNoRow:
      EnableWindow(Item(dialog, kDeleteButtonId), FALSE);
      return 0;
    case ListChoice::Other:
      break;
  }
  switch (header->code) {
    case LVN_ITEMCHANGED:
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
    case NM_RDBLCLK:
      return 0;
    case NM_CUSTOMDRAW: {
      NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const int drawn = static_cast<int>(draw->nmcd.dwItemSpec);
        const UINT state = static_cast<UINT>(
            SendMessageW(itemList, LVM_GETITEMSTATE, static_cast<WPARAM>(drawn), LVIS_SELECTED | LVIS_FOCUSED));
        const bool systemDraws = (state & LVIS_SELECTED) && (state & LVIS_FOCUSED) && GetFocus() == itemList;
        if ((state & LVIS_SELECTED) && !systemDraws) {
          draw->nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
          draw->clrText = RGB(255, 255, 255);
          draw->clrTextBk = RGB(51, 153, 255);
          return CDRF_NEWFONT;
        }
      }
      return CDRF_DODEFAULT;
    }
    default:
      return 0;
  }
}

// The dialog's own images: 216 top band, 169 wide button, 182 pressed, 183
// shadow line; each in a memory DC from creation to WM_DESTROY.
enum DialogImage { kTopBand, kWideButton, kWideButtonPressed, kShadowLine, kDialogImageCount };
constexpr int kDialogImageIds[kDialogImageCount] = {216, 169, 182, 183};
DialogBitmap dialogImages[kDialogImageCount];

void LoadDialogImages(HWND dialog) { LoadDialogBitmaps(dialog, kDialogImageIds, dialogImages, kDialogImageCount); }
void FreeDialogImages() { FreeDialogBitmaps(dialogImages, kDialogImageCount); }

void DrawImageButton(const DRAWITEMSTRUCT* draw) {
  const int id = static_cast<int>(draw->CtlID);
  const bool pressed = (draw->itemState & ODS_SELECTED) || (id == kMenuButtonId && menuOpen);
  RECT rect = draw->rcItem;
  wchar_t text[16] = {};
  GetWindowTextW(draw->hwndItem, text, 16);
  HDC dc = draw->hDC;
  if (id >= kFirstDayButtonId && id < kFirstDayButtonId + 7) {
    const bool weekly = scheduleMode == WeeklyMode;
    DrawWeekdayButton(draw, weekly, weekly && id - kFirstDayButtonId == listRow);
    if (draw->itemState & ODS_FOCUS) {
      InflateRect(&rect, -2, -2);
      DrawFocusRect(dc, &rect);
    }
    return;
  }
  const DialogImage image = pressed ? kWideButtonPressed : kWideButton;
  if (!StretchDialogBitmap(dc, rect, dialogImages[image]))
    DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (draw->itemState & ODS_FOCUS) {
    InflateRect(&rect, -2, -2);
    DrawFocusRect(dc, &rect);
  }
}

void OnPaint(HWND dialog) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(dialog, &ps);
  // Plain colours stand in where an image is missing.
  RECT band{0, 0, S(383), S(38)};
  if (!StretchDialogBitmap(dc, band, dialogImages[kTopBand])) {
    HBRUSH bandBrush = CreateSolidBrush(RGB(222, 234, 246));
    FillRect(dc, &band, bandBrush);
    DeleteObject(bandBrush);
  }
  RECT gap{S(81) - 1, menuBarTop, S(81) - 1 + menuGapWidth, menuBarTop + S(32)};
  const RECT middle{1, 0, 80, 32};
  if (!StretchDialogBitmap(dc, gap, dialogImages[kWideButton], &middle))
    FillRect(dc, &gap, GetSysColorBrush(COLOR_BTNFACE));
  RECT shadow{0, menuBarTop - S(7), S(389), menuBarTop};
  if (!StretchDialogBitmap(dc, shadow, dialogImages[kShadowLine])) {
    HBRUSH shadowBrush = CreateSolidBrush(RGB(200, 200, 200));
    FillRect(dc, &shadow, shadowBrush);
    DeleteObject(shadowBrush);
  }
  EndPaint(dialog, &ps);
}

void OnMenuButton(HWND dialog) {
  if (menuOpen) return;
  RECT rect;
  HWND button = Item(dialog, kMenuButtonId);
  GetWindowRect(button, &rect);
  HMENU popup = BuildMainMenu184();
  SetForegroundWindow(dialog);
  menuOpen = 1;
  InvalidateRect(button, nullptr, FALSE);
  TrackPopupMenu(popup, TPM_BOTTOMALIGN, rect.left, rect.top - S(3), 0, dialog, nullptr);
  menuOpen = 0;
  DestroyMenu(popup);
  InvalidateRect(button, nullptr, FALSE);
}

void OnHandOver(HWND dialog) {
  if (HandOverToProgram(dialog, L"sopora.exe", L"本プログラムを終了し、soporaを起動します。よろしいですか？",
                        L"sopora.exeが見つかりませんでした。")) {
    DestroyWindow(mainWindow ? mainWindow : GetParent(dialog));
  }
}

// Enter arrives as command 1 whatever has the focus; the focused control decides.
void OnCommandOne(HWND dialog) {
  HWND focus = GetFocus();
  const int focusId = focus && GetParent(focus) == dialog ? GetDlgCtrlID(focus) : 0;
  if (focusId == IDCANCEL || (focusId >= kFirstDayButtonId && focusId < kFirstDayButtonId + 7)) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(focusId, BN_CLICKED), reinterpret_cast<LPARAM>(focus));
    InvalidateRect(focus, nullptr, FALSE);
    return;
  }
  if (focusId == kMenuButtonId) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kMenuButtonId, BN_CLICKED), reinterpret_cast<LPARAM>(focus));
    return;
  }
  StartSchedule(dialog);
}

void OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  // Buttons report only BN_CLICKED here, so one click runs its handler once.
  if (lParam && HIWORD(wParam) != BN_CLICKED) return;
  if (id >= kFirstDayButtonId && id < kFirstDayButtonId + 7) {
    if (scheduleMode == WeeklyMode) OnDay(dialog, id - kFirstDayButtonId);
    return;
  }
  switch (id) {
    case IDOK: OnCommandOne(dialog); break;
    case IDCANCEL: DestroyWindow(mainWindow ? mainWindow : GetParent(dialog)); break;
    case kAddButtonId: OnAdd(dialog); break;
    case kDeleteButtonId: OnDelete(dialog); break;
    case kMenuButtonId: OnMenuButton(dialog); break;
    case kCmdSettingsSheet: OpenSettingsSheet(dialog, settingsPages, kSettingsPageCount); break;
    case kCmdProfiles:
      if (RunProfileDialog(dialog) == 1) SendMessageW(dialog, kMsgFillFromModel, 0, 0);
      break;
    case kCmdSwitchMode: PostMessageW(mainWindow ? mainWindow : GetParent(dialog), kMsgSwitchMode, 0, 0); break;
    case kCmdHandOver: OnHandOver(dialog); break;
    default: break;
  }
}

}  // namespace

HMENU BuildMainMenu184() {
  HMENU popup = CreatePopupMenu();
  AppendMenuW(popup, MF_STRING, kCmdSettingsSheet, L"詳細設定");
  AppendMenuW(popup, MF_STRING, kCmdProfiles, L"プロファイル");
  AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(popup, MF_STRING, kCmdSwitchMode, L"モード切替");
  AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(popup, MF_STRING, kCmdHandOver, L"そぽらを起動");
  return popup;
}

HMENU BuildAllItemsMenu153() {
  HMENU popup = CreatePopupMenu();
  const wchar_t* texts[6] = {L"全てのシャットダウン時", L"全ての再起動時", L"全てのログオフ時",
                             L"全ての休止状態時",       L"全てのスリープ時", L"全ての復帰時"};
  for (int i = 0; i < 6; ++i) AppendMenuW(popup, MF_STRING, 0x8013 + i, texts[i]);
  AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(popup, MF_STRING, 0x8019, L"全ての終了時");
  return popup;
}

void ShowButtonPopupMenu(int controlId, HWND page) {
  HMENU popup = BuildAllItemsMenu153();
  if (controlId == 1834) EnableMenuItem(popup, 0x8018, MF_BYCOMMAND | MF_GRAYED);
  if (controlId == 1579 || controlId == 1722 || controlId == 1834) {
    RECT rect;
    GetWindowRect(GetDlgItem(page, controlId), &rect);
    SetForegroundWindow(page);
    TrackPopupMenu(popup, TPM_RIGHTALIGN, rect.right, rect.bottom + 5, 0, page, nullptr);
  }
  DestroyMenu(popup);
}

bool StartSchedule(HWND dialog) {
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  const StartCheckResult check =
      CheckScheduleStart(scheduleMode, scheduleTable, orderTable, profileSettings, ToOleDate(now),
                         FileExistsOnDisk, actionDisplayNames[Standby]);
  if (!check.refusal.empty()) {
    MessageBoxW(dialog, check.refusal.c_str(), L"", MB_OK);
    return false;
  }
  if (!check.missingApps.empty() &&
      MessageBoxW(dialog, MissingFilesQuestion(kMissingAppsFirstLine, check.missingApps).c_str(), L"",
                  MB_YESNO) != IDYES) {
    return false;
  }
  if (!check.missingSounds.empty() &&
      MessageBoxW(dialog, MissingFilesQuestion(kMissingSoundsFirstLine, check.missingSounds).c_str(),
                  L"", MB_YESNO) != IDYES) {
    return false;
  }
  // A failed creation has reported itself; the main dialog stays as it was.
  HWND countdown = CreateCountdownDialog();
  if (!countdown) {
    countdownDialog = nullptr;
    return false;
  }
  // Behind it at the home position; it paints and shows the pair. Without a
  // count window the countdown still runs and shows alone.
  const bool hide = profileSettings.general.hideTimerAtStart != 0;
  if (!CreateCountWindow(hide)) {
    SendMessageW(countdown, kMsgRepaintCountWindow, 0, 1);
    ShowWindow(countdown, hide ? SW_HIDE : SW_SHOW);
  }
  ShowWindow(mainWindow ? mainWindow : GetParent(dialog), SW_HIDE);
  return true;
}

HWND CreateMainDialog(HWND parent, int loadedProfile) {
  const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, L"");
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                    reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), parent,
                                    MainDlgProc, loadedProfile);
}

INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog, lParam);
      return FALSE;
    case kMsgMainDialogActivate:
      if (wParam == 0) {
        savedFocus = GetFocus();
      } else if (savedFocus && IsWindow(savedFocus)) {
        SetFocus(savedFocus);
      }
      return TRUE;
    case kMsgFillFromModel:
      Refill(dialog);
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, wParam, lParam);
      return TRUE;
    case WM_NOTIFY: {
      NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == itemList) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, OnListNotify(dialog, header));
        return TRUE;
      }
      return FALSE;
    }
    case WM_DRAWITEM:
      DrawImageButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_PAINT:
      OnPaint(dialog);
      return TRUE;
    case WM_LBUTTONDOWN:
      SetFocus(Item(dialog, kTimeLabelId));
      return TRUE;
    case WM_DESTROY:
      FreeDialogImages();
      if (mainDialog == dialog) mainDialog = nullptr;
      itemList = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}
