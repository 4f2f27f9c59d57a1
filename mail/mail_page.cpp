#include "mail_page.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "dpi_scaling.h"
#include "in_memory_dialog.h"
#include "mail_address.h"
#include "main_dialog.h"
#include "main_window_state.h"
#include "private_messages.h"
#include "test_mail_dialog.h"

namespace {

enum Panel { kAddressPanel, kSendPanel };

struct ControlSpec {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  int x, y, width, height;
  Panel panel;
};

constexpr DWORD kChild = WS_CHILD | WS_TABSTOP;
constexpr DWORD kLabel = WS_CHILD | SS_LEFT;
constexpr DWORD kEdit = kChild | ES_AUTOHSCROLL;
constexpr DWORD kButton = kChild | BS_PUSHBUTTON;
constexpr DWORD kDropList = kChild | CBS_DROPDOWNLIST | WS_VSCROLL;

const ControlSpec kControls[] = {
    {1500, L"STATIC", L"To:", kLabel, 0, 19, 31, 28, 18, kAddressPanel},
    {kMailToCombo, L"COMBOBOX", L"", kDropList, 0, 62, 28, 301, 26, kAddressPanel},
    {1512, L"STATIC", L"(終了直前、または復帰直後にTo宛てに通知)", kLabel, 0, 120, 58, 248, 18, kAddressPanel},
    {1502, L"STATIC", L"メールアドレスリスト", kLabel, 0, 19, 107, 133, 18, kAddressPanel},
    {kMailDeleteButton, L"BUTTON", L"削除", kButton, 0, 374, 211, 100, 30, kAddressPanel},
    {kMailNewAddressEdit, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, 22, 252, 341, 25, kAddressPanel},
    {kMailAddButton, L"BUTTON", L"リストに追加", kButton, 0, 374, 249, 100, 30, kAddressPanel},
    {kMailSendSettingsButton, L"BUTTON", L"送信設定", kButton, 0, 516, 249, 100, 30, kAddressPanel},
    {1503, L"STATIC", L"メール内容編集", kLabel, 0, 7, 26, 92, 18, kSendPanel},
    {kMailBeforeRadio, L"BUTTON", L"終了前", kChild | BS_AUTORADIOBUTTON | WS_GROUP, 0, 123, 22, 62, 22, kSendPanel},
    {kMailAfterRadio, L"BUTTON", L"復帰後", kChild | BS_AUTORADIOBUTTON, 0, 194, 22, 62, 22, kSendPanel},
    {1504, L"STATIC", L"件名", kLabel, 0, 7, 62, 32, 18, kSendPanel},
    {kMailSubjectEdit, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, 56, 59, 248, 25, kSendPanel},
    {1505, L"STATIC", L"本文", kLabel, 0, 7, 94, 32, 18, kSendPanel},
    {kMailBodyEdit, L"EDIT", L"", kChild | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL,
     WS_EX_CLIENTEDGE, 56, 91, 248, 98, kSendPanel},
    {1511, L"STATIC", L"ヘルプ", kLabel | SS_NOTIFY, 0, 7, 171, 44, 18, kSendPanel},
    {kMailDefaultTextButton, L"BUTTON", L"デフォルト文", kButton, 0, 205, 200, 98, 30, kSendPanel},
    {1506, L"STATIC", L"文字コード", kLabel, 0, 7, 250, 68, 18, kSendPanel},
    {kMailCharsetCombo, L"COMBOBOX", L"", kDropList, 0, 86, 247, 79, 26, kSendPanel},
    {1507, L"STATIC", L"smtpサーバー", kLabel, 0, 335, 22, 86, 18, kSendPanel},
    {kMailServerEdit, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, 427, 19, 180, 25, kSendPanel},
    {1508, L"STATIC", L"ポート番号", kLabel, 0, 335, 53, 68, 18, kSendPanel},
    {kMailPortEdit, L"EDIT", L"", kEdit | ES_NUMBER, WS_EX_CLIENTEDGE, 427, 50, 41, 25, kSendPanel},
    {kMailLogonCheck, L"BUTTON", L"メールサーバーにログオンする", kChild | BS_AUTOCHECKBOX, 0, 338, 83, 195, 22,
     kSendPanel},
    {1509, L"STATIC", L"アカウント名", kLabel, 0, 341, 117, 80, 18, kSendPanel},
    {kMailAccountEdit, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, 423, 114, 180, 25, kSendPanel},
    {1510, L"STATIC", L"パスワード", kLabel, 0, 341, 149, 68, 18, kSendPanel},
    {kMailPasswordEdit, L"EDIT", L"", kEdit | ES_PASSWORD, WS_EX_CLIENTEDGE, 423, 146, 180, 25, kSendPanel},
    {1513, L"STATIC", L"暗号通信:", kLabel, 0, 423, 180, 61, 18, kSendPanel},
    {kMailSecurityCombo, L"COMBOBOX", L"", kDropList, 0, 503, 177, 100, 26, kSendPanel},
    {1501, L"STATIC", L"From", kLabel, 0, 335, 212, 39, 18, kSendPanel},
    {kMailFromEdit, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, 423, 209, 180, 25, kSendPanel},
    {kMailTestSendButton, L"BUTTON", L"テスト送信", kButton, 0, 410, 249, 100, 30, kSendPanel},
    {kMailBackButton, L"BUTTON", L"戻る", kButton, 0, 516, 249, 100, 30, kSendPanel},
};

// The controls that the logon check box enables.
constexpr int kLogonControls[] = {1509, 1510, 1513, kMailAccountEdit, kMailPasswordEdit, kMailSecurityCombo};

const wchar_t* const kDefaultSubjects[2] = {L"<PCNAME>は終了処理に入りました", L"<PCNAME>は復帰しました"};
const wchar_t* const kDefaultBodies[2] = {L"<PCNAME>は<TIME>に終了処理に入りました",
                                          L"<PCNAME>は<TIME>に復帰しました"};
const wchar_t kPlaceholderHelp[] =
    L"以下の文字は次のものに置き換えられます\n<PCNAME>→コンピュータ名\n<TIME>→現在の時刻";

SettingsSheetState& State() { return settingsSheetState; }

HWND AddressList(HWND page) { return GetDlgItem(page, kMailAddressList); }

HFONT BoldFont() { return uiBoldFont ? uiBoldFont : DialogBoldFont(); }
HFONT NormalFont() { return uiFont ? uiFont : DialogUiFont(); }

void ShowPanel(HWND page, Panel panel) {
  for (const ControlSpec& spec : kControls)
    ShowWindow(GetDlgItem(page, spec.id), spec.panel == panel ? SW_SHOW : SW_HIDE);
  ShowWindow(AddressList(page), panel == kAddressPanel ? SW_SHOW : SW_HIDE);
  const HWND setButton = State().setButton;
  if (setButton) ShowWindow(setButton, panel == kAddressPanel ? SW_SHOW : SW_HIDE);
  InvalidateRect(page, nullptr, TRUE);
}

bool AddressPanelShown(HWND page) { return IsWindowVisible(GetDlgItem(page, kMailAddButton)) != FALSE; }

void ShowTemplate(HWND page) {
  const int index = State().templateIndex;
  SetDlgItemTextW(page, kMailSubjectEdit, State().workingSubjects[index]);
  SetDlgItemTextW(page, kMailBodyEdit, State().workingBodies[index]);
  SendDlgItemMessageW(page, kMailSubjectEdit, EM_SETMODIFY, FALSE, 0);
  SendDlgItemMessageW(page, kMailBodyEdit, EM_SETMODIFY, FALSE, 0);
}

// Takes an edit's text into its working copy while the edit holds changes.
void KeepEdit(HWND page, int id) {
  if (!SendDlgItemMessageW(page, id, EM_GETMODIFY, 0, 0)) return;
  wchar_t* target = id == kMailSubjectEdit ? State().workingSubjects[State().templateIndex]
                                           : State().workingBodies[State().templateIndex];
  GetDlgItemTextW(page, id, target, 256);
  SendDlgItemMessageW(page, id, EM_SETMODIFY, FALSE, 0);
}

void EnableLogonControls(HWND page) {
  const BOOL on = IsDlgButtonChecked(page, kMailLogonCheck) == BST_CHECKED;
  for (int id : kLogonControls) EnableWindow(GetDlgItem(page, id), on);
}

void SetAnsiText(HWND page, int id, const char* text, size_t size) {
  const size_t length = strnlen(text, size);
  std::vector<wchar_t> wide(length + 1, L'\0');
  if (length > 0)
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), wide.data(), static_cast<int>(length));
  SetDlgItemTextW(page, id, wide.data());
}

