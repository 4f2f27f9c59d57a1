#include "sound_page.h"

#include <commctrl.h>
#include <objbase.h>
#include <wmpids.h>
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
#include "shared/sound_player.h"
#include "temp_folder.h"
#include "wait.h"
#include "wav_fixture.h"

using sheet_driver::Click;
using sheet_driver::Page;
using sheet_driver::PressCancel;
using sheet_driver::PressOk;
using sheet_driver::RunSettingsSheet;
using sheet_driver::ShowPage;
using testing_support::CaughtMessageBoxes;
using testing_support::ClearCaughtMessageBoxes;
using testing_support::MakeWav;
using testing_support::PumpMessagesUntil;
using testing_support::SetMessageBoxAnswer;
using testing_support::WriteBytes;

namespace {

constexpr int kSoundTab = 1;  // general, sound, applications, capture, mail

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

void GiveSounds(std::initializer_list<std::pair<const wchar_t*, int32_t>> sounds) {
  SoundList& list = profileSettings.sounds;
  list = SoundList{};
  for (const auto& s : sounds) {
    wcscpy(list.paths[list.count], s.first);
    list.volumes[list.count] = s.second;
    ++list.count;
  }
}

HWND SoundPage() { return Page(kSoundPage); }
HWND SoundListView() { return GetDlgItem(SoundPage(), kSoundListViewId); }
std::wstring Text(int id) { return ControlText(GetDlgItem(SoundPage(), id)); }

std::wstring CellOf(HWND list, int item, int column) {
  wchar_t text[300] = {};
  ListView_GetItemText(list, item, column, text, 300);
  return text;
}

// The page's sound list as "name volume" rows.
std::vector<std::wstring> ListedSounds() {
  std::vector<std::wstring> rows;
  for (int i = 0; i < ListView_GetItemCount(SoundListView()); ++i)
    rows.push_back(CellOf(SoundListView(), i, 0) + L" " + CellOf(SoundListView(), i, 1));
  return rows;
}

std::vector<std::wstring> ComboEntries() {
  HWND combo = GetDlgItem(SoundPage(), kSoundCombo);
  std::vector<std::wstring> entries;
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[300] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries.push_back(text);
  }
  return entries;
}

std::wstring SoundCell(int position) { return CellOf(settingsSheetState.actionListView, position, 3); }

void OpenSoundPage(HWND sheet) {
  ShowPage(sheet, kSoundTab);
  ASSERT_NE(SoundPage(), nullptr);
}

void ChooseItem(HWND sheet, int position) {
  OpenSoundPage(sheet);
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  ListView_SetItemState(settingsSheetState.actionListView, position, both, both);
}

void SelectSound(int position) {
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  ListView_SetItemState(SoundListView(), position, both, both);
}

// Picks the sound number in the combo box as the user does and presses "セット".
void SetSound(int number, const wchar_t* seconds) {
  HWND combo = GetDlgItem(SoundPage(), kSoundCombo);
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(number), 0);
  SendMessageW(SoundPage(), WM_COMMAND, MAKEWPARAM(kSoundCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  SendDlgItemMessageW(SoundPage(), kSoundSecondsEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(seconds));
  SendMessageW(SoundPage(), WM_COMMAND, MAKEWPARAM(kSoundSplitSetButton, BN_CLICKED), 0);
}

// Fills the path and volume of the list panel and presses "リストに追加/変更".
void AddToList(const std::wstring& path, int volume) {
  SetDlgItemTextW(SoundPage(), kSoundPathEdit, path.c_str());
  SendDlgItemMessageW(SoundPage(), kSoundVolumeBar, TBM_SETPOS, TRUE, volume);
  Click(SoundPage(), kSoundAddButton);
}

std::vector<uint8_t> SavedProfile() {
  std::vector<uint8_t> file(ProfileFileSize(scheduleMode));
  EncodeProfile(file.data());
  return file;
}

size_t SettingsAt(size_t offset) { return ProfileFileSize(scheduleMode) - kSettingsBlockSize + offset; }
size_t ItemAt(int row, int slot, size_t offset) {
  return kItemsOffset + (static_cast<size_t>(row) * kSlotCount + slot) * kItemRecordSize + offset;
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

class SoundPageTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    scheduleMode = DailyMode;
    ClearScheduleTable(scheduleTable, orderTable);
    std::memset(&profileSettings, 0, sizeof profileSettings);
    SetMessageBoxAnswer(IDOK);
  }
  void TearDown() override {
    SetMessageBoxAnswer(IDOK);
    CoUninitialize();
    TempFolderTest::TearDown();
  }
};

