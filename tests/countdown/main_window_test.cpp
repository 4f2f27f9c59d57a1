#include "timer_main_window.h"

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "count_dialog.h"
#include "count_window.h"
#include "countdown_state.h"
#include "message_box_catcher.h"
#include "modal_driver.h"
#include "settings_dialog.h"
#include "shared/sound_player.h"
#include "shared/notify_icon.h"
#include "shared/program_paths.h"
#include "temp_folder.h"
#include "timer_fakes.h"
#include "timer_profile.h"

using testing_support::CaughtMessageBoxes;

namespace {

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class TimerMainWindowTest : public testing_support::TempFolderTest {
 protected:
  static void SetUpTestSuite() {
    const Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr);
    wcscpy(timerClassName, L"SOPORA");
    wcscpy(timerWindowTitle, L"sopora");
    TimerRegisterWindowClasses(GetModuleHandleW(nullptr));
  }
  static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(gdiplusToken_); }

  void SetUp() override {
    TempFolderTest::SetUp();
    std::memset(&timerSettings, 0, sizeof timerSettings);
    countWindowCreated = 0;
  }
  // The frame as the program makes it, in the test's folder (its ini file
  // and, through SetProgramPaths, its profiles).
  void Create() {
    SetProgramPaths(temp_.path().c_str(), L"Sopora");
    ASSERT_EQ(TimerCreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWNORMAL), 1);
    window_ = mainWindow;
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    // The frame's end posts WM_QUIT; it must not end a later pump.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    mainWindow = nullptr;
    TempFolderTest::TearDown();
  }

  static ULONG_PTR gdiplusToken_;
  HWND window_ = nullptr;
};
ULONG_PTR TimerMainWindowTest::gdiplusToken_;

TEST_F(TimerMainWindowTest, WithoutAnIniFileTheDefaultsAreSet) {
  Create();
  ASSERT_NE(settingsDialog, nullptr);
  EXPECT_EQ(GetParent(settingsDialog), window_);
  EXPECT_EQ(timerSettings.captureFormat, 1);
  EXPECT_EQ(timerSettings.endDaysAhead, 1);
  EXPECT_EQ(timerSettings.resumeDaysAhead, 1);
  EXPECT_EQ(timerSettings.bringToFrontSeconds, 300);
  EXPECT_EQ(timerSettings.minusDayToHour, 6);
  EXPECT_EQ(timerSettings.endNowNoCapture, 1);
  for (int32_t delay : timerSettings.appDelays) EXPECT_EQ(delay, -1);
  EXPECT_STREQ(trayIconData.szTip, L"設定中");
  EXPECT_EQ(trayIconData.uID, 1u);
  EXPECT_EQ(trayIconData.uCallbackMessage, 0x8064u);
  EXPECT_NE(trayIconData.hIcon, nullptr);
}

TEST_F(TimerMainWindowTest, TheDefaultProfileIsLoadedAndApplied) {
  SetProgramPaths(temp_.path().c_str(), L"Sopora");
  timer_fakes::ResetTimerSettings();
  timerSettings.mode = CpuUsage;
  timerSettings.action = Restart;
  timerSettings.cpuSeconds = 5;
  timerSettings.cpuPercent = 4;
  timerSettings.endDaysAhead = 7;
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"夜"));
  std::memset(&timerSettings, 0, sizeof timerSettings);
  ASSERT_TRUE(WritePrivateProfileStringW(L"Setting", L"DefProfile", L"夜", L".\\sopora.ini"));
  Create();
  EXPECT_EQ(timerSettings.mode, CpuUsage);
  EXPECT_EQ(timerSettings.cpuSeconds, 5);
  EXPECT_EQ(timerSettings.endDaysAhead, 7) << "the profile's values, not the defaults";
  wchar_t text[64] = L"";
  GetDlgItemTextW(settingsDialog, kModeComboId, text, 64);
  EXPECT_STREQ(text, L"CPU使用率");
  GetDlgItemTextW(settingsDialog, kActionComboId, text, 64);
  EXPECT_STREQ(text, L"再起動");
  GetDlgItemTextW(settingsDialog, kCpuSecondsComboId, text, 64);
  EXPECT_STREQ(text, L"5");
}

TEST_F(TimerMainWindowTest, ADamagedDefaultProfileIsReportedAndTheDefaultsApply) {
  SetProgramPaths(temp_.path().c_str(), L"Sopora");
  CreateDirectoryW(temp_.Path(L"profile").c_str(), nullptr);
  ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"profile\\bad.dat"), std::string(100, '\0')));
  ASSERT_TRUE(WritePrivateProfileStringW(L"Setting", L"DefProfile", L"bad", L".\\sopora.ini"));
  Create();
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kTimerReadErrorCaption);
  EXPECT_EQ(timerSettings.appDelays[0], -1);
  EXPECT_EQ(timerSettings.captureFormat, 1);
}

TEST_F(TimerMainWindowTest, TaskbarCreatedAddsTheIconAgain) {
  Create();
  SetTrayTip(L"running");
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &trayIconData));
  EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &trayIconData)) << "the icon is gone";
  SendMessageW(window_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_STREQ(trayIconData.szTip, L"running");
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &trayIconData)) << "the icon is back";
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &trayIconData));
  SendMessageW(window_, WM_TIMER, kTrayRetryTimer, 0);
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &trayIconData)) << "the retry adds it too";
}

