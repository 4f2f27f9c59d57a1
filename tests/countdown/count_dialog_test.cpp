#include "count_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "appearance.h"
#include "count_window.h"
#include "countdown_state.h"
#include "message_box_catcher.h"
#include "shared/error_log.h"
#include "shared/notify_icon.h"
#include "shared/program_paths.h"
#include "shared/sound_player.h"
#include "temp_folder.h"
#include "timer_fakes.h"
#include "timer_main_window.h"
#include "wait.h"

using namespace countdown_fakes;
using testing_support::CaughtMessageBoxes;
using timer_fakes::Sampler;
using timer_fakes::Side;

namespace {

const SYSTEMTIME kEnd = MakeTime(2026, 12, 10, 22, 0, 0);

class CountDialogTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    SetErrorLogFileName(kCountdownErrorLogName);
    SetProgramPaths(temp_.path().c_str(), L"Sopora");
    TimerInitNames(6);
    timer_fakes::ResetTimerSettings();
    InstallClock();
    InstallPower();
    InstallTimers();
    timer_fakes::InstallSideActions();
    timer_fakes::InstallSampler();
    countWindowConfig = kCountdownCountWindowConfig;
    countWindowConfig.frontWindow = &countDialog;
    appearance.form = Normal;
    countWindow = nullptr;
    countDialog = nullptr;
    soundMuted = 0;
    mainWindow = timer_fakes::CreateStandInWindow();
    ASSERT_NE(mainWindow, nullptr);
    standIn_ = mainWindow;
    TimerSettings& s = timerSettings;
    wcscpy(s.soundPaths[0], L"C:\\before.wav");
    wcscpy(s.soundPaths[1], L"C:\\after.wav");
    s.volumes[0] = 70;
    s.volumes[1] = 40;
    s.soundCount = 2;
    s.endTime = kEnd;
  }
  void TearDown() override {
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
    if (IsWindow(standIn_)) DestroyWindow(standIn_);
    mainWindow = nullptr;
    timer_fakes::RemoveSampler();
    timer_fakes::RemoveSideActions();
    RemoveTimers();
    RemovePower();
    RemoveClock();
    TempFolderTest::TearDown();
  }

  void Start(CountdownMode mode, int secondsLeft) {
    timerSettings.mode = mode;
    SetNow(AddSeconds(kEnd, -secondsLeft));
    dialog_ = CreateTimerCountDialog();
    ASSERT_NE(dialog_, nullptr);
    ASSERT_EQ(countDialog, dialog_);
  }
  // Timer 1 ticks at the current time; then one second passes.
  void Tick() {
    ASSERT_TRUE(TimerActive(dialog_, kTimeTimer));
    SendMessageW(dialog_, WM_TIMER, kTimeTimer, 0);
    AdvanceSeconds(1);
  }
  void Fire(UINT_PTR id) {
    ASSERT_TRUE(TimerActive(dialog_, id)) << id;
    SendMessageW(dialog_, WM_TIMER, id, 0);
  }
  // Delivers what the dialog posted to itself.
  void Pump() { testing_support::PumpPendingMessages(); }
  bool Ended() const { return !IsWindow(standIn_); }
  bool Acted() const {
    for (const std::string& call : Power().calls)
      if (call.rfind("exitWindows", 0) == 0 || call.rfind("setSystemPowerState", 0) == 0) return true;
    return false;
  }
  std::wstring TimeStatic() {
    wchar_t text[32] = L"";
    GetDlgItemTextW(dialog_, kTimeStaticId, text, 32);
    return text;
  }

  HWND dialog_ = nullptr;
  HWND standIn_ = nullptr;
};

TEST_F(CountDialogTest, SoundBeforeTheEndPlaysOnlyAtItsMoment) {
  struct Case {
    int leftAtFirstTick;
    int lead;
    int playedAtTick;  // -1: never
  } cases[] = {{30, 30, 0}, {29, 30, 0}, {28, 30, -1}, {35, 30, 5}, {36, 30, 6}, {1, 1, 0}, {0, 1, 0}};
  for (const Case& c : cases) {
    timerSettings.soundIndex[0] = 2;
    timerSettings.soundSeconds[0] = c.lead;
    Side() = timer_fakes::SideRecord{};
    Start(Time, c.leftAtFirstTick);
    int playedAt = -1;
    for (int tick = 0; tick < 10 && TimerActive(dialog_, kTimeTimer); ++tick) {
      Tick();
      if (playedAt == -1 && !Side().soundPaths.empty()) playedAt = tick;
    }
    EXPECT_EQ(playedAt, c.playedAtTick) << c.leftAtFirstTick << " left, lead " << c.lead;
    EXPECT_LE(Side().soundPaths.size(), 1u);
    if (!Side().soundPaths.empty()) {
      EXPECT_EQ(Side().soundPaths[0], L"C:\\after.wav");  // entry 2 of the list
      EXPECT_EQ(Side().soundVolumes[0], 40);
    }
    DestroyWindow(dialog_);
  }
}

