#include "overview_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "confirm_view.h"
#include "countdown_state.h"
#include "dpi_scaling.h"
#include "icon_counter.h"
#include "shared/ui_setup.h"
#include "temp_folder.h"
#include "timer_main_window.h"
#include "timer_profile.h"
#include "wait.h"

using testing_support::IconAlive;
using testing_support::IconCounter;
using testing_support::PumpMessagesUntil;
using testing_support::PumpPendingMessages;

namespace {

SYSTEMTIME DayTime(int year, int month, int day, int hour, int minute) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  return t;
}

void FillSettings(TimerSettings& s) {
  memset(&s, 0, sizeof s);
  s.mode = Time;
  s.endTime = DayTime(2026, 12, 24, 23, 5);
  s.resumeTime = DayTime(2026, 12, 25, 7, 30);
  s.soundCount = 2;
  wcscpy(s.soundPaths[0], L"C:\\sounds\\chime.wav");
  wcscpy(s.soundPaths[1], L"C:\\sounds\\bell.mp3");
  s.soundIndex[0] = 2;
  s.soundSeconds[0] = 30;
  s.soundIndex[1] = 1;
  s.soundSeconds[1] = 8;
  s.captureEnabled = 1;
  s.bringToFront = 1;
  s.bringToFrontSeconds = 600;
  for (int i = 0; i < kAppCount; ++i) s.appDelays[i] = -1;
}

TEST(OverviewContentTest, TextsPerModeResumeAndApplications) {
  TimerSettings s;
  FillSettings(s);
  wcscpy(s.appPaths[0], L"C:\\tools\\a.exe");
  s.appDelays[0] = 5;
  const struct {
    int32_t mode;
    bool resume;
    bool apps;
    const wchar_t* dateLine;
    const wchar_t* bringToFront;
    size_t appCount;
  } cases[] = {
      {Time, true, true, L"(2026/12/24 23:05)", L"10分前", 1},
      {Time, true, false, L"(2026/12/24 23:05)", L"10分前", 0},
      {Time, false, true, L"(2026/12/24 23:05)", L"10分前", 0},
      // Without an end time there is no date and nothing is brought to the front.
      {CpuUsage, true, true, L"(----/--/-- --:--:--)", L"無効", 1},
      {EndNow, false, false, L"(----/--/-- --:--:--)", L"無効", 0},
  };
  for (const auto& c : cases) {
    s.mode = c.mode;
    s.resumeEnabled = c.resume ? 1 : 0;
    s.appsAfterResume = c.apps ? 1 : 0;
    const ConfirmContent content = OverviewContent(s);
    EXPECT_EQ(content.hasAfterPage, c.resume) << c.mode;
    EXPECT_EQ(content.pages[0].dateLine, c.dateLine) << c.mode;
    EXPECT_EQ(content.pages[0].bringToFront, c.bringToFront) << c.mode;
    EXPECT_EQ(content.pages[0].soundTiming, L"終了30秒前");
    EXPECT_EQ(content.pages[0].soundPath, L"C:\\sounds\\bell.mp3");
    EXPECT_EQ(content.pages[0].capture, L"有効");
    EXPECT_EQ(content.pages[1].dateLine, L"(2026/12/25 07:30)");
    EXPECT_EQ(content.pages[1].soundTiming, L"復帰8秒後");
    EXPECT_EQ(content.pages[1].soundPath, L"C:\\sounds\\chime.wav");
    EXPECT_EQ(content.apps.size(), c.appCount) << c.mode << c.resume << c.apps;
  }

  s.mode = Time;
  s.soundIndex[0] = 0;
  s.soundIndex[1] = 0;
  s.captureEnabled = 0;
  s.bringToFront = 0;
  const ConfirmContent bare = OverviewContent(s);
  EXPECT_EQ(bare.pages[0].soundTiming, L"なし");
  EXPECT_EQ(bare.pages[0].soundPath, L"");
  EXPECT_EQ(bare.pages[1].soundTiming, L"なし");
  EXPECT_EQ(bare.pages[0].capture, L"無効");
  EXPECT_EQ(bare.pages[0].bringToFront, L"無効");
}