TEST(SoundListTest, AddChangeAndTheSameNameFromAnotherFile) {
  struct Step {
    const wchar_t* path;
    int32_t volume;
    SoundListChange change;
    int position;
    std::vector<std::wstring> listed;  // path:volume in list order
  };
  const Step steps[] = {
      {L"C:\\s\\bell.wav", 100, SoundListChange::Added, 0, {L"C:\\s\\bell.wav:100"}},
      {L"C:\\s\\gong.mp3", 0, SoundListChange::Added, 1, {L"C:\\s\\bell.wav:100", L"C:\\s\\gong.mp3:0"}},
      {L"C:\\s\\bell.wav", 100, SoundListChange::None, 0, {L"C:\\s\\bell.wav:100", L"C:\\s\\gong.mp3:0"}},
      {L"C:\\s\\bell.wav", 40, SoundListChange::Changed, 0, {L"C:\\s\\bell.wav:40", L"C:\\s\\gong.mp3:0"}},
      // Another file of a listed name replaces that sound's file, even at the
      // same volume, so the chosen file is the one that plays.
      {L"D:\\new\\bell.mp3", 40, SoundListChange::Changed, 0, {L"D:\\new\\bell.mp3:40", L"C:\\s\\gong.mp3:0"}},
      {L"D:\\x\\gong.wma", 100, SoundListChange::Changed, 1, {L"D:\\new\\bell.mp3:40", L"D:\\x\\gong.wma:100"}},
      {L"C:\\s\\Bell.wav", 5, SoundListChange::Added, 2,
       {L"D:\\new\\bell.mp3:40", L"D:\\x\\gong.wma:100", L"C:\\s\\Bell.wav:5"}},
  };
  constexpr SameSoundName kRule = SameSoundName::ChangePathAndVolume;
  SoundListModel copy = CopySoundList(SoundList{});
  auto listed = [&] {
    std::vector<std::wstring> rows;
    for (int k = 0; k < SoundListRows(copy); ++k)
      rows.push_back(std::wstring(copy.paths[copy.order[k]]) + L":" +
                     std::to_wstring(copy.volumes[copy.order[k]]));
    return rows;
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    const Step& s = steps[i];
    SCOPED_TRACE(testing::Message() << "step " << i);
    const SoundListResult result = AddOrChangeSound(copy, s.path, s.volume, kRule);
    EXPECT_EQ(result.change, s.change);
    EXPECT_EQ(result.position, s.position);
    EXPECT_EQ(listed(), s.listed);
  }
  for (int i = 3; i < kSoundCount; ++i) {
    EXPECT_EQ(AddOrChangeSound(copy, L"C:\\n\\s" + std::to_wstring(i) + L".wav", 50, kRule).change, SoundListChange::Added);
  }
  EXPECT_EQ(AddOrChangeSound(copy, L"C:\\n\\eleventh.wav", 50, kRule).change, SoundListChange::Full);
  // A listed name still changes with a full list.
  EXPECT_EQ(AddOrChangeSound(copy, L"C:\\n\\s9.wav", 51, kRule).change, SoundListChange::Changed);
  RemoveSoundAt(copy, 0);
  EXPECT_EQ(SoundListRows(copy), 9);
  EXPECT_EQ(AddOrChangeSound(copy, L"C:\\n\\eleventh.wav", 50, kRule).position, 9);
  SoundList stored{};
  StoreSoundList(copy, stored);
  EXPECT_EQ(stored.count, 10);
  EXPECT_STREQ(stored.paths[0], L"D:\\x\\gong.wma");
  EXPECT_STREQ(stored.paths[9], L"C:\\n\\eleventh.wav");
}

TEST(SoundTimingTextTest, PowerItemsBeforeTheActionWakeItemsAfterTheResume) {
  EXPECT_EQ(SoundTimingText(false, 30), L"終了30秒前");
  EXPECT_EQ(SoundTimingText(true, 30), L"復帰30秒後");
  EXPECT_EQ(SoundCellText(false, 2, 15), L"○(-15)");
  EXPECT_EQ(SoundCellText(true, 1, 15), L"○(+15)");
  EXPECT_EQ(SoundCellText(true, 0, 15), L"");
}

