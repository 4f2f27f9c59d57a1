#include "main_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "action_names.h"
#include "count_window.h"
#include "mail_jobs.h"
#include "main_window_state.h"
#include "message_box_catcher.h"
#include "mode_dialog.h"
#include "modal_driver.h"
#include "private_messages.h"
#include "schedule_model.h"
#include "shared/error_log.h"
#include "temp_folder.h"
#include "tray_icon.h"

using testing_support::CaughtMessageBoxes;
using testing_support::DescribeMenu;
using testing_support::FindMenuItem;
using testing_support::FindShownPopupMenu;
using testing_support::FindThreadDialogWithControl;
using testing_support::MenuItemInfo;
using testing_support::ModalDriver;
using testing_support::PumpMessagesUntil;
using testing_support::PumpPendingMessages;
using testing_support::TempFolderTest;

namespace {

constexpr const char* kRightDigest = "a9993e364706816aba3e25717850c26c9cd0d89d";  // "abc"

// Stands in for the countdown dialog: records what the main window sends it
// and answers the playing query.
std::vector<UINT> countdownMessages;
std::vector<WPARAM> countdownWParams;
bool countdownPlaying;

LRESULT CALLBACK FakeCountdownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP && message < 0xC000) {
    countdownMessages.push_back(message);
    countdownWParams.push_back(wParam);
    if (message == kMsgQueryPlaying) *reinterpret_cast<uint8_t*>(lParam) = countdownPlaying ? 1 : 0;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeFakeCountdown() {
  static ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FakeCountdownProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FakeCountdownDialog";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  return CreateWindowExW(0, L"FakeCountdownDialog", L"", WS_POPUP, 10, 10, 50, 50, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// Presses OK in the mode dialog once it is up, with the mode the model has.
bool AnswerModeDialog() {
  HWND mode = testing_support::FindThreadDialogWithControl(kDateModeRadioId);
  if (!mode) return false;
  PostMessageW(mode, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return true;
}

// Creates the frame; with no profile to load, its creation asks for the mode.
HWND CreateFrame(DWORD style) {
  testing_support::ModalDriver answer(AnswerModeDialog);
  return CreateWindowExW(0, className, windowTitle, style, 0, 0, 400, 300, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

class MainWindowTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    static bool registered = [] {
      HINSTANCE instance = GetModuleHandleW(nullptr);
      LoadStringW(instance, 103, windowTitle, 100);
      LoadStringW(instance, 109, className, 100);
      return RegisterWindowClasses(instance);
    }();
    ASSERT_TRUE(registered);
    memset(&profileSettings, 0, sizeof profileSettings);
    scheduleMode = DateMode;
    startProfileName[0] = L'\0';
    countWindowCreated = 0;
    soundMuted = 0;
    countWindowSettings.clickThrough = false;
    endNowRequested = 0;
    countdownDialog = countWindow = confirmDialog = featureDialog = aboutDialog = nullptr;
    countdownMessages.clear();
    countdownWParams.clear();
    countdownPlaying = false;
    window_ = CreateFrame(WS_SYSMENU | WS_MINIMIZEBOX);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_, SW_SHOW);
  }
  void TearDown() override {
    if (featureDialog && IsWindow(featureDialog)) DestroyWindow(featureDialog);
    if (countdownDialog && IsWindow(countdownDialog)) DestroyWindow(countdownDialog);
    if (IsWindow(window_)) DestroyWindow(window_);
    countdownDialog = nullptr;
    // Takes the WM_QUIT of the destroyed frame, so no later modal loop sees it.
    PumpPendingMessages();
    TempFolderTest::TearDown();
  }

  void Lock() {
    profileSettings.general.passwordLock = 1;
    strcpy(profileSettings.general.passwordHash, kRightDigest);
  }

  // Runs a command while answering any password prompt with the given texts
  // in turn ("" = Cancel). Returns how many prompts appeared.
  int CommandWithAnswers(UINT id, std::vector<std::wstring> answers) {
    int prompts = 0;
    size_t next = 0;
    HWND lastPrompt = nullptr;
    std::wstring lastTyped;
    ModalDriver driver([&] {
      HWND prompt = FindThreadDialogWithControl(1148);
      if (!prompt) return false;
      HWND edit = GetDlgItem(prompt, 1148);
      // A wrong password leaves the prompt open with the edit cleared.
      if (prompt != lastPrompt || GetWindowTextLengthW(edit) == 0) {
        if (prompt != lastPrompt) ++prompts;
        lastPrompt = prompt;
        if (next >= answers.size() || answers[next].empty()) {
          ++next;
          SendMessageW(prompt, WM_COMMAND, IDCANCEL, 0);
          return false;
        }
        SetWindowTextW(edit, answers[next++].c_str());
        SendMessageW(prompt, WM_COMMAND, IDOK, 0);
      }
      return false;
    });
    SendMessageW(window_, WM_COMMAND, id, 0);
    return prompts;
  }

  std::vector<MenuItemInfo> ShowTrayMenuAndRead() {
    std::vector<MenuItemInfo> items;
    ModalDriver driver([&] {
      HMENU shown = FindShownPopupMenu();
      if (!shown) return false;
      items = DescribeMenu(shown);
      EndMenu();
      return true;
    });
    PostMessageW(window_, kMsgTrayCallback, 1, WM_RBUTTONDOWN);
    EXPECT_TRUE(PumpMessagesUntil([&] { return driver.finished(); }));
    return items;
  }

  HWND window_ = nullptr;
};

TEST_F(MainWindowTest, CreationPreparesWhatTheDialogsUse) {
  EXPECT_EQ(mainWindow, window_);
  ASSERT_NE(mainDialog, nullptr);
  EXPECT_EQ(GetParent(mainDialog), window_);
  EXPECT_STREQ(modeNameText, L"日時指定");
  EXPECT_NE(uiFont, nullptr);
  EXPECT_NE(uiBoldFont, nullptr);
  EXPECT_NE(uiUnderlineFont, nullptr);
  EXPECT_NE(separatorPen, nullptr);
  for (int i = 0; i < kButtonBitmapCount; ++i) {
    BITMAP bm{};
    ASSERT_NE(buttonBitmaps[i], nullptr) << 164 + i;
    ASSERT_NE(buttonBitmapDCs[i], nullptr) << 164 + i;
    GetObjectW(buttonBitmaps[i], sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 28);
    EXPECT_EQ(bm.bmHeight, 28);
  }
  // The full record: 956 bytes in a 32-bit build, 976 in a 64-bit one.
  EXPECT_EQ(trayIconData.cbSize, sizeof(void*) == 4 ? 956u : 976u);
  EXPECT_EQ(trayIconData.hWnd, window_);
  EXPECT_EQ(trayIconData.uID, 1u);
  EXPECT_EQ(trayIconData.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(trayIconData.uCallbackMessage, 0x8064u);
  EXPECT_STREQ(trayIconData.szTip, L"設定中");
  EXPECT_NE(trayIconData.hIcon, nullptr);
  EXPECT_EQ(windowsVersion.dwMajorVersion, 6u);
  EXPECT_STREQ(actionKeyNames[4], L"Sleep");
  EXPECT_STREQ(actionDisplayNames[4], L"スリープ");
  EXPECT_STREQ(actionDisplayNames[5], L"復帰");
  const std::wstring capture = defaultCaptureFolder;
  ASSERT_GE(capture.size(), 3u);
  EXPECT_EQ(capture.substr(capture.size() - 3), L"\\ss");
  EXPECT_EQ(countWindowSettings.homePosition.x, (workArea.right - 121) / 2);
  EXPECT_EQ(countWindowSettings.homePosition.y, (workArea.bottom - 44) / 2);
}

TEST_F(MainWindowTest, PowerActionNamesBeforeVistaSayStandby) {
  InitPowerActionNames(5);
  EXPECT_STREQ(actionKeyNames[4], L"Standby");
  EXPECT_STREQ(actionDisplayNames[4], L"スタンバイ");
  EXPECT_STREQ(actionKeyNames[3], L"Hibernation");
  InitPowerActionNames(6);
  EXPECT_STREQ(actionKeyNames[4], L"Sleep");
}

TEST_F(MainWindowTest, TrayShowsMenu109BeforeTheFirstCountWindow) {
  const auto items = ShowTrayMenuAndRead();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].text, L"終了");
  EXPECT_EQ(items[0].id, 105u);
  EXPECT_EQ(items[1].text, L"バージョン情報");
  EXPECT_EQ(items[1].id, 0x801du);
  EXPECT_TRUE(IsWindow(window_));
}

TEST_F(MainWindowTest, TrayShowsMenu146WithItsStates) {
  countWindowCreated = 1;
  countWindowSettings.clickThrough = true;
  soundMuted = 1;
  countdownDialog = MakeFakeCountdown();
  countdownPlaying = true;
  auto items = ShowTrayMenuAndRead();
  const MenuItemInfo* through = FindMenuItem(items, L"カウント画面上でのマウス操作を透過する");
  const MenuItemInfo* stop = FindMenuItem(items, L"停止");
  const MenuItemInfo* mute = FindMenuItem(items, L"ミュート");
  const MenuItemInfo* endNow = FindMenuItem(items, L"今すぐ終了する");
  ASSERT_TRUE(through && stop && mute && endNow);
  EXPECT_TRUE(through->checked);
  EXPECT_FALSE(stop->grayed);
  EXPECT_TRUE(mute->checked);
  EXPECT_FALSE(endNow->grayed);
  EXPECT_EQ(endNow->id, 0x802fu);
  EXPECT_FALSE(FindMenuItem(items, L"機能の有効/無効")->grayed);
  const struct {
    const wchar_t* text;
    UINT id;
  } commands[] = {{L"カウント画面を既定位置に移動", 0x800b}, {L"停止", 0x800d}, {L"ミュート", 0x800e},
                  {L"カウント画面上でのマウス操作を透過する", 0x8012}, {L"設定情報の確認", 0x801e},
                  {L"機能の有効/無効", 0x8027}, {L"中断", 0x8003}, {L"終了", 105}, {L"バージョン情報", 0x801c}};
  for (const auto& c : commands) {
    const MenuItemInfo* item = FindMenuItem(items, c.text);
    ASSERT_NE(item, nullptr) << c.id;
    EXPECT_EQ(item->id, c.id);
  }

  // Not playing, not muted, not click-through; after an abort no countdown runs.
  countdownPlaying = false;
  soundMuted = 0;
  countWindowSettings.clickThrough = false;
  items = ShowTrayMenuAndRead();
  EXPECT_TRUE(FindMenuItem(items, L"停止")->grayed);
  EXPECT_FALSE(FindMenuItem(items, L"ミュート")->checked);
  EXPECT_FALSE(FindMenuItem(items, L"カウント画面上でのマウス操作を透過する")->checked);
  SendMessageW(window_, WM_COMMAND, kCmdAbort, 0);
  items = ShowTrayMenuAndRead();
  ASSERT_NE(FindMenuItem(items, L"中断"), nullptr) << "menu 146 stays after an abort";
  EXPECT_TRUE(FindMenuItem(items, L"停止")->grayed);
  EXPECT_TRUE(FindMenuItem(items, L"今すぐ終了する")->grayed);
  EXPECT_TRUE(FindMenuItem(items, L"機能の有効/無効")->grayed);
}

BOOL CALLBACK CountFeatureDialogs(HWND window, LPARAM count) {
  if (GetDlgItem(window, 2000)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

TEST_F(MainWindowTest, FeatureSwitchesNeedARunningCountdown) {
  SendMessageW(window_, WM_COMMAND, kCmdFeatureSwitches, 0);
  EXPECT_EQ(featureDialog, nullptr);
  countdownDialog = MakeFakeCountdown();
  SendMessageW(window_, WM_COMMAND, kCmdFeatureSwitches, 0);
  ASSERT_NE(featureDialog, nullptr);
  EXPECT_TRUE(IsWindowVisible(featureDialog)) << "the user must see the switches";
  EXPECT_EQ(FindThreadDialogWithControl(2000), featureDialog);
  EXPECT_EQ(countdownMessages, std::vector<UINT>{kMsgAskItems});
  // A second command while it is open opens no second one.
  HWND open = featureDialog;
  SendMessageW(window_, WM_COMMAND, kCmdFeatureSwitches, 0);
  EXPECT_EQ(featureDialog, open);
  EXPECT_EQ(countdownMessages, std::vector<UINT>{kMsgAskItems});
  int dialogs = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountFeatureDialogs, reinterpret_cast<LPARAM>(&dialogs));
  EXPECT_EQ(dialogs, 1);
}

TEST_F(MainWindowTest, TrayCallbackForAnotherIconIsIgnored) {
  bool shown = false;
  ModalDriver driver([&] {
    if (FindShownPopupMenu()) {
      shown = true;
      EndMenu();
    }
    return false;
  });
  SendMessageW(window_, kMsgTrayCallback, 2, WM_RBUTTONDOWN);
  PumpPendingMessages();
  EXPECT_FALSE(shown);
}

TEST_F(MainWindowTest, SoundCommandsGoToTheCountdownDialog) {
  countdownDialog = MakeFakeCountdown();
  SendMessageW(window_, WM_COMMAND, kCmdStopSound, 0);
  SendMessageW(window_, WM_COMMAND, kCmdMute, 0);
  EXPECT_EQ(soundMuted, 1);
  SendMessageW(window_, WM_COMMAND, kCmdMute, 0);
  EXPECT_EQ(soundMuted, 0);
  EXPECT_EQ(countdownMessages, (std::vector<UINT>{kMsgStopSound, kMsgApplyMute, kMsgApplyMute}));
  SendMessageW(window_, WM_COMMAND, kCmdClickThrough, 0);
  EXPECT_TRUE(countWindowSettings.clickThrough);
}

TEST_F(MainWindowTest, MoveHomePlacesTheCountdownDialog) {
  countdownDialog = MakeFakeCountdown();
  countWindowSettings.homePosition = POINT{123, 45};
  SendMessageW(window_, WM_COMMAND, kCmdMoveCountHome, 0);
  RECT r;
  GetWindowRect(countdownDialog, &r);
  EXPECT_EQ(r.left, 123);
  EXPECT_EQ(r.top, 45);
  EXPECT_EQ(r.right - r.left, 121);
  EXPECT_EQ(r.bottom - r.top, 44);
}

// Records, when the countdown is asked to cancel its mail, whether the run's
// dialogs still stood.
bool dialogsStoodAtCancel;
HWND watchedConfirm;
HWND watchedFeature;
LRESULT CALLBACK OrderWatchingCountdownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgCancelMail) dialogsStoodAtCancel = IsWindow(watchedConfirm) && IsWindow(watchedFeature);
  return FakeCountdownProc(window, message, wParam, lParam);
}

