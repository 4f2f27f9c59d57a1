#include "timer_settings_sheet.h"

#include <gtest/gtest.h>
#include <wmpids.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "beep_counter.h"
#include "dpi_scaling.h"
#include "message_box_catcher.h"
#include "shared/program_paths.h"
#include "shared/sound_player.h"
#include "screen.h"
#include "sheet_runner.h"
#include "shared/ui_setup.h"
#include "temp_folder.h"
#include "wait.h"
#include "wav_fixture.h"
#include "timer_fakes.h"

using testing_support::CaughtMessageBoxes;
using testing_support::ClearCaughtMessageBoxes;
using testing_support::SetMessageBoxAnswer;

namespace {

// Tab indexes in display order.
constexpr int kGeneralTab = 0;
constexpr int kAppsTab = 1;
constexpr int kSoundTab = 2;
constexpr int kProfileTab = 3;

// Opens the real sheet over a hidden owner and runs the actions inside its
// modal loop; actions that leave it open are followed by Cancel.
void RunSheet(const std::function<void(HWND sheet)>& actions) {
  const bool ran = testing_support::RunPropertySheet([](HWND owner) { TimerOpenSettingsSheet(owner); },
                                                     &timerSheetState.sheetWindow, actions);
  EXPECT_TRUE(ran) << "the sheet never stood";
}

HWND ShowPage(HWND sheet, int tab) {
  SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  return PropSheet_IndexToHwnd(sheet, tab);
}
void PressOk(HWND sheet) {
  SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(sheet, IDOK)));
}
bool StillOpen(HWND sheet) { return PropSheet_GetCurrentPageHwnd(sheet) != nullptr; }
void Click(HWND page, int id) { SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0); }
void SetCheck(HWND page, int id, bool on) {
  if ((IsDlgButtonChecked(page, id) == BST_CHECKED) != on) Click(page, id);
}
void Type(HWND page, int id, const std::wstring& text) { SetDlgItemTextW(page, id, text.c_str()); }
std::wstring Text(HWND page, int id) {
  wchar_t text[512] = {};
  GetDlgItemTextW(page, id, text, 512);
  return text;
}
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
void Choose(HWND page, int comboId, int index) {
  SendDlgItemMessageW(page, comboId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, comboId)));
}
int Selection(HWND page, int comboId) { return static_cast<int>(SendDlgItemMessageW(page, comboId, CB_GETCURSEL, 0, 0)); }
std::vector<std::wstring> ComboEntries(HWND page, int comboId) {
  std::vector<std::wstring> entries;
  const int count = static_cast<int>(SendDlgItemMessageW(page, comboId, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[MAX_PATH] = {};
    SendDlgItemMessageW(page, comboId, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    entries.push_back(text);
  }
  return entries;
}

HWND ListOf(HWND page, int id) { return GetDlgItem(page, id); }
int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
std::wstring Cell(HWND list, int row, int column) {
  wchar_t text[MAX_PATH] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}
void SelectRow(HWND list, int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::vector<std::wstring> MessageTexts() {
  std::vector<std::wstring> texts;
  for (const auto& box : CaughtMessageBoxes()) texts.push_back(box.text);
  return texts;
}

// The record as the tests compare it: every byte.
std::vector<unsigned char> SettingsBytes() {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&timerSettings);
  return std::vector<unsigned char>(bytes, bytes + sizeof timerSettings);
}

// General page controls.
constexpr int kForceCheck = 1140;
constexpr int kBringToFrontCheck = 1141;
constexpr int kCaptureCheck = 1142;
constexpr int kMonitorCheck = 1144;
constexpr int kMinutesEdit = 1279;
constexpr int kFolderEdit = 1280;
constexpr int kDefaultFolderButton = 1290;
constexpr int kJpegRadio = 1288;
// Applications page.
constexpr int kAppsCheck = 1290;
constexpr int kAppDeleteButton = 1291;
constexpr int kAppPathEdit = 1292;
constexpr int kAppArgumentsEdit = 1294;
constexpr int kAppDelayEdit = 1295;
constexpr int kAppAddButton = 1299;
constexpr int kAppList = 3000;
// Sounds page.
constexpr int kSoundPathEdit = 1282;
constexpr int kSoundDeleteButton = 1289;
constexpr int kSoundAddButton = 1296;
constexpr int kVolumeLabel = 1298;
constexpr int kVolumeBar = 1300;
constexpr int kBeforeList = 1302;
constexpr int kAfterList = 1303;
constexpr int kSoundList = 3050;
constexpr int kNoSoundCheck = 1144;
// Profile page.
constexpr int kNoKeepTimeCheck = 1649;
constexpr int kAdvanceDateCheck = 1650;
constexpr int kMinusDayCheck = 1651;
constexpr int kEndDaysList = 1655;
constexpr int kResumeDaysList = 1656;
constexpr int kFromHourEdit = 1660;

class TimerSettingsSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramPaths(L"C:\\Sopora\\", L"Sopora");
    timer_fakes::ResetTimerSettings();
    timerSettings.mode = Time;
    timerSettings.resumeEnabled = 1;
    ClearCaughtMessageBoxes();
    SetMessageBoxAnswer(IDOK);
  }
  void TearDown() override { SetMessageBoxAnswer(IDOK); }
};

// --- The sheet -----------------------------------------------------------------

