#include "main_dialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "action_names.h"
#include "control_subclasses.h"
#include "countdown_dialog.h"
#include "countdown_fakes.h"
#include "dpi_scaling.h"
#include "main_window_state.h"
#include "message_box_catcher.h"
#include "private_messages.h"
#include "schedule_model.h"
#include "shared/clock.h"
#include "start_checks.h"
#include "temp_folder.h"
#include "wait.h"

using namespace countdown_fakes;
using testing_support::CaughtMessageBoxes;
using testing_support::ClearCaughtMessageBoxes;
using testing_support::PumpPendingMessages;
using testing_support::SetMessageBoxAnswer;

namespace {

const SYSTEMTIME kNow = MakeTime(2026, 12, 10, 12, 0, 0);

HWND CreateParentWindow() {
  static ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"MainDialogTestParent";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  HWND window = CreateWindowExW(0, L"MainDialogTestParent", L"SoporaScheduler",
                                WS_SYSMENU | WS_MINIMIZEBOX | WS_CAPTION, 0, 0, 200, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  return window;
}

class MainDialogTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ClearModel();
    SetNow(kNow);
    InstallClock();
    InstallPower();
    InstallTimers();
    ResetSide();
    countdownDialog = nullptr;
    countWindow = nullptr;
    startProfileName[0] = L'\0';
    SetMessageBoxAnswer(IDOK);
    parent_ = CreateParentWindow();
    mainWindow = parent_;
  }
  void TearDown() override {
    if (countdownDialog && IsWindow(countdownDialog)) DestroyWindow(countdownDialog);
    countdownDialog = nullptr;
    if (IsWindow(parent_)) DestroyWindow(parent_);
    mainWindow = nullptr;
    startProfileName[0] = L'\0';
    RemoveTimers();
    RemovePower();
    RemoveClock();
    SetMessageBoxAnswer(IDOK);
    TempFolderTest::TearDown();
  }