TEST_F(MainWindowTest, AbortCancelsTheMailBeforeClosingTheRunDialogs) {
  countdownDialog = MakeFakeCountdown();
  SetWindowLongPtrW(countdownDialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OrderWatchingCountdownProc));
  confirmDialog = watchedConfirm = MakeFakeCountdown();
  featureDialog = watchedFeature = MakeFakeCountdown();
  dialogsStoodAtCancel = false;
  SendMessageW(window_, WM_COMMAND, kCmdAbort, 0);
  EXPECT_EQ(countdownMessages, std::vector<UINT>{kMsgCancelMail}) << "cancelled once";
  EXPECT_TRUE(dialogsStoodAtCancel);
  EXPECT_FALSE(IsWindow(watchedConfirm));
  EXPECT_FALSE(IsWindow(watchedFeature));
}

TEST_F(MainWindowTest, AbortEndsTheRunAndShowsTheFrame) {
  countdownDialog = MakeFakeCountdown();
  countWindow = MakeFakeCountdown();
  HWND dialog = countdownDialog;
  HWND count = countWindow;
  confirmDialog = MakeFakeCountdown();
  featureDialog = MakeFakeCountdown();
  HWND confirm = confirmDialog;
  HWND feature = featureDialog;
  endNowRequested = 1;
  ShowWindow(window_, SW_HIDE);
  SendMessageW(window_, WM_COMMAND, kCmdAbort, 0);
  EXPECT_EQ(countdownMessages, std::vector<UINT>{kMsgCancelMail});
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_FALSE(IsWindow(count));
  EXPECT_FALSE(IsWindow(confirm));
  EXPECT_FALSE(IsWindow(feature));
  EXPECT_EQ(countdownDialog, nullptr);
  EXPECT_EQ(countWindow, nullptr);
  EXPECT_EQ(endNowRequested, 0) << "a stale end-now request would act at the next start";
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_STREQ(trayIconData.szTip, L"設定中...");
}