TEST_F(SoundPageTest, LeadTimesOfAPowerItemAndAWakeItem) {
  GiveSounds({{L"C:\\s\\bell.wav", 80}, {L"C:\\s\\gong.wav", 60}});
  AddItem(0, 2, Shutdown, 22, 0);
  AddItem(0, 5, WakeOnly, 6, 45);
  struct Case {
    int position;
    int number;
    const wchar_t* seconds;
    const wchar_t* message;
    const wchar_t* choiceLabel;
    const wchar_t* timingLabel;
    const wchar_t* cell;
  };
  const std::wstring range = NumberRangeMessage(kMaxSoundLead);
  const Case cases[] = {
      {0, 1, L"15", nullptr, L"bell", L"終了15秒前", L"○(-15)"},
      {1, 2, L"15", nullptr, L"gong", L"復帰15秒後", L"○(+15)"},
      {1, 2, L"-1", range.c_str(), L"gong", L"復帰15秒後", L"○(+15)"},
      {1, 1, L"99999", range.c_str(), L"gong", L"復帰15秒後", L"○(+15)"},
      {1, 1, L"1e3", range.c_str(), L"gong", L"復帰15秒後", L"○(+15)"},
      {0, 2, L"9999", nullptr, L"gong", L"終了9999秒前", L"○(-9999)"},
      {0, 0, L"-1", nullptr, L"なし", L"終了0秒前", L""},  // no sound: the seconds do not count
  };
  RunSettingsSheet([&](HWND sheet) {
    OpenSoundPage(sheet);
    EXPECT_EQ(Text(kSoundTitleLabel), L"再生するサウンド(----/--/-- --:--)");
    EXPECT_EQ(ComboEntries(), (std::vector<std::wstring>{L"なし", L"bell", L"gong"}));
    for (size_t i = 0; i < std::size(cases); ++i) {
      const Case& c = cases[i];
      SCOPED_TRACE(testing::Message() << "case " << i);
      ClearCaughtMessageBoxes();
      ChooseItem(sheet, c.position);
      SetSound(c.number, c.seconds);
      if (c.message) {
        ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
        EXPECT_EQ(CaughtMessageBoxes()[0].text, c.message);
      } else {
        EXPECT_TRUE(CaughtMessageBoxes().empty());
      }
      EXPECT_EQ(Text(kSoundChoiceLabel), c.choiceLabel);
      EXPECT_EQ(Text(kSoundTimingLabel), c.timingLabel);
      EXPECT_EQ(SoundCell(c.position), c.cell);
      EXPECT_EQ(IsWindowEnabled(GetDlgItem(SoundPage(), kSoundSecondsEdit)) != FALSE, c.number != 0);
    }
    ChooseItem(sheet, 1);
    EXPECT_EQ(Text(kSoundTitleLabel), L"再生するサウンド(06:45)");
    PressOk(sheet);
  });
  EXPECT_EQ(scheduleTable[0][2].soundIndex, 0);
  EXPECT_EQ(scheduleTable[0][2].soundSeconds, 0);
  EXPECT_EQ(scheduleTable[0][5].soundIndex, 2);
  EXPECT_EQ(scheduleTable[0][5].soundSeconds, 15);
  const std::vector<uint8_t> file = SavedProfile();
  EXPECT_EQ(IntAt(file, ItemAt(0, 5, 10481)), 2);
  EXPECT_EQ(IntAt(file, ItemAt(0, 5, 10477)), 15);
}

