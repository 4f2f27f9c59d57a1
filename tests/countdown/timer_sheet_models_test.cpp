#include "timer_sheet_models.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "timer_fakes.h"

namespace {

TEST(TimerSheetModels, CaptureFolderLengths) {
  const struct {
    size_t length;
    const wchar_t* refusal;
  } cases[] = {
      {0, nullptr},                // empty: the default folder is stored
      {1, kTimerFolderTooShort},   {3, kTimerFolderTooShort},  // "C:\" alone
      {4, nullptr},                {219, nullptr},
      {220, kTimerFolderTooLong},  // would be cut to 219 by the store
      {221, kTimerFolderTooLong},
  };
  for (const auto& c : cases) {
    const wchar_t* got = TimerCaptureFolderRefusal(c.length);
    EXPECT_EQ(got ? std::wstring(got) : L"", c.refusal ? std::wstring(c.refusal) : L"") << c.length;
  }
}

TEST(TimerSheetModels, BringToFrontMinutes) {
  const struct {
    int minutes;
    bool valid;
  } cases[] = {{-1, false}, {0, false}, {1, true}, {60, true}, {61, false}, {99, false}};
  for (const auto& c : cases) EXPECT_EQ(TimerBringToFrontMinutesValid(c.minutes), c.valid) << c.minutes;
}

TEST(TimerSheetModels, ExeExtension) {
  const struct {
    const wchar_t* path;
    bool exe;
  } cases[] = {{L"C:\\a\\tool.exe", true}, {L"C:\\a\\TOOL.EXE", true}, {L"run.Exe", true},
               {L"C:\\a\\run.bat", false}, {L"C:\\a\\exe", false},     {L"C:\\a.exe\\run", false},
               {L"run.exe.txt", false}};
  for (const auto& c : cases) EXPECT_EQ(TimerHasExeExtension(c.path), c.exe) << c.path;
}

std::vector<std::wstring> RowPaths(const TimerAppList& list) {
  std::vector<std::wstring> paths;
  for (int row = 0; row < AppListLength(list.order); ++row) paths.push_back(list.paths[list.order[row]]);
  return paths;
}

class TimerAppListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    timer_fakes::ResetTimerSettings();
    TimerLoadAppList(timerSettings, &list_);
  }
  int Place(int changeRow, const wchar_t* path, const wchar_t* arguments, int delay, bool minimized) {
    return PlaceApplication(TimerAppView(&list_), AppEntry{path, arguments, delay, uint8_t(minimized ? 1 : 0)},
                            changeRow);
  }
  TimerAppList list_;
};

TEST_F(TimerAppListTest, EqualDelaysKeepTheirOrderAndTheStoreFollowsTheRows) {
  EXPECT_EQ(Place(-1, L"C:\\late.exe", L"-x", 30, false), 0);
  EXPECT_EQ(Place(-1, L"C:\\first.exe", L"", 10, true), 0);
  EXPECT_EQ(Place(-1, L"C:\\second.exe", L"", 10, false), 1);
  EXPECT_EQ(RowPaths(list_), (std::vector<std::wstring>{L"C:\\first.exe", L"C:\\second.exe", L"C:\\late.exe"}));

  TimerStoreAppList(list_, &timerSettings);
  EXPECT_STREQ(timerSettings.appPaths[0], L"C:\\first.exe");
  EXPECT_EQ(timerSettings.appMinimized[0], 1);
  EXPECT_STREQ(timerSettings.appPaths[2], L"C:\\late.exe");
  EXPECT_STREQ(timerSettings.appArguments[2], L"-x");
  EXPECT_EQ(timerSettings.appDelays[0], 10);
  EXPECT_EQ(timerSettings.appDelays[2], 30);
  EXPECT_EQ(timerSettings.appDelays[3], -1);
}

