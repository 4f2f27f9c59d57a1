// The mail worker and dialog 148 the countdown calls, recording: linked by
// the countdown tests in place of the real ones (mail/mail_progress_dialog.cpp).
#include <windows.h>

#include "countdown_fakes.h"
#include "mail_job_calls.h"
#include "private_messages.h"

using countdown_fakes::Side;

HWND mailProgressDialog;

unsigned __stdcall MailSendThreadProc(void* param) {
  MailJob* job = static_cast<MailJob*>(param);
  const LPARAM completion = MailCompletionOf(job);
  if (Side().mailRelease) {
    HANDLE waits[2] = {Side().mailRelease, job->cancelEvent};
    if (WaitForMultipleObjects(job->cancelEvent ? 2 : 1, waits, FALSE, 10000) == WAIT_OBJECT_0 + 1) {
      ++Side().mailsCancelled;
      job->cancelled = 1;
    }
  }
  if (Side().mailSendsProgress) SendMessageW(job->owner, kMsgMailStep, 0, 0);
  PostMessageW(job->owner, kMsgMailDone, static_cast<WPARAM>(job->closeMode), completion);
  return 0;
}

INT_PTR RunMailProgressDialog(MailJob* job) {
  ++Side().modalDialogs;
  ++Side().mailThreads;
  Side().mailAfterResume.push_back(job->afterResume);
  if (Side().duringModalDialog) Side().duringModalDialog();
  if (Side().modalLoop) {
    const DWORD deadline = GetTickCount() + 10000;
    for (;;) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (!IsWindow(job->owner)) return 0;
      DWORD exitCode = STILL_ACTIVE;
      if (!job->thread || (GetExitCodeThread(job->thread, &exitCode) && exitCode != STILL_ACTIVE)) break;
      if (GetTickCount() > deadline) break;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }
  return 1;
}

HWND CreateMailProgressDialog(MailJob* job) {
  ++Side().modelessDialogs;
  ++Side().mailThreads;
  Side().mailAfterResume.push_back(job->afterResume);
  return nullptr;
}

// The test mail of the mail page: nothing is sent; the completion still comes.
HWND testMailProgressDialog;

unsigned __stdcall TestMailThreadProc(void* param) {
  MailJob* job = static_cast<MailJob*>(param);
  PostMessageW(job->owner, kMsgMailDone, 0, MailCompletionOf(job));
  return 0;
}