TEST_F(TimerMainWindowTest, AbortShowsTheFrameAgainWithItsTip) {
  Create();
  timerSettings.mode = EndNow;
  ShowWindow(window_, SW_HIDE);
  SetTrayTip(L"稼働中...");
  // A count dialog and a stand-in for the count window.
  HWND count = timer_fakes::CreateStandInWindow();
  countWindow = count;
  countDialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kCountDialogId), nullptr,
                                   InertDialogProc, 0);
  HWND dialog = countDialog;
  ASSERT_NE(dialog, nullptr);
  SendMessageW(window_, WM_COMMAND, kCmdAbort, 0);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_FALSE(IsWindow(count));
  EXPECT_EQ(countDialog, nullptr);
  EXPECT_EQ(countWindow, nullptr);
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_STREQ(trayIconData.szTip, L"設定中...");
}

TEST_F(TimerMainWindowTest, TheOverviewCommandOpensOneOverviewThatTheAbortCloses) {
  Create();
  timerSettings.mode = EndNow;
  SendMessageW(window_, WM_COMMAND, kCmdOverview, 0);
  HWND open = overviewDialog;
  ASSERT_NE(open, nullptr);
  EXPECT_TRUE(IsWindowVisible(open));
  EXPECT_EQ(GetWindow(open, GW_OWNER), nullptr);
  SendMessageW(window_, WM_COMMAND, kCmdOverview, 0);
  EXPECT_EQ(overviewDialog, open) << "an open one is raised, not doubled";
  SendMessageW(window_, WM_COMMAND, kCmdAbort, 0);
  EXPECT_FALSE(IsWindow(open));
  EXPECT_EQ(overviewDialog, nullptr);
}

BOOL CALLBACK CountAboutBoxes(HWND window, LPARAM count) {
  if (GetDlgItem(window, 1132)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Both menus' "バージョン情報" open this program's about box, owned by the
// frame, and a second command while it is open raises it instead of a second box.
TEST_F(TimerMainWindowTest, TheAboutCommandsOpenThisProgramsAboutBox) {
  Create();
  for (UINT command : {kCmdAboutIdle, kCmdAboutRunning}) {
    std::wstring title, caption;
    HWND owner = nullptr;
    int boxes = 0;
    testing_support::ModalDriver driver([&] {
      HWND box = testing_support::FindThreadDialogWithControl(1132);
      if (!box) return false;
      wchar_t text[64] = {};
      GetDlgItemTextW(box, 1131, text, 64);
      title = text;
      GetWindowTextW(box, text, 64);
      caption = text;
      owner = GetWindow(box, GW_OWNER);
      SendMessageW(window_, WM_COMMAND, command, 0);
      boxes = 0;
      EnumThreadWindows(GetCurrentThreadId(), CountAboutBoxes, reinterpret_cast<LPARAM>(&boxes));
      SendMessageW(box, WM_COMMAND, IDOK, 0);
      return true;
    });
    SendMessageW(window_, WM_COMMAND, command, 0);
    EXPECT_TRUE(driver.finished()) << command;
    EXPECT_EQ(title, L"そぽら ver3.00") << command;
    EXPECT_EQ(caption, L"バージョン情報") << command;
    EXPECT_EQ(owner, window_) << command;
    EXPECT_EQ(boxes, 1) << command;
    EXPECT_EQ(aboutDialog, nullptr) << command;
  }
}

TEST_F(TimerMainWindowTest, ExitEndsEverythingAndRemovesTheIcon) {
  for (UINT command : {kCmdExitIdle, kCmdExit}) {
    Create();
    HWND count = timer_fakes::CreateStandInWindow();
    countWindow = count;
    HWND settings = settingsDialog;
    SendMessageW(window_, WM_COMMAND, command, 0);
    EXPECT_FALSE(IsWindow(window_)) << command;
    EXPECT_FALSE(IsWindow(settings));
    EXPECT_FALSE(IsWindow(count));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &trayIconData)) << "the icon went with the frame";
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop ends";
  }
}

// However the frame ends (the count dialog's own end, the settings dialog's
// "終了", the hand-over), the running countdown's clean-up runs first.
TEST_F(TimerMainWindowTest, TheFramesEndDestroysTheCountDialogFirst) {
  using namespace countdown_fakes;
  InstallClock();
  InstallPower();
  InstallTimers();
  timer_fakes::InstallSideActions();
  for (const char* way : {"DestroyWindow", "settings dialog 終了"}) {
    Create();
    timerSettings.mode = Time;
    timerSettings.endTime = MakeTime(2026, 12, 10, 22, 0);
    timerSettings.soundCount = 1;
    wcscpy(timerSettings.soundPaths[0], L"C:\\before.wav");
    timerSettings.soundIndex[0] = 1;
    timerSettings.soundSeconds[0] = 30;
    SetNow(MakeTime(2026, 12, 10, 21, 59, 30));
    HWND dialog = CreateTimerCountDialog();
    ASSERT_NE(dialog, nullptr) << way;
    SendMessageW(dialog, WM_TIMER, kTimeTimer, 0);  // the sound starts: a player exists
    ASSERT_NE(sharedSoundPlayer, nullptr) << way;
    if (std::string(way) == "DestroyWindow") {
      DestroyWindow(window_);
    } else {
      HWND settings = settingsDialog;
      SendMessageW(settings, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(settings, IDCANCEL)));
    }
    EXPECT_FALSE(IsWindow(window_)) << way;
    EXPECT_FALSE(IsWindow(dialog)) << way << ": the count dialog outlived the program's frame";
    EXPECT_EQ(countDialog, nullptr) << way;
    EXPECT_EQ(sharedSoundPlayer, nullptr) << way << ": the player was not destroyed";
    ASSERT_FALSE(Power().executionStates.empty());
    EXPECT_EQ(Power().executionStates.back(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS)) << way;
    if (IsWindow(dialog)) DestroyWindow(dialog);
  }
  timer_fakes::RemoveSideActions();
  RemoveTimers();
  RemovePower();
  RemoveClock();
}

}  // namespace
