#include "applications_page.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "message_box_catcher.h"
#include "profile_file.h"
#include "schedule_model.h"
#include "settings_sheet.h"
#include "sheet_driver.h"

using sheet_driver::Click;
using sheet_driver::Page;
using sheet_driver::PressCancel;
using sheet_driver::PressOk;
using sheet_driver::RunSettingsSheet;
using sheet_driver::ShowPage;
using testing_support::CaughtMessageBoxes;
using testing_support::ClearCaughtMessageBoxes;
using testing_support::SetMessageBoxAnswer;

namespace {

constexpr int kApplicationsTab = 2;  // general, sound, applications, capture, mail

ScheduleItem& AddItem(int row, int slot, int32_t action, WORD hour, WORD minute) {
  ScheduleItem& item = scheduleTable[row][slot];
  item.listIndex = slot;
  item.action = action;
  item.time.wYear = 2010;
  item.time.wMonth = 1;
  item.time.wDay = 1;
  item.time.wHour = hour;
  item.time.wMinute = minute;
  swprintf(item.timeText, 20, L"%02d:%02d", hour, minute);
  int p = 0;
  while (orderTable[row][p] != -1) ++p;
  orderTable[row][p] = slot;
  return item;
}

void GiveApps(ScheduleItem& item, int count, const wchar_t* stem) {
  for (int j = 0; j < count; ++j) {
    swprintf(item.appPaths[j], kPathChars, L"C:\\apps\\%ls%d.exe", stem, j);
    swprintf(item.appArguments[j], kCommandChars, L"/n %d", j);
    item.appDelays[j] = 5 * j;
    item.appMinimized[j] = static_cast<uint8_t>(j % 2);
  }
}

HWND AppsPage() { return Page(kApplicationsPage); }
HWND AppList() { return GetDlgItem(AppsPage(), kAppListViewId); }

std::wstring CellOf(HWND list, int item, int column) {
  wchar_t text[300] = {};
  ListView_GetItemText(list, item, column, text, 300);
  return text;
}

// Each row of the page's list as "name delay arguments".
std::vector<std::wstring> ListedApps() {
  std::vector<std::wstring> rows;
  for (int i = 0; i < ListView_GetItemCount(AppList()); ++i)
    rows.push_back(CellOf(AppList(), i, 0) + L" " + CellOf(AppList(), i, 1) + L" " + CellOf(AppList(), i, 2));
  return rows;
}

std::wstring ActionListAppsCell(int position) { return CellOf(settingsSheetState.actionListView, position, 2); }

// Opens the applications page and chooses the item at that position of the
// action list.
void ChooseItem(HWND sheet, int position) {
  ShowPage(sheet, kApplicationsTab);
  ASSERT_NE(AppsPage(), nullptr);
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  ListView_SetItemState(settingsSheetState.actionListView, position, both, both);
}

// Fills the edits as given and presses "セット".
void SetApp(const wchar_t* path, const wchar_t* delay, const wchar_t* arguments = L"", bool minimized = false) {
  SetDlgItemTextW(AppsPage(), kAppPathEdit, path);
  SetDlgItemTextW(AppsPage(), kAppDelayEdit, delay);
  SetDlgItemTextW(AppsPage(), kAppArgumentsEdit, arguments);
  CheckDlgButton(AppsPage(), kAppMinimizedBox, minimized ? BST_CHECKED : BST_UNCHECKED);
  Click(AppsPage(), kAppSetButton);
}

std::vector<uint8_t> SavedItemRecord(int row, int slot) {
  std::vector<uint8_t> file(ProfileFileSize(scheduleMode));
  EncodeProfile(file.data());
  const size_t at = kItemsOffset + (static_cast<size_t>(row) * kSlotCount + slot) * kItemRecordSize;
  return std::vector<uint8_t>(file.begin() + static_cast<long>(at),
                              file.begin() + static_cast<long>(at + kItemRecordSize));
}

int32_t IntAt(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                              static_cast<uint32_t>(bytes[at + 3]) << 24);
}

std::wstring TextAt(const std::vector<uint8_t>& bytes, size_t at, size_t chars) {
  std::wstring text;
  for (size_t i = 0; i < chars; ++i) {
    const wchar_t ch = static_cast<wchar_t>(bytes[at + 2 * i] | bytes[at + 2 * i + 1] << 8);
    if (ch == L'\0') break;
    text += ch;
  }
  return text;
}

class ApplicationsPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scheduleMode = DailyMode;
    ClearScheduleTable(scheduleTable, orderTable);
    std::memset(&profileSettings, 0, sizeof profileSettings);
    ClearCaughtMessageBoxes();
    SetMessageBoxAnswer(IDOK);
  }
  void TearDown() override { SetMessageBoxAnswer(IDOK); }
};

// A scratch list of one item's applications, as the sheet keeps them.
struct ScratchApps {
  wchar_t paths[kAppCount][kPathChars] = {};
  wchar_t arguments[kAppCount][kPathChars] = {};
  int32_t delays[kAppCount];
  int32_t order[kAppCount];
  uint8_t minimized[kAppCount] = {};
  ScratchApps() {
    for (int i = 0; i < kAppCount; ++i) delays[i] = order[i] = -1;
  }
  ItemApps View() { return ItemApps{paths, arguments, delays, order, minimized}; }
  std::vector<std::wstring> Listed() {
    std::vector<std::wstring> listed;
    for (int k = 0; k < AppListLength(order); ++k)
      listed.push_back(std::wstring(paths[order[k]]) + L"+" + std::to_wstring(delays[order[k]]));
    return listed;
  }
};

TEST(PlaceApplicationTest, TheListStaysInDelayOrder) {
  struct Step {
    const wchar_t* path;
    int32_t delay;
    int change;  // list position changed, -1 for a new application
    int placedAt;
    std::vector<std::wstring> listed;
  };
  const Step steps[] = {
      {L"a", 30, -1, 0, {L"a+30"}},
      {L"b", 10, -1, 0, {L"b+10", L"a+30"}},
      {L"c", 30, -1, 2, {L"b+10", L"a+30", L"c+30"}},  // after the equal delay
      {L"d", 0, -1, 0, {L"d+0", L"b+10", L"a+30", L"c+30"}},
      {L"a", 10, 2, 2, {L"d+0", L"b+10", L"a+10", L"c+30"}},  // after the other 10
      {L"b", 10, 1, 1, {L"d+0", L"b+10", L"a+10", L"c+30"}},  // same delay: stays
      {L"d", 40, 0, 3, {L"b+10", L"a+10", L"c+30", L"d+40"}},
  };
  ScratchApps apps;
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << s.path << " " << s.delay);
    EXPECT_EQ(PlaceApplication(apps.View(), AppEntry{s.path, L"", s.delay, 0}, s.change), s.placedAt);
    EXPECT_EQ(apps.Listed(), s.listed);
  }
  // No entry of the list is ever marked free.
  for (int k = 0; k < AppListLength(apps.order); ++k) EXPECT_NE(apps.delays[apps.order[k]], -1);
  RemoveApplication(apps.View(), 1);
  EXPECT_EQ(apps.Listed(), (std::vector<std::wstring>{L"b+10", L"c+30", L"d+40"}));
  // The freed entry is the next one taken.
  EXPECT_EQ(PlaceApplication(apps.View(), AppEntry{L"e", L"", 20, 0}, -1), 1);
  EXPECT_EQ(apps.order[1], 0);
}

TEST(ParseEditNumberTest, OnlyPlainDigitsWithinTheLimit) {
  struct Case {
    const wchar_t* text;
    int32_t max;
    bool accepted;
    int32_t value;
  };
  const Case cases[] = {
      {L"", 999, true, 0},      {L"0", 999, true, 0},       {L"999", 999, true, 999},  {L"007", 999, true, 7},
      {L"1000", 999, false, 0}, {L"99999", 999, false, 0},  {L"-1", 999, false, 0},    {L"1e3", 999, false, 0},
      {L"abc", 999, false, 0},  {L" 5", 999, false, 0},     {L"9999", 9999, true, 9999}, {L"10000", 9999, false, 0},
      {L"99999999999999999999", 9999, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + wcslen(c.text)));
    int32_t value = -5;
    EXPECT_EQ(ParseEditNumber(c.text, c.max, &value), c.accepted);
    EXPECT_EQ(value, c.accepted ? c.value : -5);
  }
}

