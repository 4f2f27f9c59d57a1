#include "settings_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "appearance.h"
#include "count_window.h"
#include "countdown_state.h"
#include "dpi_scaling.h"
#include "message_box_catcher.h"
#include "modal_driver.h"
#include "quick_menus.h"
#include "screen.h"
#include "shared/ui_setup.h"
#include "shared/program_paths.h"
#include "start_countdown.h"
#include "temp_folder.h"
#include "timer_fakes.h"
#include "timer_main_window.h"
#include "timer_profile.h"
#include "timer_profile_dialog.h"
#include "wait.h"

using namespace countdown_fakes;
using testing_support::CaughtMessageBoxes;
using testing_support::ClearCaughtMessageBoxes;
using testing_support::SetMessageBoxAnswer;

namespace {

const SYSTEMTIME kOpened = MakeTime(2026, 12, 10, 10, 0, 0);

class TimerSettingsDialogTest : public testing_support::TempFolderTest {
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
    InstallClock();
    InstallPower();
    InstallTimers();
    timer_fakes::InstallSideActions();
    timer_fakes::InstallSampler();
    SetNow(kOpened);
    SetProgramPaths(temp_.path().c_str(), L"Sopora");
    // A failed test may leave the skin form set; the window loads its images.
    appearance.form = Normal;
    ASSERT_EQ(TimerCreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWNORMAL), 1);
    window_ = mainWindow;
    dialog_ = settingsDialog;
    ASSERT_NE(dialog_, nullptr);
    appearance.form = Normal;
  }
  void TearDown() override {
    if (window_ && IsWindow(window_)) {
      SendMessageW(window_, WM_COMMAND, kCmdAbort, 0);
      DestroyWindow(window_);
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    mainWindow = nullptr;
    timer_fakes::RemoveSampler();
    timer_fakes::RemoveSideActions();
    RemoveTimers();
    RemovePower();
    RemoveClock();
    TempFolderTest::TearDown();
  }

  HWND Control(int id) const { return GetDlgItem(dialog_, id); }
  void Select(int comboId, int index) {
    SendMessageW(Control(comboId), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Control(comboId)));
  }
  void Click(int id) {
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
  }
  void SetResume(bool on) {
    CheckDlgButton(dialog_, kResumeCheckId, on ? BST_CHECKED : BST_UNCHECKED);
    Click(kResumeCheckId);
  }
  void SetPicker(int id, const SYSTEMTIME& t) {
    SYSTEMTIME value = t;
    ASSERT_TRUE(DateTime_SetSystemtime(Control(id), GDT_VALID, &value)) << id;
  }
  SYSTEMTIME Picker(int id) const {
    SYSTEMTIME t{};
    DateTime_GetSystemtime(Control(id), &t);
    return t;
  }
  void SetEnd(const SYSTEMTIME& t) {
    SetPicker(kEndDatePickerId, t);
    SetPicker(kEndTimePickerId, t);
  }
  void SetResumeTime(const SYSTEMTIME& t) {
    SetPicker(kResumeDatePickerId, t);
    SetPicker(kResumeTimePickerId, t);
  }
  std::wstring Text(int id) const {
    wchar_t text[64] = L"";
    GetDlgItemTextW(dialog_, id, text, 64);
    return text;
  }
  RECT Place(int id) const {
    RECT r;
    GetWindowRect(Control(id), &r);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  bool Started() const { return countDialog != nullptr; }
  // Ends a countdown the way the tray's "中断" does.
  void Abort() { SendMessageW(window_, WM_COMMAND, kCmdAbort, 0); }

  static ULONG_PTR gdiplusToken_;
  HWND window_ = nullptr;
  HWND dialog_ = nullptr;
};
ULONG_PTR TimerSettingsDialogTest::gdiplusToken_;

