#include "capture_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "beep_counter.h"
#include "message_box_catcher.h"
#include "profile_file.h"
#include "schedule_model.h"
#include "settings_sheet.h"
#include "sheet_driver.h"

using sheet_driver::Click;
using sheet_driver::Page;
using sheet_driver::PressOk;
using sheet_driver::RunSettingsSheet;
using sheet_driver::ShowPage;
using sheet_driver::StillOpen;
using testing_support::CaughtMessageBoxes;
using testing_support::ClearCaughtMessageBoxes;

namespace {

constexpr int kCaptureTab = 3;  // general, sound, applications, capture, mail
constexpr int kFolderEdit = 1835;
constexpr int kBmpRadio = 1838;
constexpr int kJpegRadio = 1839;
constexpr int kOnRadio = 1836;
constexpr int kOffRadio = 1837;
constexpr int kSplitSetButton = 1834;
constexpr int kPlainSetButton = 1842;
constexpr int kCaptureColumn = 4;

ScheduleItem& AddItem(int row, int slot, int32_t action) {
  ScheduleItem& item = scheduleTable[row][slot];
  item.listIndex = slot;
  item.action = action;
  wcscpy(item.timeText, L"12:00");
  int p = 0;
  while (orderTable[row][p] != -1) ++p;
  orderTable[row][p] = slot;
  return item;
}

std::vector<uint8_t> SavedSettingsBlock() {
  std::vector<uint8_t> file(ProfileFileSize(scheduleMode));
  EncodeProfile(file.data());
  return std::vector<uint8_t>(file.end() - static_cast<long>(kSettingsBlockSize), file.end());
}

class CapturePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scheduleMode = DateMode;
    ClearScheduleTable(scheduleTable, orderTable);
    std::memset(&profileSettings, 0, sizeof profileSettings);
    wcscpy(profileSettings.capture.captureFolder, L"C:\\before");
    ClearCaughtMessageBoxes();
  }
};

TEST(CaptureFolderRefusalTest, LengthsAndCapturingItems) {
  struct Case {
    size_t length;
    bool captures;
    const wchar_t* refusal;
  };
  const Case cases[] = {
      {0, false, nullptr},           {0, true, kCaptureFolderTooShort},  {3, true, kCaptureFolderTooShort},
      {4, true, nullptr},            {219, true, nullptr},               {219, false, nullptr},
      {220, false, kCaptureFolderTooLong}, {220, true, kCaptureFolderTooLong}, {5000, false, kCaptureFolderTooLong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.length << " " << c.captures);
    EXPECT_EQ(CaptureFolderRefusal(c.length, c.captures), c.refusal);
  }
}

// The folder typed (or set past the edit's limit, as "既定値" and "参照" do)
// is checked on OK; a refused folder keeps the sheet open and stores nothing.
TEST_F(CapturePageTest, FolderIsCheckedOnOkAndStoredOnlyWhenAccepted) {
  struct Case {
    size_t length;
    bool itemCaptures;
    const wchar_t* refusal;
  };
  const Case cases[] = {
      {219, true, nullptr}, {220, false, kCaptureFolderTooLong}, {0, true, kCaptureFolderTooShort}, {0, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.length << " " << c.itemCaptures);
    ClearScheduleTable(scheduleTable, orderTable);
    wcscpy(profileSettings.capture.captureFolder, L"C:\\before");
    profileSettings.capture.captureFormat = 0;
    AddItem(0, 0, Shutdown).captureEnabled = c.itemCaptures ? 1 : 0;
    std::wstring folder = L"C:\\";
    if (c.length == 0) folder.clear();
    folder.resize(c.length, L'f');
    bool open = false;
    RunSettingsSheet([&](HWND sheet) {
      ShowPage(sheet, kCaptureTab);
      ASSERT_NE(Page(kCapturePage), nullptr);
      SetDlgItemTextW(Page(kCapturePage), kFolderEdit, folder.c_str());
      Click(Page(kCapturePage), kJpegRadio);
      PressOk(sheet);
      open = StillOpen(sheet);
    });
    EXPECT_EQ(open, c.refusal != nullptr);
    if (c.refusal) {
      ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
      EXPECT_EQ(CaughtMessageBoxes()[0].text, c.refusal);
      EXPECT_STREQ(profileSettings.capture.captureFolder, L"C:\\before");
      EXPECT_EQ(profileSettings.capture.captureFormat, 0);
    } else {
      EXPECT_TRUE(CaughtMessageBoxes().empty());
      EXPECT_EQ(std::wstring(profileSettings.capture.captureFolder), folder);
      EXPECT_EQ(profileSettings.capture.captureFormat, 1);
    }
    ClearCaughtMessageBoxes();
  }
}

