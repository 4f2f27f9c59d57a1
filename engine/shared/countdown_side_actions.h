#pragma once
#include <windows.h>

#include <cstdint>

// The countdown and the executor reach the side actions through this table, so
// that tests can record them instead; the program uses the real ones.
class SoundPlayer;
extern SoundPlayer* sharedSoundPlayer;
struct CountdownSideActions {
  SoundPlayer* (*createPlayer)(HWND owner);
  void (*destroyPlayer)(SoundPlayer* player);
  bool (*playerHasMedium)(const SoundPlayer* player);
  bool (*playerIsPlaying)(const SoundPlayer* player);
  void (*closePlayerMedium)(SoundPlayer* player);
  void (*applyPlayerMute)(SoundPlayer* player, bool muted);
  // PlaySoundFile: plays on sharedSoundPlayer, built in its control first when createFirst.
  bool (*playSoundFile)(HWND owner, const wchar_t* path, bool createFirst, int volume);
  // LaunchApplication: the due applications of that item; 0 when none is left.
  int (*launchApplication)(int row, int position, int elapsedSeconds);
  bool (*makeCaptureFileName)(const wchar_t* actionDisplayName, wchar_t* path, const wchar_t* folder,
                              int32_t format);
  bool (*captureScreen)(const wchar_t* path, int32_t format);
  // PaintCountWindow: the current form's painter for the count window, which
  // then moves the countdown dialog onto it.
  void (*paintCountWindow)(const wchar_t* label, const wchar_t* countdown);
};
const CountdownSideActions& SideActions();
// Replaces the table; null restores the real side actions. Tests only.
void SetCountdownSideActions(const CountdownSideActions* actions);