TEST_F(TimerSettingsDialogTest, OpensWithTheDefaults) {
  EXPECT_EQ(Text(kModeComboId), L"時刻");
  EXPECT_EQ(Text(kActionComboId), L"シャットダウン");
  EXPECT_EQ(Text(kCpuSecondsComboId), L"3");
  EXPECT_EQ(Text(kCpuPercentComboId), L"2");
  EXPECT_EQ(SendMessageW(Control(kActionComboId), CB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageW(Control(kModeComboId), CB_GETCOUNT, 0, 0), 3);
  for (int id : {kResumeCheckId, kResumeLabelId, kResumeDatePickerId, kResumeTimePickerId})
    EXPECT_FALSE(IsWindowEnabled(Control(id))) << id;
  SYSTEMTIME range[2] = {};
  ASSERT_TRUE(DateTime_GetRange(Control(kEndDatePickerId), range) & GDTR_MIN);
  EXPECT_EQ(range[0].wDay, 10);
  EXPECT_EQ(range[0].wHour, 0);
  EXPECT_EQ(range[0].wMinute, 0);
  ASSERT_TRUE(DateTime_GetRange(Control(kResumeDatePickerId), range) & GDTR_MIN);
  EXPECT_EQ(range[0].wDay, 10);
  RECT client;
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right, ScaleX(300));
  EXPECT_EQ(client.bottom, ScaleY(281));
  EXPECT_EQ(Text(kTimerMenuButtonId), L"メニュー");
  EXPECT_EQ(GetWindowLongW(Control(IDOK), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(TimerSettingsDialogTest, TheStartChecksWithTheirMessages) {
  struct Case {
    const char* name;
    CountdownMode mode;
    PowerAction action;
    SYSTEMTIME now;
    SYSTEMTIME end;
    bool resume;
    SYSTEMTIME resumeAt;
    const wchar_t* seconds;
    const wchar_t* percent;
    const wchar_t* text;  // null: accepted
    const wchar_t* caption;
  };
  const SYSTEMTIME at1002 = MakeTime(2026, 12, 10, 10, 2);
  const Case cases[] = {
      {"end 60 s ahead", Time, Shutdown, MakeTime(2026, 12, 10, 10, 1, 0), at1002, false, {}, L"", L"",
       kEndTooSoonText, L""},
      {"end 61 s ahead", Time, Shutdown, MakeTime(2026, 12, 10, 10, 0, 59), at1002, false, {}, L"", L"", nullptr, L""},
      {"end in the current minute", Time, Shutdown, MakeTime(2026, 12, 10, 10, 2, 30), at1002, false, {}, L"", L"",
       kEndTooSoonText, L""},
      {"resume at the end", Time, Hibernate, kOpened, at1002, true, at1002, L"", L"", kBadResumeText, L""},
      {"resume a minute after the end", Time, Hibernate, kOpened, at1002, true, MakeTime(2026, 12, 10, 10, 3), L"",
       L"", nullptr, L""},
      {"cpu resume 19 s ahead", CpuUsage, Standby, MakeTime(2026, 12, 10, 10, 0, 41), at1002, true,
       MakeTime(2026, 12, 10, 10, 1), L"3", L"2", kBadResumeText, L""},
      {"cpu resume 21 s ahead", CpuUsage, Standby, MakeTime(2026, 12, 10, 10, 0, 39), at1002, true,
       MakeTime(2026, 12, 10, 10, 1), L"3", L"2", nullptr, L""},
      {"end now resume 19 s ahead", EndNow, Hibernate, MakeTime(2026, 12, 10, 10, 0, 41), at1002, true,
       MakeTime(2026, 12, 10, 10, 1), L"", L"", kBadResumeText, L""},
      {"threshold 0", CpuUsage, Shutdown, kOpened, at1002, false, {}, L"3", L"0", kBadCpuValuesText, L"エラー"},
      {"threshold empty", CpuUsage, Shutdown, kOpened, at1002, false, {}, L"3", L"", kBadCpuValuesText, L"エラー"},
      {"threshold 100", CpuUsage, Shutdown, kOpened, at1002, false, {}, L"3", L"100", kBadCpuValuesText, L"エラー"},
      {"threshold 101", CpuUsage, Shutdown, kOpened, at1002, false, {}, L"3", L"101", kBadCpuValuesText, L"エラー"},
      {"threshold 99", CpuUsage, Shutdown, kOpened, at1002, false, {}, L"10", L"99", nullptr, L""},
      {"seconds 0", CpuUsage, Shutdown, kOpened, at1002, false, {}, L"0", L"2", kBadCpuValuesText, L"エラー"},
      {"seconds empty", CpuUsage, Shutdown, kOpened, at1002, false, {}, L"", L"2", kBadCpuValuesText, L"エラー"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearCaughtMessageBoxes();
    SetNow(c.now);
    Select(kModeComboId, c.mode);
    Select(kActionComboId, c.action);
    SetResume(c.resume);
    SetEnd(c.end);
    if (c.resume) SetResumeTime(c.resumeAt);
    SetDlgItemTextW(dialog_, kCpuSecondsComboId, c.seconds);
    SetDlgItemTextW(dialog_, kCpuPercentComboId, c.percent);
    Click(IDOK);
    const auto boxes = CaughtMessageBoxes();
    if (c.text) {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, c.text);
      EXPECT_EQ(boxes[0].caption, c.caption);
      EXPECT_FALSE(Started());
      EXPECT_TRUE(IsWindowVisible(window_)) << "the dialog stays as it was";
      EXPECT_EQ(Text(kCpuPercentComboId), c.percent);
    } else {
      EXPECT_TRUE(boxes.empty());
      EXPECT_TRUE(Started());
      Abort();
    }
  }
}

TEST_F(TimerSettingsDialogTest, AValidStartShowsTheCountDialogAndTheCountWindowTogether) {
  Select(kActionComboId, Hibernate);
  SetResume(true);
  SetEnd(MakeTime(2026, 12, 10, 11, 30, 45));
  SetResumeTime(MakeTime(2026, 12, 11, 7, 15, 20));
  Click(IDOK);
  ASSERT_TRUE(Started());
  ASSERT_NE(countWindow, nullptr);
  EXPECT_TRUE(IsWindowVisible(countDialog));
  EXPECT_TRUE(IsWindowVisible(countWindow));
  EXPECT_FALSE(IsWindowVisible(window_));
  EXPECT_GT(timer_fakes::Side().paints, 0) << "the pair was painted";
  RECT back;
  GetWindowRect(countWindow, &back);
  EXPECT_EQ(back.right - back.left, 121);
  EXPECT_EQ(back.bottom - back.top, 44);
  const SYSTEMTIME& end = timerSettings.endTime;
  EXPECT_EQ(end.wHour * 10000 + end.wMinute * 100 + end.wSecond, 113000) << "seconds are dropped";
  EXPECT_EQ(timerSettings.resumeTime.wDay, 11);
  EXPECT_EQ(timerSettings.resumeTime.wMinute, 15);
  EXPECT_EQ(timerSettings.resumeTime.wSecond, 0);
  EXPECT_EQ(timerSettings.action, Hibernate);
}

TEST_F(TimerSettingsDialogTest, AProcessorWatchWithTheSkinFormUsesTheBuiltInForm) {
  Select(kModeComboId, CpuUsage);
  SetDlgItemTextW(dialog_, kCpuSecondsComboId, L"5");
  SetDlgItemTextW(dialog_, kCpuPercentComboId, L"8");
  appearance.form = Skinned;
  Click(IDOK);
  ASSERT_TRUE(Started());
  EXPECT_EQ(appearance.form, Normal);
  EXPECT_EQ(timerSettings.cpuSeconds, 5);
  EXPECT_EQ(timerSettings.cpuPercent, 8);
}

TEST_F(TimerSettingsDialogTest, AProcessorWatchLeavesTheSkinFormOnlyOnceItsValuesAreGood) {
  Select(kModeComboId, CpuUsage);
  SetDlgItemTextW(dialog_, kCpuSecondsComboId, L"5");
  SetDlgItemTextW(dialog_, kCpuPercentComboId, L"100");
  appearance.form = Skinned;
  Click(IDOK);
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(appearance.form, Skinned) << "refused values change nothing";

  ClearCaughtMessageBoxes();
  SetNow(MakeTime(2026, 12, 10, 10, 0, 41));
  Select(kActionComboId, Standby);
  SetResume(true);
  SetResumeTime(MakeTime(2026, 12, 10, 10, 1));
  SetDlgItemTextW(dialog_, kCpuPercentComboId, L"8");
  Click(IDOK);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kBadResumeText);
  EXPECT_FALSE(Started());
  EXPECT_EQ(appearance.form, Normal) << "the form changes before the resume check";
}

TEST_F(TimerSettingsDialogTest, MissingFilesAreAskedAboutAndNoStops) {
  TimerSettings& s = timerSettings;
  Select(kActionComboId, Standby);
  SetResume(true);
  SetEnd(MakeTime(2026, 12, 10, 12, 0));
  SetResumeTime(MakeTime(2026, 12, 10, 13, 0));
  s.appsAfterResume = 1;
  s.appDelays[0] = 5;
  s.appDelays[1] = 10;
  wcscpy(s.appPaths[0], L"C:\\nowhere\\a.exe");
  wcscpy(s.appPaths[1], temp_.Path(L"present.exe").c_str());
  ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"present.exe"), "x"));
  wcscpy(s.appPaths[2], L"C:\\nowhere\\after-the-end.exe");  // past the first empty slot
  SetMessageBoxAnswer(IDNO);
  Click(IDOK);
  auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            L"アプリ起動で設定されている以下のファイルの存在が確認できませんでした。\n\nC:\\nowhere\\a.exe\n\n続行しますか？");
  EXPECT_EQ(boxes[0].caption, L"");
  EXPECT_FALSE(Started());

  // Yes goes on to the sounds: before the end (Time mode) and after the resume.
  ClearCaughtMessageBoxes();
  wcscpy(s.soundPaths[0], L"C:\\nowhere\\before.wav");
  wcscpy(s.soundPaths[1], L"C:\\nowhere\\after.wav");
  s.soundCount = 2;
  s.soundIndex[0] = 1;
  s.soundIndex[1] = 2;
  testing_support::SetMessageBoxAnswers({IDYES, IDNO});
  Click(IDOK);
  boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text,
            L"サウンドで設定されている以下のファイルの存在が確認できませんでした。\n\nC:\\nowhere\\before.wav\n"
            L"C:\\nowhere\\after.wav\n\n続行しますか？");
  EXPECT_FALSE(Started()) << "いいえ to the sounds started the countdown";
  EXPECT_EQ(countWindow, nullptr);
  EXPECT_TRUE(IsWindowVisible(window_)) << "the settings stay in view";
}

