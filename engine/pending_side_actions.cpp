#include "pending_side_actions.h"

#include "private_messages.h"

HWND mailProgressDialog;

// No mail goes out; the owner still gets its completion.
unsigned __stdcall MailSendThreadProc(void* param) {
  MailJob* job = static_cast<MailJob*>(param);
  PostMessageW(job->owner, kMsgMailDone, static_cast<WPARAM>(job->closeMode), 0);
  return 0;
}

INT_PTR RunMailProgressDialog(MailJob*) { return 1; }
HWND CreateMailProgressDialog(MailJob*) { return nullptr; }