TEST_F(MainWindowTest, EndNowNeedsARunningCountdown) {
  SendMessageW(window_, WM_COMMAND, kCmdEndNow, 0);
  EXPECT_EQ(endNowRequested, 0);
  // A failed creation's sentinel is no countdown dialog either.
  countdownDialog = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
  SendMessageW(window_, WM_COMMAND, kCmdEndNow, 0);
  SendMessageW(window_, WM_COMMAND, kCmdStopSound, 0);
  SendMessageW(window_, WM_COMMAND, kCmdMoveCountHome, 0);
  EXPECT_EQ(endNowRequested, 0);
  countdownDialog = MakeFakeCountdown();
  SendMessageW(window_, WM_COMMAND, kCmdEndNow, 0);
  EXPECT_EQ(endNowRequested, 1);
}

TEST_F(MainWindowTest, ExitDestroysTheRunAndTheFrame) {
  countdownDialog = MakeFakeCountdown();
  HWND dialog = countdownDialog;
  SendMessageW(window_, WM_COMMAND, kCmdExit, 0);
  EXPECT_EQ(countdownMessages, std::vector<UINT>{kMsgCancelMail}) << "a running mail is stopped first";
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_EQ(mainDialog, nullptr);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// A mail worker that ends only a while after its cancel, as one does that
// waits out the reply to a text it has sent.
volatile LONG slowWorkerEnded;
unsigned __stdcall SlowToEndMailWorker(void* parameter) {
  MailJob* job = static_cast<MailJob*>(parameter);
  WaitForSingleObject(job->cancelEvent, 60000);
  Sleep(1500);
  job->cancelled = 1;  // as a worker does that stopped before its mail went out
  InterlockedExchange(&slowWorkerEnded, 1);
  return 0;
}

TEST_F(MainWindowTest, TheFramesEndCancelsAndWaitsForEveryMailWorker) {
  // As on the error exit, which destroys the frame with an after-resume
  // mail still running and its countdown dialog left standing.
  static MailJob job;
  job = MailJob{};
  job.owner = window_;
  slowWorkerEnded = 0;
  ASSERT_TRUE(StartMailJob(&job, SlowToEndMailWorker));
  DestroyWindow(window_);
  EXPECT_EQ(1, slowWorkerEnded) << "the worker would be cut off by the process's end";
  EXPECT_EQ(nullptr, job.thread);
  EXPECT_EQ(nullptr, job.cancelEvent);
  const std::wstring log = testing_support::ReadUtf16Text(temp_.Path(kSchedulerErrorLogName));
  EXPECT_NE(std::wstring::npos, log.find(L"中断または終了により、メールの送信を中止しました。"))
      << "the mail that did not go out left no line";
}

TEST_F(MainWindowTest, LockedExitWithAWrongPasswordKeepsRunning) {
  Lock();
  EXPECT_EQ(CommandWithAnswers(kCmdExit, {L"wrong", L"ABC", L""}), 1);
  EXPECT_TRUE(IsWindow(window_));
  int wrong = 0;
  for (const auto& box : CaughtMessageBoxes()) wrong += box.text == L"パスワードが違います。";
  EXPECT_EQ(wrong, 2);
  EXPECT_EQ(CommandWithAnswers(kCmdExit, {L"abc"}), 1);
  EXPECT_FALSE(IsWindow(window_));
}

TEST_F(MainWindowTest, LockedAbortAsksAndCancelKeepsTheRun) {
  Lock();
  countdownDialog = MakeFakeCountdown();
  EXPECT_EQ(CommandWithAnswers(kCmdAbort, {L""}), 1);
  EXPECT_TRUE(CountdownDialogExists());
  EXPECT_EQ(CommandWithAnswers(kCmdAbort, {L"abc"}), 1);
  EXPECT_FALSE(CountdownDialogExists());
}

TEST_F(MainWindowTest, LockedEndNowAsksOnceOnly) {
  Lock();
  countdownDialog = MakeFakeCountdown();
  EXPECT_EQ(CommandWithAnswers(kCmdEndNow, {L"nope", L""}), 1);
  EXPECT_EQ(endNowRequested, 0);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u) << "the wrong password is told once";
  EXPECT_EQ(boxes[0].text, L"パスワードが違います。");
  EXPECT_EQ(CommandWithAnswers(kCmdEndNow, {L"abc"}), 1);
  EXPECT_EQ(endNowRequested, 1);
  EXPECT_EQ(CommandWithAnswers(kCmdEndNow, {L"abc"}), 0) << "a second end-now asks nothing";
  EXPECT_EQ(endNowRequested, 1);
}