// Esc in the dialog reaches it as IDCANCEL, the id of "終了": it must not end the program.
TEST_F(TimerSettingsDialogTest, EscIsNoRequestToEnd) {
  SetFocus(Control(kModeComboId));
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_ESCAPE] = 0x80;
  SetKeyboardState(keys);
  PostMessageW(GetFocus() ? GetFocus() : dialog_, WM_KEYDOWN, VK_ESCAPE, 1);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    if (!IsDialogMessageW(dialog_, &msg)) DispatchMessageW(&msg);
  keys[VK_ESCAPE] = 0;
  SetKeyboardState(keys);
  EXPECT_TRUE(IsWindow(window_)) << "Esc ended the program";
  EXPECT_TRUE(IsWindow(dialog_));
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  Click(IDCANCEL);  // the button itself still ends it
  EXPECT_FALSE(IsWindow(window_));
}

// Every label of dialog 129 and of the quick-menu editor is drawn in the UI
// font the start-up made, which has a glyph for each of its characters.
TEST_F(TimerSettingsDialogTest, TheLabelsAreDrawnInTheStartUpsUiFont) {
  ASSERT_NE(uiFont, nullptr) << "the start-up made no UI font";
  ASSERT_NE(separatorPen, nullptr) << "the start-up made no separator pen";
  testing_support::ExpectLabelsInFont(dialog_, uiFont, "dialog 129", 5);
  bool checked = false;
  testing_support::ModalDriver inspect([&] {
    HWND editor = testing_support::FindThreadDialogWithControl(kQuickEditFirstLabelId);
    if (!editor) return false;
    testing_support::ExpectLabelsInFont(editor, uiFont, "quick-menu editor", 5);
    checked = true;
    EndDialog(editor, IDCANCEL);
    return true;
  });
  TimerRunQuickMenuEditor(dialog_, 0);
  EXPECT_TRUE(checked);
}