TEST_F(TimerSettingsSheetTest, TheSheetIsTitledSizedAndHoldsItsPagesInOrder) {
  std::wstring title;
  std::vector<std::wstring> tabs;
  RECT frame{}, expected{};
  RunSheet([&](HWND sheet) {
    wchar_t text[64] = {};
    GetWindowTextW(sheet, text, 64);
    title = text;
    HWND tab = PropSheet_GetTabControl(sheet);
    for (int i = 0; i < TabCtrl_GetItemCount(tab); ++i) {
      wchar_t caption[32] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption;
      item.cchTextMax = 32;
      TabCtrl_GetItem(tab, i, &item);
      tabs.push_back(caption);
    }
    GetWindowRect(sheet, &frame);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = ScaleX(459);
    const int height = ScaleY(462);
    expected.left = work.left + (work.right - work.left - width) / 2;
    expected.top = work.top + (work.bottom - work.top - height) / 2;
    expected.right = expected.left + width;
    expected.bottom = expected.top + height;
  });
  EXPECT_EQ(title, L"詳細設定");
  EXPECT_EQ(tabs, (std::vector<std::wstring>{L"全般", L"アプリ起動", L"サウンド", L"プロファイル"}));
  EXPECT_EQ(frame.right - frame.left, expected.right - expected.left);
  EXPECT_EQ(frame.bottom - frame.top, expected.bottom - expected.top);
  EXPECT_EQ(frame.left, expected.left);
  EXPECT_EQ(frame.top, expected.top);
}

TEST_F(TimerSettingsSheetTest, EveryPageDrawsItsLabelsInTheProgramsUiFont) {
  if (!uiFont) CreateUiFonts(nullptr, false);
  ASSERT_NE(uiFont, nullptr);
  RunSheet([&](HWND sheet) {
    const char* names[] = {"general page", "applications page", "sounds page", "profile page"};
    for (int tab = kGeneralTab; tab <= kProfileTab; ++tab)
      testing_support::ExpectLabelsInFont(ShowPage(sheet, tab), uiFont, names[tab], 2);
  });
}

TEST(TimerSheetLayout, CentredOnTheWorkAreaAndScaled) {
  const RECT work{0, 0, 1280, 800};
  const SheetLayout at96 = TimerComputeSheetLayout(96, work);
  EXPECT_EQ(at96.sheet.left, (1280 - 459) / 2);
  EXPECT_EQ(at96.sheet.top, (800 - 462) / 2);
  EXPECT_EQ(at96.sheet.right - at96.sheet.left, 459);
  EXPECT_EQ(at96.tab.left, 12);
  EXPECT_EQ(at96.tab.bottom, 12 + 372);
  EXPECT_EQ(at96.ok.left, 255);
  EXPECT_EQ(at96.cancel.right, 356 + 87);
  const SheetLayout at144 = TimerComputeSheetLayout(144, work);
  EXPECT_EQ(at144.sheet.bottom - at144.sheet.top, 693);
  EXPECT_EQ(at144.ok.top, 587);
}

// A taskbar at the left or the top: the sheet is centred on what is left.
TEST(TimerSheetLayout, CentredOnAWorkAreaThatDoesNotStartAtZero) {
  const struct {
    RECT area;
    LONG left, top;
  } cases[] = {{{200, 0, 1280, 800}, 510, 169}, {{0, 100, 1280, 800}, 410, 219}};
  for (const auto& c : cases) {
    const SheetLayout layout = TimerComputeSheetLayout(96, c.area);
    EXPECT_EQ(layout.sheet.left, c.left);
    EXPECT_EQ(layout.sheet.top, c.top);
    EXPECT_EQ(layout.sheet.right, c.left + 459);
    EXPECT_EQ(layout.sheet.bottom, c.top + 462);
  }
}

TEST_F(TimerSettingsSheetTest, AFailingGeneralPageKeepsTheSheetOnItAndNoPageStores) {
  timerSettings.bringToFront = 1;
  const std::vector<unsigned char> before = SettingsBytes();
  bool stillOpen = false;
  bool onGeneral = false;
  RunSheet([&](HWND sheet) {
    HWND general = ShowPage(sheet, kGeneralTab);
    SetCheck(general, kForceCheck, true);
    Type(general, kMinutesEdit, L"0");
    HWND apps = ShowPage(sheet, kAppsTab);
    SetCheck(apps, kAppsCheck, true);
    Type(apps, kAppPathEdit, L"C:\\tools\\run.exe");
    Click(apps, kAppAddButton);
    HWND sounds = ShowPage(sheet, kSoundTab);
    Type(sounds, kSoundPathEdit, L"C:\\sounds\\bell.wav");
    Click(sounds, kSoundAddButton);
    Type(sounds, 1280, L"30");
    HWND profile = ShowPage(sheet, kProfileTab);
    SetCheck(profile, kNoKeepTimeCheck, true);
    PressOk(sheet);
    stillOpen = StillOpen(sheet);
    onGeneral = PropSheet_GetCurrentPageHwnd(sheet) == general;
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(onGeneral);
  EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{kTimerMinutesRefused});
  EXPECT_TRUE(SettingsBytes() == before) << "no page may store in a failed round";
}

TEST_F(TimerSettingsSheetTest, ACorrectedPressStoresEveryOpenedPage) {
  timerSettings.bringToFront = 1;
  bool failedFirst = false;
  RunSheet([&](HWND sheet) {
    HWND general = ShowPage(sheet, kGeneralTab);
    SetCheck(general, kForceCheck, true);
    Type(general, kMinutesEdit, L"61");
    HWND apps = ShowPage(sheet, kAppsTab);
    SetCheck(apps, kAppsCheck, true);
    Type(apps, kAppPathEdit, L"C:\\tools\\run.exe");
    Type(apps, kAppDelayEdit, L"15");
    Click(apps, kAppAddButton);
    HWND sounds = ShowPage(sheet, kSoundTab);
    Type(sounds, kSoundPathEdit, L"C:\\sounds\\bell.wav");
    Click(sounds, kSoundAddButton);
    Choose(sounds, kBeforeList, 1);
    Type(sounds, 1280, L"30");
    HWND profile = ShowPage(sheet, kProfileTab);
    SetCheck(profile, kNoKeepTimeCheck, true);
    PressOk(sheet);
    failedFirst = StillOpen(sheet);
    Type(general, kMinutesEdit, L"2");
    PressOk(sheet);
  });
  EXPECT_TRUE(failedFirst);
  EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{kTimerMinutesRefused});
  EXPECT_EQ(timerSettings.forceAction, 1);
  EXPECT_EQ(timerSettings.bringToFrontSeconds, 120);
  EXPECT_EQ(timerSettings.appsAfterResume, 1);
  EXPECT_STREQ(timerSettings.appPaths[0], L"C:\\tools\\run.exe");
  EXPECT_EQ(timerSettings.appDelays[0], 15);
  EXPECT_EQ(timerSettings.soundCount, 1);
  EXPECT_STREQ(timerSettings.soundPaths[0], L"C:\\sounds\\bell.wav");
  EXPECT_EQ(timerSettings.volumes[0], 60);
  EXPECT_EQ(timerSettings.soundIndex[0], 1);
  EXPECT_EQ(timerSettings.soundSeconds[0], 30);
  EXPECT_EQ(timerSettings.noKeepTime, 1);
}