BOOL CALLBACK CountOverviews(HWND window, LPARAM count) {
  if (GetDlgItem(window, 1136) && GetDlgItem(window, 1150)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

class OverviewDialogTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    FillSettings(timerSettings);
    timerSettings.resumeEnabled = 1;
    timerSettings.appsAfterResume = 1;
    ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"notes.txt"), "x"));
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileW(self, temp_.Path(L"tool.exe").c_str(), FALSE));
    const std::wstring files[] = {temp_.Path(L"tool.exe"), temp_.Path(L"gone.exe"),
                                  temp_.Path(L"notes.txt")};
    for (int i = 0; i < 3; ++i) {
      wcscpy(timerSettings.appPaths[i], files[i].c_str());
      timerSettings.appDelays[i] = 30 * i;
    }
    wcscpy(timerSettings.appArguments[2], L"/q");
  }
  void TearDown() override {
    if (overviewDialog && IsWindow(overviewDialog)) DestroyWindow(overviewDialog);
    overviewDialog = nullptr;
    PumpPendingMessages();
    TempFolderTest::TearDown();
  }
  static std::wstring Text(HWND window, int id) {
    wchar_t text[300] = {};
    GetDlgItemTextW(window, id, text, 300);
    return text;
  }
  static bool Visible(int id) { return IsWindowVisible(GetDlgItem(overviewDialog, id)) != FALSE; }
  static void Click(int id) {
    SendMessageW(overviewDialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(overviewDialog, id)));
  }
  static void MoveTo(POINT p) { SendMessageW(overviewDialog, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y)); }

  IconCounter icons_;
};

TEST_F(OverviewDialogTest, BothViewsWithTheApplications) {
  HWND dialog = OpenOverviewDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(overviewDialog, dialog);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
  EXPECT_TRUE(IsWindowVisible(dialog));
  RECT r;
  GetWindowRect(dialog, &r);
  EXPECT_EQ(r.right - r.left, ScaleX(346));
  EXPECT_EQ(r.bottom - r.top, ScaleY(316));
  RECT button;
  GetWindowRect(GetDlgItem(dialog, IDOK), &button);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&button), 2);
  EXPECT_EQ(button.top, ScaleY(237));
  EXPECT_EQ(button.left, ScaleX(123));

  const struct {
    int id;
    const wchar_t* text;
  } before[] = {{1149, L"(2026/12/24 23:05)"}, {1146, L"終了30秒前"}, {1139, L"C:\\sounds\\bell.mp3"},
                {1147, L"有効"}, {1148, L"10分前"}, {1138, L"再生するサウンド"}, {1142, L"その他"},
                {1143, L"デスクトップキャプチャー"}, {1144, L"終了○○分前にタイマー画面を最前面に表示"}};
  for (const auto& t : before) EXPECT_EQ(Text(dialog, t.id), t.text) << t.id;
  EXPECT_EQ(IsDlgButtonChecked(dialog, 1136), BST_CHECKED);
  EXPECT_TRUE(Visible(1143));
  EXPECT_FALSE(Visible(1145));
  EXPECT_FALSE(Visible(1150));
  LOGFONTW heading{}, value{};
  GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, 1138, WM_GETFONT, 0, 0)), sizeof heading, &heading);
  GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, 1139, WM_GETFONT, 0, 0)), sizeof value, &value);
  EXPECT_EQ(heading.lfWeight, 700);
  EXPECT_LT(value.lfWeight, 700);

  Click(1137);
  EXPECT_EQ(Text(dialog, 1149), L"(2026/12/25 07:30)");
  EXPECT_EQ(Text(dialog, 1146), L"復帰8秒後");
  EXPECT_EQ(Text(dialog, 1139), L"C:\\sounds\\chime.wav");
  for (int id : {1142, 1143, 1147, 1144, 1148}) EXPECT_FALSE(Visible(id)) << id;
  EXPECT_TRUE(Visible(1145));
  EXPECT_FALSE(Visible(1150));

  const ConfirmViewState* state = OpenConfirmViewState();
  ASSERT_NE(state, nullptr);
  ASSERT_EQ(state->iconCount, 3);
  EXPECT_EQ(state->cells[2].left, ScaleX(88));
  EXPECT_EQ(state->cells[2].top, ScaleY(146));
  EXPECT_EQ(state->icons[1], state->fallbackIcon) << "the missing file";
  // Taken at the opening and again at the press; the first ones are gone.
  ASSERT_EQ(icons_.taken().size(), 4u);
  EXPECT_EQ(icons_.destroyed().size(), 2u);
  EXPECT_TRUE(IconAlive(state->icons[0]));

  // The details of the missing one, in pane 176 at (4, 4).
  HWND pane = state->detailPane;
  ASSERT_NE(pane, nullptr);
  RECT paneRect;
  GetWindowRect(pane, &paneRect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&paneRect), 2);
  EXPECT_EQ(paneRect.left, ScaleX(4));
  EXPECT_EQ(paneRect.right - paneRect.left, ScaleX(333));
  EXPECT_EQ(paneRect.bottom - paneRect.top, ScaleY(139));
  MoveTo(POINT{state->cells[1].left + 10, state->cells[1].top + 10});
  EXPECT_TRUE(IsWindowVisible(pane));
  EXPECT_EQ(Text(pane, 1140), temp_.Path(L"gone.exe"));
  EXPECT_EQ(Text(pane, 1142), L"なし");
  EXPECT_EQ(Text(pane, 1144), L"復帰してから30秒後に起動");
  MoveTo(POINT{state->cells[2].left + 10, state->cells[2].top + 10});
  EXPECT_EQ(Text(pane, 1142), L"/q");
  EXPECT_EQ(Text(pane, 1144), L"復帰してから60秒後に起動");
  MoveTo(POINT{ScaleX(300), ScaleY(160)});
  EXPECT_FALSE(IsWindowVisible(pane));

  Click(1136);
  EXPECT_EQ(Text(dialog, 1149), L"(2026/12/24 23:05)");
  EXPECT_TRUE(Visible(1143));
  EXPECT_FALSE(Visible(1145));
}

