#pragma once
#include <windows.h>

#include <cstdint>

#include "shared/countdown_stages.h"

// Dialog 155: the running countdown in its three modes, the zero action and
// the after-resume stage, ending the program when its work is over.

// Creates the modeless dialog (no owner) for timerSettings. Null when it could
// not start (a processor watch without a readable counter is refused with a
// message); countDialog is then null.
HWND CreateTimerCountDialog();

INT_PTR CALLBACK TimerCountdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Gives the time static its font and, in the built-in forms, its place.
void TimerLayoutCountDialog(HWND timeStatic);
// What this program's dialog gives the stages both count dialogs share.
extern const CountdownStagesConfig kTimerCountdownStages;
// Rewrites the tray tip for the running countdown.
void TimerUpdateTrayTip();
// The tip the running countdown shows, at most 127 characters.
void FormatTimerTrayTip(wchar_t (&tip)[128]);

inline constexpr int kCountDialogId = 155;
inline constexpr int kTimeStaticId = 1087;
inline constexpr UINT_PTR kTimeTimer = 1;
inline constexpr UINT_PTR kAppsTimer = kAfterResumeAppsTimer;
inline constexpr UINT_PTR kAfterSoundTimer = kAfterResumeSoundTimer;
inline constexpr UINT_PTR kExitWatchTimer = kEndWatchTimer;
inline constexpr UINT_PTR kCpuTimer = 5;
// Zero reached at most this late still acts; later the program ends without acting.
inline constexpr int kLatenessLimitSeconds = 10;

inline constexpr const wchar_t* kCpuCounterErrorText =
    L"CPU使用率を取得できないため、CPU使用率の監視を開始できません。";

// Run state, reset when the dialog starts. The after-resume and end state is
// the shared stages' (countdown_stages.h), under this program's names too.
extern uint8_t soundBeforeDone;
extern uint8_t frontDone;
extern int32_t& afterSoundTicks;
extern int32_t& afterSoundDelay;
extern uint8_t& afterSoundDone;
extern uint8_t& userActive;
extern int32_t cpuSampleCount;
extern double cpuSampleSum;
extern wchar_t timeText[15];
extern wchar_t cpuText[4];
extern wchar_t cpuThresholdText[12];
extern wchar_t timerActionLabel[20];
extern HHOOK& timerKeyboardHook;
extern HHOOK& timerMouseHook;