TEST_F(TimerSettingsDialogTest, ModeSwitchChangesTheLayout) {
  const RECT timeCheck = Place(kResumeCheckId);
  const RECT timeDate = Place(kResumeDatePickerId);
  Select(kModeComboId, CpuUsage);
  EXPECT_EQ(timerSettings.mode, CpuUsage);
  for (int id : {kEndLabelId, kEndDatePickerId, kEndTimePickerId}) EXPECT_FALSE(IsWindowVisible(Control(id))) << id;
  for (int id : {kCpuLeadLabelId, kCpuSecondsComboId, kCpuMiddleLabelId, kCpuPercentComboId, kCpuTailLabelId})
    EXPECT_TRUE(IsWindowVisible(Control(id))) << id;
  EXPECT_EQ(Place(kResumeCheckId).top - timeCheck.top, ScaleY(23));
  EXPECT_EQ(Place(kResumeDatePickerId).top - timeDate.top, ScaleY(23));
  EXPECT_EQ(Text(kCpuMiddleLabelId), L"秒間の使用率が");
  EXPECT_EQ(Text(kCpuTailLabelId), L"％以下なら終了する");

  Select(kModeComboId, EndNow);
  EXPECT_EQ(timerSettings.mode, EndNow);
  EXPECT_EQ(Place(kResumeCheckId).top, timeCheck.top);
  for (int id : {kEndLabelId, kEndDatePickerId, kEndTimePickerId}) {
    EXPECT_TRUE(IsWindowVisible(Control(id))) << id;
    EXPECT_FALSE(IsWindowEnabled(Control(id))) << id;
  }
  EXPECT_FALSE(IsWindowVisible(Control(kCpuSecondsComboId)));

  Select(kModeComboId, Time);
  for (int id : {kEndLabelId, kEndDatePickerId, kEndTimePickerId}) EXPECT_TRUE(IsWindowEnabled(Control(id))) << id;
}

TEST_F(TimerSettingsDialogTest, RestartClearsResumeAndHibernateRestoresItFromTheCheckBox) {
  Select(kActionComboId, Hibernate);
  EXPECT_TRUE(IsWindowEnabled(Control(kResumeCheckId)));
  EXPECT_FALSE(IsWindowEnabled(Control(kResumeDatePickerId)));
  SetResume(true);
  EXPECT_EQ(timerSettings.resumeEnabled, 1);
  for (int id : {kResumeLabelId, kResumeDatePickerId, kResumeTimePickerId}) EXPECT_TRUE(IsWindowEnabled(Control(id)));
  Select(kActionComboId, Restart);
  EXPECT_EQ(timerSettings.action, Restart);
  EXPECT_EQ(timerSettings.resumeEnabled, 0);
  for (int id : {kResumeCheckId, kResumeLabelId, kResumeDatePickerId, kResumeTimePickerId})
    EXPECT_FALSE(IsWindowEnabled(Control(id))) << id;
  Select(kActionComboId, Hibernate);
  EXPECT_EQ(timerSettings.resumeEnabled, 1);
  EXPECT_TRUE(IsWindowEnabled(Control(kResumeTimePickerId)));
}