TEST_F(TimerSettingsSheetTest, CancelStoresNothing) {
  const std::vector<unsigned char> before = SettingsBytes();
  RunSheet([&](HWND sheet) {
    HWND general = ShowPage(sheet, kGeneralTab);
    SetCheck(general, kForceCheck, true);
    HWND profile = ShowPage(sheet, kProfileTab);
    SetCheck(profile, kNoKeepTimeCheck, true);
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
  });
  EXPECT_TRUE(SettingsBytes() == before);
}

// A window that counts the page check message, standing in for a handle
// that an earlier sheet left behind and something else now owns.
int checksReceived;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgTimerCheckPage) ++checksReceived;
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(TimerSettingsSheetTest, APageNeverOpenedInThisSheetIsSentNothing) {
  WNDCLASSW cls{};
  cls.lpfnWndProc = CountingProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"TimerSheetStaleHandle";
  RegisterClassW(&cls);
  HWND stale = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  checksReceived = 0;
  timerSheetState.pageWindows[kTimerAppsPage - 1] = stale;
  timerSheetState.pageWindows[kTimerProfilePage - 1] = stale;
  wcscpy(timerSettings.soundPaths[0], L"C:\\s\\a.wav");
  timerSettings.soundCount = 1;
  timerSettings.soundIndex[0] = 7;  // no such entry: only an opened sounds page would mend it
  timerSettings.appDelays[0] = 3;
  wcscpy(timerSettings.appPaths[0], L"C:\\a.exe");
  timerSettings.advanceDate = 1;
  timerSettings.endDaysAhead = 4;
  wcscpy(timerSettings.captureFolder, L"C:\\shots");
  const std::vector<unsigned char> before = SettingsBytes();
  bool closed = false;
  RunSheet([&](HWND sheet) {
    PressOk(sheet);
    closed = !StillOpen(sheet);
  });
  EXPECT_TRUE(closed);
  EXPECT_EQ(checksReceived, 0);
  EXPECT_TRUE(SettingsBytes() == before) << "the general page stored its own values unchanged, no other page stored";
  DestroyWindow(stale);
  UnregisterClassW(cls.lpszClassName, GetModuleHandleW(nullptr));
}

TEST_F(TimerSettingsSheetTest, ThePagesForgetTheirWindowsWhenTheSheetCloses) {
  RunSheet([&](HWND sheet) {
    ShowPage(sheet, kAppsTab);
    ShowPage(sheet, kProfileTab);
    EXPECT_NE(timerSheetState.pageWindows[kTimerAppsPage - 1], nullptr);
    EXPECT_NE(timerSheetState.pageWindows[kTimerProfilePage - 1], nullptr);
    PressOk(sheet);
  });
  for (HWND page : timerSheetState.pageWindows) EXPECT_EQ(page, nullptr);
}

// --- General page ----------------------------------------------------------------

TEST_F(TimerSettingsSheetTest, GeneralPageLimitsAndMessages) {
  const std::wstring folder219(219, L'f');
  const std::wstring folder220(220, L'f');
  const struct {
    const char* name;
    bool capture;
    std::wstring folder;
    bool bring;
    const wchar_t* minutes;
    const wchar_t* message;  // null: stored
  } cases[] = {
      {"bare drive root", true, L"C:\\", false, L"5", kTimerFolderTooShort},
      {"one character", true, L"C", false, L"5", kTimerFolderTooShort},
      {"220 characters", true, folder220, false, L"5", kTimerFolderTooLong},
      {"219 characters", true, folder219, false, L"5", nullptr},
      {"empty folder", true, L"", false, L"5", nullptr},
      {"short folder without capture", false, L"C:\\", false, L"5", nullptr},
      {"folder first, minutes not checked", true, L"C:\\", true, L"0", kTimerFolderTooShort},
      {"zero minutes", false, L"C:\\shots", true, L"0", kTimerMinutesRefused},
      {"61 minutes", false, L"C:\\shots", true, L"61", kTimerMinutesRefused},
      {"no minutes", false, L"C:\\shots", true, L"", kTimerMinutesRefused},
      {"one minute", false, L"C:\\shots", true, L"1", nullptr},
      {"60 minutes", false, L"C:\\shots", true, L"60", nullptr},
      {"99 minutes unchecked", false, L"C:\\shots", false, L"99", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    timer_fakes::ResetTimerSettings();
    timerSettings.resumeEnabled = 1;
    ClearCaughtMessageBoxes();
    const std::vector<unsigned char> before = SettingsBytes();
    bool open = false;
    RunSheet([&](HWND sheet) {
      HWND page = ShowPage(sheet, kGeneralTab);
      SetCheck(page, kCaptureCheck, c.capture);
      SetCheck(page, kBringToFrontCheck, c.bring);
      // As "参照" does: past the edit's own limit.
      SendDlgItemMessageW(page, kFolderEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.folder.c_str()));
      Type(page, kMinutesEdit, c.minutes);
      PressOk(sheet);
      open = StillOpen(sheet);
    });
    if (c.message) {
      EXPECT_TRUE(open);
      EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{c.message});
      ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
      EXPECT_EQ(CaughtMessageBoxes()[0].caption, L"");
      EXPECT_TRUE(SettingsBytes() == before);
    } else {
      EXPECT_FALSE(open);
      EXPECT_TRUE(MessageTexts().empty());
      EXPECT_EQ(timerSettings.captureEnabled, c.capture ? 1 : 0);
      EXPECT_EQ(timerSettings.bringToFront, c.bring ? 1 : 0);
      EXPECT_EQ(timerSettings.bringToFrontSeconds, _wtoi(c.minutes) * 60);
      const std::wstring stored = c.folder.empty() ? std::wstring(L"C:\\Sopora\\ss") : c.folder;
      EXPECT_EQ(std::wstring(timerSettings.captureFolder), stored);
    }
  }
}

