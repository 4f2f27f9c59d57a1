#include "countdown_stages.h"

#include <initializer_list>

#include "error_log.h"
#include "schedule_model.h"
#include "power_actions.h"
#include "sound_player.h"
#include "timer_calls.h"

int32_t appsRow;
int32_t appsPos;
int32_t appElapsedSeconds;
int32_t resumeSoundCounter;
int32_t resumeSoundSeconds;
int32_t resumeSoundIndex;
uint8_t resumeSoundDone;
uint8_t userInputSeen;
HHOOK keyboardHook;
HHOOK mouseHook;

namespace {

const wchar_t kSoundErrorTitle[] = L"サウンド再生エラー";

// Ticks of the end watch that only an open medium has held up.
int endTicksWaitingForMedium;

bool PlayerHasMedium(const CountdownStagesConfig& config) {
  return sharedSoundPlayer && config.sideActions().playerHasMedium(sharedSoundPlayer);
}

void RemoveHooks() {
  if (keyboardHook) CountdownTimers().unhook(keyboardHook);
  if (mouseHook) CountdownTimers().unhook(mouseHook);
  keyboardHook = nullptr;
  mouseHook = nullptr;
}

void OnAppsTick(const CountdownStagesConfig& config, HWND dialog) {
  if (*config.appCursor < kAppCount &&
      config.sideActions().launchApplication(appsRow, appsPos, appElapsedSeconds)) {
    ++appElapsedSeconds;
    return;
  }
  CountdownTimers().killTimer(dialog, kAfterResumeAppsTimer);
  appElapsedSeconds = -1;
  *config.appCursor = 0;
}

// The sound starts on the tick at which the counter, counted from 0 at the
// first tick, reaches its delay.
void OnResumeSoundTick(const CountdownStagesConfig& config, HWND dialog) {
  // A delay below zero would never be reached: the sound then starts at once.
  if (resumeSoundSeconds < 0) resumeSoundSeconds = 0;
  if (resumeSoundCounter == 0) resumeSoundDone = 0;
  if ((resumeSoundCounter == resumeSoundSeconds || resumeSoundCounter == resumeSoundSeconds + 1) &&
      !resumeSoundDone) {
    resumeSoundDone = 1;
    CountdownTimers().killTimer(dialog, kAfterResumeSoundTimer);
    PlayListedSound(config, dialog, resumeSoundIndex);
    resumeSoundCounter = -1;
    return;
  }
  ++resumeSoundCounter;
}

void OnEndWatchTick(const CountdownStagesConfig& config, HWND dialog) {
  const bool otherWork = config.otherWorkPending && config.otherWorkPending();
  bool playerBusy = PlayerHasMedium(config);
  const bool restDone = appElapsedSeconds == -1 && resumeSoundCounter == -1 && !otherWork && userInputSeen;
  // A medium whose end is never reported must not keep the program forever.
  if (restDone && playerBusy && ++endTicksWaitingForMedium >= kEndWaitForMediumTicks) {
    AppendErrorLog(kEndWaitGaveUpText, kSoundErrorTitle);
    config.sideActions().closePlayerMedium(sharedSoundPlayer);
    playerBusy = false;
  }
  if (!restDone || playerBusy) return;
  RemoveHooks();
  CountdownTimers().killTimer(dialog, kEndWatchTimer);
  DestroyWindow(*config.mainWindow);
}

}  // namespace

LRESULT CALLBACK LowLevelKeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) userInputSeen = 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK LowLevelMouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) userInputSeen = 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ResetCountdownStages() {
  appsRow = appsPos = 0;
  appElapsedSeconds = 0;
  resumeSoundCounter = resumeSoundSeconds = resumeSoundIndex = 0;
  resumeSoundDone = 0;
  userInputSeen = 0;
  keyboardHook = mouseHook = nullptr;
  endTicksWaitingForMedium = 0;
  sharedSoundPlayer = nullptr;
}

