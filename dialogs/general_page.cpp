#include "general_page.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "action_list_page.h"
#include "in_memory_dialog.h"
#include "main_window_state.h"
#include "password_lock.h"
#include "schedule_model.h"
#include "settings_sheet.h"

bool passwordChangeRequested;

namespace {

constexpr int kForceCheck = 1800;
constexpr int kLockCheck = 1801;
constexpr int kBringToFrontCheck = 1802;
constexpr int kNoAppsCheck = 1803;
constexpr int kNoSoundCheck = 1804;
constexpr int kNoMailCheck = 1805;
constexpr int kMonitorCheck = 1806;
constexpr int kPasswordLabel = 1807;
constexpr int kConfirmLabel = 1808;
constexpr int kMinutesLabel = 1809;
constexpr int kResumeHeading = 1810;
constexpr int kPasswordEdit = 1811;
constexpr int kConfirmEdit = 1812;
constexpr int kMinutesEdit = 1813;
constexpr int kChangePasswordButton = 1814;
constexpr int kEndNowNoCaptureCheck = 1815;
constexpr int kEndNowHeading = 1816;
constexpr int kEndNowNoMailCheck = 1817;
constexpr int kHideTimerCheck = 1818;

struct PageControl {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  int x, y, width, height;
};

constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kPassword = ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

constexpr PageControl kControls[] = {
    {kForceCheck, L"BUTTON", L"強制終了する", kCheck, 19, 21, 99, 22},
    {kLockCheck, L"BUTTON", L"パスワードで稼働状態を保護する", kCheck, 19, 43, 207, 22},
    {kPasswordLabel, L"STATIC", L"パスワード", 0, 46, 70, 68, 18},
    {kPasswordEdit, L"EDIT", L"", kPassword, 137, 67, 133, 25},
    {kChangePasswordButton, L"BUTTON", L"パスワードを変更する", BS_PUSHBUTTON | WS_TABSTOP, 137, 79, 137, 29},
    {kConfirmLabel, L"STATIC", L"確認", 0, 46, 98, 32, 18},
    {kConfirmEdit, L"EDIT", L"", kPassword, 137, 95, 133, 25},
    {kBringToFrontCheck, L"BUTTON", L"終了○○分前にタイマー画面を最前面に表示", kCheck, 19, 126, 267, 22},
    {kMinutesEdit, L"EDIT", L"", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 137, 149, 37, 25},
    {kMinutesLabel, L"STATIC", L"分前 (1~60)", 0, 179, 154, 77, 18},
    {kHideTimerCheck, L"BUTTON", L"開始時にタイマーウィンドウを隠す", kCheck, 19, 180, 219, 22},
    {kEndNowHeading, L"STATIC", L"メニューから今すぐ終了した時の動作:", 0, 328, 22, 217, 18},
    {kEndNowNoCaptureCheck, L"BUTTON", L"デスクトップのキャプチャーをしない", kCheck, 355, 47, 231, 22},
    {kEndNowNoMailCheck, L"BUTTON", L"メールを送信しない", kCheck, 355, 69, 135, 22},
    {kResumeHeading, L"STATIC", L"予期しない復帰が起きた場合の動作:", 0, 328, 101, 205, 18},
    {kNoAppsCheck, L"BUTTON", L"アプリを起動しない", kCheck, 355, 122, 135, 22},
    {kNoSoundCheck, L"BUTTON", L"サウンドを再生しない", kCheck, 355, 144, 147, 22},
    {kNoMailCheck, L"BUTTON", L"メールを送信しない", kCheck, 355, 166, 135, 22},
    {kMonitorCheck, L"BUTTON", L"復帰後にモニターの電源をON", kCheck, 331, 197, 189, 22},
};

// The checks and the field each one stores, in the order apply writes them.
struct CheckField {
  int id;
  uint8_t GeneralSettings::*field;
};
constexpr CheckField kCheckFields[] = {
    {kForceCheck, &GeneralSettings::forceAction},
    {kLockCheck, &GeneralSettings::passwordLock},
    {kBringToFrontCheck, &GeneralSettings::bringToFront},
    {kHideTimerCheck, &GeneralSettings::hideTimerAtStart},
    {kNoAppsCheck, &GeneralSettings::unexpectedResumeNoApps},
    {kNoSoundCheck, &GeneralSettings::unexpectedResumeNoSound},
    {kNoMailCheck, &GeneralSettings::unexpectedResumeNoMail},
    {kMonitorCheck, &GeneralSettings::monitorOnAfterResume},
    {kEndNowNoCaptureCheck, &GeneralSettings::endNowNoCapture},
    {kEndNowNoMailCheck, &GeneralSettings::endNowNoMail},
};

const wchar_t kMinutesMessage[] =
    L"[終了○○分前にカウント画面を最前面に表示]の項の設定値が不正です。\n1~60の値を入れて下さい。";

// A lock whose digest some password opens was stored when the page opened:
// only then may the page keep it without asking for a password.
bool lockStoredAtOpen;

HWND Item(HWND page, int id) { return GetDlgItem(page, id); }
bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void EnablePasswordEntry(HWND page, bool enable) {
  for (int id : {kPasswordLabel, kConfirmLabel, kPasswordEdit, kConfirmEdit}) EnableWindow(Item(page, id), enable);
}

void OnInitDialog(HWND page) {
  RegisterSettingsPage(page, kGeneralPage);
  HWND sheet = GetParent(page);
  const int dpi = ScreenDpiValue();
  HFONT font = DialogUiFont();
  for (const PageControl& c : kControls) {
    const bool heading = c.id == kEndNowHeading || c.id == kResumeHeading;
    CreateScaledControl(page, c.className, c.text, c.style, 0, c.id, c.x, c.y, c.width, c.height, dpi,
                        heading ? DialogBoldFont() : font);
  }
  ShapeSettingsSheet(sheet, dpi, font);
  CreateActionListPage(sheet);

  const GeneralSettings& general = profileSettings.general;
  passwordChangeRequested = false;
  std::memcpy(pendingPasswordHash, general.passwordHash, sizeof pendingPasswordHash);
  lockStoredAtOpen = general.passwordLock != 0 && IsLockDigest(general.passwordHash);

  SendDlgItemMessageW(page, kMinutesEdit, EM_LIMITTEXT, 2, 0);
  for (const CheckField& c : kCheckFields) CheckDlgButton(page, c.id, general.*c.field ? BST_CHECKED : BST_UNCHECKED);
  EnablePasswordEntry(page, false);
  if (lockStoredAtOpen) {
    ShowWindow(Item(page, kPasswordEdit), SW_HIDE);
    ShowWindow(Item(page, kConfirmEdit), SW_HIDE);
  } else {
    ShowWindow(Item(page, kChangePasswordButton), SW_HIDE);
  }
  EnableWindow(Item(page, kMinutesEdit), general.bringToFront != 0);
  wchar_t minutes[16];
  swprintf(minutes, 16, L"%d", general.bringToFrontSeconds / 60);
  SetDlgItemTextW(page, kMinutesEdit, minutes);
}

void OnCommand(HWND page, int id) {
  switch (id) {
    case kLockCheck:
      if (!lockStoredAtOpen || passwordChangeRequested) {
        EnablePasswordEntry(page, Checked(page, kLockCheck));
      } else {
        EnableWindow(Item(page, kChangePasswordButton), Checked(page, kLockCheck));
      }
      break;
    case kBringToFrontCheck:
      EnableWindow(Item(page, kMinutesEdit), Checked(page, kBringToFrontCheck));
      break;
    case kChangePasswordButton:
      passwordChangeRequested = true;
      EnableWindow(Item(page, kPasswordLabel), TRUE);
      EnableWindow(Item(page, kConfirmLabel), TRUE);
      ShowWindow(Item(page, kChangePasswordButton), SW_HIDE);
      for (int edit : {kPasswordEdit, kConfirmEdit}) {
        EnableWindow(Item(page, edit), TRUE);
        ShowWindow(Item(page, edit), SW_SHOW);
      }
      break;
    default:
      break;
  }
}

std::wstring MinutesText(HWND page) {
  wchar_t text[4] = {};
  GetDlgItemTextW(page, kMinutesEdit, text, 4);
  return text;
}

void OnValidate(HWND page) {
  const bool locked = Checked(page, kLockCheck);
  // A newly set lock always takes a new password, so none is stored that
  // nobody knows.
  if (locked && (!lockStoredAtOpen || passwordChangeRequested)) {
    if (!SetLockPassword(Item(page, kPasswordEdit), Item(page, kConfirmEdit), page)) {
      settingsSheetState.validationFailed = kGeneralPage;
      return;
    }
  }
  if (Checked(page, kBringToFrontCheck) && BringToFrontMinutes(MinutesText(page).c_str()) == 0) {
    MessageBoxW(page, kMinutesMessage, L"", MB_OK);
    settingsSheetState.validationFailed = kGeneralPage;
  }
}

void OnApply(HWND page) {
  if (!SettingsPageMayStore(page, kGeneralPage)) return;
  const bool locked = Checked(page, kLockCheck);
  // Without the check pass (or after it was bypassed) a lock with no usable
  // digest would lock the schedule for good: refuse it here too.
  if (locked && !IsLockDigest(pendingPasswordHash)) {
    MessageBoxW(page, L"パスワードの入力を確認して下さい。", L"", MB_OK);
    SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_INVALID);
    return;
  }
  GeneralSettings& general = profileSettings.general;
  if (locked) {
    std::memcpy(general.passwordHash, pendingPasswordHash, sizeof general.passwordHash);
  } else {
    std::memset(general.passwordHash, 0, sizeof general.passwordHash);
  }
  for (const CheckField& c : kCheckFields) general.*c.field = Checked(page, c.id) ? 1 : 0;
  // Unticked, the edit may hold anything; only a usable value replaces the old.
  const int minutes = BringToFrontMinutes(MinutesText(page).c_str());
  if (minutes != 0) general.bringToFrontSeconds = minutes * 60;
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
}