TEST_F(TimerSettingsSheetTest, GeneralPageShowsTheRecordAndItsModeRules) {
  const struct {
    int32_t mode;
    bool resume;
    bool bringEnabled;
    bool monitorEnabled;
  } cases[] = {{Time, true, true, true}, {CpuUsage, true, false, true}, {EndNow, false, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    timer_fakes::ResetTimerSettings();
    timerSettings.mode = c.mode;
    timerSettings.resumeEnabled = c.resume ? 1 : 0;
    timerSettings.bringToFront = 1;
    timerSettings.bringToFrontSeconds = 600;
    timerSettings.captureFolder[0] = L'\0';
    timerSettings.captureFormat = 1;
    bool bring = false, monitor = false, bringChecked = false, jpeg = false, minutesEnabled = false;
    std::wstring minutes, folder;
    RunSheet([&](HWND sheet) {
      HWND page = ShowPage(sheet, kGeneralTab);
      bring = Enabled(page, kBringToFrontCheck);
      minutesEnabled = Enabled(page, kMinutesEdit);
      monitor = Enabled(page, kMonitorCheck);
      bringChecked = IsDlgButtonChecked(page, kBringToFrontCheck) == BST_CHECKED;
      jpeg = IsDlgButtonChecked(page, kJpegRadio) == BST_CHECKED;
      minutes = Text(page, kMinutesEdit);
      folder = Text(page, kFolderEdit);
      PressOk(sheet);
    });
    EXPECT_EQ(bring, c.bringEnabled);
    EXPECT_EQ(minutesEnabled, c.bringEnabled);
    EXPECT_EQ(monitor, c.monitorEnabled);
    EXPECT_TRUE(bringChecked);
    EXPECT_TRUE(jpeg);
    EXPECT_EQ(minutes, L"10");
    EXPECT_EQ(folder, L"C:\\Sopora\\ss");
    EXPECT_EQ(timerSettings.bringToFront, 1) << "kept where it cannot be changed";
    EXPECT_EQ(timerSettings.bringToFrontSeconds, 600);
  }
}

TEST_F(TimerSettingsSheetTest, TheCaptureCheckSwitchesItsGroupAndTheDefaultButtonFillsTheFolder) {
  timerSettings.captureEnabled = 0;
  wcscpy(timerSettings.captureFolder, L"D:\\mine");
  bool before = true, after = false;
  std::wstring folder;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kGeneralTab);
    before = Enabled(page, kFolderEdit);
    SetCheck(page, kCaptureCheck, true);
    after = Enabled(page, kFolderEdit) && Enabled(page, kJpegRadio) && Enabled(page, 1145);
    Click(page, kDefaultFolderButton);
    folder = Text(page, kFolderEdit);
  });
  EXPECT_FALSE(before);
  EXPECT_TRUE(after);
  EXPECT_EQ(folder, L"C:\\Sopora\\ss");
}

// --- Applications page -------------------------------------------------------------

void AddApp(HWND page, const wchar_t* path, const wchar_t* delay, const wchar_t* arguments = L"") {
  Type(page, kAppPathEdit, path);
  Type(page, kAppArgumentsEdit, arguments);
  Type(page, kAppDelayEdit, delay);
  Click(page, kAppAddButton);
}

std::vector<std::wstring> AppRows(HWND page) {
  std::vector<std::wstring> rows;
  HWND list = ListOf(page, kAppList);
  for (int row = 0; row < RowCount(list); ++row) {
    rows.push_back(Cell(list, row, 0) + L"|" + Cell(list, row, 1) + L"|" + Cell(list, row, 2));
  }
  return rows;
}

TEST_F(TimerSettingsSheetTest, ApplicationsAreListedAndStoredByDelay) {
  timerSettings.appsAfterResume = 1;
  std::vector<std::wstring> rows;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kAppsTab);
    AddApp(page, L"C:\\t\\late.exe", L"30", L"-q");
    AddApp(page, L"C:\\t\\first.EXE", L"10");
    AddApp(page, L"C:\\t\\second.exe", L"10");
    AddApp(page, L"C:\\t\\zero.exe", L"");
    rows = AppRows(page);
    PressOk(sheet);
  });
  EXPECT_EQ(rows, (std::vector<std::wstring>{L"zero|+0|", L"first|+10|", L"second|+10|", L"late|+30|-q"}));
  EXPECT_TRUE(MessageTexts().empty());
  const wchar_t* paths[] = {L"C:\\t\\zero.exe", L"C:\\t\\first.EXE", L"C:\\t\\second.exe", L"C:\\t\\late.exe"};
  const int delays[] = {0, 10, 10, 30};
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(timerSettings.appPaths[i], paths[i]);
    EXPECT_EQ(timerSettings.appDelays[i], delays[i]);
  }
  EXPECT_EQ(timerSettings.appDelays[4], -1);
  EXPECT_STREQ(timerSettings.appArguments[3], L"-q");
}