TEST_F(SoundPageTest, OneChoiceForEveryItemOfAKind) {
  scheduleMode = WeeklyMode;
  GiveSounds({{L"C:\\s\\bell.wav", 80}});
  AddItem(0, 0, Shutdown, 22, 0);
  AddItem(0, 1, WakeOnly, 6, 0);
  AddItem(0, 2, Hibernate, 23, 0);
  AddItem(4, 0, Restart, 21, 0);
  AddItem(4, 1, WakeOnly, 7, 0);
  struct Case {
    UINT command;
    int32_t expected[5];  // sound of (0,0) (0,1) (0,2) (4,0) (4,1)
    std::vector<std::wstring> cells;  // row 0 of the action list
  };
  const Case cases[] = {
      {0x8013, {1, 0, 0, 0, 0}, {L"○(-20)", L"", L""}},        // 全てのシャットダウン時
      {0x8018, {1, 1, 0, 0, 1}, {L"○(-20)", L"○(+20)", L""}},  // 全ての復帰時
      {0x8019, {1, 1, 1, 1, 1}, {L"○(-20)", L"○(+20)", L"○(-20)"}},  // 全ての終了時
  };
  RunSettingsSheet([&](HWND sheet) {
    OpenSoundPage(sheet);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.command);
      SendDlgItemMessageW(SoundPage(), kSoundCombo, CB_SETCURSEL, 1, 0);
      SetDlgItemTextW(SoundPage(), kSoundSecondsEdit, L"20");
      SendMessageW(SoundPage(), WM_COMMAND, MAKEWPARAM(c.command, 0), 0);
      const int at[5][2] = {{0, 0}, {0, 1}, {0, 2}, {4, 0}, {4, 1}};
      for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(settingsSheetState.soundChoice[at[i][0]][at[i][1]], c.expected[i]) << i;
        EXPECT_EQ(settingsSheetState.soundLead[at[i][0]][at[i][1]], c.expected[i] ? 20 : 0) << i;
      }
      for (int p = 0; p < 3; ++p) EXPECT_EQ(SoundCell(p), c.cells[p]) << p;
    }
    PressOk(sheet);
  });
  EXPECT_EQ(scheduleTable[4][0].soundIndex, 1);
  EXPECT_EQ(scheduleTable[4][0].soundSeconds, 20);
  const std::vector<uint8_t> file = SavedProfile();
  EXPECT_EQ(IntAt(file, ItemAt(4, 1, 10481)), 1);
  EXPECT_EQ(IntAt(file, ItemAt(4, 1, 10477)), 20);
}

TEST_F(SoundPageTest, TheListIsEditedInTheSheetAndStoredOnOk) {
  GiveSounds({{L"C:\\s\\first.wav", 100}, {L"C:\\s\\second.wav", 50}, {L"C:\\s\\third.wav", 30}});
  AddItem(0, 0, Shutdown, 22, 0).soundIndex = 2;
  scheduleTable[0][0].soundSeconds = 10;
  AddItem(0, 1, WakeOnly, 6, 0).soundIndex = 3;
  scheduleTable[0][1].soundSeconds = 5;
  AddItem(0, 2, Restart, 23, 0).soundIndex = 3;
  RunSettingsSheet([&](HWND sheet) {
    OpenSoundPage(sheet);
    EXPECT_FALSE(IsWindowVisible(SoundListView()));
    Click(SoundPage(), kSoundListEditButton);
    EXPECT_TRUE(IsWindowVisible(SoundListView()));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(SoundPage(), kSoundCombo)));
    EXPECT_EQ(ListedSounds(), (std::vector<std::wstring>{L"first 100", L"second 50", L"third 30"}));
    // Volumes 0 and 100 are kept; a file of a listed name replaces its file.
    AddToList(L"C:\\t\\quiet.wav", 0);
    AddToList(L"D:\\other\\second.mp3", 100);
    EXPECT_TRUE(CaughtMessageBoxes().empty());
    EXPECT_EQ(ListedSounds(),
              (std::vector<std::wstring>{L"first 100", L"second 100", L"third 30", L"quiet 0"}));
    EXPECT_EQ(ComboEntries(), (std::vector<std::wstring>{L"なし", L"first", L"second", L"third", L"quiet"}));
    // The first sound is used by nobody: removed without a question; the
    // others move down one number and keep their files.
    SelectSound(0);
    EXPECT_EQ(Text(kSoundPathEdit), L"C:\\s\\first.wav");
    EXPECT_EQ(Text(kSoundVolumeLabel), L"100");
    Click(SoundPage(), kSoundRemoveButton);
    EXPECT_TRUE(CaughtMessageBoxes().empty());
    EXPECT_EQ(settingsSheetState.soundChoice[0][0], 1);
    EXPECT_EQ(settingsSheetState.soundChoice[0][1], 2);
    EXPECT_EQ(SoundCell(0), L"○(-10)");
    // "third" is used by two items: one question; No keeps everything.
    SelectSound(1);
    SetMessageBoxAnswer(IDNO);
    Click(SoundPage(), kSoundRemoveButton);
    ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
    EXPECT_EQ(CaughtMessageBoxes()[0].text, L"third は使用されています。削除してもよろしいですか？");
    EXPECT_EQ(CaughtMessageBoxes()[0].caption, L"確認");
    EXPECT_EQ(ListView_GetItemCount(SoundListView()), 3);
    ClearCaughtMessageBoxes();
    SetMessageBoxAnswer(IDYES);
    SelectSound(1);
    Click(SoundPage(), kSoundRemoveButton);
    EXPECT_EQ(CaughtMessageBoxes().size(), 1u);
    EXPECT_EQ(ListedSounds(), (std::vector<std::wstring>{L"second 100", L"quiet 0"}));
    EXPECT_EQ(ComboEntries(), (std::vector<std::wstring>{L"なし", L"second", L"quiet"}));
    EXPECT_EQ(settingsSheetState.soundChoice[0][1], 0);
    EXPECT_EQ(settingsSheetState.soundLead[0][1], 0);
    EXPECT_EQ(SoundCell(1), L"");
    EXPECT_EQ(SoundCell(2), L"");
    Click(SoundPage(), kSoundBackButton);
    EXPECT_FALSE(IsWindowVisible(SoundListView()));
    PressOk(sheet);
  });
  const SoundList& stored = profileSettings.sounds;
  EXPECT_EQ(stored.count, 2);
  EXPECT_STREQ(stored.paths[0], L"D:\\other\\second.mp3");
  EXPECT_EQ(stored.volumes[1], 0);
  const std::vector<uint8_t> file = SavedProfile();
  EXPECT_EQ(IntAt(file, SettingsAt(55)), 2);
  EXPECT_EQ(TextAt(file, SettingsAt(59), 260), L"D:\\other\\second.mp3");
  EXPECT_EQ(TextAt(file, SettingsAt(59 + 520), 260), L"C:\\t\\quiet.wav");
  EXPECT_EQ(TextAt(file, SettingsAt(59 + 2 * 520), 260), L"");
  EXPECT_EQ(IntAt(file, SettingsAt(5259)), 100);
  EXPECT_EQ(IntAt(file, SettingsAt(5259 + 4)), 0);
  EXPECT_EQ(IntAt(file, SettingsAt(5259 + 8)), 0);
  EXPECT_EQ(IntAt(file, ItemAt(0, 0, 10481)), 1);
  EXPECT_EQ(IntAt(file, ItemAt(0, 0, 10477)), 10);
  EXPECT_EQ(IntAt(file, ItemAt(0, 1, 10481)), 0);
  EXPECT_EQ(IntAt(file, ItemAt(0, 2, 10481)), 0);
}