void OnPaint(HWND page) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(page, &paint);
  const int dpi = ScreenDpiValue();
  HGDIOBJ pen = separatorPen ? static_cast<HGDIOBJ>(separatorPen) : GetStockObject(BLACK_PEN);
  HGDIOBJ previous = SelectObject(dc, pen);
  MoveToEx(dc, ScaleForDpi(315, dpi), ScaleForDpi(10, dpi), nullptr);
  LineTo(dc, ScaleForDpi(315, dpi), ScaleForDpi(287, dpi));
  SelectObject(dc, previous);
  EndPaint(page, &paint);
}

}  // namespace

bool IsLockDigest(const char* digest) {
  for (int i = 0; i < 40; ++i) {
    const char c = digest[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return digest[40] == '\0';
}

int BringToFrontMinutes(const wchar_t* text) {
  if (!text[0]) return 0;
  int value = 0;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p < L'0' || *p > L'9' || value > 60) return 0;
    value = value * 10 + (*p - L'0');
  }
  return value >= 1 && value <= 60 ? value : 0;
}

const DLGTEMPLATE* GeneralPageTemplate() {
  static const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_CHILD | WS_CAPTION | DS_3DLOOK | DS_CONTROL, 0, L"全般", 412, 184);
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

INT_PTR CALLBACK GeneralPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_APPLY) {
        OnApply(page);
        return TRUE;
      }
      return FALSE;
    case WM_PAINT:
      OnPaint(page);
      return TRUE;
    case WM_DESTROY:
      if (settingsSheetState.pageWindows[kGeneralPage - 1] == page)
        settingsSheetState.pageWindows[kGeneralPage - 1] = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}
