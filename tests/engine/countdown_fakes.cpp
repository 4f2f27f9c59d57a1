#include "countdown_fakes.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "countdown_dialog.h"
#include "countdown_stages_under_test.h"
#include "mail_job_calls.h"
#include "private_messages.h"
#include "shared/clock.h"
#include "shared/power_actions.h"
#include "shared/schedule_time.h"

namespace countdown_fakes {

// --- Side actions -------------------------------------------------------------
namespace {
SideRecord side;
}
SideRecord& Side() { return side; }
void ResetSide() { side = SideRecord{}; }

// --- Model ----------------------------------------------------------------------
void ClearModel() {
  ClearScheduleTable(scheduleTable, orderTable);
  std::memset(&profileSettings, 0, sizeof profileSettings);
  // One listed address, so that an item with mailTo 1 has a recipient.
  wcscpy(profileSettings.mail.addresses[0], L"fake@example.test");
  profileSettings.mail.addressCount = 1;
  std::memset(featureOff, 0, sizeof featureOff);
  currentRow = 0;
  currentPos = -1;
  daysAhead = 0;
  wakeRow = 0;
  wakePos = -1;
  wakeOffsetSeconds = 0;
  targetTime = SYSTEMTIME{};
  wakeTime = SYSTEMTIME{};
  endNowRequested = 0;
  suppressApps = suppressSound = suppressMail = 0;
}

ScheduleItem& PutItem(int row, int pos, PowerAction action, const SYSTEMTIME& time) {
  ScheduleItem& item = scheduleTable[row][pos];
  item.listIndex = pos;
  item.time = time;
  item.action = action;
  item.oleTime = ToOleDate(time);
  static const wchar_t* const days[7] = {L"(日)", L"(月)", L"(火)", L"(水)",
                                         L"(木)", L"(金)", L"(土)"};
  wcscpy(item.weekdayText, days[row]);
  orderTable[row][pos] = pos;
  return item;
}

SYSTEMTIME TimeOfDay(int hour, int minute, int second) {
  return MakeTime(2010, 1, 1, hour, minute, second);
}

}  // namespace countdown_fakes

// --- The side actions the countdown calls, recording ----------------------------
using countdown_fakes::Side;

// The names the start-up fills, as from Windows 6 on.
static const bool actionNamesReady = (InitPowerActionNames(6), true);

namespace {
int fakePlayer;
}

namespace {

SoundPlayer* FakeCreatePlayer(HWND) { return reinterpret_cast<SoundPlayer*>(&fakePlayer); }
void FakeDestroyPlayer(SoundPlayer*) {}
bool FakeHasMedium(const SoundPlayer*) { return Side().playerHasMedium; }
void FakeCloseMedium(SoundPlayer*) { Side().playerHasMedium = false; }
void FakeApplyMute(SoundPlayer*, bool) {}
bool FakePlaySoundFile(HWND, const wchar_t* path, bool, int volume) {
  Side().soundsPlayed.push_back(volume);
  Side().soundPaths.push_back(path);
  Side().playerHasMedium = true;
  return true;
}
int FakeLaunchApplication(int, int, int elapsedSeconds) {
  Side().launches.push_back(elapsedSeconds);
  if (Side().launchesLeft <= 0) return 0;
  --Side().launchesLeft;
  return 1;
}
bool FakeMakeCaptureFileName(const wchar_t*, wchar_t* path, const wchar_t*, int32_t) {
  path[0] = L'\0';
  return true;
}
bool FakeCaptureScreen(const wchar_t*, int32_t) {
  ++Side().captures;
  return !Side().captureFails;
}

void FakePaintCountWindow(const wchar_t* label, const wchar_t* countdown) {
  Side().paintedLabels.push_back(label);
  Side().paintedCountdowns.push_back(countdown);
}

const CountdownSideActions kFakeSideActions = {
    FakeCreatePlayer,  FakeDestroyPlayer, FakeHasMedium,         FakeHasMedium,
    FakeCloseMedium,   FakeApplyMute,     FakePlaySoundFile,     FakeLaunchApplication,
    FakeMakeCaptureFileName, FakeCaptureScreen, FakePaintCountWindow,
};
const bool fakesInstalled = (SetCountdownSideActions(&kFakeSideActions), true);

}  // namespace

const CountdownStagesConfig& StagesUnderTest() { return kSchedulerCountdownStages; }
const char* ProgramUnderTest() { return "scheduler"; }
