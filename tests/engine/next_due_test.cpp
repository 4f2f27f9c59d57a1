#include <gtest/gtest.h>

#include <string>

#include "countdown_fakes.h"
#include "next_due.h"
#include "shared/clock.h"
#include "tray_icon.h"

using namespace countdown_fakes;

namespace {

class NextDueTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearModel(); }
};

struct FoundCase {
  const char* name;
  SYSTEMTIME now;
  int32_t startPos;  // currentPos before the search
  bool found;
  int32_t row;
  int32_t pos;
  int32_t days;
};

void ExpectFound(const FoundCase& c) {
  SCOPED_TRACE(c.name);
  currentPos = c.startPos;
  ASSERT_EQ(c.found, FindNextDueItem(c.now));
  if (!c.found) return;
  EXPECT_EQ(c.row, currentRow);
  EXPECT_EQ(c.pos, currentPos);
  EXPECT_EQ(c.days, daysAhead);
}

TEST_F(NextDueTest, DateModeSearchesOnAfterTheCurrentItem) {
  scheduleMode = DateMode;
  PutItem(0, 0, Shutdown, MakeTime(2011, 3, 1, 10, 0));
  PutItem(0, 1, Hibernate, MakeTime(2011, 3, 1, 23, 0));
  PutItem(0, 2, WakeOnly, MakeTime(2011, 3, 2, 6, 30));
  const FoundCase cases[] = {
      {"before the first", MakeTime(2011, 3, 1, 9, 0), -1, true, 0, 0, 0},
      {"due exactly now has passed", MakeTime(2011, 3, 1, 10, 0), -1, true, 0, 1, 0},
      {"one second before", MakeTime(2011, 3, 1, 9, 59, 59), -1, true, 0, 0, 0},
      {"after the first was counted", MakeTime(2011, 3, 1, 9, 0), 0, true, 0, 1, 0},
      {"passed while another was counted", MakeTime(2011, 3, 1, 23, 30), 0, false, 0, 0, 0},
      {"WakeOnly is never due", MakeTime(2011, 3, 1, 23, 30), -1, false, 0, 0, 0},
      {"after the last item", MakeTime(2011, 3, 1, 9, 0), 2, false, 0, 0, 0},
      {"position past the row", MakeTime(2011, 3, 1, 9, 0), 19, false, 0, 0, 0},
  };
  for (const FoundCase& c : cases) ExpectFound(c);
}

TEST_F(NextDueTest, DailyModeRollsOverToTomorrow) {
  scheduleMode = DailyMode;
  PutItem(0, 0, Shutdown, TimeOfDay(7, 0));
  PutItem(0, 1, Hibernate, TimeOfDay(22, 0));
  const FoundCase cases[] = {
      {"21:59:59 Hibernate today", MakeTime(2026, 12, 10, 21, 59, 59), -1, true, 0, 1, 0},
      {"22:00:00 Shutdown tomorrow", MakeTime(2026, 12, 10, 22, 0, 0), -1, true, 0, 0, 1},
      {"early morning", MakeTime(2026, 12, 10, 6, 0), 5, true, 0, 0, 0},
      {"07:00:00 has passed", MakeTime(2026, 12, 10, 7, 0), -1, true, 0, 1, 0},
  };
  for (const FoundCase& c : cases) ExpectFound(c);
}

TEST_F(NextDueTest, DailyModeTomorrowSkipsWakeOnlyAndOnlyWakeOnlyGivesNothing) {
  scheduleMode = DailyMode;
  PutItem(0, 0, WakeOnly, TimeOfDay(6, 0));
  PutItem(0, 1, Standby, TimeOfDay(23, 0));
  ExpectFound({"tomorrow's first power item", MakeTime(2026, 12, 10, 23, 30), -1, true, 0, 1, 1});

  ClearModel();
  scheduleMode = DailyMode;
  PutItem(0, 0, WakeOnly, TimeOfDay(6, 0));
  PutItem(0, 1, WakeOnly, TimeOfDay(9, 0));
  ExpectFound({"only WakeOnly items", MakeTime(2026, 12, 10, 5, 0), -1, false, 0, 0, 0});
}