TEST_F(MainWindowTest, LockedFeatureSwitchesAskAndOpenOnce) {
  Lock();
  countdownDialog = MakeFakeCountdown();
  EXPECT_EQ(CommandWithAnswers(kCmdFeatureSwitches, {L""}), 1);
  EXPECT_EQ(featureDialog, nullptr);
  EXPECT_EQ(CommandWithAnswers(kCmdFeatureSwitches, {L"abc"}), 1);
  ASSERT_NE(featureDialog, nullptr);
  HWND open = featureDialog;
  EXPECT_EQ(CommandWithAnswers(kCmdFeatureSwitches, {L"abc"}), 0) << "an open dialog is left alone";
  EXPECT_EQ(featureDialog, open);
}

TEST_F(MainWindowTest, UnprotectedCommandsNeverAsk) {
  Lock();
  countdownDialog = MakeFakeCountdown();
  for (UINT id : {kCmdMoveCountHome, kCmdStopSound, kCmdMute, kCmdClickThrough, kCmdConfirm})
    EXPECT_EQ(CommandWithAnswers(id, {L""}), 0) << id;
  // The about box is modal: close it as soon as it shows, and count no prompt before it.
  for (UINT id : {kCmdAboutIdle, kCmdAboutRunning}) {
    bool aboutShown = false;
    ModalDriver closeAbout([&] {
      HWND about = FindThreadDialogWithControl(1132);
      if (!about) return false;
      aboutShown = true;
      SendMessageW(about, WM_COMMAND, IDOK, 0);
      return true;
    });
    EXPECT_EQ(CommandWithAnswers(id, {L""}), 0) << id;
    EXPECT_TRUE(aboutShown) << id;
  }
}