TEST_F(TimerSettingsSheetTest, ApplicationsPageRefusals) {
  timerSettings.appsAfterResume = 1;
  for (int i = 0; i < kAppCount; ++i) {
    swprintf(timerSettings.appPaths[i], kPathChars, L"C:\\t\\app%d.exe", i);
    timerSettings.appDelays[i] = i * 10;
  }
  const struct {
    const wchar_t* path;
    int answer;
    const wchar_t* message;
    const wchar_t* caption;
  } cases[] = {
      {L"C:\\t\\run.bat", IDOK, L"ファイル名が不正です", L""},
      {L"C:\\t\\eleventh.exe", IDOK, L"これ以上追加できません。", L""},
      {L"C:\\t\\app3.exe", IDNO, L"アプリ名が同じものがあります。上書きしますか？", L"確認"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.path, c.path + wcslen(c.path)));
    ClearCaughtMessageBoxes();
    SetMessageBoxAnswer(c.answer);
    std::vector<std::wstring> rows;
    RunSheet([&](HWND sheet) {
      HWND page = ShowPage(sheet, kAppsTab);
      AddApp(page, c.path, L"5");
      rows = AppRows(page);
    });
    ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
    EXPECT_EQ(CaughtMessageBoxes()[0].text, c.message);
    EXPECT_EQ(CaughtMessageBoxes()[0].caption, c.caption);
    EXPECT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[3], L"app3|+30|");
  }
}

// ES_NUMBER lets pasted and set text through: a "-1" delay would mark a listed
// slot free and drop every later application on OK.
TEST_F(TimerSettingsSheetTest, PastedDelaysAreRefusedAndNothingIsStored) {
  timerSettings.appsAfterResume = 1;
  const struct {
    const wchar_t* delay;
    bool paste;
  } cases[] = {{L"-1", true}, {L"ab", true}, {L"1e3", true}, {L"1000", false}};
  std::vector<std::vector<std::wstring>> rows;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kAppsTab);
    AddApp(page, L"C:\\t\\first.exe", L"5");
    AddApp(page, L"C:\\t\\third.exe", L"20");
    for (const auto& c : cases) {
      ClearCaughtMessageBoxes();
      Type(page, kAppPathEdit, L"C:\\t\\second.exe");
      HWND delay = GetDlgItem(page, kAppDelayEdit);
      SetWindowTextW(delay, L"");
      if (c.paste)
        SendMessageW(delay, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(c.delay));
      else
        SendMessageW(delay, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.delay));
      Click(page, kAppAddButton);
      rows.push_back(MessageTexts());
      rows.push_back(AppRows(page));
    }
    PressOk(sheet);
  });
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(testing::Message() << std::string(cases[i].delay, cases[i].delay + wcslen(cases[i].delay)));
    EXPECT_EQ(rows[2 * i], (std::vector<std::wstring>{L"0から999までの数字を入力してください。"}));
    EXPECT_EQ(rows[2 * i + 1], (std::vector<std::wstring>{L"first|+5|", L"third|+20|"}));
  }
  EXPECT_STREQ(timerSettings.appPaths[0], L"C:\\t\\first.exe");
  EXPECT_STREQ(timerSettings.appPaths[1], L"C:\\t\\third.exe");
  EXPECT_EQ(timerSettings.appDelays[1], 20);
  EXPECT_EQ(timerSettings.appDelays[2], -1);
}

TEST_F(TimerSettingsSheetTest, AnOverwriteAnsweredYesMovesTheEntryAndDeleteRemovesOne) {
  timerSettings.appsAfterResume = 1;
  std::vector<std::wstring> afterOverwrite, afterDelete;
  bool deleteEnabledBefore = true, deleteEnabledOnSelection = false;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kAppsTab);
    AddApp(page, L"C:\\t\\a.exe", L"10");
    AddApp(page, L"C:\\t\\b.exe", L"20");
    AddApp(page, L"C:\\t\\c.exe", L"30");
    SetMessageBoxAnswer(IDYES);
    AddApp(page, L"C:\\t\\a.exe", L"25", L"again");
    afterOverwrite = AppRows(page);
    deleteEnabledBefore = Enabled(page, kAppDeleteButton);
    SelectRow(ListOf(page, kAppList), 0);
    deleteEnabledOnSelection = Enabled(page, kAppDeleteButton);
    EXPECT_EQ(Text(page, kAppPathEdit), L"C:\\t\\b.exe");
    EXPECT_EQ(Text(page, kAppDelayEdit), L"20");
    Click(page, kAppDeleteButton);
    afterDelete = AppRows(page);
    EXPECT_EQ(Text(page, kAppPathEdit), L"");
    PressOk(sheet);
  });
  ASSERT_EQ(MessageTexts(), std::vector<std::wstring>{L"アプリ名が同じものがあります。上書きしますか？"});
  EXPECT_EQ(afterOverwrite, (std::vector<std::wstring>{L"b|+20|", L"a|+25|again", L"c|+30|"}));
  EXPECT_FALSE(deleteEnabledBefore);
  EXPECT_TRUE(deleteEnabledOnSelection);
  EXPECT_EQ(afterDelete, (std::vector<std::wstring>{L"a|+25|again", L"c|+30|"}));
  EXPECT_STREQ(timerSettings.appPaths[0], L"C:\\t\\a.exe");
  EXPECT_STREQ(timerSettings.appArguments[0], L"again");
  EXPECT_STREQ(timerSettings.appPaths[1], L"C:\\t\\c.exe");
  EXPECT_EQ(timerSettings.appDelays[2], -1);
  EXPECT_EQ(timerSettings.appPaths[2][0], L'\0');
}