TEST_F(CountDialogTest, WindowsComeToTheFrontOnceAtTheirTime) {
  timerSettings.bringToFront = 1;
  timerSettings.bringToFrontSeconds = 300;
  Start(Time, 200);
  ShowWindow(dialog_, SW_HIDE);
  Tick();
  EXPECT_TRUE(IsWindowVisible(dialog_));
  EXPECT_EQ(frontDone, 1);
  ShowWindow(dialog_, SW_HIDE);
  Tick();
  EXPECT_FALSE(IsWindowVisible(dialog_)) << "brought to the front a second time";
  DestroyWindow(dialog_);

  Start(Time, 302);
  ShowWindow(dialog_, SW_HIDE);
  Tick();
  Tick();
  EXPECT_FALSE(IsWindowVisible(dialog_));
  Tick();  // 300 left
  EXPECT_TRUE(IsWindowVisible(dialog_));
}

TEST_F(CountDialogTest, TimeTextShowsHoursMinutesAndSeconds) {
  struct Case {
    int left;
    const wchar_t* text;
  } cases[] = {{65, L"00:01:05"}, {3600, L"01:00:00"}, {90000, L"25:00:00"}, {86399, L"23:59:59"}};
  for (const Case& c : cases) {
    Start(Time, c.left);
    Tick();
    EXPECT_EQ(TimeStatic(), c.text);
    DestroyWindow(dialog_);
  }
}

TEST_F(CountDialogTest, ZeroActsUpToTenSecondsLate) {
  struct Case {
    int late;
    bool acts;
  } cases[] = {{0, true}, {1, true}, {10, true}, {11, false}, {3600, false}};
  DestroyWindow(standIn_);
  for (const Case& c : cases) {
    InstallPower();
    mainWindow = standIn_ = timer_fakes::CreateStandInWindow();
    Start(Time, 5);
    SetNow(AddSeconds(kEnd, c.late));  // the machine slept through zero
    Tick();
    EXPECT_FALSE(TimerActive(dialog_, kTimeTimer));
    EXPECT_EQ(Acted(), c.acts) << c.late << " s late";
    EXPECT_EQ(Ended(), !c.acts) << c.late << " s late";
    if (c.acts) {
      EXPECT_TRUE(TimerActive(dialog_, kExitWatchTimer)) << "the after-resume stage";
    }
    DestroyWindow(dialog_);
    if (IsWindow(standIn_)) DestroyWindow(standIn_);
  }
}

TEST_F(CountDialogTest, EndNowFromTheTrayActsAtTheNextTick) {
  Start(Time, 3600);
  Tick();
  EXPECT_FALSE(Acted());
  TimerMainWndProc(mainWindow, WM_COMMAND, kCmdEndNow, 0);
  Tick();
  EXPECT_TRUE(Acted());
  EXPECT_EQ(endNowRequested, 0) << "cleared for the after-resume stage";
}

TEST_F(CountDialogTest, AStaleEndNowRequestIsIgnored) {
  TimerMainWndProc(mainWindow, WM_COMMAND, kCmdEndNow, 0);  // no countdown runs
  EXPECT_EQ(endNowRequested, 0);
  endNowRequested = 1;  // left over from an aborted countdown
  Start(Time, 3600);
  Tick();
  EXPECT_FALSE(Acted());
  EXPECT_TRUE(TimerActive(dialog_, kTimeTimer));
  TimerMainWndProc(mainWindow, WM_COMMAND, kCmdAbort, 0);
  TimerMainWndProc(mainWindow, WM_COMMAND, kCmdEndNow, 0);  // after the abort
  EXPECT_EQ(endNowRequested, 0);
  for (CountdownMode mode : {Time, CpuUsage}) {
    endNowRequested = 1;
    timerSettings.cpuSeconds = 3;
    timerSettings.cpuPercent = 10;
    Sampler().samples.assign(3, {true, 80});
    Start(mode, 3600);
    if (mode == Time) Tick(); else Fire(kCpuTimer);
    EXPECT_FALSE(Acted()) << "mode " << mode;
    DestroyWindow(dialog_);
  }
}