TEST_F(MainWindowTest, ModeSwitchReplacesTheMainDialog) {
  HWND before = mainDialog;
  testing_support::ModalDriver answer(AnswerModeDialog);
  SendMessageW(window_, kMsgSwitchMode, 0, 0);
  EXPECT_TRUE(answer.finished());
  EXPECT_FALSE(IsWindow(before));
  ASSERT_NE(mainDialog, nullptr);
  EXPECT_NE(mainDialog, before);
  EXPECT_EQ(GetParent(mainDialog), window_);
}

TEST_F(MainWindowTest, TaskbarCreatedAddsTheIconAgain) {
  SetTrayTip(L"running");
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &trayIconData));
  EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &trayIconData)) << "the icon is gone";
  SendMessageW(window_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_STREQ(trayIconData.szTip, L"running");
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &trayIconData)) << "the icon is back";
}

TEST_F(MainWindowTest, TrayRetryTimerAddsAMissingIcon) {
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &trayIconData));
  SendMessageW(window_, WM_TIMER, kTrayRetryTimer, 0);
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &trayIconData)) << "the icon is back";
}

TEST_F(MainWindowTest, DoubleClickShowsTheRunWindows) {
  countdownDialog = MakeFakeCountdown();
  countWindow = MakeFakeCountdown();
  SendMessageW(window_, kMsgTrayCallback, 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(countdownDialog));
  EXPECT_TRUE(IsWindowVisible(countWindow));
  DestroyWindow(countWindow);
  countWindow = nullptr;
}

