#include "countdown_dialog.h"

#include <gtest/gtest.h>

#include <process.h>

#include <string>

#include "action_executor.h"
#include "action_names.h"
#include "appearance.h"
#include "countdown_fakes.h"
#include "countdown_test_window.h"
#include "main_window.h"
#include "main_window_state.h"
#include "modal_driver.h"
#include "message_box_catcher.h"
#include "next_due.h"
#include "private_messages.h"
#include "shared/power_actions.h"
#include "temp_folder.h"

using namespace countdown_fakes;
using testing_support::CaughtMessageBoxes;

namespace {

const SYSTEMTIME kTarget = MakeTime(2026, 12, 10, 22, 0, 0);

class CountdownTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ClearModel();
    InstallClock();
    InstallPower();
    InstallTimers();
    ResetSide();
    mainWindow = CreateTestWindow();
    countdownDialog = nullptr;
    countWindow = nullptr;
    std::wcscpy(profileSettings.sounds.paths[0], L"C:\\lead.wav");
    profileSettings.sounds.volumes[0] = 77;
    std::wcscpy(profileSettings.sounds.paths[1], L"C:\\resume.wav");
    profileSettings.sounds.volumes[1] = 55;
    profileSettings.sounds.count = 2;
  }
  void TearDown() override {
    appearance.englishLabels = 0;
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
    if (IsWindow(mainWindow)) DestroyWindow(mainWindow);
    mainWindow = nullptr;
    RemoveTimers();
    RemovePower();
    RemoveClock();
    TempFolderTest::TearDown();
  }

  // A date schedule: `action` at 22:00, optionally the WakeOnly item 8 hours later.
  ScheduleItem& DateSchedule(PowerAction action, bool withResume) {
    scheduleMode = DateMode;
    ScheduleItem& item = PutItem(0, 0, action, kTarget);
    if (withResume) PutItem(0, 1, WakeOnly, MakeTime(2026, 12, 11, 6, 0));
    return item;
  }

  void Start(int secondsLeft) {
    SetNow(AddSeconds(kTarget, -secondsLeft));
    dialog_ = CreateCountdownDialog();
    ASSERT_NE(nullptr, dialog_);
  }

  // One second passes, and timer 1 ticks.
  void Tick() {
    AdvanceSeconds(1);
    SendMessageW(dialog_, WM_TIMER, kCountdownTimer, 0);
  }
  void TickTimer(UINT_PTR id) { SendMessageW(dialog_, WM_TIMER, id, 0); }
  // What the dialog posted to itself, without the real timers' messages.
  void PumpPosted() {
    MSG msg;
    while (PeekMessageW(&msg, dialog_, WM_APP, 0xBFFF, PM_REMOVE)) DispatchMessageW(&msg);
  }

  std::wstring StaticText() {
    wchar_t text[32] = L"";
    GetDlgItemTextW(dialog_, kCountdownStaticId, text, 32);
    return text;
  }

  bool Performed() const {
    for (const std::string& call : Power().calls)
      if (call.rfind("exitWindows", 0) == 0 || call.rfind("setSystemPowerState", 0) == 0) return true;
    return false;
  }

  HWND dialog_ = nullptr;
};

TEST_F(CountdownTest, TheDialogIsALayeredPopUpShowingTheTimeLeftAndLeavesNothingBehind) {
  DateSchedule(Shutdown, false);
  Start(3600);
  EXPECT_EQ(dialog_, countdownDialog);
  const LONG_PTR style = GetWindowLongPtrW(dialog_, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(dialog_, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(exStyle & WS_EX_LAYERED);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(exStyle & WS_EX_TRANSPARENT);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(dialog_, &key, &alpha, &flags));
  EXPECT_EQ(RGB(255, 255, 255), key);
  EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA), flags);
  HWND text = GetDlgItem(dialog_, kCountdownStaticId);
  ASSERT_NE(nullptr, text);
  EXPECT_TRUE(GetWindowLongPtrW(text, GWL_STYLE) & SS_RIGHT);
  EXPECT_EQ(L"00:00:00", StaticText());
  EXPECT_TRUE(TimerActive(dialog_, kCountdownTimer));
  EXPECT_EQ(static_cast<DWORD>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED), Power().executionStates.back());

  Tick();
  EXPECT_EQ(L"00:59:59", StaticText());
  Tick();
  EXPECT_EQ(L"00:59:58", StaticText());

  DestroyWindow(dialog_);
  EXPECT_FALSE(IsWindow(dialog_));
  EXPECT_EQ(nullptr, countdownDialog);
  EXPECT_EQ(0, ActiveTimerCount(dialog_));
  // The machine may idle-sleep again.
  EXPECT_EQ(static_cast<DWORD>(ES_CONTINUOUS), Power().executionStates.back());
  EXPECT_FALSE(Performed());
}

