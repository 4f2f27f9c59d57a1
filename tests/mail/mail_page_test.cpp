// The mail page in the real settings sheet under Xvfb, and the test mail it
// sends from dialog 217 to the real test servers.
#include "mail_page.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <wincrypt.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "mail_jobs.h"
#include "mail_progress_dialog.h"
#include "main_window_state.h"
#include "message_box_catcher.h"
#include "modal_driver.h"
#include "schedule_model.h"
#include "settings_sheet.h"
#include "mail_test_files.h"

#ifndef SOPORA_MAIL_STATE_DIR
#error "SOPORA_MAIL_STATE_DIR must name the mail servers' state folder"
#endif

using testing_support::CaughtMessageBox;
using testing_support::CaughtMessageBoxes;
using testing_support::ClearCaughtMessageBoxes;
using testing_support::SetMessageBoxAnswer;

namespace {

const std::string kState = SOPORA_MAIL_STATE_DIR;

using mail_test_files::ReadFile;

std::string Delivered(int port, const std::string& rcpt) { return mail_test_files::Delivered(kState, port, rcpt); }

// The test CA joins this prefix's own ROOT store (never the host's).
class TestCaEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(mail_test_files::TrustTestCa(kState)) << "no test CA in " << kState; }
};
::testing::Environment* const caEnvironment = ::testing::AddGlobalTestEnvironment(new TestCaEnvironment);

// The test worker's message boxes are caught on its own thread.
thread_local testing_support::MessageBoxCatcher* workerCatcher;
void WorkerStarted() { workerCatcher = new testing_support::MessageBoxCatcher; }
void WorkerEnding() {
  delete workerCatcher;
  workerCatcher = nullptr;
}

// A script of steps run from a thread timer, so that it also runs inside the
// sheet's and the dialogs' modal loops: each step waits for its condition,
// then acts (posting, so that no step blocks inside another).
struct Step {
  std::function<bool()> ready;
  std::function<void()> act;
};
std::vector<Step> script;
size_t scriptAt;
DWORD scriptStart;
bool scriptTimedOut;

