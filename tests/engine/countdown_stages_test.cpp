// The stages both count dialogs share, with the parameters of the program this
// binary is built for: the scheduler's test binary and the countdown
// program's each run these cases.
#include "shared/countdown_stages.h"

#include <gtest/gtest.h>

#include <string>

#include "countdown_stages_under_test.h"
#include "seam_fakes.h"
#include "shared/error_log.h"
#include "shared/sound_player.h"
#include "temp_folder.h"
#include "wait.h"

using namespace countdown_fakes;

namespace {

// A player that only has a medium open or not.
struct StageRecord {
  bool hasMedium = false;
  int closes = 0;
  int plays = 0;
};
StageRecord record;
SoundPlayer* const kFakePlayer = reinterpret_cast<SoundPlayer*>(0x1000);

SoundPlayer* CreatePlayer(HWND) { return kFakePlayer; }
void DestroyPlayer(SoundPlayer*) {}
bool HasMedium(const SoundPlayer*) { return record.hasMedium; }
bool IsPlaying(const SoundPlayer*) { return record.hasMedium; }
void CloseMedium(SoundPlayer*) {
  ++record.closes;
  record.hasMedium = false;
}
void ApplyMute(SoundPlayer*, bool) {}
bool PlayFile(HWND, const wchar_t*, bool, int) {
  ++record.plays;
  record.hasMedium = true;
  return true;
}
int LaunchNothing(int, int, int) { return 0; }
bool NoCaptureName(const wchar_t*, wchar_t*, const wchar_t*, int32_t) { return false; }
bool NoCapture(const wchar_t*, int32_t) { return false; }
void NoPaint(const wchar_t*, const wchar_t*) {}
const CountdownSideActions kStageSideActions = {
    CreatePlayer, DestroyPlayer, HasMedium,     IsPlaying, CloseMedium, ApplyMute,
    PlayFile,     LaunchNothing, NoCaptureName, NoCapture, NoPaint,
};

// A dialog that is nothing but the shared stages.
LRESULT CALLBACK StageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (HandleCountdownStageMessage(StagesUnderTest(), window, message, wParam, lParam)) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreatePlainWindow(WNDPROC procedure, const wchar_t* className) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = className;
  RegisterClassW(&wc);
  return CreateWindowExW(0, className, nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

class CountdownStagesTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    record = StageRecord{};
    InstallTimers();
    InstallPower();
    savedSideActions_ = &SideActions();
    SetCountdownSideActions(&kStageSideActions);
    ResetCountdownStages();
    dialog_ = CreatePlainWindow(StageWindowProc, L"CountdownStageTest");
    ASSERT_NE(dialog_, nullptr);
    savedMain_ = *StagesUnderTest().mainWindow;
    main_ = CreatePlainWindow(DefWindowProcW, L"CountdownStageMain");
    *StagesUnderTest().mainWindow = main_;
  }
  void TearDown() override {
    EndCountdownStages(StagesUnderTest(), dialog_);
    if (IsWindow(dialog_)) DestroyWindow(dialog_);
    if (IsWindow(main_)) DestroyWindow(main_);
    *StagesUnderTest().mainWindow = savedMain_;
    SetCountdownSideActions(savedSideActions_);
    RemovePower();
    RemoveTimers();
    TempFolderTest::TearDown();
  }
  // What the dialog posted to itself.
  void PumpPosted() {
    MSG msg;
    while (PeekMessageW(&msg, dialog_, WM_APP, 0xBFFF, PM_REMOVE)) DispatchMessageW(&msg);
  }
  // After the action, nothing after-resume pending, the user has been seen.
  void EndWatchWithInput() {
    ClearAfterResumeStages();
    StartEndWatch(StagesUnderTest(), dialog_);
    LowLevelKeyboardHookProc(HC_ACTION, WM_KEYDOWN, 0);
  }

  HWND dialog_ = nullptr;
  HWND main_ = nullptr;
  HWND savedMain_ = nullptr;
  const CountdownSideActions* savedSideActions_ = nullptr;
};