TEST_F(TimerSettingsSheetTest, WithoutAResumeTheApplicationsPageIsDisabledButKeepsItsList) {
  timerSettings.resumeEnabled = 0;
  timerSettings.appsAfterResume = 1;
  wcscpy(timerSettings.appPaths[0], L"C:\\t\\keep.exe");
  timerSettings.appDelays[0] = 12;
  wcscpy(timerSettings.captureFolder, L"C:\\shots");  // else the general page stores the default folder
  const std::vector<unsigned char> before = SettingsBytes();
  bool checkEnabled = true, listEnabled = true;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kAppsTab);
    checkEnabled = Enabled(page, kAppsCheck);
    listEnabled = Enabled(page, kAppList);
    PressOk(sheet);
  });
  EXPECT_FALSE(checkEnabled);
  EXPECT_FALSE(listEnabled);
  EXPECT_TRUE(SettingsBytes() == before);
}

// --- Sounds page -------------------------------------------------------------------

class TimerSoundPageTest : public TimerSettingsSheetTest {
 protected:
  void SetUp() override {
    TimerSettingsSheetTest::SetUp();
    const wchar_t* paths[] = {L"C:\\s\\bell.wav", L"C:\\s\\song.mp3", L"C:\\s\\chime.wav"};
    for (int i = 0; i < 3; ++i) {
      wcscpy(timerSettings.soundPaths[i], paths[i]);
      timerSettings.volumes[i] = 20 + i;
    }
    timerSettings.soundCount = 3;
    timerSettings.soundIndex[0] = 1;
    timerSettings.soundIndex[1] = 3;
  }
};

std::vector<std::wstring> SoundRows(HWND page) {
  std::vector<std::wstring> rows;
  HWND list = ListOf(page, kSoundList);
  for (int row = 0; row < RowCount(list); ++row) rows.push_back(Cell(list, row, 0) + L"|" + Cell(list, row, 1));
  return rows;
}

TEST_F(TimerSoundPageTest, TheListsShowTheSoundsAndTheVolumeStartsAt60) {
  std::vector<std::wstring> rows, before;
  int beforeSelection = -1, afterSelection = -1;
  std::wstring volume, volumeOnSelection;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kSoundTab);
    rows = SoundRows(page);
    before = ComboEntries(page, kBeforeList);
    beforeSelection = Selection(page, kBeforeList);
    afterSelection = Selection(page, kAfterList);
    volume = Text(page, kVolumeLabel) + L"/" +
             std::to_wstring(SendDlgItemMessageW(page, kVolumeBar, TBM_GETPOS, 0, 0));
    SelectRow(ListOf(page, kSoundList), 2);
    volumeOnSelection = Text(page, kVolumeLabel) + L"/" +
                        std::to_wstring(SendDlgItemMessageW(page, kVolumeBar, TBM_GETPOS, 0, 0)) + L"/" +
                        Text(page, kSoundPathEdit);
  });
  EXPECT_EQ(rows, (std::vector<std::wstring>{L"bell|20", L"song|21", L"chime|22"}));
  EXPECT_EQ(before, (std::vector<std::wstring>{L"なし", L"bell", L"song", L"chime"}));
  EXPECT_EQ(beforeSelection, 1);
  EXPECT_EQ(afterSelection, 3);
  EXPECT_EQ(volume, L"60/60");
  EXPECT_EQ(volumeOnSelection, L"22/22/C:\\s\\chime.wav");
}

TEST_F(TimerSoundPageTest, AListedNameInAnotherFolderOnlyChangesTheVolume) {
  std::vector<std::wstring> rows;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kSoundTab);
    Type(page, kSoundPathEdit, L"D:\\other\\song.wav");
    SendDlgItemMessageW(page, kVolumeBar, TBM_SETPOS, TRUE, 80);
    Click(page, kSoundAddButton);
    rows = SoundRows(page);
    PressOk(sheet);
  });
  EXPECT_EQ(rows, (std::vector<std::wstring>{L"bell|20", L"song|80", L"chime|22"}));
  EXPECT_STREQ(timerSettings.soundPaths[1], L"C:\\s\\song.mp3");
  EXPECT_EQ(timerSettings.volumes[1], 80);
  EXPECT_EQ(timerSettings.soundCount, 3);
}

TEST_F(TimerSoundPageTest, DeletingTheChosenSongResetsTheChoiceAndZeroesTheEntriesPastTheCount) {
  std::vector<std::wstring> entries;
  int beforeSelection = -1, afterSelection = -1;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kSoundTab);
    SelectRow(ListOf(page, kSoundList), 0);
    Click(page, kSoundDeleteButton);
    entries = ComboEntries(page, kAfterList);
    beforeSelection = Selection(page, kBeforeList);
    afterSelection = Selection(page, kAfterList);
    PressOk(sheet);
  });
  EXPECT_EQ(entries, (std::vector<std::wstring>{L"なし", L"song", L"chime"}));
  EXPECT_EQ(beforeSelection, 0) << "the deleted song was chosen for before the end";
  EXPECT_EQ(afterSelection, 2) << "chime keeps its choice at its new position";
  EXPECT_EQ(timerSettings.soundCount, 2);
  EXPECT_STREQ(timerSettings.soundPaths[0], L"C:\\s\\song.mp3");
  EXPECT_STREQ(timerSettings.soundPaths[1], L"C:\\s\\chime.wav");
  EXPECT_EQ(timerSettings.soundIndex[0], 0);
  EXPECT_EQ(timerSettings.soundIndex[1], 2);
  // The third entry would otherwise still name chime.wav in a saved profile.
  EXPECT_EQ(timerSettings.soundPaths[2][0], L'\0');
  EXPECT_EQ(timerSettings.volumes[2], 0);
}

TEST_F(TimerSoundPageTest, AStoredChoiceWithoutEntryIsStoredAsNone) {
  timerSettings.soundIndex[0] = 7;
  timerSettings.soundIndex[1] = 2;
  RunSheet([&](HWND sheet) {
    ShowPage(sheet, kSoundTab);
    PressOk(sheet);
  });
  EXPECT_EQ(timerSettings.soundIndex[0], 0);
  EXPECT_EQ(timerSettings.soundIndex[1], 2);
}