TEST_F(CountdownTest, TheCountWindowMovesWithTheDialog) {
  DateSchedule(Shutdown, false);
  countWindow = CreateTestWindow();
  Start(3600);
  SetWindowPos(dialog_, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT dialogRect, countRect;
  GetWindowRect(dialog_, &dialogRect);
  GetWindowRect(countWindow, &countRect);
  EXPECT_EQ(dialogRect.left, countRect.left);
  EXPECT_EQ(dialogRect.top, countRect.top);
  EXPECT_EQ(121, countRect.right - countRect.left);
  EXPECT_EQ(44, countRect.bottom - countRect.top);
  DestroyWindow(dialog_);
  DestroyWindow(countWindow);
  countWindow = nullptr;
}

TEST_F(CountdownTest, ARepaintRequestPaintsTheItemsLabelInTheChosenLanguage) {
  InitPowerActionNames(6);
  const struct {
    PowerAction action;
    uint8_t english;
    const wchar_t* label;
  } cases[] = {{Hibernate, 0, L"休止状態"}, {Hibernate, 1, L"Hibernation"}, {Standby, 1, L"Sleep"},
               {Standby, 0, L"スリープ"}};
  for (const auto& c : cases) {
    ClearModel();
    ResetSide();
    DateSchedule(c.action, false);
    appearance.englishLabels = c.english;
    Start(3600);
    // Without a count window nothing is painted.
    SendMessageW(dialog_, kMsgRepaintCountWindow, 0, 1);
    EXPECT_TRUE(Side().paintedLabels.empty());
    countWindow = CreateTestWindow();
    SendMessageW(dialog_, kMsgRepaintCountWindow, 0, 1);
    ASSERT_EQ(1u, Side().paintedLabels.size());
    EXPECT_EQ(c.label, Side().paintedLabels[0]);
    EXPECT_EQ(std::wstring(countdownText), Side().paintedCountdowns[0]);
    DestroyWindow(dialog_);
    DestroyWindow(countWindow);
    countWindow = nullptr;
  }
}

TEST_F(CountdownTest, HoursAboveADayAreCountedOn) {
  DateSchedule(Shutdown, false);
  Start(26 * 3600 + 61);
  Tick();
  EXPECT_EQ(L"26:01:00", StaticText());
}

TEST_F(CountdownTest, NoItemAtStartIsReportedAndLeavesNoDialog) {
  DateSchedule(Shutdown, false);
  SetNow(AddSeconds(kTarget, 5));
  EXPECT_EQ(nullptr, CreateCountdownDialog());
  EXPECT_EQ(nullptr, countdownDialog);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(L"#1 予期しないエラーです", boxes[0].text);
  EXPECT_EQ(L"", boxes[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes[0].icon);
}

TEST_F(CountdownTest, TheLeadSoundStartsAtItsSecond) {
  ScheduleItem& item = DateSchedule(Shutdown, false);
  item.soundIndex = 1;
  item.soundSeconds = 30;
  Start(35);
  int playedAt = -1;
  for (int left = 34; left >= 25; --left) {
    Tick();
    if (!Side().soundsPlayed.empty() && playedAt == -1) playedAt = left;
  }
  EXPECT_EQ(30, playedAt);
  ASSERT_EQ(1u, Side().soundsPlayed.size());
  EXPECT_EQ(77, Side().soundsPlayed[0]);
  EXPECT_EQ(L"C:\\lead.wav", Side().soundPaths[0]);
}

TEST_F(CountdownTest, NoLeadSoundWhenTheCountdownStartsInsideTheLead) {
  ScheduleItem& item = DateSchedule(Shutdown, false);
  item.soundIndex = 1;
  item.soundSeconds = 30;
  Start(20);
  for (int i = 0; i < 5; ++i) Tick();
  EXPECT_TRUE(Side().soundsPlayed.empty());
  EXPECT_EQ(1, preSoundDone);
}

TEST_F(CountdownTest, TheWindowsComeToTheFrontAtTheConfiguredTime) {
  DateSchedule(Shutdown, false);
  profileSettings.general.bringToFront = 1;
  profileSettings.general.bringToFrontSeconds = 10;
  Start(13);
  Tick();  // 12
  Tick();  // 11
  EXPECT_FALSE(IsWindowVisible(dialog_));
  Tick();  // 10
  EXPECT_TRUE(IsWindowVisible(dialog_));
  EXPECT_EQ(1, broughtToFront);
}

TEST_F(CountdownTest, NineSecondsLateIsPerformedWithItsAfterResumeStage) {
  DateSchedule(Standby, true);
  ScheduleItem& wake = scheduleTable[0][1];
  wake.appDelays[0] = 0;
  wake.soundIndex = 2;
  wake.soundSeconds = 0;
  Power().onSleep = [] { SetNow(MakeTime(2026, 12, 11, 6, 0, 20)); };
  Start(2);
  SetNow(AddSeconds(kTarget, 8));
  Tick();  // 9 s late
  EXPECT_TRUE(Performed());
  EXPECT_TRUE(TimerActive(dialog_, kAppsTimer));
  EXPECT_TRUE(TimerActive(dialog_, kResumeSoundTimer));
  EXPECT_EQ(0, appElapsedSeconds);

  // soundSeconds 0: the sound starts on the first tick of timer 3.
  TickTimer(kResumeSoundTimer);
  ASSERT_EQ(1u, Side().soundsPlayed.size());
  EXPECT_EQ(55, Side().soundsPlayed[0]);
  EXPECT_FALSE(TimerActive(dialog_, kResumeSoundTimer));
  EXPECT_EQ(-1, resumeSoundCounter);
}

TEST_F(CountdownTest, ElevenSecondsLateIsSkippedWithItsAfterResumeStage) {
  DateSchedule(Standby, true);
  ScheduleItem& wake = scheduleTable[0][1];
  wake.appDelays[0] = 0;
  wake.soundIndex = 2;
  Start(2);
  SetNow(AddSeconds(kTarget, 10));
  Tick();  // 11 s late
  EXPECT_FALSE(Performed());
  EXPECT_EQ(1, suppressApps);
  EXPECT_EQ(1, suppressSound);
  EXPECT_FALSE(TimerActive(dialog_, kAppsTimer));
  EXPECT_FALSE(TimerActive(dialog_, kResumeSoundTimer));
  EXPECT_TRUE(Side().soundsPlayed.empty());
}

TEST_F(CountdownTest, TheResumeSoundWaitsItsSeconds) {
  DateSchedule(Hibernate, true);
  scheduleTable[0][1].soundIndex = 2;
  scheduleTable[0][1].soundSeconds = 2;
  Power().onSleep = [] { SetNow(MakeTime(2026, 12, 11, 6, 0, 5)); };
  Start(1);
  Tick();
  ASSERT_TRUE(Performed());
  TickTimer(kResumeSoundTimer);
  TickTimer(kResumeSoundTimer);
  EXPECT_TRUE(Side().soundsPlayed.empty());
  TickTimer(kResumeSoundTimer);
  EXPECT_EQ(1u, Side().soundsPlayed.size());
}

TEST_F(CountdownTest, AfterAnActionTheNextItemIsCountedDown) {
  scheduleMode = DateMode;
  PutItem(0, 0, Hibernate, kTarget);
  PutItem(0, 1, Shutdown, AddSeconds(kTarget, 3600));
  Start(1);
  Tick();
  EXPECT_TRUE(Performed());
  EXPECT_EQ(1, currentPos);
  EXPECT_TRUE(TimerActive(dialog_, kCountdownTimer));
  EXPECT_EQ(0, SecondsBetween(targetTime, AddSeconds(kTarget, 3600)));
  EXPECT_EQ(std::wstring(L"シャットダウン"), actionLabel);
  Tick();
  EXPECT_EQ(L"00:59:59", StaticText());
}

TEST_F(CountdownTest, ADailyScheduleMovesOnToTomorrow) {
  scheduleMode = DailyMode;
  PutItem(0, 0, Hibernate, TimeOfDay(22, 0));
  Start(1);
  Tick();
  EXPECT_TRUE(Performed());
  EXPECT_EQ(1, daysAhead);
  EXPECT_EQ(0, SecondsBetween(targetTime, MakeTime(2026, 12, 11, 22, 0)));
  EXPECT_TRUE(TimerActive(dialog_, kCountdownTimer));
}

TEST_F(CountdownTest, ADateScheduleEndsAfterItsSideActionsAndUserInput) {
  DateSchedule(Hibernate, true);
  scheduleTable[0][1].appDelays[0] = 60;
  Side().launchesLeft = 1;  // one more tick of timer 2, then the launcher is done
  Power().onSleep = [] { SetNow(MakeTime(2026, 12, 11, 6, 0, 0)); };
  Start(1);
  ShowWindow(dialog_, SW_SHOW);
  Tick();
  ASSERT_TRUE(Performed());
  EXPECT_FALSE(IsWindowVisible(dialog_));
  EXPECT_TRUE(TimerActive(dialog_, kEndTimer));
  EXPECT_EQ(2, ActiveHookCount());

  TickTimer(kEndTimer);
  EXPECT_TRUE(IsWindow(mainWindow));  // application pending, no input
  TickTimer(kAppsTimer);
  TickTimer(kAppsTimer);
  EXPECT_EQ(-1, appElapsedSeconds);
  EXPECT_FALSE(TimerActive(dialog_, kAppsTimer));
  TickTimer(kEndTimer);
  EXPECT_TRUE(IsWindow(mainWindow));  // still no input

  KBDLLHOOKSTRUCT key{};
  LowLevelKeyboardHookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key));
  EXPECT_EQ(1, userInputSeen);
  TickTimer(kEndTimer);
  EXPECT_FALSE(IsWindow(mainWindow));  // the program ends
  EXPECT_EQ(0, ActiveHookCount());
  EXPECT_FALSE(TimerActive(dialog_, kEndTimer));
}

