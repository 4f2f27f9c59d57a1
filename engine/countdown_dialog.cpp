#include "countdown_dialog.h"

#include <commctrl.h>

#include <cmath>
#include <cstring>
#include <cwchar>
#include <vector>

#include "action_executor.h"
#include "action_names.h"
#include "appearance.h"
#include "count_window.h"
#include "layered_paint.h"
#include "main_window_state.h"
#include "next_due.h"
#include "private_messages.h"
#include "shared/clock.h"
#include "shared/power_actions.h"
#include "shared/timer_calls.h"

wchar_t countdownText[16];
wchar_t actionLabel[20];
uint8_t preSoundDone;
uint8_t broughtToFront;
MailJob mailJob;

namespace {

HFONT countdownFont;
HBRUSH dialogBrush;
HBRUSH staticBrush;

// One tenth of a second short of 10 s counts as on time; 10 s late is skipped.
constexpr double kLatenessLimitDays = -0.00011574074074074073;

// The template: a caption-less layered pop-up with the right-aligned static.
std::vector<WORD> BuildCountdownTemplate() {
  std::vector<WORD> words;
  auto push32 = [&words](DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
  };
  auto pushText = [&words](const wchar_t* text) {
    for (const wchar_t* p = text; *p; ++p) words.push_back(static_cast<WORD>(*p));
    words.push_back(0);
  };
  push32(WS_POPUP | DS_SETFONT);
  push32(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT);
  words.push_back(1);    // one control
  words.push_back(0);    // x
  words.push_back(0);    // y
  words.push_back(127);  // cx
  words.push_back(29);   // cy
  words.push_back(0);    // no menu
  words.push_back(0);    // standard class
  words.push_back(0);    // no title
  words.push_back(9);    // point size
  pushText(L"メイリオ");
  if (words.size() % 2) words.push_back(0);  // DWORD alignment of the item
  push32(WS_CHILD | WS_VISIBLE | SS_RIGHT);
  push32(WS_EX_TRANSPARENT);
  words.push_back(0);
  words.push_back(0);
  words.push_back(127);
  words.push_back(29);
  words.push_back(kCountdownStaticId);
  words.push_back(0xFFFF);
  words.push_back(0x0082);  // static
  pushText(L"00:00:00");
  words.push_back(0);  // no creation data
  return words;
}

ScheduleItem* CurrentItem() { return ItemAtOrder(currentRow, currentPos); }
ScheduleItem* WakeItem() { return wakePos != -1 ? ItemAtOrder(wakeRow, wakePos) : nullptr; }

const wchar_t* ListedSound(int32_t entry, int32_t* volume) {
  if (entry < 1 || entry > kSoundCount) return nullptr;
  *volume = profileSettings.sounds.volumes[entry - 1];
  return profileSettings.sounds.paths[entry - 1];
}

// A worker that has ended is reaped here; its completion, still queued, is then stale.
void ReapEndedMailThread() {
  if (!mailJob.thread) return;
  DWORD exitCode = 0;
  if (GetExitCodeThread(mailJob.thread, &exitCode) && exitCode == STILL_ACTIVE) return;
  FinishMailJob(mailJob);
}

// The end also waits for the after-resume mail.
bool MailStillRuns() {
  ReapEndedMailThread();
  return mailJob.thread != nullptr;
}

void CancelRunningMail() {
  if (!mailJob.thread) return;
  CancelMailJob(&mailJob);
  FinishMailJob(mailJob);
  if (mailJob.cancelled) LogMailCutOff();
}

void FormatCountdownText(double diffDays) {
  int64_t seconds = std::llround(diffDays * 86400.0);
  if (seconds < 0) seconds = 0;  // the one late tick shows zero
  swprintf(countdownText, 16, L"%02d:%02d:%02d", static_cast<int>(seconds / 3600),
           static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
}

bool SkinnedForm() { return appearance.form == Skinned; }

void ShowCountdownText(HWND dialog) {
  if (SkinnedForm())
    SendMessageW(dialog, kMsgRepaintCountWindow, 0, 0);
  else
    SetDlgItemTextW(dialog, kCountdownStaticId, countdownText);
}

void OnCountdownTick(HWND dialog) {
  ReapEndedMailThread();
  ScheduleItem* item = CurrentItem();
  if (!item) return;

  SYSTEMTIME now;
  GetClockLocalTime(&now);
  const int64_t left = static_cast<int64_t>(std::trunc(SecondsBetween(targetTime, now)));

  if (item->soundIndex != 0 && !featureOff[0] && !preSoundDone) {
    const int64_t lead = item->soundSeconds;
    if (left == lead || left + 1 == lead) {
      preSoundDone = 1;
      PlayListedSound(kSchedulerCountdownStages, dialog, item->soundIndex);
    } else if (left < lead) {
      preSoundDone = 1;  // the lead time has passed
    }
  }

  const GeneralSettings& general = profileSettings.general;
  if (general.bringToFront == 1 && !broughtToFront && left <= general.bringToFrontSeconds) {
    broughtToFront = 1;
    if (countWindow) ShowWindow(countWindow, SW_SHOW);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
  }

  const double diff = ToOleDate(targetTime) - ToOleDate(now);
  FormatCountdownText(diff);
  ShowCountdownText(dialog);
  if (diff > 0 && !endNowRequested) return;

  CountdownTimers().killTimer(dialog, kCountdownTimer);
  if (confirmDialog) DestroyWindow(confirmDialog);
  if (featureDialog) DestroyWindow(featureDialog);
  CloseCountdownSound(kSchedulerCountdownStages);

  bool skipAfterResume = false;
  if (diff < kLatenessLimitDays) {
    suppressApps = 1;
    suppressSound = 1;
  } else {
    const int result = ExecutePowerAction(mailJob, item->action, wakeTime);
    if (result == kExecuteAborted) return;  // the dialog is gone
    if (result == kExecuteFailed) {
      DestroyWindow(mainWindow);
      return;
    }
    skipAfterResume = result == kExecuteCallFailed;
  }

  endNowRequested = 0;
  preSoundDone = 0;
  broughtToFront = 0;
  ClearAfterResumeStages();

  const ScheduleItem* wake = WakeItem();
  if (wake && !skipAfterResume) {
    if (wake->appDelays[0] != -1 && !featureOff[5] && !suppressApps)
      StartAfterResumeApps(kSchedulerCountdownStages, dialog, wakeRow, wakePos);
    if (wake->soundIndex != 0 && !featureOff[3] && !suppressSound)
      StartAfterResumeSound(dialog, wake->soundSeconds, wake->soundIndex);
  }
  std::memset(featureOff, 0, sizeof featureOff);

  SYSTEMTIME searchNow;
  GetClockLocalTime(&searchNow);
  if (SearchNextDueItem(searchNow)) {
    CountdownTimers().setTimer(dialog, kCountdownTimer, 1000);
    SendMessageW(dialog, kMsgRepaintCountWindow, 0, 1);
    return;
  }
  if (scheduleMode != DateMode) {
    MessageBoxW(nullptr, L"#2 予期しないエラーです", L"", MB_ICONERROR);
    DestroyWindow(mainWindow);
    return;
  }
  StartEndWatch(kSchedulerCountdownStages, dialog);
}

bool OnInitDialog(HWND dialog) {
  ResetCountdownStages();
  std::memset(featureOff, 0, sizeof featureOff);
  countdownDialog = dialog;
  countdownRunAborted = 0;
  endNowRequested = 0;  // a request from before this run is stale
  preSoundDone = 0;
  broughtToFront = 0;
  currentPos = -1;
  daysAhead = 0;
  appLaunchCursor = 0;
  mailJob = MailJob{};
  mailJob.owner = dialog;
  actionLabel[0] = L'\0';

  countdownFont = CreateFontW(17, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Verdana");
  HWND text = GetDlgItem(dialog, kCountdownStaticId);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(countdownFont), FALSE);
  MoveWindow(text, 17, 22, 94, 15, FALSE);

  SetLayeredWindowAttributes(dialog, RGB(255, 255, 255), 255, LWA_COLORKEY | LWA_ALPHA);
  dialogBrush = CreateSolidBrush(RGB(255, 255, 255));
  staticBrush = CreateSolidBrush(RGB(255, 255, 255));

  SYSTEMTIME now;
  GetClockLocalTime(&now);
  if (!SearchNextDueItem(now)) {
    MessageBoxW(nullptr, L"#1 予期しないエラーです", L"", MB_ICONERROR);
    DestroyWindow(dialog);
    countdownDialog = nullptr;
    return false;
  }
  swprintf(countdownText, 16, L"%ls", L"00:00:00");
  SendMessageW(dialog, kMsgShowCountdownStatic, 0, 0);
  CurrentPowerCalls().setExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
  CountdownTimers().setTimer(dialog, kCountdownTimer, 1000);
  return true;
}

void OnDestroy(HWND dialog) {
  SendMessageW(dialog, kMsgStopSound, 0, 0);
  CancelRunningMail();  // exit and abort alike: no worker is cut off mid-dialogue
  countdownDialog = nullptr;
  countdownRunAborted = 1;
  endNowRequested = 0;
  CountdownTimers().killTimer(dialog, kCountdownTimer);
  EndCountdownStages(kSchedulerCountdownStages, dialog);
  if (countdownFont) DeleteObject(countdownFont);
  if (dialogBrush) DeleteObject(dialogBrush);
  if (staticBrush) DeleteObject(staticBrush);
  countdownFont = nullptr;
  dialogBrush = staticBrush = nullptr;
}

void RepaintCountWindow(LPARAM reloadLabel) {
  if (reloadLabel == 1) {
    const ScheduleItem* item = CurrentItem();
    const bool known = item && item->action >= 0 && item->action <= WakeOnly;
    const wchar_t* display = known ? actionDisplayNames[item->action] : nullptr;
    // The resume-only item has no English key name; it keeps its display name.
    const wchar_t* english = known && item->action < WakeOnly ? actionKeyNames[item->action] : display;
    MakeActionLabel(actionLabel, english, display);
  }
  if (!countWindow) return;
  SideActions().paintCountWindow(actionLabel, countdownText);
}

// Only the live worker's own completion finishes the job; one from a worker
// already joined elsewhere names a job that is gone.
void OnMailDone(LPARAM completion) {
  if (IsLiveMailCompletion(&mailJob, completion)) FinishMailJob(mailJob);
}

}  // namespace

const CountdownStagesConfig kSchedulerCountdownStages = {
    SideActions, &mainWindow, &countWindow, &appLaunchCursor, ListedSound, MailStillRuns,
};

HWND CreateCountdownDialog() {
  const std::vector<WORD> words = BuildCountdownTemplate();
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                           reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                           nullptr, CountdownDialogProc, 0);
  if (!dialog || !IsWindow(dialog) || countdownDialog != dialog) {
    countdownDialog = nullptr;
    return nullptr;
  }
  return dialog;
}

