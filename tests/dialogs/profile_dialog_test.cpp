#include "profile_dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "message_box_catcher.h"
#include "modal_driver.h"
#include "shared/program_paths.h"
#include "temp_folder.h"

namespace {

using testing_support::TempFolderTest;

TEST(ProfileModeTextTest, ShortFilesAndUnknownValuesShowUnknown) {
  const uint8_t daily[4] = {1, 0, 0, 0}, weekly[4] = {2, 0, 0, 0}, bad[4] = {3, 0, 0, 0};
  EXPECT_STREQ(ProfileModeText(daily, 4), L"毎日繰り返す");
  EXPECT_STREQ(ProfileModeText(weekly, 4), L"毎週繰り返す");
  EXPECT_STREQ(ProfileModeText(bad, 4), L"不明");
  EXPECT_STREQ(ProfileModeText(daily, 3), L"不明");
}

TEST(ProfileNameForSaveTest, RefusedNames) {
  const std::wstring longest(28, L'a'), tooLong(29, L'a');
  EXPECT_EQ(CheckProfileNameForSave(longest.c_str()), ProfileNameCheck::Ok);
  EXPECT_EQ(CheckProfileNameForSave(tooLong.c_str()), ProfileNameCheck::TooLong);
  EXPECT_EQ(CheckProfileNameForSave(L""), ProfileNameCheck::Empty);
  for (const wchar_t* name : {L"CON", L"con", L"Nul.txt", L"COM1", L"lpt9.dat", L"AUX", L"PRN", L"a\\b", L"a/b",
                              L"a:b", L"a*", L"a?", L"\"a\"", L"<a>", L"a|b", L".a", L"a.", L" a", L"a ", L"a\tb"})
    EXPECT_EQ(CheckProfileNameForSave(name), ProfileNameCheck::Refused) << name;
}

TEST(SameProfileNameTest, LetterCaseIsIgnored) {
  EXPECT_EQ(FindSameProfileName({L"x", L"ABC"}, L"abc"), 1);
  EXPECT_EQ(FindSameProfileName({L"x"}, L"abc"), -1);
}

class ProfileListTest : public TempFolderTest {};

TEST_F(ProfileListTest, TwelveFilesAreAllListed) {
  for (int i = 0; i < 12; ++i)
    ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"p" + std::to_wstring(i) + L".dat"), std::string("\2\0\0\0", 4)));
  ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"short.dat"), "\1"));
  const auto entries = ListProfileFiles(temp_.path().c_str());
  ASSERT_EQ(entries.size(), 13u);
  int unknown = 0;
  for (const auto& entry : entries) unknown += entry.modeText == L"不明";
  EXPECT_EQ(unknown, 1);
}

}  // namespace
