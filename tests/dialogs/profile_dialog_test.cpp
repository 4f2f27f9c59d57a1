#include "profile_dialog.h"

#include <commctrl.h>
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

class ProfileDialogTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    SetProgramPaths(temp_.path().c_str(), L"sopora-profile-dialog-test");
    CreateDirectoryW(temp_.Path(L"profile").c_str(), nullptr);
    CreateDirectoryW(temp_.Path(L"profile\\scheduler").c_str(), nullptr);
  }
  void TearDown() override {
    SetProgramPaths(L"", L"");
    TempFolderTest::TearDown();
  }
};

int Rows(HWND dialog) { return ListView_GetItemCount(GetDlgItem(dialog, kProfileListId)); }

void Save(HWND dialog, const wchar_t* name) {
  SetDlgItemTextW(dialog, kProfileNameEditId, name);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kProfileSaveButtonId, BN_CLICKED), 0);
}

TEST_F(ProfileDialogTest, SaveAsksBeforeOverwritingANameOfOtherCaseAndOkWritesTheKeys) {
  int afterSave = -1, afterNo = -1, afterYes = -1;
  size_t boxesAfterNo = 0;
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    Save(dialog, L"abc");
    afterSave = Rows(dialog);
    testing_support::SetMessageBoxAnswer(IDNO);
    Save(dialog, L"ABC");
    afterNo = Rows(dialog);
    boxesAfterNo = testing_support::CaughtMessageBoxes().size();
    testing_support::SetMessageBoxAnswer(IDYES);
    Save(dialog, L"ABC");
    afterYes = Rows(dialog);
    SendDlgItemMessageW(dialog, kDefaultProfileComboId, CB_SETCURSEL, 1, 0);
    SetFocus(GetDlgItem(dialog, IDOK));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
  });
  EXPECT_EQ(RunProfileDialog(nullptr), 0);
  EXPECT_EQ(afterSave, 1);
  EXPECT_EQ(afterNo, 1);
  EXPECT_EQ(afterYes, 1);
  EXPECT_EQ(boxesAfterNo, 1u);
  const auto boxes = testing_support::CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, kOverwriteQuestionText);
  EXPECT_TRUE(testing_support::FileExists(temp_.Path(L"profile\\scheduler\\abc.dat")));
  wchar_t value[32] = {};
  GetPrivateProfileStringW(L"Setting", L"DefProfile", L"?", value, 32, L".\\Scheduler.ini");
  EXPECT_STREQ(value, L"abc");
  GetPrivateProfileStringW(L"Setting", L"StartUp", L"?", value, 32, L".\\Scheduler.ini");
  EXPECT_STREQ(value, L"0");
}

void SelectRow(HWND dialog, int row) {
  ListView_SetItemState(GetDlgItem(dialog, kProfileListId), row, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
}

void Press(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

std::wstring Setting(const wchar_t* key) {
  wchar_t value[64] = {};
  GetPrivateProfileStringW(L"Setting", key, L"?", value, 64, L".\\Scheduler.ini");
  return value;
}

// Deleting the default profile's file clears the keys at once: a Cancel
// afterwards must not leave DefProfile naming a file that is gone.
TEST_F(ProfileDialogTest, DeletingTheDefaultProfileClearsTheKeysEvenOnCancel) {
  const std::wstring file = temp_.Path(L"profile\\scheduler\\abc.dat");
  ASSERT_TRUE(testing_support::WriteBytes(file, std::string("\0\0\0\0", 4)));
  WritePrivateProfileStringW(L"Setting", L"DefProfile", L"abc", L".\\Scheduler.ini");
  WritePrivateProfileStringW(L"Setting", L"StartUp", L"1", L".\\Scheduler.ini");
  int rowsBefore = -1, rowsAfter = -1;
  testing_support::SetMessageBoxAnswer(IDYES);
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    rowsBefore = Rows(dialog);
    SelectRow(dialog, 0);
    Press(dialog, kProfileDeleteButtonId);
    rowsAfter = Rows(dialog);
    Press(dialog, IDCANCEL);
    return true;
  });
  RunProfileDialog(nullptr);
  EXPECT_EQ(rowsBefore, 1);
  EXPECT_EQ(rowsAfter, 0);
  EXPECT_FALSE(testing_support::FileExists(file));
  EXPECT_EQ(testing_support::CaughtMessageBoxes().size(), 2u);  // the delete and the default question
  EXPECT_EQ(Setting(L"DefProfile"), L"");
  EXPECT_EQ(Setting(L"StartUp"), L"0");
}

TEST_F(ProfileDialogTest, AFailedDeleteIsReportedAndTheRowStays) {
  const std::wstring file = temp_.Path(L"profile\\scheduler\\held.dat");
  ASSERT_TRUE(testing_support::WriteBytes(file, std::string("\1\0\0\0", 4)));
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  int rowsAfter = -1;
  testing_support::SetMessageBoxAnswer(IDYES);
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    SelectRow(dialog, 0);
    Press(dialog, kProfileDeleteButtonId);
    rowsAfter = Rows(dialog);
    Press(dialog, IDCANCEL);
    return true;
  });
  RunProfileDialog(nullptr);
  CloseHandle(held);
  EXPECT_EQ(rowsAfter, 1);
  EXPECT_TRUE(testing_support::FileExists(file));
  const auto boxes = testing_support::CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].caption, L"エラー");
  EXPECT_EQ(boxes[1].text.rfind(L"プロファイルを削除できませんでした。", 0), 0u);
  EXPECT_GT(boxes[1].text.size(), wcslen(L"プロファイルを削除できませんでした。\n"));
}

}  // namespace