TEST_F(TimerSoundPageTest, AnEleventhSoundIsRefused) {
  for (int i = 3; i < kSoundCount; ++i) swprintf(timerSettings.soundPaths[i], kPathChars, L"C:\\s\\n%d.wav", i);
  timerSettings.soundCount = kSoundCount;
  size_t rows = 0;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kSoundTab);
    Type(page, kSoundPathEdit, L"C:\\s\\eleventh.wav");
    Click(page, kSoundAddButton);
    rows = SoundRows(page).size();
  });
  EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{L"これ以上追加できません。"});
  EXPECT_EQ(rows, 10u);
}

TEST_F(TimerSoundPageTest, TheModeAndTheResumeDisableTheirSongs) {
  const struct {
    int32_t mode;
    bool resume;
    bool before, after;
  } cases[] = {{Time, true, true, true}, {CpuUsage, true, false, true}, {EndNow, false, false, false},
               {Time, false, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode << c.resume);
    timerSettings.mode = c.mode;
    timerSettings.resumeEnabled = c.resume ? 1 : 0;
    bool before = false, after = false, check = false, edit = false;
    RunSheet([&](HWND sheet) {
      HWND page = ShowPage(sheet, kSoundTab);
      before = Enabled(page, kBeforeList);
      edit = Enabled(page, 1280);
      after = Enabled(page, kAfterList);
      check = Enabled(page, kNoSoundCheck);
    });
    EXPECT_EQ(before, c.before);
    EXPECT_EQ(edit, c.before);
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(check, c.after);
  }
}

// The preview plays through a real player, from files in a folder of the test.
class TimerSoundPreviewTest : public TimerSettingsSheetTest {
 protected:
  void SetUp() override {
    TimerSettingsSheetTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const std::wstring longWav = temp_.Path(L"long.wav");
    const std::wstring shortWav = temp_.Path(L"short.wav");
    ASSERT_TRUE(testing_support::WriteBytes(longWav, testing_support::MakeWav(8000)));
    ASSERT_TRUE(testing_support::WriteBytes(shortWav, testing_support::MakeWav(200)));
    const std::wstring paths[] = {longWav, shortWav, temp_.Path(L"gone.wav")};
    for (int i = 0; i < 3; ++i) {
      wcscpy(timerSettings.soundPaths[i], paths[i].c_str());
      timerSettings.volumes[i] = 30;
    }
    timerSettings.soundCount = 3;
  }
  void TearDown() override {
    CoUninitialize();
    TimerSettingsSheetTest::TearDown();
  }
  testing_support::TempFolder temp_;
};

constexpr int kPlayButton = 1290;

TEST_F(TimerSoundPreviewTest, PlayTogglesToStopAndBack) {
  std::wstring playing, stopped;
  bool openWhilePlaying = false, openAfterStop = true;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kSoundTab);
    SelectRow(ListOf(page, kSoundList), 0);
    Click(page, kPlayButton);
    playing = Text(page, kPlayButton);
    openWhilePlaying = timerSheetState.preview.player && timerSheetState.preview.player->opened == 1;
    Click(page, kPlayButton);
    stopped = Text(page, kPlayButton);
    openAfterStop = timerSheetState.preview.player && timerSheetState.preview.player->opened == 1;
  });
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_EQ(playing, L"停止");
  EXPECT_TRUE(openWhilePlaying);
  EXPECT_EQ(stopped, L"再生");
  EXPECT_FALSE(openAfterStop);
  EXPECT_EQ(timerSheetState.preview.player, nullptr) << "destroyed with the page";
}

TEST_F(TimerSoundPreviewTest, TheEndOfTheMediumTurnsTheButtonBack) {
  bool backToPlay = false;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kSoundTab);
    SelectRow(ListOf(page, kSoundList), 1);
    Click(page, kPlayButton);
    EXPECT_EQ(Text(page, kPlayButton), L"停止");
    backToPlay = testing_support::PumpMessagesUntil([&] { return Text(page, kPlayButton) == L"再生"; });
  });
  EXPECT_TRUE(backToPlay);
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(TimerSoundPreviewTest, DeletingThePlayingRowStopsThePreview) {
  std::wstring buttonWhilePlaying, button;
  bool openWhilePlaying = false, playerKept = false, open = true;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kSoundTab);
    SelectRow(ListOf(page, kSoundList), 0);
    Click(page, kPlayButton);
    buttonWhilePlaying = Text(page, kPlayButton);
    const SoundPlayer* player = timerSheetState.preview.player;
    openWhilePlaying = player && player->opened == 1;
    Click(page, kSoundDeleteButton);
    button = Text(page, kPlayButton);
    playerKept = timerSheetState.preview.player == player && player != nullptr;
    open = player && timerSheetState.preview.player && timerSheetState.preview.player->opened == 1;
  });
  // The preview must have started, or the delete would prove nothing.
  ASSERT_EQ(buttonWhilePlaying, L"停止");
  ASSERT_TRUE(openWhilePlaying);
  EXPECT_TRUE(playerKept) << "the player lives until the page goes";
  EXPECT_EQ(button, L"再生");
  EXPECT_FALSE(open);
}

TEST_F(TimerSoundPreviewTest, AMissingFileIsReportedAndThePageStaysUsable) {
  std::wstring button;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kSoundTab);
    SelectRow(ListOf(page, kSoundList), 2);
    Click(page, kPlayButton);
    button = Text(page, kPlayButton);
  });
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].text, L"ファイルが存在しません。\n" + temp_.Path(L"gone.wav"));
  EXPECT_EQ(CaughtMessageBoxes()[0].caption, L"エラー");
  EXPECT_EQ(button, L"再生");
}