void CALLBACK RunScript(HWND, UINT, UINT_PTR, DWORD) {
  HWND sheet = settingsSheetState.sheetWindow;
  if (GetTickCount() - scriptStart > 30000) {
    // Never leave the sheet open: the test fails and ends.
    scriptTimedOut = true;
    scriptAt = script.size();
    if (sheet) PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  if (scriptAt >= script.size() || !script[scriptAt].ready()) return;
  std::function<void()> act = script[scriptAt].act;
  ++scriptAt;
  act();
}

HWND Page() { return settingsSheetState.pageWindows[kMailPage - 1]; }
HWND TestDialog() { return testing_support::FindThreadDialogWithControl(1152); }

void Click(HWND window, int id) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}
void Type(int id, const wchar_t* text) { SetDlgItemTextW(Page(), id, text); }
void Select(int id, int index) { SendDlgItemMessageW(Page(), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
void Check(int id, bool on) { CheckDlgButton(Page(), id, on ? BST_CHECKED : BST_UNCHECKED); }

std::wstring Text(HWND window, int id) {
  wchar_t text[512] = L"";
  GetDlgItemTextW(window, id, text, 512);
  return text;
}

int ListCount() { return static_cast<int>(SendDlgItemMessageW(Page(), kMailAddressList, LVM_GETITEMCOUNT, 0, 0)); }
int ComboCount(int id) { return static_cast<int>(SendDlgItemMessageW(Page(), id, CB_GETCOUNT, 0, 0)); }

std::wstring ComboText(int id, int index) {
  wchar_t text[300] = L"";
  SendDlgItemMessageW(Page(), id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return text;
}

void SelectListRow(int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageW(Page(), kMailAddressList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(&item));
}

const SettingsPageEntry kPages[1] = {{161, L"メール", MailPageDlgProc, MailPageTemplate()}};

class MailPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearScheduleTable(scheduleTable, orderTable);
    std::memset(&profileSettings, 0, sizeof profileSettings);
    scheduleMode = DateMode;
    // A server and a port, so that OK passes with a recipient set.
    strcpy(profileSettings.mail.smtpServer, "smtp.x");
    strcpy(profileSettings.mail.port, "25");
    ClearCaughtMessageBoxes();
    SetMessageBoxAnswer(IDOK);
    SetMailWorkerThreadHooks(WorkerStarted, WorkerEnding);
    owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  void TearDown() override {
    SetMailWorkerThreadHooks(nullptr, nullptr);
    SetMessageBoxAnswer(IDOK);
    DestroyWindow(owner_);
  }

  void Item(int pos, PowerAction action, int mailTo) {
    scheduleTable[0][pos].action = action;
    scheduleTable[0][pos].mailTo = mailTo;
    orderTable[0][pos] = pos;
  }
  void Addresses(std::initializer_list<const wchar_t*> addresses) {
    int n = 0;
    for (const wchar_t* a : addresses) wcscpy(profileSettings.mail.addresses[n++], a);
    profileSettings.mail.addressCount = n;
  }
  // Runs the sheet with the script; the last step must close it.
  void Run(std::vector<Step> steps, bool allSteps = true) {
    script = std::move(steps);
    scriptAt = 0;
    scriptTimedOut = false;
    scriptStart = GetTickCount();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, RunScript);
    OpenSettingsSheet(owner_, kPages, 1);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(scriptTimedOut) << "stopped at step " << scriptAt;
    if (allSteps) {
      EXPECT_EQ(scriptAt, script.size());
    }
  }
  static Step Do(std::function<void()> act) { return {[] { return Page() != nullptr; }, std::move(act)}; }
  static Step Ok() {
    return Do([] { PostMessageW(settingsSheetState.sheetWindow, WM_COMMAND, IDOK, 0); });
  }
  static Step Cancel() {
    return Do([] { PostMessageW(settingsSheetState.sheetWindow, WM_COMMAND, IDCANCEL, 0); });
  }
  static Step After(std::function<bool()> ready, std::function<void()> act) {
    return {std::move(ready), std::move(act)};
  }

  HWND owner_ = nullptr;
};

std::vector<CaughtMessageBox> BoxesOnThisThread() {
  std::vector<CaughtMessageBox> out;
  for (const CaughtMessageBox& box : CaughtMessageBoxes())
    if (box.threadId == GetCurrentThreadId()) out.push_back(box);
  return out;
}

TEST_F(MailPageTest, AddingAnAddressChecksItWithTheExactMessages) {
  const wchar_t* const kWide = L"全角文字が含まれています";
  const wchar_t* const kBad = L"不正なメールアドレス形式です";
  const struct {
    const wchar_t* text;
    const wchar_t* message;  // null: added without a box
  } kCases[] = {
      {L"one@example.test", nullptr},
      {L"ＡＢＣ@example.test", kWide},
      {L"ﾃｽﾄ@example.test", kWide},
      {L"caf\u00e9@example.test", kWide},
      {L"@example.test", kBad},
      {L"user@", kBad},
      {L"user.example.test", kBad},
      {L"a@b@example.test", kBad},
      {L"user name@example.test", kBad},
      {L"<user@example.test>", kBad},
      {L"user@example.test>SIZE=1", kBad},
      {L"tab\t@example.test", kBad},
      {L"two@example.test", nullptr},
  };
  std::vector<int> listCounts;
  std::vector<Step> steps;
  for (const auto& c : kCases) {
    steps.push_back(Do([&c] {
      Type(kMailNewAddressEdit, c.text);
      Click(Page(), kMailAddButton);
    }));
    steps.push_back(Do([&listCounts] { listCounts.push_back(ListCount()); }));
  }
  steps.push_back(Cancel());
  Run(steps);
  const auto boxes = BoxesOnThisThread();
  size_t box = 0;
  int expectedCount = 0;
  for (size_t i = 0; i < std::size(kCases); ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    if (kCases[i].message == nullptr) {
      ++expectedCount;
    } else {
      ASSERT_LT(box, boxes.size());
      EXPECT_EQ(boxes[box].caption, L"エラー");
      EXPECT_EQ(boxes[box].text, kCases[i].message);
      ++box;
    }
    EXPECT_EQ(listCounts.at(i), expectedCount);
  }
  EXPECT_EQ(box, boxes.size());
  EXPECT_EQ(profileSettings.mail.addressCount, 0);  // Cancel stores nothing
}

TEST_F(MailPageTest, ASameAddressInOtherCaseAddsNothingAndTheSixthIsRefused) {
  Addresses({L"a@x", L"b@x", L"c@x", L"d@x"});
  int afterSame = -1;
  int afterFifth = -1;
  std::wstring editAfterAdd = L"?";
  Run({Do([] {
         Type(kMailNewAddressEdit, L"B@X");
         Click(Page(), kMailAddButton);
       }),
       Do([&] {
         afterSame = ListCount();
         Type(kMailNewAddressEdit, L"e@x");
         Click(Page(), kMailAddButton);
       }),
       Do([&] {
         afterFifth = ListCount();
         editAfterAdd = Text(Page(), kMailNewAddressEdit);
         Type(kMailNewAddressEdit, L"f@x");
         Click(Page(), kMailAddButton);
       }),
       Ok()});
  EXPECT_EQ(afterSame, 4);
  EXPECT_EQ(afterFifth, 5);
  EXPECT_EQ(editAfterAdd, L"");
  const auto boxes = BoxesOnThisThread();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"登録できるのは5個までです");
  EXPECT_EQ(boxes[0].caption, L"");
  EXPECT_EQ(profileSettings.mail.addressCount, 5);
  EXPECT_STREQ(profileSettings.mail.addresses[4], L"e@x");
}