TEST_F(TimerSettingsDialogTest, ResumeControlsByActionAndCheck) {
  struct Case {
    PowerAction action;
    uint8_t resume;
    bool check;
    bool row;
  } cases[] = {{Shutdown, 1, false, false}, {Restart, 0, false, false}, {Logoff, 1, false, false},
               {Hibernate, 0, true, false},  {Hibernate, 1, true, true},  {Standby, 1, true, true}};
  for (const Case& c : cases) {
    const TimerResumeControlState state = TimerResumeControlsFor(c.action, c.resume);
    EXPECT_EQ(state.checkEnabled, c.check) << c.action;
    EXPECT_EQ(state.rowEnabled, c.row) << c.action;
  }
}

TEST_F(TimerSettingsDialogTest, TheResetCommandsSetThePickers) {
  SetEnd(MakeTime(2026, 12, 12, 18, 40));
  SetNow(MakeTime(2026, 12, 10, 10, 25, 30));
  SendMessageW(dialog_, WM_COMMAND, kCmdTimerResetEnd, 0);
  EXPECT_EQ(Picker(kEndDatePickerId).wDay, 10);
  EXPECT_EQ(Picker(kEndTimePickerId).wMinute, 25);
  SetEnd(MakeTime(2026, 12, 13, 21, 5));
  SendMessageW(dialog_, WM_COMMAND, kCmdTimerResetResume, 0);
  EXPECT_EQ(Picker(kResumeDatePickerId).wDay, 13) << "in Time mode the end pickers";
  EXPECT_EQ(Picker(kResumeTimePickerId).wHour, 21);
  EXPECT_EQ(Picker(kResumeTimePickerId).wMinute, 5);
  Select(kModeComboId, CpuUsage);
  SendMessageW(dialog_, WM_COMMAND, kCmdTimerResetResume, 0);
  EXPECT_EQ(Picker(kResumeDatePickerId).wDay, 10) << "elsewhere now";
  EXPECT_EQ(Picker(kResumeTimePickerId).wHour, 10);
  EXPECT_EQ(Picker(kResumeTimePickerId).wMinute, 25);
}

TEST_F(TimerSettingsDialogTest, AnEndDateOnYesterdayIsComputedAndThePickerStaysAtItsMinimum) {
  timer_fakes::ResetTimerSettings();
  TimerSettings& s = timerSettings;
  s.mode = Time;
  s.action = Standby;
  s.resumeEnabled = 1;
  s.advanceDate = 1;
  s.endDaysAhead = 0;
  s.resumeDaysAhead = 1;
  s.minusDayInWindow = 1;
  s.minusDayFromHour = 0;
  s.minusDayToHour = 6;
  s.endTime = MakeTime(2026, 1, 1, 4, 30);
  s.resumeTime = MakeTime(2026, 1, 1, 7, 45);
  const SYSTEMTIME now = MakeTime(2026, 12, 10, 3, 0);
  SetNow(now);
  const TimerPickerValues computed = TimerLoadedPickerValues(s, now);
  EXPECT_EQ(computed.endDate.wDay, 9) << "yesterday";
  EXPECT_EQ(computed.resumeDate.wDay, 10);
  SendMessageW(dialog_, kMsgApplyProfile, 0, 0);
  EXPECT_EQ(Picker(kEndDatePickerId).wDay, 10) << "raised to the minimum";
  EXPECT_EQ(Picker(kEndTimePickerId).wHour, 4);
  EXPECT_EQ(Picker(kEndTimePickerId).wMinute, 30);
  EXPECT_EQ(Picker(kResumeDatePickerId).wDay, 10);
  EXPECT_EQ(Picker(kResumeTimePickerId).wMinute, 45);
  EXPECT_EQ(Text(kActionComboId), L"スリープ");
  EXPECT_EQ(IsDlgButtonChecked(dialog_, kResumeCheckId), static_cast<UINT>(BST_CHECKED));
  EXPECT_TRUE(IsWindowEnabled(Control(kResumeDatePickerId)));

  const SYSTEMTIME minimum = MakeTime(2026, 12, 10, 0, 0);
  EXPECT_EQ(TimerClampToMinimum(MakeTime(2026, 12, 9, 23, 59, 59), minimum).wDay, 10);
  EXPECT_EQ(TimerClampToMinimum(MakeTime(2026, 12, 10, 0, 0), minimum).wDay, 10);
  EXPECT_EQ(TimerClampToMinimum(MakeTime(2026, 12, 11, 3, 0), minimum).wDay, 11);
}