  HWND Open(ScheduleMode mode, int loaded = 0) {
    scheduleMode = mode;
    dialog_ = CreateMainDialog(parent_, loaded);
    PumpPendingMessages();
    return dialog_;
  }
  HWND Control(int id) const { return GetDlgItem(dialog_, id); }
  void Click(int id) {
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
  }
  void SetTime(int hour, int minute, int day = 10) {
    SYSTEMTIME t = MakeTime(2026, 12, day, hour, minute, 0);
    SendMessageW(Control(kDatePickerId), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
    SendMessageW(Control(kTimePickerId), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
  }
  void Add(int hour, int minute, PowerAction action = Shutdown, int day = 10) {
    SetTime(hour, minute, day);
    SendMessageW(Control(kActionComboId), CB_SETCURSEL, static_cast<WPARAM>(action), 0);
    Click(kAddButtonId);
  }
  std::wstring ListText(int row, int column) const {
    wchar_t text[64] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(itemList, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
  }
  std::vector<std::wstring> Column(int column) const {
    std::vector<std::wstring> texts;
    const int rows = static_cast<int>(SendMessageW(itemList, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < rows; ++r) texts.push_back(ListText(r, column));
    return texts;
  }
  std::vector<std::wstring> BoxTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& box : CaughtMessageBoxes()) texts.push_back(box.text);
    return texts;
  }
  void Select(int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(itemList, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }

  HWND parent_ = nullptr;
  HWND dialog_ = nullptr;
};

TEST_F(MainDialogTest, AFreshDialogClearsTheModelAndFitsTheFrameClientArea) {
  orderTable[0][0] = 3;
  scheduleTable[0][3].listIndex = 0;
  profileSettings.general.bringToFrontSeconds = 12;
  ASSERT_TRUE(Open(DailyMode));
  EXPECT_EQ(mainDialog, dialog_);
  EXPECT_EQ(orderTable[0][0], -1);
  EXPECT_EQ(scheduleTable[0][3].listIndex, -1);
  EXPECT_EQ(profileSettings.general.bringToFrontSeconds, 300);
  EXPECT_EQ(SendMessageW(itemList, LVM_GETITEMCOUNT, 0, 0), 0);
  RECT client;
  GetClientRect(parent_, &client);
  const int dpi = [] {
    HDC dc = GetDC(nullptr);
    const int value = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return value;
  }();
  EXPECT_EQ(client.right, MulDiv(kMainDialogWidth, dpi, 96));
  EXPECT_EQ(client.bottom, MulDiv(kMainDialogHeight, dpi, 96));
  RECT end;
  GetWindowRect(Control(IDCANCEL), &end);
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&end), 2);
  EXPECT_LE(end.bottom, client.bottom);  // the bottom buttons are not clipped
  EXPECT_FALSE(IsWindowEnabled(Control(kDatePickerId)));
  EXPECT_FALSE(IsWindowEnabled(Control(kFirstDayButtonId)));
  EXPECT_FALSE(IsWindowEnabled(Control(kDeleteButtonId)));
  EXPECT_EQ(SendMessageW(Control(kActionComboId), CB_GETCOUNT, 0, 0), 6);
  EXPECT_EQ(SendMessageW(Control(kActionComboId), CB_GETCURSEL, 0, 0), 0);
}

struct AddStep {
  int hour;
  int minute;
  PowerAction action;
  const wchar_t* box;  // the message shown, or null
  std::vector<std::wstring> times;
};

TEST_F(MainDialogTest, AddingFollowsTheGapRuleAndKeepsTimeOrder) {
  ASSERT_TRUE(Open(DailyMode));
  const std::vector<AddStep> steps = {
      {8, 0, Shutdown, nullptr, {L"08:00"}},
      {8, 9, Restart, L"最低でも10分は間を空けて下さい。", {L"08:00"}},
      {8, 10, Restart, nullptr, {L"08:00", L"08:10"}},
      {7, 51, Restart, L"最低でも10分は間を空けて下さい。", {L"08:00", L"08:10"}},
      {0, 0, Logoff, nullptr, {L"00:00", L"08:00", L"08:10"}},
      {23, 55, Hibernate, nullptr, {L"00:00", L"08:00", L"08:10", L"23:55"}},
      {8, 0, Shutdown, nullptr, {L"00:00", L"08:00", L"08:10", L"23:55"}},  // beep only
  };
  for (const AddStep& step : steps) {
    ClearCaughtMessageBoxes();
    Add(step.hour, step.minute, step.action);
    const std::vector<std::wstring> boxes = BoxTexts();
    if (step.box) {
      EXPECT_EQ(boxes, std::vector<std::wstring>{step.box}) << step.hour << ":" << step.minute;
    } else {
      EXPECT_TRUE(boxes.empty()) << step.hour << ":" << step.minute;
    }
    EXPECT_EQ(Column(0), step.times) << step.hour << ":" << step.minute;
  }
  EXPECT_EQ(Column(1), (std::vector<std::wstring>{L"ログオフ", L"シャットダウン", L"再起動", L"休止状態"}));
  // The hidden slot column mirrors the OrderTable row.
  const std::vector<std::wstring> slots = Column(3);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(slots[p], std::to_wstring(orderTable[0][p]));
  EXPECT_EQ(orderTable[0][4], -1);
}

TEST_F(MainDialogTest, OverwriteAsksAndYesReplacesTheAction) {
  ASSERT_TRUE(Open(DailyMode));
  Add(8, 0, Shutdown);
  scheduleTable[0][0].soundIndex = 1;
  scheduleTable[0][0].soundSeconds = 20;
  SetMessageBoxAnswer(IDNO);
  ClearCaughtMessageBoxes();
  Add(8, 0, Restart);
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].text, L"日時が同じものがすでにあります。上書きしますか？");
  EXPECT_EQ(CaughtMessageBoxes()[0].caption, L"確認");
  EXPECT_EQ(scheduleTable[0][0].action, Shutdown);
  SetMessageBoxAnswer(IDYES);
  Add(8, 0, Restart);
  EXPECT_EQ(CaughtMessageBoxes().size(), 2u) << "asked again";
  EXPECT_EQ(Column(0), std::vector<std::wstring>{L"08:00"});
  EXPECT_EQ(Column(1), std::vector<std::wstring>{L"再起動"});
  EXPECT_EQ(scheduleTable[0][0].soundIndex, 0);
  EXPECT_EQ(scheduleTable[0][0].soundSeconds, 20);
}