// The end of a medium is reported from inside the control's own event; the
// control must not be closed before that event has returned.
TEST_F(CountDialogTest, TheEndedMediumIsClosedOnlyAfterTheControlsEvent) {
  timerSettings.soundIndex[0] = 1;
  timerSettings.soundSeconds[0] = 8;
  Start(Time, 8);
  Tick();
  ASSERT_EQ(Side().soundPaths.size(), 1u);
  Side().playerHasMedium = true;
  SendMessageW(dialog_, kMsgMediumEnded, 0, 0);
  EXPECT_TRUE(Side().playerHasMedium) << "closed inside the event";
  EXPECT_EQ(Side().mediumCloses, 0);
  Pump();
  EXPECT_FALSE(Side().playerHasMedium);
  EXPECT_EQ(Side().mediumCloses, 1);
  for (int i = 0; i < 8 && TimerActive(dialog_, kTimeTimer); ++i) Tick();
  EXPECT_TRUE(Acted()) << "zero came after the sound";
}

TEST_F(CountDialogTest, ProcessorWatchRestartsAboveTheThresholdAndActsAtIt) {
  timerSettings.cpuSeconds = 3;
  timerSettings.cpuPercent = 10;
  for (double v : {12.0, 12.0, 12.0, 9.0, 9.0, 9.0}) Sampler().samples.push_back({true, v});
  Start(CpuUsage, 0);
  EXPECT_EQ(Sampler().opens, 1);
  for (int i = 0; i < 3; ++i) Fire(kCpuTimer);
  EXPECT_FALSE(Acted()) << "average 12 is above 10";
  EXPECT_EQ(cpuSampleCount, 0);
  Fire(kCpuTimer);
  Fire(kCpuTimer);
  EXPECT_FALSE(Acted());
  EXPECT_EQ(std::wstring(cpuText), L" 9");
  Fire(kCpuTimer);
  EXPECT_TRUE(Acted());
  EXPECT_FALSE(TimerActive(dialog_, kCpuTimer));
  EXPECT_EQ(Sampler().closes, 1);
}

TEST_F(CountDialogTest, ProcessorWatchDecidesOnReadableClampedSamples) {
  struct Case {
    const char* what;
    std::vector<timer_fakes::Sample> samples;
    int actsAtTick;  // -1: not within the samples
  } cases[] = {
      {"equal to the threshold", {{true, 10}, {true, 10}, {true, 10}}, 3},
      {"unreadable samples are not counted", {{true, 5}, {false, 0}, {false, 0}, {true, 5}, {true, 5}}, 5},
      {"negative garbage counts as 0 only", {{true, -50}, {true, -50}, {true, 100}}, -1},
      {"huge garbage counts as 100", {{true, 1e300}, {true, 0}, {true, 0}}, -1},
  };
  timerSettings.cpuSeconds = 3;
  timerSettings.cpuPercent = 10;
  for (const Case& c : cases) {
    InstallPower();
    Sampler().samples.assign(c.samples.begin(), c.samples.end());
    Start(CpuUsage, 0);
    int actedAt = -1;
    for (size_t tick = 1; tick <= c.samples.size() && TimerActive(dialog_, kCpuTimer); ++tick) {
      Fire(kCpuTimer);
      if (actedAt == -1 && Acted()) actedAt = static_cast<int>(tick);
    }
    EXPECT_EQ(actedAt, c.actsAtTick) << c.what;
    EXPECT_LE(wcslen(cpuText), 3u) << c.what;
    DestroyWindow(dialog_);
    mainWindow = standIn_ = IsWindow(standIn_) ? standIn_ : timer_fakes::CreateStandInWindow();
  }
}

TEST_F(CountDialogTest, EndNowFromTheTrayEndsTheProcessorWatchAtItsNextTick) {
  timerSettings.cpuSeconds = 10;
  timerSettings.cpuPercent = 2;
  for (int i = 0; i < 3; ++i) Sampler().samples.push_back({true, 80});
  Start(CpuUsage, 0);
  Fire(kCpuTimer);
  EXPECT_FALSE(Acted());
  TimerMainWndProc(mainWindow, WM_COMMAND, kCmdEndNow, 0);
  Fire(kCpuTimer);
  EXPECT_TRUE(Acted());
  EXPECT_FALSE(TimerActive(dialog_, kCpuTimer));
  EXPECT_EQ(Sampler().closes, 1);
}

