// The count window on the Xvfb display, driven with real mouse input from
// xdotool. Runs alone (RUN_SERIAL): it needs the pointer and the screen.
#include "count_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "appearance.h"
#include "layered_paint.h"
#include "message_box_catcher.h"
#include "modal_driver.h"
#include "screen.h"
#include "shared/program_paths.h"
#include "skins.h"
#include "temp_folder.h"
#include "test_globals.h"

using testing_support::PumpMessagesUntil;
using testing_support::PumpPendingMessages;
using testing_support::ScreenImage;
using testing_support::TempFolderTest;
using testing_support::WaitForScreenPixel;
using testing_support::WaitForWindowOverColor;

namespace {

constexpr POINT kHome = {400, 300};
const wchar_t* const kFrontClass = L"TestCountdownFront";
const wchar_t* const kBelowClass = L"TestWindowBelow";
const wchar_t* const kSentinelClass = L"TestInputSentinel";
const COLORREF kGrey = RGB(128, 128, 128);  // the window below
// A small window far from the pair; a click on it marks the end of a batch of input.
constexpr RECT kSentinelRect = {1180, 700, 1220, 740};
const COLORREF kSentinelColor = RGB(0, 160, 80);
int clicksBelow = 0;
int repaintRequests = 0;
int sentinelClicks = 0;
HWND sentinel = nullptr;

std::string Point(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

// Runs a shell command line and keeps this thread's windows answering until it
// has finished (the shell then writes a marker file in the build tree).
bool RunShell(const std::string& commandLine) {
  static int serial = 0;
  // Wine's process ids repeat between runs: the tick count keeps markers apart.
  const std::string marker = std::string(SOPORA_SHELL_MARKER_DIR) + "/marker-" +
                             std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + "-" +
                             std::to_string(++serial);
  std::string dosMarker = "Z:" + marker;
  for (char& c : dosMarker)
    if (c == '/') c = '\\';
  DeleteFileA(dosMarker.c_str());
  std::string command = "/bin/sh -c \"" + commandLine + "; echo $? > '" + marker + "'\"";
  std::wstring wide(command.begin(), command.end());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  if (process.hProcess) CloseHandle(process.hProcess);
  if (process.hThread) CloseHandle(process.hThread);
  const bool finished = PumpMessagesUntil(
      [&] { return GetFileAttributesA(dosMarker.c_str()) != INVALID_FILE_ATTRIBUTES; });
  DeleteFileA(dosMarker.c_str());
  return finished;
}

bool RunXdotool(const std::string& arguments) { return RunShell("/usr/bin/xdotool " + arguments); }

LRESULT CALLBACK SentinelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;  // the pair keeps its activation and place
  if (message == WM_LBUTTONDOWN) ++sentinelClicks;
  return DefWindowProcW(window, message, wParam, lParam);
}

bool ShowSentinel() {
  if (sentinel) return true;
  sentinel = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kSentinelClass, L"", WS_POPUP | WS_VISIBLE,
                             kSentinelRect.left, kSentinelRect.top, kSentinelRect.right - kSentinelRect.left,
                             kSentinelRect.bottom - kSentinelRect.top, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  return sentinel && WaitForScreenPixel((kSentinelRect.left + kSentinelRect.right) / 2,
                                        (kSentinelRect.top + kSentinelRect.bottom) / 2, kSentinelColor);
}

// Sends the input, then a click on the sentinel, and keeps the windows
// answering until that click has arrived: input is handled in the order it
// was sent, so everything before it has been handled too. The pointer ends on
// the sentinel, away from the pair.
bool Xdotool(const std::string& arguments) {
  if (!ShowSentinel()) return false;
  const int before = sentinelClicks;
  const POINT centre = {(kSentinelRect.left + kSentinelRect.right) / 2, (kSentinelRect.top + kSentinelRect.bottom) / 2};
  if (!RunXdotool(arguments + " mousemove " + Point(centre.x, centre.y) + " click 1")) return false;
  return PumpMessagesUntil([&] { return sentinelClicks > before; });
}

// Lets every reply of the display to what came before arrive (Wine may
// restack windows on them).
bool SettleInput() { return Xdotool(""); }


// The countdown dialog's part in the pair: colour-keyed white, click-through,
// the digits as a static; it keeps the count window behind and under it.
LRESULT CALLBACK FrontProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOVE:
      FollowCountdownDialog(window);
      return 0;
    case WM_EXITSIZEMOVE:
      RecordLastMovedPosition(window);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) PlaceCountWindowBehind(window);
      return 0;
    case WM_ERASEBKGND: {
      RECT rect;
      GetClientRect(window, &rect);
      FillRect(reinterpret_cast<HDC>(wParam), &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB(appearance.textColor.red, appearance.textColor.green,
                                                      appearance.textColor.blue));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_RBUTTONUP:
      if (countWindow) SendMessageW(countWindow, WM_RBUTTONUP, wParam, lParam);
      return 0;
    case 0x8002:
      ++repaintRequests;
      PaintCountWindow(L"シャットダウン", L"01:23:45");
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK BelowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) ++clicksBelow;
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  ASSERT_TRUE(RegisterCountWindowClass(instance, 218));
  WNDCLASSEXW front = {};
  front.cbSize = sizeof front;
  front.lpfnWndProc = FrontProc;
  front.hInstance = instance;
  front.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  front.lpszClassName = kFrontClass;
  ASSERT_NE(RegisterClassExW(&front), 0);
  WNDCLASSEXW below = front;
  below.lpfnWndProc = BelowProc;
  below.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  below.lpszClassName = kBelowClass;
  ASSERT_NE(RegisterClassExW(&below), 0);
  WNDCLASSEXW marker = front;
  marker.lpfnWndProc = SentinelProc;
  marker.hbrBackground = CreateSolidBrush(kSentinelColor);
  marker.lpszClassName = kSentinelClass;
  ASSERT_NE(RegisterClassExW(&marker), 0);
}

