#pragma once
#include <windows.h>

// Window timers and low-level hooks of both programs' countdown dialogs; tests
// replace them to step a countdown tick by tick with WM_TIMER.
struct CountdownTimerCalls {
  UINT_PTR (*setTimer)(HWND window, UINT_PTR id, UINT milliseconds);
  BOOL (*killTimer)(HWND window, UINT_PTR id);
  HHOOK (*setHook)(int hookId, HOOKPROC procedure);
  BOOL (*unhook)(HHOOK hook);
};
const CountdownTimerCalls& CountdownTimers();
// Null restores the system's calls. Tests only.
void SetCountdownTimerCalls(const CountdownTimerCalls* calls);
