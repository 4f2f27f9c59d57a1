#include "startup_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "count_window.h"
#include "main_window_state.h"
#include "schedule_model.h"
#include "temp_folder.h"

using testing_support::TempFolderTest;
using testing_support::WriteBytes;

namespace {

TEST(ParseIniNumberTest, SignAndLeadingDigits) {
  const struct {
    const wchar_t* text;
    int value;
  } cases[] = {{L"1234", 1234}, {L"-12", -12}, {L"+7", 7}, {L"12ab", 12}, {L"abc", 0},
               {L"", 0},        {L"-", 0},     {L"0", 0},  {L"-0", 0},   {L"9x9", 9}};
  for (const auto& c : cases) EXPECT_EQ(ParseIniNumber(c.text), c.value) << c.text;
}

class CountWindowSettingsTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    workArea = RECT{0, 0, 1280, 800};
    countWindowConfig = kSchedulerCountWindowConfig;
    countWindowSettings.homePosition = countWindowSettings.lastMovedPosition = POINT{-99, -99};
    countWindowSettings.fixed = countWindowSettings.topMost = countWindowSettings.clickThrough = true;
    startWithWindows = true;
  }
  void TearDown() override {
    countWindowConfig = kSchedulerCountWindowConfig;
    TempFolderTest::TearDown();
  }
  // What the main window reads at start-up.
  void LoadSettings() {
    LoadCountWindowSettings(workArea);
    LoadStartUpSetting();
  }
  void WriteIni(const std::string& text) { ASSERT_TRUE(WriteBytes(L"Scheduler.ini", text)); }
};

TEST_F(CountWindowSettingsTest, NoFileCentresA121x44WindowOnTheWorkArea) {
  LoadSettings();
  EXPECT_EQ(countWindowSettings.homePosition.x, (1280 - 121) / 2);
  EXPECT_EQ(countWindowSettings.homePosition.y, (800 - 44) / 2);
  EXPECT_EQ(countWindowSettings.lastMovedPosition.x, countWindowSettings.homePosition.x);
  EXPECT_EQ(countWindowSettings.lastMovedPosition.y, countWindowSettings.homePosition.y);
  EXPECT_FALSE(countWindowSettings.fixed);
  EXPECT_FALSE(countWindowSettings.topMost);
  EXPECT_FALSE(countWindowSettings.clickThrough);
  EXPECT_FALSE(startWithWindows);
}

TEST_F(CountWindowSettingsTest, OddWorkAreaHalvesTowardZero) {
  workArea = RECT{0, 0, 1024, 767};
  LoadSettings();
  EXPECT_EQ(countWindowSettings.homePosition.x, 451);  // 903 / 2
  EXPECT_EQ(countWindowSettings.homePosition.y, 361);  // 723 / 2
}

TEST_F(CountWindowSettingsTest, ValuesAreCutToTheirBuffers) {
  const struct {
    const char* x;
    const char* y;
    const char* flag;
    int wantX;
    int wantY;
    bool wantFlag;
  } cases[] = {
      {"12345", "99999", "1", 1234, 9999, true},
      {"-123", "-1234", "0", -123, -123, false},
      {"+50", "7px", "12", 50, 7, true},
      {"abc", "", "x", 0, 0, false},
      {"300", "200", "-1", 300, 200, false},  // "-" alone: 0
      {"0", "0", "9", 0, 0, true},
  };
  for (const auto& c : cases) {
    WriteIni(std::string("[CountWindow]\r\nCountPos.x=") + c.x + "\r\nCountPos.y=" + c.y + "\r\nFix=" + c.flag +
             "\r\nTopMost=" + c.flag + "\r\nTransParent=" + c.flag + "\r\n[Setting]\r\nStartUp=" + c.flag + "\r\n");
    LoadSettings();
    EXPECT_EQ(countWindowSettings.homePosition.x, c.wantX) << c.x;
    EXPECT_EQ(countWindowSettings.homePosition.y, c.wantY) << c.y;
    EXPECT_EQ(countWindowSettings.lastMovedPosition.x, c.wantX) << c.x;
    EXPECT_EQ(countWindowSettings.lastMovedPosition.y, c.wantY) << c.y;
    EXPECT_EQ(countWindowSettings.fixed, c.wantFlag) << c.flag;
    EXPECT_EQ(countWindowSettings.topMost, c.wantFlag) << c.flag;
    EXPECT_EQ(countWindowSettings.clickThrough, c.wantFlag) << c.flag;
    EXPECT_EQ(startWithWindows, c.wantFlag) << c.flag;
  }
}

TEST_F(CountWindowSettingsTest, CountdownProgramReadsItsOwnFileWithoutStartUp) {
  ASSERT_TRUE(WriteBytes(L"sopora.ini", "[CountWindow]\r\nCountPos.x=10\r\n[Setting]\r\nStartUp=1\r\n"));
  startWithWindows = false;
  countWindowConfig = kCountdownCountWindowConfig;
  LoadCountWindowSettings(workArea);
  EXPECT_EQ(countWindowSettings.homePosition.x, 10);
  EXPECT_FALSE(startWithWindows);
}

TEST_F(CountWindowSettingsTest, DefaultProfileNameFitsItsBuffer) {
  wchar_t name[kProfileNameChars];
  ReadDefaultProfileName(name);
  EXPECT_STREQ(name, L"");
  WriteIni("[Setting]\r\nDefProfile=" + std::string(40, 'p') + "\r\n");
  ReadDefaultProfileName(name);
  EXPECT_EQ(std::wstring(name), std::wstring(31, L'p'));
  WriteIni("[Setting]\r\nDefProfile=night\r\n");
  ReadDefaultProfileName(name);
  EXPECT_STREQ(name, L"night");
}

}  // namespace
