#include "confirm_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "confirm_view.h"
#include "dpi_scaling.h"
#include "icon_counter.h"
#include "main_window.h"
#include "main_window_state.h"
#include "private_messages.h"
#include "screen.h"
#include "temp_folder.h"
#include "tray_icon.h"
#include "wait.h"

using testing_support::IconAlive;
using testing_support::IconCounter;
using testing_support::PumpMessagesUntil;
using testing_support::PumpPendingMessages;
using testing_support::ScreenImage;
using testing_support::TempFolderTest;

namespace {

ScheduleItem MakeItem(const wchar_t* timeText) {
  ScheduleItem item;
  ClearScheduleItem(item);
  item.listIndex = 0;
  wcscpy(item.timeText, timeText);
  return item;
}

void AddApp(ScheduleItem& item, int slot, const std::wstring& path, const wchar_t* arguments, int delay) {
  wcscpy(item.appPaths[slot], path.c_str());
  wcscpy(item.appArguments[slot], arguments);
  item.appDelays[slot] = delay;
}

void FillSettings(ProfileSettings& settings) {
  memset(&settings, 0, sizeof settings);
  settings.sounds.count = 2;
  wcscpy(settings.sounds.paths[0], L"C:\\sounds\\chime.wav");
  wcscpy(settings.sounds.paths[1], L"C:\\sounds\\bell.mp3");
  settings.mail.addressCount = 2;
  wcscpy(settings.mail.addresses[0], L"first@sopora.example");
  wcscpy(settings.mail.addresses[1], L"second@sopora.example");
  settings.general.bringToFront = 1;
  settings.general.bringToFrontSeconds = 300;
}

TEST(SchedulerConfirmContentTest, PagesFromTheItemAndItsWakeItem) {
  ProfileSettings settings;
  FillSettings(settings);
  ScheduleItem item = MakeItem(L"2026/12/24 23:30");
  item.soundIndex = 2;
  item.soundSeconds = 30;
  item.mailTo = 1;
  item.captureEnabled = 1;
  ScheduleItem wake = MakeItem(L"2026/12/25 07:00");
  wake.soundIndex = 1;
  wake.soundSeconds = 5;
  wake.mailTo = 2;
  AddApp(wake, 0, L"C:\\tools\\a.exe", L"", 0);
  AddApp(wake, 1, L"C:\\tools\\b.exe", L"-x", 15);

  ConfirmContent content = SchedulerConfirmContent(item, &wake, settings);
  EXPECT_TRUE(content.hasAfterPage);
  EXPECT_EQ(content.pages[0].dateLine, L"(2026/12/24 23:30)");
  EXPECT_EQ(content.pages[0].soundTiming, L"終了30秒前");
  EXPECT_EQ(content.pages[0].soundPath, L"C:\\sounds\\bell.mp3");
  EXPECT_EQ(content.pages[0].mail, L"first@sopora.example");
  EXPECT_EQ(content.pages[0].capture, L"有効");
  EXPECT_EQ(content.pages[0].bringToFront, L"5分前");
  EXPECT_EQ(content.pages[1].dateLine, L"(2026/12/25 07:00)");
  EXPECT_EQ(content.pages[1].soundTiming, L"復帰5秒後");
  EXPECT_EQ(content.pages[1].soundPath, L"C:\\sounds\\chime.wav");
  EXPECT_EQ(content.pages[1].mail, L"second@sopora.example");
  ASSERT_EQ(content.apps.size(), 2u);
  EXPECT_EQ(content.apps[1].path, L"C:\\tools\\b.exe");
  EXPECT_EQ(content.apps[1].arguments, L"-x");
  EXPECT_EQ(content.apps[1].delay, 15);

  // Nothing configured, no wake item.
  const ScheduleItem bare = MakeItem(L"23:30");
  settings.general.bringToFront = 0;
  content = SchedulerConfirmContent(bare, nullptr, settings);
  EXPECT_FALSE(content.hasAfterPage);
  EXPECT_EQ(content.pages[0].dateLine, L"(23:30)");
  EXPECT_EQ(content.pages[0].soundTiming, L"なし");
  EXPECT_EQ(content.pages[0].soundPath, L"");
  EXPECT_EQ(content.pages[0].mail, L"なし");
  EXPECT_EQ(content.pages[0].capture, L"無効");
  EXPECT_EQ(content.pages[0].bringToFront, L"無効");
  EXPECT_TRUE(content.apps.empty());
}

TEST(ConfirmViewTest, ApplicationsCellsAndDetails) {
  wchar_t paths[10][260] = {};
  wchar_t arguments[10][256] = {};
  int32_t delays[10];
  for (int i = 0; i < 10; ++i) {
    _snwprintf(paths[i], 260, L"C:\\app%d.exe", i);
    delays[i] = i * 10;
  }
  EXPECT_EQ(ListedApps(paths, arguments, delays).size(), 10u) << "at most ten";
  delays[3] = -1;
  const std::vector<ConfirmApp> apps = ListedApps(paths, arguments, delays);
  ASSERT_EQ(apps.size(), 3u) << "the list ends at the first empty slot";
  EXPECT_EQ(apps[2].path, L"C:\\app2.exe");

  const AppDetailTexts none = DetailTextsFor(apps[2]);
  EXPECT_EQ(none.arguments, L"なし");
  EXPECT_EQ(none.timing, L"復帰してから20秒後に起動");
  EXPECT_EQ(DetailTextsFor(ConfirmApp{L"C:\\x.exe", L"/s", 0}).arguments, L"/s");

  const int rows[2] = {208, 249};
  const struct {
    int index, x, y;
  } cells[] = {{0, 6, 208}, {4, 170, 208}, {5, 6, 249}, {6, 47, 249}, {9, 170, 249}};
  RECT all[10];
  for (int i = 0; i < 10; ++i) all[i] = AppCellRect(i, rows);
  for (const auto& c : cells) {
    const RECT r = all[c.index];
    EXPECT_EQ(r.left, ScaleX(c.x)) << c.index;
    EXPECT_EQ(r.top, ScaleY(c.y)) << c.index;
    EXPECT_EQ(r.right, ScaleX(c.x + 41)) << c.index;
    EXPECT_EQ(r.bottom, ScaleY(c.y + 41)) << c.index;
    EXPECT_EQ(AppCellAt(all, 10, POINT{r.left + 2, r.top + 2}), c.index);
  }
  EXPECT_EQ(AppCellAt(all, 10, POINT{ScaleX(3), ScaleY(220)}), -1);
  EXPECT_EQ(AppCellAt(all, 7, POINT{all[8].left + 2, all[8].top + 2}), -1) << "past the listed ones";
}

// Stands in for the countdown dialog: answers "which items" as it does, or
// not at all.
ScheduleItem currentItem;
ScheduleItem wakeItem;
bool hasWakeItem;
bool answers;
int asked;
LRESULT CALLBACK FakeCountdownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgAskItems) {
    ++asked;
    if (answers)
      SendMessageW(reinterpret_cast<HWND>(lParam), kMsgItemsToShow, reinterpret_cast<WPARAM>(&currentItem),
                   hasWakeItem ? reinterpret_cast<LPARAM>(&wakeItem) : 0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

BOOL CALLBACK CountConfirmDialogs(HWND window, LPARAM count) {
  if (GetDlgItem(window, 1900) && GetDlgItem(window, 1914)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}
int ConfirmDialogsOfThread() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountConfirmDialogs, reinterpret_cast<LPARAM>(&count));
  return count;
}

class ConfirmDialogTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    static ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = FakeCountdownProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"FakeCountdownForConfirm";
      return RegisterClassW(&wc);
    }();
    ASSERT_NE(atom, 0);
    workArea = RECT{0, 0, 1280, 800};
    FillSettings(profileSettings);
    countdownDialog = CreateWindowExW(0, L"FakeCountdownForConfirm", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    answers = true;
    asked = 0;
    hasWakeItem = true;
    currentItem = MakeItem(L"2026/12/24 23:30");
    currentItem.soundIndex = 1;
    currentItem.soundSeconds = 20;
    currentItem.mailTo = 2;
    currentItem.captureEnabled = 1;
    wakeItem = MakeItem(L"2026/12/25 06:45");
    // Seven applications, the fourth one's file missing.
    // Files of the test's own: a program (this test's copy) and a text file.
    ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"notes.txt"), "x"));
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileW(self, temp_.Path(L"tool.exe").c_str(), FALSE));
    const std::wstring files[] = {temp_.Path(L"tool.exe"), temp_.Path(L"notes.txt"), temp_.Path(L"tool.exe"),
                                  temp_.Path(L"missing.exe"), temp_.Path(L"tool.exe"), temp_.Path(L"notes.txt"),
                                  temp_.Path(L"tool.exe")};
    for (int i = 0; i < 7; ++i) AddApp(wakeItem, i, files[i], i == 1 ? L"--fast" : L"", 10 * (i + 1));
  }
  void TearDown() override {
    if (confirmDialog && IsWindow(confirmDialog)) DestroyWindow(confirmDialog);
    DestroyWindow(countdownDialog);
    countdownDialog = nullptr;
    PumpPendingMessages();
    TempFolderTest::TearDown();
  }
  IconCounter icons_;
  static std::wstring Text(HWND window, int id) {
    wchar_t text[300] = {};
    GetDlgItemTextW(window, id, text, 300);
    return text;
  }
  static bool Visible(int id) { return IsWindowVisible(GetDlgItem(confirmDialog, id)) != FALSE; }
  static void Click(int id) {
    SendMessageW(confirmDialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(confirmDialog, id)));
  }
  static void MoveTo(POINT p) { SendMessageW(confirmDialog, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y)); }
  static HWND DetailPane() {
    const ConfirmViewState* state = OpenConfirmViewState();
    return state ? state->detailPane : nullptr;
  }
  // Pixels of one icon cell on the screen that are not the dialog's face colour.
  static int PaintedPixelsOfCell(int index) {
    const ConfirmViewState* state = OpenConfirmViewState();
    RECT cell = state->cells[index];
    MapWindowPoints(confirmDialog, nullptr, reinterpret_cast<POINT*>(&cell), 2);
    const ScreenImage image(cell);
    return image.area() - image.CountOf(GetSysColor(COLOR_BTNFACE));
  }
  static void ShowOnTop() {
    SetWindowPos(confirmDialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(confirmDialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPendingMessages();
  }
};

TEST_F(ConfirmDialogTest, BeforeTheEndShowsTheCurrentItem) {
  HandleMainCommand(nullptr, kCmdConfirm);
  ASSERT_NE(confirmDialog, nullptr);
  EXPECT_TRUE(IsWindowVisible(confirmDialog));
  EXPECT_EQ(GetWindow(confirmDialog, GW_OWNER), nullptr);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(confirmItem, &currentItem);
  EXPECT_EQ(confirmWakeItem, &wakeItem);
  wchar_t caption[40];
  GetWindowTextW(confirmDialog, caption, 40);
  EXPECT_STREQ(caption, L"設定情報の確認");
  RECT r;
  GetWindowRect(confirmDialog, &r);
  EXPECT_EQ(r.right - r.left, ScaleX(346));
  EXPECT_EQ(r.bottom - r.top, ScaleY(401));
  EXPECT_EQ(r.left, (1280 - ScaleX(346)) / 2);
  RECT button;
  GetWindowRect(GetDlgItem(confirmDialog, IDOK), &button);
  MapWindowPoints(nullptr, confirmDialog, reinterpret_cast<POINT*>(&button), 2);
  EXPECT_EQ(button.left, ScaleX(123));
  EXPECT_EQ(button.top, ScaleY(322));
  EXPECT_EQ(Text(confirmDialog, IDOK), L"閉じる");

  EXPECT_EQ(IsDlgButtonChecked(confirmDialog, 1900), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(confirmDialog, 1901)));
  const struct {
    int id;
    const wchar_t* text;
  } texts[] = {{1913, L"(2026/12/24 23:30)"}, {1910, L"終了20秒前"}, {1903, L"C:\\sounds\\chime.wav"},
               {1905, L"second@sopora.example"}, {1911, L"有効"}, {1912, L"5分前"},
               {1902, L"再生するサウンド"}, {1904, L"メール送信先"}, {1906, L"その他"},
               {1907, L"デスクトップキャプチャー"}, {1908, L"終了○○秒前にタイマー画面を最前面に表示"}};
  for (const auto& t : texts) EXPECT_EQ(Text(confirmDialog, t.id), t.text) << t.id;
  for (int id : {1906, 1907, 1908, 1911, 1912}) EXPECT_TRUE(Visible(id)) << id;
  EXPECT_FALSE(Visible(1909));
  EXPECT_FALSE(Visible(1914));
  EXPECT_EQ(SendDlgItemMessageW(confirmDialog, 1902, WM_GETFONT, 0, 0),
            SendDlgItemMessageW(confirmDialog, 1906, WM_GETFONT, 0, 0));
  EXPECT_NE(SendDlgItemMessageW(confirmDialog, 1902, WM_GETFONT, 0, 0),
            SendDlgItemMessageW(confirmDialog, 1903, WM_GETFONT, 0, 0))
      << "labels bold, values normal";

  // The pane exists hidden; the icons are taken but only drawn on the other page.
  ASSERT_NE(DetailPane(), nullptr);
  EXPECT_FALSE(IsWindowVisible(DetailPane()));
  ShowOnTop();
  // The second row lies below the page's texts.
  EXPECT_EQ(PaintedPixelsOfCell(6), 0);
}