TEST_F(CountdownTest, WithoutHooksTheEndDoesNotWaitForInput) {
  DateSchedule(Shutdown, false);
  failHooks = true;
  Start(1);
  Tick();
  ASSERT_TRUE(Performed());
  EXPECT_EQ(1, userInputSeen);
  EXPECT_EQ(0, ActiveHookCount());
  TickTimer(kEndTimer);
  EXPECT_FALSE(IsWindow(mainWindow));
}

TEST_F(CountdownTest, AnOpenMediumKeepsTheEndWaiting) {
  DateSchedule(Shutdown, false);
  Start(1);
  Tick();
  ASSERT_TRUE(Performed());
  LowLevelMouseHookProc(HC_ACTION, WM_MOUSEMOVE, 0);
  Side().playerHasMedium = true;
  sharedSoundPlayer = SideActions().createPlayer(dialog_);
  TickTimer(kEndTimer);
  EXPECT_TRUE(IsWindow(mainWindow));
  SendMessageW(dialog_, kMsgMediumEnded, 0, 0);
  PumpPosted();
  TickTimer(kEndTimer);
  EXPECT_FALSE(IsWindow(mainWindow));
}

// The end of a medium is reported from inside the control's own event; the
// control must not be closed before that event has returned.
TEST_F(CountdownTest, TheEndedMediumIsClosedOnlyAfterTheControlsEvent) {
  DateSchedule(Shutdown, false);
  Start(1);
  sharedSoundPlayer = SideActions().createPlayer(dialog_);
  Side().playerHasMedium = true;
  SendMessageW(dialog_, kMsgMediumEnded, 0, 0);
  EXPECT_TRUE(Side().playerHasMedium) << "closed inside the event";
  PumpPosted();
  EXPECT_FALSE(Side().playerHasMedium);
}