std::wstring ControlText(HWND page, int id) {
  HWND control = GetDlgItem(page, id);
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, &text[0], length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

// Positions of the items of a row in time order, until -1.
template <typename Visit>
void ForEachItem(Visit visit) {
  for (int row = 0; row < State().rowCount && row < kRowCount; ++row)
    for (int i = 0; i < kSlotCount && orderTable[row][i] != -1; ++i) visit(row, i, orderTable[row][i]);
}

void SetActionListRecipient(int position, int k) {
  HWND list = State().actionListView;
  if (!list) return;
  wchar_t empty[1] = L"";
  wchar_t* text = k > 0 ? State().workingAddresses[k - 1] : empty;
  LVITEMW item{};
  item.iSubItem = 5;
  item.pszText = text;
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item));
}

void CreatePlaceholderTip(HWND page) {
  if (!State().placeholderTip) {
    State().placeholderTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                             page, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  HWND tip = State().placeholderTip;
  if (!tip) return;
  RECT area;
  GetWindowRect(GetDlgItem(page, 1511), &area);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&area), 2);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = page;
  tool.uId = 1511;
  tool.rect = area;
  tool.lpszText = const_cast<wchar_t*>(kPlaceholderHelp);
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
  SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 20000);
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 240);
}

void RemovePlaceholderTool(HWND page) {
  HWND tip = State().placeholderTip;
  if (!tip) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = page;
  tool.uId = 1511;
  SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void OnInitDialog(HWND page) {
  SettingsSheetState& state = State();
  RegisterSettingsPage(page, kMailPage);
  state.templateIndex = 0;
  state.addressListCount = 0;
  while (state.addressListCount < kAddressCount && state.workingAddresses[state.addressListCount][0] != L'\0')
    ++state.addressListCount;

  const int dpi = ScreenDpiValue();
  for (const ControlSpec& spec : kControls) {
    const bool combo = lstrcmpW(spec.className, L"COMBOBOX") == 0;
    HFONT font = spec.id == 1500 ? BoldFont() : spec.id == 1511 && uiUnderlineFont ? uiUnderlineFont : NormalFont();
    CreateScaledControl(page, spec.className, spec.text, spec.style, spec.exStyle, spec.id, spec.x, spec.y,
                        spec.width, combo ? spec.height * 8 : spec.height, dpi, font);
  }
  HWND list = CreateScaledControl(page, WC_LISTVIEWW, L"",
                                  WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
                                      LVS_SHOWSELALWAYS,
                                  WS_EX_CLIENTEDGE, kMailAddressList, 22, 129, 341, 114, dpi, NormalFont());
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = ScaleForDpi(335, dpi);
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

  SendDlgItemMessageW(page, kMailSubjectEdit, EM_SETLIMITTEXT, 230, 0);
  SendDlgItemMessageW(page, kMailBodyEdit, EM_SETLIMITTEXT, 230, 0);
  for (int id : {kMailServerEdit, kMailAccountEdit, kMailPasswordEdit, kMailFromEdit, kMailNewAddressEdit})
    SendDlgItemMessageW(page, id, EM_SETLIMITTEXT, 255, 0);
  SendDlgItemMessageW(page, kMailPortEdit, EM_SETLIMITTEXT, 3, 0);

  const MailSettings& mail = profileSettings.mail;
  std::memcpy(state.workingSubjects, mail.subjects, sizeof state.workingSubjects);
  std::memcpy(state.workingBodies, mail.bodies, sizeof state.workingBodies);
  for (auto& text : state.workingSubjects) text[255] = L'\0';
  for (auto& text : state.workingBodies) text[255] = L'\0';

  HWND to = GetDlgItem(page, kMailToCombo);
  SendMessageW(to, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"送信しない"));
  for (int i = 0; i < state.addressListCount; ++i) {
    SendMessageW(to, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(state.workingAddresses[i]));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = state.workingAddresses[i];
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(to, CB_SETCURSEL, 0, 0);

  HWND charset = GetDlgItem(page, kMailCharsetCombo);
  SendMessageW(charset, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"UTF-8"));
  SendMessageW(charset, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"JIS"));
  SendMessageW(charset, CB_SETCURSEL, mail.charset == 1 ? 1 : 0, 0);
  HWND security = GetDlgItem(page, kMailSecurityCombo);
  for (const wchar_t* text : {L"利用しない", L"SSL", L"STARTTLS"})
    SendMessageW(security, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));

  CheckDlgButton(page, kMailBeforeRadio, BST_CHECKED);
  SetAnsiText(page, kMailFromEdit, mail.from, sizeof mail.from);
  ShowTemplate(page);
  SetAnsiText(page, kMailServerEdit, mail.smtpServer, sizeof mail.smtpServer);
  SetAnsiText(page, kMailPortEdit, mail.port, sizeof mail.port);
  SetAnsiText(page, kMailAccountEdit, mail.account, sizeof mail.account);
  SetAnsiText(page, kMailPasswordEdit, mail.password, sizeof mail.password);
  CheckDlgButton(page, kMailLogonCheck, mail.useAuth ? BST_CHECKED : BST_UNCHECKED);
  SendMessageW(security, CB_SETCURSEL, mail.security >= 0 && mail.security <= 2 ? mail.security : 0, 0);
  EnableLogonControls(page);
  EnableWindow(GetDlgItem(page, kMailDeleteButton), FALSE);

  // The split button from Windows 6 on, a plain button before.
  const bool split = windowsVersion.dwMajorVersion >= 6;
  const int setId = split ? kMailSetSplitButton : kMailSetButton;
  state.setButton = CreateScaledControl(page, L"BUTTON", L"セット", kButton | (split ? BS_SPLITBUTTON : 0), 0,
                                        setId, 374, 25, split ? 116 : 100, 30, dpi, NormalFont());
  ShowPanel(page, kAddressPanel);
}

