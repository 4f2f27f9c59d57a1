#include "timer_calls.h"

namespace {

UINT_PTR SystemSetTimer(HWND window, UINT_PTR id, UINT milliseconds) {
  return SetTimer(window, id, milliseconds, nullptr);
}
BOOL SystemKillTimer(HWND window, UINT_PTR id) { return KillTimer(window, id); }
HHOOK SystemSetHook(int hookId, HOOKPROC procedure) {
  return SetWindowsHookExW(hookId, procedure, GetModuleHandleW(nullptr), 0);
}
BOOL SystemUnhook(HHOOK hook) { return UnhookWindowsHookEx(hook); }

const CountdownTimerCalls systemTimerCalls = {SystemSetTimer, SystemKillTimer, SystemSetHook,
                                              SystemUnhook};
const CountdownTimerCalls* timerCalls = &systemTimerCalls;

}  // namespace

const CountdownTimerCalls& CountdownTimers() { return *timerCalls; }

void SetCountdownTimerCalls(const CountdownTimerCalls* calls) {
  timerCalls = calls ? calls : &systemTimerCalls;
}