TEST_F(MailPageTest, DeletingAnAddressThatAnItemUsesKeepsTheOtherItemsAddresses) {
  Addresses({L"first@x", L"second@x", L"third@x"});
  Item(0, Shutdown, 2);
  Item(1, Restart, 3);
  Item(2, Logoff, 1);
  std::vector<std::wstring> combo;
  SetMessageBoxAnswer(IDYES);
  Run({Do([] {
         SelectListRow(1);
         Click(Page(), kMailDeleteButton);
       }),
       Do([&] {
         for (int i = 0; i < ComboCount(kMailToCombo); ++i) combo.push_back(ComboText(kMailToCombo, i));
       }),
       Ok()});
  const auto boxes = BoxesOnThisThread();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"このメールアドレスは既に設定されています。\n削除してもよろしいですか？");
  EXPECT_EQ(combo, (std::vector<std::wstring>{L"送信しない", L"first@x", L"third@x"}));
  EXPECT_EQ(scheduleTable[0][0].mailTo, 0);
  EXPECT_EQ(scheduleTable[0][1].mailTo, 2);  // still the former third address
  EXPECT_EQ(scheduleTable[0][2].mailTo, 1);
  EXPECT_EQ(profileSettings.mail.addressCount, 2);
  EXPECT_STREQ(profileSettings.mail.addresses[1], L"third@x");
  EXPECT_STREQ(profileSettings.mail.addresses[2], L"");
}

TEST_F(MailPageTest, AnsweringNoKeepsTheAddressAndItsItems) {
  Addresses({L"first@x", L"second@x"});
  Item(0, Shutdown, 2);
  SetMessageBoxAnswer(IDNO);
  Run({Do([] {
         SelectListRow(1);
         Click(Page(), kMailDeleteButton);
       }),
       Ok()});
  EXPECT_EQ(BoxesOnThisThread().size(), 1u);
  EXPECT_EQ(profileSettings.mail.addressCount, 2);
  EXPECT_EQ(scheduleTable[0][0].mailTo, 2);
}

TEST_F(MailPageTest, RecipientsAreSetForTheSelectedItemAndForAKindOfItem) {
  Addresses({L"first@x", L"second@x"});
  Item(0, Standby, 0);
  Item(1, Standby, 0);
  Item(2, WakeOnly, 0);
  Item(3, Shutdown, 0);
  Item(4, Hibernate, 0);
  std::vector<int32_t> afterSleep;
  Run({Do([] {
         Select(kMailToCombo, 2);
         PostMessageW(Page(), WM_COMMAND, 0x8017, 0);  // "全てのスリープ時"
       }),
       Do([&] {
         for (int i = 0; i < 5; ++i) afterSleep.push_back(settingsSheetState.workingMailTo[0][i]);
         Select(kMailToCombo, 1);
         PostMessageW(Page(), WM_COMMAND, 0x8019, 0);  // "全ての終了時": all but the resume items
       }),
       Do([] {
         settingsSheetState.selectedRow = 0;
         settingsSheetState.selectedPosition = 2;
         Select(kMailToCombo, 2);
         Click(Page(), settingsSheetState.setButton ? GetDlgCtrlID(settingsSheetState.setButton) : 1579);
       }),
       Ok()});
  EXPECT_EQ(afterSleep, (std::vector<int32_t>{2, 2, 0, 0, 0}));
  const int32_t expected[5] = {1, 1, 2, 1, 1};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(scheduleTable[0][i].mailTo, expected[i]) << i;
}

