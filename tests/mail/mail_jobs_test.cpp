// The scheduled mails of a running schedule against the real test servers:
// the real worker, dialog 148 and the countdown dialog, with the clock, the
// power calls and the countdown's timers replaced (countdown_fakes.h).
#include "mail_jobs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "action_executor.h"
#include "countdown_dialog.h"
#include "countdown_fakes.h"
#include "countdown_test_window.h"
#include "mail_message.h"
#include "main_window_state.h"
#include "message_box_catcher.h"
#include "modal_driver.h"
#include "next_due.h"
#include "mail_job_calls.h"
#include "private_messages.h"
#include "shared/error_log.h"
#include "temp_folder.h"
#include "mail_test_files.h"

#ifndef SOPORA_MAIL_STATE_DIR
#error "SOPORA_MAIL_STATE_DIR must name the mail servers' state folder"
#endif

using namespace countdown_fakes;
using testing_support::PumpMessagesUntil;

namespace {

const std::string kState = SOPORA_MAIL_STATE_DIR;
const SYSTEMTIME kTarget = MakeTime(2026, 12, 10, 22, 0, 0);

using mail_test_files::ReadFile;

// The mail a server recorded for a recipient, or "" while there is none.
std::string Delivered(int port, const std::string& rcpt) { return mail_test_files::Delivered(kState, port, rcpt); }

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring ComputerName() {
  wchar_t name[64] = L"";
  DWORD length = 64;
  GetComputerNameW(name, &length);
  return name;
}

std::wstring ReadLog() {
  const std::string bytes = testing_support::ReadBytes(kSchedulerErrorLogName);
  std::wstring log(bytes.size() / 2, L'\0');
  if (!log.empty()) memcpy(&log[0], bytes.data(), log.size() * 2);
  return log;
}

size_t Count(const std::wstring& text, const std::wstring& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class MailJobsTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    SetErrorLogFileName(kSchedulerErrorLogName);
    ClearModel();
    InstallClock();
    InstallPower();
    InstallTimers();
    ResetSide();
    mainWindow = CreateTestWindow();
    countdownDialog = nullptr;
    countWindow = nullptr;
    MailSettings& mail = profileSettings.mail;
    strcpy(mail.smtpServer, "127.0.0.1");
    strcpy(mail.port, "841");
    strcpy(mail.from, "scheduler@example.test");
    wcscpy(mail.subjects[0], L"<PCNAME>は終了処理に入りました");
    wcscpy(mail.bodies[0], L"<PCNAME>は<TIME>に終了処理に入りました");
    wcscpy(mail.subjects[1], L"<PCNAME>は復帰しました");
    wcscpy(mail.bodies[1], L"<PCNAME>は<TIME>に復帰しました");
  }
  void TearDown() override {
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
    if (IsWindow(mainWindow)) DestroyWindow(mainWindow);
    mainWindow = nullptr;
    RemoveTimers();
    RemovePower();
    RemoveClock();
    TempFolderTest::TearDown();
  }

  void SetAddresses(std::initializer_list<const wchar_t*> addresses) {
    MailSettings& mail = profileSettings.mail;
    memset(mail.addresses, 0, sizeof mail.addresses);
    int n = 0;
    for (const wchar_t* address : addresses) wcscpy(mail.addresses[n++], address);
    mail.addressCount = n;
  }

  // The countdown one second before `action` at 22:00, then the tick at zero.
  void RunToZero() {
    SetNow(AddSeconds(kTarget, -1));
    dialog_ = CreateCountdownDialog();
    ASSERT_NE(nullptr, dialog_);
    AdvanceSeconds(1);
    SendMessageW(dialog_, WM_TIMER, kCountdownTimer, 0);
  }

  bool Performed(const char* prefix) const {
    for (const std::string& call : Power().calls)
      if (call.rfind(prefix, 0) == 0) return true;
    return false;
  }

  HWND dialog_ = nullptr;
};

TEST_F(MailJobsTest, AMailBeforeTheShutdownArrivesWithItsPlaceholdersReplacedFirst) {
  SetAddresses({L"first@example.test", L"second@example.test", L"before@example.test"});
  scheduleMode = DateMode;
  PutItem(0, 0, Shutdown, kTarget).mailTo = 3;  // the third address
  RunToZero();
  // The modal dialog 148 held the executor until the mail was out.
  const std::string mail = Delivered(841, "before@example.test");
  ASSERT_FALSE(mail.empty());
  EXPECT_TRUE(Performed("exitWindows"));
  EXPECT_NE(mail.find("MAILFROM scheduler@example.test\nRCPT before@example.test\n"), std::string::npos);
  const std::wstring name = ComputerName();
  std::string subjectLine;
  ASSERT_TRUE(BuildSubjectLine(name + L"は終了処理に入りました", kCharsetUtf8, &subjectLine));
  EXPECT_NE(mail.find("\r\n" + subjectLine), std::string::npos);
  EXPECT_NE(mail.find("\r\n\r\n" + Utf8(name + L"は2026/12/10 22:00:00に終了処理に入りました") + "\r\n"),
            std::string::npos);
  EXPECT_EQ(nullptr, mailProgressDialog);
  EXPECT_EQ(nullptr, mailJob.thread);
  EXPECT_EQ(nullptr, mailJob.cancelEvent);
  EXPECT_TRUE(ReadLog().empty());
}

