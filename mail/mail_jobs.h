#pragma once
#include <windows.h>

#include <cstdint>

#include "mail_request.h"
#include "schedule_model.h"

// One mail job: what a mail worker thread reads, owned by the window that
// started it. Everything the worker needs is in the job before its thread
// starts; the worker never reads the profile, the item or a page.
struct MailJob {
  HWND owner;           // receives 0x8005 (notified) and 0x8007 (posted)
  int32_t closeMode;    // 0: progress dialog modal, 1: modeless
  ScheduleItem* item;   // the item that chose the recipient (scheduled mails)
  HANDLE thread;
  int32_t afterResume;  // 0: texts before the action, 1: after the resume
  // Manual-reset: made before the thread starts, closed after the join.
  // Cancel only sets it, so a late Cancel never touches the worker's state.
  HANDLE cancelEvent;
  // This job's own number, carried by its completion's lParam: thread ids
  // are reused, so only this tells a stale completion from the live one.
  uint32_t identity;
  int32_t cancelled;    // the worker ended on a cancel (set before it ends)
  uint8_t interactive;  // 1: failures in message boxes (the test mail)
  uint8_t joining;      // set while the owner waits for the worker
  MailRequest request;  // complete before the thread starts; wiped after the join
};

// Fills a scheduled mail's request from the profile's mail settings and the
// item: bounded, terminated copies, placeholders replaced. False when the
// item's recipient is not one of the listed addresses.
bool ComposeNotificationMail(const ScheduleItem& item, int32_t afterResume, MailRequest* request);

// Makes the cancel event and starts procedure on the job; the request must be
// complete. False (nothing left open) when the thread cannot start.
bool StartMailJob(MailJob* job, unsigned(__stdcall* procedure)(void*));
// Asks the worker to stop: SetEvent, nothing else.
void CancelMailJob(MailJob* job);
// Waits for the worker while delivering the messages sent to this thread,
// closes the thread and the cancel event and wipes the request.
void JoinMailJob(MailJob* job);
// What the job's worker posts as 0x8007's lParam.
LPARAM MailCompletionOf(const MailJob* job);
// Cancels every job started and not yet joined and waits for its worker, at
// most as long as a cancelled worker can take; the program calls it as it
// ends, so no worker is cut off in the middle of its dialogue. `unsent` is
// called once for each unattended mail (not the user's test mail) that the
// cancel stopped before it went out, or whose worker did not end in time.
void EndEveryMailJob(void (*unsent)() = nullptr);

// Whether a completion (0x8007's lParam) is the running worker's own.
bool IsLiveMailCompletion(const MailJob* job, LPARAM completion);

// Runs the job's dialogue on the worker thread: SendMail with the job's
// request and cancel event and notes in the job whether a cancel ended it.
// Returns SendMail's result.
int32_t RunMailJobDialogue(MailJob* job);

// Called on each mail worker as it starts and as it ends (tests watch its
// message boxes there); null for none.
void SetMailWorkerThreadHooks(void (*started)(), void (*ending)());
void CallMailWorkerStarted();
void CallMailWorkerEnding();
