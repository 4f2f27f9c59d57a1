#include "zero_action.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "countdown_state.h"
#include "message_box_catcher.h"
#include "shared/error_log.h"
#include "shared/power_actions.h"
#include "shared/program_paths.h"
#include "shared/schedule_time.h"
#include "temp_folder.h"
#include "timer_fakes.h"
#include "wait.h"

using namespace countdown_fakes;
using testing_support::CaughtMessageBoxes;
using testing_support::ReadBytes;
using timer_fakes::Side;

namespace {

const SYSTEMTIME kNow = MakeTime(2026, 12, 10, 22, 0, 0);

std::string Utf16Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

class ZeroActionTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    SetErrorLogFileName(kCountdownErrorLogName);
    SetProgramPaths(temp_.path().c_str(), L"Sopora");
    TimerInitNames(6);
    timer_fakes::ResetTimerSettings();
    InstallClock();
    SetNow(kNow);
    InstallPower();
    timer_fakes::InstallSideActions();
    mainWindow = timer_fakes::CreateStandInWindow();
    countDialog = nullptr;
    endNowRequested = 0;
    suppressApps = suppressSound = 0;
    nextAppIndex = 0;
  }
  void TearDown() override {
    if (IsWindow(mainWindow)) DestroyWindow(mainWindow);
    mainWindow = nullptr;
    endNowRequested = 0;
    timer_fakes::RemoveSideActions();
    RemovePower();
    RemoveClock();
    TempFolderTest::TearDown();
  }
  bool LogHas(const std::wstring& text) {
    return ReadBytes(temp_.Path(kCountdownErrorLogName)).find(Utf16Bytes(text)) != std::string::npos;
  }
};

TEST_F(ZeroActionTest, EachActionReachesItsPowerCall) {
  struct Case {
    int action;
    bool force;
    const char* call;
  } cases[] = {
      {Shutdown, false, "exitWindows 0x8"}, {Restart, false, "exitWindows 0x2"},
      {Logoff, false, "exitWindows 0x0"},   {Hibernate, false, "setSystemPowerState 0 0"},
      {Standby, false, "setSystemPowerState 1 0"}, {Shutdown, true, "exitWindows 0xc"},
      {Hibernate, true, "setSystemPowerState 0 1"},
  };
  for (const Case& c : cases) {
    InstallPower();
    timerSettings.action = c.action;
    timerSettings.forceAction = c.force;
    EXPECT_EQ(TimerRunZeroAction(), 1) << c.call;
    ASSERT_EQ(Power().calls.size(), 3u);
    EXPECT_EQ(Power().calls[0], "openProcessToken");
    EXPECT_EQ(Power().calls[1], "adjustTokenPrivileges");
    EXPECT_EQ(Power().calls[2], c.call);
  }
}

TEST_F(ZeroActionTest, WithoutThePrivilegeNothingIsDone) {
  Power().failPrivilege = true;
  timerSettings.captureEnabled = 1;
  EXPECT_EQ(TimerRunZeroAction(), 0);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"AdjustTokenPrivilegesエラー");
  EXPECT_EQ(Power().calls.size(), 2u);
  EXPECT_EQ(Side().captures, 0);
}

TEST_F(ZeroActionTest, RefusedOrUnknownActionEndsTheProgram) {
  Power().failPowerCall = true;
  EXPECT_EQ(TimerRunZeroAction(), 0);
  EXPECT_TRUE(LogHas(kPowerCallErrorTitle));
  EXPECT_TRUE(CaughtMessageBoxes().empty());

  InstallPower();
  timerSettings.action = 7;
  EXPECT_EQ(TimerRunZeroAction(), 0);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"終了エラー #1");
  EXPECT_EQ(boxes[0].text, L"予期しないエラーです。不正な値が渡されました。\nプログラムを終了します。");
}

TEST_F(ZeroActionTest, CaptureIsSkippedOnlyForTheMenusEndNowWhenAsked) {
  struct Case {
    uint8_t captureEnabled, endNowRequested, endNowNoCapture;
    int captures;
  } cases[] = {{1, 0, 1, 1}, {1, 1, 1, 0}, {1, 1, 0, 1}, {1, 0, 0, 1}, {0, 0, 0, 0}, {0, 1, 0, 0}};
  wcscpy(timerSettings.captureFolder, temp_.Path(L"shots\\deep").c_str());
  for (const Case& c : cases) {
    Side() = timer_fakes::SideRecord{};
    timerSettings.captureEnabled = c.captureEnabled;
    timerSettings.endNowNoCapture = c.endNowNoCapture;
    endNowRequested = c.endNowRequested;
    EXPECT_EQ(TimerRunZeroAction(), 1);
    EXPECT_EQ(Side().captures, c.captures) << int(c.captureEnabled) << int(c.endNowRequested)
                                           << int(c.endNowNoCapture);
    if (c.captures) {
      ASSERT_EQ(Side().capturePaths.size(), 1u);
      EXPECT_EQ(Side().capturePaths[0], temp_.Path(L"shots\\deep\\シャットダウン.jpg"));
    }
  }
  EXPECT_TRUE(testing_support::FileExists(temp_.Path(L"shots\\deep")));
}

