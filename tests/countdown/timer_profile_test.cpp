#include "timer_profile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "message_box_catcher.h"
#include "shared/profile_names.h"
#include "shared/program_paths.h"
#include "temp_folder.h"
#include "timer_fakes.h"

namespace {

using countdown_fakes::MakeTime;
using testing_support::CaughtMessageBoxes;
using testing_support::FileExists;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

class TimerProfileTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    SetProgramPaths(temp_.path().c_str(), L"Sopora");
    timer_fakes::ResetTimerSettings();
  }
  std::wstring FileOf(const std::wstring& name) { return temp_.Path(L"profile\\" + name + L".dat"); }
};

template <typename T>
void Put(std::string& bytes, size_t offset, T value) {
  std::memcpy(&bytes[offset], &value, sizeof value);
}
template <typename T>
T Get(const std::string& bytes, size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// A record whose every field holds a value of its own, so a field written to
// the wrong place shows.
void FillDistinct(TimerSettings* s) {
  s->cpuPercent = 7;
  s->cpuSeconds = 11;
  s->mode = Time;
  s->action = Hibernate;
  s->reserved = 0x5a;
  s->resumeEnabled = 1;
  s->captureEnabled = 1;
  s->captureFormat = 0;
  s->forceAction = 1;
  wcscpy(s->captureFolder, L"C:\\shots");
  s->monitorOnAfterResume = 1;
  s->endNowNoCapture = 0;
  s->bringToFront = 1;
  s->bringToFrontSeconds = 600;
  s->hideTimerAtStart = 1;
  for (int i = 0; i < kAppCount; ++i) {
    swprintf(s->appArguments[i], kCommandChars, L"-arg%d", i);
    swprintf(s->appPaths[i], kPathChars, L"C:\\app%d.exe", i);
    s->appMinimized[i] = static_cast<uint8_t>(i % 2);
    s->appDelays[i] = i < 3 ? i * 4 : -1;
  }
  s->unexpectedResumeNoApps = 1;
  s->appsAfterResume = 1;
  s->unexpectedResumeNoSound = 1;
  for (int i = 0; i < kSoundCount; ++i) {
    swprintf(s->soundPaths[i], kPathChars, L"C:\\sound%d.wav", i);
    s->volumes[i] = 10 + i;
  }
  s->soundCount = 4;
  s->soundSeconds[0] = 30;
  s->soundSeconds[1] = 45;
  s->soundIndex[0] = 2;
  s->soundIndex[1] = 3;
  s->endDaysAhead = 2;
  s->resumeDaysAhead = 3;
  s->minusDayFromHour = 22;
  s->minusDayToHour = 5;
  s->advanceDate = 1;
  s->noKeepTime = 0;
  s->minusDayInWindow = 1;
  s->endTime = MakeTime(2026, 12, 10, 21, 45);
  s->resumeTime = MakeTime(2026, 12, 11, 6, 30);
}

TEST_F(TimerProfileTest, FileSizeFollowsModeAndOptions) {
  struct Case {
    CountdownMode mode;
    int action;
    uint8_t noKeepTime;
    uint8_t resumeEnabled;
    size_t size;
  } cases[] = {
      {Time, Shutdown, 0, 0, 16145},     {CpuUsage, Hibernate, 0, 1, 16153}, {EndNow, Standby, 1, 1, 16129},
      {Time, Standby, 0, 1, 16161},      {CpuUsage, Shutdown, 1, 0, 16137},  {CpuUsage, Shutdown, 0, 0, 16137},
      {EndNow, Hibernate, 0, 1, 16145},  {EndNow, Restart, 0, 0, 16129},     {Time, Hibernate, 1, 1, 16129},
  };
  for (const Case& c : cases) {
    timerSettings.mode = c.mode;
    timerSettings.action = c.action;
    timerSettings.noKeepTime = c.noKeepTime;
    timerSettings.resumeEnabled = c.resumeEnabled;
    timerSettings.endTime = MakeTime(2026, 12, 10, 12, 0);
    timerSettings.resumeTime = MakeTime(2026, 12, 11, 7, 0);
    ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"size"));
    EXPECT_EQ(ReadBytes(FileOf(L"size")).size(), c.size) << c.mode << " " << int(c.noKeepTime) << int(c.resumeEnabled);
    EXPECT_EQ(TimerProfileSize(timerSettings), c.size);
  }
}

