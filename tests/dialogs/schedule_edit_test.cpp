#include "schedule_edit.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "schedule_model.h"
#include "start_checks.h"

namespace {

struct Model {
  ScheduleTable table;
  OrderTable order;
  Model() { ClearScheduleTable(table, order); }
};

SYSTEMTIME Day(int hour, int minute) {
  SYSTEMTIME picker{};
  picker.wYear = 2026;
  picker.wMonth = 12;
  picker.wDay = 10;
  picker.wHour = static_cast<WORD>(hour);
  picker.wMinute = static_cast<WORD>(minute);
  picker.wSecond = 42;  // the pickers' seconds never count
  return ComposeItemTime(DailyMode, picker, picker);
}

AddKind Add(Model& m, int32_t mode, int row, const SYSTEMTIME& t, PowerAction action) {
  const AddPlan plan = PlanAddItem(m.table, m.order, row, t, action);
  if (plan.kind == AddKind::Insert || plan.kind == AddKind::AskOverwrite) {
    CommitAddItem(m.table, m.order, mode, row, plan, t, action);
  }
  return plan.kind;
}

std::vector<std::wstring> RowTimes(const Model& m, int row) {
  std::vector<std::wstring> times;
  for (int p = 0; p < RowLength(m.order, row); ++p) times.push_back(m.table[row][m.order[row][p]].timeText);
  return times;
}

// The invariants: used slots, order entries and ascending oleTime agree.
void ExpectConsistent(const Model& m, int row) {
  const int count = RowLength(m.order, row);
  for (int p = count; p < kSlotCount; ++p) EXPECT_EQ(m.order[row][p], -1) << p;
  int used = 0;
  for (int s = 0; s < kSlotCount; ++s) used += m.table[row][s].listIndex != -1;
  EXPECT_EQ(used, count);
  for (int p = 1; p < count; ++p) {
    EXPECT_LT(m.table[row][m.order[row][p - 1]].oleTime, m.table[row][m.order[row][p]].oleTime);
  }
}

TEST(ScheduleEdit, PickerTimeOfARepeatingModeIsOn2010) {
  const SYSTEMTIME t = Day(8, 5);
  EXPECT_EQ(t.wYear, 2010);
  EXPECT_EQ(t.wMonth, 1);
  EXPECT_EQ(t.wDay, 1);
  EXPECT_EQ(t.wHour, 8);
  EXPECT_EQ(t.wMinute, 5);
  EXPECT_EQ(t.wSecond, 0);
  SYSTEMTIME date{};
  date.wYear = 2027;
  date.wMonth = 3;
  date.wDay = 4;
  const SYSTEMTIME d = ComposeItemTime(DateMode, date, Day(9, 30));
  EXPECT_EQ(d.wYear, 2027);
  EXPECT_EQ(d.wDay, 4);
  EXPECT_EQ(d.wHour, 9);
  EXPECT_EQ(d.wSecond, 0);
}

struct GapCase {
  int hour;
  int minute;
  AddKind expected;
};

class GapRuleTest : public ::testing::TestWithParam<GapCase> {};

TEST_P(GapRuleTest, NeighboursTenMinutesApart) {
  Model m;
  ASSERT_EQ(Add(m, DailyMode, 0, Day(8, 0), Shutdown), AddKind::Insert);
  ASSERT_EQ(Add(m, DailyMode, 0, Day(9, 0), Shutdown), AddKind::Insert);
  EXPECT_EQ(Add(m, DailyMode, 0, Day(GetParam().hour, GetParam().minute), Restart), GetParam().expected);
  ExpectConsistent(m, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, GapRuleTest,
                         ::testing::Values(GapCase{8, 9, AddKind::TooClose}, GapCase{8, 10, AddKind::Insert},
                                           GapCase{7, 51, AddKind::TooClose}, GapCase{7, 50, AddKind::Insert},
                                           GapCase{8, 50, AddKind::Insert}, GapCase{8, 51, AddKind::TooClose},
                                           GapCase{8, 30, AddKind::Insert}, GapCase{0, 0, AddKind::Insert},
                                           GapCase{23, 59, AddKind::Insert}));

TEST(ScheduleEdit, MidnightIsNotCompared) {
  Model m;
  EXPECT_EQ(Add(m, DailyMode, 0, Day(23, 55), Shutdown), AddKind::Insert);
  EXPECT_EQ(Add(m, DailyMode, 0, Day(0, 0), Shutdown), AddKind::Insert);
  EXPECT_EQ(RowTimes(m, 0), (std::vector<std::wstring>{L"00:00", L"23:55"}));
  ExpectConsistent(m, 0);
}

TEST(ScheduleEdit, WeekdayRowsAreNeverCompared) {
  Model m;
  EXPECT_EQ(Add(m, WeeklyMode, 1, Day(8, 0), Shutdown), AddKind::Insert);
  EXPECT_EQ(Add(m, WeeklyMode, 2, Day(8, 0), Shutdown), AddKind::Insert);
  EXPECT_EQ(Add(m, WeeklyMode, 2, Day(8, 5), Restart), AddKind::TooClose);
  EXPECT_STREQ(m.table[1][0].weekdayText, L"(月)");
  EXPECT_STREQ(m.table[2][0].weekdayText, L"(火)");
  EXPECT_EQ(m.order[1][0], 0);
  EXPECT_EQ(m.order[2][0], 0);
}

TEST(ScheduleEdit, ItemTextsByMode) {
  Model m;
  SYSTEMTIME date{};
  date.wYear = 2027;
  date.wMonth = 3;
  date.wDay = 4;
  const SYSTEMTIME t = ComposeItemTime(DateMode, date, Day(7, 5));
  ASSERT_EQ(Add(m, DateMode, 0, t, Hibernate), AddKind::Insert);
  const ScheduleItem& item = m.table[0][0];
  EXPECT_STREQ(item.timeText, L"2027/03/04 07:05");
  EXPECT_STREQ(item.slotText, L"0");
  EXPECT_STREQ(item.weekdayText, L"");
  EXPECT_EQ(item.action, Hibernate);
  wchar_t text[20];
  swprintf(text, 20, L"%.7f", item.oleTime);
  EXPECT_STREQ(item.oleTimeText, text);
  EXPECT_EQ(item.listIndex, 0);
}

TEST(ScheduleEdit, SameTimeSameActionOnlyBeeps) {
  Model m;
  Add(m, DailyMode, 0, Day(8, 0), Shutdown);
  EXPECT_EQ(Add(m, DailyMode, 0, Day(8, 0), Shutdown), AddKind::SameItem);
  EXPECT_EQ(RowLength(m.order, 0), 1);
}

TEST(ScheduleEdit, OverwriteClearsTheSideActionsButKeepsTheSoundLead) {
  Model m;
  Add(m, DailyMode, 0, Day(7, 0), Shutdown);
  Add(m, DailyMode, 0, Day(8, 0), Shutdown);
  ScheduleItem& item = m.table[0][1];
  wcscpy(item.appPaths[0], L"C:\\app.exe");
  item.appDelays[0] = 4;
  item.soundIndex = 2;
  item.soundSeconds = 30;
  item.captureEnabled = 1;
  item.mailTo = 3;
  const AddPlan plan = PlanAddItem(m.table, m.order, 0, Day(8, 0), Restart);
  ASSERT_EQ(plan.kind, AddKind::AskOverwrite);
  EXPECT_EQ(plan.slot, 1);
  EXPECT_EQ(plan.position, 1);
  CommitAddItem(m.table, m.order, DailyMode, 0, plan, Day(8, 0), Restart);
  EXPECT_EQ(RowLength(m.order, 0), 2);
  EXPECT_EQ(item.action, Restart);
  EXPECT_EQ(item.appDelays[0], -1);
  EXPECT_EQ(item.soundIndex, 0);
  EXPECT_EQ(item.captureEnabled, 0);
  EXPECT_EQ(item.mailTo, 0);
  EXPECT_EQ(item.soundSeconds, 30);
  EXPECT_STREQ(item.appPaths[0], L"C:\\app.exe");
  ExpectConsistent(m, 0);
}

TEST(ScheduleEdit, TheTwentyFirstItemIsRefusedButAFullRowCanBeOverwritten) {
  Model m;
  for (int i = 0; i < 20; ++i) ASSERT_EQ(Add(m, DailyMode, 0, Day(i, 0), Shutdown), AddKind::Insert) << i;
  EXPECT_EQ(Add(m, DailyMode, 0, Day(21, 0), Shutdown), AddKind::RowFull);
  EXPECT_EQ(Add(m, DailyMode, 0, Day(5, 0), Restart), AddKind::AskOverwrite);
  EXPECT_EQ(RowLength(m.order, 0), 20);
  EXPECT_EQ(m.table[0][5].action, Restart);
  ExpectConsistent(m, 0);
}

TEST(ScheduleEdit, DeletingTheMiddleItemFreesItsSlotForTheNextAdd) {
  Model m;
  Add(m, DailyMode, 0, Day(8, 0), Shutdown);
  Add(m, DailyMode, 0, Day(9, 0), Shutdown);
  Add(m, DailyMode, 0, Day(10, 0), Shutdown);
  EXPECT_FALSE(DeleteItemAt(m.table, m.order, 0, 3));
  ASSERT_TRUE(DeleteItemAt(m.table, m.order, 0, 1));
  EXPECT_EQ(m.order[0][0], 0);
  EXPECT_EQ(m.order[0][1], 2);
  EXPECT_EQ(m.order[0][2], -1);
  EXPECT_EQ(m.table[0][1].listIndex, -1);
  EXPECT_EQ(m.table[0][1].appDelays[9], -1);
  EXPECT_EQ(m.table[0][1].oleTime, 0.0);
  // The freed slot is the lowest free one, whatever list position the item gets.
  ASSERT_EQ(Add(m, DailyMode, 0, Day(11, 0), Logoff), AddKind::Insert);
  EXPECT_EQ(m.order[0][2], 1);
  EXPECT_EQ(RowTimes(m, 0), (std::vector<std::wstring>{L"08:00", L"10:00", L"11:00"}));
  ExpectConsistent(m, 0);
}

TEST(ScheduleEdit, ARowWithAllSlotsMarkedUsedButUnlistedRefusesAnAdd) {
  Model m;
  for (ScheduleItem& item : m.table[0]) item.listIndex = 0;
  EXPECT_EQ(Add(m, DailyMode, 0, Day(8, 0), Shutdown), AddKind::RowFull);
}

TEST(ScheduleEdit, AFreshModelHasItsDefaults) {
  Model m;
  m.table[3][4].listIndex = 2;
  m.order[3][0] = 4;
  ProfileSettings settings;
  memset(&settings, 0x5a, sizeof settings);
  ResetModelToDefaults(m.table, m.order, settings, L"C:\\prog\\ss");
  for (int r = 0; r < kRowCount; ++r) {
    for (int s = 0; s < kSlotCount; ++s) {
      EXPECT_EQ(m.table[r][s].listIndex, -1);
      EXPECT_EQ(m.table[r][s].appDelays[0], -1);
      EXPECT_EQ(m.order[r][s], -1);
    }
  }
  EXPECT_EQ(settings.general.bringToFrontSeconds, 300);
  EXPECT_EQ(settings.general.endNowNoCapture, 1);
  EXPECT_EQ(settings.general.endNowNoMail, 1);
  EXPECT_EQ(settings.general.passwordLock, 0);
  EXPECT_STREQ(settings.mail.subjects[0], L"<PCNAME>は終了処理に入りました");
  EXPECT_STREQ(settings.mail.subjects[1], L"<PCNAME>は復帰しました");
  EXPECT_STREQ(settings.mail.bodies[0], L"<PCNAME>は<TIME>に終了処理に入りました");
  EXPECT_STREQ(settings.mail.bodies[1], L"<PCNAME>は<TIME>に復帰しました");
  EXPECT_STREQ(settings.capture.captureFolder, L"C:\\prog\\ss");
  EXPECT_EQ(settings.capture.captureFormat, 1);
  EXPECT_EQ(settings.sounds.count, 0);
  EXPECT_EQ(settings.mail.smtpServer[0], 0);
}

}  // namespace