TEST_F(ZeroActionTest, FailedCaptureIsLoggedAndTheActionRuns) {
  timerSettings.captureEnabled = 1;
  Side().captureFails = true;
  EXPECT_EQ(TimerRunZeroAction(), 1);
  EXPECT_TRUE(LogHas(L"キャプチャーエラー"));
  EXPECT_TRUE(LogHas(L"JPEGイメージの作成に失敗しました。"));
  EXPECT_EQ(Power().calls.back(), "exitWindows 0x8");
}

TEST_F(ZeroActionTest, ResumeTimerIsArmedAtTheAbsoluteResumeTime) {
  timerSettings.action = Hibernate;
  timerSettings.resumeEnabled = 1;
  timerSettings.resumeTime = AddSeconds(kNow, 3600);
  EXPECT_EQ(TimerRunZeroAction(), 1);
  int64_t expected = 0;
  ASSERT_TRUE(LocalTimeToUtcFileTime(timerSettings.resumeTime, &expected));
  ASSERT_EQ(Power().resumeDueTimes.size(), 1u);
  EXPECT_EQ(Power().resumeDueTimes[0], expected);
  EXPECT_GT(expected, 0);
  EXPECT_EQ(Power().timersCreated, 1);
  EXPECT_EQ(Power().timersClosed, 1);
}

TEST_F(ZeroActionTest, ResumeTimeNoLongerAheadArmsNoTimer) {
  for (int64_t offset : {0, -1, -7200}) {
    InstallPower();
    timerSettings.action = Standby;
    timerSettings.resumeEnabled = 1;
    timerSettings.resumeTime = AddSeconds(kNow, offset);
    EXPECT_EQ(TimerRunZeroAction(), 1);
    EXPECT_TRUE(Power().resumeDueTimes.empty()) << offset;
    EXPECT_EQ(Power().timersCreated, 0) << offset;
    EXPECT_EQ(Power().calls.back(), "setSystemPowerState 1 0") << offset;
  }
  EXPECT_TRUE(LogHas(kResumeTimePassedText));
  EXPECT_TRUE(LogHas(kResumeTimerErrorTitle));
}

TEST_F(ZeroActionTest, PlannedResumeIsTheTwoMinutesAfterTheResumeTime) {
  struct Case {
    int wokeAfterSeconds;
    bool planned;
  } cases[] = {{0, true}, {30, true}, {119, true}, {120, false}, {600, false}, {-5, false}};
  timerSettings.action = Hibernate;
  timerSettings.resumeEnabled = 1;
  timerSettings.unexpectedResumeNoApps = 1;
  timerSettings.unexpectedResumeNoSound = 0;
  timerSettings.resumeTime = AddSeconds(kNow, 3600);
  for (const Case& c : cases) {
    SetNow(kNow);
    suppressApps = suppressSound = 1;
    const int woke = c.wokeAfterSeconds;
    Power().onSleep = [woke] { SetNow(AddSeconds(AddSeconds(kNow, 3600), woke)); };
    EXPECT_EQ(TimerRunZeroAction(), 1);
    EXPECT_EQ(suppressApps, c.planned ? 0 : 1) << woke;
    EXPECT_EQ(suppressSound, 0) << woke;
  }
  timerSettings.unexpectedResumeNoSound = 1;
  SetNow(kNow);
  Power().onSleep = [] { SetNow(AddSeconds(kNow, 3600 + 500)); };
  TimerRunZeroAction();
  EXPECT_EQ(suppressSound, 1);
}

TEST_F(ZeroActionTest, DisplayStateAfterTheResume) {
  timerSettings.monitorOnAfterResume = 1;
  TimerRunZeroAction();
  EXPECT_EQ(Power().executionStates,
            (std::vector<DWORD>{ES_DISPLAY_REQUIRED, ES_CONTINUOUS | ES_SYSTEM_REQUIRED}));
  EXPECT_EQ(Power().monitorOffs, 0);
  InstallPower();
  timerSettings.monitorOnAfterResume = 0;
  TimerRunZeroAction();
  EXPECT_EQ(Power().executionStates, (std::vector<DWORD>{ES_CONTINUOUS | ES_SYSTEM_REQUIRED}));
  EXPECT_EQ(Power().monitorOffs, 1);
}

