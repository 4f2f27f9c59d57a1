#pragma once
#include <windows.h>

#include "mail_jobs.h"

// Thread procedure of a scheduled mail (started by StartMailJob).
unsigned __stdcall MailSendThreadProc(void* job);
// Thread procedure of the test mail: shows "送信完了" or "メール送信失敗" at its end.
unsigned __stdcall TestMailThreadProc(void* job);

// Dialog 148 "メール送信", lParam the job: modal before the action (and for
// the test mail), modeless after the resume. It never closes itself; its
// owner closes it when the worker has finished.
INT_PTR RunMailProgressDialog(MailJob* job);
HWND CreateMailProgressDialog(MailJob* job);
// Dialog 148 of a scheduled mail while it is open, else null.
extern HWND mailProgressDialog;
// Dialog 148 of the test mail while it is open, else null.
extern HWND testMailProgressDialog;
