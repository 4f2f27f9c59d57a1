// The countdown program's side actions behind the table both programs'
// countdowns call, so that tests can record them instead.
#include "shared/countdown_side_actions.h"

#include "count_window_paint.h"
#include "shared/screen_capture.h"
#include "shared/sound_player.h"
#include "zero_action.h"

namespace {

// This program has one list of applications, in its settings.
int LaunchTimerApplications(int, int, int elapsedSeconds) {
  return TimerLaunchApplication(elapsedSeconds) ? 1 : 0;
}

const CountdownSideActions kRealSideActions = {
    NewSoundPlayer,         DeleteSoundPlayer,    SoundPlayerHasMedium, SoundPlayerIsPlaying,
    CloseSoundPlayerMedium, ApplySoundPlayerMute, PlaySoundFile,        LaunchTimerApplications,
    MakeCaptureFileName,    CaptureScreen,        TimerPaintCountWindow,
};
const CountdownSideActions* sideActions = &kRealSideActions;

}  // namespace

const CountdownSideActions& SideActions() { return *sideActions; }
void SetCountdownSideActions(const CountdownSideActions* actions) {
  sideActions = actions ? actions : &kRealSideActions;
}
