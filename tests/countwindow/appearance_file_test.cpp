#include "appearance.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "count_window_config.h"
#include "message_box_catcher.h"
#include "temp_folder.h"
#include "test_globals.h"

using testing_support::CaughtMessageBoxes;
using testing_support::FileExists;
using testing_support::ReadBytes;
using testing_support::TempFolderTest;
using testing_support::WriteBytes;

namespace {

int32_t Int32At(const std::string& bytes, size_t offset) {
  int32_t value;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

void PutInt32(std::string* bytes, size_t offset, int32_t value) { std::memcpy(&(*bytes)[offset], &value, 4); }

class AppearanceFileTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ResetAppearance();
  }
  void TearDown() override {
    ResetAppearance();
    TempFolderTest::TearDown();
  }
};

TEST(AppearanceLayout, FieldsLieAtTheirOffsetsWithoutPadding) {
  struct Expected {
    size_t offset, size;
  };
  const Expected expected[] = {{0, 4},   {4, 4},   {8, 4},   {12, 4},  {16, 1},
                               {17, 4},  {21, 4},  {25, 4},  {29, 16}, {45, 520}};
  const auto& layout = AppearanceFileLayout();
  ASSERT_EQ(layout.size(), std::size(expected));
  for (size_t i = 0; i < layout.size(); ++i) {
    EXPECT_EQ(layout[i].offset, expected[i].offset) << "field " << i;
    EXPECT_EQ(layout[i].size, expected[i].size) << "field " << i;
  }
  EXPECT_EQ(layout.back().offset + layout.back().size, kAppearanceFileSize);
}

TEST_F(AppearanceFileTest, WriterPutsEveryFieldAtItsOffset) {
  AppearanceState state = {};
  state.form = Custom;
  state.textBackgroundIndex = 4;
  state.typeIndex = 5;
  state.englishLabels = 1;
  state.savedTypeNormal = 2;
  state.savedBackgroundCustom = 3;
  state.savedTypeCustom = 1;
  state.savedColor = {7, 10, 20, 30};
  wcscpy(state.skinName, L"青空");
  state.textColor = {0, 99, 99, 99};  // not stored
  std::string bytes = WriteAppearanceBytes(state);
  ASSERT_EQ(bytes.size(), 565u);
  EXPECT_EQ(Int32At(bytes, 0), 1);
  EXPECT_EQ(Int32At(bytes, 4), 1);
  EXPECT_EQ(Int32At(bytes, 8), 4);
  EXPECT_EQ(Int32At(bytes, 12), 5);
  EXPECT_EQ(static_cast<uint8_t>(bytes[16]), 1);
  EXPECT_EQ(Int32At(bytes, 17), 2);
  EXPECT_EQ(Int32At(bytes, 21), 3);
  EXPECT_EQ(Int32At(bytes, 25), 1);
  EXPECT_EQ(Int32At(bytes, 29), 7);
  EXPECT_EQ(Int32At(bytes, 33), 10);
  EXPECT_EQ(Int32At(bytes, 37), 20);
  EXPECT_EQ(Int32At(bytes, 41), 30);
  EXPECT_EQ(std::memcmp(bytes.data() + 45, L"青空", 6), 0);
  EXPECT_EQ(bytes.substr(51, 514), std::string(514, '\0'));
}

TEST_F(AppearanceFileTest, MissingFileKeepsTheDefaultsSilently) {
  appearance.textColor = {0, 1, 2, 3};
  LoadAppearanceFile(nullptr);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  EXPECT_EQ(appearance.form, Normal);
  EXPECT_EQ(appearance.typeIndex, 0);
  EXPECT_EQ(appearance.textColor.blue, 3);
}