TEST_F(MailJobsTest, AMailAfterTheResumeArrivesAfterTheResumeWhileTheCountdownGoesOn) {
  SetAddresses({L"sleep@example.test", L"resume@example.test"});
  scheduleMode = DateMode;
  PutItem(0, 0, Hibernate, kTarget).mailTo = 1;
  PutItem(0, 1, WakeOnly, MakeTime(2026, 12, 11, 6, 0)).mailTo = 2;
  PutItem(0, 2, Shutdown, MakeTime(2026, 12, 11, 23, 0));
  bool beforeMailWasOut = false;
  bool resumeMailBeforeSleep = true;
  Power().onSleep = [&] {
    beforeMailWasOut = !Delivered(841, "sleep@example.test").empty();
    resumeMailBeforeSleep = !Delivered(841, "resume@example.test").empty();
    SetNow(MakeTime(2026, 12, 11, 6, 0, 5));
  };
  RunToZero();
  EXPECT_TRUE(beforeMailWasOut);
  EXPECT_FALSE(resumeMailBeforeSleep);
  // Modeless: the countdown runs on while dialog 148 is up.
  ASSERT_TRUE(PumpMessagesUntil([] { return mailJob.thread == nullptr; }, 60000));
  EXPECT_EQ(nullptr, mailProgressDialog);  // destroyed with the completion
  const std::string mail = Delivered(841, "resume@example.test");
  ASSERT_FALSE(mail.empty());
  EXPECT_NE(mail.find(Utf8(ComputerName() + L"は2026/12/11 06:00:05に復帰しました")), std::string::npos);
  EXPECT_TRUE(IsWindow(dialog_));
}

TEST_F(MailJobsTest, ARefusedRecipientIsLoggedOnceAndTheActionStillRuns) {
  strcpy(profileSettings.mail.port, "852");  // answers RCPT with 550
  SetAddresses({L"refused@example.test"});
  scheduleMode = DateMode;
  PutItem(0, 0, Shutdown, kTarget).mailTo = 1;
  RunToZero();
  EXPECT_TRUE(Performed("exitWindows"));
  const std::wstring log = ReadLog();
  EXPECT_EQ(1u, Count(log, L"SMTP ERROR 550")) << Utf8(log);
  EXPECT_EQ(1u, Count(log, L"\x25A0"));
  EXPECT_TRUE(testing_support::CaughtMessageBoxes().empty());
}

TEST_F(MailJobsTest, TheOwnerWaitingWithoutPumpingOnAScheduledWorkerIsNeverBlocked) {
  SetAddresses({L"nopump@example.test"});
  PutItem(0, 0, Shutdown, kTarget).mailTo = 1;
  MailJob job{};
  job.owner = mainWindow;
  ASSERT_TRUE(ComposeNotificationMail(scheduleTable[0][0], 0, &job.request));
  ASSERT_TRUE(StartMailJob(&job, MailSendThreadProc));
  // No message of this thread is delivered meanwhile: the worker only notifies and posts.
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(job.thread, 60000));
  JoinMailJob(&job);
  EXPECT_FALSE(Delivered(841, "nopump@example.test").empty());
  testing_support::PumpPendingMessages();
  EXPECT_EQ(10, TestWindowMailSteps());
  // The request is wiped after the join.
  EXPECT_EQ('\0', job.request.to[0]);
  EXPECT_EQ('\0', job.request.server[0]);
}

TEST_F(MailJobsTest, TheWorkerSendsWhatTheJobHeldWhenItStarted) {
  SetAddresses({L"held@example.test", L"other@example.test"});
  ScheduleItem& item = PutItem(0, 0, Shutdown, kTarget);
  item.mailTo = 1;
  MailJob job{};
  job.owner = mainWindow;
  ASSERT_TRUE(ComposeNotificationMail(item, 0, &job.request));
  ASSERT_TRUE(StartMailJob(&job, MailSendThreadProc));
  // The profile and the item change at once; the worker reads neither.
  item.mailTo = 2;
  MailSettings& mail = profileSettings.mail;
  strcpy(mail.port, "852");
  strcpy(mail.from, "changed@example.test");
  wcscpy(mail.subjects[0], L"changed");
  wcscpy(mail.addresses[0], L"changed@example.test");
  JoinMailJob(&job);
  const std::string sent = Delivered(841, "held@example.test");
  ASSERT_FALSE(sent.empty());
  EXPECT_NE(sent.find("MAILFROM scheduler@example.test\n"), std::string::npos);
  EXPECT_TRUE(Delivered(841, "other@example.test").empty());
  EXPECT_TRUE(ReadLog().empty());
}