TEST_F(TimerAppListTest, AnOverwriteWithANewDelayMovesTheRow) {
  Place(-1, L"C:\\a.exe", L"", 10, false);
  Place(-1, L"C:\\b.exe", L"", 20, false);
  Place(-1, L"C:\\c.exe", L"", 30, false);
  const int row = FindApplicationPath(TimerAppView(&list_), L"C:\\a.exe");
  ASSERT_EQ(row, 0);
  EXPECT_EQ(FindApplicationPath(TimerAppView(&list_), L"C:\\A.exe"), -1) << "letter case counts";
  EXPECT_EQ(Place(row, L"C:\\a.exe", L"new", 25, false), 1);
  EXPECT_EQ(RowPaths(list_), (std::vector<std::wstring>{L"C:\\b.exe", L"C:\\a.exe", L"C:\\c.exe"}));
  EXPECT_EQ(AppListLength(list_.order), 3) << "an overwrite adds no row";
  EXPECT_STREQ(list_.arguments[list_.order[1]], L"new");
  // The same delay leaves the row where it is.
  EXPECT_EQ(Place(2, L"C:\\c.exe", L"", 30, true), 2);
  EXPECT_EQ(Place(2, L"C:\\c.exe", L"", 0, true), 0);
}

TEST_F(TimerAppListTest, TenRowsAreTheLimitAndADeleteFreesOne) {
  for (int i = 0; i < kAppCount; ++i) {
    const std::wstring path = L"C:\\app" + std::to_wstring(i) + L".exe";
    EXPECT_GE(Place(-1, path.c_str(), L"", i, false), 0);
  }
  EXPECT_EQ(Place(-1, L"C:\\eleventh.exe", L"", 5, false), -1);
  ASSERT_TRUE(RemoveApplication(TimerAppView(&list_), 3));
  EXPECT_FALSE(RemoveApplication(TimerAppView(&list_), 9));
  EXPECT_EQ(AppListLength(list_.order), 9);
  EXPECT_EQ(Place(-1, L"C:\\eleventh.exe", L"", 5, false), 5);
  EXPECT_EQ(RowPaths(list_)[5], L"C:\\eleventh.exe");
}

TEST_F(TimerAppListTest, TheLoadStopsAtTheFirstFreeEntry) {
  wcscpy(timerSettings.appPaths[0], L"C:\\one.exe");
  timerSettings.appDelays[0] = 5;
  wcscpy(timerSettings.appPaths[2], L"C:\\stray.exe");
  timerSettings.appDelays[2] = 7;
  TimerLoadAppList(timerSettings, &list_);
  EXPECT_EQ(RowPaths(list_), std::vector<std::wstring>{L"C:\\one.exe"});
}

std::vector<std::wstring> SoundRows(const SoundListModel& list) {
  std::vector<std::wstring> rows;
  for (int row = 0; row < SoundListRows(list); ++row) {
    rows.push_back(std::wstring(list.paths[list.order[row]]) + L"@" + std::to_wstring(list.volumes[list.order[row]]));
  }
  return rows;
}

class TimerSoundListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    timer_fakes::ResetTimerSettings();
    wcscpy(timerSettings.soundPaths[0], L"C:\\a\\bell.wav");
    timerSettings.volumes[0] = 40;
    wcscpy(timerSettings.soundPaths[1], L"C:\\a\\song.mp3");
    timerSettings.volumes[1] = 70;
    // Left by an older save past the count.
    wcscpy(timerSettings.soundPaths[2], L"C:\\old\\stale.wav");
    timerSettings.volumes[2] = 90;
    timerSettings.soundCount = 2;
    TimerLoadSoundList(timerSettings, &list_);
  }
  SoundListResult Add(const wchar_t* path, int volume) {
    return AddOrChangeSound(list_, path, volume, SameSoundName::ChangeVolumeOnly);
  }
  SoundListModel list_;
};

TEST_F(TimerSoundListTest, AListedNameOnlyChangesTheVolume) {
  SoundListResult result = Add(L"D:\\other\\bell.mp3", 55);
  EXPECT_EQ(result.change, SoundListChange::Changed);
  EXPECT_EQ(result.position, 0);
  EXPECT_EQ(Add(L"C:\\a\\bell.wav", 55).change, SoundListChange::None);
  EXPECT_EQ(SoundRows(list_), (std::vector<std::wstring>{L"C:\\a\\bell.wav@55", L"C:\\a\\song.mp3@70"}));
  EXPECT_EQ(Add(L"C:\\a\\Bell.wav", 55).change, SoundListChange::Added) << "names compare exactly";
}

