#include "test_mail_dialog.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "dpi_scaling.h"
#include "in_memory_dialog.h"
#include "mail_jobs.h"
#include "mail_message.h"
#include "mail_page.h"
#include "mail_progress_dialog.h"
#include "main_window_state.h"
#include "private_messages.h"

namespace {

constexpr int kRecipientLabelId = 1151;
constexpr int kRecipientComboId = 1152;

// One test dialog at a time: its page and its job.
HWND testPage;
MailJob testJob;

void CopyWide(HWND page, int id, wchar_t* out) {
  GetDlgItemTextW(page, id, out, 256);  // at most 255 characters
}

// The whole request, filled here on the user-interface thread from the page
// and this dialog: the worker reads nothing else.
void FillTestRequest(HWND dialog, MailRequest* request) {
  SecureZeroMemory(request, sizeof *request);
  const HWND page = testPage;
  request->useAuth = IsDlgButtonChecked(page, kMailLogonCheck) == BST_CHECKED ? 1 : 0;
  const LRESULT security = SendDlgItemMessageW(page, kMailSecurityCombo, CB_GETCURSEL, 0, 0);
  request->security = security >= 0 && security <= 2 ? static_cast<int32_t>(security) : 0;
  request->charset = SendDlgItemMessageW(page, kMailCharsetCombo, CB_GETCURSEL, 0, 0) == 1 ? 1 : 0;
  ReadAnsiControlText(GetDlgItem(dialog, kRecipientComboId), request->to, sizeof request->to);
  ReadAnsiControlText(GetDlgItem(page, kMailFromEdit), request->from, sizeof request->from);
  ReadAnsiControlText(GetDlgItem(page, kMailServerEdit), request->server, sizeof request->server);
  ReadAnsiControlText(GetDlgItem(page, kMailPortEdit), request->port, sizeof request->port);
  if (request->useAuth) {
    ReadAnsiControlText(GetDlgItem(page, kMailAccountEdit), request->account, sizeof request->account);
    ReadAnsiControlText(GetDlgItem(page, kMailPasswordEdit), request->password, sizeof request->password);
  }
  wchar_t subject[256];
  wchar_t body[256];
  CopyWide(page, kMailSubjectEdit, subject);
  CopyWide(page, kMailBodyEdit, body);
  ReplaceMailPlaceholders(subject, body, request);
}

void Send(HWND dialog) {
  if (testJob.thread) return;
  testJob.owner = dialog;
  testJob.closeMode = 0;
  testJob.interactive = 1;
  testJob.item = nullptr;
  FillTestRequest(dialog, &testJob.request);
  if (!StartMailJob(&testJob, TestMailThreadProc)) {
    SecureZeroMemory(&testJob.request, sizeof testJob.request);
    return;
  }
  RunMailProgressDialog(&testJob);
}

// The worker's completion: only the live one finishes the job.
void OnMailDone(LPARAM completion) {
  if (!IsLiveMailCompletion(&testJob, completion) || testJob.joining) return;
  testJob.joining = 1;
  JoinMailJob(&testJob);
  testJob.joining = 0;
  if (testMailProgressDialog) EndDialog(testMailProgressDialog, 1);
}

void OnInitDialog(HWND dialog) {
  const int dpi = ScreenDpiValue();
  const HFONT font = uiFont ? uiFont : DialogUiFont();
  CreateScaledControl(dialog, L"STATIC", L"送信先", WS_CHILD | WS_VISIBLE, 0, kRecipientLabelId, 18, 15, 44, 18,
                      dpi, font);
  HWND combo = CreateScaledControl(dialog, L"COMBOBOX", L"",
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 0,
                                   kRecipientComboId, 68, 12, 287, 26 * 8, dpi, font);
  CreateScaledControl(dialog, L"BUTTON", L"送信", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK,
                      169, 45, 90, 30, dpi, font);
  CreateScaledControl(dialog, L"BUTTON", L"閉じる", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                      IDCANCEL, 265, 45, 90, 30, dpi, font);
  // Centred on the page's window rectangle.
  RECT area;
  GetWindowRect(testPage, &area);
  const int width = ScaleForDpi(390, dpi);
  const int height = ScaleForDpi(117, dpi);
  const POINT at = CenterOnWorkArea(area, width, height);
  SetWindowPos(dialog, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  HWND list = GetDlgItem(testPage, kMailAddressList);
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < rows; ++i) {
    wchar_t text[512] = L"";
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  testJob = MailJob{};
  testJob.owner = dialog;
}

INT_PTR CALLBACK TestMailDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) Send(dialog);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
      return TRUE;
    case kMsgMailStep:
      if (testMailProgressDialog) SendDlgItemMessageW(testMailProgressDialog, 1091, PBM_STEPIT, 0, 0);
      return TRUE;
    case kMsgStopAnimation:
      if (testMailProgressDialog) SendMessageW(testMailProgressDialog, kMsgStopAnimation, 0, 0);
      return TRUE;
    case kMsgMailDone:
      OnMailDone(lParam);
      return TRUE;
    case WM_DESTROY:
      // A worker still running is cancelled and waited for, pumping.
      if (testJob.thread) {
        CancelMailJob(&testJob);
        JoinMailJob(&testJob);
      }
      return FALSE;
  }
  return FALSE;
}

const DLGTEMPLATE* TestMailTemplate() {
  static const std::vector<WORD> words = BuildEmptyDialogTemplate(
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, L"テストメール送信", 200, 60);
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

}  // namespace

INT_PTR RunTestMailDialog(HWND page) {
  testPage = page;
  const INT_PTR result =
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr), TestMailTemplate(), page, TestMailDlgProc, 0);
  testPage = nullptr;
  return result;
}
