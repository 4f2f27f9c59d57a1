// A real run of the scheduler in-process: the main window's start-up, a
// countdown dialog for a date schedule a few minutes ahead and the layered
// count window behind it, on the Xvfb display. The power calls are recorded,
// never made. Runs alone (RUN_SERIAL): it reads the screen.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "appearance.h"
#include "count_window.h"
#include "countdown_dialog.h"
#include "main_window.h"
#include "main_window_state.h"
#include "modal_driver.h"
#include "mode_dialog.h"
#include "private_messages.h"
#include "screen.h"
#include "schedule_model.h"
#include "shared/power_actions.h"
#include "shared/schedule_time.h"
#include "temp_folder.h"

using testing_support::PumpMessagesUntil;
using testing_support::ScreenImage;
using testing_support::TempFolderTest;
using testing_support::WaitForScreenPixel;
using testing_support::WaitForWindowOverColor;
using testing_support::WriteBytes;

namespace {

constexpr POINT kHome = {300, 200};
const wchar_t* const kBelowClass = L"CountRunBelow";

// GDI+ runs for the whole test program, as in the shipped program.
class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};
::testing::Environment* const gdiplusEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// --- Power calls: recorded, none reaches the system ---------------------------
std::vector<std::string> powerCalls;
std::vector<EXECUTION_STATE> executionStates;

BOOL NoToken(HANDLE*) {
  powerCalls.push_back("openProcessToken");
  return FALSE;
}
BOOL NoPrivilege(HANDLE, TOKEN_PRIVILEGES*) {
  powerCalls.push_back("adjustTokenPrivileges");
  return FALSE;
}
BOOL NoClose(HANDLE) { return TRUE; }
BOOL NoExit(UINT) {
  powerCalls.push_back("exitWindows");
  return FALSE;
}
BOOL NoSuspend(BOOL, BOOL) {
  powerCalls.push_back("setSystemPowerState");
  return FALSE;
}
HANDLE NoTimer() {
  powerCalls.push_back("createResumeTimer");
  return nullptr;
}
BOOL NoArm(HANDLE, int64_t, DWORD* lastError) {
  powerCalls.push_back("setResumeTimer");
  if (lastError) *lastError = 0;
  return FALSE;
}
EXECUTION_STATE RecordExecutionState(EXECUTION_STATE flags) {
  executionStates.push_back(flags);
  return ES_CONTINUOUS;
}
void NoMonitorOff() { powerCalls.push_back("switchMonitorOff"); }

const PowerCalls kRecordingPower = {NoToken, NoPrivilege, NoClose,      NoExit,
                                    NoSuspend, NoTimer,   NoArm,        RecordExecutionState,
                                    NoMonitorOff};

const COLORREF kGrey = RGB(128, 128, 128);  // the window below


RECT WindowRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

HWND NextVisibleBelow(HWND window) {
  HWND next = GetWindow(window, GW_HWNDNEXT);
  while (next && !IsWindowVisible(next)) next = GetWindow(next, GW_HWNDNEXT);
  return next;
}

class CountRunTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    static const bool registered = [] {
      HINSTANCE instance = GetModuleHandleW(nullptr);
      LoadStringW(instance, 103, windowTitle, 100);
      LoadStringW(instance, 109, className, 100);
      WNDCLASSEXW below = {};
      below.cbSize = sizeof below;
      below.lpfnWndProc = DefWindowProcW;
      below.hInstance = instance;
      below.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
      below.lpszClassName = kBelowClass;
      return RegisterWindowClasses(instance) && RegisterClassExW(&below) != 0;
    }();
    ASSERT_TRUE(registered);
    powerCalls.clear();
    executionStates.clear();
    SetPowerCalls(&kRecordingPower);
    countWindowSettings = CountWindowSettings();
    countdownDialog = countWindow = nullptr;
    // The home position the start-up reads.
    ASSERT_TRUE(WriteBytes(L"Scheduler.ini", "[CountWindow]\r\nCountPos.x=300\r\nCountPos.y=200\r\n"));

    ClearScheduleTable(scheduleTable, orderTable);
    memset(&profileSettings, 0, sizeof profileSettings);
    memset(featureOff, 0, sizeof featureOff);
    scheduleMode = DateMode;
    startProfileName[0] = L'\0';
    endNowRequested = 0;
    {
      // No profile is loaded: the start-up asks for the mode; OK keeps it.
      testing_support::ModalDriver answer([] {
        HWND mode = testing_support::FindThreadDialogWithControl(kDateModeRadioId);
        if (!mode) return false;
        PostMessageW(mode, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
      });
      window_ = CreateWindowExW(0, className, windowTitle, WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 400, 300,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ASSERT_NE(window_, nullptr);
    // Another program's window under the pair, so that see-through parts show grey.
    below_ = CreateWindowExW(WS_EX_TOOLWINDOW, kBelowClass, L"", WS_POPUP | WS_VISIBLE, kHome.x - 60, kHome.y - 60,
                             260, 180, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(below_, nullptr);
    // Wine restacks a new window once the display answers; that is over before the run starts.
    ASSERT_TRUE(WaitForScreenPixel(kHome.x - 50, kHome.y - 50, kGrey)) << "the window below on the screen";
    PutShutdownInFiveMinutes();
  }
  void TearDown() override {
    if (countWindow && IsWindow(countWindow)) DestroyWindow(countWindow);
    if (countdownDialog && IsWindow(countdownDialog)) DestroyWindow(countdownDialog);
    countWindow = countdownDialog = nullptr;
    if (below_) DestroyWindow(below_);
    if (window_ && IsWindow(window_)) {
      DestroyWindow(mainDialog);
      mainDialog = nullptr;
      DestroyWindow(window_);
    }
    // The main window's end posts WM_QUIT, which is not this test's to keep.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      DispatchMessageW(&message);
    }
    SetPowerCalls(nullptr);
    TempFolderTest::TearDown();
  }

  void PutShutdownInFiveMinutes() {
    SYSTEMTIME due;
    GetLocalTime(&due);
    due.wMilliseconds = 0;
    AddDaysToSystemTime(&due, 300.0 / 86400.0);
    ScheduleItem& item = scheduleTable[0][0];
    item.listIndex = 0;
    item.time = due;
    item.action = Shutdown;
    item.oleTime = ToOleDate(due);
    wcscpy(item.weekdayText, L"(日)");
    orderTable[0][0] = 0;
  }

  // What the main dialog does at a start: the countdown dialog, then the count window.
  void StartRun() {
    ASSERT_NE(CreateCountdownDialog(), nullptr);
    ASSERT_NE(CreateCountWindow(false), nullptr);
    // Read before the display answers: Wine may then restack its own idea of
    // the order (not the screen); the dialog's next activation mends it.
    belowDialogAtStart_ = NextVisibleBelow(countdownDialog);
    ASSERT_TRUE(WaitForWindowOverColor(countWindow, kGrey));
  }

  HWND window_ = nullptr;
  HWND below_ = nullptr;
  HWND belowDialogAtStart_ = nullptr;
};

TEST_F(CountRunTest, TheStartedCountdownShowsInTheCountWindowBehindItAtHome) {
  EXPECT_EQ(countWindowSettings.homePosition.x, kHome.x) << "read at start-up";
  StartRun();
  ASSERT_TRUE(countdownDialog && IsWindow(countdownDialog));
  ASSERT_TRUE(countWindow && IsWindow(countWindow));
  EXPECT_EQ(countWindowCreated, 1);
  wchar_t name[32] = L"";
  GetClassNameW(countWindow, name, 32);
  EXPECT_STREQ(name, L"CountClass");
  EXPECT_TRUE(GetWindowLongW(countWindow, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(IsWindowVisible(countWindow));
  EXPECT_TRUE(IsWindowVisible(countdownDialog));

  const RECT count = WindowRect(countWindow);
  const RECT dialog = WindowRect(countdownDialog);
  EXPECT_EQ(count.left, kHome.x);
  EXPECT_EQ(count.top, kHome.y);
  EXPECT_EQ(count.right - count.left, 121);
  EXPECT_EQ(count.bottom - count.top, 44);
  EXPECT_EQ(dialog.left, kHome.x);
  EXPECT_EQ(dialog.top, kHome.y);
  EXPECT_EQ(belowDialogAtStart_, countWindow) << "the count window lies right behind the dialog";
  // The run keeps the machine awake, through the seam.
  ASSERT_FALSE(executionStates.empty());
  EXPECT_EQ(executionStates.back(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));

  SendMessageW(countdownDialog, kMsgRepaintCountWindow, 0, 1);
  int field = 0, dark = 0;
  COLORREF outside = CLR_INVALID;
  PumpMessagesUntil([&] {
    const ScreenImage screen({kHome.x - 10, kHome.y, kHome.x + 121, kHome.y + 44});
    field = dark = 0;
    for (int y = kHome.y + 24; y < kHome.y + 38; ++y)
      for (int x = kHome.x + 17; x < kHome.x + 111; ++x) {
        const COLORREF c = screen.At(x, y);
        const int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
        if (sum > 700) ++field;
        if (sum < 200) ++dark;
      }
    outside = screen.At(kHome.x - 5, kHome.y + 20);
    return field > 400 && dark > 40 && outside == kGrey;
  });
  EXPECT_GT(field, 400) << "the frame's near-white digit field is opaque over the grey window";
  EXPECT_GT(dark, 40) << "the dialog's digits over it";
  EXPECT_EQ(outside, RGB(128, 128, 128)) << "the window below beside the pair";
  EXPECT_TRUE(powerCalls.empty()) << "no power action before the due time";
}

TEST_F(CountRunTest, ThePairMovesTogetherAndTheTrayBringsItHome) {
  StartRun();
  ASSERT_TRUE(countWindow && countdownDialog);
  SetWindowPos(countdownDialog, nullptr, 500, 420, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(countdownDialog, WM_EXITSIZEMOVE, 0, 0);
  RECT count = WindowRect(countWindow);
  EXPECT_EQ(count.left, 500);
  EXPECT_EQ(count.top, 420);
  EXPECT_EQ(count.right - count.left, 121);
  EXPECT_EQ(countWindowSettings.lastMovedPosition.x, 500);
  EXPECT_EQ(countWindowSettings.lastMovedPosition.y, 420);
  EXPECT_EQ(countWindowSettings.homePosition.x, kHome.x) << "a drag does not move home";

  SendMessageW(window_, WM_COMMAND, kCmdMoveCountHome, 0);
  count = WindowRect(countWindow);
  const RECT dialog = WindowRect(countdownDialog);
  EXPECT_EQ(dialog.left, kHome.x);
  EXPECT_EQ(dialog.top, kHome.y);
  EXPECT_EQ(count.left, kHome.x);
  EXPECT_EQ(count.top, kHome.y);

  // Activating the dialog keeps the count window right behind it.
  SetWindowPos(countWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(countdownDialog, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(NextVisibleBelow(countdownDialog), countWindow);
}

TEST_F(CountRunTest, AbortFromTheTrayDestroysBothWindows) {
  StartRun();
  HWND dialog = countdownDialog;
  HWND count = countWindow;
  ASSERT_TRUE(IsWindow(dialog) && IsWindow(count));
  ShowWindow(window_, SW_HIDE);
  SendMessageW(window_, WM_COMMAND, kCmdAbort, 0);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_FALSE(IsWindow(count));
  EXPECT_EQ(countdownDialog, nullptr);
  EXPECT_EQ(countWindow, nullptr);
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(countWindowCreated, 1) << "the tray keeps menu 146";
  ASSERT_FALSE(executionStates.empty());
  EXPECT_EQ(executionStates.back(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS)) << "idle sleep allowed again";
  EXPECT_TRUE(powerCalls.empty());
}

TEST_F(CountRunTest, TheTrayShowsTheRunsNextItemUntilTheAbort) {
  ScheduleItem& item = scheduleTable[0][0];
  wcscpy(item.timeText, L"2030/01/02 03:04");
  item.soundIndex = 1;
  item.soundSeconds = 45;
  profileSettings.sounds.count = 1;
  wcscpy(profileSettings.sounds.paths[0], L"C:\\sounds\\alarm.wav");
  StartRun();
  SendMessageW(window_, WM_COMMAND, kCmdConfirm, 0);
  HWND confirm = confirmDialog;
  ASSERT_NE(confirm, nullptr);
  EXPECT_TRUE(IsWindowVisible(confirm));
  wchar_t text[100] = L"";
  GetDlgItemTextW(confirm, 1913, text, 100);
  EXPECT_STREQ(text, L"(2030/01/02 03:04)") << "the countdown dialog answered with its item";
  GetDlgItemTextW(confirm, 1910, text, 100);
  EXPECT_STREQ(text, L"終了45秒前");
  GetDlgItemTextW(confirm, 1903, text, 100);
  EXPECT_STREQ(text, L"C:\\sounds\\alarm.wav");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(confirm, 1901))) << "a shutdown without a wake item";

  SendMessageW(window_, WM_COMMAND, kCmdAbort, 0);
  EXPECT_FALSE(IsWindow(confirm));
  EXPECT_EQ(confirmDialog, nullptr);
  // No run any more: the command opens nothing.
  SendMessageW(window_, WM_COMMAND, kCmdConfirm, 0);
  EXPECT_EQ(confirmDialog, nullptr);
}

}  // namespace