TEST_F(MainDialogTest, TheTwentyFirstItemIsRefused) {
  ASSERT_TRUE(Open(DailyMode));
  for (int i = 0; i < 20; ++i) Add(i, 0, Shutdown);
  ASSERT_EQ(SendMessageW(itemList, LVM_GETITEMCOUNT, 0, 0), 20);
  ClearCaughtMessageBoxes();
  Add(21, 0, Shutdown);
  EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"これ以上追加できません。"});
  EXPECT_EQ(SendMessageW(itemList, LVM_GETITEMCOUNT, 0, 0), 20);
}

TEST_F(MainDialogTest, SelectingShowsTheItemAndDeleteFreesItsSlot) {
  ASSERT_TRUE(Open(DailyMode));
  Add(8, 0, Shutdown);
  Add(9, 0, Hibernate);
  Add(10, 0, Shutdown);
  Select(1);
  EXPECT_TRUE(IsWindowEnabled(Control(kDeleteButtonId)));
  EXPECT_EQ(SendMessageW(Control(kActionComboId), CB_GETCURSEL, 0, 0), Hibernate);
  SYSTEMTIME shown{};
  SendMessageW(Control(kTimePickerId), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown.wHour, 9);
  EXPECT_EQ(shown.wMinute, 0);
  Click(kDeleteButtonId);
  EXPECT_FALSE(IsWindowEnabled(Control(kDeleteButtonId)));
  EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"08:00", L"10:00"}));
  EXPECT_EQ(orderTable[0][0], 0);
  EXPECT_EQ(orderTable[0][1], 2);
  EXPECT_EQ(orderTable[0][2], -1);
  Click(kDeleteButtonId);  // nothing selected: nothing happens
  EXPECT_EQ(SendMessageW(itemList, LVM_GETITEMCOUNT, 0, 0), 2);
  Add(11, 0, Logoff);
  EXPECT_EQ(orderTable[0][2], 1);
  EXPECT_EQ(Column(3), (std::vector<std::wstring>{L"0", L"2", L"1"}));
}

TEST_F(MainDialogTest, WeekdayButtonsSwitchRows) {
  ASSERT_TRUE(Open(WeeklyMode));
  EXPECT_TRUE(IsWindowEnabled(Control(kFirstDayButtonId + 1)));
  EXPECT_FALSE(IsWindowEnabled(Control(kDatePickerId)));
  Add(8, 0, Shutdown);
  Click(kFirstDayButtonId + 1);  // 月
  EXPECT_EQ(listRow, 1);
  EXPECT_EQ(SendMessageW(itemList, LVM_GETITEMCOUNT, 0, 0), 0);
  Add(8, 0, Restart);  // the same time on another row is accepted
  Add(9, 0, Restart);
  EXPECT_STREQ(scheduleTable[1][0].weekdayText, L"(月)");
  Click(kFirstDayButtonId + 2);  // 火
  EXPECT_EQ(SendMessageW(itemList, LVM_GETITEMCOUNT, 0, 0), 0);
  Click(kFirstDayButtonId + 1);
  EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"08:00", L"09:00"}));
  Select(0);
  Click(kFirstDayButtonId + 1);  // the current day: nothing happens
  EXPECT_EQ(SendMessageW(itemList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0);
  Click(kFirstDayButtonId);
  EXPECT_EQ(Column(1), std::vector<std::wstring>{L"シャットダウン"});
}

// Counts the day-button commands that reach the main dialog: each runs its
// day handler.
WNDPROC mainDialogProcedure;
int dayCommands;
LRESULT CALLBACK CountingMainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) >= kFirstDayButtonId && LOWORD(wParam) < kFirstDayButtonId + 7)
    ++dayCommands;
  return CallWindowProcW(mainDialogProcedure, window, message, wParam, lParam);
}