TEST_F(CountdownTest, AMediumWhoseEndIsNeverReportedIsWaitedForTenMinutes) {
  DateSchedule(Shutdown, false);
  Start(1);
  Tick();
  ASSERT_TRUE(Performed());
  Side().playerHasMedium = true;
  sharedSoundPlayer = SideActions().createPlayer(dialog_);
  // Ticks before the user's input do not count against the medium.
  for (int i = 0; i < 5; ++i) TickTimer(kEndTimer);
  LowLevelMouseHookProc(HC_ACTION, WM_MOUSEMOVE, 0);
  for (int i = 1; i < kEndWaitForMediumTicks; ++i) TickTimer(kEndTimer);
  ASSERT_TRUE(IsWindow(mainWindow)) << "a medium still playing is waited for";
  EXPECT_TRUE(Side().playerHasMedium);
  TickTimer(kEndTimer);
  EXPECT_FALSE(Side().playerHasMedium) << "closed after ten minutes";
  EXPECT_FALSE(IsWindow(mainWindow));
  EXPECT_EQ(kEndWaitForMediumTicks, 1200);
}

TEST_F(CountdownTest, AStaleEndNowRequestIsIgnored) {
  DateSchedule(Shutdown, false);
  RequestEndNow();  // no countdown runs
  EXPECT_EQ(0, endNowRequested);
  endNowRequested = 1;  // left over from an aborted run
  Start(3600);
  Tick();
  EXPECT_FALSE(Performed());
  EXPECT_TRUE(TimerActive(dialog_, kCountdownTimer));

  RequestEndNow();  // now it counts: performed at the next tick
  Tick();
  EXPECT_TRUE(Performed());
  EXPECT_EQ(0, endNowRequested);
}

