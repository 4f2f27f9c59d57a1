#pragma once
#include <windows.h>

#include <cstdint>

#include "count_messages.h"
#include "countdown_side_actions.h"

// What both programs' count dialogs do around the action, written once: the
// listed sounds, the after-resume applications and sound, the end watch with
// its low-level hooks, the tray's sound commands and the deferred close of an
// ended medium. Each dialog passes what differs as a CountdownStagesConfig and
// hands its messages to HandleCountdownStageMessage first.

// Timers of the count dialogs (both programs number them alike).
inline constexpr UINT_PTR kAfterResumeAppsTimer = 2;   // 1,000 ms, one launcher call a tick
inline constexpr UINT_PTR kAfterResumeSoundTimer = 3;  // 1,000 ms
inline constexpr UINT_PTR kEndWatchTimer = 4;          // 500 ms


// The end watch waits at most ten minutes (ticks of its timer) for a medium
// whose end is never reported, then logs it and closes the medium.
inline constexpr int kEndWaitForMediumTicks = 10 * 60 * 2;
inline constexpr const wchar_t* kEndWaitGaveUpText =
    L"サウンドの終了が通知されないため、再生を終了しました。";

struct CountdownStagesConfig {
  // The program's side actions (tests replace the table).
  const CountdownSideActions& (*sideActions)();
  HWND* mainWindow;   // destroyed when the run's work is over: the program ends
  HWND* countWindow;  // hidden with the dialog when the end watch starts
  int32_t* appCursor;  // the launcher's next slot, reset here before and after a list
  // Entry (1-based) of the program's sound list with its volume; null for an
  // entry the list does not hold.
  const wchar_t* (*listedSound)(int32_t entry, int32_t* volume);
  // Work of the program's own that keeps the end waiting; null for none.
  bool (*otherWorkPending)();
};

// Run state of the stages, process-wide: one count dialog runs at a time.
extern int32_t appsRow;  // the item whose applications are started (the scheduler's)
extern int32_t appsPos;
extern int32_t appElapsedSeconds;   // seconds since the after-resume applications began; -1 none pending
extern int32_t resumeSoundCounter;  // ticks of the after-resume sound; -1 none pending
extern int32_t resumeSoundSeconds;
extern int32_t resumeSoundIndex;
extern uint8_t resumeSoundDone;
extern uint8_t userInputSeen;  // a low-level keyboard or mouse event arrived
extern HHOOK keyboardHook;
extern HHOOK mouseHook;

LRESULT CALLBACK LowLevelKeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LowLevelMouseHookProc(int code, WPARAM wParam, LPARAM lParam);

// At the dialog's start: nothing pending, no hooks, no player.
void ResetCountdownStages();
// Plays entry `entry` of the program's list on the shared player, creating it
// with the dialog as owner first when there is none.
void PlayListedSound(const CountdownStagesConfig& config, HWND dialog, int32_t entry);
// Closes the player's medium when one is open.
void CloseCountdownSound(const CountdownStagesConfig& config);
// After the action: nothing after-resume is pending until a start below.
void ClearAfterResumeStages();
void StartAfterResumeApps(const CountdownStagesConfig& config, HWND dialog, int32_t row, int32_t pos);
void StartAfterResumeSound(HWND dialog, int32_t seconds, int32_t entry);
// Hides the pair, installs both hooks (without them the end does not wait for
// input) and starts the end watch.
void StartEndWatch(const CountdownStagesConfig& config, HWND dialog);
// The dialog's WM_DESTROY: stops the stages' timers and hooks, destroys the
// player and lets the machine idle-sleep again.
void EndCountdownStages(const CountdownStagesConfig& config, HWND dialog);

// The stages' timers and messages; true when the message was one of them.
bool HandleCountdownStageMessage(const CountdownStagesConfig& config, HWND dialog, UINT message, WPARAM wParam,
                                 LPARAM lParam);