TEST_F(NextDueTest, WeeklyModeFindsTheOnlyItemAgainSevenDaysAhead) {
  scheduleMode = WeeklyMode;
  PutItem(1, 0, Shutdown, TimeOfDay(8, 0));  // Monday
  const FoundCase cases[] = {
      {"Monday 07:00 today", MakeTime(2026, 12, 7, 7, 0), -1, true, 1, 0, 0},
      {"Monday 09:00 next week", MakeTime(2026, 12, 7, 9, 0), -1, true, 1, 0, 7},
      {"Monday 08:00 exactly", MakeTime(2026, 12, 7, 8, 0), -1, true, 1, 0, 7},
      {"Saturday", MakeTime(2026, 12, 12, 12, 0), -1, true, 1, 0, 2},
      {"Thursday", MakeTime(2026, 12, 10, 12, 0), -1, true, 1, 0, 4},
  };
  for (const FoundCase& c : cases) ExpectFound(c);
}

TEST_F(NextDueTest, WeeklyModeTakesTheFirstPowerItemOfTheNextDayWithOne) {
  scheduleMode = WeeklyMode;
  PutItem(4, 0, Shutdown, TimeOfDay(8, 0));  // Thursday, passed
  PutItem(5, 0, WakeOnly, TimeOfDay(6, 0));  // Friday
  PutItem(5, 1, Restart, TimeOfDay(5, 0));   // later in order, any time counts
  ExpectFound({"Friday's power item", MakeTime(2026, 12, 10, 9, 0), -1, true, 5, 1, 1});

  ClearModel();
  scheduleMode = WeeklyMode;
  PutItem(3, 0, WakeOnly, TimeOfDay(6, 0));
  ExpectFound({"no power item at all", MakeTime(2026, 12, 10, 9, 0), -1, false, 0, 0, 0});
}

struct ResumeCase {
  const char* name;
  bool hasResume;
  int32_t row;
  int32_t pos;
  double offset;
};

void ExpectResume(const ResumeCase& c) {
  SCOPED_TRACE(c.name);
  const ScheduleItem* item = ItemAtOrder(currentRow, currentPos);
  ASSERT_NE(nullptr, item);
  ComputeDueDateTime(item->time);
  if (!c.hasResume) {
    EXPECT_EQ(-1, wakePos);
    EXPECT_EQ(0, wakeOffsetSeconds);
    return;
  }
  EXPECT_EQ(c.row, wakeRow);
  EXPECT_EQ(c.pos, wakePos);
  EXPECT_EQ(c.offset, wakeOffsetSeconds);
}

TEST_F(NextDueTest, ResumeComesFromTheWakeOnlyItemThatFollowsDirectly) {
  scheduleMode = DateMode;
  PutItem(0, 0, Hibernate, MakeTime(2011, 3, 1, 23, 0));
  PutItem(0, 1, WakeOnly, MakeTime(2011, 3, 2, 6, 30));
  PutItem(0, 2, Shutdown, MakeTime(2011, 3, 2, 8, 0));
  PutItem(0, 3, Standby, MakeTime(2011, 3, 2, 9, 0));
  currentRow = 0;
  currentPos = 0;
  ExpectResume({"next is WakeOnly", true, 0, 1, -27000});
  currentPos = 2;
  ExpectResume({"next is a power item", false, 0, 0, 0});
  currentPos = 3;
  ExpectResume({"last item of a date schedule", false, 0, 0, 0});
}

TEST_F(NextDueTest, DailyResumeIsTomorrowsFirstItem) {
  scheduleMode = DailyMode;
  PutItem(0, 0, WakeOnly, TimeOfDay(6, 0));
  PutItem(0, 1, Standby, TimeOfDay(23, 0));
  currentRow = 0;
  currentPos = 1;
  ExpectResume({"WakeOnly first", true, 0, 0, -25200});

  scheduleTable[0][0].action = Shutdown;
  ExpectResume({"power item first", false, 0, 0, 0});
}