TEST_F(TimerProfileTest, FieldsLieAtTheirOffsets) {
  FillDistinct(&timerSettings);
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"layout"));
  const std::string b = ReadBytes(FileOf(L"layout"));
  ASSERT_EQ(b.size(), 16161u);
  EXPECT_EQ(b.substr(0, 5), std::string("3.00\0", 5));
  EXPECT_EQ(Get<int32_t>(b, 5), 7);
  EXPECT_EQ(Get<int32_t>(b, 9), 11);
  EXPECT_EQ(Get<int32_t>(b, 13), Time);
  EXPECT_EQ(Get<int32_t>(b, 17), Hibernate);
  EXPECT_EQ(uint8_t(b[21]), 0x5a);
  EXPECT_EQ(b[22], 1);
  EXPECT_EQ(b[23], 1);
  EXPECT_EQ(Get<int32_t>(b, 24), 0);
  EXPECT_EQ(b[28], 1);
  EXPECT_EQ(Get<wchar_t>(b, 29), L'C');
  EXPECT_EQ(Get<wchar_t>(b, 29 + 2 * 8), L'\0');
  EXPECT_EQ(b[469], 1);
  EXPECT_EQ(b[470], 0);
  EXPECT_EQ(b[471], 1);
  EXPECT_EQ(Get<int32_t>(b, 472), 600);
  EXPECT_EQ(b[476], 1);
  EXPECT_EQ(Get<wchar_t>(b, 477 + 9 * 512 + 8), L'9');  // "-arg9"
  EXPECT_EQ(b[5597 + 9], 1);
  EXPECT_EQ(Get<wchar_t>(b, 5607 + 9 * 520 + 2 * 6), L'9');  // "C:\app9"
  EXPECT_EQ(b[10807], 1);
  EXPECT_EQ(Get<int32_t>(b, 10808 + 8), 8);
  EXPECT_EQ(Get<int32_t>(b, 10808 + 36), -1);
  EXPECT_EQ(b[10848], 1);
  EXPECT_EQ(b[10849], 1);
  EXPECT_EQ(Get<wchar_t>(b, 10850 + 9 * 520 + 2 * 8), L'9');  // "C:\sound9"
  EXPECT_EQ(Get<int32_t>(b, 16050), 4);
  EXPECT_EQ(Get<int32_t>(b, 16054 + 36), 19);
  EXPECT_EQ(Get<int32_t>(b, 16094), 30);
  EXPECT_EQ(Get<int32_t>(b, 16098), 45);
  EXPECT_EQ(Get<int32_t>(b, 16102), 2);
  EXPECT_EQ(Get<int32_t>(b, 16106), 3);
  EXPECT_EQ(Get<int32_t>(b, 16110), 2);
  EXPECT_EQ(Get<int32_t>(b, 16114), 3);
  EXPECT_EQ(Get<int32_t>(b, 16118), 22);
  EXPECT_EQ(Get<int32_t>(b, 16122), 5);
  EXPECT_EQ(b[16126], 1);
  EXPECT_EQ(b[16127], 0);
  EXPECT_EQ(b[16128], 1);
  // The tail: the end time, then the resume time, eight 16-bit fields each.
  EXPECT_EQ(Get<uint16_t>(b, 16129), 2026);
  EXPECT_EQ(Get<uint16_t>(b, 16129 + 8), 21);
  EXPECT_EQ(Get<uint16_t>(b, 16129 + 10), 45);
  EXPECT_EQ(Get<uint16_t>(b, 16145 + 6), 11);
  EXPECT_EQ(Get<uint16_t>(b, 16145 + 10), 30);
}

TEST_F(TimerProfileTest, RoundTripIsByteForByte) {
  FillDistinct(&timerSettings);
  for (CountdownMode mode : {Time, CpuUsage, EndNow}) {
    timerSettings.mode = mode;
    ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"trip"));
    const std::string first = ReadBytes(FileOf(L"trip"));
    timer_fakes::ResetTimerSettings();
    ASSERT_TRUE(TimerLoadProfileFile(nullptr, L"trip"));
    EXPECT_EQ(timerSettings.mode, mode);
    ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"again"));
    EXPECT_EQ(ReadBytes(FileOf(L"again")), first) << mode;
  }
  EXPECT_EQ(timerSettings.appDelays[2], 8);
  EXPECT_EQ(std::wstring(timerSettings.appArguments[9]), L"-arg9");
  EXPECT_EQ(timerSettings.resumeTime.wHour, 6);
}