TEST_F(MainDialogTest, AMouseClickOnADayButtonShowsTheHandAndSwitchesOnce) {
  ASSERT_TRUE(Open(WeeklyMode));
  HWND tuesday = Control(kFirstDayButtonId + 2);
  EXPECT_EQ(GetWindowLongPtrW(tuesday, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(ImageButtonProc));
  mainDialogProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(dialog_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingMainDialogProc)));
  dayCommands = 0;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  SendMessageW(tuesday, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  SendMessageW(tuesday, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(tuesday, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ReleaseCapture();
  SetWindowLongPtrW(dialog_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mainDialogProcedure));
  EXPECT_EQ(dayCommands, 1);
  EXPECT_EQ(listRow, 2);
}

TEST_F(MainDialogTest, EnterActsOnTheFocusedButton) {
  ASSERT_TRUE(Open(WeeklyMode));
  SetFocus(Control(kFirstDayButtonId + 3));
  ASSERT_EQ(GetFocus(), Control(kFirstDayButtonId + 3));
  SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(Control(IDOK)));
  EXPECT_EQ(listRow, 3);
  EXPECT_TRUE(CaughtMessageBoxes().empty());  // no start was tried
  SetFocus(Control(IDCANCEL));
  SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(Control(IDOK)));
  EXPECT_FALSE(IsWindow(parent_));  // "終了": the program's frame is gone
}

TEST_F(MainDialogTest, EscapeEndsTheProgram) {
  ASSERT_TRUE(Open(DailyMode));
  SendMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(IsWindow(parent_));
}

TEST_F(MainDialogTest, AStartWithoutItemsIsRefused) {
  ASSERT_TRUE(Open(DailyMode));
  SetFocus(itemList);
  SendMessageW(dialog_, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"アイテムが1つもセットされていません。"});
  EXPECT_EQ(countdownDialog, nullptr);
  EXPECT_TRUE(IsWindowVisible(parent_));
}

TEST_F(MainDialogTest, StartCreatesTheCountdownAndHidesTheFrame) {
  ASSERT_TRUE(Open(DateMode));
  EXPECT_TRUE(IsWindowEnabled(Control(kDatePickerId)));
  Add(12, 30, Shutdown);
  ASSERT_EQ(SendMessageW(itemList, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(ListText(0, 0), L"2026/12/10 12:30");
  SetFocus(itemList);
  SendMessageW(dialog_, WM_COMMAND, IDOK, 0);
  ASSERT_NE(countdownDialog, nullptr);
  EXPECT_TRUE(IsWindow(countdownDialog));
  EXPECT_TRUE(IsWindowVisible(countdownDialog));
  EXPECT_FALSE(IsWindowVisible(parent_));
  EXPECT_TRUE(IsWindow(dialog_));
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(MainDialogTest, HiddenTimerAtStart) {
  ASSERT_TRUE(Open(DateMode));
  Add(12, 30, Shutdown);
  profileSettings.general.hideTimerAtStart = 1;
  SetFocus(itemList);
  SendMessageW(dialog_, WM_COMMAND, IDOK, 0);
  ASSERT_NE(countdownDialog, nullptr);
  EXPECT_FALSE(IsWindowVisible(countdownDialog));
  EXPECT_FALSE(IsWindowVisible(parent_));
}

TEST_F(MainDialogTest, MissingApplicationNamedTwiceIsAskedOnceAndNoStopsTheStart) {
  ASSERT_TRUE(Open(DateMode));
  Add(12, 30, Shutdown);
  Add(13, 30, Shutdown);
  const std::wstring missing = temp_.Path(L"gone.exe");
  for (int slot = 0; slot < 2; ++slot) {
    wcscpy(scheduleTable[0][slot].appPaths[0], missing.c_str());
    scheduleTable[0][slot].appDelays[0] = 0;
  }
  SetMessageBoxAnswer(IDNO);
  SetFocus(itemList);
  SendMessageW(dialog_, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].text, MissingFilesQuestion(kMissingAppsFirstLine, {missing}));
  EXPECT_EQ(countdownDialog, nullptr);
  EXPECT_TRUE(IsWindowVisible(parent_));
  SetMessageBoxAnswer(IDYES);
  SendMessageW(dialog_, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(CaughtMessageBoxes().size(), 2u) << "asked again, once";
  EXPECT_EQ(CaughtMessageBoxes()[1].text, CaughtMessageBoxes()[0].text);
  EXPECT_NE(countdownDialog, nullptr);
}

// The clock moves on between the checks and the countdown's own search, so
// that no item is due any more when the countdown dialog starts.
SYSTEMTIME jumpingNow;
int clockReads;
void JumpingClock(SYSTEMTIME* now) {
  *now = jumpingNow;
  if (++clockReads == 1) jumpingNow = MakeTime(2026, 12, 10, 14, 0, 0);
}

TEST_F(MainDialogTest, AFailedCountdownKeepsTheMainDialog) {
  ASSERT_TRUE(Open(DateMode));
  Add(12, 30, Shutdown);
  jumpingNow = kNow;
  clockReads = 0;
  SetLocalTimeSource(JumpingClock);
  SetFocus(itemList);
  SendMessageW(dialog_, WM_COMMAND, IDOK, 0);
  InstallClock();
  EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"#1 予期しないエラーです"});
  EXPECT_EQ(countdownDialog, nullptr);
  EXPECT_TRUE(IsWindow(dialog_));
  EXPECT_TRUE(IsWindowVisible(dialog_));
  EXPECT_TRUE(IsWindowVisible(parent_));
}

TEST_F(MainDialogTest, ALoadedProfileIsListedAndAStartProfileStartsAtOnce) {
  scheduleMode = DailyMode;
  ClearModel();
  PutItem(0, 0, Hibernate, TimeOfDay(8, 0));
  wcscpy(scheduleTable[0][0].timeText, L"08:00");
  wcscpy(startProfileName, L"night");
  dialog_ = CreateMainDialog(parent_, 1);
  ASSERT_TRUE(dialog_);
  EXPECT_EQ(Column(0), std::vector<std::wstring>{L"08:00"});
  EXPECT_EQ(Column(1), std::vector<std::wstring>{L"休止状態"});
  EXPECT_EQ(countdownDialog, nullptr);  // posted, not yet run
  PumpPendingMessages();
  EXPECT_NE(countdownDialog, nullptr);
  EXPECT_FALSE(IsWindowVisible(parent_));
}

TEST_F(MainDialogTest, RefillShowsTheModelAfterALoad) {
  ASSERT_TRUE(Open(WeeklyMode));
  Click(kFirstDayButtonId + 2);
  PutItem(2, 0, Shutdown, TimeOfDay(6, 0));
  wcscpy(scheduleTable[2][0].timeText, L"06:00");
  SendMessageW(dialog_, kMsgFillFromModel, 0, 0);
  EXPECT_EQ(listRow, 2);  // kept in WeeklyMode
  EXPECT_EQ(Column(0), std::vector<std::wstring>{L"06:00"});
  // A foreign slot number in the row is never followed.
  orderTable[2][1] = 77;
  SendMessageW(dialog_, kMsgFillFromModel, 0, 0);
  EXPECT_EQ(SendMessageW(itemList, LVM_GETITEMCOUNT, 0, 0), 1);
}

int PickerMinutes(HWND picker) {
  SYSTEMTIME t{};
  SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t));
  return t.wHour * 60 + t.wMinute;
}