TEST_F(CountdownTest, AbortClearsTheEndNowRequest) {
  DateSchedule(Shutdown, false);
  Start(3600);
  RequestEndNow();
  EXPECT_EQ(1, endNowRequested);
  DestroyWindow(dialog_);
  EXPECT_EQ(0, endNowRequested);
}

// The frame as the tray's commands reach it.
LRESULT CALLBACK CommandFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    HandleMainCommand(window, LOWORD(wParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(CountdownTest, TheTraysAbortDuringTheMailDialogPerformsNothing) {
  static const ATOM frameClass = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CommandFrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CountdownTestFrame";
    return RegisterClassW(&wc);
  }();
  ASSERT_NE(0, frameClass);
  DestroyWindow(mainWindow);
  mainWindow = CreateWindowExW(0, L"CountdownTestFrame", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ScheduleItem& item = DateSchedule(Shutdown, false);
  item.mailTo = 1;
  item.captureEnabled = 1;
  Start(1);
  HWND frame = mainWindow;
  HWND dialog = dialog_;
  // "中断" chosen in the tray while the mail dialog's loop runs.
  Side().modalLoop = true;
  Side().duringModalDialog = [frame] { PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kCmdAbort, 0), 0); };
  Tick();
  EXPECT_EQ(1, Side().modalDialogs);
  EXPECT_FALSE(IsWindow(dialog)) << "the abort destroyed the countdown dialog";
  EXPECT_EQ(nullptr, countdownDialog);
  EXPECT_EQ(0, Side().captures) << "nothing after the mail runs";
  EXPECT_FALSE(Performed());
  EXPECT_TRUE(IsWindow(frame)) << "an abort does not end the program";
  EXPECT_TRUE(IsWindowVisible(frame));
  EXPECT_EQ(nullptr, mailJob.thread) << "the worker was waited for";
  // Its completion, still queued, finds no dialog and changes nothing.
  testing_support::PumpPendingMessages();
  EXPECT_FALSE(Performed());
  EXPECT_TRUE(IsWindow(frame));
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(CountdownTest, AFailingExecutorEndsTheProgram) {
  DateSchedule(Shutdown, false);
  Power().failOpenToken = true;
  Start(1);
  Tick();
  EXPECT_FALSE(IsWindow(mainWindow));
  EXPECT_FALSE(Performed());
  // The refused privilege is reported once, with the system's text.
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"OpenProcessTokenエラー");
  EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONERROR));
  EXPECT_FALSE(boxes[0].text.empty());
}

