#pragma once
#include <windows.h>

#include <cstdint>

#include "pending_side_actions.h"
#include "shared/timer_calls.h"

// The countdown dialog: counts down to the next due item once a second and is
// the message hub of a running schedule.

// Creates the dialog (modeless, without owner) from its in-memory template.
// Null when it cannot be created or no item is due; countdownDialog is then null.
HWND CreateCountdownDialog();

INT_PTR CALLBACK CountdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LowLevelKeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LowLevelMouseHookProc(int code, WPARAM wParam, LPARAM lParam);

// "今すぐ終了する": honoured only while a countdown runs, so that a request can
// never wait for the next run.
void RequestEndNow();

// Timer ids of the dialog.
inline constexpr UINT_PTR kCountdownTimer = 1;
inline constexpr UINT_PTR kAppsTimer = 2;
inline constexpr UINT_PTR kResumeSoundTimer = 3;
inline constexpr UINT_PTR kEndTimer = 4;
inline constexpr int kCountdownStaticId = 1087;
// At the end of a date schedule, an open medium is waited for at most ten
// minutes (ticks of timer 4), then closed.
inline constexpr int kEndWaitForMediumTicks = 10 * 60 * 2;

// Tests replace the dialog's timers and hooks through SetCountdownTimerCalls.

// Run-time state of the dialog.
extern wchar_t countdownText[16];
extern wchar_t actionLabel[20];
extern uint8_t preSoundDone;
extern uint8_t broughtToFront;
extern int32_t appsRow;
extern int32_t appsPos;
extern int32_t appElapsedSeconds;
extern int32_t appLaunchCursor;
extern int32_t resumeSoundCounter;
extern int32_t resumeSoundSeconds;
extern int32_t resumeSoundIndex;
extern uint8_t resumeSoundDone;
extern uint8_t userInputSeen;
extern HHOOK keyboardHook;
extern HHOOK mouseHook;
extern MailJob mailJob;