// The user picks the minute field first (a click or the arrow keys): the
// first arrow selects the hour, the second the minute.
void SelectMinuteField(HWND picker) {
  SetFocus(picker);
  for (int i = 0; i < 2; ++i) {
    SendMessageW(picker, WM_KEYDOWN, VK_RIGHT, 1);
    SendMessageW(picker, WM_KEYUP, VK_RIGHT, 0xC0000001);
  }
}

TEST_F(MainDialogTest, TheWheelStepsThePickerItselfNotTheFocusedControl) {
  ASSERT_TRUE(Open(DailyMode));
  SetTime(8, 0);
  HWND picker = Control(kTimePickerId);
  SetFocus(picker);
  SelectMinuteField(picker);
  const int start = PickerMinutes(picker);
  SendMessageW(picker, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(PickerMinutes(picker) - start, 1) << "one notch is one step, not two";
  SendMessageW(picker, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(PickerMinutes(picker), start);
  // With the focus elsewhere the keys go to the picker, never to the focused
  // control (keys injected as input would reach the combo).
  SendMessageW(Control(kActionComboId), CB_SETCURSEL, 2, 0);
  SetFocus(Control(kActionComboId));
  for (short delta : {WHEEL_DELTA, -WHEEL_DELTA, -WHEEL_DELTA})
    SendMessageW(picker, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
  PumpPendingMessages();
  EXPECT_EQ(SendMessageW(Control(kActionComboId), CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(GetAsyncKeyState(VK_UP) & 0x8000, 0);  // no key left pressed
}

TEST_F(MainDialogTest, TheWheelTakesFiveStepsWhileTheRightButtonIsHeld) {
  ASSERT_TRUE(Open(DailyMode));
  SetTime(8, 30);
  HWND picker = Control(kTimePickerId);
  SetFocus(picker);
  SelectMinuteField(picker);
  const int start = PickerMinutes(picker);
  struct Row {
    bool rightHeld;
    short delta;
    int change;
  } const rows[] = {
      {false, WHEEL_DELTA, 1},  {true, WHEEL_DELTA, 5},  {true, -WHEEL_DELTA, -5},
      {false, -WHEEL_DELTA, -1},
      // A fine wheel's partial notch turns the way the wheel turned.
      {false, 30, 1},           {false, -30, -1},        {true, 1, 5},
      {false, 0, -1},
  };
  int expected = start;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.delta);
    SCOPED_TRACE(row.rightHeld);
    if (row.rightHeld) SendMessageW(picker, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageW(picker, WM_MOUSEWHEEL, MAKEWPARAM(row.rightHeld ? MK_RBUTTON : 0, static_cast<WORD>(row.delta)),
                 MAKELPARAM(5, 5));
    if (row.rightHeld) {
      EXPECT_EQ(GetCapture(), picker) << "the held button keeps the picker's capture";
      SendMessageW(picker, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
      EXPECT_NE(GetCapture(), picker);
    }
    expected += row.change;
    EXPECT_EQ(PickerMinutes(picker), expected);
  }
  PumpPendingMessages();
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

// The point at the middle of a window, in the coordinates of `client`.
LPARAM MiddleOf(HWND window, HWND client) {
  RECT r;
  GetWindowRect(window, &r);
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ScreenToClient(client, &p);
  return MAKELPARAM(p.x, p.y);
}

TEST_F(MainDialogTest, TheActionComboHasAReadOnlyEditPartAndOpensOnAClick) {
  ASSERT_TRUE(Open(DateMode));
  HWND combo = Control(kActionComboId);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  HWND edit = info.hwndItem;
  ASSERT_NE(edit, nullptr) << "a drop-down combo with an edit part";
  ASSERT_NE(edit, combo);
  RECT r;
  GetWindowRect(combo, &r);
  EXPECT_EQ(r.right - r.left, ScaleX(120));
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 6);

  // Typing into the edit part changes nothing.
  SendMessageW(combo, CB_SETCURSEL, 3, 0);
  SetFocus(edit);
  for (wchar_t ch : std::wstring(L"xy\b")) SendMessageW(edit, WM_CHAR, ch, 1);
  wchar_t text[32] = L"";
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::wstring(text), actionDisplayNames[3]);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 3);

  // A click on the edit part opens the list, and the list stays open.
  const LPARAM onEdit = MiddleOf(edit, edit);
  SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, onEdit);
  SendMessageW(edit, WM_LBUTTONUP, 0, onEdit);
  PumpPendingMessages();
  EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) << "a click on the edit part";
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  PumpPendingMessages();

  // So does a click on the arrow button: the combo's own click, which would
  // close the list just opened, is not passed on.
  ASSERT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  RECT button = info.rcButton;
  const LPARAM onArrow = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
  SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, onArrow);
  SendMessageW(combo, WM_LBUTTONUP, 0, onArrow);
  PumpPendingMessages();
  EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) << "a click on the arrow";
  // The list shows the six actions.
  RECT dropped{};
  SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  const int itemHeight = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
  EXPECT_GE(dropped.bottom - dropped.top - (r.bottom - r.top), 6 * itemHeight);
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  ReleaseCapture();
  PumpPendingMessages();

  // The same with the real mouse on the arrow: pressed and released, the
  // list is open.
  ASSERT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  POINT arrow{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
  ClientToScreen(combo, &arrow);
  SetForegroundWindow(parent_);
  SetCursorPos(arrow.x, arrow.y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
  const DWORD deadline = GetTickCount() + 5000;
  while (GetTickCount() < deadline && !SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) {
    PumpPendingMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  // Whatever arrives after the click must not close it again.
  for (int i = 0; i < 10; ++i) {
    PumpPendingMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) << "a real click on the arrow";
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  ReleaseCapture();
  PumpPendingMessages();
}

TEST_F(MainDialogTest, TheMenusCarryTheirCommands) {
  HMENU menu = BuildMainMenu184();
  const std::vector<std::pair<UINT, std::wstring>> expected184 = {
      {0x8028, L"詳細設定"}, {0x8029, L"プロファイル"}, {0, L""}, {0x802a, L"モード切替"}, {0, L""},
      {0x802b, L"そぽらを起動"}};
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected184.size()));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    EXPECT_EQ(GetMenuItemID(menu, i), expected184[i].first == 0 ? 0u : expected184[i].first) << i;
    EXPECT_EQ(text, expected184[i].second) << i;
  }
  DestroyMenu(menu);
  menu = BuildAllItemsMenu153();
  ASSERT_EQ(GetMenuItemCount(menu), 8);
  EXPECT_EQ(GetMenuItemID(menu, 0), 0x8013u);
  EXPECT_EQ(GetMenuItemID(menu, 5), 0x8018u);
  EXPECT_EQ(GetMenuItemID(menu, 7), 0x8019u);
  wchar_t text[64] = {};
  GetMenuStringW(menu, 7, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"全ての終了時");
  DestroyMenu(menu);
}

