#pragma once
#include <windows.h>

#include <cstdint>

#include "mail_job_calls.h"
#include "shared/countdown_stages.h"
#include "shared/timer_calls.h"

// The countdown dialog: counts down to the next due item once a second and is
// the message hub of a running schedule.

// Creates the dialog (modeless, without owner) from its in-memory template.
// Null when it cannot be created or no item is due; countdownDialog is then null.
HWND CreateCountdownDialog();

INT_PTR CALLBACK CountdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// What the scheduler's dialog gives the stages both count dialogs share.
extern const CountdownStagesConfig kSchedulerCountdownStages;

// "今すぐ終了する": honoured only while a countdown runs, so that a request can
// never wait for the next run.
void RequestEndNow();

// Timer ids of the dialog.
inline constexpr UINT_PTR kCountdownTimer = 1;
inline constexpr UINT_PTR kAppsTimer = kAfterResumeAppsTimer;
inline constexpr UINT_PTR kResumeSoundTimer = kAfterResumeSoundTimer;
inline constexpr UINT_PTR kEndTimer = kEndWatchTimer;
inline constexpr int kCountdownStaticId = 1087;

// Tests replace the dialog's timers and hooks through SetCountdownTimerCalls.

// Run-time state of the dialog; the after-resume and end state lives with the
// shared stages (countdown_stages.h).
extern wchar_t countdownText[16];
extern wchar_t actionLabel[20];
extern uint8_t preSoundDone;
extern uint8_t broughtToFront;
extern int32_t appLaunchCursor;
extern MailJob mailJob;