void OnPaint(HWND page) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(page, &paint);
  HGDIOBJ previous = SelectObject(dc, separatorPen ? separatorPen : GetStockObject(BLACK_PEN));
  if (AddressPanelShown(page)) {
    MoveToEx(dc, ScaleX(12), ScaleY(89), nullptr);
    LineTo(dc, ScaleX(613), ScaleY(89));
  } else {
    MoveToEx(dc, ScaleX(320), ScaleY(10), nullptr);
    LineTo(dc, ScaleX(320), ScaleY(287));
  }
  SelectObject(dc, previous);
  EndPaint(page, &paint);
}

void ShowError(HWND page, const wchar_t* text, const wchar_t* caption) {
  MessageBoxW(page, text, caption, MB_OK | (caption[0] ? MB_ICONERROR : 0));
}

void AddAddress(HWND page) {
  SettingsSheetState& state = State();
  const std::wstring text = ControlText(page, kMailNewAddressEdit).substr(0, 255);
  if (text.empty()) return;
  if (state.addressListCount >= kAddressCount) {
    wchar_t message[64];
    swprintf(message, 64, L"登録できるのは%d個までです", kAddressCount);
    MessageBoxW(page, message, L"", MB_OK);
    return;
  }
  const MailAddressCheck check = CheckMailAddress(text.c_str());
  if (check != kAddressOk) {
    ShowError(page, MailAddressMessage(check), kMailAddressErrorCaption);
    return;
  }
  HWND list = AddressList(page);
  LVFINDINFOW find{};
  find.flags = LVFI_STRING;
  find.psz = text.c_str();
  if (SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)) != -1) return;
  const int index = state.addressListCount;
  wcsncpy(state.workingAddresses[index], text.c_str(), 255);
  state.workingAddresses[index][255] = L'\0';
  ++state.addressListCount;
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = state.workingAddresses[index];
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  SetDlgItemTextW(page, kMailNewAddressEdit, L"");
  SendDlgItemMessageW(page, kMailToCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(state.workingAddresses[index]));
}