TEST_F(MainDialogTest, TheModeSwitchCommandAsksTheMainWindow) {
  ASSERT_TRUE(Open(DailyMode));
  Click(kCmdSwitchMode);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, parent_, kMsgSwitchMode, kMsgSwitchMode, PM_REMOVE));
}

TEST_F(MainDialogTest, HandOverWithoutTheProgramReportsIt) {
  ASSERT_TRUE(Open(DailyMode));
  SetMessageBoxAnswer(IDNO);
  Click(kCmdHandOver);
  EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"本プログラムを終了し、soporaを起動します。よろしいですか？"});
  ClearCaughtMessageBoxes();
  SetMessageBoxAnswer(IDYES);
  Click(kCmdHandOver);  // the temp folder holds no sopora.exe
  ASSERT_EQ(CaughtMessageBoxes().size(), 2u);
  EXPECT_EQ(CaughtMessageBoxes()[1].text, L"sopora.exeが見つかりませんでした。");
  EXPECT_EQ(CaughtMessageBoxes()[1].caption, L"エラー");
  EXPECT_EQ(CaughtMessageBoxes()[1].icon, static_cast<UINT>(MB_ICONERROR));
  EXPECT_TRUE(IsWindow(parent_));
}

TEST_F(MainDialogTest, AFailingHandOverShowsTheSystemError) {
  ASSERT_TRUE(Open(DailyMode));
  // A file of that name that is no program: ShellExecuteExW refuses it.
  ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"sopora.exe"), "not a program"));
  SetMessageBoxAnswer(IDYES);
  Click(kCmdHandOver);
  ASSERT_EQ(CaughtMessageBoxes().size(), 2u);
  EXPECT_EQ(CaughtMessageBoxes()[1].caption, L"エラー");
  EXPECT_TRUE(IsWindow(parent_));
}