TEST_F(CountDialogTest, UnreadableCounterRefusesTheProcessorWatch) {
  Sampler().failOpen = true;
  timerSettings.mode = CpuUsage;
  timerSettings.cpuSeconds = 3;
  timerSettings.cpuPercent = 10;
  SetTrayTip(L"設定中...");
  EXPECT_EQ(CreateTimerCountDialog(), nullptr);
  EXPECT_EQ(countDialog, nullptr);
  EXPECT_STREQ(trayIconData.szTip, L"設定中...") << "the refused watch never claimed to run";
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"エラー");
  EXPECT_EQ(boxes[0].text, kCpuCounterErrorText);
  EXPECT_FALSE(Acted());
  EXPECT_FALSE(Ended());
}

TEST_F(CountDialogTest, EndNowActsAtOnceAndTheTrayReachesItsDialog) {
  TimerSettings& s = timerSettings;
  s.action = Hibernate;
  s.resumeEnabled = 1;
  s.soundIndex[1] = 1;
  s.soundSeconds[1] = 0;
  SetNow(MakeTime(2026, 12, 10, 21, 0));
  s.resumeTime = MakeTime(2026, 12, 10, 21, 30);
  Power().onSleep = [] { SetNow(MakeTime(2026, 12, 10, 21, 30, 5)); };
  s.mode = EndNow;
  dialog_ = CreateTimerCountDialog();
  ASSERT_NE(dialog_, nullptr);
  EXPECT_EQ(countDialog, dialog_) << "recorded before the action";
  EXPECT_FALSE(Acted()) << "the action follows from the message loop";
  Pump();
  EXPECT_TRUE(Acted());
  Fire(kAfterSoundTimer);
  ASSERT_EQ(Side().soundPaths.size(), 1u);
  EXPECT_EQ(Side().soundPaths[0], L"C:\\before.wav");

  countWindowCreated = 1;
  HMENU menu = TimerLoadTrayMenu(GetModuleHandleW(nullptr));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuState(menu, kCmdStopSound, MF_BYCOMMAND) & MF_GRAYED, 0u) << "a sound plays";
  DestroyMenu(menu);

  TimerMainWndProc(mainWindow, WM_COMMAND, kCmdStopSound, 0);
  EXPECT_EQ(Side().mediumCloses, 1);
  menu = TimerLoadTrayMenu(GetModuleHandleW(nullptr));
  EXPECT_NE(GetMenuState(menu, kCmdStopSound, MF_BYCOMMAND) & MF_GRAYED, 0u) << "nothing plays";
  DestroyMenu(menu);
  TimerMainWndProc(mainWindow, WM_COMMAND, kCmdMute, 0);
  ASSERT_EQ(Side().muteCalls.size(), 1u);
  EXPECT_TRUE(Side().muteCalls[0]);
  TimerMainWndProc(mainWindow, WM_COMMAND, kCmdAbort, 0);
  EXPECT_FALSE(IsWindow(dialog_)) << "中断 ends the count dialog";
  EXPECT_EQ(countDialog, nullptr);
  countWindowCreated = 0;
  soundMuted = 0;
}

