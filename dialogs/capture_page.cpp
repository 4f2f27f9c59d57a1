#include "capture_page.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "file_pickers.h"
#include "in_memory_dialog.h"
#include "list_view_helpers.h"
#include "main_dialog.h"
#include "main_window_state.h"
#include "settings_sheet.h"
#include "start_checks.h"

namespace {

constexpr int kFolderLabel = 1831;
constexpr int kFormatLabel = 1830;
constexpr int kCaptureLabel = 1832;
constexpr int kNote = 1833;
constexpr int kSplitSetButton = 1834;
constexpr int kFolderEdit = 1835;
constexpr int kOnRadio = 1836;
constexpr int kOffRadio = 1837;
constexpr int kBmpRadio = 1838;
constexpr int kJpegRadio = 1839;
constexpr int kBrowseButton = 1840;
constexpr int kDefaultButton = 1841;
constexpr int kPlainSetButton = 1842;
constexpr int kCaptureColumn = 4;
constexpr int kFolderChars = 220;  // captureFolder with its NUL

struct PageControl {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  int x, y, width, height;
};

constexpr DWORD kRadio = BS_AUTORADIOBUTTON | WS_TABSTOP;
constexpr PageControl kControls[] = {
    {kCaptureLabel, L"STATIC", L"キャプチャー", 0, 19, 41, 80, 18},
    {kOnRadio, L"BUTTON", L"有効", kRadio | WS_GROUP, 132, 39, 50, 22},
    {kOffRadio, L"BUTTON", L"無効", kRadio, 194, 39, 50, 22},
    {kSplitSetButton, L"BUTTON", L"セット", BS_SPLITBUTTON | WS_TABSTOP | WS_GROUP, 263, 35, 116, 30},
    {kPlainSetButton, L"BUTTON", L"セット", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 263, 35, 100, 30},
    {kNote, L"STATIC", L"(終了直前にデスクトップの画面を保存)", 0, 129, 68, 222, 18},
    {kFormatLabel, L"STATIC", L"保存形式", 0, 19, 172, 56, 18},
    {kBmpRadio, L"BUTTON", L"BMP", kRadio | WS_GROUP, 132, 170, 51, 22},
    {kJpegRadio, L"BUTTON", L"JPG", kRadio, 194, 170, 54, 22},
    {kFolderLabel, L"STATIC", L"イメージ保存先", WS_GROUP, 19, 200, 92, 18},
    {kFolderEdit, L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 132, 197, 289, 30},
    {kBrowseButton, L"BUTTON", L"参照", BS_PUSHBUTTON | WS_TABSTOP, 427, 194, 62, 30},
    {kDefaultButton, L"BUTTON", L"既定値", BS_PUSHBUTTON | WS_TABSTOP, 495, 194, 62, 30},
};

SettingsSheetState& S() { return settingsSheetState; }
bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

// The action list shows the flags of its row's items.
void ShowCell(int row, int position) {
  if (row != S().actionListRow || !S().actionListView) return;
  const int slot = orderTable[row][position];
  SetListViewItemText(S().actionListView, S().workingCapture[row][slot] ? L"○" : L"", position, kCaptureColumn);
}

void OnInitDialog(HWND page) {
  RegisterSettingsPage(page, kCapturePage);
  const int dpi = ScreenDpiValue();
  HFONT font = DialogUiFont();
  for (const PageControl& c : kControls) {
    const bool bold = c.id == kCaptureLabel || c.id == kFormatLabel || c.id == kFolderLabel;
    CreateScaledControl(page, c.className, c.text, c.style, 0, c.id, c.x, c.y, c.width, c.height, dpi,
                        bold ? DialogBoldFont() : font);
  }
  SendDlgItemMessageW(page, kFolderEdit, EM_LIMITTEXT, kFolderChars - 1, 0);
  CheckDlgButton(page, kOffRadio, BST_CHECKED);
  const CaptureSettings& capture = profileSettings.capture;
  CheckDlgButton(page, capture.captureFormat == 1 ? kJpegRadio : kBmpRadio, BST_CHECKED);
  const std::wstring folder(capture.captureFolder, wcsnlen(capture.captureFolder, kFolderChars));
  SetDlgItemTextW(page, kFolderEdit, folder.c_str());
  // The split button needs version 6 of the system; before it, the plain one.
  const bool split = windowsVersion.dwMajorVersion == 0 || windowsVersion.dwMajorVersion >= 6;
  ShowWindow(GetDlgItem(page, split ? kPlainSetButton : kSplitSetButton), SW_HIDE);
}

void OnSet(HWND page) {
  const ScheduleItem* item = ItemAtPosition(S().selectedRow, S().selectedPosition);
  if (!item || item->action == WakeOnly) {
    MessageBeep(0);
    return;
  }
  const int row = S().selectedRow;
  S().workingCapture[row][orderTable[row][S().selectedPosition]] = Checked(page, kOnRadio) ? 1 : 0;
  ShowCell(row, S().selectedPosition);
}

void OnKindCommand(HWND page, int kind) {
  SetCaptureForKind(S().workingCapture, scheduleTable, orderTable, S().rowCount, kind,
                    Checked(page, kOnRadio) ? 1 : 0);
  const int row = S().actionListRow;
  const int count = RowLength(orderTable, row);
  for (int p = 0; p < count; ++p) ShowCell(row, p);
}

bool AnyItemCaptures() {
  for (int row = 0; row < S().rowCount && row < kRowCount; ++row) {
    const int count = RowLength(orderTable, row);
    for (int p = 0; p < count; ++p) {
      if (S().workingCapture[row][orderTable[row][p]]) return true;
    }
  }
  return false;
}

std::wstring FolderText(HWND page) {
  HWND edit = GetDlgItem(page, kFolderEdit);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

void OnValidate(HWND page) {
  if (const wchar_t* refusal = CaptureFolderRefusal(FolderText(page).size(), AnyItemCaptures())) {
    MessageBoxW(page, refusal, L"", MB_OK);
    S().validationFailed = kCapturePage;
  }
}

void OnApply(HWND page) {
  if (!SettingsPageMayStore(page, kCapturePage)) return;
  const std::wstring folder = FolderText(page);
  // Applied without the check pass: a folder that does not fit is not cut.
  if (folder.size() >= static_cast<size_t>(kFolderChars)) {
    MessageBoxW(page, kCaptureFolderTooLong, L"", MB_OK);
    SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_INVALID);
    return;
  }
  for (int row = 0; row < S().rowCount && row < kRowCount; ++row) {
    const int count = RowLength(orderTable, row);
    for (int p = 0; p < count; ++p) {
      const int slot = orderTable[row][p];
      scheduleTable[row][slot].captureEnabled = S().workingCapture[row][slot];
    }
  }
  CaptureSettings& capture = profileSettings.capture;
  capture.captureFormat = Checked(page, kJpegRadio) ? 1 : 0;
  wmemset(capture.captureFolder, L'\0', kFolderChars);
  wmemcpy(capture.captureFolder, folder.data(), folder.size());
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
}

void OnPaint(HWND page) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(page, &paint);
  const int dpi = ScreenDpiValue();
  HGDIOBJ pen = separatorPen ? static_cast<HGDIOBJ>(separatorPen) : GetStockObject(BLACK_PEN);
  HGDIOBJ previous = SelectObject(dc, pen);
  MoveToEx(dc, ScaleForDpi(12, dpi), ScaleForDpi(103, dpi), nullptr);
  LineTo(dc, ScaleForDpi(613, dpi), ScaleForDpi(103, dpi));
  SelectObject(dc, previous);
  EndPaint(page, &paint);
}

