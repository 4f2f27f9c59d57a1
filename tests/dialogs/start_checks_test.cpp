#include "start_checks.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "schedule_model.h"
#include "shared/schedule_time.h"

namespace {

// A hand-made model: items given as (row, hour, minute, action) in time order.
struct Entry {
  int row;
  int hour;
  int minute;
  PowerAction action;
};

struct Model {
  ScheduleTable table;
  OrderTable order;
  ProfileSettings settings{};
  Model() { ClearScheduleTable(table, order); }
};

ScheduleItem& Put(Model& m, int32_t mode, int row, const SYSTEMTIME& t, PowerAction action) {
  int pos = 0;
  while (m.order[row][pos] != -1) ++pos;
  const int slot = pos;
  ScheduleItem& item = m.table[row][slot];
  item.listIndex = pos;
  item.time = t;
  item.action = action;
  item.oleTime = ToOleDate(t);
  if (mode == DateMode) {
    swprintf(item.timeText, 20, L"%d/%02d/%02d %02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
  } else {
    swprintf(item.timeText, 20, L"%02d:%02d", t.wHour, t.wMinute);
  }
  static const wchar_t* const days[7] = {L"(日)", L"(月)", L"(火)", L"(水)", L"(木)", L"(金)", L"(土)"};
  if (mode == WeeklyMode) wcscpy(item.weekdayText, days[row]);
  m.order[row][pos] = slot;
  return item;
}

SYSTEMTIME Day(int hour, int minute) {
  SYSTEMTIME t{};
  t.wYear = 2010;
  t.wMonth = 1;
  t.wDay = 1;
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  return t;
}

SYSTEMTIME Date(int year, int month, int day, int hour, int minute, int second = 0) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  t.wSecond = static_cast<WORD>(second);
  return t;
}

std::set<std::wstring> existingFiles;
bool FakeExists(const wchar_t* path) { return existingFiles.count(path) != 0; }

StartCheckResult Check(const Model& m, int32_t mode, double nowOle = 0) {
  return CheckScheduleStart(mode, m.table, m.order, m.settings, nowOle, FakeExists, L"スリープ");
}

const wchar_t* const kWakeTail = L"の復帰は無効です。\n(復帰前に休止状態かスリープを入れる必要があります。)";

struct WakeCase {
  const char* name;
  int32_t mode;
  std::vector<Entry> entries;
  std::wstring refusal;  // empty: the start goes on
};

class WakeCheckTest : public ::testing::TestWithParam<WakeCase> {};

TEST_P(WakeCheckTest, ResumeItemsNeedASleepItemJustBefore) {
  const WakeCase& c = GetParam();
  Model m;
  for (const Entry& e : c.entries) {
    if (c.mode == DateMode) {
      Put(m, c.mode, e.row, Date(2030, 1, 1 + e.row, e.hour, e.minute), e.action);
    } else {
      Put(m, c.mode, e.row, Day(e.hour, e.minute), e.action);
    }
  }
  EXPECT_EQ(Check(m, c.mode).refusal, c.refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WakeCheckTest,
    ::testing::Values(
        WakeCase{"EmptySchedule", DailyMode, {}, L"アイテムが1つもセットされていません。"},
        WakeCase{"DailyWrapsToLastItem", DailyMode,
                 {{0, 0, 30, WakeOnly}, {0, 23, 0, Hibernate}}, L""},
        WakeCase{"DailyWakeAlone", DailyMode, {{0, 0, 30, WakeOnly}},
                 std::wstring(L"00:30") + kWakeTail},
        WakeCase{"DailySecondWakeRefused", DailyMode,
                 {{0, 0, 30, WakeOnly}, {0, 0, 40, WakeOnly}, {0, 23, 0, Hibernate}},
                 std::wstring(L"00:40") + kWakeTail},
        WakeCase{"DailyStandbyBefore", DailyMode, {{0, 1, 0, Standby}, {0, 6, 0, WakeOnly}}, L""},
        WakeCase{"DailyShutdownBefore", DailyMode, {{0, 1, 0, Shutdown}, {0, 6, 0, WakeOnly}},
                 std::wstring(L"06:00") + kWakeTail},
        WakeCase{"WeeklyMondayJudgedBySaturday", WeeklyMode,
                 {{1, 6, 0, WakeOnly}, {6, 23, 0, Hibernate}}, L""},
        WakeCase{"WeeklySaturdayEmptyFridayCounts", WeeklyMode,
                 {{1, 6, 0, WakeOnly}, {5, 23, 0, Standby}}, L""},
        WakeCase{"WeeklyFridayShutdownRefused", WeeklyMode,
                 {{1, 6, 0, WakeOnly}, {5, 23, 0, Shutdown}},
                 std::wstring(L"(月)06:00") + kWakeTail},
        WakeCase{"WeeklyAcrossRows", WeeklyMode,
                 {{1, 23, 0, Hibernate}, {2, 6, 0, WakeOnly}}, L""},
        WakeCase{"DateWakeFirstRefusedDespiteLaterHibernate", DateMode,
                 {{0, 6, 0, WakeOnly}, {0, 23, 0, Hibernate}},
                 std::wstring(L"2030/01/01 06:00") + kWakeTail}),
    [](const ::testing::TestParamInfo<WakeCase>& param) { return std::string(param.param.name); });

struct LeadCase {
  int secondsAhead;
  bool refused;
};

class DateLeadTest : public ::testing::TestWithParam<LeadCase> {};

TEST_P(DateLeadTest, LastActionMustLieMoreThanAboutNineSecondsAhead) {
  Model m;
  const SYSTEMTIME target = Date(2030, 5, 1, 12, 0);
  Put(m, DateMode, 0, target, Shutdown);
  SYSTEMTIME now = target;
  AddDaysToSystemTime(&now, -GetParam().secondsAhead / 86400.0);
  const std::wstring refusal = Check(m, DateMode, ToOleDate(now)).refusal;
  EXPECT_EQ(refusal, GetParam().refused ? L"終了日時が全て過ぎています。" : L"") << GetParam().secondsAhead;
}

INSTANTIATE_TEST_SUITE_P(Table, DateLeadTest,
                         ::testing::Values(LeadCase{-60, true}, LeadCase{0, true}, LeadCase{5, true},
                                           LeadCase{8, true}, LeadCase{9, false},
                                           LeadCase{3600, false}));

TEST(StartChecks, TheLastActionIgnoresAWakeItemAfterIt) {
  Model m;
  Put(m, DateMode, 0, Date(2030, 5, 1, 12, 0), Hibernate);
  Put(m, DateMode, 0, Date(2030, 5, 1, 18, 0), WakeOnly);
  SYSTEMTIME now = Date(2030, 5, 1, 13, 0);
  EXPECT_EQ(Check(m, DateMode, ToOleDate(now)).refusal, L"終了日時が全て過ぎています。");
}

TEST(StartChecks, MissingApplicationsAndSoundsAreListedOnceEach) {
  existingFiles = {L"C:\\here.exe", L"C:\\here.wav"};
  Model m;
  ScheduleItem& a = Put(m, DailyMode, 0, Day(8, 0), Shutdown);
  ScheduleItem& b = Put(m, DailyMode, 0, Day(9, 0), Shutdown);
  ScheduleItem& c = Put(m, DailyMode, 0, Day(10, 0), Shutdown);
  wcscpy(a.appPaths[0], L"C:\\gone.exe");
  a.appDelays[0] = 0;
  wcscpy(a.appPaths[1], L"C:\\here.exe");
  a.appDelays[1] = 5;
  wcscpy(b.appPaths[0], L"C:\\gone.exe");
  b.appDelays[0] = 3;
  wcscpy(b.appPaths[1], L"C:\\GONE.exe");  // another path: compared exactly
  b.appDelays[1] = 4;
  // After the first -1 nothing counts.
  wcscpy(c.appPaths[1], L"C:\\unused.exe");
  c.appDelays[1] = 9;
  m.settings.sounds.count = 2;
  wcscpy(m.settings.sounds.paths[0], L"C:\\gone.wav");
  wcscpy(m.settings.sounds.paths[1], L"C:\\here.wav");
  a.soundIndex = b.soundIndex = c.soundIndex = 1;

  const StartCheckResult r = Check(m, DailyMode);
  EXPECT_EQ(r.refusal, L"");
  EXPECT_EQ(r.missingApps, (std::vector<std::wstring>{L"C:\\gone.exe", L"C:\\GONE.exe"}));
  EXPECT_EQ(r.missingSounds, (std::vector<std::wstring>{L"C:\\gone.wav"}));
  existingFiles.clear();
}

TEST(StartChecks, ForeignIndexesNeverReachTheTables) {
  Model m;
  ScheduleItem& a = Put(m, DailyMode, 0, Day(8, 0), Shutdown);
  a.soundIndex = 11;  // beyond the sound list
  Put(m, DailyMode, 0, Day(9, 0), Shutdown).soundIndex = -3;
  m.order[0][2] = 25;  // a slot number out of range ends the row
  m.order[0][3] = 2;
  const StartCheckResult r = Check(m, DailyMode);
  EXPECT_EQ(r.refusal, L"");
  EXPECT_TRUE(r.missingSounds.empty());
  EXPECT_EQ(RowLength(m.order, 0), 2);
  EXPECT_EQ(ScheduleWalk(DailyMode, m.order).size(), 2u);
}

TEST(StartChecks, TheMissingFilesQuestion) {
  EXPECT_EQ(MissingFilesQuestion(kMissingAppsFirstLine, {L"C:\\a.exe", L"C:\\b.exe"}),
            L"アプリ起動で設定されている以下のファイルの存在が確認できませんでした。\n"
            L"\nC:\\a.exe\nC:\\b.exe\n\n続行しますか？");
  std::vector<std::wstring> many;
  for (int i = 0; i < 25; ++i) many.push_back(L"C:\\f" + std::to_wstring(i) + L".wav");
  const std::wstring text = MissingFilesQuestion(kMissingSoundsFirstLine, many);
  EXPECT_NE(text.find(L"\nC:\\f19.wav\n(ほか5件)\n\n続行しますか？"), std::wstring::npos) << text;
  EXPECT_EQ(text.find(L"f20.wav"), std::wstring::npos);
  EXPECT_EQ(text.rfind(L"サウンドで設定されている以下のファイルの存在が確認できませんでした。\n", 0), 0u);
}

}  // namespace