// "セット" with the page's limits and messages, step by step on one WakeOnly
// item; the action list's count cell follows the page.
TEST_F(ApplicationsPageTest, SetAddsChangesAndRefusesWithTheMessages) {
  AddItem(0, 3, Shutdown, 6, 0);
  AddItem(0, 8, WakeOnly, 6, 30);
  struct Step {
    const wchar_t* path;
    const wchar_t* delay;
    const wchar_t* arguments;
    int answer;               // to the overwrite question
    const wchar_t* message;   // the box shown, or null
    std::vector<std::wstring> rows;
  };
  const std::wstring range = NumberRangeMessage(999);
  const std::vector<std::wstring> four = {L"zero +0 ", L"early +10 -e", L"late +30 -l", L"late2 +30 "};
  const std::vector<std::wstring> changed = {L"zero +0 ", L"early +10 -e", L"late +10 -x", L"late2 +30 "};
  const Step steps[] = {
      {L"C:\\a\\late.exe", L"30", L"-l", IDOK, nullptr, {L"late +30 -l"}},
      {L"C:\\b\\early.EXE", L"10", L"-e", IDOK, nullptr, {L"early +10 -e", L"late +30 -l"}},
      {L"C:\\c\\late2.exe", L"30", L"", IDOK, nullptr, {L"early +10 -e", L"late +30 -l", L"late2 +30 "}},
      {L"C:\\d\\zero.exe", L"", L"", IDOK, nullptr, four},
      {L"C:\\a\\readme.txt", L"5", L"", IDOK, kBadAppFileName, four},
      {L"C:\\a\\noext", L"5", L"", IDOK, kBadAppFileName, four},
      {L"C:\\a\\late.exe", L"10", L"-x", IDNO, kSameAppQuestion, four},
      {L"C:\\a\\late.exe", L"10", L"-x", IDYES, kSameAppQuestion, changed},
      {L"C:\\a\\late.exe", L"-1", L"", IDYES, range.c_str(), changed},
      {L"C:\\f\\new.exe", L"1e3", L"", IDYES, range.c_str(), changed},
      {L"C:\\f\\new.exe", L"1000", L"", IDYES, range.c_str(), changed},
      {L"C:\\f\\new.exe", L"99999", L"", IDYES, range.c_str(), changed},
      {L"C:\\f\\new.exe", L"abc", L"", IDYES, range.c_str(), changed},
  };
  RunSettingsSheet([&](HWND sheet) {
    ChooseItem(sheet, 1);
    EXPECT_EQ(ControlText(GetDlgItem(AppsPage(), kAppTitleLabel)), L"復帰後に起動するアプリ(06:30)");
    for (size_t i = 0; i < std::size(steps); ++i) {
      const Step& s = steps[i];
      SCOPED_TRACE(testing::Message() << "step " << i);
      ClearCaughtMessageBoxes();
      SetMessageBoxAnswer(s.answer);
      SetApp(s.path, s.delay, s.arguments);
      const auto boxes = CaughtMessageBoxes();
      if (s.message) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, s.message);
        EXPECT_EQ(boxes[0].caption, s.message == kSameAppQuestion ? L"確認" : L"");
      } else {
        EXPECT_TRUE(boxes.empty());
      }
      EXPECT_EQ(ListedApps(), s.rows);
      EXPECT_EQ(ActionListAppsCell(1), L"○(" + std::to_wstring(s.rows.size()) + L")");
      EXPECT_EQ(ActionListAppsCell(0), L"");
    }
    // Every listed entry keeps a real delay.
    const ItemApps apps = WorkingItemApps(0, 8);
    for (int k = 0; k < AppListLength(apps.order); ++k) EXPECT_GE(apps.delays[apps.order[k]], 0);
    PressOk(sheet);
  });
  const ScheduleItem& item = scheduleTable[0][8];
  const wchar_t* paths[] = {L"C:\\d\\zero.exe", L"C:\\b\\early.EXE", L"C:\\a\\late.exe", L"C:\\c\\late2.exe"};
  const int32_t delays[] = {0, 10, 10, 30};
  for (int k = 0; k < 4; ++k) {
    EXPECT_STREQ(item.appPaths[k], paths[k]);
    EXPECT_EQ(item.appDelays[k], delays[k]);
  }
  EXPECT_EQ(item.appDelays[4], -1);
  EXPECT_EQ(scheduleTable[0][3].appDelays[0], -1);
}

