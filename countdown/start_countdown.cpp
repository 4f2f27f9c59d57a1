#include "start_countdown.h"

#include "appearance.h"
#include "count_dialog.h"
#include "count_window.h"
#include "countdown_state.h"
#include "shared/clock.h"
#include "shared/schedule_time.h"
#include "skins.h"

bool TimerStartCountdown(HWND owner, const TimerPickerValues& pickers) {
  TimerSettings& s = timerSettings;
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  SYSTEMTIME end = now;
  if (s.mode == Time) {
    end = TimerComposeStartTime(pickers.endDate, pickers.endTime);
    if (SecondsBetween(end, now) <= 60) {
      MessageBoxW(owner, kEndTooSoonText, L"", MB_OK);
      return false;
    }
    s.endTime = end;
  }
  if (s.mode == CpuUsage) {
    // A threshold of 100 or more would end the watch whatever the load.
    if (s.cpuSeconds < 1 || s.cpuPercent < 1 || s.cpuPercent >= 100) {
      MessageBoxW(owner, kBadCpuValuesText, L"エラー", MB_OK);
      return false;
    }
    if (appearance.form == Skinned) {
      // The processor watch uses the built-in forms.
      appearance.form = Normal;
      LoadCountWindowImages(owner);
    }
  }
  if (s.resumeEnabled == 1) {
    const SYSTEMTIME resume = TimerComposeStartTime(pickers.resumeDate, pickers.resumeTime);
    if (SecondsBetween(resume, s.mode == Time ? end : now) <= 20) {
      MessageBoxW(owner, kBadResumeText, L"", MB_OK);
      return false;
    }
    s.resumeTime = resume;
  }
  if (!CreateTimerCountDialog()) return false;
  if (!CreateCountWindow(s.hideTimerAtStart == 1)) {
    DestroyWindow(countDialog);
    return false;
  }
  if (mainWindow) ShowWindow(mainWindow, SW_HIDE);
  return true;
}