TEST_F(TimerProfileTest, CpuTailReplacesTheFixedPartsValues) {
  timerSettings.mode = CpuUsage;
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"cpu"));
  std::string b = ReadBytes(FileOf(L"cpu"));
  ASSERT_EQ(b.size(), 16137u);
  Put<int32_t>(b, 5, 99);  // percent in the fixed part
  Put<int32_t>(b, 9, 98);  // seconds in the fixed part
  Put<int32_t>(b, 16129, 5);
  Put<int32_t>(b, 16133, 8);
  ASSERT_TRUE(WriteBytes(FileOf(L"cpu"), b));
  ASSERT_TRUE(TimerLoadProfileFile(nullptr, L"cpu"));
  EXPECT_EQ(timerSettings.cpuSeconds, 5);
  EXPECT_EQ(timerSettings.cpuPercent, 8);
}

TEST_F(TimerProfileTest, AnyVersionTextIsAccepted) {
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"v"));
  std::string b = ReadBytes(FileOf(L"v"));
  b.replace(0, 5, "9XYZW", 5);  // no terminator either
  ASSERT_TRUE(WriteBytes(FileOf(L"v"), b));
  EXPECT_TRUE(TimerLoadProfileFile(nullptr, L"v"));
}

TEST_F(TimerProfileTest, FirstSaveMakesTheProfileFolder) {
  ASSERT_FALSE(FileExists(temp_.Path(L"profile")));
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"abc"));
  EXPECT_TRUE(FileExists(temp_.Path(L"profile\\abc.dat")));
  EXPECT_FALSE(FileExists(temp_.Path(L"profile\\abc.dat.tmp")));
}

TEST_F(TimerProfileTest, MissingProfileIsReportedAndChangesNothing) {
  FillDistinct(&timerSettings);
  const TimerSettings before = timerSettings;
  EXPECT_FALSE(TimerLoadProfileFile(nullptr, L"none"));
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kTimerReadErrorCaption);
  EXPECT_EQ(std::memcmp(&before, &timerSettings, sizeof before), 0);
}

TEST_F(TimerProfileTest, DamagedFilesAreRefusedWithNothingChanged) {
  // A valid Time-mode profile with its end time, 16145 bytes.
  timerSettings.mode = Time;
  timerSettings.endTime = MakeTime(2026, 12, 10, 12, 0);
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"good"));
  const std::string good = ReadBytes(FileOf(L"good"));
  ASSERT_EQ(good.size(), 16145u);
  timerSettings.mode = CpuUsage;
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"goodcpu"));
  const std::string goodCpu = ReadBytes(FileOf(L"goodcpu"));

  struct Case {
    const char* what;
    std::string bytes;
  };
  auto with = [](std::string b, size_t offset, int32_t value) {
    Put<int32_t>(b, offset, value);
    return b;
  };
  auto badMonth = good;
  Put<uint16_t>(badMonth, 16129 + 2, 13);
  auto badHour = good;
  Put<uint16_t>(badHour, 16129 + 8, 24);
  auto resumeWithoutTime = good;
  resumeWithoutTime[22] = 1;  // a resume time is now due in the tail, but missing
  auto resumeTwoWithoutTime = good;
  resumeTwoWithoutTime[22] = 2;  // reads as on, so its time is due too
  const Case cases[] = {
      {"empty", ""},
      {"21 bytes", good.substr(0, 21)},
      {"fixed part less one", good.substr(0, 16128)},
      {"no end time", good.substr(0, 16129)},
      {"end time cut", good.substr(0, 16144)},
      {"cpu tail cut", goodCpu.substr(0, 16133)},
      {"mode 3", with(good, 13, 3)},
      {"mode -1", with(good, 13, -1)},
      {"action 5", with(good, 17, 5)},
      {"action -1", with(good, 17, -1)},
      {"month 13", badMonth},
      {"hour 24", badHour},
      {"resume time missing", resumeWithoutTime},
      {"resume stored as 2, its time missing", resumeTwoWithoutTime},
      // Delays as the scheduler's reader takes them: below -1 is damage.
      {"application delay -2", with(good, 10808 + 4 * 3, -2)},
      {"application delay far below", with(good, 10808, INT32_MIN)},
  };
  FillDistinct(&timerSettings);
  const TimerSettings before = timerSettings;
  for (const Case& c : cases) {
    testing_support::ClearCaughtMessageBoxes();
    ASSERT_TRUE(WriteBytes(FileOf(L"bad"), c.bytes));
    EXPECT_FALSE(TimerLoadProfileFile(nullptr, L"bad")) << c.what;
    const auto boxes = CaughtMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << c.what;
    EXPECT_EQ(boxes[0].caption, kTimerReadErrorCaption) << c.what;
    EXPECT_EQ(boxes[0].text, kDamagedProfileText) << c.what;
    EXPECT_EQ(std::memcmp(&before, &timerSettings, sizeof before), 0) << c.what;
  }
  // Extra bytes after the tail are ignored.
  ASSERT_TRUE(WriteBytes(FileOf(L"long"), good + "trailing"));
  EXPECT_TRUE(TimerLoadProfileFile(nullptr, L"long"));
}