void PlayListedSound(const CountdownStagesConfig& config, HWND dialog, int32_t entry) {
  int32_t volume = 0;
  const wchar_t* path = config.listedSound(entry, &volume);
  if (!path) return;
  const CountdownSideActions& side = config.sideActions();
  bool createdNow = false;
  if (!sharedSoundPlayer) {
    sharedSoundPlayer = side.createPlayer(dialog);
    createdNow = true;
  }
  side.playSoundFile(dialog, path, createdNow, volume);
}

void CloseCountdownSound(const CountdownStagesConfig& config) {
  if (PlayerHasMedium(config)) config.sideActions().closePlayerMedium(sharedSoundPlayer);
}

void ClearAfterResumeStages() {
  appElapsedSeconds = -1;
  resumeSoundCounter = -1;
}

void StartAfterResumeApps(const CountdownStagesConfig& config, HWND dialog, int32_t row, int32_t pos) {
  appsRow = row;
  appsPos = pos;
  appElapsedSeconds = 0;
  *config.appCursor = 0;
  CountdownTimers().setTimer(dialog, kAfterResumeAppsTimer, 1000);
}

void StartAfterResumeSound(HWND dialog, int32_t seconds, int32_t entry) {
  resumeSoundCounter = 0;
  resumeSoundSeconds = seconds;
  resumeSoundIndex = entry;
  CountdownTimers().setTimer(dialog, kAfterResumeSoundTimer, 1000);
}

void StartEndWatch(const CountdownStagesConfig& config, HWND dialog) {
  endTicksWaitingForMedium = 0;
  ShowWindow(dialog, SW_HIDE);
  if (*config.countWindow) ShowWindow(*config.countWindow, SW_HIDE);
  userInputSeen = 0;
  keyboardHook = CountdownTimers().setHook(WH_KEYBOARD_LL, LowLevelKeyboardHookProc);
  mouseHook = keyboardHook ? CountdownTimers().setHook(WH_MOUSE_LL, LowLevelMouseHookProc) : nullptr;
  if (!keyboardHook || !mouseHook) {
    // Without both hooks the end does not wait for input.
    RemoveHooks();
    userInputSeen = 1;
  }
  CountdownTimers().setTimer(dialog, kEndWatchTimer, 500);
}

void EndCountdownStages(const CountdownStagesConfig& config, HWND dialog) {
  for (UINT_PTR id : {kAfterResumeAppsTimer, kAfterResumeSoundTimer, kEndWatchTimer})
    CountdownTimers().killTimer(dialog, id);
  RemoveHooks();
  if (sharedSoundPlayer) {
    config.sideActions().destroyPlayer(sharedSoundPlayer);
    sharedSoundPlayer = nullptr;
  }
  // The machine may idle-sleep again once no countdown runs.
  CurrentPowerCalls().setExecutionState(ES_CONTINUOUS);
}

bool HandleCountdownStageMessage(const CountdownStagesConfig& config, HWND dialog, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      switch (wParam) {
        case kAfterResumeAppsTimer: OnAppsTick(config, dialog); return true;
        case kAfterResumeSoundTimer: OnResumeSoundTick(config, dialog); return true;
        case kEndWatchTimer: OnEndWatchTick(config, dialog); return true;
        default: return false;
      }
    case kMsgStageStopSound:
      CloseCountdownSound(config);
      return true;
    case kMsgStageApplyMute:
      if (sharedSoundPlayer) config.sideActions().applyPlayerMute(sharedSoundPlayer, soundMuted != 0);
      return true;
    case kMsgStageQueryPlaying: {
      uint8_t* playing = reinterpret_cast<uint8_t*>(lParam);
      if (playing) *playing = sharedSoundPlayer && config.sideActions().playerIsPlaying(sharedSoundPlayer) ? 1 : 0;
      return true;
    }
    case kMsgStageMediumEnded:
      // Sent from inside the control's own event: closing the control there
      // pulls the medium from under the event, and Wine then reads through a
      // null pointer. The close waits until the event has returned; posted
      // messages come before any timer, so no new sound opens in between.
      PostMessageW(dialog, kMsgCloseEndedMedium, 0, 0);
      return true;
    case kMsgCloseEndedMedium:
      CloseCountdownSound(config);
      return true;
    default:
      return false;
  }
}