std::wstring IniValue(const wchar_t* key) {
  wchar_t text[32] = L"";
  GetPrivateProfileStringW(L"CountWindow", key, L"<none>", text, 32, L".\\Scheduler.ini");
  return text;
}

// The next visible top-level window below `window`.
HWND NextVisibleBelow(HWND window) {
  HWND next = GetWindow(window, GW_HWNDNEXT);
  while (next && !IsWindowVisible(next)) next = GetWindow(next, GW_HWNDNEXT);
  return next;
}

RECT WindowRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}


// For a look by eye: SOPORA_SCREENSHOT=<absolute path>.png saves the display
// (after the test has waited for what it reads).
void Screenshot() {
  const char* shot = getenv("SOPORA_SCREENSHOT");
  if (!shot) return;
  RunShell(std::string("/usr/bin/import -window root ") + shot);
}

class CountWindowTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    RegisterTestClasses();
    ResetAppearance();
    countWindowSettings = CountWindowSettings();
    WritePrivateProfileStringW(L"CountWindow", L"CountPos.x", std::to_wstring(kHome.x).c_str(), L".\\Scheduler.ini");
    WritePrivateProfileStringW(L"CountWindow", L"CountPos.y", std::to_wstring(kHome.y).c_str(), L".\\Scheduler.ini");
    LoadCountWindowSettings();
    InitLayeredPaintGlobals(true);
    LoadTextBackgroundImage(0);
    LoadTypeImage(0);
    clicksBelow = 0;
    repaintRequests = 0;
    sentinelClicks = 0;
  }
  void TearDown() override {
    if (countWindow) DestroyWindow(countWindow);
    if (testFrontWindow) DestroyWindow(testFrontWindow);
    if (below_) DestroyWindow(below_);
    if (sentinel) DestroyWindow(sentinel);
    testFrontWindow = below_ = sentinel = nullptr;
    countWindow = nullptr;
    PumpPendingMessages();
    ResetAppearance();
    TempFolderTest::TearDown();
  }
  void CreatePair(bool digitsStatic = true) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // Another program's window under the pair.
    below_ = CreateWindowExW(WS_EX_TOOLWINDOW, kBelowClass, L"", WS_POPUP | WS_VISIBLE, 200, 150, 700, 450,
                             nullptr, nullptr, instance, nullptr);
    ASSERT_TRUE(WaitForScreenPixel(210, 160, kGrey)) << "the window below on the screen";
    testFrontWindow = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT, kFrontClass, L"",
                                      WS_POPUP, 0, 0, 121, 44, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(testFrontWindow, nullptr);
    SetLayeredWindowAttributes(testFrontWindow, RGB(255, 255, 255), 255, LWA_COLORKEY | LWA_ALPHA);
    HWND digits = CreateWindowExW(WS_EX_TRANSPARENT, L"STATIC", L"01:23:45",
                                  WS_CHILD | (digitsStatic ? WS_VISIBLE : 0) | SS_RIGHT,
                                  17, 22, 94, 15, testFrontWindow, nullptr, instance, nullptr);
    font_ = CreateFontW(17, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Verdana");
    SendMessageW(digits, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ASSERT_NE(CreateCountWindow(false), nullptr);
    ASSERT_TRUE(WaitForWindowOverColor(countWindow, kGrey));
    // Wine may restack the other window above the count window once the
    // display answers; the countdown dialog's activation puts it back.
    ASSERT_TRUE(SettleInput());
    SendMessageW(testFrontWindow, WM_ACTIVATE, WA_ACTIVE, 0);
    ASSERT_TRUE(SettleInput());
    ASSERT_TRUE(WaitForWindowOverColor(countWindow, kGrey)) << "the pair over the window below";
  }
  // Both windows cover the same rectangle at `at`.
  void ExpectPairAt(POINT at, SIZE size = {121, 44}) {
    RECT front = WindowRect(testFrontWindow), back = WindowRect(countWindow);
    EXPECT_EQ(front.left, at.x);
    EXPECT_EQ(front.top, at.y);
    EXPECT_EQ(front.right - front.left, size.cx);
    EXPECT_EQ(front.bottom - front.top, size.cy);
    EXPECT_TRUE(EqualRect(&front, &back)) << "count window at " << back.left << "," << back.top;
  }
  void Drag(POINT from, POINT to) {
    ASSERT_TRUE(Xdotool("mousemove " + Point(from.x, from.y) + " sleep 0.2 mousedown 1 sleep 0.2 mousemove " +
                        Point((from.x + to.x) / 2, (from.y + to.y) / 2) + " sleep 0.2 mousemove " +
                        Point(to.x, to.y) + " sleep 0.2 mousemove " + Point(to.x, to.y) +
                        " sleep 0.2 mouseup 1"));
  }
  void DoubleClick(POINT at) {
    ASSERT_TRUE(Xdotool("mousemove " + Point(at.x, at.y) + " sleep 0.2 click --repeat 2 --delay 60 1"));
  }
  void Command(int id) { SendMessageW(countWindow, WM_COMMAND, static_cast<WPARAM>(id), 0); }

  HWND below_ = nullptr;
  HFONT font_ = nullptr;
};