// A tray menu opened while dialog 148 waits: the completion arrives inside the
// menu's loop and must still close the dialog and let the action run.
HMENU trayMenu;
bool menuShown;
void CALLBACK MenuDuringMail(HWND, UINT, UINT_PTR, DWORD) {
  if (!menuShown) {
    if (!mailProgressDialog) return;
    menuShown = true;
    POINT at = {10, 10};
    TrackPopupMenu(trayMenu, TPM_RETURNCMD, at.x, at.y, 0, mainWindow, nullptr);
    return;
  }
  if (mailJob.thread == nullptr) EndMenu();  // the live completion was taken inside the menu
}

TEST_F(MailJobsTest, ATrayMenuOpenedDuringTheWaitDoesNotLoseTheLiveCompletion) {
  SetAddresses({L"menu@example.test"});
  strcpy(profileSettings.mail.port, "854");  // replies line by line: the mail takes a while
  scheduleMode = DateMode;
  PutItem(0, 0, Shutdown, kTarget).mailTo = 1;
  trayMenu = CreatePopupMenu();
  AppendMenuW(trayMenu, MF_STRING, 0x8003, L"中断");
  menuShown = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, MenuDuringMail);
  RunToZero();
  KillTimer(nullptr, timer);
  DestroyMenu(trayMenu);
  EXPECT_TRUE(menuShown);
  EXPECT_TRUE(Performed("exitWindows"));
  EXPECT_FALSE(Delivered(854, "menu@example.test").empty());
  EXPECT_EQ(nullptr, mailProgressDialog);
  EXPECT_EQ(nullptr, mailJob.thread);
}

// A hibernate at 22:00 whose resume at 06:00 sends its mail to `port`; the
// machine is back at 06:00:05, and `next` follows at `nextAt`.
void ScheduleResumeMail(const char* port, PowerAction next, const SYSTEMTIME& nextAt) {
  strcpy(profileSettings.mail.port, port);
  scheduleMode = DateMode;
  PutItem(0, 0, Hibernate, kTarget);
  PutItem(0, 1, WakeOnly, MakeTime(2026, 12, 11, 6, 0)).mailTo = 1;
  PutItem(0, 2, next, nextAt);
  Power().onSleep = [] { SetNow(MakeTime(2026, 12, 11, 6, 0, 5)); };
}

TEST_F(MailJobsTest, AStaleCompletionCarryingTheLiveWorkersThreadIdIsIgnored) {
  SetAddresses({L"stale@example.test"});
  ScheduleResumeMail("853", Shutdown, MakeTime(2026, 12, 11, 23, 0));  // 853 never answers EHLO
  RunToZero();
  ASSERT_NE(nullptr, mailJob.thread);
  ASSERT_NE(nullptr, mailProgressDialog);
  // Thread ids are reused: a completion left queued by a worker joined
  // earlier can carry the id the live worker has now.
  const DWORD start = GetTickCount();
  PostMessageW(dialog_, kMsgMailDone, 1, static_cast<LPARAM>(GetThreadId(mailJob.thread)));
  testing_support::PumpPendingMessages();
  EXPECT_LT(GetTickCount() - start, 2000u) << "the stale completion was waited on";
  EXPECT_NE(nullptr, mailJob.thread);
  EXPECT_NE(nullptr, mailProgressDialog);
  // The real Cancel button ends the live worker at once; its own completion finishes the job.
  ASSERT_NE(nullptr, mailProgressDialog);
  SendDlgItemMessageW(mailProgressDialog, 1093, BM_CLICK, 0, 0);
  EXPECT_TRUE(PumpMessagesUntil([] { return mailJob.thread == nullptr; }, 5000));
  EXPECT_EQ(nullptr, mailProgressDialog);
  EXPECT_LT(GetTickCount() - start, 5000u);
}

TEST_F(MailJobsTest, AResumeMailCancelledBecauseTheNextItemFallsDueIsLogged) {
  SetAddresses({L"lost@example.test"});
  const SYSTEMTIME next = MakeTime(2026, 12, 11, 6, 0, 10);
  ScheduleResumeMail("853", Shutdown, next);
  RunToZero();
  ASSERT_NE(nullptr, mailJob.thread);  // still waiting for the server
  SetNow(next);
  SendMessageW(dialog_, WM_TIMER, kCountdownTimer, 0);
  EXPECT_TRUE(Performed("exitWindows"));
  EXPECT_EQ(nullptr, mailJob.thread);
  const std::wstring log = ReadLog();
  EXPECT_EQ(1u, Count(log, L"\x25A0メール送信エラー\r\n次の項目の時刻になったため、復帰後のメールの送信を中止しました。\r\n"))
      << Utf8(log);
  EXPECT_TRUE(Delivered(853, "lost@example.test").empty());
}