TEST_F(ConfirmDialogTest, AfterTheResumeShowsTheWakeItemAndItsApplications) {
  wakeItem.soundIndex = 2;
  wakeItem.soundSeconds = 7;
  currentItem.captureEnabled = 0;
  profileSettings.general.bringToFront = 0;
  ASSERT_NE(OpenConfirmDialog(), nullptr);
  EXPECT_EQ(Text(confirmDialog, 1911), L"無効");
  EXPECT_EQ(Text(confirmDialog, 1912), L"無効");
  Click(1901);
  const ConfirmViewState* state = OpenConfirmViewState();
  ASSERT_NE(state, nullptr);
  EXPECT_TRUE(state->showingAfter);
  EXPECT_EQ(Text(confirmDialog, 1913), L"(2026/12/25 06:45)");
  EXPECT_EQ(Text(confirmDialog, 1910), L"復帰7秒後");
  EXPECT_EQ(Text(confirmDialog, 1903), L"C:\\sounds\\bell.mp3");
  EXPECT_EQ(Text(confirmDialog, 1905), L"なし");
  for (int id : {1906, 1907, 1908, 1911, 1912}) EXPECT_FALSE(Visible(id)) << id;
  EXPECT_TRUE(Visible(1909));
  EXPECT_EQ(Text(confirmDialog, 1909), L"起動するアプリ");
  EXPECT_FALSE(Visible(1914)) << "there are applications";

  // Seven cells in two rows; the missing file has the fallback icon, the
  // others the shell's.
  ASSERT_EQ(state->iconCount, 7);
  EXPECT_EQ(state->cells[4].top, ScaleY(208));
  EXPECT_EQ(state->cells[5].top, ScaleY(249));
  EXPECT_EQ(state->cells[6].left, ScaleX(47));
  ASSERT_NE(state->fallbackIcon, nullptr);
  EXPECT_EQ(state->icons[3], state->fallbackIcon);
  EXPECT_FALSE(state->shellIcons[3]);
  for (int i : {0, 1, 2, 4, 5, 6}) {
    EXPECT_TRUE(state->shellIcons[i]) << i;
    EXPECT_NE(state->icons[i], state->fallbackIcon) << i;
  }
  EXPECT_EQ(icons_.taken().size(), 6u);
  ShowOnTop();
  for (int i = 0; i < 7; ++i) EXPECT_GT(PaintedPixelsOfCell(i), 40) << "icon " << i << " drawn";

  // Back to the first page.
  Click(1900);
  EXPECT_FALSE(state->showingAfter);
  EXPECT_EQ(Text(confirmDialog, 1913), L"(2026/12/24 23:30)");
  EXPECT_EQ(Text(confirmDialog, 1910), L"終了20秒前");
  EXPECT_TRUE(Visible(1906));
  EXPECT_FALSE(Visible(1909));
  ShowOnTop();
  EXPECT_EQ(PaintedPixelsOfCell(5), 0);
}

