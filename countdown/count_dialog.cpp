#include "count_dialog.h"

#include <cmath>
#include <cstdarg>
#include <cwchar>

#include "appearance.h"
#include "count_window.h"
#include "shared/countdown_side_actions.h"
#include "countdown_state.h"
#include "cpu_sampler.h"
#include "layered_paint.h"
#include "shared/clock.h"
#include "shared/notify_icon.h"
#include "shared/power_actions.h"
#include "shared/schedule_time.h"
#include "shared/sound_player.h"
#include "shared/timer_calls.h"
#include "timer_profile.h"
#include "shared/weekday_names.h"
#include "zero_action.h"

uint8_t soundBeforeDone;
uint8_t frontDone;
int32_t& afterSoundTicks = resumeSoundCounter;
int32_t& afterSoundDelay = resumeSoundSeconds;
uint8_t& afterSoundDone = resumeSoundDone;
uint8_t& userActive = userInputSeen;
int32_t cpuSampleCount;
double cpuSampleSum;
wchar_t timeText[15];
wchar_t cpuText[4];
wchar_t cpuThresholdText[12];
wchar_t timerActionLabel[20];
HHOOK& timerKeyboardHook = keyboardHook;
HHOOK& timerMouseHook = mouseHook;

namespace {

HFONT timeFont;
HBRUSH dialogBrush;
HBRUSH staticBrush;
bool cpuQueryOpen;

const TimerSettings& Settings() { return timerSettings; }

// Bounded formatting: the text is cut, never overrun, and always terminated.
template <size_t N>
void Format(wchar_t (&out)[N], const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  _vsnwprintf(out, N - 1, format, args);
  va_end(args);
  out[N - 1] = L'\0';
}

const wchar_t* ListedSound(int32_t entry, int32_t* volume) {
  const TimerSettings& s = Settings();
  if (entry < 1 || entry > s.soundCount || entry > kSoundCount) return nullptr;
  *volume = s.volumes[entry - 1];
  return s.soundPaths[entry - 1];
}

void ResetRunState() {
  ResetCountdownStages();
  soundBeforeDone = frontDone = 0;
  nextAppIndex = 0;
  cpuSampleCount = 0;
  cpuSampleSum = 0;
  suppressApps = suppressSound = 0;
  endNowRequested = 0;  // a request from before this countdown is stale
  cpuQueryOpen = false;
  Format(timeText, L"%ls", L"00:00:00");
  Format(cpuText, L"%ls", L"0");
  timerActionLabel[0] = L'\0';
}

void ShowTimeText(HWND dialog) {
  if (appearance.form == Skinned)
    SendMessageW(dialog, kMsgRepaintCount, 0, 0);
  else
    SetDlgItemTextW(dialog, kTimeStaticId, timeText);
}

void OnTimeTick(HWND dialog) {
  const TimerSettings& s = Settings();
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  const int64_t left = static_cast<int64_t>(std::trunc(SecondsBetween(s.endTime, now)));

  if (s.soundIndex[0] != 0 && !soundBeforeDone) {
    const int64_t lead = s.soundSeconds[0];
    if (left == lead || left == lead - 1) {
      soundBeforeDone = 1;
      PlayListedSound(kTimerCountdownStages, dialog, s.soundIndex[0]);
    } else if (left < lead - 1) {
      soundBeforeDone = 1;  // the moment was missed
    }
  }

  if (s.bringToFront == 1 && !frontDone && left <= s.bringToFrontSeconds) {
    frontDone = 1;
    if (countWindow) ShowWindow(countWindow, SW_SHOW);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
  }

  const int64_t shown = left > 0 ? left : 0;
  Format(timeText, L"%02d:%02d:%02d", static_cast<int>(shown / 3600), static_cast<int>(shown / 60 % 60),
         static_cast<int>(shown % 60));
  ShowTimeText(dialog);

  if (left > 0 && !endNowRequested) return;
  CountdownTimers().killTimer(dialog, kTimeTimer);
  CloseCountdownSound(kTimerCountdownStages);
  // Whole seconds, so that exactly ten seconds late still acts.
  if (left >= -kLatenessLimitSeconds)
    SendMessageW(dialog, kMsgZeroAction, 0, 0);
  else
    DestroyWindow(mainWindow);
}

void OnCpuTick(HWND dialog) {
  const TimerSettings& s = Settings();
  if (endNowRequested) {
    CountdownTimers().killTimer(dialog, kCpuTimer);
    CurrentCpuSampler().close();
    cpuQueryOpen = false;
    SendMessageW(dialog, kMsgZeroAction, 0, 0);
    return;
  }
  double value = 0;
  // A sample that cannot be read is not counted: it would decide nothing.
  if (!CurrentCpuSampler().sample(&value) || std::isnan(value)) return;
  value = value < 0 ? 0 : value > 100 ? 100 : value;
  ++cpuSampleCount;
  cpuSampleSum += value;
  const double average = cpuSampleSum / cpuSampleCount;
  Format(cpuText, L"%2.0f", average);
  SendMessageW(dialog, kMsgRepaintCount, 0, 0);
  if (cpuSampleCount != s.cpuSeconds) return;
  if (average > s.cpuPercent) {
    cpuSampleCount = 0;
    cpuSampleSum = 0;
    return;
  }
  CurrentCpuSampler().close();
  cpuQueryOpen = false;
  CountdownTimers().killTimer(dialog, kCpuTimer);
  SendMessageW(dialog, kMsgZeroAction, 0, 0);
}

void OnZeroAction() {
  if (TimerRunZeroAction() == 1)
    SendMessageW(countDialog, kMsgAfterResume, 0, 0);
  else
    DestroyWindow(mainWindow);
}

void OnAfterResume(HWND dialog) {
  const TimerSettings& s = Settings();
  endNowRequested = soundBeforeDone = frontDone = 0;
  ClearAfterResumeStages();
  if (s.resumeEnabled && s.appsAfterResume && s.appDelays[0] != -1 && !suppressApps)
    StartAfterResumeApps(kTimerCountdownStages, dialog, 0, 0);
  if (s.resumeEnabled && s.soundIndex[1] != 0 && !suppressSound)
    StartAfterResumeSound(dialog, s.soundSeconds[1], s.soundIndex[1]);
  StartEndWatch(kTimerCountdownStages, dialog);
}

void OnInitDialog(HWND dialog) {
  const TimerSettings& s = Settings();
  ResetRunState();
  // Kept before the early return of EndNow, so that the tray reaches this dialog.
  countDialog = dialog;
  if (s.mode == EndNow) {
    PostMessageW(dialog, kMsgZeroAction, 0, 0);
    return;
  }
  SetLayeredWindowAttributes(dialog, RGB(255, 255, 255), 255, LWA_COLORKEY | LWA_ALPHA);
  // A watch that cannot read the processor is refused before the tray or the
  // power state says that a countdown runs.
  if (s.mode == CpuUsage && !CurrentCpuSampler().open()) {
    MessageBoxW(mainWindow, kCpuCounterErrorText, L"エラー", MB_ICONERROR);
    DestroyWindow(dialog);
    return;
  }
  dialogBrush = CreateSolidBrush(RGB(255, 255, 255));
  staticBrush = CreateSolidBrush(RGB(255, 255, 255));
  CurrentPowerCalls().setExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
  TimerUpdateTrayTip();
  timeFont = CreateFontW(17, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Verdana");
  TimerLayoutCountDialog(GetDlgItem(dialog, kTimeStaticId));
  SendMessageW(dialog, kMsgShowTimeStatic, 0, 0);
  if (s.mode == CpuUsage) {
    Format(cpuThresholdText, L"%d", s.cpuPercent);
    cpuQueryOpen = true;
    CountdownTimers().setTimer(dialog, kCpuTimer, 1000);
  } else {
    Format(timeText, L"%ls", L"00:00:00");
    CountdownTimers().setTimer(dialog, kTimeTimer, 1000);
  }
}

void OnDestroy(HWND dialog) {
  SendMessageW(dialog, kMsgStopSound, 0, 0);
  if (countDialog == dialog) countDialog = nullptr;
  if (timeFont) DeleteObject(timeFont);
  if (dialogBrush) DeleteObject(dialogBrush);
  if (staticBrush) DeleteObject(staticBrush);
  timeFont = nullptr;
  dialogBrush = staticBrush = nullptr;
  if (cpuQueryOpen) CurrentCpuSampler().close();
  cpuQueryOpen = false;
  CountdownTimers().killTimer(dialog, kTimeTimer);
  CountdownTimers().killTimer(dialog, kCpuTimer);
  EndCountdownStages(kTimerCountdownStages, dialog);
}

void OnRepaint(LPARAM reloadLabel) {
  const TimerSettings& s = Settings();
  if (reloadLabel == 1) {
    const bool known = s.action >= 0 && s.action <= 4;
    MakeActionLabel(timerActionLabel, known ? timerActionKeyNames[s.action] : nullptr,
                    TimerActionDisplayName(s.action));
  }
  if (!countWindow) return;
  SideActions().paintCountWindow(timerActionLabel, timeText);
}

}  // namespace

const CountdownStagesConfig kTimerCountdownStages = {
    SideActions, &mainWindow, &countWindow, &nextAppIndex, ListedSound, nullptr,
};

void TimerLayoutCountDialog(HWND timeStatic) {
  if (Settings().mode == CpuUsage) return;
  SendMessageW(timeStatic, WM_SETFONT, reinterpret_cast<WPARAM>(timeFont), FALSE);
  // Over the built-in image's digit field; unscaled, as the image is.
  if (appearance.form != Skinned) MoveWindow(timeStatic, 27, 22, 84, 15, FALSE);
}

void FormatTimerTrayTip(wchar_t (&tip)[128]) {
  const TimerSettings& s = Settings();
  wchar_t first[101];
  wchar_t second[101];
  auto weekday = [](const SYSTEMTIME& t) { return t.wDayOfWeek < 7 ? weekdayNames[t.wDayOfWeek] : L""; };
  if (s.mode == CpuUsage) {
    Format(first, L"%ls", L"CPU監視中...");
  } else {
    const SYSTEMTIME& t = s.endTime;
    Format(first, L"%ls開始時刻\n%d年%02d月%02d日(%ls)　%02d時%02d分", TimerActionDisplayName(s.action),
           t.wYear, t.wMonth, t.wDay, weekday(t), t.wHour, t.wMinute);
  }
  if (s.resumeEnabled) {
    const SYSTEMTIME& t = s.resumeTime;
    Format(second, L"復帰時刻\n%d年%02d月%02d日(%ls)　%02d時%02d分", t.wYear, t.wMonth, t.wDay, weekday(t),
           t.wHour, t.wMinute);
  } else {
    Format(second, L"%ls", L"復帰時刻\n----年--月--日:--時--分");
  }
  Format(tip, L"稼働中...\n%ls\n%ls", first, second);
}

void TimerUpdateTrayTip() {
  wchar_t tip[128];
  FormatTimerTrayTip(tip);
  SetTrayTip(tip);
}

HWND CreateTimerCountDialog() {
  countDialog = nullptr;
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kCountDialogId), nullptr,
                                   TimerCountdownDialogProc, 0);
  if (!dialog || !IsWindow(dialog) || countDialog != dialog) {
    countDialog = nullptr;
    return nullptr;
  }
  return dialog;
}

INT_PTR CALLBACK TimerCountdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  INT_PTR handled = 0;
  if (HandleCountPairFrontMessage(dialog, message, wParam, lParam, kTimeStaticId, dialogBrush, staticBrush, &handled))
    return handled;
  if (HandleCountdownStageMessage(kTimerCountdownStages, dialog, message, wParam, lParam)) return TRUE;
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_TIMER:
      switch (wParam) {
        case kTimeTimer: OnTimeTick(dialog); break;
        case kCpuTimer: OnCpuTick(dialog); break;
        default: break;
      }
      return TRUE;
    case WM_DESTROY:
      OnDestroy(dialog);
      return TRUE;
    case kMsgShowTimeStatic:
      ShowWindow(GetDlgItem(dialog, kTimeStaticId),
                 Settings().mode != CpuUsage && appearance.form != Skinned ? SW_SHOW : SW_HIDE);
      return TRUE;
    case kMsgRepaintCount:
      OnRepaint(lParam);
      return TRUE;
    case kMsgZeroAction:
      OnZeroAction();
      return TRUE;
    case kMsgAfterResume:
      OnAfterResume(dialog);
      return TRUE;
    default:
      return FALSE;
  }
}