// Delays typed past the edit's own checks: a paste goes through the edit's
// replace-selection, a set text past its 3-character limit too.
TEST_F(ApplicationsPageTest, RefusedDelaysLeaveTheListAsItWas) {
  AddItem(0, 0, WakeOnly, 7, 0);
  struct Case {
    const wchar_t* delay;
    bool paste;
  };
  const Case cases[] = {{L"-1", true}, {L"ab", true}, {L"1e3", true}, {L"1000", false}, {L"99999", false}};
  RunSettingsSheet([&](HWND sheet) {
    ChooseItem(sheet, 0);
    SetApp(L"C:\\x\\first.exe", L"5");
    ASSERT_EQ(ListedApps(), (std::vector<std::wstring>{L"first +5 "}));
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << std::string(c.delay, c.delay + wcslen(c.delay)));
      ClearCaughtMessageBoxes();
      SetDlgItemTextW(AppsPage(), kAppPathEdit, L"C:\\x\\second.exe");
      HWND delay = GetDlgItem(AppsPage(), kAppDelayEdit);
      SetWindowTextW(delay, L"");
      if (c.paste)
        SendMessageW(delay, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(c.delay));
      else
        SendMessageW(delay, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.delay));
      ASSERT_EQ(ControlText(delay), c.delay);
      Click(AppsPage(), kAppSetButton);
      ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
      EXPECT_EQ(CaughtMessageBoxes()[0].text, NumberRangeMessage(999));
      EXPECT_EQ(ListedApps(), (std::vector<std::wstring>{L"first +5 "}));
      EXPECT_EQ(settingsSheetState.editAppOrder[0][0][1], -1);
    }
    PressOk(sheet);
  });
  EXPECT_EQ(scheduleTable[0][0].appDelays[0], 5);
  EXPECT_EQ(scheduleTable[0][0].appDelays[1], -1);
}

TEST_F(ApplicationsPageTest, TheEleventhApplicationIsRefused) {
  AddItem(0, 0, WakeOnly, 7, 0);
  RunSettingsSheet([&](HWND sheet) {
    ChooseItem(sheet, 0);
    for (int i = 0; i < kAppCount; ++i) {
      const std::wstring path = L"C:\\x\\app" + std::to_wstring(i) + L".exe";
      SetApp(path.c_str(), std::to_wstring(i).c_str());
    }
    EXPECT_TRUE(CaughtMessageBoxes().empty());
    EXPECT_EQ(ListView_GetItemCount(AppList()), kAppCount);
    SetApp(L"C:\\x\\eleventh.exe", L"1");
    ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
    EXPECT_EQ(CaughtMessageBoxes()[0].text, kAppListFull);
    EXPECT_EQ(CaughtMessageBoxes()[0].caption, L"");
    EXPECT_EQ(ListView_GetItemCount(AppList()), kAppCount);
    EXPECT_EQ(ActionListAppsCell(0), L"○(10)");
    // A change of a listed one still goes through.
    SetMessageBoxAnswer(IDYES);
    SetApp(L"C:\\x\\app0.exe", L"99");
    ClearCaughtMessageBoxes();
    EXPECT_EQ(CellOf(AppList(), 9, 0), L"app0");
    EXPECT_EQ(CellOf(AppList(), 9, 1), L"+99");
  });
}