TEST_F(ConfirmDialogTest, PointingAtAnIconShowsItsDetails) {
  ASSERT_NE(OpenConfirmDialog(), nullptr);
  const ConfirmViewState* state = OpenConfirmViewState();
  HWND pane = DetailPane();
  ASSERT_NE(pane, nullptr);
  const POINT inFirst{state->cells[1].left + 5, state->cells[1].top + 5};
  MoveTo(inFirst);
  EXPECT_FALSE(IsWindowVisible(pane)) << "not on the first page";
  Click(1901);

  RECT paneRect;
  GetWindowRect(pane, &paneRect);
  MapWindowPoints(nullptr, confirmDialog, reinterpret_cast<POINT*>(&paneRect), 2);
  EXPECT_EQ(paneRect.left, ScaleX(8));
  EXPECT_EQ(paneRect.top, ScaleY(10));
  EXPECT_EQ(paneRect.right - paneRect.left, ScaleX(326));
  EXPECT_EQ(paneRect.bottom - paneRect.top, ScaleY(180));
  RECT timing;
  GetWindowRect(GetDlgItem(pane, 2015), &timing);
  MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&timing), 2);
  EXPECT_EQ(timing.top, ScaleY(138));
  EXPECT_EQ(timing.right - timing.left, ScaleX(161));
  EXPECT_EQ(Text(pane, 2010), L"アプリの場所");
  EXPECT_EQ(Text(pane, 2012), L"コマンドライン");
  EXPECT_EQ(Text(pane, 2014), L"タイミング");

  MoveTo(inFirst);
  EXPECT_TRUE(IsWindowVisible(pane));
  EXPECT_EQ(state->hoveredApp, 1);
  EXPECT_EQ(Text(pane, 2011), temp_.Path(L"notes.txt"));
  EXPECT_EQ(Text(pane, 2013), L"--fast");
  EXPECT_EQ(Text(pane, 2015), L"復帰してから20秒後に起動");
  // It lies over the page's texts, not under them.
  RECT sound;
  GetWindowRect(GetDlgItem(confirmDialog, 1903), &sound);
  MapWindowPoints(nullptr, confirmDialog, reinterpret_cast<POINT*>(&sound), 2);
  EXPECT_EQ(ChildWindowFromPointEx(confirmDialog, POINT{sound.left + 4, sound.top + 4}, CWP_SKIPINVISIBLE), pane);

  // The missing file's cell, in the first row, and one of the second row.
  MoveTo(POINT{state->cells[3].left + 20, state->cells[3].top + 20});
  EXPECT_EQ(state->hoveredApp, 3);
  EXPECT_EQ(Text(pane, 2011), temp_.Path(L"missing.exe"));
  EXPECT_EQ(Text(pane, 2013), L"なし");
  EXPECT_EQ(Text(pane, 2015), L"復帰してから40秒後に起動");
  MoveTo(POINT{state->cells[6].right - 2, state->cells[6].bottom - 2});
  EXPECT_EQ(state->hoveredApp, 6);
  EXPECT_EQ(Text(pane, 2015), L"復帰してから70秒後に起動");

  // Within one cell the details are filled once.
  SetDlgItemTextW(pane, 2015, L"kept");
  MoveTo(POINT{state->cells[6].left + 3, state->cells[6].top + 3});
  EXPECT_EQ(Text(pane, 2015), L"kept");

  // A point over no cell hides the pane.
  MoveTo(POINT{ScaleX(300), ScaleY(260)});
  EXPECT_FALSE(IsWindowVisible(pane));
  EXPECT_EQ(state->hoveredApp, -1);

  // So does the pointer leaving the dialog from over an icon.
  MoveTo(inFirst);
  EXPECT_TRUE(IsWindowVisible(pane));
  SendMessageW(confirmDialog, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(pane));
  EXPECT_EQ(state->hoveredApp, -1);
}