TEST_F(MailPageTest, TheOkCheckRefusesMissingServerPortOrABadSenderOnlyWithARecipient) {
  const struct {
    int mailTo;
    const wchar_t* server;
    const wchar_t* port;
    const wchar_t* from;
    const wchar_t* message;  // null: stored
    const wchar_t* caption;
  } kCases[] = {
      {1, L"", L"25", L"me@x", L"smtpサーバーが設定されていません。", L""},
      {1, L"smtp.x", L"", L"me@x", L"ポート番号が入力されていません。", L""},
      {1, L"", L"", L"me@x", L"smtpサーバーが設定されていません。", L""},
      {1, L"smtp.x", L"25", L"me x@y", L"不正なメールアドレス形式です", L"エラー"},
      {1, L"smtp.x", L"25", L"ｍｅ@x", L"全角文字が含まれています", L"エラー"},
      {1, L"smtp.x", L"25", L"me@x> SIZE=1", L"不正なメールアドレス形式です", L"エラー"},
      {1, L"smtp.x", L"25", L"me@x", nullptr, nullptr},
      {1, L"smtp.x", L"25", L"", nullptr, nullptr},
      {0, L"", L"", L"me x@y", nullptr, nullptr},  // no recipient: nothing is checked
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    SetUp();
    Addresses({L"to@x"});
    Item(0, Shutdown, c.mailTo);
    strcpy(profileSettings.mail.smtpServer, "old.server");
    bool stillOpen = false;
    Run({Do([&c] {
           Click(Page(), kMailSendSettingsButton);
           Type(kMailServerEdit, c.server);
           Type(kMailPortEdit, c.port);
           Type(kMailFromEdit, c.from);
         }),
         Ok(), Do([&stillOpen] {
           stillOpen = true;
           PostMessageW(settingsSheetState.sheetWindow, WM_COMMAND, IDCANCEL, 0);
         })},
        c.message != nullptr);
    const auto boxes = BoxesOnThisThread();
    if (c.message == nullptr) {
      EXPECT_TRUE(boxes.empty());
      EXPECT_FALSE(stillOpen);
      EXPECT_EQ(std::string(profileSettings.mail.smtpServer),
                std::string(c.server[0] ? "smtp.x" : ""));
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, c.message);
      EXPECT_EQ(boxes[0].caption, c.caption);
      EXPECT_TRUE(stillOpen);
      EXPECT_STREQ(profileSettings.mail.smtpServer, "old.server");  // nothing stored
    }
    ClearCaughtMessageBoxes();
    TearDown();
  }
}

TEST_F(MailPageTest, EveryFieldIsStoredOnOkAndNothingOnCancel) {
  Addresses({L"to@x"});
  Item(0, Shutdown, 1);
  wcscpy(profileSettings.mail.subjects[1], L"after");
  auto edit = [] {
    Click(Page(), kMailSendSettingsButton);
    Type(kMailServerEdit, L"smtp.example.test");
    Type(kMailPortEdit, L"587");
    Check(kMailLogonCheck, true);
    Type(kMailAccountEdit, L"user");
    Type(kMailPasswordEdit, L"pass word");
    Select(kMailSecurityCombo, 2);
    Select(kMailCharsetCombo, 1);
    Type(kMailFromEdit, L"me@example.test");
    SetFocus(GetDlgItem(Page(), kMailSubjectEdit));
    Type(kMailSubjectEdit, L"件名 <TIME>");
    SendDlgItemMessageW(Page(), kMailSubjectEdit, EM_SETMODIFY, TRUE, 0);
  };
  Run({Do(edit), Cancel()});
  EXPECT_STREQ(profileSettings.mail.smtpServer, "smtp.x");
  EXPECT_STREQ(profileSettings.mail.subjects[0], L"");
  // OK while the subject edit still has the focus keeps the edit.
  Run({Do(edit), Ok()});
  const MailSettings& mail = profileSettings.mail;
  EXPECT_STREQ(mail.smtpServer, "smtp.example.test");
  EXPECT_STREQ(mail.port, "587");
  EXPECT_EQ(mail.useAuth, 1);
  EXPECT_STREQ(mail.account, "user");
  EXPECT_STREQ(mail.password, "pass word");
  EXPECT_EQ(mail.security, 2);
  EXPECT_EQ(mail.charset, 1);
  EXPECT_STREQ(mail.from, "me@example.test");
  char none[32] = "";
  WideCharToMultiByte(CP_ACP, 0, L"送信しない", -1, none, sizeof none, nullptr, nullptr);
  EXPECT_STREQ(mail.toText, none);  // in the system code page
  EXPECT_STREQ(mail.subjects[0], L"件名 <TIME>");
  EXPECT_STREQ(mail.subjects[1], L"after");
  EXPECT_EQ(mail.addressCount, 1);
  EXPECT_EQ(scheduleTable[0][0].mailTo, 1);
}