TEST_F(TimerProfileTest, OutOfRangeValuesAreClamped) {
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"p"));
  const std::string base = ReadBytes(FileOf(L"p"));
  struct Case {
    const char* what;
    size_t offset;
    int32_t stored;
    int32_t TimerSettings::*field;
    int32_t loaded;
  } cases[] = {
      {"soundCount high", 16050, 50, &TimerSettings::soundCount, 10},
      {"soundCount low", 16050, -3, &TimerSettings::soundCount, 0},
      {"captureFormat", 24, 7, &TimerSettings::captureFormat, 1},
      {"endDaysAhead", 16110, 20, &TimerSettings::endDaysAhead, 8},
      {"endDaysAhead low", 16110, -1, &TimerSettings::endDaysAhead, 0},
      {"resumeDaysAhead", 16114, 0, &TimerSettings::resumeDaysAhead, 1},
      {"resumeDaysAhead high", 16114, 12, &TimerSettings::resumeDaysAhead, 9},
      {"fromHour", 16118, 30, &TimerSettings::minusDayFromHour, 23},
      {"toHour", 16122, -4, &TimerSettings::minusDayToHour, 0},
  };
  for (const Case& c : cases) {
    std::string b = base;
    Put<int32_t>(b, c.offset, c.stored);
    ASSERT_TRUE(WriteBytes(FileOf(L"p"), b));
    ASSERT_TRUE(TimerLoadProfileFile(nullptr, L"p")) << c.what;
    EXPECT_EQ(timerSettings.*c.field, c.loaded) << c.what;
  }

  std::string b = base;
  Put<int32_t>(b, 16050, 3);       // three sounds
  Put<int32_t>(b, 16102, 7);       // index past the list
  Put<int32_t>(b, 16106, -2);      // index below none
  Put<int32_t>(b, 16054, 200);     // volume
  Put<int32_t>(b, 16058, -5);
  b[471] = 1;                      // bring to front on
  Put<int32_t>(b, 472, 5);         // five seconds
  b[22] = 1;                       // resume on, but the action shuts down
  Put<int32_t>(b, 17, Shutdown);
  for (size_t i = 0; i < 440; i += 2) Put<wchar_t>(b, 29 + i, L'A');  // no terminator
  for (size_t i = 0; i < 520; i += 2) Put<wchar_t>(b, 5607 + i, L'B');
  // The resume flag was set in the file, so its time follows in the tail.
  SYSTEMTIME resume = MakeTime(2026, 12, 11, 6, 0);
  b.append(reinterpret_cast<const char*>(&resume), sizeof resume);
  ASSERT_TRUE(WriteBytes(FileOf(L"p"), b));
  ASSERT_TRUE(TimerLoadProfileFile(nullptr, L"p"));
  EXPECT_EQ(timerSettings.soundIndex[0], 3);
  EXPECT_EQ(timerSettings.soundIndex[1], 0);
  EXPECT_EQ(timerSettings.volumes[0], 100);
  EXPECT_EQ(timerSettings.volumes[1], 0);
  EXPECT_EQ(timerSettings.bringToFrontSeconds, 60);
  EXPECT_EQ(timerSettings.resumeEnabled, 0);
  EXPECT_EQ(wcslen(timerSettings.captureFolder), 219u);
  EXPECT_EQ(wcslen(timerSettings.appPaths[0]), 259u);
}