TEST_F(TimerSettingsDialogTest, AppliedProcessorProfileFillsTheWatchRow) {
  timer_fakes::ResetTimerSettings();
  timerSettings.mode = CpuUsage;
  timerSettings.action = Logoff;
  timerSettings.cpuSeconds = 7;
  timerSettings.cpuPercent = 4;
  SendMessageW(dialog_, kMsgApplyProfile, 0, 0);
  EXPECT_EQ(Text(kModeComboId), L"CPU使用率");
  EXPECT_EQ(Text(kCpuSecondsComboId), L"7");
  EXPECT_EQ(Text(kCpuPercentComboId), L"4");
  EXPECT_TRUE(IsWindowVisible(Control(kCpuSecondsComboId)));
  EXPECT_FALSE(IsWindowVisible(Control(kEndDatePickerId)));
}

TEST_F(TimerSettingsDialogTest, EndDestroysTheMainWindow) {
  Click(IDCANCEL);
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_EQ(settingsDialog, nullptr);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop ends";
}

TEST_F(TimerSettingsDialogTest, TheButtonsAreDrawnWithTheirImages) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 60);
  ReleaseDC(nullptr, screen);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  struct Case {
    int id;
    UINT state;
    uint8_t menuOpen;
    COLORREF border;  // the outline of image 147 or 148
  } cases[] = {{IDOK, 0, 0, RGB(146, 152, 140)},
               {IDOK, ODS_SELECTED, 0, RGB(116, 122, 110)},
               {IDCANCEL, ODS_SELECTED, 0, RGB(116, 122, 110)},
               {kTimerMenuButtonId, 0, 0, RGB(146, 152, 140)},
               {kTimerMenuButtonId, 0, 1, RGB(116, 122, 110)}};
  for (const Case& c : cases) {
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_BUTTON;
    draw.CtlID = static_cast<UINT>(c.id);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = c.state;
    draw.hwndItem = Control(c.id);
    draw.hDC = dc;
    draw.rcItem = {0, 0, 77, 28};
    timerMenuOpen = c.menuOpen;
    SendMessageW(dialog_, WM_DRAWITEM, static_cast<WPARAM>(c.id), reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(GetPixel(dc, 0, 0), c.border) << c.id << " " << c.state;
    EXPECT_EQ(GetPixel(dc, 76, 27), c.border) << c.id;
  }
  timerMenuOpen = 0;
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST_F(TimerSettingsDialogTest, EnterPressesTheFocusedButtonOrStarts) {
  SetEnd(kOpened);  // refused: the end is not ahead
  MSG msg{};
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_RETURN;
  msg.lParam = 1;
  msg.hwnd = Control(kActionComboId);
  SetFocus(msg.hwnd);
  IsDialogMessageW(dialog_, &msg);
  testing_support::PumpPendingMessages();
  auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kEndTooSoonText);
  msg.hwnd = Control(IDCANCEL);
  SetFocus(msg.hwnd);
  IsDialogMessageW(dialog_, &msg);
  testing_support::PumpPendingMessages();
  EXPECT_FALSE(IsWindow(window_)) << "Enter on 終了 ends the program";
}

TEST_F(TimerSettingsDialogTest, TheFocusComesBackWhenTheFrameIsActivatedAgain) {
  SetFocus(Control(kActionComboId));
  HWND focused = GetFocus();
  SendMessageW(dialog_, 0x8000, 0, 0);
  SetFocus(Control(kFocusLabelId));
  SendMessageW(dialog_, 0x8000, 1, 0);
  EXPECT_EQ(GetFocus(), focused);
}

TEST_F(TimerSettingsDialogTest, TheMenuButtonShowsMenu151) {
  std::vector<testing_support::MenuItemInfo> items;
  bool pressedWhileOpen = false;
  testing_support::ModalDriver driver([&] {
    HMENU shown = testing_support::FindShownPopupMenu();
    if (!shown) return false;
    items = testing_support::DescribeMenu(shown);
    pressedWhileOpen = timerMenuOpen == 1;
    EndMenu();
    return true;
  });
  Click(kTimerMenuButtonId);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].text, L"詳細設定");
  EXPECT_EQ(items[0].id, kCmdTimerSettingsSheet);
  EXPECT_EQ(items[1].text, L"プロファイル");
  EXPECT_EQ(items[1].id, kCmdTimerProfiles);
  EXPECT_EQ(items[2].text, L"スケジューラーを起動");
  EXPECT_EQ(items[2].id, kCmdTimerHandOver);
  EXPECT_TRUE(pressedWhileOpen);
  EXPECT_EQ(timerMenuOpen, 0);
}

