#include "shared/utilities.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "temp_folder.h"

using testing_support::FileExists;
using testing_support::TempFolderTest;

namespace {

TEST(GetEditIntTest, ReadsLikeWtol) {
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  const struct {
    const wchar_t* text;
    int value;
  } cases[] = {{L"12abc", 12}, {L"", 0}, {L"-5", -5}, {L"  7", 7}, {L"+3x", 3}, {L"abc", 0}};
  for (const auto& c : cases) {
    SetWindowTextW(edit, c.text);
    int stored = 999;
    EXPECT_EQ(GetEditInt(&stored, edit), c.value) << c.text;
    EXPECT_EQ(stored, c.value) << c.text;
    EXPECT_EQ(GetEditInt(nullptr, edit), c.value) << c.text;
  }
  DestroyWindow(edit);
}

TEST(FillIntArrayTest, CopiesTheArgumentsInOrder) {
  int values[4] = {-1, -1, -1, -1};
  EXPECT_EQ(FillIntArray(values, 3, 7, 8, 9), 3);
  EXPECT_EQ(values[0], 7);
  EXPECT_EQ(values[1], 8);
  EXPECT_EQ(values[2], 9);
  EXPECT_EQ(values[3], -1);
  EXPECT_EQ(FillIntArray(values, 0), 0);
  EXPECT_EQ(values[0], 7);
}

class FolderTest : public TempFolderTest {};

TEST_F(FolderTest, CreateDirectoryIfMissingMakesEveryFolderButTheLast) {
  const std::wstring file = temp_.Path(L"a\\b\\c.jpg");
  CreateDirectoryIfMissing(file.c_str());
  EXPECT_TRUE(FileExists(temp_.Path(L"a")));
  EXPECT_TRUE(FileExists(temp_.Path(L"a\\b")));
  EXPECT_FALSE(FileExists(file));
  // Again, with everything there: nothing fails, nothing more is made.
  CreateDirectoryIfMissing(file.c_str());
  EXPECT_FALSE(FileExists(file));
}

TEST_F(FolderTest, CreateDirectoryIfMissingWithoutBackslashDoesNothing) {
  CreateDirectoryIfMissing(L"plain");
  EXPECT_FALSE(FileExists(temp_.Path(L"plain")));
}

TEST_F(FolderTest, ListSubfoldersIgnoresFilesAndDots) {
  CreateDirectoryW(temp_.Path(L"skin1").c_str(), nullptr);
  CreateDirectoryW(temp_.Path(L"skin2").c_str(), nullptr);
  ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"file.txt"), "x"));
  std::vector<std::wstring> found;
  EXPECT_TRUE(ListSubfolders(&found, temp_.Path(L"*").c_str()));
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::wstring>{L"skin1", L"skin2"}));

  std::vector<std::wstring> none;
  EXPECT_FALSE(ListSubfolders(&none, temp_.Path(L"missing*").c_str()));
  EXPECT_TRUE(none.empty());
}

TEST(CopyTextTest, AlwaysEndsWithNul) {
  wchar_t buffer[4];
  EXPECT_TRUE(CopyText(buffer, 4, L"abc"));
  EXPECT_STREQ(buffer, L"abc");
  EXPECT_FALSE(CopyText(buffer, 4, L"abcd"));
  EXPECT_STREQ(buffer, L"abc");
}

}  // namespace
