#include "zero_action.h"

#include <windows.h>

#include "shared/countdown_side_actions.h"
#include "countdown_state.h"
#include "shared/app_launcher.h"
#include "shared/clock.h"
#include "shared/error_log.h"
#include "shared/power_actions.h"
#include "shared/schedule_time.h"
#include "shared/utilities.h"
#include "timer_profile.h"

int TimerRunZeroAction() {
  const TimerSettings& s = timerSettings;
  if (!EnableShutdownPrivilege(mainWindow)) return 0;

  if (s.captureEnabled == 1 && !(endNowRequested && s.endNowNoCapture)) {
    wchar_t path[MAX_PATH] = L"";
    const bool named = SideActions().makeCaptureFileName(TimerActionDisplayName(s.action), path,
                                                         s.captureFolder, s.captureFormat);
    if (named) CreateDirectoryIfMissing(path);
    if (!named || !SideActions().captureScreen(path, s.captureFormat))
      AppendErrorLog(L"JPEGイメージの作成に失敗しました。", L"キャプチャーエラー");
  }

  const PowerCalls& calls = CurrentPowerCalls();
  HANDLE timer = nullptr;
  int64_t dueTime = 0;
  if (s.resumeEnabled) {
    // A resume time no longer ahead arms nothing (and is logged): a due time
    // in the past would wake the machine at once.
    SYSTEMTIME now;
    GetClockLocalTime(&now);
    if (PrepareResumeDueTime(s.resumeTime, now, &dueTime)) {
      timer = calls.createResumeTimer();
      if (!timer) {
        AppendErrorLog(nullptr, kResumeTimerErrorTitle);
        dueTime = 0;
      }
    }
  }

  const PowerCallResult result = PerformPowerAction(s.action, s.forceAction != 0, timer, dueTime);
  if (timer) calls.closeHandle(timer);
  // A refused call is in the error log already; either way nothing follows.
  if (result == kPowerCallFailed) return 0;
  if (result == kPowerInvalidAction) {
    MessageBoxW(countDialog, L"予期しないエラーです。不正な値が渡されました。\nプログラムを終了します。",
                kPowerCallErrorTitle, MB_ICONERROR);
    return 0;
  }

  if (s.monitorOnAfterResume)
    calls.setExecutionState(ES_DISPLAY_REQUIRED);
  else
    calls.switchMonitorOff();
  calls.setExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);

  if (s.resumeEnabled) {
    if (IsWithin120Seconds(s.resumeTime)) {
      suppressApps = 0;
      suppressSound = 0;
    } else {
      suppressApps = s.unexpectedResumeNoApps;
      suppressSound = s.unexpectedResumeNoSound;
    }
  }
  return 1;
}

bool TimerLaunchApplication(int32_t elapsedSeconds) {
  const TimerSettings& s = timerSettings;
  const ApplicationList list = {s.appPaths, s.appArguments, s.appDelays, s.appMinimized};
  return LaunchApplicationList(list, elapsedSeconds, &nextAppIndex) != 0;
}