void RequestEndNow() {
  if (countdownDialog && IsWindow(countdownDialog)) endNowRequested = 1;
}

INT_PTR CALLBACK CountdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  INT_PTR handled = 0;
  if (HandleCountPairFrontMessage(dialog, message, wParam, lParam, kCountdownStaticId, dialogBrush, staticBrush, &handled))
    return handled;
  if (HandleCountdownStageMessage(kSchedulerCountdownStages, dialog, message, wParam, lParam)) return TRUE;
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_TIMER:
      if (wParam == kCountdownTimer) OnCountdownTick(dialog);
      return TRUE;
    case WM_DESTROY:
      OnDestroy(dialog);
      return TRUE;
    case kMsgShowCountdownStatic:
      ShowWindow(GetDlgItem(dialog, kCountdownStaticId),
                 SkinnedForm() ? SW_HIDE : SW_SHOW);
      return TRUE;
    case kMsgRepaintCountWindow:
      RepaintCountWindow(lParam);
      return TRUE;
    case kMsgMailStep:
      if (mailProgressDialog) SendDlgItemMessageW(mailProgressDialog, 1091, PBM_STEPIT, 0, 0);
      return TRUE;
    case kMsgCancelMail:
      CancelRunningMail();
      return TRUE;
    case kMsgMailDone:
      OnMailDone(lParam);
      return TRUE;
    case kMsgAskItems: {
      HWND asking = reinterpret_cast<HWND>(lParam);
      if (asking)
        SendMessageW(asking, kMsgItemsToShow, reinterpret_cast<WPARAM>(CurrentItem()),
                     reinterpret_cast<LPARAM>(WakeItem()));
      return TRUE;
    }
    default:
      return FALSE;
  }
}