TEST_F(ConfirmDialogTest, WithoutAWakeItemOnlyTheFirstPageExists) {
  hasWakeItem = false;
  ASSERT_NE(OpenConfirmDialog(), nullptr);
  EXPECT_EQ(confirmWakeItem, nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(confirmDialog, 1901)));
  EXPECT_EQ(DetailPane(), nullptr);
  EXPECT_EQ(FindWindowExW(confirmDialog, nullptr, MAKEINTATOM(32770), nullptr), nullptr) << "no child dialog";
  EXPECT_EQ(OpenConfirmViewState()->iconCount, 0);
  EXPECT_TRUE(icons_.taken().empty());
  EXPECT_EQ(Text(confirmDialog, 1910), L"終了20秒前");
}

TEST_F(ConfirmDialogTest, AWakeItemWithoutApplicationsSaysNone) {
  for (int i = 0; i < 10; ++i) wakeItem.appDelays[i] = -1;
  ASSERT_NE(OpenConfirmDialog(), nullptr);
  Click(1901);
  EXPECT_TRUE(Visible(1909));
  EXPECT_TRUE(Visible(1914));
  EXPECT_EQ(Text(confirmDialog, 1914), L"なし");
  EXPECT_EQ(OpenConfirmViewState()->iconCount, 0);
}

