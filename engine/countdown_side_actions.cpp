#include "countdown_side_actions.h"

#include "layered_paint.h"
#include "schedule_app_launch.h"
#include "shared/screen_capture.h"
#include "shared/sound_player.h"

namespace {

SoundPlayer* NewPlayer(HWND owner) { return new SoundPlayer(owner); }
void DeletePlayer(SoundPlayer* player) { delete player; }
bool PlayerHasMedium(const SoundPlayer* player) { return player->opened != 0; }
bool PlayerIsPlaying(const SoundPlayer* player) { return player->playing != 0; }
void ClosePlayerMedium(SoundPlayer* player) { player->Close(); }
void ApplyPlayerMute(SoundPlayer* player, bool muted) { player->SetMute(muted); }

const CountdownSideActions kRealSideActions = {
    NewPlayer,     DeletePlayer,      PlayerHasMedium,     PlayerIsPlaying,
    ClosePlayerMedium, ApplyPlayerMute, PlaySoundFile,     LaunchApplication,
    MakeCaptureFileName, CaptureScreen, PaintCountWindow,
};
const CountdownSideActions* sideActions = &kRealSideActions;

}  // namespace

const CountdownSideActions& SideActions() { return *sideActions; }
void SetCountdownSideActions(const CountdownSideActions* actions) {
  sideActions = actions ? actions : &kRealSideActions;
}