TEST_F(SoundPageTest, TheEleventhSoundIsRefused) {
  GiveSounds({});
  RunSettingsSheet([&](HWND sheet) {
    OpenSoundPage(sheet);
    EXPECT_EQ(ComboEntries(), (std::vector<std::wstring>{L"なし"}));
    Click(SoundPage(), kSoundListEditButton);
    for (int i = 0; i < kSoundCount; ++i) AddToList(L"C:\\n\\s" + std::to_wstring(i) + L".wav", i * 10);
    EXPECT_TRUE(CaughtMessageBoxes().empty());
    AddToList(L"C:\\n\\eleventh.wav", 50);
    ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
    EXPECT_EQ(CaughtMessageBoxes()[0].text, kSoundListFull);
    EXPECT_EQ(CaughtMessageBoxes()[0].caption, L"");
    EXPECT_EQ(ListView_GetItemCount(SoundListView()), kSoundCount);
    EXPECT_EQ(ComboEntries().size(), 11u);
  });
}

TEST_F(SoundPageTest, CancelStoresNothing) {
  GiveSounds({{L"C:\\s\\bell.wav", 80}});
  AddItem(0, 0, Shutdown, 22, 0);
  const ProfileSettings settingsBefore = profileSettings;
  const ScheduleItem itemBefore = scheduleTable[0][0];
  RunSettingsSheet([&](HWND sheet) {
    ChooseItem(sheet, 0);
    SetSound(1, L"30");
    Click(SoundPage(), kSoundListEditButton);
    AddToList(L"C:\\s\\gong.wav", 10);
    SelectSound(0);
    Click(SoundPage(), kSoundRemoveButton);
    ClearCaughtMessageBoxes();
    PressCancel(sheet);
  });
  EXPECT_EQ(std::memcmp(&settingsBefore.sounds, &profileSettings.sounds, sizeof settingsBefore.sounds), 0);
  EXPECT_EQ(std::memcmp(&itemBefore, &scheduleTable[0][0], sizeof itemBefore), 0);
}

