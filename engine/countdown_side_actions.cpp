#include "shared/countdown_side_actions.h"

#include "layered_paint.h"
#include "schedule_app_launch.h"
#include "shared/screen_capture.h"
#include "shared/sound_player.h"

namespace {

const CountdownSideActions kRealSideActions = {
    NewSoundPlayer,         DeleteSoundPlayer,    SoundPlayerHasMedium, SoundPlayerIsPlaying,
    CloseSoundPlayerMedium, ApplySoundPlayerMute, PlaySoundFile,        LaunchApplication,
    MakeCaptureFileName,    CaptureScreen,        PaintCountWindow,
};
const CountdownSideActions* sideActions = &kRealSideActions;

}  // namespace

const CountdownSideActions& SideActions() { return *sideActions; }
void SetCountdownSideActions(const CountdownSideActions* actions) {
  sideActions = actions ? actions : &kRealSideActions;
}