TEST_F(MailPageTest, TemplatesSwitchWithTheRadioButtonsAndKeepEdits) {
  wcscpy(profileSettings.mail.subjects[0], L"before");
  wcscpy(profileSettings.mail.subjects[1], L"after");
  std::vector<std::wstring> shown;
  auto choose = [](int id) {
    CheckRadioButton(Page(), kMailBeforeRadio, kMailAfterRadio, id);
    Click(Page(), id);
  };
  Run({Do([] {
         Click(Page(), kMailSendSettingsButton);
         Type(kMailSubjectEdit, L"edited");
         SendDlgItemMessageW(Page(), kMailSubjectEdit, EM_SETMODIFY, TRUE, 0);
       }),
       Do([&] { choose(kMailAfterRadio); }), Do([&] { shown.push_back(Text(Page(), kMailSubjectEdit)); }),
       Do([&] { Click(Page(), kMailDefaultTextButton); }),
       Do([&] {
         shown.push_back(Text(Page(), kMailSubjectEdit));
         shown.push_back(Text(Page(), kMailBodyEdit));
         choose(kMailBeforeRadio);
       }),
       Do([&] { shown.push_back(Text(Page(), kMailSubjectEdit)); }), Ok()});
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"after", L"<PCNAME>は復帰しました", L"<PCNAME>は<TIME>に復帰しました",
                                              L"edited"}));
  EXPECT_STREQ(profileSettings.mail.subjects[0], L"edited");
  EXPECT_STREQ(profileSettings.mail.subjects[1], L"<PCNAME>は復帰しました");
}