// A radio press shows the settings as they are at the press, not as they were
// at the opening.
TEST_F(OverviewDialogTest, ARadioPressShowsTheSettingsAsTheyAreNow) {
  ASSERT_NE(OpenOverviewDialog(), nullptr);
  ASSERT_EQ(Text(overviewDialog, 1146), L"終了30秒前");
  timerSettings.endTime = DayTime(2027, 1, 2, 6, 15);
  timerSettings.soundSeconds[0] = 45;
  timerSettings.captureEnabled = 0;
  timerSettings.bringToFrontSeconds = 1200;
  timerSettings.resumeTime = DayTime(2027, 1, 2, 9, 40);
  timerSettings.soundIndex[1] = 0;
  timerSettings.appDelays[2] = -1;
  EXPECT_EQ(Text(overviewDialog, 1146), L"終了30秒前") << "nothing follows the settings between presses";

  Click(1136);
  EXPECT_EQ(Text(overviewDialog, 1149), L"(2027/01/02 06:15)");
  EXPECT_EQ(Text(overviewDialog, 1146), L"終了45秒前");
  EXPECT_EQ(Text(overviewDialog, 1147), L"無効");
  EXPECT_EQ(Text(overviewDialog, 1148), L"20分前");

  timerSettings.appDelays[1] = -1;
  Click(1137);
  EXPECT_EQ(Text(overviewDialog, 1149), L"(2027/01/02 09:40)");
  EXPECT_EQ(Text(overviewDialog, 1146), L"なし");
  EXPECT_EQ(Text(overviewDialog, 1139), L"");
  const ConfirmViewState* state = OpenConfirmViewState();
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->iconCount, 1);
  EXPECT_EQ(state->content.apps.size(), 1u);
  for (HICON icon : icons_.taken()) {
    if (icon != state->icons[0]) {
      EXPECT_FALSE(IconAlive(icon));
    }
  }
}

TEST_F(OverviewDialogTest, ApplicationsSwitchedOffSayNone) {
  timerSettings.appsAfterResume = 0;
  ASSERT_NE(OpenOverviewDialog(), nullptr);
  Click(1137);
  EXPECT_TRUE(Visible(1150));
  EXPECT_EQ(Text(overviewDialog, 1150), L"なし");
  EXPECT_EQ(OpenConfirmViewState()->iconCount, 0);
  EXPECT_TRUE(icons_.taken().empty());
}

