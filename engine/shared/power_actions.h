#pragma once
#include <windows.h>

#include <cstdint>

// The power primitives both programs share. Every call that could end the
// session or put the machine to sleep goes through PowerCalls, which tests
// replace with a recording fake.
struct PowerCalls {
  // OpenProcessToken of this process for adjusting privileges.
  BOOL (*openProcessToken)(HANDLE* token);
  // AdjustTokenPrivileges without the previous state. Its TRUE with the last
  // error ERROR_NOT_ALL_ASSIGNED means the account lacks the privilege.
  BOOL (*adjustTokenPrivileges)(HANDLE token, TOKEN_PRIVILEGES* privileges);
  BOOL (*closeHandle)(HANDLE handle);
  BOOL (*exitWindows)(UINT flags);
  BOOL (*setSystemPowerState)(BOOL suspend, BOOL force);
  HANDLE (*createResumeTimer)();
  // Arms the timer with resume at an absolute UTC file time; lastError gets
  // GetLastError right after the call, also on success.
  BOOL (*setResumeTimer)(HANDLE timer, int64_t dueTime, DWORD* lastError);
  EXECUTION_STATE (*setExecutionState)(EXECUTION_STATE flags);
  // Broadcasts SC_MONITORPOWER with 2: the display goes off.
  void (*switchMonitorOff)();
};

const PowerCalls& CurrentPowerCalls();
// Replaces the power calls; null restores the system's. Tests only.
void SetPowerCalls(const PowerCalls* calls);

enum PowerCallResult : int {
  kPowerIssued = 0,         // requested (and for hibernate/standby: returned)
  kPowerInvalidAction = 1,  // not one of the five power actions
  kPowerCallFailed = 2,     // the system refused; logged
};

// Enables the shutdown privilege; a failure is shown in an error box over the
// window with the caption "OpenProcessTokenエラー" or "AdjustTokenPrivilegesエラー".
bool EnableShutdownPrivilege(HWND window);

// Performs action 0-4 (Shutdown, Restart, Logoff, Hibernate, Standby). For
// hibernate and standby a non-zero dueTime (absolute UTC file time) first arms
// the resume timer; a timer that cannot be armed is logged under
// "復帰タイマーセットエラー" and the action goes on. A refused power call is
// logged under "終了エラー #1".
PowerCallResult PerformPowerAction(int32_t action, bool force, HANDLE timer, int64_t dueTime);

// The due time for a resume timer at the planned local time `wake`: false,
// logged under "復帰タイマーセットエラー", when it is no longer ahead of now or
// cannot be converted.
bool PrepareResumeDueTime(const SYSTEMTIME& wake, const SYSTEMTIME& now, int64_t* dueTime);

inline constexpr const wchar_t* kResumeTimerErrorTitle = L"復帰タイマーセットエラー";
inline constexpr const wchar_t* kResumeTimePassedText = L"復帰時刻を過ぎているため復帰タイマーを設定しませんでした。";
inline constexpr const wchar_t* kPowerCallErrorTitle = L"終了エラー #1";
