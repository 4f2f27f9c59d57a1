#pragma once
#include <windows.h>

#include <cstdint>

#include "mail_job_calls.h"

// What ExecutePowerAction reports to the countdown.
enum ExecuteResult : int {
  kExecuteFailed = 0,      // the program must end
  kExecuteDone = 1,        // issued (hibernate/standby: the machine has resumed)
  kExecuteAborted = 2,     // the run was aborted meanwhile: touch nothing
  kExecuteCallFailed = 3,  // the system refused the action (logged): no after-resume stage
};

// Runs the current item's action at zero: privilege, mail before the action,
// capture, resume timer at `wake`, the action, display state, planned or
// unexpected resume and the after-resume mail.
int ExecutePowerAction(MailJob& job, int32_t action, const SYSTEMTIME& wake);

// Finishes a mail job that is still running: waits for its thread (delivering
// the messages sent to this thread), closes its handles and dialog 148.
void FinishMailJob(MailJob& job);

// Set when the countdown dialog is destroyed while the executor runs.
extern uint8_t countdownRunAborted;

inline constexpr const wchar_t* kMailThreadErrorTitle = L"メール送信スレッドの作成に失敗しました。";
inline constexpr const wchar_t* kMailComposeErrorTitle = L"メール送信エラー #40";
// The after-resume mail still running when the next item falls due.
inline constexpr const wchar_t* kMailSendErrorTitle = L"メール送信エラー";
inline constexpr const wchar_t* kMailCancelledForNextItemText =
    L"次の項目の時刻になったため、復帰後のメールの送信を中止しました。";
// A mail stopped on its way out because the run or the program ended.
inline constexpr const wchar_t* kMailCutOffText = L"中断または終了により、メールの送信を中止しました。";
// Logs kMailCutOffText under kMailSendErrorTitle.
void LogMailCutOff();
