#include "action_executor.h"

#include <gtest/gtest.h>

#include <process.h>

#include <cstring>
#include <string>

#include "countdown_dialog.h"
#include "countdown_fakes.h"
#include "countdown_test_window.h"
#include "main_window_state.h"
#include "message_box_catcher.h"
#include "next_due.h"
#include "shared/error_log.h"
#include "shared/power_actions.h"
#include "temp_folder.h"

using namespace countdown_fakes;
using testing_support::CaughtMessageBoxes;
using testing_support::ReadBytes;

namespace {

std::wstring ReadLog() {
  const std::string bytes = ReadBytes(L"Scheduler_error.txt");
  std::wstring text(bytes.size() / 2, L'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  return text;
}

bool LogHas(const wchar_t* text) { return ReadLog().find(text) != std::wstring::npos; }

int64_t UtcFileTime(int year, int month, int day, int hour, int minute) {
  const SYSTEMTIME utc = MakeTime(year, month, day, hour, minute);
  FILETIME ft;
  SystemTimeToFileTime(&utc, &ft);
  return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

class ExecutorTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ClearModel();
    InstallClock();
    InstallPower();
    ResetSide();
    owner_ = CreateTestWindow();
    countdownDialog = owner_;
    countdownRunAborted = 0;
    mailJob = MailJob{};
    mailJob.owner = owner_;
  }
  void TearDown() override {
    if (mailJob.thread) {
      WaitForSingleObject(mailJob.thread, 10000);
      CloseHandle(mailJob.thread);
      mailJob.thread = nullptr;
    }
    countdownDialog = nullptr;
    if (IsWindow(owner_)) DestroyWindow(owner_);
    RemovePower();
    RemoveClock();
    TempFolderTest::TearDown();
  }

  // A date schedule with `action` at 22:00 and, when asked, a resume 8 hours
  // later; the clock is set to the action's time.
  ScheduleItem& Schedule(PowerAction action, bool withResume) {
    scheduleMode = DateMode;
    ScheduleItem& item = PutItem(0, 0, action, MakeTime(2026, 12, 10, 22, 0));
    if (withResume) PutItem(0, 1, WakeOnly, MakeTime(2026, 12, 11, 6, 0));
    EXPECT_TRUE(SearchNextDueItem(MakeTime(2026, 12, 10, 21, 0)));
    SetNow(MakeTime(2026, 12, 10, 22, 0));
    return item;
  }

  int Run(int32_t action) { return ExecutePowerAction(mailJob, action, wakeTime); }

  HWND owner_ = nullptr;
};

TEST_F(ExecutorTest, EachActionMakesItsCallWithAndWithoutForce) {
  struct Row {
    PowerAction action;
    bool force;
    const char* call;
  } const rows[] = {
      {Shutdown, false, "exitWindows 0x8"},  {Shutdown, true, "exitWindows 0xc"},
      {Restart, false, "exitWindows 0x2"},   {Restart, true, "exitWindows 0x6"},
      {Logoff, false, "exitWindows 0x0"},    {Logoff, true, "exitWindows 0x4"},
      {Hibernate, false, "setSystemPowerState 0 0"}, {Hibernate, true, "setSystemPowerState 0 1"},
      {Standby, false, "setSystemPowerState 1 0"},   {Standby, true, "setSystemPowerState 1 1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.call);
    InstallPower();
    ClearModel();
    Schedule(row.action, false);
    profileSettings.general.forceAction = row.force ? 1 : 0;
    ASSERT_EQ(kExecuteDone, Run(row.action));
    const std::vector<std::string> expected = {"openProcessToken", "adjustTokenPrivileges",
                                               row.call};
    EXPECT_EQ(expected, Power().calls);
    EXPECT_EQ(0, Power().timersCreated);  // no resume item: no timer
  }
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(ExecutorTest, AnUnknownActionEndsWithTheErrorBox) {
  Schedule(Shutdown, false);
  EXPECT_EQ(kExecuteFailed, Run(7));
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(L"終了エラー #1", boxes[0].caption);
  EXPECT_EQ(L"予期しないエラーです。不正な値が渡されました。\nプログラムを終了します。", boxes[0].text);
  EXPECT_EQ(owner_, boxes[0].owner);
}

TEST_F(ExecutorTest, PrivilegeFailuresAreShownAndNothingIsPerformed) {
  struct Row {
    bool failOpen;
    bool failAdjust;
    bool notAssigned;
    const wchar_t* caption;
  } const rows[] = {{true, false, false, L"OpenProcessTokenエラー"},
                    {false, true, false, L"AdjustTokenPrivilegesエラー"},
                    // The call succeeds, but the account does not hold the privilege.
                    {false, false, true, L"AdjustTokenPrivilegesエラー"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.caption);
    SCOPED_TRACE(row.notAssigned);
    testing_support::ClearCaughtMessageBoxes();
    InstallPower();
    Power().failOpenToken = row.failOpen;
    Power().failPrivilege = row.failAdjust;
    Power().privilegeNotAssigned = row.notAssigned;
    ClearModel();
    Schedule(Shutdown, false);
    EXPECT_EQ(kExecuteFailed, Run(Shutdown));
    const auto boxes = CaughtMessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(row.caption, boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes[0].icon);
    if (row.notAssigned) {
      wchar_t* text = FetchSystemErrorText(ERROR_NOT_ALL_ASSIGNED);
      ASSERT_NE(nullptr, text);
      EXPECT_EQ(std::wstring(text), boxes[0].text) << "the system's text of the missing privilege";
      LocalFree(text);
    }
    for (const std::string& call : Power().calls) EXPECT_EQ(std::string::npos, call.find("exitWindows"));
  }
}

TEST_F(ExecutorTest, ThePrivilegeAskedForIsTheShutdownPrivilegeEnabled) {
  Schedule(Shutdown, false);
  ASSERT_EQ(kExecuteDone, Run(Shutdown));
  EXPECT_EQ(1, Power().adjustedPrivileges);
}

TEST_F(ExecutorTest, ResumeTimerIsArmedAtTheAbsolutePlannedTimeAndThePlannedResumeIsRecognised) {
  Schedule(Standby, true);
  profileSettings.general.unexpectedResumeNoApps = 1;
  profileSettings.general.unexpectedResumeNoSound = 1;
  suppressApps = suppressSound = 1;
  Power().onSleep = [] { SetNow(MakeTime(2026, 12, 11, 6, 0, 30)); };  // woken 30 s late
  ASSERT_EQ(kExecuteDone, Run(Standby));
  ASSERT_EQ(1u, Power().resumeDueTimes.size());
  // 2026-12-11 06:00 in JST-9 is 2026-12-10 21:00 UTC.
  EXPECT_EQ(UtcFileTime(2026, 12, 10, 21, 0), Power().resumeDueTimes[0]);
  EXPECT_EQ(1, Power().timersCreated);
  EXPECT_EQ(1, Power().timersClosed);
  EXPECT_EQ(0, suppressApps);
  EXPECT_EQ(0, suppressSound);
  EXPECT_EQ(0, suppressMail);
}

TEST_F(ExecutorTest, AResumeOutsideTheTwoMinutesIsUnexpected) {
  struct Row {
    int wokeAfterPlanned;
    bool planned;
  } const rows[] = {{-120, false}, {-1, false}, {0, true}, {119, true}, {120, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.wokeAfterPlanned);
    InstallPower();
    ClearModel();
    ResetSide();
    ScheduleItem& item = Schedule(Hibernate, true);
    (void)item;
    scheduleTable[0][1].mailTo = 1;
    profileSettings.general.unexpectedResumeNoApps = 1;
    profileSettings.general.unexpectedResumeNoSound = 1;
    profileSettings.general.unexpectedResumeNoMail = 1;
    const int offset = row.wokeAfterPlanned;
    Power().onSleep = [offset] { SetNow(AddSeconds(MakeTime(2026, 12, 11, 6, 0), offset)); };
    ASSERT_EQ(kExecuteDone, Run(Hibernate));
    EXPECT_EQ(row.planned ? 0 : 1, suppressApps);
    EXPECT_EQ(row.planned ? 0 : 1, suppressSound);
    EXPECT_EQ(0, suppressMail);  // used for this resume only
    EXPECT_EQ(row.planned ? 1 : 0, Side().modelessDialogs);  // the after-resume mail
    if (mailJob.thread) {
      EXPECT_EQ(1, mailJob.afterResume);
      EXPECT_EQ(1, mailJob.closeMode);
      EXPECT_EQ(&scheduleTable[0][1], mailJob.item);
      WaitForSingleObject(mailJob.thread, 10000);
      CloseHandle(mailJob.thread);
      mailJob.thread = nullptr;
    }
  }
}

TEST_F(ExecutorTest, AResumeTimeNoLongerAheadArmsNoTimerAndIsLogged) {
  Schedule(Standby, true);
  SetNow(MakeTime(2026, 12, 11, 6, 0, 0));  // the mail and the capture took until then
  ASSERT_EQ(kExecuteDone, Run(Standby));
  EXPECT_EQ(0, Power().timersCreated);
  EXPECT_TRUE(Power().resumeDueTimes.empty());
  EXPECT_TRUE(LogHas(L"\x25A0復帰タイマーセットエラー"));
  EXPECT_EQ("setSystemPowerState 1 0", Power().calls.back());
}

TEST_F(ExecutorTest, OnlyTheActionsThatResumePrepareAResumeTimer) {
  struct Row {
    PowerAction action;
    int timers;
  } const rows[] = {{Shutdown, 0}, {Restart, 0}, {Logoff, 0}, {Hibernate, 1}, {Standby, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.action);
    DeleteFileW(L"Scheduler_error.txt");
    InstallPower();
    ClearModel();
    Schedule(row.action, true);
    ASSERT_EQ(kExecuteDone, Run(row.action));
    EXPECT_EQ(row.timers, Power().timersCreated);
    EXPECT_EQ(static_cast<size_t>(row.timers), Power().resumeDueTimes.size());
  }
  // A wake time already passed is no error for an action that never sleeps.
  for (PowerAction action : {Shutdown, Restart, Logoff}) {
    SCOPED_TRACE(action);
    DeleteFileW(L"Scheduler_error.txt");
    InstallPower();
    ClearModel();
    Schedule(action, true);
    SetNow(MakeTime(2026, 12, 11, 6, 0, 5));
    ASSERT_EQ(kExecuteDone, Run(action));
    EXPECT_FALSE(LogHas(L"復帰タイマーセットエラー")) << ReadLog();
  }
}

TEST_F(ExecutorTest, ATimerThatCannotBeArmedOrWillNotWakeIsLoggedAndTheActionGoesOn) {
  struct Row {
    bool fail;
    DWORD lastError;
    bool logged;
  } const rows[] = {{true, 0, true}, {false, 722, true}, {false, ERROR_NOT_SUPPORTED, true},
                    {false, 0, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lastError);
    DeleteFileW(L"Scheduler_error.txt");
    InstallPower();
    Power().failSetTimer = row.fail;
    Power().setTimerLastError = row.lastError;
    ClearModel();
    Schedule(Hibernate, true);
    ASSERT_EQ(kExecuteDone, Run(Hibernate));
    EXPECT_EQ(row.logged, LogHas(L"\x25A0復帰タイマーセットエラー"));
    EXPECT_EQ("setSystemPowerState 0 0", Power().calls.back());
    EXPECT_EQ(1, Power().timersClosed);
  }
}

TEST_F(ExecutorTest, ARefusedPowerCallIsLoggedAndNotTakenForAResume) {
  Schedule(Standby, true);
  scheduleTable[0][1].mailTo = 1;
  Power().failPowerCall = true;
  suppressApps = 1;
  EXPECT_EQ(kExecuteCallFailed, Run(Standby));
  EXPECT_TRUE(LogHas(L"\x25A0終了エラー #1"));
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  EXPECT_EQ(0, Side().modelessDialogs);  // no after-resume mail
  EXPECT_EQ(0, Power().monitorOffs);
  EXPECT_EQ(1, suppressApps);  // untouched
  EXPECT_EQ(1, Power().timersClosed);

  ClearModel();
  InstallPower();
  Power().failPowerCall = true;
  Schedule(Shutdown, false);
  EXPECT_EQ(kExecuteCallFailed, Run(Shutdown));
}

TEST_F(ExecutorTest, DisplayStateAfterTheResume) {
  Schedule(Hibernate, false);
  profileSettings.general.monitorOnAfterResume = 1;
  ASSERT_EQ(kExecuteDone, Run(Hibernate));
  ASSERT_EQ(1u, Power().executionStates.size());
  EXPECT_EQ(static_cast<DWORD>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED),
            Power().executionStates[0]);
  EXPECT_EQ(0, Power().monitorOffs);

  InstallPower();
  profileSettings.general.monitorOnAfterResume = 0;
  ASSERT_EQ(kExecuteDone, Run(Hibernate));
  ASSERT_EQ(1u, Power().executionStates.size());
  EXPECT_EQ(static_cast<DWORD>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED), Power().executionStates[0]);
  EXPECT_EQ(1, Power().monitorOffs);
}

TEST_F(ExecutorTest, MailAndCaptureBeforeTheActionFollowTheSwitches) {
  struct Row {
    const char* name;
    bool endNow, noMail, noCapture, mailOff, captureOff;
    int mails, captures;
  } const rows[] = {
      {"both", false, false, false, false, false, 1, 1},
      {"end now without mail and capture", true, true, true, false, false, 0, 0},
      {"end-now switches without end now", false, true, true, false, false, 1, 1},
      {"end now alone", true, false, false, false, false, 1, 1},
      {"mail switched off for this run", false, false, false, true, false, 0, 1},
      {"capture switched off for this run", false, false, false, false, true, 1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    InstallPower();
    ResetSide();
    ClearModel();
    ScheduleItem& item = Schedule(Shutdown, false);
    item.mailTo = 1;
    item.captureEnabled = 1;
    endNowRequested = row.endNow;
    profileSettings.general.endNowNoMail = row.noMail;
    profileSettings.general.endNowNoCapture = row.noCapture;
    featureOff[1] = row.mailOff;
    featureOff[2] = row.captureOff;
    ASSERT_EQ(kExecuteDone, Run(Shutdown));
    EXPECT_EQ(row.mails, Side().modalDialogs);
    EXPECT_EQ(row.captures, Side().captures);
    EXPECT_EQ(nullptr, mailJob.thread);  // joined before the action
    if (row.mails) {
      EXPECT_EQ(0, Side().mailAfterResume[0]);
      EXPECT_EQ(&item, mailJob.item);
    }
    EXPECT_EQ("exitWindows 0x8", Power().calls.back());
  }
}

TEST_F(ExecutorTest, AFailedCaptureIsLoggedAndTheActionGoesOn) {
  ScheduleItem& item = Schedule(Logoff, false);
  item.captureEnabled = 1;
  Side().captureFails = true;
  ASSERT_EQ(kExecuteDone, Run(Logoff));
  EXPECT_TRUE(LogHas(L"\x25A0キャプチャーエラー\r\nJPEGイメージの作成に失敗しました。"));
  EXPECT_EQ("exitWindows 0x0", Power().calls.back());
}

TEST_F(ExecutorTest, AnAbortDuringTheMailDialogPerformsNothing) {
  ScheduleItem& item = Schedule(Shutdown, false);
  item.mailTo = 1;
  item.captureEnabled = 1;
  HWND owner = owner_;
  Side().duringModalDialog = [owner] {
    // "中断" while the progress dialog is up: the countdown dialog goes away.
    DestroyWindow(owner);
    countdownDialog = nullptr;
  };
  EXPECT_EQ(kExecuteAborted, Run(Shutdown));
  EXPECT_EQ(0, Side().captures);
  for (const std::string& call : Power().calls) EXPECT_EQ(std::string::npos, call.find("exitWindows"));
}

TEST_F(ExecutorTest, WaitingForTheMailThreadStillTakesItsProgressMessages) {
  // The worker sends its step to the owner while the executor waits for it;
  // the wait must deliver that message or both threads would hang.
  ScheduleItem& item = Schedule(Shutdown, false);
  item.mailTo = 1;
  Side().mailSendsProgress = true;
  ASSERT_EQ(kExecuteDone, Run(Shutdown));
  EXPECT_EQ(1, TestWindowMailSteps());
  EXPECT_EQ(nullptr, mailJob.thread);
}

TEST_F(ExecutorTest, AStillRunningAfterResumeMailIsCancelledBeforeTheJobIsReused) {
  ScheduleItem& item = Schedule(Shutdown, false);
  item.mailTo = 1;
  // The previous item's after-resume mail, stuck in its dialogue.
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Side().mailRelease = release;
  mailJob.closeMode = 1;
  mailJob.afterResume = 1;
  ASSERT_TRUE(StartMailJob(&mailJob, MailSendThreadProc));
  const LPARAM previous = MailCompletionOf(&mailJob);
  Side().duringModalDialog = [release] { SetEvent(release); };  // the new mail goes through
  ASSERT_EQ(kExecuteDone, Run(Shutdown));
  EXPECT_EQ(1, Side().mailsCancelled);  // cancelled, not waited out
  EXPECT_TRUE(LogHas(L"\x25A0メール送信エラー\r\n次の項目の時刻になったため、復帰後のメールの送信を中止しました。"));
  EXPECT_EQ(std::vector<int>{0}, Side().mailAfterResume);
  EXPECT_EQ(nullptr, mailJob.thread);
  EXPECT_EQ(nullptr, mailJob.cancelEvent);
  EXPECT_EQ("exitWindows 0x8", Power().calls.back());
  // Both completions are queued; neither names a live worker any more.
  EXPECT_FALSE(IsLiveMailCompletion(&mailJob, previous));
  Side().mailRelease = nullptr;
  CloseHandle(release);
}

TEST_F(ExecutorTest, ARecipientMissingFromTheAddressListIsLoggedAndTheActionRuns) {
  ScheduleItem& item = Schedule(Shutdown, false);
  item.mailTo = 3;  // only one address is listed
  ASSERT_EQ(kExecuteDone, Run(Shutdown));
  EXPECT_EQ(0, Side().mailThreads);
  EXPECT_TRUE(LogHas(L"\x25A0メール送信エラー #40\r\n"));
  EXPECT_EQ("exitWindows 0x8", Power().calls.back());
}

TEST_F(ExecutorTest, TheRealPrivilegeCallsEnableTheShutdownPrivilege) {
  RemovePower();  // only the token calls run; no power call is made here
  EXPECT_TRUE(EnableShutdownPrivilege(owner_));
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  InstallPower();
}

TEST_F(ExecutorTest, TheRealResumeTimerTakesTheDueTimeAsAnAbsoluteDate) {
  RemovePower();  // the timer calls only; nothing sleeps
  const PowerCalls& calls = CurrentPowerCalls();
  SYSTEMTIME now;
  GetLocalTime(&now);
  int64_t dueTime = 0;
  ASSERT_TRUE(PrepareResumeDueTime(AddSeconds(now, 3600), now, &dueTime));
  EXPECT_GT(dueTime, 0);
  HANDLE timer = calls.createResumeTimer();
  ASSERT_NE(nullptr, timer);
  DWORD lastError = 0;
  ASSERT_TRUE(calls.setResumeTimer(timer, dueTime, &lastError));
  EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(timer, 0));  // an hour ahead
  // A date already past fires at once: that is why such a time is never armed.
  ASSERT_TRUE(calls.setResumeTimer(timer, dueTime - 2 * 3600 * 10000000LL, &lastError));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(timer, 5000));
  calls.closeHandle(timer);
  InstallPower();
}