// --- After-resume applications, started for real ----------------------------------

class LaunchTest : public ZeroActionTest {
 protected:
  void SetUp() override {
    ZeroActionTest::SetUp();
    CreateDirectoryW(temp_.Path(L"bin dir").c_str(), nullptr);
    child_ = temp_.Path(L"bin dir\\record args.exe");
    std::wstring source = L"Z:";
    for (const char* p = SOPORA_RECORD_ARGS_EXE; *p; ++p) source += *p == '/' ? L'\\' : wchar_t(*p);
    ASSERT_TRUE(CopyFileW(source.c_str(), child_.c_str(), FALSE)) << GetLastError();
    record_ = temp_.Path(L"started.txt");
    SetEnvironmentVariableW(L"SOPORA_RECORD_FILE", record_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"SOPORA_RECORD_FILE", nullptr);
    ZeroActionTest::TearDown();
  }
  void SetApp(int slot, int delay, const wchar_t* arguments, bool minimized) {
    wcscpy(timerSettings.appPaths[slot], child_.c_str());
    wcscpy(timerSettings.appArguments[slot], arguments);
    timerSettings.appDelays[slot] = delay;
    timerSettings.appMinimized[slot] = minimized ? 1 : 0;
  }
  // The lines the children wrote, once `count` are there; the limit only
  // stops a broken launch from hanging the run.
  std::vector<std::string> WaitForLines(size_t count) {
    std::vector<std::string> lines;
    testing_support::PumpMessagesUntil([&] {
      lines.clear();
      const std::string all = ReadBytes(record_);
      size_t begin = 0;
      for (size_t end; (end = all.find('\n', begin)) != std::string::npos; begin = end + 1)
        lines.push_back(all.substr(begin, end - begin));
      return lines.size() >= count;
    });
    return lines;
  }
  std::wstring child_;
  std::wstring record_;
};

TEST_F(LaunchTest, DelaysZeroFiveThreeStartInListOrder) {
  SetApp(0, 0, L"first", false);
  SetApp(1, 5, L"second one", true);
  SetApp(2, 3, L"", false);
  EXPECT_TRUE(TimerLaunchApplication(0));
  EXPECT_EQ(nextAppIndex, 1);
  ASSERT_EQ(WaitForLines(1).size(), 1u);
  for (int elapsed = 1; elapsed <= 4; ++elapsed) {
    EXPECT_TRUE(TimerLaunchApplication(elapsed));
    EXPECT_EQ(nextAppIndex, 1) << "the five-second slot holds back the three-second one";
  }
  EXPECT_TRUE(TimerLaunchApplication(5));
  EXPECT_EQ(nextAppIndex, kAppCount) << "past the two due slots and the empty ones";
  EXPECT_FALSE(TimerLaunchApplication(6)) << "the list has ended";
  const std::vector<std::string> lines = WaitForLines(3);
  ASSERT_EQ(lines.size(), 3u);
  // <args>\t<argc>\t<STARTF flags>\t<wShowWindow>\t<command line>; the two at
  // five seconds may arrive in either order.
  EXPECT_EQ(lines[0].substr(0, lines[0].find('\t', 6)), "first\t2");
  std::vector<std::string> heads;
  for (size_t i = 1; i < 3; ++i) {
    std::string line = lines[i];
    size_t cut = 0;
    for (int fields = 0; fields < 4; ++fields) cut = line.find('\t', cut) + 1;
    heads.push_back(line.substr(0, cut - 1));
  }
  std::sort(heads.begin(), heads.end());
  EXPECT_EQ(heads[0], "\t1\t0\t0") << "the empty argument text gives no argument";
  EXPECT_EQ(heads[1], "second\x1fone\t3\t1\t6") << "quoted path first, then SW_MINIMIZE";
}

TEST_F(LaunchTest, AnApplicationThatCannotStartIsLoggedAndTheNextStarts) {
  wcscpy(timerSettings.appPaths[0], temp_.Path(L"missing tool.exe").c_str());
  timerSettings.appDelays[0] = 0;
  SetApp(1, 0, L"after", false);
  EXPECT_TRUE(TimerLaunchApplication(0));
  EXPECT_EQ(nextAppIndex, kAppCount);
  EXPECT_TRUE(LogHas(L"アプリ起動エラー(missing tool)"));
  const auto lines = WaitForLines(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(0, 7), "after\t2");
}

TEST_F(LaunchTest, AnEmptyFirstSlotStartsNothing) {
  EXPECT_FALSE(TimerLaunchApplication(0));
  EXPECT_EQ(nextAppIndex, 0);
}

}  // namespace