TEST_F(MailPageTest, TheTestSendChecksItsFieldsInOrder) {
  const struct {
    bool addresses;
    const wchar_t* server;
    const wchar_t* port;
    bool logon;
    const wchar_t* account;
    const wchar_t* password;
    const wchar_t* from;
    const wchar_t* message;
    const wchar_t* caption;
  } kCases[] = {
      {false, L"s", L"25", false, L"", L"", L"", L"リストにメールアドレスが1つも登録されていません。\n"
                                                 L"戻ってリストにメールアドレスを追加して下さい。", L""},
      {true, L"", L"", true, L"", L"", L"", L"smtpサーバーが入力されていません。", L""},
      {true, L"s", L"", true, L"", L"", L"", L"ポート番号が入力されていません。", L""},
      {true, L"s", L"25", true, L"", L"", L"", L"アカウント名が入力されていません。", L""},
      {true, L"s", L"25", true, L"a", L"", L"", L"パスワードが入力されていません。", L""},
      {true, L"s", L"25", false, L"", L"", L"a<b@c", L"不正なメールアドレス形式です", L"エラー"},
      {true, L"s", L"25", false, L"", L"", L"ａ@c", L"全角文字が含まれています", L"エラー"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    SetUp();
    if (c.addresses) Addresses({L"to@x"});
    Run({Do([&c] {
           Click(Page(), kMailSendSettingsButton);
           Type(kMailServerEdit, c.server);
           Type(kMailPortEdit, c.port);
           Check(kMailLogonCheck, c.logon);
           Type(kMailAccountEdit, c.account);
           Type(kMailPasswordEdit, c.password);
           Type(kMailFromEdit, c.from);
           Click(Page(), kMailTestSendButton);
         }),
         Cancel()});
    const auto boxes = BoxesOnThisThread();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_EQ(boxes[0].caption, c.caption);
    ClearCaughtMessageBoxes();
    TearDown();
  }
}

// --- Test mails to the real servers ---------------------------------------------

struct TestMail {
  int port;
  const wchar_t* server;
  bool logon;
  int security;
  const wchar_t* password;
  const wchar_t* to;
};

std::vector<CaughtMessageBox> WorkerBoxes() {
  std::vector<CaughtMessageBox> out;
  for (const CaughtMessageBox& box : CaughtMessageBoxes())
    if (box.threadId != GetCurrentThreadId()) out.push_back(box);
  return out;
}

class TestMailTest : public MailPageTest {
 protected:
  // Fills the page, opens dialog 217, presses "送信"; `during` runs while
  // dialog 148 is up; then waits for the end and closes both.
  void Send(const TestMail& m, std::function<bool()> duringReady = nullptr,
            std::function<void()> during = nullptr) {
    Addresses({m.to});
    std::vector<Step> steps = {
        Do([m] {
          Click(Page(), kMailSendSettingsButton);
          Type(kMailServerEdit, m.server);
          Type(kMailPortEdit, std::to_wstring(m.port).c_str());
          Check(kMailLogonCheck, m.logon);
          Type(kMailAccountEdit, m.to);
          Type(kMailPasswordEdit, m.password);
          Select(kMailSecurityCombo, m.security);
          Select(kMailCharsetCombo, 0);
          Type(kMailFromEdit, L"page@example.test");
          Type(kMailSubjectEdit, L"テスト <PCNAME>");
          Type(kMailBodyEdit, L"本文\r\n.dot");
          Click(Page(), kMailTestSendButton);
        }),
        After([] { return TestDialog() != nullptr; },
              [this] {
                dialogCaption_ = [] {
                  wchar_t caption[64] = L"";
                  GetWindowTextW(TestDialog(), caption, 64);
                  return std::wstring(caption);
                }();
                recipientShown_ = Text(TestDialog(), 1152);
                Click(TestDialog(), IDOK);
              }),
        After([] { return testMailProgressDialog != nullptr; },
              [this] {
                ++progressOpened_;
                progressCaption_ = [] {
                  wchar_t caption[64] = L"";
                  GetWindowTextW(testMailProgressDialog, caption, 64);
                  return std::wstring(caption);
                }();
              }),
    };
    // Further mails from the same dialog, each once the one before is done.
    for (int i = 1; i < sendTimes_; ++i) {
      steps.push_back(After([] { return testMailProgressDialog == nullptr && TestDialog() != nullptr; },
                            [] { Click(TestDialog(), IDOK); }));
      steps.push_back(After([] { return testMailProgressDialog != nullptr; }, [this] { ++progressOpened_; }));
    }
    if (during) steps.push_back(After(duringReady, during));
    steps.push_back(After([] { return testMailProgressDialog == nullptr && TestDialog() != nullptr; },
                          [] { Click(TestDialog(), IDCANCEL); }));
    steps.push_back(After([] { return TestDialog() == nullptr; },
                          [] { PostMessageW(settingsSheetState.sheetWindow, WM_COMMAND, IDCANCEL, 0); }));
    Run(steps);
  }
  int sendTimes_ = 1;
  int progressOpened_ = 0;
  std::wstring dialogCaption_;
  std::wstring progressCaption_;
  std::wstring recipientShown_;
};

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (const wchar_t* p = text; *p; ++p) out += static_cast<char>(*p);
  return out;
}