TEST_F(NextDueTest, WeeklyResumeIsTheFirstItemOfTheNextNonEmptyRow) {
  scheduleMode = WeeklyMode;
  PutItem(5, 0, Standby, TimeOfDay(22, 0));  // Friday, last of its row
  PutItem(0, 0, WakeOnly, TimeOfDay(7, 0));  // Sunday; Saturday is empty
  currentRow = 5;
  currentPos = 0;
  ExpectResume({"Sunday two days later", true, 0, 0, -33 * 3600.0});

  PutItem(6, 0, Shutdown, TimeOfDay(9, 0));  // Saturday now holds a power item
  ExpectResume({"next row starts with a power item", false, 0, 0, 0});

  ClearModel();
  scheduleMode = WeeklyMode;
  PutItem(6, 0, Hibernate, TimeOfDay(23, 0));  // Saturday
  PutItem(6, 1, Shutdown, TimeOfDay(23, 30));
  PutItem(2, 0, WakeOnly, TimeOfDay(6, 0));    // Tuesday
  currentRow = 6;
  currentPos = 1;
  ExpectResume({"across the week end", true, 2, 0, -(2 * 86400.0 + 6 * 3600.0 + 30 * 60.0)});
}

// The whole search with one clock reading, as the countdown runs it.
struct StatusCase {
  const char* name;
  ScheduleMode mode;
  void (*fill)();
  SYSTEMTIME now;
  const wchar_t* actionLine;
  const wchar_t* resumeLine;
  SYSTEMTIME target;
  bool setsWake;
  SYSTEMTIME wake;
};

void FillDateHibernateThenWake() {
  PutItem(0, 0, Hibernate, MakeTime(2011, 3, 1, 23, 0));
  PutItem(0, 1, WakeOnly, MakeTime(2011, 3, 2, 6, 30));
}
void FillDateTwoPowerItems() {
  PutItem(0, 0, Shutdown, MakeTime(2011, 3, 1, 23, 0));
  PutItem(0, 1, Restart, MakeTime(2011, 3, 2, 6, 30));
}
void FillDailyStandbyWake() {
  PutItem(0, 0, WakeOnly, TimeOfDay(6, 0));
  PutItem(0, 1, Standby, TimeOfDay(23, 0));
}
void FillDailyShutdownHibernate() {
  PutItem(0, 0, Shutdown, TimeOfDay(7, 0));
  PutItem(0, 1, Hibernate, TimeOfDay(22, 0));
}
void FillWeeklyFridayStandbySundayWake() {
  PutItem(5, 0, Standby, TimeOfDay(22, 0));
  PutItem(0, 0, WakeOnly, TimeOfDay(7, 0));
}
void FillWeeklyMondayOnly() { PutItem(1, 0, Logoff, TimeOfDay(8, 5)); }

const wchar_t* const kNoResume = L"復帰時刻\n----年--月--日:--時--分";