// The preview plays through the page's own player on the null audio device;
// a file that cannot play is reported once, in a box captioned "エラー".
TEST_F(SoundPageTest, PreviewPlaysAndReportsWhatCannotPlay) {
  const std::wstring wav = temp_.Path(L"tone.wav");
  ASSERT_TRUE(WriteBytes(wav, MakeWav(400)));
  const std::wstring noise = temp_.Path(L"noise.wav");
  ASSERT_TRUE(WriteBytes(noise, std::string(3000, '\x5a')));
  const std::wstring gone = temp_.Path(L"gone.wav");
  const std::wstring longWav = temp_.Path(L"long.wav");
  ASSERT_TRUE(WriteBytes(longWav, MakeWav(5000)));
  GiveSounds({{wav.c_str(), 30}, {gone.c_str(), 40}, {noise.c_str(), 50}, {longWav.c_str(), 60}});
  RunSettingsSheet([&](HWND sheet) {
    OpenSoundPage(sheet);
    Click(SoundPage(), kSoundListEditButton);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(SoundPage(), kSoundPreviewButton)));
    SelectSound(0);
    Click(SoundPage(), kSoundPreviewButton);
    EXPECT_TRUE(CaughtMessageBoxes().empty());
    EXPECT_EQ(Text(kSoundPreviewButton), L"停止");
    ASSERT_NE(SoundPagePreviewPlayer(), nullptr);
    EXPECT_EQ(SoundPagePreviewPlayer()->playing, 1);
    // The end of the medium resets the button.
    EXPECT_TRUE(PumpMessagesUntil([] { return ControlText(GetDlgItem(SoundPage(), kSoundPreviewButton)) == L"再生"; }));
    EXPECT_EQ(SoundPagePreviewPlayer()->opened, 0);
    // Pressed while playing, it stops.
    Click(SoundPage(), kSoundPreviewButton);
    EXPECT_EQ(Text(kSoundPreviewButton), L"停止");
    Click(SoundPage(), kSoundPreviewButton);
    EXPECT_EQ(Text(kSoundPreviewButton), L"再生");
    EXPECT_EQ(SoundPagePreviewPlayer()->opened, 0);

    SelectSound(1);
    Click(SoundPage(), kSoundPreviewButton);
    ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
    EXPECT_EQ(CaughtMessageBoxes()[0].text, L"ファイルが存在しません。\n" + gone);
    EXPECT_EQ(CaughtMessageBoxes()[0].caption, L"エラー");
    EXPECT_EQ(Text(kSoundPreviewButton), L"再生");
    ClearCaughtMessageBoxes();

    SelectSound(2);
    Click(SoundPage(), kSoundPreviewButton);
    // The control may refuse at once or fail while it plays.
    PumpMessagesUntil([] { return !CaughtMessageBoxes().empty(); });
    PumpMessagesUntil([] { return false; }, 1000);
    const auto boxes = CaughtMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"エラー");
    EXPECT_FALSE(boxes[0].text.empty());
    EXPECT_NE(boxes[0].text, L"エラー情報の取得に失敗。");
    EXPECT_EQ(Text(kSoundPreviewButton), L"再生");
    EXPECT_EQ(SoundPagePreviewPlayer()->opened, 0);
    ClearCaughtMessageBoxes();
    // The player still plays a good file afterwards; when the control fails
    // while it plays, the page reports that once and resets the button.
    SelectSound(3);
    Click(SoundPage(), kSoundPreviewButton);
    EXPECT_TRUE(CaughtMessageBoxes().empty());
    EXPECT_EQ(Text(kSoundPreviewButton), L"停止");
    SoundPlayer* player = SoundPagePreviewPlayer();
    ASSERT_NE(player->eventSink, nullptr);
    DISPPARAMS none{};
    static_cast<_WMPOCXEvents*>(player->eventSink)
        ->Invoke(DISPID_WMPCOREEVENT_ERROR, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    // The player closes the failed medium once the control's event has returned.
    EXPECT_TRUE(PumpMessagesUntil([] { return !CaughtMessageBoxes().empty(); }));
    PumpMessagesUntil([] { return false; }, 500);
    EXPECT_EQ(player->opened, 0);
    const auto failed = CaughtMessageBoxes();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].caption, L"エラー");
    EXPECT_FALSE(failed[0].text.empty());
    EXPECT_EQ(Text(kSoundPreviewButton), L"再生");
  });
  EXPECT_EQ(SoundPagePreviewPlayer(), nullptr);
}

}  // namespace
