#pragma once
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "seam_fakes.h"
#include "timer_profile.h"

// Doubles for the countdown program's own seams: recording side actions and a
// processor sampler fed by the test.
namespace timer_fakes {

struct SideRecord {
  std::vector<std::wstring> soundPaths;  // each PlaySoundFile call
  std::vector<int> soundVolumes;
  std::vector<int> launches;             // elapsedSeconds of each launch call
  bool realLaunch = false;               // hand launches to the real launcher
  int launchesLeft = 0;                  // else: answer true this many times
  int captures = 0;
  std::vector<std::wstring> capturePaths;
  bool captureFails = false;
  bool playerHasMedium = false;
  bool playerPlaying = false;
  int mediumCloses = 0;
  std::vector<bool> muteCalls;
  int paints = 0;
};
SideRecord& Side();
void InstallSideActions();  // also clears the record
void RemoveSideActions();

// Each entry is one sample: a value, or an unreadable sample.
struct Sample {
  bool readable;
  double value;
};
struct SamplerRecord {
  bool failOpen = false;
  int opens = 0;
  int closes = 0;
  std::deque<Sample> samples;  // an empty queue reads as unreadable
};
SamplerRecord& Sampler();
void InstallSampler();
void RemoveSampler();

// A hidden top-level window standing for the main window.
HWND CreateStandInWindow();

// A settings record in the state the settings dialog leaves it in.
void ResetTimerSettings();

}  // namespace timer_fakes
