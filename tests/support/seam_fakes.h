#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Doubles for the seams both programs' countdowns run through: a fixed clock,
// a recording power layer, and window timers and hooks that only tests fire.
namespace countdown_fakes {

// --- Clock -----------------------------------------------------------------
SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second = 0);
void SetNow(const SYSTEMTIME& now);
SYSTEMTIME Now();
void AdvanceSeconds(int seconds);
SYSTEMTIME AddSeconds(const SYSTEMTIME& t, int64_t seconds);
void InstallClock();
void RemoveClock();

// --- Power layer -------------------------------------------------------------
struct PowerRecord {
  std::vector<std::string> calls;  // "exitWindows 0x1", "setSystemPowerState 1 0", ...
  std::vector<int64_t> resumeDueTimes;
  std::vector<DWORD> executionStates;
  int timersCreated = 0;
  int timersClosed = 0;
  int monitorOffs = 0;
  bool failOpenToken = false;
  bool failPrivilege = false;         // AdjustTokenPrivileges fails
  bool privilegeNotAssigned = false;  // it succeeds with ERROR_NOT_ALL_ASSIGNED
  int adjustedPrivileges = 0;         // calls that asked for SeShutdownPrivilege, enabled
  bool failPowerCall = false;
  bool failSetTimer = false;
  DWORD setTimerLastError = 0;
  // Runs inside setSystemPowerState: the machine "sleeps" (the clock moves).
  std::function<void()> onSleep;
};
PowerRecord& Power();
void InstallPower();  // also clears the record
void RemovePower();

// --- Timers and hooks ---------------------------------------------------------
bool TimerActive(HWND window, UINT_PTR id);
int ActiveTimerCount(HWND window);
int ActiveHookCount();
extern bool failHooks;
void InstallTimers();
void RemoveTimers();

}  // namespace countdown_fakes