TEST_F(TestMailTest, ATestMailArrivesWithThePagesSettingsInEveryMode) {
  const struct {
    TestMail mail;
    const char* auth;
  } kCases[] = {
      {{841, L"127.0.0.1", false, 0, L"", L"page-plain@example.test"}, "AUTH none -"},
      {{842, L"127.0.0.1", true, 0, L"s3cret-pass", L"page-login@example.test"}, "AUTH LOGIN page-login@example.test"},
      {{843, L"127.0.0.1", true, 0, L"s3cret-pass", L"page-cram@example.test"},
       "AUTH CRAM-MD5 page-cram@example.test"},
      {{844, L"localhost", true, 2, L"s3cret-pass", L"page-starttls@example.test"},
       "AUTH LOGIN page-starttls@example.test"},
      {{845, L"localhost", true, 1, L"s3cret-pass", L"page-tls@example.test"}, "AUTH LOGIN page-tls@example.test"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(Narrow(c.mail.to));
    SetUp();
    Send(c.mail);
    EXPECT_EQ(dialogCaption_, L"テストメール送信");
    EXPECT_EQ(progressCaption_, L"メール送信");
    EXPECT_EQ(recipientShown_, c.mail.to);
    const auto boxes = WorkerBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"送信完了");
    const std::string mail = Delivered(c.mail.port, Narrow(c.mail.to));
    ASSERT_FALSE(mail.empty());
    EXPECT_NE(mail.find("MAILFROM page@example.test\nRCPT " + Narrow(c.mail.to) + "\n" + c.auth + "\n"),
              std::string::npos);
    EXPECT_NE(mail.find("\r\n\r\n\xe6\x9c\xac\xe6\x96\x87\r\n.dot\r\n"), std::string::npos);  // 本文
    EXPECT_NE(mail.find("From:page@example.test\r\n"), std::string::npos);
    ClearCaughtMessageBoxes();
    TearDown();
  }
}

TEST_F(TestMailTest, ThreeTestMailsInARowEachOpenAndCloseTheProgressDialog) {
  sendTimes_ = 3;
  Send({856, L"127.0.0.1", false, 0, L"", L"page-three@example.test"});
  EXPECT_EQ(progressOpened_, 3);
  const auto boxes = WorkerBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  for (const auto& box : boxes) EXPECT_EQ(box.text, L"送信完了");
  // Each mail was a dialogue of its own, ended with QUIT.
  EXPECT_TRUE(testing_support::PumpMessagesUntil([] { return mail_test_files::QuitsSeen(kState, 856, "page-three@example.test") == 3; }, 5000));
}

TEST_F(TestMailTest, AWrongPasswordAndAStalledServerAreEachShownOnceInABox) {
  const struct {
    TestMail mail;
    const wchar_t* caption;
    const wchar_t* textStart;
  } kCases[] = {
      {{842, L"127.0.0.1", true, 0, L"wrong", L"page-wrong@example.test"}, L"SMTP ERROR 535",
       L"認証が拒否されました。"},
      {{853, L"127.0.0.1", false, 0, L"", L"page-stalled@example.test"}, L"メール送信エラー",
       L"接続がタイムアウトしました。"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(Narrow(c.mail.to));
    SetUp();
    Send(c.mail);
    const auto boxes = WorkerBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, c.caption);
    EXPECT_EQ(boxes[0].text.rfind(c.textStart, 0), 0u);
    EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(boxes[1].text, L"メール送信失敗");
    EXPECT_TRUE(Delivered(c.mail.port, Narrow(c.mail.to)).empty());
    ClearCaughtMessageBoxes();
    TearDown();
  }
}

TEST_F(TestMailTest, CancelDuringTheConnectAndTheDialogueShowsOnlyTheFailure) {
  const TestMail kCases[] = {
      {858, L"127.0.0.1", false, 0, L"", L"page-cancel-connect@example.test"},  // connect never completes
      {853, L"127.0.0.1", false, 0, L"", L"page-cancel-reply@example.test"},    // no reply to EHLO
  };
  for (const auto& m : kCases) {
    SCOPED_TRACE(Narrow(m.to));
    SetUp();
    DWORD shownAt = 0;
    Send(
        m,
        [&shownAt] {
          if (shownAt == 0) shownAt = GetTickCount();
          return GetTickCount() - shownAt > 500;
        },
        [] { Click(testMailProgressDialog, 1093); });
    const auto boxes = WorkerBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"メール送信失敗");
    ClearCaughtMessageBoxes();
    TearDown();
  }
}

TEST_F(TestMailTest, CancelAfterTheTextIsSentNoLongerStopsTheMail) {
  const TestMail m = {856, L"127.0.0.1", false, 0, L"", L"slow250-page@example.test"};
  Send(m, [] { return !Delivered(856, "slow250-page@example.test").empty(); },
       [] { Click(testMailProgressDialog, 1093); });
  const auto boxes = WorkerBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"送信完了");
}

}  // namespace