TEST_F(CapturePageTest, FormatAndFolderReachTheProfileBytesAndCancelKeepsThem) {
  AddItem(0, 0, Shutdown).captureEnabled = 1;
  RunSettingsSheet([](HWND sheet) {
    ShowPage(sheet, kCaptureTab);
    SetDlgItemTextW(Page(kCapturePage), kFolderEdit, L"D:\\shots");
    Click(Page(kCapturePage), kJpegRadio);
    PressOk(sheet);
    EXPECT_FALSE(StillOpen(sheet));
  });
  std::vector<uint8_t> block = SavedSettingsBlock();
  EXPECT_EQ(block[5304], 1);
  EXPECT_EQ(block[5305] | block[5306] | block[5307], 0);
  const wchar_t expected[] = L"D:\\shots";
  for (size_t i = 0; i < 220; ++i) {
    const wchar_t ch = i < wcslen(expected) ? expected[i] : L'\0';
    EXPECT_EQ(block[5308 + 2 * i] | block[5309 + 2 * i] << 8, ch) << i;
  }
  // Cancel after changes stores nothing.
  RunSettingsSheet([](HWND sheet) {
    ShowPage(sheet, kCaptureTab);
    SetDlgItemTextW(Page(kCapturePage), kFolderEdit, L"E:\\other");
    Click(Page(kCapturePage), kBmpRadio);
    sheet_driver::PressCancel(sheet);
  });
  EXPECT_STREQ(profileSettings.capture.captureFolder, L"D:\\shots");
  EXPECT_EQ(profileSettings.capture.captureFormat, 1);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

std::wstring ActionListCell(int position) {
  wchar_t text[16] = {};
  ListView_GetItemText(settingsSheetState.actionListView, position, kCaptureColumn, text, 16);
  return text;
}

void ChoosePosition(int position) {
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  ListView_SetItemState(settingsSheetState.actionListView, position, both, both);
}

// "セット" as the user sees it: the split button, or the plain one on an old system.
void PressSet() {
  HWND page = Page(kCapturePage);
  Click(page, IsWindowVisible(GetDlgItem(page, kSplitSetButton)) ? kSplitSetButton : kPlainSetButton);
}

void KindCommand(int kind) {
  SendMessageW(Page(kCapturePage), WM_COMMAND, MAKEWPARAM(kFirstKindCommand + kind, 0), 0);
}

// The per-item "セット", its beep on a WakeOnly item, the "全ての…" commands
// of the split button's menu, and the action list's cell that follows them.
TEST_F(CapturePageTest, SetAndTheKindCommandsChangeTheItemsAndTheirCells) {
  AddItem(0, 0, Shutdown);
  AddItem(0, 1, Standby);
  AddItem(0, 2, WakeOnly);
  AddItem(0, 3, Restart);
  testing_support::BeepCounter beeps;
  ASSERT_TRUE(beeps.installed());
  std::vector<std::wstring> afterSet, afterWake, afterAllOff, afterStandby, afterWakeKind;
  size_t beepsAfterSet = 99, beepsAfterWake = 0, beepsAfterKinds = 0;
  auto cells = [] {
    std::vector<std::wstring> row;
    for (int p = 0; p < 4; ++p) row.push_back(ActionListCell(p));
    return row;
  };
  RunSettingsSheet([&](HWND sheet) {
    ShowPage(sheet, kCaptureTab);
    ASSERT_NE(Page(kCapturePage), nullptr);
    beeps.clear();
    ChoosePosition(0);
    Click(Page(kCapturePage), kOnRadio);
    PressSet();
    afterSet = cells();
    beepsAfterSet = beeps.beeps().size();
    ChoosePosition(2);
    PressSet();
    afterWake = cells();
    beepsAfterWake = beeps.beeps().size();
    ChoosePosition(3);
    PressSet();
    Click(Page(kCapturePage), kOffRadio);
    KindCommand(kEveryPowerActionKind);
    afterAllOff = cells();
    Click(Page(kCapturePage), kOnRadio);
    KindCommand(Standby);
    afterStandby = cells();
    KindCommand(WakeOnly);  // greyed in the menu: does nothing
    afterWakeKind = cells();
    beepsAfterKinds = beeps.beeps().size();
    PressOk(sheet);
  });
  EXPECT_EQ(afterSet, (std::vector<std::wstring>{L"○", L"", L"", L""}));
  EXPECT_EQ(beepsAfterSet, 0u);
  EXPECT_EQ(afterWake, (std::vector<std::wstring>{L"○", L"", L"", L""})) << "a WakeOnly item captures nothing";
  EXPECT_EQ(beepsAfterWake, 1u);
  EXPECT_EQ(afterAllOff, (std::vector<std::wstring>{L"", L"", L"", L""}));
  EXPECT_EQ(afterStandby, (std::vector<std::wstring>{L"", L"○", L"", L""}));
  EXPECT_EQ(afterWakeKind, afterStandby);
  EXPECT_EQ(beepsAfterKinds, 1u);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  const int32_t stored[] = {scheduleTable[0][0].captureEnabled, scheduleTable[0][1].captureEnabled,
                            scheduleTable[0][2].captureEnabled, scheduleTable[0][3].captureEnabled};
  EXPECT_EQ(std::vector<int32_t>(std::begin(stored), std::end(stored)), (std::vector<int32_t>{0, 1, 0, 0}));
}

}  // namespace