TEST_F(ApplicationsPageTest, AnItemThatIsNotWakeOnlyShowsNothingAndCannotBeEdited) {
  GiveApps(AddItem(0, 0, Shutdown, 8, 0), 2, L"s");
  GiveApps(AddItem(0, 1, WakeOnly, 8, 30), 2, L"w");
  struct Shown {
    std::wstring title;
    int rows;
    bool set, copy, paste, remove;
  };
  std::vector<Shown> shown;
  RunSettingsSheet([&](HWND sheet) {
    auto look = [&] {
      HWND page = AppsPage();
      shown.push_back({ControlText(GetDlgItem(page, kAppTitleLabel)), ListView_GetItemCount(AppList()),
                       IsWindowEnabled(GetDlgItem(page, kAppSetButton)) != FALSE,
                       IsWindowEnabled(GetDlgItem(page, kAppCopyButton)) != FALSE,
                       IsWindowEnabled(GetDlgItem(page, kAppPasteButton)) != FALSE,
                       IsWindowEnabled(GetDlgItem(page, kAppRemoveButton)) != FALSE});
    };
    ShowPage(sheet, kApplicationsTab);
    look();  // no item yet
    ChooseItem(sheet, 1);
    look();
    ChooseItem(sheet, 0);
    look();
    // "セット" reached anyway (the command itself) changes nothing.
    SetDlgItemTextW(AppsPage(), kAppPathEdit, L"C:\\x\\sneak.exe");
    SendMessageW(AppsPage(), WM_COMMAND, MAKEWPARAM(kAppSetButton, BN_CLICKED), 0);
    SendMessageW(AppsPage(), WM_COMMAND, MAKEWPARAM(kAppPasteButton, BN_CLICKED), 0);
    EXPECT_EQ(ListView_GetItemCount(AppList()), 0);
    EXPECT_EQ(settingsSheetState.editAppOrder[0][0][2], -1);
    EXPECT_EQ(ActionListAppsCell(0), L"○(2)");
    PressOk(sheet);
  });
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].title, L"復帰後に起動するアプリ(----/--/-- --:--)");
  EXPECT_EQ(shown[0].rows, 0);
  EXPECT_FALSE(shown[0].set || shown[0].copy || shown[0].paste || shown[0].remove);
  EXPECT_EQ(shown[1].title, L"復帰後に起動するアプリ(08:30)");
  EXPECT_EQ(shown[1].rows, 2);
  EXPECT_TRUE(shown[1].set && shown[1].copy);
  EXPECT_FALSE(shown[1].paste || shown[1].remove);
  EXPECT_EQ(shown[2].title, L"復帰後に起動するアプリ(----/--/-- --:--)");
  EXPECT_EQ(shown[2].rows, 0);
  EXPECT_FALSE(shown[2].set || shown[2].copy || shown[2].paste || shown[2].remove);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  EXPECT_STREQ(scheduleTable[0][0].appPaths[1], L"C:\\apps\\s1.exe");
  EXPECT_EQ(scheduleTable[0][0].appDelays[2], -1);
}

TEST_F(ApplicationsPageTest, TitlesFollowTheScheduleMode) {
  struct Case {
    ScheduleMode mode;
    int row;
    const wchar_t* title;
  };
  const Case cases[] = {
      {DateMode, 0, L"復帰後に起動するアプリ(2010/01/01 21:05)"},
      {DailyMode, 0, L"復帰後に起動するアプリ(21:05)"},
      {WeeklyMode, 0, L"復帰後に起動するアプリ(21:05 (日))"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    scheduleMode = c.mode;
    ClearScheduleTable(scheduleTable, orderTable);
    AddItem(c.row, 0, WakeOnly, 21, 5);
    std::wstring title;
    RunSettingsSheet([&](HWND sheet) {
      ChooseItem(sheet, 0);
      title = ControlText(GetDlgItem(AppsPage(), kAppTitleLabel));
    });
    EXPECT_EQ(title, c.title);
  }
}

TEST_F(ApplicationsPageTest, RemoveCopyAndPaste) {
  GiveApps(AddItem(0, 0, WakeOnly, 9, 0), 3, L"three");
  GiveApps(AddItem(0, 1, WakeOnly, 9, 30), 5, L"five");
  GiveApps(AddItem(0, 2, WakeOnly, 10, 0), 1, L"one");
  RunSettingsSheet([&](HWND sheet) {
    ChooseItem(sheet, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(AppsPage(), kAppPasteButton)));
    Click(AppsPage(), kAppCopyButton);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(AppsPage(), kAppPasteButton)));
    ChooseItem(sheet, 1);
    EXPECT_EQ(ListView_GetItemCount(AppList()), 5);
    Click(AppsPage(), kAppPasteButton);
    EXPECT_EQ(ListedApps(), (std::vector<std::wstring>{L"three0 +0 /n 0", L"three1 +5 /n 1", L"three2 +10 /n 2"}));
    EXPECT_EQ(ActionListAppsCell(1), L"○(3)");
    // Selecting a row fills the edits; "削除" removes it.
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(AppList(), 1, both, both);
    EXPECT_EQ(ControlText(GetDlgItem(AppsPage(), kAppPathEdit)), L"C:\\apps\\three1.exe");
    EXPECT_EQ(ControlText(GetDlgItem(AppsPage(), kAppDelayEdit)), L"5");
    EXPECT_EQ(ControlText(GetDlgItem(AppsPage(), kAppArgumentsEdit)), L"/n 1");
    EXPECT_EQ(IsDlgButtonChecked(AppsPage(), kAppMinimizedBox), BST_CHECKED);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(AppsPage(), kAppRemoveButton)));
    Click(AppsPage(), kAppRemoveButton);
    EXPECT_EQ(ListedApps(), (std::vector<std::wstring>{L"three0 +0 /n 0", L"three2 +10 /n 2"}));
    EXPECT_EQ(ActionListAppsCell(1), L"○(2)");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(AppsPage(), kAppRemoveButton)));
    // Removing the only application empties the cell.
    ChooseItem(sheet, 2);
    ListView_SetItemState(AppList(), 0, both, both);
    Click(AppsPage(), kAppRemoveButton);
    EXPECT_EQ(ListView_GetItemCount(AppList()), 0);
    EXPECT_EQ(ActionListAppsCell(2), L"");
    PressOk(sheet);
  });
  const ScheduleItem& target = scheduleTable[0][1];
  EXPECT_STREQ(target.appPaths[0], L"C:\\apps\\three0.exe");
  EXPECT_STREQ(target.appPaths[1], L"C:\\apps\\three2.exe");
  EXPECT_EQ(target.appDelays[1], 10);
  EXPECT_STREQ(target.appPaths[2], L"");
  EXPECT_EQ(target.appDelays[2], -1);
  EXPECT_EQ(scheduleTable[0][2].appDelays[0], -1);
  EXPECT_STREQ(scheduleTable[0][0].appPaths[2], L"C:\\apps\\three2.exe");
}