BOOL CALLBACK FindShownSheet(HWND window, LPARAM found) {
  if (!IsWindowVisible(window) || !PropSheet_GetTabControl(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// "詳細設定" opens the sheet over the dialog with its four pages in order.
TEST_F(TimerSettingsDialogTest, TheSettingsItemOpensTheSheet) {
  std::vector<std::wstring> tabs;
  HWND owner = nullptr;
  testing_support::ModalDriver driver([&] {
    HWND sheet = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShownSheet, reinterpret_cast<LPARAM>(&sheet));
    if (!sheet) return false;
    owner = GetWindow(sheet, GW_OWNER);
    HWND tab = PropSheet_GetTabControl(sheet);
    for (int i = 0; i < TabCtrl_GetItemCount(tab); ++i) {
      wchar_t text[32] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = 32;
      TabCtrl_GetItem(tab, i, &item);
      tabs.push_back(text);
    }
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
    return true;
  });
  SendMessageW(dialog_, WM_COMMAND, kCmdTimerSettingsSheet, 0);
  EXPECT_TRUE(driver.finished());
  EXPECT_EQ(tabs, (std::vector<std::wstring>{L"全般", L"アプリ起動", L"サウンド", L"プロファイル"}));
  EXPECT_EQ(owner, window_);
}

// A profile loaded in the profile manager is applied to the dialog when it closes.
TEST_F(TimerSettingsDialogTest, AProfileLoadedInTheManagerIsApplied) {
  TimerSettings saved = timerSettings;
  timerSettings.mode = CpuUsage;
  timerSettings.action = Restart;
  timerSettings.cpuSeconds = 10;
  timerSettings.cpuPercent = 8;
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"watch"));
  timerSettings = saved;
  SendMessageW(dialog_, kMsgApplyProfile, 0, 0);
  ASSERT_EQ(SendDlgItemMessageW(dialog_, kModeComboId, CB_GETCURSEL, 0, 0), Time);
  bool shown = false;
  testing_support::ModalDriver driver([&] {
    HWND manager = testing_support::FindThreadDialogWithControl(kTimerProfileListId);
    if (!manager) return false;
    shown = true;
    HWND list = GetDlgItem(manager, kTimerProfileListId);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(manager, WM_COMMAND, MAKEWPARAM(kTimerProfileLoadButtonId, BN_CLICKED), 0);
    SendMessageW(manager, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return true;
  });
  SendMessageW(dialog_, WM_COMMAND, kCmdTimerProfiles, 0);
  EXPECT_TRUE(shown);
  EXPECT_EQ(SendDlgItemMessageW(dialog_, kModeComboId, CB_GETCURSEL, 0, 0), CpuUsage);
  EXPECT_EQ(SendDlgItemMessageW(dialog_, kActionComboId, CB_GETCURSEL, 0, 0), Restart);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog_, kCpuSecondsComboId)));
}

TEST_F(TimerSettingsDialogTest, HandOverWithoutTheSchedulerReportsIt) {
  SetMessageBoxAnswer(IDNO);
  SendMessageW(dialog_, WM_COMMAND, kCmdTimerHandOver, 0);
  auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"本プログラムを終了し、スケジューラーを起動します。よろしいですか？");
  EXPECT_EQ(boxes[0].caption, L"");
  ClearCaughtMessageBoxes();
  SetMessageBoxAnswer(IDYES);
  SendMessageW(dialog_, WM_COMMAND, kCmdTimerHandOver, 0);
  boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, L"SoporaScheduler.exeが見つかりませんでした。");
  EXPECT_EQ(boxes[1].caption, L"エラー");
  EXPECT_EQ(boxes[1].icon, static_cast<UINT>(MB_ICONERROR));
  EXPECT_TRUE(IsWindow(window_));
}

TEST_F(TimerSettingsDialogTest, AFailingHandOverShowsTheSystemError) {
  ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"SoporaScheduler.exe"), "not a program"));
  SetMessageBoxAnswer(IDYES);
  SendMessageW(dialog_, WM_COMMAND, kCmdTimerHandOver, 0);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].caption, L"エラー");
  EXPECT_FALSE(boxes[1].text.empty());
  EXPECT_TRUE(IsWindow(window_));
}