TEST_F(TimerSoundListTest, TheSlotsPastTheCountStartFree) {
  const SoundListResult result = Add(L"C:\\b\\chime.wav", 20);
  EXPECT_EQ(result.change, SoundListChange::Added);
  EXPECT_EQ(result.position, 2);
  EXPECT_EQ(list_.order[2], 2);
  EXPECT_STREQ(list_.paths[2], L"C:\\b\\chime.wav");
}

TEST_F(TimerSoundListTest, TenSoundsAreTheLimit) {
  for (int i = 2; i < kSoundCount; ++i) {
    const std::wstring path = L"C:\\s" + std::to_wstring(i) + L".wav";
    EXPECT_EQ(Add(path.c_str(), 10).change, SoundListChange::Added);
  }
  const SoundListResult full = Add(L"C:\\eleventh.wav", 10);
  EXPECT_EQ(full.change, SoundListChange::Full);
  EXPECT_EQ(full.position, -1);
}

TEST_F(TimerSoundListTest, TheStoreZeroesTheEntriesPastTheRows) {
  ASSERT_TRUE(RemoveSoundAt(list_, 0));
  TimerStoreSoundList(list_, &timerSettings);
  EXPECT_EQ(timerSettings.soundCount, 1);
  EXPECT_STREQ(timerSettings.soundPaths[0], L"C:\\a\\song.mp3");
  EXPECT_EQ(timerSettings.volumes[0], 70);
  for (int i = 1; i < kSoundCount; ++i) {
    EXPECT_EQ(timerSettings.soundPaths[i][0], L'\0') << i;
    EXPECT_EQ(timerSettings.volumes[i], 0) << i;
  }
  const std::vector<wchar_t> zeros(kPathChars, L'\0');
  EXPECT_EQ(std::memcmp(timerSettings.soundPaths[2], zeros.data(), sizeof timerSettings.soundPaths[2]), 0);
}

TEST(TimerSheetModels, StoredSoundIndex) {
  const struct {
    int selection, rows;
    int32_t stored;
  } cases[] = {{-1, 3, 0}, {0, 3, 0}, {1, 3, 1}, {3, 3, 3}, {4, 3, 0}, {-1, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(TimerStoredSoundIndex(c.selection, c.rows), c.stored) << c.selection;
}

TEST(TimerSheetModels, DayListsByModeAndResume) {
  const struct {
    int32_t mode;
    bool resume, end, resumeList;
  } cases[] = {{Time, false, true, false},     {Time, true, true, true},      {CpuUsage, false, false, false},
               {CpuUsage, true, false, true}, {EndNow, false, false, false}, {EndNow, true, false, true}};
  for (const auto& c : cases) {
    const TimerDayLists lists = TimerApplicableDayLists(c.mode, c.resume);
    EXPECT_EQ(lists.end, c.end) << c.mode << c.resume;
    EXPECT_EQ(lists.resume, c.resumeList) << c.mode << c.resume;
  }
}

TEST(TimerSheetModels, ResumeDaysStayAfterTheEndDays) {
  // Positions: end list = days, resume list = days - 1.
  const struct {
    int end, resume, coupled;
  } cases[] = {{5, 2, 5}, {5, 1, 5}, {2, 5, 5}, {0, 0, 0}, {8, 8, 8}};
  for (const auto& c : cases) EXPECT_EQ(TimerCoupledResumePosition(c.end, c.resume), c.coupled);
}

TEST(TimerSheetModels, HourCorrection) {
  const struct {
    const wchar_t* text;
    const wchar_t* corrected;
  } cases[] = {{L"45", L"23"}, {L"24", L"23"}, {L"23", nullptr}, {L"0", nullptr}, {L"", nullptr}};
  for (const auto& c : cases) {
    const wchar_t* got = TimerHourCorrection(c.text);
    EXPECT_EQ(got ? std::wstring(got) : L"-", c.corrected ? std::wstring(c.corrected) : L"-") << c.text;
  }
}

}  // namespace