TEST_F(MailJobsTest, AResumeMailStoppedByTheRunsAbortIsLogged) {
  SetAddresses({L"aborted@example.test"});
  ScheduleResumeMail("853", Shutdown, MakeTime(2026, 12, 11, 6, 0, 10));
  RunToZero();
  ASSERT_NE(nullptr, mailJob.thread);  // still waiting for the server
  DestroyWindow(dialog_);
  EXPECT_EQ(nullptr, mailJob.thread);
  const std::wstring log = ReadLog();
  EXPECT_EQ(1u, Count(log, L"\x25A0メール送信エラー\r\n中断または終了により、メールの送信を中止しました。\r\n"))
      << Utf8(log);
  EXPECT_TRUE(Delivered(853, "aborted@example.test").empty());
}

TEST_F(MailJobsTest, AResumeMailThatWentOutBeforeTheNextItemLeavesNoLine) {
  SetAddresses({L"done@example.test"});
  const SYSTEMTIME next = MakeTime(2026, 12, 11, 6, 0, 10);
  ScheduleResumeMail("841", Shutdown, next);
  RunToZero();
  ASSERT_TRUE(PumpMessagesUntil([] { return !Delivered(841, "done@example.test").empty(); }, 20000));
  SetNow(next);
  SendMessageW(dialog_, WM_TIMER, kCountdownTimer, 0);
  EXPECT_TRUE(Performed("exitWindows"));
  EXPECT_TRUE(ReadLog().empty()) << Utf8(ReadLog());
}

// Presses the real Cancel button of the modal dialog 148 once it has been up a while.
DWORD progressShownAt;
bool cancelPressed;
void CALLBACK PressCancelDuringMail(HWND, UINT, UINT_PTR, DWORD) {
  if (cancelPressed || !mailProgressDialog) return;
  if (progressShownAt == 0) progressShownAt = GetTickCount();
  if (GetTickCount() - progressShownAt < 500) return;
  cancelPressed = true;
  SendDlgItemMessageW(mailProgressDialog, 1093, BM_CLICK, 0, 0);
}

TEST_F(MailJobsTest, TheCancelButtonOfTheModalDialogEndsASlowMailAtOnce) {
  SetAddresses({L"slow@example.test"});
  strcpy(profileSettings.mail.port, "853");  // takes the connection, never answers EHLO
  scheduleMode = DateMode;
  PutItem(0, 0, Shutdown, kTarget).mailTo = 1;
  progressShownAt = 0;
  cancelPressed = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, PressCancelDuringMail);
  const DWORD start = GetTickCount();
  RunToZero();
  KillTimer(nullptr, timer);
  EXPECT_TRUE(cancelPressed);
  EXPECT_LT(GetTickCount() - start, 5000u) << "the action waited for the server's time-out";
  EXPECT_TRUE(Performed("exitWindows"));
  EXPECT_EQ(nullptr, mailProgressDialog);
  EXPECT_EQ(nullptr, mailJob.thread);
  EXPECT_TRUE(testing_support::CaughtMessageBoxes().empty());
}

TEST(ComposeNotificationMailTest, RecipientIsCheckedAgainstTheAddressCount) {
  ClearModel();
  MailSettings& mail = profileSettings.mail;
  wcscpy(mail.addresses[0], L"one@example.test");
  wcscpy(mail.addresses[1], L"two@example.test");
  wcscpy(mail.addresses[2], L"ｗｉｄｅ@example.test");  // hand-edited: cannot be sent
  mail.addressCount = 3;
  memset(mail.smtpServer, 'x', sizeof mail.smtpServer);  // unterminated in the file
  ScheduleItem item{};
  MailRequest request;
  const struct {
    int32_t mailTo;
    bool composed;
    const char* to;
  } kCases[] = {{1, true, "one@example.test"}, {2, true, "two@example.test"}, {3, false, ""},
                {4, false, ""},  {0, false, ""}, {6, false, ""}, {-1, false, ""}};
  for (const auto& c : kCases) {
    item.mailTo = c.mailTo;
    memset(&request, 0x55, sizeof request);
    EXPECT_EQ(c.composed, ComposeNotificationMail(item, 0, &request)) << c.mailTo;
    EXPECT_STREQ(c.to, request.to) << c.mailTo;
    if (c.composed) {
      EXPECT_EQ(255u, strlen(request.server));  // bounded and terminated
    }
  }
}

}  // namespace