TEST_F(TimerSettingsDialogTest, HandOverStartsTheSchedulerAndEnds) {
  // A stand-in program of that name in the current folder records its start.
  ASSERT_TRUE(CopyFileW(TEXT(SOPORA_RECORD_ARGS_EXE), temp_.Path(L"SoporaScheduler.exe").c_str(), FALSE));
  const std::wstring record = temp_.Path(L"started.txt");
  SetEnvironmentVariableW(L"SOPORA_RECORD_FILE", record.c_str());
  SetMessageBoxAnswer(IDYES);
  SendMessageW(dialog_, WM_COMMAND, kCmdTimerHandOver, 0);
  EXPECT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_FALSE(IsWindow(window_)) << "the program ends";
  EXPECT_TRUE(testing_support::PumpMessagesUntil([&] { return !testing_support::ReadBytes(record).empty(); }));
  // No arguments; shown normally.
  EXPECT_EQ(testing_support::ReadBytes(record).rfind("\t1\t1\t1\t", 0), 0u) << testing_support::ReadBytes(record);
  SetEnvironmentVariableW(L"SOPORA_RECORD_FILE", nullptr);
  // Lets the stand-in let go of its file before the folder goes.
  Sleep(200);
}

TEST(TimerStartChecks, TheQuestionsStayWithinTheirBuffers) {
  timer_fakes::ResetTimerSettings();
  TimerSettings s = timerSettings;
  s.mode = EndNow;
  s.action = Hibernate;
  s.resumeEnabled = 1;
  s.appsAfterResume = 1;
  for (int i = 0; i < kAppCount; ++i) {
    s.appDelays[i] = i;
    // Every slot full to its last unit, without a terminator.
    for (wchar_t& c : s.appPaths[i]) c = static_cast<wchar_t>(L'a' + i);
  }
  for (wchar_t& c : s.soundPaths[1]) c = L'z';
  s.soundCount = 2;
  s.soundIndex[1] = 2;
  TimerPickerValues pickers{};
  const SYSTEMTIME now = MakeTime(2026, 12, 10, 10, 0);
  pickers.resumeDate = pickers.resumeTime = MakeTime(2026, 12, 10, 11, 0);
  const TimerStartCheck check = TimerCheckStart(s, pickers, now, [](const wchar_t*) { return false; });
  EXPECT_EQ(check.refusal, nullptr);
  ASSERT_EQ(check.missingApps.size(), 10u);
  for (const std::wstring& path : check.missingApps) EXPECT_EQ(path.size(), static_cast<size_t>(kPathChars));
  ASSERT_EQ(check.missingSounds.size(), 1u);
  EXPECT_EQ(check.missingSounds[0], std::wstring(kPathChars, L'z'));
  const std::wstring question = TimerMissingAppsQuestion(check.missingApps);
  EXPECT_EQ(question.size(), 36u + 10u * (1u + kPathChars) + 9u);
  EXPECT_NE(question.find(std::wstring(kPathChars, L'j')), std::wstring::npos);
  EXPECT_EQ(TimerMissingSoundsQuestion(check.missingSounds).size(), 36u + kPathChars + 1u + 8u);
}

TEST(TimerStartChecks, CalendarTimesAndTheirDifference) {
  const struct tm t = TimerSystemTimeToTm(MakeTime(2026, 12, 10, 10, 2, 7));
  EXPECT_EQ(t.tm_year, 126);
  EXPECT_EQ(t.tm_mon, 11);
  EXPECT_EQ(t.tm_mday, 10);
  EXPECT_EQ(t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec, 10 * 3600 + 2 * 60 + 7);
  EXPECT_EQ(t.tm_isdst, 0);
  EXPECT_EQ(TimerDiffTime(MakeTime(2026, 12, 11, 0, 0, 30), MakeTime(2026, 12, 10, 23, 59, 0)), 90.0);
  EXPECT_EQ(TimerDiffTime(MakeTime(2026, 12, 10, 0, 0), MakeTime(2026, 12, 10, 0, 1)), -60.0);
}

}  // namespace

// A right click on the dialog opens the quick menu with the durations read
// from ".\sopora.ini" when the dialog opened.
TEST_F(TimerSettingsDialogTest, ARightClickShowsTheQuickMenuFromTheIni) {
  WritePrivateProfileStringW(L"Menu1", L"value1", L"2", L".\\sopora.ini");
  WritePrivateProfileStringW(L"Menu1", L"combo1", L"0", L".\\sopora.ini");
  DestroyWindow(window_);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  ASSERT_EQ(TimerCreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWNORMAL), 1);
  window_ = mainWindow;
  dialog_ = settingsDialog;
  std::vector<testing_support::MenuItemInfo> items;
  testing_support::ModalDriver driver([&] {
    HMENU shown = testing_support::FindShownPopupMenu();
    if (!shown) return false;
    items = testing_support::DescribeMenu(shown);
    EndMenu();
    return true;
  });
  SendMessageW(dialog_, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(driver.finished());
  EXPECT_NE(testing_support::FindMenuItem(items, L"2分後"), nullptr);
  const testing_support::MenuItemInfo* reset = testing_support::FindMenuItem(items, L"終了時刻");
  ASSERT_NE(reset, nullptr);
  EXPECT_EQ(reset->id, kCmdTimerResetEnd);
}