void DeleteAddress(HWND page) {
  SettingsSheetState& state = State();
  HWND list = AddressList(page);
  const int sel = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (sel < 0 || sel >= state.addressListCount) return;
  bool used = false;
  ForEachItem([&](int row, int, int slot) { used = used || state.workingMailTo[row][slot] == sel + 1; });
  if (used) {
    if (MessageBoxW(page, L"このメールアドレスは既に設定されています。\n削除してもよろしいですか？", L"",
                    MB_YESNO) != IDYES)
      return;
    ForEachItem([&](int row, int position, int slot) {
      if (state.workingMailTo[row][slot] != sel + 1) return;
      state.workingMailTo[row][slot] = 0;
      if (row == state.actionListRow) SetActionListRecipient(position, 0);
    });
  }
  ForEachItem([&](int row, int, int slot) {
    if (state.workingMailTo[row][slot] > sel + 1) --state.workingMailTo[row][slot];
  });
  SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(sel), 0);
  for (int i = sel; i + 1 < kAddressCount; ++i)
    std::memcpy(state.workingAddresses[i], state.workingAddresses[i + 1], sizeof state.workingAddresses[i]);
  std::memset(state.workingAddresses[kAddressCount - 1], 0, sizeof state.workingAddresses[0]);
  --state.addressListCount;
  SendDlgItemMessageW(page, kMailToCombo, CB_DELETESTRING, static_cast<WPARAM>(sel + 1), 0);
  SendDlgItemMessageW(page, kMailToCombo, CB_SETCURSEL, 0, 0);
  if (SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) < 0)
    EnableWindow(GetDlgItem(page, kMailDeleteButton), FALSE);
}