TEST_F(MainDialogTest, TheEnterKeyThroughTheDialogManager) {
  ASSERT_TRUE(Open(WeeklyMode));
  HWND tuesday = Control(kFirstDayButtonId + 2);
  SetFocus(tuesday);
  MSG msg{};
  msg.hwnd = tuesday;
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_RETURN;
  msg.lParam = 1;
  EXPECT_TRUE(IsDialogMessageW(dialog_, &msg));
  PumpPendingMessages();
  EXPECT_EQ(listRow, 2);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  // On another control Enter starts: here the empty schedule is refused.
  SetFocus(Control(kActionComboId));
  msg.hwnd = Control(kActionComboId);
  IsDialogMessageW(dialog_, &msg);
  PumpPendingMessages();
  EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"アイテムが1つもセットされていません。"});
}

TEST_F(MainDialogTest, TheFocusComesBackWhenTheFrameIsActivatedAgain) {
  ASSERT_TRUE(Open(DailyMode));
  SetFocus(Control(kActionComboId));
  SendMessageW(dialog_, kMsgMainDialogActivate, 0, 0);
  SetFocus(itemList);
  ASSERT_EQ(GetFocus(), itemList);
  SendMessageW(dialog_, kMsgMainDialogActivate, 1, 0);
  // The combo's edit part holds the focus for it.
  HWND combo = Control(kActionComboId);
  EXPECT_TRUE(GetFocus() == combo || IsChild(combo, GetFocus())) << GetFocus();
}

}  // namespace