TEST_F(ConfirmDialogTest, NoCountdownNoDialog) {
  // The countdown has ended: the tray command and a direct call open nothing.
  DestroyWindow(countdownDialog);
  HandleMainCommand(nullptr, kCmdConfirm);
  EXPECT_EQ(confirmDialog, nullptr);
  EXPECT_EQ(OpenConfirmDialog(), nullptr);
  EXPECT_EQ(ConfirmDialogsOfThread(), 0);
  EXPECT_EQ(OpenConfirmViewState(), nullptr);

  // A countdown window that gives no items: nothing shown, nothing read.
  countdownDialog = CreateWindowExW(0, L"FakeCountdownForConfirm", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
  answers = false;
  confirmItem = &currentItem;
  EXPECT_EQ(OpenConfirmDialog(), nullptr);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(confirmItem, nullptr) << "the pointers start null";
  EXPECT_EQ(confirmDialog, nullptr);
  EXPECT_EQ(ConfirmDialogsOfThread(), 0);
  EXPECT_EQ(icons_.destroyed().size(), 1u) << "the fallback icon of the attempt";

  // The tray item is greyed while no countdown runs.
  TrayMenuState tray{};
  tray.countWindowCreated = true;
  for (bool running : {false, true}) {
    tray.countdownRunning = running;
    HMENU menu = LoadTrayMenu(GetModuleHandleW(nullptr), tray);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ((GetMenuState(menu, kCmdConfirm, MF_BYCOMMAND) & MF_GRAYED) != 0, !running);
    DestroyMenu(menu);
  }
}

TEST_F(ConfirmDialogTest, RepeatedOpeningsLeaveNoIcon) {
  std::vector<HICON> fallbacks;
  for (int round = 0; round < 3; ++round) {
    ASSERT_NE(OpenConfirmDialog(), nullptr) << round;
    fallbacks.push_back(OpenConfirmViewState()->fallbackIcon);
    Click(1901);
    // Closed by its button, by Cancel, by the close box.
    const UINT how[] = {IDOK, IDCANCEL, 0};
    if (how[round]) SendMessageW(confirmDialog, WM_COMMAND, how[round], 0);
    else SendMessageW(confirmDialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(confirmDialog, nullptr) << round;
    EXPECT_EQ(OpenConfirmViewState(), nullptr);
  }
  ASSERT_EQ(icons_.taken().size(), 18u);
  for (HICON icon : icons_.taken()) {
    EXPECT_EQ(icons_.destroyed().count(icon), 1u);
    EXPECT_FALSE(IconAlive(icon));
  }
  for (HICON icon : fallbacks) {
    EXPECT_EQ(icons_.destroyed().count(icon), 1u);
    EXPECT_FALSE(IconAlive(icon));
  }
  EXPECT_EQ(icons_.destroyed().size(), icons_.taken().size() + fallbacks.size()) << "nothing destroyed twice";
}

TEST_F(ConfirmDialogTest, EscapeClosesIt) {
  ASSERT_NE(OpenConfirmDialog(), nullptr);
  HWND dialog = confirmDialog;
  SetForegroundWindow(dialog);
  SetFocus(GetDlgItem(dialog, IDOK));
  // What the message loop gives the dialog manager for the key.
  MSG escape{GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001, GetTickCount(), {}};
  ASSERT_NE(escape.hwnd, nullptr);
  EXPECT_TRUE(IsDialogMessageW(dialog, &escape));
  EXPECT_TRUE(PumpMessagesUntil([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(confirmDialog, nullptr);
}

TEST_F(ConfirmDialogTest, OneAtATime) {
  HandleMainCommand(nullptr, kCmdConfirm);
  HWND first = confirmDialog;
  ASSERT_NE(first, nullptr);
  HandleMainCommand(nullptr, kCmdConfirm);
  EXPECT_EQ(confirmDialog, first);
  EXPECT_EQ(OpenConfirmDialog(), first);
  EXPECT_EQ(ConfirmDialogsOfThread(), 1);
  EXPECT_EQ(asked, 1) << "the open one is raised, not filled again";

  // The countdown dialog closes it at the zero time; the handle goes with it.
  DestroyWindow(confirmDialog);
  EXPECT_EQ(confirmDialog, nullptr);
  HandleMainCommand(nullptr, kCmdConfirm);
  EXPECT_NE(confirmDialog, nullptr);
  EXPECT_EQ(asked, 2);
  // "中断" closes it with the run.
  HWND second = confirmDialog;
  HandleMainCommand(nullptr, kCmdAbort);
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(confirmDialog, nullptr);
}

}  // namespace