int SelectedRecipient(HWND page) {
  const LRESULT k = SendDlgItemMessageW(page, kMailToCombo, CB_GETCURSEL, 0, 0);
  return k > 0 && k <= State().addressListCount ? static_cast<int>(k) : 0;
}

void SetSelectedItemRecipient(HWND page) {
  SettingsSheetState& state = State();
  if (state.selectedPosition < 0 || state.selectedRow < 0 || state.selectedRow >= kRowCount ||
      state.selectedPosition >= kSlotCount) {
    MessageBeep(0);
    return;
  }
  const int slot = orderTable[state.selectedRow][state.selectedPosition];
  if (slot < 0 || slot >= kSlotCount) {
    MessageBeep(0);
    return;
  }
  const int k = SelectedRecipient(page);
  state.workingMailTo[state.selectedRow][slot] = k;
  if (state.selectedRow == state.actionListRow) SetActionListRecipient(state.selectedPosition, k);
}

void SetRecipientOfKind(HWND page, int command) {
  SettingsSheetState& state = State();
  const int k = SelectedRecipient(page);
  const int n = command - 0x8013;
  ForEachItem([&](int row, int position, int slot) {
    const int32_t action = scheduleTable[row][slot].action;
    const bool matches = n == 6 ? action != WakeOnly : action == n;
    if (!matches) return;
    state.workingMailTo[row][slot] = k;
    if (row == state.actionListRow) SetActionListRecipient(position, k);
  });
}

bool AnyRecipient() {
  bool any = false;
  ForEachItem([&](int row, int, int slot) { any = any || State().workingMailTo[row][slot] != 0; });
  return any;
}

// The sender, when given, follows the one address rule; a message is shown otherwise.
bool SenderIsUsable(HWND page) {
  const std::wstring from = ControlText(page, kMailFromEdit);
  if (from.empty()) return true;
  const MailAddressCheck check = CheckMailAddress(from.c_str());
  if (check == kAddressOk) return true;
  ShowError(page, MailAddressMessage(check), kMailAddressErrorCaption);
  return false;
}

