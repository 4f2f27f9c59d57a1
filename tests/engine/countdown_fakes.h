#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "schedule_model.h"

// Doubles for a run of a schedule: a fixed clock, a recording power layer,
// window timers that only tests fire, and recording side actions.
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
  bool failPrivilege = false;
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

// --- Side actions -------------------------------------------------------------
struct SideRecord {
  std::vector<int> soundsPlayed;      // volume of each PlaySoundFile call (index marker)
  std::vector<std::wstring> soundPaths;
  std::vector<int> launches;          // elapsedSeconds of each LaunchApplication call
  int launchesLeft = 0;               // LaunchApplication answers true this many times
  int mailThreads = 0;
  std::vector<int> mailAfterResume;   // afterResume of each started job
  int modalDialogs = 0;
  int modelessDialogs = 0;
  int captures = 0;
  bool captureFails = false;
  bool playerHasMedium = false;
  bool mailSendsProgress = false;     // the worker sends 0x8005 before it ends
  HANDLE mailRelease = nullptr;       // when set, the worker waits for it (or its cancel) first
  int mailsCancelled = 0;            // workers that saw their cancel event while waiting
  std::function<void()> duringModalDialog;
  int progressSteps = 0;              // 0x8005 received by the fake dialog
  std::vector<std::wstring> paintedLabels;      // label of each count-window paint
  std::vector<std::wstring> paintedCountdowns;  // countdown text of each paint
};
SideRecord& Side();
void ResetSide();

// --- Model ----------------------------------------------------------------------
void ClearModel();
// Puts an item at slot `pos` of `row`, in time order at `pos`.
ScheduleItem& PutItem(int row, int pos, PowerAction action, const SYSTEMTIME& time);
// A time of day on the repeating modes' date 2010-01-01.
SYSTEMTIME TimeOfDay(int hour, int minute, int second = 0);

}  // namespace countdown_fakes