// Runs under TZ=EST5EDT only (its own CTest entry).
TEST_F(ExecutorTest, DaylightSavingResumeDueTimeIsTheAbsoluteUtcTime) {
  TIME_ZONE_INFORMATION zone;
  GetTimeZoneInformation(&zone);
  ASSERT_EQ(300, zone.Bias) << "run with TZ=EST5EDT";
  struct Row {
    SYSTEMTIME local;
    int64_t utc;
  } const rows[] = {
      {MakeTime(2026, 3, 7, 23, 0), UtcFileTime(2026, 3, 8, 4, 0)},    // EST
      {MakeTime(2026, 3, 8, 6, 30), UtcFileTime(2026, 3, 8, 10, 30)},  // EDT
      {MakeTime(2026, 11, 1, 0, 30), UtcFileTime(2026, 11, 1, 4, 30)}, // EDT
      {MakeTime(2026, 11, 1, 6, 0), UtcFileTime(2026, 11, 1, 11, 0)},  // EST
  };
  for (const Row& row : rows) {
    int64_t fileTime = 0;
    ASSERT_TRUE(LocalTimeToUtcFileTime(row.local, &fileTime));
    EXPECT_EQ(row.utc, fileTime);
  }
  // The night the clocks go forward is an hour shorter.
  EXPECT_EQ(6.5 * 3600, SecondsBetween(MakeTime(2026, 3, 8, 6, 30), MakeTime(2026, 3, 7, 23, 0)));
  EXPECT_EQ(9.5 * 3600, SecondsBetween(MakeTime(2026, 11, 1, 6, 0), MakeTime(2026, 10, 31, 21, 30)));

  scheduleMode = DateMode;
  PutItem(0, 0, Hibernate, MakeTime(2026, 3, 7, 23, 0));
  PutItem(0, 1, WakeOnly, MakeTime(2026, 3, 8, 6, 30));
  ASSERT_TRUE(SearchNextDueItem(MakeTime(2026, 3, 7, 22, 0)));
  EXPECT_EQ(-6.5 * 3600, wakeOffsetSeconds);
  EXPECT_EQ(std::wstring(L"復帰時刻\n2026年03月08日(日)　06時30分"), statusResumeText);
  SetNow(MakeTime(2026, 3, 7, 23, 0));
  Power().onSleep = [] { SetNow(MakeTime(2026, 3, 8, 6, 30, 10)); };
  ASSERT_EQ(kExecuteDone, Run(Hibernate));
  ASSERT_EQ(1u, Power().resumeDueTimes.size());
  EXPECT_EQ(UtcFileTime(2026, 3, 8, 10, 30), Power().resumeDueTimes[0]);
  EXPECT_EQ(0, suppressApps);
}

}  // namespace
