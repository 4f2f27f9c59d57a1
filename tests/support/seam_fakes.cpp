#include "seam_fakes.h"

#include <cstdio>
#include <map>
#include <set>

#include "shared/clock.h"
#include "shared/power_actions.h"
#include "shared/timer_calls.h"

namespace countdown_fakes {

// --- Clock -----------------------------------------------------------------
namespace {
SYSTEMTIME fakeNow;
void FakeClock(SYSTEMTIME* now) { *now = fakeNow; }

int64_t ToTicks(const SYSTEMTIME& t) {
  FILETIME ft;
  SystemTimeToFileTime(&t, &ft);
  return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}
SYSTEMTIME FromTicks(int64_t ticks) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks & 0xffffffff);
  ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
  SYSTEMTIME t;
  FileTimeToSystemTime(&ft, &t);
  return t;
}
}  // namespace

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  t.wSecond = static_cast<WORD>(second);
  return FromTicks(ToTicks(t));  // fills the weekday
}

SYSTEMTIME AddSeconds(const SYSTEMTIME& t, int64_t seconds) {
  return FromTicks(ToTicks(t) + seconds * 10000000LL);
}

void SetNow(const SYSTEMTIME& now) { fakeNow = now; }
SYSTEMTIME Now() { return fakeNow; }
void AdvanceSeconds(int seconds) { fakeNow = AddSeconds(fakeNow, seconds); }
void InstallClock() { SetLocalTimeSource(FakeClock); }
void RemoveClock() { SetLocalTimeSource(nullptr); }

// --- Power layer -------------------------------------------------------------
namespace {
PowerRecord power;
int fakeTokenValue;
int fakeTimerValue;

void Record(const std::string& call) { power.calls.push_back(call); }
std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

BOOL FakeOpenToken(HANDLE* token) {
  Record("openProcessToken");
  if (power.failOpenToken) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  *token = &fakeTokenValue;
  return TRUE;
}
BOOL FakeAdjustPrivileges(HANDLE token, TOKEN_PRIVILEGES* privileges) {
  Record("adjustTokenPrivileges");
  LUID shutdown{};
  LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &shutdown);
  if (token == &fakeTokenValue && privileges && privileges->PrivilegeCount == 1 &&
      privileges->Privileges[0].Luid.LowPart == shutdown.LowPart &&
      privileges->Privileges[0].Luid.HighPart == shutdown.HighPart &&
      privileges->Privileges[0].Attributes == SE_PRIVILEGE_ENABLED)
    ++power.adjustedPrivileges;
  if (power.failPrivilege) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  // As the system: TRUE, and the last error tells whether all were assigned.
  SetLastError(power.privilegeNotAssigned ? ERROR_NOT_ALL_ASSIGNED : ERROR_SUCCESS);
  return TRUE;
}
BOOL FakeClose(HANDLE handle) {
  if (handle == &fakeTimerValue) ++power.timersClosed;
  return TRUE;
}
BOOL FakeExitWindows(UINT flags) {
  Record("exitWindows " + Hex(flags));
  if (power.failPowerCall) {
    SetLastError(ERROR_PRIVILEGE_NOT_HELD);
    return FALSE;
  }
  return TRUE;
}
BOOL FakeSetSystemPowerState(BOOL suspend, BOOL force) {
  Record("setSystemPowerState " + std::to_string(suspend) + " " + std::to_string(force));
  if (power.failPowerCall) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  if (power.onSleep) power.onSleep();
  return TRUE;
}
HANDLE FakeCreateTimer() {
  ++power.timersCreated;
  return &fakeTimerValue;
}
BOOL FakeSetTimer(HANDLE, int64_t dueTime, DWORD* lastError) {
  power.resumeDueTimes.push_back(dueTime);
  if (power.failSetTimer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    *lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  *lastError = power.setTimerLastError;
  return TRUE;
}
EXECUTION_STATE FakeExecutionState(EXECUTION_STATE flags) {
  power.executionStates.push_back(flags);
  return ES_CONTINUOUS;
}
void FakeMonitorOff() { ++power.monitorOffs; }

const PowerCalls fakePowerCalls = {FakeOpenToken,   FakeAdjustPrivileges,    FakeClose,
                                   FakeExitWindows, FakeSetSystemPowerState, FakeCreateTimer,
                                   FakeSetTimer,    FakeExecutionState,      FakeMonitorOff};
}  // namespace

PowerRecord& Power() { return power; }
void InstallPower() {
  power = PowerRecord{};
  SetPowerCalls(&fakePowerCalls);
}
void RemovePower() { SetPowerCalls(nullptr); }

// --- Timers and hooks ---------------------------------------------------------
namespace {
std::map<HWND, std::set<UINT_PTR>> timers;
std::set<HHOOK> hooks;
int hookCounter;

UINT_PTR FakeSetTimer(HWND window, UINT_PTR id, UINT) {
  timers[window].insert(id);
  return id;
}
BOOL FakeKillTimer(HWND window, UINT_PTR id) { return timers[window].erase(id) ? TRUE : FALSE; }
HHOOK FakeSetHook(int, HOOKPROC) {
  if (failHooks) return nullptr;
  HHOOK hook = reinterpret_cast<HHOOK>(static_cast<intptr_t>(0x1000 + ++hookCounter));
  hooks.insert(hook);
  return hook;
}
BOOL FakeUnhook(HHOOK hook) { return hooks.erase(hook) ? TRUE : FALSE; }

const CountdownTimerCalls fakeTimerCalls = {FakeSetTimer, FakeKillTimer, FakeSetHook, FakeUnhook};
}  // namespace

bool failHooks;
bool TimerActive(HWND window, UINT_PTR id) { return timers[window].count(id) != 0; }
int ActiveTimerCount(HWND window) { return static_cast<int>(timers[window].size()); }
int ActiveHookCount() { return static_cast<int>(hooks.size()); }
void InstallTimers() {
  timers.clear();
  hooks.clear();
  failHooks = false;
  SetCountdownTimerCalls(&fakeTimerCalls);
}
void RemoveTimers() { SetCountdownTimerCalls(nullptr); }

}  // namespace countdown_fakes