void TestSend(HWND page) {
  if (State().addressListCount == 0) {
    MessageBoxW(page,
                L"リストにメールアドレスが1つも登録されていません。\n"
                L"戻ってリストにメールアドレスを追加して下さい。",
                L"", MB_OK);
    return;
  }
  const bool logon = IsDlgButtonChecked(page, kMailLogonCheck) == BST_CHECKED;
  const struct {
    int id;
    bool needed;
    const wchar_t* message;
  } kRequired[] = {
      {kMailServerEdit, true, L"smtpサーバーが入力されていません。"},
      {kMailPortEdit, true, L"ポート番号が入力されていません。"},
      {kMailAccountEdit, logon, L"アカウント名が入力されていません。"},
      {kMailPasswordEdit, logon, L"パスワードが入力されていません。"},
  };
  for (const auto& field : kRequired) {
    if (field.needed && GetWindowTextLengthW(GetDlgItem(page, field.id)) == 0) {
      MessageBoxW(page, field.message, L"", MB_OK);
      return;
    }
  }
  if (!SenderIsUsable(page)) return;
  RunTestMailDialog(page);
}

void OnValidate(HWND page) {
  KeepEdit(page, kMailSubjectEdit);
  KeepEdit(page, kMailBodyEdit);
  if (!AnyRecipient()) return;
  const wchar_t* message = nullptr;
  if (GetWindowTextLengthW(GetDlgItem(page, kMailServerEdit)) == 0)
    message = L"smtpサーバーが設定されていません。";
  else if (GetWindowTextLengthW(GetDlgItem(page, kMailPortEdit)) == 0)
    message = L"ポート番号が入力されていません。";
  if (message) {
    MessageBoxW(page, message, L"", MB_OK);
    State().validationFailed = kMailPage;
    return;
  }
  if (!SenderIsUsable(page)) State().validationFailed = kMailPage;
}

void OnApply(HWND page) {
  if (!SettingsPageMayStore(page, kMailPage)) return;
  SettingsSheetState& state = State();
  KeepEdit(page, kMailSubjectEdit);
  KeepEdit(page, kMailBodyEdit);
  MailSettings& mail = profileSettings.mail;
  ReadAnsiControlText(GetDlgItem(page, kMailToCombo), mail.toText, sizeof mail.toText);
  ReadAnsiControlText(GetDlgItem(page, kMailFromEdit), mail.from, sizeof mail.from);
  ReadAnsiControlText(GetDlgItem(page, kMailServerEdit), mail.smtpServer, sizeof mail.smtpServer);
  ReadAnsiControlText(GetDlgItem(page, kMailPortEdit), mail.port, sizeof mail.port);
  ReadAnsiControlText(GetDlgItem(page, kMailAccountEdit), mail.account, sizeof mail.account);
  ReadAnsiControlText(GetDlgItem(page, kMailPasswordEdit), mail.password, sizeof mail.password);
  mail.useAuth = IsDlgButtonChecked(page, kMailLogonCheck) == BST_CHECKED ? 1 : 0;
  const LRESULT security = SendDlgItemMessageW(page, kMailSecurityCombo, CB_GETCURSEL, 0, 0);
  mail.security = security >= 0 && security <= 2 ? static_cast<int32_t>(security) : 0;
  mail.charset = SendDlgItemMessageW(page, kMailCharsetCombo, CB_GETCURSEL, 0, 0) == 1 ? 1 : 0;
  std::memcpy(mail.subjects, state.workingSubjects, sizeof mail.subjects);
  std::memcpy(mail.bodies, state.workingBodies, sizeof mail.bodies);
  ForEachItem([&](int row, int, int slot) { scheduleTable[row][slot].mailTo = state.workingMailTo[row][slot]; });
  std::memset(mail.addresses, 0, sizeof mail.addresses);
  int count = 0;
  for (int i = 0; i < kAddressCount; ++i) {
    if (state.workingAddresses[i][0] == L'\0') continue;
    std::memcpy(mail.addresses[count++], state.workingAddresses[i], sizeof mail.addresses[0]);
  }
  mail.addressCount = count;
}