// The control failing while it plays: the page says so once and turns the
// button back, as the scheduler's page does.
TEST_F(TimerSoundPreviewTest, AFailureWhilePlayingIsReportedOnce) {
  std::wstring playing, after;
  bool reported = false;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kSoundTab);
    SelectRow(ListOf(page, kSoundList), 0);
    Click(page, kPlayButton);
    playing = Text(page, kPlayButton);
    SoundPlayer* player = timerSheetState.preview.player;
    if (!player || !player->eventSink) return;
    DISPPARAMS none{};
    static_cast<_WMPOCXEvents*>(player->eventSink)
        ->Invoke(DISPID_WMPCOREEVENT_ERROR, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    reported = testing_support::PumpMessagesUntil([] { return !CaughtMessageBoxes().empty(); });
    testing_support::PumpMessagesUntil([] { return false; }, 500);
    after = Text(page, kPlayButton);
  });
  ASSERT_EQ(playing, L"停止");
  EXPECT_TRUE(reported);
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].caption, L"エラー");
  EXPECT_FALSE(CaughtMessageBoxes()[0].text.empty());
  EXPECT_EQ(after, L"再生");
}

// --- Profile page ------------------------------------------------------------------

TEST_F(TimerSettingsSheetTest, ProfilePageDayListsFollowEachOther) {
  timerSettings.advanceDate = 1;
  timerSettings.endDaysAhead = 1;
  timerSettings.resumeDaysAhead = 3;
  int afterEnd = -1, afterResume = -1;
  size_t beepsAfterEnd = 99, beepsAfterResume = 0, beepsAfterLater = 0;
  std::wstring hour;
  testing_support::BeepCounter beeps;
  ASSERT_TRUE(beeps.installed());
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kProfileTab);
    beeps.clear();
    Choose(page, kEndDaysList, 5);  // 5 days while 3 resume days are chosen
    afterEnd = Selection(page, kResumeDaysList);
    beepsAfterEnd = beeps.beeps().size();
    Choose(page, kResumeDaysList, 1);  // 2 days
    afterResume = Selection(page, kResumeDaysList);
    beepsAfterResume = beeps.beeps().size();
    Choose(page, kResumeDaysList, 7);  // 8 days: after the end days, no beep
    Choose(page, kResumeDaysList, 5);
    beepsAfterLater = beeps.beeps().size();
    SetCheck(page, kMinusDayCheck, true);
    Type(page, kFromHourEdit, L"45");
    hour = Text(page, kFromHourEdit);
    PressOk(sheet);
  });
  EXPECT_EQ(afterEnd, 5) << "6 days";
  EXPECT_EQ(beepsAfterEnd, 0u) << "the end list moves the resume days silently";
  EXPECT_EQ(afterResume, 5);
  EXPECT_EQ(beepsAfterResume, 1u) << "a resume day before the end day is put back with a beep";
  EXPECT_EQ(beepsAfterLater, 1u);
  EXPECT_EQ(hour, L"23");
  EXPECT_EQ(timerSettings.endDaysAhead, 5);
  EXPECT_EQ(timerSettings.resumeDaysAhead, 6);
  EXPECT_EQ(timerSettings.minusDayInWindow, 1);
  EXPECT_EQ(timerSettings.minusDayFromHour, 23);
}

TEST_F(TimerSettingsSheetTest, ProfilePageOptionsByModeAndResume) {
  const struct {
    int32_t mode;
    bool resume;
    bool dateOption, endList, resumeList;
  } cases[] = {{Time, false, true, true, false},      {Time, true, true, true, true},
               {CpuUsage, false, false, false, false}, {CpuUsage, true, true, false, true},
               {EndNow, false, false, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode << c.resume);
    timer_fakes::ResetTimerSettings();
    timerSettings.mode = c.mode;
    timerSettings.resumeEnabled = c.resume ? 1 : 0;
    timerSettings.advanceDate = 1;
    bool option = false, checked = false, endList = false, resumeList = false;
    RunSheet([&](HWND sheet) {
      HWND page = ShowPage(sheet, kProfileTab);
      option = Enabled(page, kAdvanceDateCheck);
      checked = IsDlgButtonChecked(page, kAdvanceDateCheck) == BST_CHECKED;
      endList = Enabled(page, kEndDaysList);
      resumeList = Enabled(page, kResumeDaysList);
      PressOk(sheet);
    });
    EXPECT_EQ(option, c.dateOption);
    EXPECT_EQ(checked, c.dateOption) << "shown clear where it cannot be used";
    EXPECT_EQ(endList, c.endList);
    EXPECT_EQ(resumeList, c.resumeList);
    EXPECT_EQ(timerSettings.advanceDate, c.dateOption ? 1 : 0);
  }
}

TEST_F(TimerSettingsSheetTest, WithoutTheDateOptionTheDaysAndHoursStayAsTheyWere) {
  timerSettings.advanceDate = 0;
  timerSettings.endDaysAhead = 2;
  timerSettings.resumeDaysAhead = 4;
  timerSettings.minusDayInWindow = 1;
  timerSettings.minusDayFromHour = 3;
  timerSettings.minusDayToHour = 5;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, kProfileTab);
    Choose(page, kEndDaysList, 7);
    Type(page, kFromHourEdit, L"9");
    SetCheck(page, kNoKeepTimeCheck, true);
    PressOk(sheet);
  });
  EXPECT_EQ(timerSettings.noKeepTime, 1);
  EXPECT_EQ(timerSettings.advanceDate, 0);
  EXPECT_EQ(timerSettings.endDaysAhead, 2);
  EXPECT_EQ(timerSettings.resumeDaysAhead, 4);
  EXPECT_EQ(timerSettings.minusDayInWindow, 1);
  EXPECT_EQ(timerSettings.minusDayFromHour, 3);
  EXPECT_EQ(timerSettings.minusDayToHour, 5);
}

}  // namespace