TEST_F(NextDueTest, StatusTextAndTrayTipPerMode) {
  const StatusCase cases[] = {
      {"date hibernate with resume", DateMode, FillDateHibernateThenWake,
       MakeTime(2011, 3, 1, 12, 0), L"休止状態開始時刻\n2011年03月01日(火)　23時00分",
       L"復帰時刻\n2011年03月02日(水)　06時30分", MakeTime(2011, 3, 1, 23, 0), true,
       MakeTime(2011, 3, 2, 6, 30)},
      {"date power item followed by power item", DateMode, FillDateTwoPowerItems,
       MakeTime(2011, 3, 1, 12, 0), L"シャットダウン開始時刻\n2011年03月01日(火)　23時00分",
       kNoResume, MakeTime(2011, 3, 1, 23, 0), false, SYSTEMTIME{}},
      {"daily standby, resume tomorrow", DailyMode, FillDailyStandbyWake,
       MakeTime(2026, 12, 10, 20, 0), L"スリープ開始時刻\n2026年12月10日(木)　23時00分",
       L"復帰時刻\n2026年12月11日(金)　06時00分", MakeTime(2026, 12, 10, 23, 0), true,
       MakeTime(2026, 12, 11, 6, 0)},
      {"daily standby counted tomorrow", DailyMode, FillDailyStandbyWake,
       MakeTime(2026, 12, 10, 23, 30), L"スリープ開始時刻\n2026年12月11日(金)　23時00分",
       L"復帰時刻\n2026年12月12日(土)　06時00分", MakeTime(2026, 12, 11, 23, 0), true,
       MakeTime(2026, 12, 12, 6, 0)},
      {"daily roll-over across the month", DailyMode, FillDailyShutdownHibernate,
       MakeTime(2026, 12, 31, 22, 0), L"シャットダウン開始時刻\n2027年01月01日(金)　07時00分",
       kNoResume, MakeTime(2027, 1, 1, 7, 0), false, SYSTEMTIME{}},
      {"weekly Friday standby, Sunday resume", WeeklyMode, FillWeeklyFridayStandbySundayWake,
       MakeTime(2026, 12, 11, 8, 0), L"スリープ開始時刻\n2026年12月11日(金)　22時00分",
       L"復帰時刻\n2026年12月13日(日)　07時00分", MakeTime(2026, 12, 11, 22, 0), true,
       MakeTime(2026, 12, 13, 7, 0)},
      {"weekly only item seven days ahead", WeeklyMode, FillWeeklyMondayOnly,
       MakeTime(2026, 12, 7, 9, 0), L"ログオフ開始時刻\n2026年12月14日(月)　08時05分", kNoResume,
       MakeTime(2026, 12, 14, 8, 5), false, SYSTEMTIME{}},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.name);
    ClearModel();
    scheduleMode = c.mode;
    c.fill();
    const SYSTEMTIME untouched = MakeTime(2000, 1, 1, 0, 0);
    wakeTime = untouched;
    ASSERT_TRUE(SearchNextDueItem(c.now));
    EXPECT_EQ(std::wstring(c.actionLine), statusActionText);
    EXPECT_EQ(std::wstring(c.resumeLine), statusResumeText);
    EXPECT_EQ(L"稼働中...\n" + std::wstring(c.actionLine) + L"\n" + c.resumeLine,
              std::wstring(scheduleStatusTip));
    EXPECT_EQ(0, SecondsBetween(targetTime, c.target));
    EXPECT_EQ(c.target.wDayOfWeek, targetTime.wDayOfWeek);
    const SYSTEMTIME expectedWake = c.setsWake ? c.wake : untouched;
    EXPECT_EQ(0, SecondsBetween(wakeTime, expectedWake));
    EXPECT_EQ(0, wakeTime.wSecond);
  }
}

TEST_F(NextDueTest, SearchReadsTheClockOnceAcrossMidnight) {
  // The search and the status text share one "now": a search at 23:59:59 for
  // tomorrow's item keeps its target on tomorrow, not the day after.
  scheduleMode = DailyMode;
  FillDailyShutdownHibernate();
  // A second reading of the clock would already be past midnight.
  SetLocalTimeSource([](SYSTEMTIME* now) { *now = MakeTime(2026, 12, 11, 0, 0, 0); });
  const bool found = SearchNextDueItem(MakeTime(2026, 12, 10, 23, 59, 59));
  SetLocalTimeSource(nullptr);
  ASSERT_TRUE(found);
  EXPECT_EQ(1, daysAhead);
  EXPECT_EQ(0, SecondsBetween(targetTime, MakeTime(2026, 12, 11, 7, 0)));
  // The icon's own record carries the status, for an icon added again later.
  EXPECT_STREQ(trayIconData.szTip, scheduleStatusTip);
}

TEST_F(NextDueTest, TimeHelpers) {
  SYSTEMTIME t = MakeTime(2011, 3, 1, 23, 0);
  t.wMilliseconds = 500;
  AddDaysToSystemTime(&t, 0.3125);  // 7 h 30 min
  EXPECT_EQ(0, SecondsBetween(t, MakeTime(2011, 3, 2, 6, 30)));
  EXPECT_EQ(3, t.wDayOfWeek);
  EXPECT_EQ(0, t.wMilliseconds);
  EXPECT_EQ(-27000, SecondsBetween(MakeTime(2011, 3, 1, 23, 0), MakeTime(2011, 3, 2, 6, 30)));
  const SYSTEMTIME now = MakeTime(2026, 12, 10, 12, 0, 0);
  EXPECT_EQ(-5, SecondsSince(AddSeconds(now, 5), now));
  EXPECT_EQ(5, SecondsSince(AddSeconds(now, -5), now));
  struct {
    int offset;
    bool within;
  } const rows[] = {{0, true}, {30, true}, {119, true}, {120, false}, {-120, false}, {-1, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.offset);
    EXPECT_EQ(row.within, IsWithin120Seconds(now, AddSeconds(now, row.offset)));
  }
}

}  // namespace