void OnCommand(HWND page, WPARAM wParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  switch (id) {
    case kMailSubjectEdit:
    case kMailBodyEdit:
      if (code == EN_KILLFOCUS) KeepEdit(page, id);
      return;
    case kMailLogonCheck:
      if (code == BN_CLICKED) EnableLogonControls(page);
      return;
    case kMailBeforeRadio:
    case kMailAfterRadio:
      if (code != BN_CLICKED) return;
      KeepEdit(page, kMailSubjectEdit);
      KeepEdit(page, kMailBodyEdit);
      State().templateIndex = IsDlgButtonChecked(page, kMailAfterRadio) == BST_CHECKED ? 1 : 0;
      ShowTemplate(page);
      return;
    case kMailDefaultTextButton: {
      const int index = State().templateIndex;
      wcscpy(State().workingSubjects[index], kDefaultSubjects[index]);
      wcscpy(State().workingBodies[index], kDefaultBodies[index]);
      ShowTemplate(page);
      return;
    }
    case kMailTestSendButton:
      KeepEdit(page, kMailSubjectEdit);
      KeepEdit(page, kMailBodyEdit);
      TestSend(page);
      return;
    case kMailAddButton:
      AddAddress(page);
      return;
    case kMailSendSettingsButton:
      ShowPanel(page, kSendPanel);
      CreatePlaceholderTip(page);
      return;
    case kMailBackButton:
      ShowPanel(page, kAddressPanel);
      RemovePlaceholderTool(page);
      return;
    case kMailDeleteButton:
      DeleteAddress(page);
      return;
    case kMailSetButton:
    case kMailSetSplitButton:
      if (code == BN_CLICKED) SetSelectedItemRecipient(page);
      return;
    default:
      if (id >= 0x8013 && id <= 0x8019) SetRecipientOfKind(page, id);
      return;
  }
}

void OnAddressListNotify(HWND page, const NMHDR* header) {
  const bool anySelected =
      SendMessageW(AddressList(page), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) >= 0;
  switch (header->code) {
    case LVN_ITEMCHANGED: {
      const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
      if ((change->uNewState & LVIS_SELECTED) && (change->uNewState & LVIS_FOCUSED))
        EnableWindow(GetDlgItem(page, kMailDeleteButton), TRUE);
      return;
    }
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
    case NM_RDBLCLK:
      if (!anySelected) EnableWindow(GetDlgItem(page, kMailDeleteButton), FALSE);
      return;
  }
}

}  // namespace

void ReadAnsiControlText(HWND control, char* out, size_t size) {
  out[0] = '\0';
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, &text[0], length + 1);
  text.resize(static_cast<size_t>(length));
  // Character by character, so that the cut never splits a double-byte character.
  size_t used = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const int units = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() ? 2 : 1;
    char bytes[8];
    const int n = WideCharToMultiByte(CP_ACP, 0, &text[i], units, bytes, sizeof bytes, nullptr, nullptr);
    if (n <= 0 || used + static_cast<size_t>(n) > size - 1) break;
    std::memcpy(out + used, bytes, static_cast<size_t>(n));
    used += static_cast<size_t>(n);
    i += static_cast<size_t>(units - 1);
  }
  out[used] = '\0';
}

void FillMailWorkingCopies(SettingsSheetState* state) {
  // As the item list fills them when it opens: the addresses as stored and
  // each item's recipient, a recipient out of range as none.
  std::memcpy(state->workingAddresses, profileSettings.mail.addresses, sizeof state->workingAddresses);
  for (auto& address : state->workingAddresses) address[255] = L'\0';
  for (int row = 0; row < kRowCount; ++row)
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const int32_t to = scheduleTable[row][slot].mailTo;
      state->workingMailTo[row][slot] = to >= 0 && to <= kAddressCount ? to : 0;
    }
}

const DLGTEMPLATE* MailPageTemplate() {
  static const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_CHILD | WS_CAPTION | DS_3DLOOK, 0, L"", 365, 165);
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

INT_PTR CALLBACK MailPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(page);
      return TRUE;
    case WM_PAINT:
      OnPaint(page);
      return TRUE;
    case WM_DESTROY:
      if (State().placeholderTip) DestroyWindow(State().placeholderTip);
      State().placeholderTip = nullptr;
      State().setButton = nullptr;
      return FALSE;
    case WM_COMMAND:
      OnCommand(page, wParam);
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
      if (header->idFrom == kMailSetSplitButton && header->code == BCN_DROPDOWN) {
        ShowButtonPopupMenu(kMailSetSplitButton, page);
        return TRUE;
      }
      if (header->idFrom == kMailAddressList) OnAddressListNotify(page, header);
      return FALSE;
    }
  }
  return FALSE;
}
