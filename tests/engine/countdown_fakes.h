#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "schedule_model.h"
#include "seam_fakes.h"

// Doubles for a run of a schedule: the shared seam fakes (seam_fakes.h) and
// recording side actions.
namespace countdown_fakes {

// --- Side actions -------------------------------------------------------------
struct SideRecord {
  std::vector<int> soundsPlayed;      // volume of each PlaySoundFile call (index marker)
  std::vector<std::wstring> soundPaths;
  std::vector<int> launches;          // elapsedSeconds of each LaunchApplication call
  int launchesLeft = 0;               // LaunchApplication answers true this many times
  int mailThreads = 0;
  std::vector<int> mailAfterResume;   // afterResume of each started job
  int modalDialogs = 0;
  int modelessDialogs = 0;
  int captures = 0;
  bool captureFails = false;
  bool playerHasMedium = false;
  bool mailSendsProgress = false;     // the worker sends 0x8005 before it ends
  HANDLE mailRelease = nullptr;       // when set, the worker waits for it (or its cancel) first
  int mailsCancelled = 0;            // workers that saw their cancel event while waiting
  std::function<void()> duringModalDialog;
  // The modal dialog runs a message loop, as dialog 148 does, until its owner
  // is destroyed (which ends an owned dialog) or the worker has ended.
  bool modalLoop = false;
  int progressSteps = 0;              // 0x8005 received by the fake dialog
  std::vector<std::wstring> paintedLabels;      // label of each count-window paint
  std::vector<std::wstring> paintedCountdowns;  // countdown text of each paint
};
SideRecord& Side();
void ResetSide();

// --- Model ----------------------------------------------------------------------
void ClearModel();
// Puts an item at slot `pos` of `row`, in time order at `pos`.
ScheduleItem& PutItem(int row, int pos, PowerAction action, const SYSTEMTIME& time);
// A time of day on the repeating modes' date 2010-01-01.
SYSTEMTIME TimeOfDay(int hour, int minute, int second = 0);

}  // namespace countdown_fakes