void OnCommand(HWND page, int id) {
  switch (id) {
    case kSplitSetButton:
    case kPlainSetButton:
      OnSet(page);
      break;
    case kBrowseButton:
      BrowseForFolder(page, GetDlgItem(page, kFolderEdit));
      break;
    case kDefaultButton:
      SetDlgItemTextW(page, kFolderEdit, defaultCaptureFolder);
      break;
    default:
      if (id >= static_cast<int>(kFirstKindCommand) && id < static_cast<int>(kFirstKindCommand) + kKindCount &&
          id - static_cast<int>(kFirstKindCommand) != WakeOnly)
        OnKindCommand(page, id - static_cast<int>(kFirstKindCommand));
      break;
  }
}

}  // namespace

const wchar_t* CaptureFolderRefusal(size_t length, bool anyItemCaptures) {
  if (length >= static_cast<size_t>(kFolderChars)) return kCaptureFolderTooLong;
  if (anyItemCaptures && length <= 3) return kCaptureFolderTooShort;
  return nullptr;
}

int SetCaptureForKind(uint8_t (&working)[kRowCount][kSlotCount], const ScheduleTable& table,
                      const OrderTable& order, int rowCount, int kind, uint8_t flag) {
  int changed = 0;
  for (int row = 0; row < rowCount && row < kRowCount; ++row) {
    const int count = RowLength(order, row);
    for (int p = 0; p < count; ++p) {
      const int slot = order[row][p];
      if (!ActionMatchesKind(table[row][slot].action, kind)) continue;
      if (working[row][slot] != flag) ++changed;
      working[row][slot] = flag;
    }
  }
  return changed;
}

const DLGTEMPLATE* CapturePageTemplate() {
  static const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_CHILD | WS_CAPTION | DS_3DLOOK | DS_CONTROL, 0, L"キャプチャー", 412, 184);
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

INT_PTR CALLBACK CapturePageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(page);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(page, LOWORD(wParam));
      return TRUE;
    case kMsgValidatePage:
      OnValidate(page);
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == PSN_APPLY) {
        OnApply(page);
        return TRUE;
      }
      if (header->code == BCN_DROPDOWN && header->idFrom == kSplitSetButton) {
        ShowButtonPopupMenu(kSplitSetButton, page);
        return TRUE;
      }
      return FALSE;
    }
    case WM_PAINT:
      OnPaint(page);
      return TRUE;
    case WM_DESTROY:
      if (S().pageWindows[kCapturePage - 1] == page) S().pageWindows[kCapturePage - 1] = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}