TEST_F(TimerProfileTest, EveryFlagReadsAsZeroOrOneAndDelaysFromMinusOneOnStand) {
  timerSettings.mode = EndNow;
  timerSettings.action = Standby;
  timerSettings.noKeepTime = 1;  // no times in the tail: the fixed part alone
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"p"));
  const std::string base = ReadBytes(FileOf(L"p"));
  ASSERT_EQ(base.size(), 16129u);
  struct Flag {
    const char* what;
    size_t offset;
    const uint8_t* (*field)(const TimerSettings&);
  };
#define FLAG(name, offset) {#name, offset, [](const TimerSettings& t) { return &t.name; }}
  const Flag flags[] = {
      FLAG(resumeEnabled, 22),          FLAG(captureEnabled, 23),          FLAG(forceAction, 28),
      FLAG(monitorOnAfterResume, 469),  FLAG(endNowNoCapture, 470),        FLAG(bringToFront, 471),
      FLAG(hideTimerAtStart, 476),      FLAG(appMinimized[0], 5597),       FLAG(appMinimized[9], 5606),
      FLAG(unexpectedResumeNoApps, 10807), FLAG(appsAfterResume, 10848), FLAG(unexpectedResumeNoSound, 10849),
      FLAG(advanceDate, 16126),         FLAG(noKeepTime, 16127),           FLAG(minusDayInWindow, 16128),
  };
#undef FLAG
  for (const Flag& f : flags) {
    for (uint8_t stored : {0, 1, 2, 0x80, 0xFF}) {
      std::string b = base;
      b[f.offset] = static_cast<char>(stored);
      ASSERT_TRUE(WriteBytes(FileOf(L"p"), b));
      ASSERT_TRUE(TimerLoadProfileFile(nullptr, L"p")) << f.what << " " << int(stored);
      EXPECT_EQ(*f.field(timerSettings), stored ? 1 : 0) << f.what << " stored as " << int(stored);
    }
  }
  for (int32_t delay : {-1, 0, 999, 1000, INT32_MAX}) {
    std::string b = base;
    Put<int32_t>(b, 10808 + 4, delay);
    ASSERT_TRUE(WriteBytes(FileOf(L"p"), b));
    ASSERT_TRUE(TimerLoadProfileFile(nullptr, L"p")) << "delay " << delay;
    EXPECT_EQ(timerSettings.appDelays[1], delay);
  }
}

TEST(ProfileNameRuleTest, NamesThatAreNoOrdinaryFileAreRefused) {
  const std::wstring controlChar = std::wstring(L"a") + wchar_t(0x1f) + L"b";
  const wchar_t* refused[] = {L"",     L"a\\b",  L"a/b",     L"a:b",    L"a*",     L"a?",  L"\"a\"",
                              L"<a>",  L"a|b",   L"tab\tx",  L" lead",  L"trail ", L".dot", L"dot.",
                              L"..",   L"CON",   L"con",     L"Prn",    L"aux",    L"NUL", L"nul.txt",
                              L"Com1", L"COM9",  L"lpt1",    L"LPT9.dat", L"con.a.b"};
  for (const wchar_t* name : refused) EXPECT_FALSE(IsValidProfileName(name)) << name;
  EXPECT_FALSE(IsValidProfileName(controlChar.c_str()));
  const wchar_t* accepted[] = {L"abc", L"平日", L"a.b", L"my profile", L"COM0", L"COM10",
                               L"CONSOLE", L"nula", L"LPT", L"x-1_2"};
  for (const wchar_t* name : accepted) EXPECT_TRUE(IsValidProfileName(name)) << name;
}

TEST_F(TimerProfileTest, RefusedNamesNeitherSaveNorLoad) {
  const std::wstring tooLong(32, L'n');
  for (const wchar_t* name : {L"..\\x", L"a\\b", L"a:b", L"CON", L"nul", L" x", tooLong.c_str()}) {
    testing_support::ClearCaughtMessageBoxes();
    EXPECT_FALSE(TimerSaveProfileFile(nullptr, name)) << name;
    EXPECT_FALSE(TimerLoadProfileFile(nullptr, name)) << name;
    const auto boxes = CaughtMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u) << name;
    EXPECT_EQ(boxes[0].caption, kTimerWriteErrorCaption);
    EXPECT_EQ(boxes[0].text, kBadProfileNameText);
    EXPECT_EQ(boxes[1].caption, kTimerReadErrorCaption);
  }
  EXPECT_FALSE(FileExists(temp_.Path(L"x.dat")));
  EXPECT_FALSE(FileExists(temp_.Path(L"profile")));
  // 31 characters are a name.
  EXPECT_TRUE(TimerSaveProfileFile(nullptr, std::wstring(31, L'n').c_str()));
}