TEST_F(ApplicationsPageTest, OkStoresTheProfileBytesAndCancelStoresNothing) {
  scheduleMode = WeeklyMode;
  AddItem(3, 5, WakeOnly, 5, 0);
  RunSettingsSheet([&](HWND sheet) {
    // Wednesday's row in the action list.
    SendMessageW(GetParent(settingsSheetState.actionListView), WM_COMMAND, MAKEWPARAM(1303, BN_CLICKED), 0);
    ChooseItem(sheet, 0);
    EXPECT_EQ(ControlText(GetDlgItem(AppsPage(), kAppTitleLabel)), L"復帰後に起動するアプリ(05:00 (水))");
    SetApp(L"C:\\tools\\later.exe", L"120", L"--late", false);
    SetApp(L"C:\\tools\\sooner.exe", L"7", L"-s \"x y\"", true);
    EXPECT_EQ(ActionListAppsCell(0), L"○(2)");
    PressOk(sheet);
    EXPECT_FALSE(sheet_driver::StillOpen(sheet));
  });
  const std::vector<uint8_t> record = SavedItemRecord(3, 5);
  struct Expected {
    const wchar_t* path;
    const wchar_t* arguments;
    int32_t delay;
    uint8_t minimized;
  };
  const Expected expected[] = {{L"C:\\tools\\sooner.exe", L"-s \"x y\"", 7, 1}, {L"C:\\tools\\later.exe", L"--late", 120, 0}};
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(TextAt(record, 5134 + 520 * k, 260), expected[k].path);
    EXPECT_EQ(TextAt(record, 4 + 512 * k, 256), expected[k].arguments);
    EXPECT_EQ(IntAt(record, 10334 + 4 * k), expected[k].delay);
    EXPECT_EQ(record[5124 + k], expected[k].minimized);
  }
  for (int k = 2; k < kAppCount; ++k) {
    EXPECT_EQ(IntAt(record, 10334 + 4 * k), -1);
    EXPECT_EQ(record[5134 + 520 * k] | record[5135 + 520 * k], 0);
  }
  // Cancel after edits leaves every item's applications as they were.
  const ScheduleItem before = scheduleTable[3][5];
  RunSettingsSheet([&](HWND sheet) {
    SendMessageW(GetParent(settingsSheetState.actionListView), WM_COMMAND, MAKEWPARAM(1303, BN_CLICKED), 0);
    ChooseItem(sheet, 0);
    SetApp(L"C:\\tools\\third.exe", L"1");
    EXPECT_EQ(ListView_GetItemCount(AppList()), 3);
    PressCancel(sheet);
  });
  EXPECT_EQ(std::memcmp(&before, &scheduleTable[3][5], sizeof before), 0);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

}  // namespace