TEST_F(CountdownTest, ARefusedActionKeepsTheScheduleRunningWithoutItsResumeStage) {
  scheduleMode = DateMode;
  PutItem(0, 0, Standby, kTarget);
  PutItem(0, 1, WakeOnly, AddSeconds(kTarget, 600));
  PutItem(0, 2, Shutdown, AddSeconds(kTarget, 3600));
  scheduleTable[0][1].appDelays[0] = 0;
  scheduleTable[0][1].soundIndex = 2;
  Power().failPowerCall = true;
  Start(1);
  Tick();
  EXPECT_TRUE(IsWindow(mainWindow));
  EXPECT_FALSE(TimerActive(dialog_, kAppsTimer));
  EXPECT_FALSE(TimerActive(dialog_, kResumeSoundTimer));
  EXPECT_EQ(2, currentPos);
  EXPECT_TRUE(TimerActive(dialog_, kCountdownTimer));
}

unsigned __stdcall EndAtOnce(void*) { return 0; }

ScheduleItem* answeredCurrent;
ScheduleItem* answeredWake;
LRESULT CALLBACK AnsweringProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgItemsToShow) {
    answeredCurrent = reinterpret_cast<ScheduleItem*>(wParam);
    answeredWake = reinterpret_cast<ScheduleItem*>(lParam);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(CountdownTest, OnlyTheLiveWorkersCompletionFinishesTheJob) {
  DateSchedule(Shutdown, false);
  Start(3600);
  ASSERT_TRUE(StartMailJob(&mailJob, EndAtOnce));
  WaitForSingleObject(mailJob.thread, 10000);
  const HANDLE thread = mailJob.thread;
  const LPARAM id = MailCompletionOf(&mailJob);
  // Completions of workers joined elsewhere, however many, change nothing.
  for (LPARAM stale : {LPARAM{0}, id - 1, id + 1}) {
    SendMessageW(dialog_, kMsgMailDone, 1, stale);
    EXPECT_EQ(thread, mailJob.thread);
  }
  SendMessageW(dialog_, kMsgMailDone, 1, id);
  EXPECT_EQ(nullptr, mailJob.thread);
  EXPECT_EQ(nullptr, mailJob.cancelEvent);
  // Its own completion once more, after the join: nothing left to finish.
  SendMessageW(dialog_, kMsgMailDone, 1, id);
  EXPECT_EQ(nullptr, mailJob.thread);
}

TEST_F(CountdownTest, DestroyingTheDialogJoinsARunningMailThread) {
  DateSchedule(Shutdown, false);
  Start(3600);
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, EndAtOnce, nullptr, 0, nullptr));
  ASSERT_NE(nullptr, thread);
  mailJob.thread = thread;
  DestroyWindow(dialog_);
  EXPECT_EQ(nullptr, mailJob.thread);
  EXPECT_EQ(WAIT_FAILED, WaitForSingleObject(thread, 0));  // handle closed
}

TEST_F(CountdownTest, TheConfirmationDialogsAreAnsweredWithTheItems) {
  DateSchedule(Hibernate, true);
  Start(3600);
  WNDCLASSW wc{};
  wc.lpfnWndProc = AnsweringProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CountdownAskingWindow";
  RegisterClassW(&wc);
  HWND asking = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                wc.hInstance, nullptr);
  SendMessageW(dialog_, kMsgAskItems, 0, reinterpret_cast<LPARAM>(asking));
  EXPECT_EQ(&scheduleTable[0][0], answeredCurrent);
  EXPECT_EQ(&scheduleTable[0][1], answeredWake);
  DestroyWindow(asking);
}

}  // namespace
