#include "power_actions.h"

#include "error_log.h"
#include "schedule_time.h"

namespace {

// The timer was armed, but the system will not wake for it (Wine answers this).
constexpr DWORD kTimerResumeIgnored = 722;

BOOL RealOpenProcessToken(HANDLE* token) {
  return OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token);
}

BOOL RealAdjustTokenPrivileges(HANDLE token, TOKEN_PRIVILEGES* privileges) {
  return AdjustTokenPrivileges(token, FALSE, privileges, 0, nullptr, nullptr);
}

BOOL RealCloseHandle(HANDLE handle) { return CloseHandle(handle); }
BOOL RealExitWindows(UINT flags) { return ExitWindowsEx(flags, 0); }
BOOL RealSetSystemPowerState(BOOL suspend, BOOL force) {
  return SetSystemPowerState(suspend, force);
}
HANDLE RealCreateResumeTimer() { return CreateWaitableTimerW(nullptr, FALSE, nullptr); }

BOOL RealSetResumeTimer(HANDLE timer, int64_t dueTime, DWORD* lastError) {
  LARGE_INTEGER due;
  due.QuadPart = dueTime;
  SetLastError(ERROR_SUCCESS);
  const BOOL ok = SetWaitableTimer(timer, &due, 0, nullptr, nullptr, TRUE);
  *lastError = GetLastError();
  return ok;
}

EXECUTION_STATE RealSetExecutionState(EXECUTION_STATE flags) {
  return SetThreadExecutionState(flags);
}

void RealSwitchMonitorOff() {
  PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
}

const PowerCalls systemPowerCalls = {
    RealOpenProcessToken, RealAdjustTokenPrivileges, RealCloseHandle,
    RealExitWindows,      RealSetSystemPowerState,     RealCreateResumeTimer,
    RealSetResumeTimer,   RealSetExecutionState,       RealSwitchMonitorOff,
};

const PowerCalls* powerCalls = &systemPowerCalls;

void ShowLastError(const wchar_t* caption, HWND window) {
  wchar_t* text = FetchSystemErrorText(GetLastError());
  ShowSystemErrorMessage(caption, window, &text);
}

}  // namespace

const PowerCalls& CurrentPowerCalls() { return *powerCalls; }

void SetPowerCalls(const PowerCalls* calls) { powerCalls = calls ? calls : &systemPowerCalls; }

bool EnableShutdownPrivilege(HWND window) {
  HANDLE token = nullptr;
  if (!powerCalls->openProcessToken(&token)) {
    ShowLastError(L"OpenProcessTokenエラー", window);
    return false;
  }
  TOKEN_PRIVILEGES privileges{};
  DWORD error = ERROR_SUCCESS;
  if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    SetLastError(ERROR_SUCCESS);
    const BOOL adjusted = powerCalls->adjustTokenPrivileges(token, &privileges);
    error = GetLastError();
    // TRUE with ERROR_NOT_ALL_ASSIGNED: the account lacks the privilege.
    if (adjusted && error != ERROR_NOT_ALL_ASSIGNED) error = ERROR_SUCCESS;
    if (!adjusted && error == ERROR_SUCCESS) error = ERROR_GEN_FAILURE;
  } else {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    powerCalls->closeHandle(token);
    SetLastError(error);
    ShowLastError(L"AdjustTokenPrivilegesエラー", window);
    return false;
  }
  powerCalls->closeHandle(token);
  return true;
}

PowerCallResult PerformPowerAction(int32_t action, bool force, HANDLE timer, int64_t dueTime) {
  const UINT forceFlag = force ? EWX_FORCE : 0;
  BOOL ok = FALSE;
  switch (action) {
    case 0: ok = powerCalls->exitWindows(EWX_POWEROFF | forceFlag); break;
    case 1: ok = powerCalls->exitWindows(EWX_REBOOT | forceFlag); break;
    case 2: ok = powerCalls->exitWindows(EWX_LOGOFF | forceFlag); break;
    case 3:
    case 4: {
      if (dueTime != 0) {
        DWORD lastError = 0;
        if (!timer || !powerCalls->setResumeTimer(timer, dueTime, &lastError)) {
          AppendErrorLog(nullptr, kResumeTimerErrorTitle);
        } else if (lastError == ERROR_NOT_SUPPORTED || lastError == kTimerResumeIgnored) {
          // Armed, but this machine will not wake for it.
          SetLastError(lastError);
          AppendErrorLog(nullptr, kResumeTimerErrorTitle);
        }
      }
      ok = powerCalls->setSystemPowerState(action == 4 ? TRUE : FALSE, force ? TRUE : FALSE);
      break;
    }
    default:
      return kPowerInvalidAction;
  }
  if (!ok) {
    AppendErrorLog(nullptr, kPowerCallErrorTitle);
    return kPowerCallFailed;
  }
  return kPowerIssued;
}

bool PrepareResumeDueTime(const SYSTEMTIME& wake, const SYSTEMTIME& now, int64_t* dueTime) {
  *dueTime = 0;
  if (SecondsSince(wake, now) >= 0) {
    AppendErrorLog(kResumeTimePassedText, kResumeTimerErrorTitle);
    return false;
  }
  if (!LocalTimeToUtcFileTime(wake, dueTime)) {
    AppendErrorLog(nullptr, kResumeTimerErrorTitle);
    *dueTime = 0;
    return false;
  }
  return true;
}