TEST_F(MainWindowTest, ActivationIsPassedToTheMainDialog) {
  HWND realDialog = mainDialog;
  mainDialog = MakeFakeCountdown();
  SendMessageW(window_, WM_ACTIVATE, WA_ACTIVE, 0);
  SendMessageW(window_, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(countdownMessages, (std::vector<UINT>{kMsgMainDialogActivate, kMsgMainDialogActivate}));
  EXPECT_EQ(countdownWParams, (std::vector<WPARAM>{1, 0}));
  DestroyWindow(mainDialog);
  mainDialog = realDialog;
}

class MainWindowStartProfileTest : public MainWindowTest {
 protected:
  void SetUp() override {
    // The window is created by the base fixture; set the name for a second one.
    MainWindowTest::SetUp();
    DestroyWindow(window_);
    PumpPendingMessages();
    testing_support::ClearCaughtMessageBoxes();
    wcscpy(startProfileName, L"nothere");
    modeNameText[0] = L'\0';
    window_ = CreateFrame(WS_SYSMENU);
    ASSERT_NE(window_, nullptr);
  }
};

TEST_F(MainWindowTest, EndInTheStartUpModeDialogLeavesNoTrayIcon) {
  DestroyWindow(window_);
  PumpPendingMessages();
  ASSERT_FALSE(Shell_NotifyIconW(NIM_DELETE, &trayIconData)) << "the first frame took its icon along";
  mainDialog = nullptr;
  bool answered = false;
  testing_support::ModalDriver end([&] {
    HWND mode = FindThreadDialogWithControl(kDateModeRadioId);
    if (!mode) return false;
    answered = true;
    PostMessageW(mode, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return true;
  });
  window_ = CreateWindowExW(0, className, windowTitle, WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 400, 300, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  EXPECT_TRUE(answered);
  EXPECT_EQ(window_, nullptr) << "\"終了\" makes the creation fail";
  EXPECT_EQ(mainDialog, nullptr);
  EXPECT_EQ(trayIconData.uID, 1u) << "the icon was added first";
  EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &trayIconData)) << "the icon stayed in the tray";
}

TEST_F(MainWindowStartProfileTest, AProfileThatCannotLoadIsForgotten) {
  EXPECT_STREQ(startProfileName, L"") << "the main dialog must not start a run";
  bool reported = false;
  for (const auto& box : CaughtMessageBoxes()) reported |= box.caption == L"プロファイル読み込みエラー";
  EXPECT_TRUE(reported);
  EXPECT_STREQ(modeNameText, L"日時指定") << "with no profile the mode dialog was asked";
}

}  // namespace