TEST_F(TimerProfileTest, FailedReplaceKeepsTheOldProfile) {
  timerSettings.cpuPercent = 42;
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"keep"));
  const std::string old = ReadBytes(FileOf(L"keep"));
  // Held open without sharing: the new file cannot take its place.
  HANDLE held = CreateFileW(FileOf(L"keep").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  timerSettings.cpuPercent = 43;
  EXPECT_FALSE(TimerSaveProfileFile(nullptr, L"keep"));
  CloseHandle(held);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kTimerWriteErrorCaption);
  EXPECT_EQ(ReadBytes(FileOf(L"keep")), old);
  EXPECT_FALSE(FileExists(FileOf(L"keep") + L".tmp"));
}

TEST_F(TimerProfileTest, ProfileFolderThatIsAFileFailsTheSave) {
  ASSERT_TRUE(WriteBytes(temp_.Path(L"profile"), "x"));
  EXPECT_FALSE(TimerSaveProfileFile(nullptr, L"p"));
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kTimerWriteErrorCaption);
  EXPECT_EQ(ReadBytes(temp_.Path(L"profile")), "x");
}

// --- The load-day adjustment ------------------------------------------------------

TEST(MinusDayWindowTest, HoursCountForwardAcrossMidnight) {
  struct Case {
    int from, to, hour;
    bool inside;
  } cases[] = {
      {22, 6, 22, true}, {22, 6, 23, true}, {22, 6, 0, true}, {22, 6, 5, true}, {22, 6, 6, false},
      {22, 6, 21, false}, {22, 0, 22, true}, {22, 0, 23, true}, {22, 0, 0, false}, {5, 5, 5, false},
      {5, 5, 4, false},  {0, 6, 3, true},   {0, 6, 6, false},  {23, 1, 0, true},  {6, 22, 12, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HourInMinusDayWindow(c.hour, c.from, c.to), c.inside) << c.from << "-" << c.to << " at " << c.hour;
}

TEST(LoadDayTest, DatesMoveByTheProfilesRules) {
  struct Case {
    const char* what;
    SYSTEMTIME now;
    uint8_t advance;
    int endAhead, resumeAhead;
    uint8_t resume, minusDay;
    int from, to;
    SYSTEMTIME endDate, resumeDate;  // only year, month and day compared
  } cases[] = {
      {"no advance", MakeTime(2026, 12, 10, 3, 0), 0, 3, 4, 1, 1, 0, 6, MakeTime(2026, 12, 10, 0, 0),
       MakeTime(2026, 12, 10, 0, 0)},
      {"yesterday in the window", MakeTime(2026, 12, 10, 3, 0), 1, 0, 1, 0, 1, 0, 6, MakeTime(2026, 12, 9, 0, 0),
       MakeTime(2026, 12, 10, 0, 0)},
      {"window across midnight", MakeTime(2026, 12, 10, 23, 30), 1, 1, 2, 1, 1, 22, 6,
       MakeTime(2026, 12, 10, 0, 0), MakeTime(2026, 12, 11, 0, 0)},
      {"outside the window", MakeTime(2026, 12, 10, 7, 0), 1, 1, 2, 1, 1, 22, 6, MakeTime(2026, 12, 11, 0, 0),
       MakeTime(2026, 12, 12, 0, 0)},
      {"days ahead", MakeTime(2026, 12, 10, 12, 0), 1, 3, 5, 1, 0, 0, 6, MakeTime(2026, 12, 13, 0, 0),
       MakeTime(2026, 12, 15, 0, 0)},
      {"no resume keeps today", MakeTime(2026, 12, 10, 12, 0), 1, 3, 5, 0, 0, 0, 6, MakeTime(2026, 12, 13, 0, 0),
       MakeTime(2026, 12, 10, 0, 0)},
      {"leap day", MakeTime(2028, 2, 28, 10, 0), 1, 1, 2, 1, 0, 0, 6, MakeTime(2028, 2, 29, 0, 0),
       MakeTime(2028, 3, 1, 0, 0)},
      {"no leap day", MakeTime(2027, 2, 28, 10, 0), 1, 1, 1, 1, 0, 0, 6, MakeTime(2027, 3, 1, 0, 0),
       MakeTime(2027, 3, 1, 0, 0)},
      {"year's end", MakeTime(2026, 12, 31, 20, 0), 1, 1, 9, 1, 0, 0, 6, MakeTime(2027, 1, 1, 0, 0),
       MakeTime(2027, 1, 9, 0, 0)},
      {"back over the year's start", MakeTime(2027, 1, 1, 1, 0), 1, 0, 1, 1, 1, 22, 6,
       MakeTime(2026, 12, 31, 0, 0), MakeTime(2027, 1, 1, 0, 0)},
      {"window 22-0 at midnight", MakeTime(2026, 12, 10, 0, 30), 1, 1, 1, 1, 1, 22, 0,
       MakeTime(2026, 12, 11, 0, 0), MakeTime(2026, 12, 11, 0, 0)},
      {"window 5-5 is empty", MakeTime(2026, 12, 10, 5, 0), 1, 1, 1, 1, 1, 5, 5, MakeTime(2026, 12, 11, 0, 0),
       MakeTime(2026, 12, 11, 0, 0)},
  };
  for (const Case& c : cases) {
    TimerSettings s{};
    s.mode = Time;
    s.advanceDate = c.advance;
    s.endDaysAhead = c.endAhead;
    s.resumeDaysAhead = c.resumeAhead;
    s.resumeEnabled = c.resume;
    s.minusDayInWindow = c.minusDay;
    s.minusDayFromHour = c.from;
    s.minusDayToHour = c.to;
    const TimerPickerValues v = TimerLoadedPickerValues(s, c.now);
    auto day = [](const SYSTEMTIME& t) { return t.wYear * 10000 + t.wMonth * 100 + t.wDay; };
    EXPECT_EQ(day(v.endDate), day(c.endDate)) << c.what;
    EXPECT_EQ(day(v.resumeDate), day(c.resumeDate)) << c.what;
    // The current time of day stays in the date pickers.
    EXPECT_EQ(v.endDate.wHour, c.now.wHour) << c.what;
    EXPECT_EQ(v.endDate.wMinute, c.now.wMinute) << c.what;
  }
}

TEST(LoadDayTest, StoredTimesShowUnlessTheProfileKeepsNone) {
  TimerSettings s{};
  s.mode = Time;
  s.resumeEnabled = 1;
  s.endTime = MakeTime(2020, 1, 2, 21, 45);
  s.resumeTime = MakeTime(2020, 1, 3, 6, 15);
  const SYSTEMTIME now = MakeTime(2026, 12, 10, 12, 5, 30);
  TimerPickerValues v = TimerLoadedPickerValues(s, now);
  EXPECT_EQ(v.endTime.wHour, 21);
  EXPECT_EQ(v.endTime.wMinute, 45);
  EXPECT_EQ(v.resumeTime.wHour, 6);
  EXPECT_EQ(v.resumeTime.wMinute, 15);
  // The start takes the picker's date with the stored hour and minute.
  const SYSTEMTIME start = TimerComposeStartTime(v.endDate, v.endTime);
  EXPECT_EQ(start.wYear, 2026);
  EXPECT_EQ(start.wDay, 10);
  EXPECT_EQ(start.wHour, 21);
  EXPECT_EQ(start.wMinute, 45);
  EXPECT_EQ(start.wSecond, 0);
  EXPECT_EQ(start.wMilliseconds, 0);

  s.noKeepTime = 1;
  v = TimerLoadedPickerValues(s, now);
  EXPECT_EQ(v.endTime.wHour, 12);
  EXPECT_EQ(v.endTime.wMinute, 5);
  EXPECT_EQ(v.resumeTime.wHour, 12);
  // Outside Time mode the end-time picker shows now as well.
  s.noKeepTime = 0;
  s.mode = CpuUsage;
  v = TimerLoadedPickerValues(s, now);
  EXPECT_EQ(v.endTime.wHour, 12);
  EXPECT_EQ(v.resumeTime.wHour, 6);
}

}  // namespace
