#pragma once
#include <windows.h>

#include <cstdint>

#include "action_names.h"
#include "countdown_side_actions.h"
#include "main_window_state.h"
#include "schedule_model.h"

// The mail jobs the countdown and the executor call (the other side actions
// go through countdown_side_actions.h). pending_side_actions.cpp does the
// least for them until the real ones are linked in their place.

// --- Mail jobs --------------------------------------------------------------
struct MailSession;

// What a mail worker thread gets; it lives with its owner, not with the thread.
struct MailJob {
  HWND owner;            // receives 0x8005 (sent) and 0x8007 (posted)
  int32_t closeMode;     // 0: progress dialog modal, 1: modeless
  MailSession* session;  // set by the worker while its session lives
  ScheduleItem* item;
  HANDLE thread;
  int32_t afterResume;   // 0: texts before the action, 1: after the resume
};

// Thread procedure of a scheduled mail (started with _beginthreadex).
unsigned __stdcall MailSendThreadProc(void* job);
// Dialog 148 "メール送信": modal before the action, modeless after the resume.
INT_PTR RunMailProgressDialog(MailJob* job);
HWND CreateMailProgressDialog(MailJob* job);
// Dialog 148 while it is open, else null.
extern HWND mailProgressDialog;