namespace {

TEST(SchedulerResourcesTest, StringsAndAccelerators) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  wchar_t text[100] = L"";
  ASSERT_GT(LoadStringW(instance, 103, text, 100), 0);
  EXPECT_STREQ(text, L"SoporaScheduler");
  ASSERT_GT(LoadStringW(instance, 109, text, 100), 0);
  EXPECT_STREQ(text, L"SOPORASCHEDULER");
  HACCEL table = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(109));
  ASSERT_NE(table, nullptr);
  ACCEL entries[4] = {};
  ASSERT_EQ(CopyAcceleratorTableW(table, entries, 4), 2);
  EXPECT_EQ(entries[0].key, '?');
  EXPECT_EQ(entries[1].key, '/');
  for (const ACCEL& entry : {entries[0], entries[1]}) {
    EXPECT_EQ(entry.cmd, 104);
    EXPECT_TRUE(entry.fVirt & FALT);
    EXPECT_FALSE(entry.fVirt & FVIRTKEY);
  }
  for (int id = 164; id <= 168; ++id) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(bitmap, nullptr) << id;
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 28) << id;
    EXPECT_EQ(bm.bmHeight, 28) << id;
    DeleteObject(bitmap);
  }
  const struct {
    int id, width, height;
  } sizes[] = {{169, 81, 32}, {182, 81, 32}, {183, 1, 7}, {216, 383, 38}};
  for (const auto& s : sizes) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(s.id), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(bitmap, nullptr) << s.id;
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, s.width) << s.id;
    EXPECT_EQ(bm.bmHeight, s.height) << s.id;
    DeleteObject(bitmap);
  }
  const struct {
    int id, size;
  } icons[] = {{218, 16}, {218, 48}, {219, 32}, {185, 32}};
  for (const auto& icon : icons) {
    HICON handle = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(icon.id), IMAGE_ICON, icon.size, icon.size, 0));
    ASSERT_NE(handle, nullptr) << icon.id;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(handle, &info));
    BITMAP bm{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, icon.size) << icon.id;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(handle);
  }
}

}  // namespace