TEST_F(CountdownStagesTest, TheEndedMediumIsClosedOnlyAfterTheControlsEvent) {
  sharedSoundPlayer = kFakePlayer;
  record.hasMedium = true;
  SendMessageW(dialog_, kMsgStageMediumEnded, 0, 0);  // from inside the control's event
  EXPECT_TRUE(record.hasMedium) << ProgramUnderTest() << ": closed inside the control's event";
  EXPECT_EQ(record.closes, 0);
  PumpPosted();
  EXPECT_FALSE(record.hasMedium) << ProgramUnderTest();
  EXPECT_EQ(record.closes, 1);
}

TEST_F(CountdownStagesTest, TheEndWatchGivesUpOnASilentMediumAfterTenMinutesAndLogsIt) {
  sharedSoundPlayer = kFakePlayer;
  record.hasMedium = true;
  EndWatchWithInput();
  for (int i = 1; i < kEndWaitForMediumTicks; ++i) SendMessageW(dialog_, WM_TIMER, kEndWatchTimer, 0);
  ASSERT_TRUE(IsWindow(main_)) << ProgramUnderTest() << ": a medium still open is waited for";
  EXPECT_TRUE(record.hasMedium);
  EXPECT_EQ(testing_support::ReadUtf16Text(GetErrorLogFileName()), L"");
  SendMessageW(dialog_, WM_TIMER, kEndWatchTimer, 0);
  EXPECT_FALSE(record.hasMedium) << ProgramUnderTest() << ": closed after ten minutes";
  EXPECT_FALSE(IsWindow(main_)) << ProgramUnderTest() << ": the program ends";
  const std::wstring log = testing_support::ReadUtf16Text(GetErrorLogFileName());
  EXPECT_NE(log.find(L"サウンド再生エラー"), std::wstring::npos) << ProgramUnderTest();
  EXPECT_NE(log.find(kEndWaitGaveUpText), std::wstring::npos) << ProgramUnderTest();
  EXPECT_EQ(kEndWaitForMediumTicks, 1200);
}

TEST_F(CountdownStagesTest, AMediumThatEndsEndsTheWatchWithoutALogEntry) {
  sharedSoundPlayer = kFakePlayer;
  record.hasMedium = true;
  EndWatchWithInput();
  SendMessageW(dialog_, WM_TIMER, kEndWatchTimer, 0);
  EXPECT_TRUE(IsWindow(main_));
  SendMessageW(dialog_, kMsgStageMediumEnded, 0, 0);
  PumpPosted();
  SendMessageW(dialog_, WM_TIMER, kEndWatchTimer, 0);
  EXPECT_FALSE(IsWindow(main_)) << ProgramUnderTest();
  EXPECT_EQ(ActiveHookCount(), 0);
  EXPECT_EQ(testing_support::ReadUtf16Text(GetErrorLogFileName()), L"");
}

TEST_F(CountdownStagesTest, TheAfterResumeSoundStartsAtItsDelayOnce) {
  // Entry 1 of the program's list is played when the list holds it.
  StartAfterResumeSound(dialog_, 2, 1);
  for (int tick = 0; tick < 2; ++tick) SendMessageW(dialog_, WM_TIMER, kAfterResumeSoundTimer, 0);
  EXPECT_EQ(resumeSoundCounter, 2);
  SendMessageW(dialog_, WM_TIMER, kAfterResumeSoundTimer, 0);
  EXPECT_EQ(resumeSoundCounter, -1) << ProgramUnderTest();
  EXPECT_FALSE(TimerActive(dialog_, kAfterResumeSoundTimer));
  // An entry outside the list plays nothing and still ends the stage.
  record.plays = 0;
  StartAfterResumeSound(dialog_, -5, 11);
  SendMessageW(dialog_, WM_TIMER, kAfterResumeSoundTimer, 0);
  EXPECT_EQ(resumeSoundCounter, -1);
  EXPECT_EQ(record.plays, 0) << "entry 11 was played";
}

}  // namespace