TEST_F(AppearanceFileTest, SavedFileLoadsBackTheSameWithTheCustomColour) {
  appearance.form = Custom;
  appearance.textBackgroundIndex = 2;
  appearance.typeIndex = 3;
  appearance.englishLabels = 1;
  appearance.savedTypeNormal = 4;
  appearance.savedBackgroundCustom = 2;
  appearance.savedTypeCustom = 3;
  appearance.savedColor = {0, 10, 20, 30};
  wcscpy(appearance.skinName, L"Sample");
  ASSERT_TRUE(SaveAppearanceFile(nullptr));
  std::string written = ReadBytes(temp_.Path(L"data_skd"));
  ASSERT_EQ(written.size(), 565u);

  ResetAppearance();
  LoadAppearanceFile(nullptr);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  EXPECT_EQ(appearance.form, Custom);
  EXPECT_EQ(appearance.textBackgroundIndex, 2);
  EXPECT_EQ(appearance.typeIndex, 3);
  EXPECT_EQ(appearance.englishLabels, 1);
  EXPECT_EQ(appearance.savedTypeNormal, 4);
  EXPECT_STREQ(appearance.skinName, L"Sample");
  EXPECT_EQ(appearance.textColor.red, 10);
  EXPECT_EQ(appearance.textColor.green, 20);
  EXPECT_EQ(appearance.textColor.blue, 30);
  EXPECT_EQ(WriteAppearanceBytes(appearance), written);
}

TEST_F(AppearanceFileTest, NormalFormKeepsBlackDigitsWhateverTheSavedColour) {
  AppearanceState state = {};
  state.form = Normal;
  state.savedColor = {0, 10, 20, 30};
  ASSERT_TRUE(WriteBytes(temp_.Path(L"data_skd"), WriteAppearanceBytes(state)));
  LoadAppearanceFile(nullptr);
  EXPECT_EQ(appearance.savedColor.green, 20);
  EXPECT_EQ(appearance.textColor.red, 0);
  EXPECT_EQ(appearance.textColor.green, 0);
  EXPECT_EQ(appearance.textColor.blue, 0);
}

TEST_F(AppearanceFileTest, ShortFileLeavesTheLaterFieldsAsTheyWere) {
  AppearanceState state = {};
  state.form = Custom;
  state.textBackgroundIndex = 1;
  state.typeIndex = 2;
  state.englishLabels = 1;
  state.savedTypeNormal = 5;
  std::string bytes = WriteAppearanceBytes(state).substr(0, 19);  // cut inside savedTypeNormal
  appearance.savedTypeCustom = 4;
  wcscpy(appearance.skinName, L"before");
  ASSERT_TRUE(WriteBytes(temp_.Path(L"data_skd"), bytes));
  LoadAppearanceFile(nullptr);
  EXPECT_EQ(appearance.form, Custom);
  EXPECT_EQ(appearance.typeIndex, 2);
  EXPECT_EQ(appearance.englishLabels, 1);
  EXPECT_EQ(appearance.savedTypeCustom, 4);
  EXPECT_STREQ(appearance.skinName, L"before");
}

TEST_F(AppearanceFileTest, EmptyFileChangesNothing) {
  appearance.typeIndex = 3;
  ASSERT_TRUE(WriteBytes(temp_.Path(L"data_skd"), std::string()));
  LoadAppearanceFile(nullptr);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  EXPECT_EQ(appearance.typeIndex, 3);
}

TEST_F(AppearanceFileTest, DamagedValuesAreClampedAndTheNameIsCut) {
  struct Case {
    size_t offset;
    int32_t value;
  };
  std::string bytes = WriteAppearanceBytes(AppearanceState());
  const Case cases[] = {{4, 7}, {8, -3}, {12, 99}, {17, 6}, {21, -1}, {25, 1 << 30},
                        {33, 300}, {37, -20}, {41, 255}};
  for (const Case& c : cases) PutInt32(&bytes, c.offset, c.value);
  bytes[16] = 9;
  for (size_t i = 45; i < 565; i += 2) {  // 260 units of 'A', no terminator
    bytes[i] = 'A';
    bytes[i + 1] = 0;
  }
  ASSERT_TRUE(WriteBytes(temp_.Path(L"data_skd"), bytes));
  LoadAppearanceFile(nullptr);
  EXPECT_EQ(appearance.form, Normal);
  EXPECT_EQ(appearance.textBackgroundIndex, 0);
  EXPECT_EQ(appearance.typeIndex, 0);
  EXPECT_EQ(appearance.savedTypeNormal, 0);
  EXPECT_EQ(appearance.savedBackgroundCustom, 0);
  EXPECT_EQ(appearance.savedTypeCustom, 0);
  EXPECT_EQ(appearance.englishLabels, 1);
  EXPECT_EQ(appearance.savedColor.red, 255);
  EXPECT_EQ(appearance.savedColor.green, 0);
  EXPECT_EQ(appearance.savedColor.blue, 255);
  EXPECT_EQ(wcslen(appearance.skinName), 259u);
}