TEST_F(OverviewDialogTest, TheTextsAreDrawnInTheProgramsUiFonts) {
  if (!uiFont) CreateUiFonts(nullptr, false);
  ASSERT_NE(uiFont, nullptr);
  ASSERT_NE(uiBoldFont, nullptr);
  ASSERT_NE(OpenOverviewDialog(), nullptr);
  auto fontOf = [](int id) {
    return reinterpret_cast<HFONT>(SendDlgItemMessageW(overviewDialog, id, WM_GETFONT, 0, 0));
  };
  EXPECT_EQ(fontOf(1146), uiFont);
  EXPECT_EQ(fontOf(1139), uiFont);
  EXPECT_EQ(fontOf(1138), uiBoldFont);
  EXPECT_EQ(fontOf(1149), uiBoldFont);
}

TEST_F(OverviewDialogTest, WithoutAResumeOnlyTheFirstViewAndNoPane) {
  timerSettings.resumeEnabled = 0;
  timerSettings.mode = CpuUsage;
  ASSERT_NE(OpenOverviewDialog(), nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(overviewDialog, 1137)));
  EXPECT_EQ(OpenConfirmViewState()->detailPane, nullptr);
  EXPECT_EQ(FindWindowExW(overviewDialog, nullptr, MAKEINTATOM(32770), nullptr), nullptr);
  EXPECT_EQ(Text(overviewDialog, 1149), L"(----/--/-- --:--:--)");
  EXPECT_EQ(Text(overviewDialog, 1148), L"無効");
  EXPECT_TRUE(icons_.taken().empty());
}

TEST_F(OverviewDialogTest, EscapeClosesItAndNoIconIsLeft) {
  std::vector<HICON> fallbacks;
  for (int round = 0; round < 2; ++round) {
    HWND dialog = OpenOverviewDialog();
    ASSERT_NE(dialog, nullptr);
    fallbacks.push_back(OpenConfirmViewState()->fallbackIcon);
    SetForegroundWindow(dialog);
    SetFocus(GetDlgItem(dialog, IDOK));
    MSG escape{GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001, GetTickCount(), {}};
    ASSERT_NE(escape.hwnd, nullptr);
    EXPECT_TRUE(IsDialogMessageW(dialog, &escape));
    EXPECT_TRUE(PumpMessagesUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(overviewDialog, nullptr);
  }
  ASSERT_EQ(icons_.taken().size(), 4u);
  for (HICON icon : icons_.taken()) {
    EXPECT_EQ(icons_.destroyed().count(icon), 1u);
    EXPECT_FALSE(IconAlive(icon));
  }
  for (HICON icon : fallbacks) EXPECT_FALSE(IconAlive(icon));
  EXPECT_EQ(icons_.destroyed().size(), 6u);
}

// The program's own message loop: Tab and Esc reach the modeless overview.
TEST_F(OverviewDialogTest, TheProgramsLoopGivesTabAndEscapeToIt) {
  ASSERT_EQ(settingsDialog, nullptr);
  HWND dialog = OpenOverviewDialog();
  ASSERT_NE(dialog, nullptr);
  SetForegroundWindow(dialog);
  HWND close = GetDlgItem(dialog, IDOK);
  SetFocus(close);
  ASSERT_EQ(GetFocus(), close);
  PostMessageW(close, WM_KEYDOWN, VK_TAB, 0x000f0001);
  PostQuitMessage(0);
  TimerRunMessageLoop();
  HWND focus = GetFocus();
  EXPECT_NE(focus, close) << "Tab did not move the focus";
  EXPECT_TRUE(IsChild(dialog, focus));

  PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostQuitMessage(0);
  TimerRunMessageLoop();
  EXPECT_FALSE(IsWindow(dialog)) << "Esc did not close it";
  EXPECT_EQ(overviewDialog, nullptr);
}

TEST_F(OverviewDialogTest, OneAtATime) {
  HWND first = OpenOverviewDialog();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(OpenOverviewDialog(), first);
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountOverviews, reinterpret_cast<LPARAM>(&count));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(icons_.taken().size(), 2u) << "not filled again";
}

}  // namespace