TEST_F(CountWindowTest, CreationPutsThePairAtHomeWithTheCountWindowBehind) {
  CreatePair();
  EXPECT_EQ(countWindowCreated, 1);
  ExpectPairAt(kHome);
  EXPECT_EQ(repaintRequests, 1);
  EXPECT_TRUE(IsWindowVisible(countWindow));
  EXPECT_TRUE(IsWindowVisible(testFrontWindow));
  LONG style = GetWindowLongW(countWindow, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_EX_LAYERED);
  EXPECT_TRUE(style & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(style & WS_EX_TRANSPARENT);
  EXPECT_EQ(NextVisibleBelow(testFrontWindow), countWindow);
  wchar_t className[32];
  GetClassNameW(countWindow, className, 32);
  EXPECT_STREQ(className, L"CountClass");
}

TEST_F(CountWindowTest, DragMovesBothWindowsAndSetHomeStoresWhereTheDragEnded) {
  CreatePair();
  Command(32784);  // no drag yet: the home read at start
  EXPECT_EQ(IniValue(L"CountPos.x"), L"400");
  EXPECT_EQ(IniValue(L"CountPos.y"), L"300");

  Drag({kHome.x + 60, kHome.y + 30}, {kHome.x + 260, kHome.y + 130});
  RECT moved = WindowRect(testFrontWindow);
  EXPECT_NEAR(moved.left, kHome.x + 200, 2);
  EXPECT_NEAR(moved.top, kHome.y + 100, 2);
  ExpectPairAt({moved.left, moved.top});
  EXPECT_EQ(countWindowSettings.lastMovedPosition.x, moved.left);
  EXPECT_EQ(countWindowSettings.homePosition.x, kHome.x);

  Command(32784);
  EXPECT_EQ(IniValue(L"CountPos.x"), std::to_wstring(moved.left));
  EXPECT_EQ(IniValue(L"CountPos.y"), std::to_wstring(moved.top));
  EXPECT_EQ(countWindowSettings.homePosition.y, moved.top);
}

TEST_F(CountWindowTest, DoubleClickReturnsThePairHome) {
  CreatePair();
  MoveWindow(testFrontWindow, 700, 500, 121, 44, FALSE);
  PumpPendingMessages();
  ExpectPairAt({700, 500});
  DoubleClick({760, 520});
  ExpectPairAt(kHome);
}

TEST_F(CountWindowTest, FixedPairIgnoresDragAndDoubleClick) {
  CreatePair();
  Command(32785);
  EXPECT_TRUE(countWindowSettings.fixed);
  EXPECT_EQ(IniValue(L"Fix"), L"1");
  Drag({kHome.x + 60, kHome.y + 30}, {kHome.x + 200, kHome.y + 150});
  ExpectPairAt(kHome);
  MoveWindow(testFrontWindow, 650, 450, 121, 44, FALSE);
  PumpPendingMessages();
  DoubleClick({700, 470});
  ExpectPairAt({650, 450});
  Command(32785);
  EXPECT_EQ(IniValue(L"Fix"), L"0");
  DoubleClick({700, 470});
  ExpectPairAt(kHome);
}

TEST_F(CountWindowTest, ClickThroughLetsClicksReachTheWindowBelow) {
  CreatePair();
  ASSERT_TRUE(Xdotool("mousemove " + Point(kHome.x + 60, kHome.y + 30) + " sleep 0.2 click 1"));
  EXPECT_EQ(clicksBelow, 0);
  ToggleCountWindowClickThrough();
  EXPECT_TRUE(GetWindowLongW(countWindow, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_EQ(IniValue(L"TransParent"), L"1");
  ASSERT_TRUE(Xdotool("mousemove " + Point(kHome.x + 60, kHome.y + 30) + " sleep 0.2 click 1"));
  EXPECT_EQ(clicksBelow, 1);
  ExpectPairAt(kHome);
  ToggleCountWindowClickThrough();
  EXPECT_FALSE(GetWindowLongW(countWindow, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_EQ(IniValue(L"TransParent"), L"0");
}

TEST_F(CountWindowTest, StoredTogglesTakeEffectOnANewPair) {
  WritePrivateProfileStringW(L"CountWindow", L"TransParent", L"1", L".\\Scheduler.ini");
  WritePrivateProfileStringW(L"CountWindow", L"TopMost", L"1", L".\\Scheduler.ini");
  LoadCountWindowSettings();
  CreatePair();
  EXPECT_TRUE(GetWindowLongW(countWindow, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_TRUE(GetWindowLongW(testFrontWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(CountWindowTest, TopMostAndHideCommands) {
  CreatePair();
  Command(32775);
  EXPECT_TRUE(GetWindowLongW(testFrontWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(IniValue(L"TopMost"), L"1");
  EXPECT_EQ(NextVisibleBelow(testFrontWindow), countWindow);
  Command(32775);
  EXPECT_FALSE(GetWindowLongW(testFrontWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(IniValue(L"TopMost"), L"0");
  Command(32817);
  EXPECT_FALSE(IsWindowVisible(testFrontWindow));
  EXPECT_FALSE(IsWindowVisible(countWindow));
}

// Reads the menu while it is open (timers run inside the menu's loop), then
// closes it.
HMENU shownMenu = nullptr;
UINT fixState = 0, topMostState = 0;
int menuItems = 0;
void CALLBACK LookForMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND popup = FindWindowW(L"#32768", nullptr);
  if (!popup || !IsWindowVisible(popup)) return;
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
  if (menu && !shownMenu) {
    shownMenu = menu;
    menuItems = GetMenuItemCount(menu);
    fixState = GetMenuState(menu, 32785, MF_BYCOMMAND);
    topMostState = GetMenuState(menu, 32775, MF_BYCOMMAND);
  }
  EndMenu();
}

TEST_F(CountWindowTest, RightClickOpensMenu139WithItsChecks) {
  CreatePair();
  Command(32785);  // fixed: the menu still works
  SetTimer(countWindow, 1, 50, LookForMenu);
  // No sentinel click after it: a click outside the menu would close it
  // before the timer reads it.
  ASSERT_TRUE(RunXdotool("mousemove 5 5 sleep 0.2 mousemove " + Point(kHome.x + 60, kHome.y + 30) +
                         " sleep 0.2 click 3"));
  EXPECT_TRUE(PumpMessagesUntil([] { return shownMenu != nullptr; })) << "no menu opened";
  EXPECT_TRUE(PumpMessagesUntil([] { return testing_support::FindShownPopupMenu() == nullptr; }));
  KillTimer(countWindow, 1);
  ASSERT_NE(shownMenu, nullptr);
  EXPECT_EQ(menuItems, 5);
  EXPECT_TRUE(fixState & MF_CHECKED);
  EXPECT_FALSE(topMostState & MF_CHECKED);
  EXPECT_TRUE(IsWindowVisible(countWindow));
}

TEST_F(CountWindowTest, StoredPositionsAreClampedToWhatCanBeReadBack) {
  CreatePair();
  countWindowSettings.lastMovedPosition = {-5000, 123456};
  Command(32784);
  EXPECT_EQ(IniValue(L"CountPos.x"), L"-999");
  EXPECT_EQ(IniValue(L"CountPos.y"), L"9999");
  struct Case {
    int in, out;
  } cases[] = {{-1000, -999}, {-999, -999}, {0, 0}, {9999, 9999}, {10000, 9999}, {INT32_MIN, -999}};
  for (const Case& c : cases) EXPECT_EQ(ClampStoredCoordinate(c.in), c.out);
}

TEST_F(CountWindowTest, SettingsReadTheirWidthsAndCentreWithoutAFile) {
  DeleteFileW(L".\\Scheduler.ini");
  LoadCountWindowSettings();
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(countWindowSettings.homePosition.x, (work.right - 121) / 2);
  EXPECT_EQ(countWindowSettings.homePosition.y, (work.bottom - 44) / 2);
  EXPECT_EQ(countWindowSettings.lastMovedPosition.x, countWindowSettings.homePosition.x);
  EXPECT_FALSE(countWindowSettings.fixed || countWindowSettings.topMost || countWindowSettings.clickThrough);
  WritePrivateProfileStringW(L"CountWindow", L"CountPos.x", L"12345", L".\\Scheduler.ini");
  WritePrivateProfileStringW(L"CountWindow", L"CountPos.y", L"-77", L".\\Scheduler.ini");
  WritePrivateProfileStringW(L"CountWindow", L"Fix", L"20", L".\\Scheduler.ini");
  LoadCountWindowSettings();
  EXPECT_EQ(countWindowSettings.homePosition.x, 1234);
  EXPECT_EQ(countWindowSettings.homePosition.y, -77);
  EXPECT_TRUE(countWindowSettings.fixed);
}

TEST_F(CountWindowTest, HomeOffEveryMonitorOpensCentred) {
  countWindowSettings.homePosition = {9000, 9000};
  CreatePair();
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ExpectPairAt({(work.right - 121) / 2, (work.bottom - 44) / 2});
}

TEST_F(CountWindowTest, SkinnedFormTakesTheSkinSizeOnTheWayHome) {
  CreatePair();
  appearance.form = Skinned;
  appearance.skinImage = appearance.textBackgroundImage;  // an 84 x 18 image
  appearance.textBackgroundImage = nullptr;
  MoveWindow(testFrontWindow, 600, 500, 121, 44, FALSE);
  PumpPendingMessages();
  DoubleClick({620, 505});
  ExpectPairAt(kHome, {84, 18});
}

// The pair as a user sees it: the digits of the dialog over the painted frame.
TEST_F(CountWindowTest, ScreenShowsTheDigitsOverTheImage) {
  CreatePair();
  ASSERT_TRUE(SettleInput());  // the pointer away from the pair
  int dark = 0, field = 0;
  COLORREF label = CLR_INVALID, outside = CLR_INVALID;
  auto shown = [&] {
    const ScreenImage screen({kHome.x - 10, kHome.y, kHome.x + 121, kHome.y + 44});
    dark = field = 0;
    for (int y = kHome.y + 24; y < kHome.y + 38; ++y)
      for (int x = kHome.x + 17; x < kHome.x + 111; ++x) {
        COLORREF c = screen.At(x, y);
        int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
        if (sum < 200) ++dark;
        if (sum > 700) ++field;
      }
    label = screen.At(kHome.x + 30, kHome.y + 20);
    outside = screen.At(kHome.x - 5, kHome.y + 20);
    return dark > 40 && field > 400 && GetRValue(label) < 120 && outside == kGrey;
  };
  PumpMessagesUntil(shown);
  EXPECT_GT(dark, 40) << "the digits";
  EXPECT_GT(field, 400) << "the near-white field around them";
  EXPECT_LT(GetRValue(label), 120) << "the label background";
  EXPECT_EQ(outside, RGB(128, 128, 128)) << "the window below";
  Screenshot();
}

TEST_F(CountWindowTest, ClickThroughWithoutAWindowChangesOnlyTheFlagAndTheKey) {
  ASSERT_EQ(countWindow, nullptr);
  ToggleCountWindowClickThrough();
  EXPECT_TRUE(countWindowSettings.clickThrough);
  EXPECT_EQ(IniValue(L"TransParent"), L"1");
}

TEST_F(CountWindowTest, CountdownProgramUsesItsIniFileAndCommandIds) {
  countWindowConfig = kCountdownCountWindowConfig;
  countWindowConfig.frontWindow = &testFrontWindow;
  CreatePair();
  auto soporaValue = [](const wchar_t* key) {
    wchar_t text[32] = L"";
    GetPrivateProfileStringW(L"CountWindow", key, L"<none>", text, 32, L".\\sopora.ini");
    return std::wstring(text);
  };
  Command(32785);  // the scheduler's "fix" means nothing here
  EXPECT_FALSE(countWindowSettings.fixed);
  Command(32841);
  EXPECT_TRUE(countWindowSettings.fixed);
  EXPECT_EQ(soporaValue(L"Fix"), L"1");
  Command(32840);
  EXPECT_EQ(soporaValue(L"TopMost"), L"1");
  countWindowSettings.lastMovedPosition = {12, 34};
  Command(32843);
  EXPECT_EQ(soporaValue(L"CountPos.x"), L"12");
  EXPECT_EQ(soporaValue(L"CountPos.y"), L"34");
  EXPECT_EQ(IniValue(L"Fix"), L"<none>");
  Command(32876);
  EXPECT_FALSE(IsWindowVisible(countWindow));
}

TEST_F(CountWindowTest, ScreenShowsTheSampleSkinWithBothTexts) {
  std::string unix = SOPORA_RESOURCES_DIR;
  std::wstring folder(unix.begin(), unix.end());
  for (wchar_t& c : folder)
    if (c == L'/') c = L'\\';
  SetProgramPaths(folder.c_str(), L"SoporaScheduler");
  appearance.form = Skinned;
  wcscpy(appearance.skinName, L"Sample");
  LoadCountWindowImages(nullptr);
  ASSERT_EQ(appearance.form, Skinned);
  CreatePair(false);  // in form Skinned the dialog hides its digits and the painter draws them
  ASSERT_TRUE(SettleInput());  // the pointer away from the pair
  ExpectPairAt(kHome, {168, 60});
  const SkinLayout& box = appearance.skinLayout[1];
  const SkinLayout& label = appearance.skinLayout[0];
  int digits = 0, light = 0;
  auto shown = [&] {
    const ScreenImage screen({kHome.x, kHome.y, kHome.x + 168, kHome.y + 60});
    digits = light = 0;
    for (int y = box.locationY; y < box.locationY + box.height; ++y)
      for (int x = box.locationX; x < box.locationX + box.width; ++x) {
        COLORREF c = screen.At(kHome.x + x, kHome.y + y);
        if (GetRValue(c) < 90 && GetGValue(c) < 100 && GetBValue(c) < 130) ++digits;
      }
    for (int y = label.locationY; y < label.locationY + label.height; ++y)
      for (int x = label.locationX; x < label.locationX + label.width; ++x)
        if (GetRValue(screen.At(kHome.x + x, kHome.y + y)) > 180) ++light;
    return digits > 60 && light > 20;
  };
  PumpMessagesUntil(shown);
  EXPECT_GT(digits, 60) << "the countdown in the skin's colour";
  EXPECT_GT(light, 20) << "the action name";
  Screenshot();
}

}  // namespace