TEST_F(CountDialogTest, TrayMenuBeforeTheFirstCountdownHasOnlyExitAndAbout) {
  countWindowCreated = 0;
  HMENU menu = TimerLoadTrayMenu(GetModuleHandleW(nullptr));
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  EXPECT_EQ(GetMenuItemCount(popup), 3);
  EXPECT_EQ(GetMenuItemID(popup, 0), kCmdExitIdle);
  EXPECT_EQ(GetMenuItemID(popup, 2), kCmdAboutIdle);
  DestroyMenu(menu);
  countWindowCreated = 1;
  menu = TimerLoadTrayMenu(GetModuleHandleW(nullptr));
  // No count dialog: "停止" is grey.
  EXPECT_NE(GetMenuState(menu, kCmdStopSound, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_NE(GetMenuState(menu, kCmdAbort, MF_BYCOMMAND), 0xFFFFFFFFu);
  DestroyMenu(menu);
  countWindowCreated = 0;
}

TEST_F(CountDialogTest, AfterAnUnexpectedResumeNothingStartsAndInputEnds) {
  TimerSettings& s = timerSettings;
  s.action = Standby;
  s.resumeEnabled = 1;
  s.appsAfterResume = 1;
  s.appDelays[0] = 0;
  s.soundIndex[1] = 1;
  s.unexpectedResumeNoApps = 1;
  s.unexpectedResumeNoSound = 1;
  s.resumeTime = AddSeconds(kEnd, 600);
  Power().onSleep = [] { SetNow(AddSeconds(kEnd, 600 + 120)); };  // 120 s after: unexpected
  Start(Time, 1);
  Tick();
  Tick();
  ASSERT_TRUE(Acted());
  EXPECT_FALSE(TimerActive(dialog_, kAppsTimer));
  EXPECT_FALSE(TimerActive(dialog_, kAfterSoundTimer));
  EXPECT_FALSE(IsWindowVisible(dialog_));
  EXPECT_EQ(ActiveHookCount(), 2);
  Fire(kExitWatchTimer);
  EXPECT_FALSE(Ended()) << "waits for the user";
  userActive = 1;  // what either hook does on input
  Fire(kExitWatchTimer);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(ActiveHookCount(), 0);
}

TEST_F(CountDialogTest, PlannedResumeStartsApplicationsAndSoundByTheirDelays) {
  TimerSettings& s = timerSettings;
  s.action = Hibernate;
  s.resumeEnabled = 1;
  s.appsAfterResume = 1;
  s.appDelays[0] = 0;
  s.appDelays[1] = 2;
  s.soundIndex[1] = 2;
  s.soundSeconds[1] = 2;
  s.resumeTime = AddSeconds(kEnd, 600);
  Power().onSleep = [] { SetNow(AddSeconds(kEnd, 630)); };
  Side().launchesLeft = 2;
  Start(Time, 1);
  Tick();
  Tick();
  ASSERT_TRUE(Acted());
  for (int i = 0; i < 3; ++i) Fire(kAppsTimer);
  EXPECT_EQ(Side().launches, (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(TimerActive(dialog_, kAppsTimer)) << "the list is done";
  EXPECT_EQ(appElapsedSeconds, -1);
  Fire(kAfterSoundTimer);
  Fire(kAfterSoundTimer);
  EXPECT_TRUE(Side().soundPaths.empty());
  Fire(kAfterSoundTimer);
  ASSERT_EQ(Side().soundPaths.size(), 1u);
  EXPECT_EQ(Side().soundPaths[0], L"C:\\after.wav");
  userActive = 1;
  Fire(kExitWatchTimer);
  EXPECT_FALSE(Ended()) << "the sound still plays";
  Side().playerHasMedium = false;
  Fire(kExitWatchTimer);
  EXPECT_TRUE(Ended());
}

TEST_F(CountDialogTest, WithoutHooksTheEndDoesNotWaitForInput) {
  failHooks = true;
  Start(EndNow, 0);
  Pump();
  ASSERT_TRUE(Acted());
  EXPECT_EQ(ActiveHookCount(), 0);
  Fire(kExitWatchTimer);
  EXPECT_TRUE(Ended());
}

TEST_F(CountDialogTest, AbortLetsTheMachineSleepAgain) {
  Start(Time, 600);
  ASSERT_FALSE(Power().executionStates.empty());
  EXPECT_EQ(Power().executionStates.back(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
  TimerMainWndProc(mainWindow, WM_COMMAND, kCmdAbort, 0);
  EXPECT_FALSE(IsWindow(dialog_));
  EXPECT_EQ(Power().executionStates.back(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
  EXPECT_FALSE(Acted());
  EXPECT_FALSE(Ended());
}

TEST_F(CountDialogTest, TrayTipNamesTheEndAndTheResume) {
  TimerSettings& s = timerSettings;
  s.mode = Time;
  s.action = Hibernate;
  s.endTime = MakeTime(2026, 12, 10, 22, 5);
  s.resumeEnabled = 1;
  s.resumeTime = MakeTime(2026, 12, 11, 6, 30);
  wchar_t tip[128];
  FormatTimerTrayTip(tip);
  EXPECT_EQ(std::wstring(tip),
            L"稼働中...\n休止状態開始時刻\n2026年12月10日(木)　22時05分\n復帰時刻\n2026年12月11日(金)　06時30分");
  s.mode = CpuUsage;
  s.resumeEnabled = 0;
  FormatTimerTrayTip(tip);
  EXPECT_EQ(std::wstring(tip), L"稼働中...\nCPU監視中...\n復帰時刻\n----年--月--日:--時--分");
  // A damaged weekday or a huge year is cut to the tip, never past it.
  s.mode = Time;
  s.resumeEnabled = 1;
  s.endTime.wDayOfWeek = 9;
  s.resumeTime.wYear = 65535;
  FormatTimerTrayTip(tip);
  EXPECT_LT(wcslen(tip), 128u);
}

}  // namespace
