#include "mail_progress_dialog.h"

#include <commctrl.h>

#include <vector>

#include "dpi_scaling.h"
#include "in_memory_dialog.h"
#include "private_messages.h"

HWND mailProgressDialog;
HWND testMailProgressDialog;

namespace {

constexpr int kProgressBarId = 1091;
constexpr int kProgressTextId = 1092;
constexpr int kCancelButtonId = 1093;
constexpr UINT_PTR kAnimationTimer = 1;

const wchar_t* const kAnimationTexts[4] = {L"メール送信中", L"メール送信中.", L"メール送信中..",
                                           L"メール送信中..."};

struct ProgressState {
  MailJob* job;
  int animation;
};

ProgressState* StateOf(HWND dialog) {
  return reinterpret_cast<ProgressState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void SetMailProgressFonts(HWND dialog) {
  const HFONT font = DialogUiFont();
  for (int id : {kProgressTextId, kCancelButtonId})
    SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void OnInitDialog(HWND dialog, MailJob* job) {
  ProgressState* state = new ProgressState{job, 0};
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  if (job->interactive)
    testMailProgressDialog = dialog;
  else
    mailProgressDialog = dialog;
  const int dpi = ScreenDpiValue();
  CreateScaledControl(dialog, L"STATIC", L"メール送信中", WS_CHILD | WS_VISIBLE, 0, kProgressTextId, 130, 9,
                      92, 18, dpi, nullptr);
  CreateScaledControl(dialog, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, kProgressBarId, 12, 33, 321, 15,
                      dpi, nullptr);
  CreateScaledControl(dialog, L"BUTTON", L"キャンセル", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                      kCancelButtonId, 122, 57, 100, 30, dpi, nullptr);
  PlaceDialog(dialog, CurrentWorkArea(), 361, 128);
  SendDlgItemMessageW(dialog, kProgressBarId, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendDlgItemMessageW(dialog, kProgressBarId, PBM_SETSTEP, 10, 0);
  SetMailProgressFonts(dialog);
  SetWindowTextW(dialog, L"メール送信");
  SetTimer(dialog, kAnimationTimer, 800, nullptr);
}

void OnCancel(HWND dialog, HWND control) {
  ProgressState* state = StateOf(dialog);
  if (state == nullptr || state->job->thread == nullptr) return;
  DWORD exitCode = 0;
  if (!GetExitCodeThread(state->job->thread, &exitCode) || exitCode != STILL_ACTIVE) return;
  CancelMailJob(state->job);
  if (control != nullptr) EnableWindow(control, FALSE);
}

INT_PTR CALLBACK MailSendProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog, reinterpret_cast<MailJob*>(lParam));
      return TRUE;
    case WM_TIMER:
      if (wParam == kAnimationTimer) {
        ProgressState* state = StateOf(dialog);
        if (state != nullptr) {
          SetDlgItemTextW(dialog, kProgressTextId, kAnimationTexts[state->animation % 4]);
          ++state->animation;
        }
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kCancelButtonId || LOWORD(wParam) == IDCANCEL)
        OnCancel(dialog, LOWORD(wParam) == kCancelButtonId ? reinterpret_cast<HWND>(lParam)
                                                           : GetDlgItem(dialog, kCancelButtonId));
      return TRUE;
    case kMsgStopAnimation:
      KillTimer(dialog, kAnimationTimer);
      return TRUE;
    case WM_DESTROY: {
      KillTimer(dialog, kAnimationTimer);
      if (mailProgressDialog == dialog) mailProgressDialog = nullptr;
      if (testMailProgressDialog == dialog) testMailProgressDialog = nullptr;
      delete StateOf(dialog);
      SetWindowLongPtrW(dialog, DWLP_USER, 0);
      return TRUE;
    }
  }
  return FALSE;
}

const DLGTEMPLATE* ProgressTemplate() {
  static const std::vector<WORD> words = BuildEmptyDialogTemplate(
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, L"メール送信", 240, 80);
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

}  // namespace

unsigned __stdcall MailSendThreadProc(void* parameter) {
  MailJob* job = static_cast<MailJob*>(parameter);
  const LPARAM completion = MailCompletionOf(job);
  CallMailWorkerStarted();
  RunMailJobDialogue(job);  // failures are in the error log already
  CallMailWorkerEnding();
  PostMessageW(job->owner, kMsgMailDone, static_cast<WPARAM>(job->closeMode), completion);
  return 0;
}

unsigned __stdcall TestMailThreadProc(void* parameter) {
  MailJob* job = static_cast<MailJob*>(parameter);
  const LPARAM completion = MailCompletionOf(job);
  CallMailWorkerStarted();
  const int32_t result = RunMailJobDialogue(job);
  // Posted: the worker never waits for the user-interface thread.
  PostMessageW(job->owner, kMsgStopAnimation, 0, 0);
  MessageBoxW(job->owner, result == 0 ? L"送信完了" : L"メール送信失敗", L"", MB_OK);
  CallMailWorkerEnding();
  PostMessageW(job->owner, kMsgMailDone, 0, completion);
  return 0;
}

INT_PTR RunMailProgressDialog(MailJob* job) {
  if (job->thread == nullptr) return 1;  // finished already
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), ProgressTemplate(), job->owner,
                                 MailSendProgressDlgProc, reinterpret_cast<LPARAM>(job));
}

HWND CreateMailProgressDialog(MailJob* job) {
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), ProgressTemplate(), job->owner,
                                           MailSendProgressDlgProc, reinterpret_cast<LPARAM>(job));
  if (dialog != nullptr) ShowWindow(dialog, SW_SHOW);
  return dialog;
}