TEST_F(AppearanceFileTest, CustomFormWithDamagedColourGivesAClampedDigitColour) {
  std::string bytes = WriteAppearanceBytes(AppearanceState());
  PutInt32(&bytes, 4, Custom);
  PutInt32(&bytes, 33, -1);
  PutInt32(&bytes, 37, 1000);
  PutInt32(&bytes, 41, 128);
  ASSERT_TRUE(WriteBytes(temp_.Path(L"data_skd"), bytes));
  LoadAppearanceFile(nullptr);
  EXPECT_EQ(appearance.textColor.red, 0);
  EXPECT_EQ(appearance.textColor.green, 255);
  EXPECT_EQ(appearance.textColor.blue, 128);
}

TEST_F(AppearanceFileTest, UnreadableFileShowsTheOpenErrorAndKeepsTheDefaults) {
  ASSERT_TRUE(CreateDirectoryW(temp_.Path(L"data_skd").c_str(), nullptr));
  LoadAppearanceFile(nullptr);
  auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"data_skdファイルのオープンに失敗");
  EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(appearance.form, Normal);
}

TEST_F(AppearanceFileTest, SaveThatCannotOpenReportsAndWritesNothing) {
  ASSERT_TRUE(CreateDirectoryW(temp_.Path(L"data_skd").c_str(), nullptr));
  EXPECT_FALSE(SaveAppearanceFile(nullptr));
  auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"エラー");
  EXPECT_EQ(boxes[0].text, L"データ保存用ファイルのオープンに失敗。");
}

TEST_F(AppearanceFileTest, FailedSaveLeavesThePreviousFileWhole) {
  const std::string previous = WriteAppearanceBytes(appearance);
  ASSERT_TRUE(WriteBytes(temp_.Path(L"data_skd"), previous));
  // The new file cannot be written beside it.
  ASSERT_TRUE(CreateDirectoryW(temp_.Path(L"data_skd.tmp").c_str(), nullptr));
  appearance.form = Custom;
  appearance.typeIndex = 4;
  EXPECT_FALSE(SaveAppearanceFile(nullptr));
  auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"エラー");
  EXPECT_EQ(boxes[0].text, L"データ保存用ファイルのオープンに失敗。");
  EXPECT_EQ(ReadBytes(temp_.Path(L"data_skd")), previous);

  RemoveDirectoryW(temp_.Path(L"data_skd.tmp").c_str());
  ASSERT_TRUE(SaveAppearanceFile(nullptr));
  EXPECT_EQ(Int32At(ReadBytes(temp_.Path(L"data_skd")), 12), 4);
  EXPECT_FALSE(FileExists(temp_.Path(L"data_skd.tmp")));
}

TEST_F(AppearanceFileTest, CountdownProgramUsesItsOwnFileWithTheSameLayout) {
  countWindowConfig = kCountdownCountWindowConfig;
  appearance.typeIndex = 5;
  ASSERT_TRUE(SaveAppearanceFile(nullptr));
  EXPECT_TRUE(FileExists(temp_.Path(L"data")));
  EXPECT_FALSE(FileExists(temp_.Path(L"data_skd")));
  EXPECT_EQ(Int32At(ReadBytes(temp_.Path(L"data")), 12), 5);
  ASSERT_TRUE(CreateDirectoryW(temp_.Path(L"x").c_str(), nullptr));
  DeleteFileW(temp_.Path(L"data").c_str());
  ASSERT_TRUE(CreateDirectoryW(temp_.Path(L"data").c_str(), nullptr));
  LoadAppearanceFile(nullptr);
  auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"data_skdファイルのオープンに失敗");
}

}  // namespace
