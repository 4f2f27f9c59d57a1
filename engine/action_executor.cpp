#include "action_executor.h"

#include <process.h>

#include "main_window_state.h"
#include "next_due.h"
#include "shared/clock.h"
#include "shared/error_log.h"
#include "shared/power_actions.h"
#include "shared/utilities.h"

uint8_t countdownRunAborted;

namespace {

// The job is complete here, on this thread: the worker reads nothing else.
bool StartMailThread(MailJob& job, ScheduleItem* item, int32_t afterResume) {
  job.item = item;
  job.closeMode = afterResume;
  job.afterResume = afterResume;
  job.interactive = 0;
  if (!ComposeNotificationMail(*item, afterResume, &job.request)) {
    // The recipient is not on the address list (a hand-edited profile).
    SetLastError(ERROR_INVALID_PARAMETER);
    AppendErrorLog(nullptr, kMailComposeErrorTitle);
    return false;
  }
  if (!StartMailJob(&job, MailSendThreadProc)) {
    SecureZeroMemory(&job.request, sizeof job.request);
    AppendErrorLog(nullptr, kMailThreadErrorTitle);
    return false;
  }
  return true;
}

bool RunAborted(const MailJob& job) {
  return countdownRunAborted || !countdownDialog || countdownDialog != job.owner;
}

}  // namespace

void FinishMailJob(MailJob& job) {
  // A completion taken by a nested loop while the owner waits here is left
  // to this wait, which closes dialog 148 itself.
  if (!job.thread || job.joining) return;
  job.joining = 1;
  JoinMailJob(&job);
  job.joining = 0;
  // Any completion still queued now names a job that is no longer live.
  if (mailProgressDialog) {
    if (job.closeMode == 1) {
      DestroyWindow(mailProgressDialog);
      mailProgressDialog = nullptr;
    } else {
      EndDialog(mailProgressDialog, 1);
    }
  }
}

void LogMailCutOff() { AppendErrorLog(kMailCutOffText, kMailSendErrorTitle); }

int ExecutePowerAction(MailJob& job, int32_t action, const SYSTEMTIME& wake) {
  // The job record is reused below: the previous item's after-resume mail,
  // still running, is cancelled rather than waited out with the tray frozen.
  // A mail lost that way is logged like any mail that did not go out.
  if (job.thread) {
    CancelMailJob(&job);
    FinishMailJob(job);
    if (job.cancelled) AppendErrorLog(kMailCancelledForNextItemText, kMailSendErrorTitle);
  }

  if (!EnableShutdownPrivilege(mainWindow)) return kExecuteFailed;

  const GeneralSettings& general = profileSettings.general;
  ScheduleItem* item = ItemAtOrder(currentRow, currentPos);
  if (item && item->mailTo != 0 && !featureOff[1] && !(endNowRequested && general.endNowNoMail)) {
    if (StartMailThread(job, item, 0)) RunMailProgressDialog(&job);
    if (RunAborted(job)) return kExecuteAborted;
  }

  if (item && item->captureEnabled == 1 && !featureOff[2] &&
      !(endNowRequested && general.endNowNoCapture)) {
    const CaptureSettings& capture = profileSettings.capture;
    wchar_t path[kPathChars] = L"";
    const bool named = SideActions().makeCaptureFileName(actionDisplayNames[item->action], path,
                                                         capture.captureFolder, capture.captureFormat);
    if (named) CreateDirectoryIfMissing(path);
    if (!named || !SideActions().captureScreen(path, capture.captureFormat))
      AppendErrorLog(L"JPEGイメージの作成に失敗しました。", L"キャプチャーエラー");
  }

  if (job.thread) {
    FinishMailJob(job);
    if (RunAborted(job)) return kExecuteAborted;
  }

  const PowerCalls& calls = CurrentPowerCalls();
  HANDLE timer = nullptr;
  int64_t dueTime = 0;
  // Only hibernate and standby come back to be woken.
  if (wakePos != -1 && (action == Hibernate || action == Standby)) {
    // Taken after the mail and the capture, which may have used up the time.
    SYSTEMTIME now;
    GetClockLocalTime(&now);
    if (PrepareResumeDueTime(wake, now, &dueTime)) {
      timer = calls.createResumeTimer();
      if (!timer) {
        AppendErrorLog(nullptr, kResumeTimerErrorTitle);
        dueTime = 0;
      }
    }
  }

  const PowerCallResult result = PerformPowerAction(action, general.forceAction != 0, timer, dueTime);
  if (timer) calls.closeHandle(timer);
  if (result == kPowerInvalidAction) {
    MessageBoxW(job.owner, L"予期しないエラーです。不正な値が渡されました。\nプログラムを終了します。",
                kPowerCallErrorTitle, MB_ICONERROR);
    return kExecuteFailed;
  }
  if (result == kPowerCallFailed) return kExecuteCallFailed;

  if (general.monitorOnAfterResume) {
    calls.setExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED);
  } else {
    calls.setExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    calls.switchMonitorOff();
  }

  if (wakePos != -1) {
    if (IsWithin120Seconds(wake)) {
      suppressApps = suppressSound = suppressMail = 0;
    } else {
      suppressApps = general.unexpectedResumeNoApps;
      suppressSound = general.unexpectedResumeNoSound;
      suppressMail = general.unexpectedResumeNoMail;
    }
    ScheduleItem* wakeItem = ItemAtOrder(wakeRow, wakePos);
    if (wakeItem && wakeItem->mailTo != 0 && !featureOff[4] && !suppressMail) {
      if (StartMailThread(job, wakeItem, 1)) mailProgressDialog = CreateMailProgressDialog(&job);
    }
    suppressMail = 0;
  }
  return kExecuteDone;
}
