#include "profile_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "beep_counter.h"
#include "main_window_state.h"
#include "message_box_catcher.h"
#include "modal_driver.h"
#include "process_windows.h"
#include "profile_file.h"
#include "schedule_edit.h"
#include "schedule_model.h"
#include "shared/app_launcher.h"
#include "shared/program_paths.h"
#include "shared/schedule_time.h"
#include "shortcut_fields.h"
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
    // The shortcut goes into this test's folder, never the prefix's Startup folder.
    CreateDirectoryW(temp_.Path(L"Startup").c_str(), nullptr);
    SetStartupFolderOverride(temp_.Path(L"Startup").c_str());
    shortcut_ = temp_.Path(L"Startup\\sopora-profile-dialog-test.lnk");
    startWithWindows = false;
  }
  void TearDown() override {
    SetStartupFolderOverride(nullptr);
    SetProgramPaths(L"", L"");
    TempFolderTest::TearDown();
  }
  std::wstring shortcut_;
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

// Past the first ten files the search returns, every profile is still a row
// and a choice of default.
TEST_F(ProfileDialogTest, TwelveFilesAreListedAndOfferedAsDefault) {
  for (int i = 0; i < 12; ++i)
    ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"profile\\scheduler\\p" + std::to_wstring(i) + L".dat"),
                                            std::string("\1\0\0\0", 4)));
  WritePrivateProfileStringW(L"Setting", L"DefProfile", L"p11", L".\\Scheduler.ini");
  int rows = -1, choices = -1;
  std::wstring chosen;
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    rows = Rows(dialog);
    HWND combo = GetDlgItem(dialog, kDefaultProfileComboId);
    choices = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    wchar_t text[64] = {};
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected >= 0 && SendMessageW(combo, CB_GETLBTEXTLEN, selected, 0) < 64)
      SendMessageW(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    chosen = text;
    Press(dialog, IDCANCEL);
    return true;
  });
  RunProfileDialog(nullptr);
  EXPECT_EQ(rows, 12);
  EXPECT_EQ(choices, 13);  // the twelve and "なし"
  EXPECT_EQ(chosen, L"p11");
}

// Deleting the default profile's file clears the keys at once: a Cancel
// afterwards must not leave DefProfile naming a file that is gone.
TEST_F(ProfileDialogTest, DeletingTheDefaultProfileClearsTheKeysEvenOnCancel) {
  const std::wstring file = temp_.Path(L"profile\\scheduler\\abc.dat");
  ASSERT_TRUE(testing_support::WriteBytes(file, std::string("\0\0\0\0", 4)));
  WritePrivateProfileStringW(L"Setting", L"DefProfile", L"abc", L".\\Scheduler.ini");
  WritePrivateProfileStringW(L"Setting", L"StartUp", L"1", L".\\Scheduler.ini");
  ASSERT_TRUE(CreateStartupShortcut(L"abc"));
  ASSERT_TRUE(testing_support::FileExists(shortcut_));
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
  EXPECT_FALSE(testing_support::FileExists(shortcut_));
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

TEST_F(ProfileDialogTest, EnterInTheNameEditSavesAndKeepsTheDialogOpen) {
  int rounds = 0, steadyRounds = 0, rows = -1;
  bool entered = false;
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    HWND edit = GetDlgItem(dialog, kProfileNameEditId);
    if (!entered) {
      // The activation of a new dialog can move the focus after the first
      // round: press Enter once the focus has stayed in the edit.
      steadyRounds = GetFocus() == edit ? steadyRounds + 1 : 0;
      if (steadyRounds < 3 && ++rounds < 200) {
        SetForegroundWindow(dialog);
        SetFocus(edit);
        return false;
      }
      SetWindowTextW(edit, L"entered");
      PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
      PostMessageW(edit, WM_KEYUP, VK_RETURN, 0);
      entered = true;
      return false;
    }
    rows = Rows(dialog);
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(RunProfileDialog(nullptr), 0);
  EXPECT_GE(steadyRounds, 3) << "the name edit never kept the focus";
  EXPECT_EQ(rows, 1);
  EXPECT_TRUE(testing_support::FileExists(temp_.Path(L"profile\\scheduler\\entered.dat")));
  EXPECT_EQ(Setting(L"DefProfile"), L"?") << "the dialog did not end with OK";
}

std::wstring ModeCell(HWND dialog, int row) {
  wchar_t text[64] = {};
  ListView_GetItemText(GetDlgItem(dialog, kProfileListId), row, 1, text, 64);
  return text;
}

// Each row shows the mode its file was saved in; a save, new or over an old
// file, shows the mode it wrote.
TEST_F(ProfileDialogTest, RowsShowTheModeOfTheirFile) {
  ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"profile\\scheduler\\old.dat"), std::string("\0\0\0\0", 4)));
  scheduleMode = WeeklyMode;
  wcscpy(modeNameText, ScheduleModeName(WeeklyMode));
  std::wstring oldBefore, oldAfter, added;
  testing_support::SetMessageBoxAnswer(IDYES);
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    oldBefore = ModeCell(dialog, 0);
    Save(dialog, L"new");
    added = ModeCell(dialog, 1);
    Save(dialog, L"OLD");
    oldAfter = ModeCell(dialog, 0);
    Press(dialog, IDCANCEL);
    return true;
  });
  RunProfileDialog(nullptr);
  EXPECT_EQ(oldBefore, L"日時指定");
  EXPECT_EQ(added, L"毎週繰り返す");
  EXPECT_EQ(oldAfter, L"毎週繰り返す");
  const auto listed = ListProfileFiles(schedulerProfileFolder);
  ASSERT_EQ(listed.size(), 2u);
  for (const auto& entry : listed) EXPECT_EQ(entry.modeText, L"毎週繰り返す") << entry.name;
  const auto boxes = testing_support::CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kOverwriteQuestionText);
}

// A folder in the file's place: the save fails, is reported, and the name
// becomes neither a row nor a choice of default.
TEST_F(ProfileDialogTest, AFailedSaveIsReportedAndAddsNoRow) {
  ASSERT_TRUE(CreateDirectoryW(temp_.Path(L"profile\\scheduler\\dir.dat").c_str(), nullptr));
  int rowsBefore = -1, rowsAfter = -1, choices = -1;
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    rowsBefore = Rows(dialog);
    Save(dialog, L"dir");
    rowsAfter = Rows(dialog);
    choices = static_cast<int>(SendDlgItemMessageW(dialog, kDefaultProfileComboId, CB_GETCOUNT, 0, 0));
    Press(dialog, IDCANCEL);
    return true;
  });
  RunProfileDialog(nullptr);
  EXPECT_EQ(rowsBefore, 0);
  EXPECT_EQ(rowsAfter, 0);
  EXPECT_EQ(choices, 1);
  const auto boxes = testing_support::CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"ファイル書き込みエラー");
}

// A user's schedule of one item, added the way the main dialog adds it.
void PutOneItem(ScheduleMode mode, const SYSTEMTIME& when, int32_t action) {
  ResetModelToDefaults(scheduleTable, orderTable, profileSettings, L"C:\\ss");
  scheduleMode = mode;
  const SYSTEMTIME time = ComposeItemTime(mode, when, when);
  const AddPlan plan = PlanAddItem(scheduleTable, orderTable, 0, time, action);
  ASSERT_EQ(plan.kind, AddKind::Insert);
  CommitAddItem(scheduleTable, orderTable, mode, 0, plan, time, action);
}

bool LabelShown(HWND dialog) { return IsWindowVisible(GetDlgItem(dialog, kProfileLoadedLabelId)) != FALSE; }

void Tick(HWND dialog) { SendMessageW(dialog, WM_TIMER, kLoadLabelTimerId, 0); }

// "ロード" with no row chosen does nothing here, without the countdown's beep.
TEST_F(ProfileDialogTest, LoadWithoutARowDoesNothing) {
  testing_support::BeepCounter beeps;
  ASSERT_TRUE(beeps.installed());
  size_t beepsAfterLoad = 99;
  bool labelShown = true;
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    Save(dialog, L"one");
    ListView_SetItemState(GetDlgItem(dialog, kProfileListId), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    beeps.clear();
    Press(dialog, kProfileLoadButtonId);
    beepsAfterLoad = beeps.beeps().size();
    labelShown = IsWindowVisible(GetDlgItem(dialog, kProfileLoadedLabelId));
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(RunProfileDialog(nullptr), 0);
  EXPECT_EQ(beepsAfterLoad, 0u);
  EXPECT_FALSE(labelShown);
  EXPECT_TRUE(testing_support::CaughtMessageBoxes().empty());
}

TEST_F(ProfileDialogTest, LoadReplacesTheModelAndTheLabelGoesOnTheSecondTick) {
  SYSTEMTIME morning{};
  GetLocalTime(&morning);
  morning.wHour = 7;
  morning.wMinute = 30;
  PutOneItem(DailyMode, morning, Restart);
  profileSettings.general.bringToFrontSeconds = 45;

  bool changedBeforeLoad = false, shownAfterLoad = false, shownAfterOneTick = false, shownAfterReload = false,
       shownAfterReloadTick = false, shownAfterSecondTick = true;
  ScheduleMode loadedMode = DateMode;
  int32_t loadedPosition = -1;
  ScheduleItem loadedItem{};
  int32_t loadedBringToFront = 0;
  DWORD realLoadAt = 0;
  long hiddenAfterMs = -1;
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    if (realLoadAt == 0) {
      Save(dialog, L"朝");
      // What the user edits after the save; the load must bring the saved schedule back.
      ResetModelToDefaults(scheduleTable, orderTable, profileSettings, L"C:\\ss");
      scheduleMode = DateMode;
      changedBeforeLoad = orderTable[0][0] == -1;
      SelectRow(dialog, 0);
      Press(dialog, kProfileLoadButtonId);
      loadedMode = scheduleMode;
      loadedPosition = orderTable[0][0];
      if (loadedPosition >= 0) loadedItem = scheduleTable[0][loadedPosition];
      loadedBringToFront = profileSettings.general.bringToFrontSeconds;
      shownAfterLoad = LabelShown(dialog);
      Tick(dialog);
      shownAfterOneTick = LabelShown(dialog);
      // A second load starts the two ticks again.
      Press(dialog, kProfileLoadButtonId);
      shownAfterReload = LabelShown(dialog);
      Tick(dialog);
      shownAfterReloadTick = LabelShown(dialog);
      Tick(dialog);
      shownAfterSecondTick = LabelShown(dialog);
      // Now through the dialog's own timer.
      Press(dialog, kProfileLoadButtonId);
      realLoadAt = GetTickCount();
      return false;
    }
    const DWORD elapsed = GetTickCount() - realLoadAt;
    if (!LabelShown(dialog)) hiddenAfterMs = static_cast<long>(elapsed);
    if (hiddenAfterMs < 0 && elapsed < 10000) return false;
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(RunProfileDialog(nullptr), 1) << "a load, then Cancel";
  ASSERT_TRUE(changedBeforeLoad);
  EXPECT_EQ(loadedMode, DailyMode);
  ASSERT_GE(loadedPosition, 0);
  EXPECT_EQ(loadedItem.action, Restart);
  EXPECT_EQ(loadedItem.time.wHour, 7);
  EXPECT_EQ(loadedItem.time.wMinute, 30);
  EXPECT_EQ(loadedBringToFront, 45);
  EXPECT_TRUE(shownAfterLoad);
  EXPECT_TRUE(shownAfterOneTick);
  EXPECT_TRUE(shownAfterReload);
  EXPECT_TRUE(shownAfterReloadTick);
  EXPECT_FALSE(shownAfterSecondTick);
  ASSERT_GE(hiddenAfterMs, 0) << "the label was still shown after 10 s";
  EXPECT_GE(hiddenAfterMs, 1500) << "two ticks of one second";
  EXPECT_TRUE(testing_support::CaughtMessageBoxes().empty());
}

// A short file and a profile cut in half: each is reported, shows no
// "ロード完了." and leaves the schedule as it was.
TEST_F(ProfileDialogTest, AFailedLoadIsReportedAndChangesNothing) {
  SYSTEMTIME when{};
  GetLocalTime(&when);
  PutOneItem(DateMode, when, Shutdown);
  ASSERT_TRUE(SaveProfileFile(nullptr, L"whole"));
  const std::wstring whole = temp_.Path(L"profile\\scheduler\\whole.dat");
  const std::string bytes = testing_support::ReadBytes(whole);
  ASSERT_GT(bytes.size(), 1000u);
  ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"profile\\scheduler\\half.dat"), bytes.substr(0, bytes.size() / 2)));
  ASSERT_TRUE(testing_support::WriteBytes(temp_.Path(L"profile\\scheduler\\short.dat"), "\1"));
  ASSERT_TRUE(DeleteFileW(whole.c_str()));
  SYSTEMTIME morning = when;
  morning.wHour = 7;
  morning.wMinute = 30;
  PutOneItem(DailyMode, morning, Restart);

  int rows = -1, labelsShown = 0;
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    rows = Rows(dialog);
    for (int row = 0; row < rows; ++row) {
      SelectRow(dialog, row);
      Press(dialog, kProfileLoadButtonId);
      labelsShown += LabelShown(dialog);
    }
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(RunProfileDialog(nullptr), 0) << "nothing was loaded";
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(labelsShown, 0);
  const auto boxes = testing_support::CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) EXPECT_EQ(box.caption, L"プロファイル読み込みエラー");
  EXPECT_EQ(scheduleMode, DailyMode);
  ASSERT_GE(orderTable[0][0], 0);
  EXPECT_EQ(scheduleTable[0][orderTable[0][0]].action, Restart);
  EXPECT_EQ(scheduleTable[0][orderTable[0][0]].time.wHour, 7);
}

// Pastes through the clipboard, as the user does; false when the clipboard refused the text.
bool PasteInto(HWND edit, const std::wstring& text) {
  if (!OpenClipboard(edit)) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory) {
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
  }
  const bool set = memory && SetClipboardData(CF_UNICODETEXT, memory);
  if (!set && memory) GlobalFree(memory);
  CloseClipboard();
  if (!set) return false;
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_PASTE, 0, 0);
  return true;
}

std::wstring EditText(HWND dialog) {
  wchar_t text[128] = {};
  GetDlgItemTextW(dialog, kProfileNameEditId, text, 128);
  return text;
}

TEST_F(ProfileDialogTest, ANameOverTwentyEightIsRefusedAndAPasteIsCut) {
  const std::wstring set29(29, L'x');
  const std::wstring pasted = L"0123456789abcdefghijklmnopqrstuvwxyz";
  const std::wstring cut = pasted.substr(0, 28);
  int rowsAfterRefusal = -1, rowsAfterPaste = -1;
  size_t boxesAfterRefusal = 0;
  bool pasteDone = false;
  std::wstring afterPaste;
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    Save(dialog, set29.c_str());
    rowsAfterRefusal = Rows(dialog);
    boxesAfterRefusal = testing_support::CaughtMessageBoxes().size();
    pasteDone = PasteInto(GetDlgItem(dialog, kProfileNameEditId), pasted);
    afterPaste = EditText(dialog);
    Press(dialog, kProfileSaveButtonId);
    rowsAfterPaste = Rows(dialog);
    Press(dialog, IDCANCEL);
    return true;
  });
  RunProfileDialog(nullptr);
  const auto boxes = testing_support::CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kNameTooLongText);
  EXPECT_EQ(boxesAfterRefusal, 1u);
  EXPECT_EQ(rowsAfterRefusal, 0);
  EXPECT_FALSE(testing_support::FileExists(temp_.Path(L"profile\\scheduler\\" + set29 + L".dat")));
  ASSERT_TRUE(pasteDone) << "the clipboard took no text";
  EXPECT_EQ(afterPaste, cut);
  EXPECT_EQ(rowsAfterPaste, 1);
  // Saved under the cut name, and listed again at the next opening.
  const auto listed = ListProfileFiles(schedulerProfileFolder);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].name, cut);
}

constexpr const wchar_t* kEveningProfile = L"夜 の予定";

// Saves the schedule as kEveningProfile, chooses it as the default, ticks (or
// not) the start-with-Windows box and ends the dialog with `button`. Returns
// whether the box was enabled once the profile was chosen.
bool SaveChooseAndEnd(bool tick, int button) {
  bool boxEnabled = false;
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    Save(dialog, kEveningProfile);
    HWND combo = GetDlgItem(dialog, kDefaultProfileComboId);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kDefaultProfileComboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    boxEnabled = IsWindowEnabled(GetDlgItem(dialog, kStartWithWindowsBoxId)) != FALSE;
    CheckDlgButton(dialog, kStartWithWindowsBoxId, tick ? BST_CHECKED : BST_UNCHECKED);
    SetFocus(GetDlgItem(dialog, IDOK));
    Press(dialog, button);
    return true;
  });
  RunProfileDialog(nullptr);
  return boxEnabled;
}

std::wstring ModulePath() {
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  return module;
}

struct EndCase {
  const char* label;
  int button;
  bool shortcutBlocked;  // a folder in the shortcut's place
  const wchar_t* defProfile;
  const wchar_t* startUp;
  bool shortcutMade;
  bool failureReported;
};

void PrintTo(const EndCase& c, std::ostream* out) { *out << c.label; }

class ProfileDialogEndTest : public ProfileDialogTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(ProfileDialogEndTest, OkWritesTheKeysAndTheShortcutCancelWritesNothing) {
  const EndCase& c = GetParam();
  WritePrivateProfileStringW(L"Setting", L"DefProfile", L"old", L".\\Scheduler.ini");
  WritePrivateProfileStringW(L"Setting", L"StartUp", L"1", L".\\Scheduler.ini");
  startWithWindows = true;
  const std::string iniBefore = testing_support::ReadBytes(temp_.Path(L"Scheduler.ini"));
  if (c.shortcutBlocked) {
    ASSERT_TRUE(CreateDirectoryW(shortcut_.c_str(), nullptr));
  }

  EXPECT_TRUE(SaveChooseAndEnd(true, c.button)) << "choosing a profile enables the box";

  EXPECT_EQ(Setting(L"DefProfile"), c.defProfile);
  EXPECT_EQ(Setting(L"StartUp"), c.startUp);
  if (c.button == IDCANCEL) {
    EXPECT_EQ(testing_support::ReadBytes(temp_.Path(L"Scheduler.ini")), iniBefore);
    EXPECT_TRUE(startWithWindows);
  } else {
    EXPECT_EQ(startWithWindows, c.shortcutMade);
  }
  CoInitialize(nullptr);
  const testing_support::ShortcutFields fields = testing_support::ReadShortcut(shortcut_);
  CoUninitialize();
  EXPECT_EQ(fields.loaded, c.shortcutMade);
  if (c.shortcutMade) {
    EXPECT_EQ(_wcsicmp(fields.target.c_str(), ModulePath().c_str()), 0) << fields.target;
    EXPECT_EQ(fields.arguments, L"\"start:" + std::wstring(kEveningProfile) + L"\"");
  }
  if (c.shortcutBlocked) {
    EXPECT_TRUE(GetFileAttributesW(shortcut_.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  }
  const auto boxes = testing_support::CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), c.failureReported ? 1u : 0u);
  if (c.failureReported) {
    EXPECT_EQ(boxes[0].text, kShortcutFailedText);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ends, ProfileDialogEndTest,
    ::testing::Values(EndCase{"Ok", IDOK, false, L"夜 の予定", L"1", true, false},
                      EndCase{"OkWithoutShortcut", IDOK, true, L"夜 の予定", L"0", false, true},
                      EndCase{"Cancel", IDCANCEL, false, L"old", L"1", false, false}),
    [](const ::testing::TestParamInfo<EndCase>& param) { return std::string(param.param.label); });

using testing_support::PumpMessagesUntil;
using namespace testing_support::process_windows;

struct ProgramWindowSearch {
  DWORD processId;
  const wchar_t* className;
  int childId;
  HWND found;
};

BOOL CALLBACK MatchProgramWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<ProgramWindowSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t cls[64] = L"";
  GetClassNameW(window, cls, 64);
  if (pid != search->processId || lstrcmpW(cls, search->className) != 0) return TRUE;
  if (search->childId && !GetDlgItem(window, search->childId)) return TRUE;
  search->found = window;
  return FALSE;
}

// A top-level window of the process, shown or hidden, of that class and,
// when childId is not 0, with that child.
HWND FindProgramWindow(DWORD processId, const wchar_t* className, int childId) {
  ProgramWindowSearch search{processId, className, childId, nullptr};
  EnumWindows(MatchProgramWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The countdown dialog's "HH:MM:SS" in seconds, or -1 while there is none.
int RemainingSeconds(DWORD processId) {
  constexpr int kCountdownStaticId = 1087;
  HWND dialog = FindProgramWindow(processId, L"#32770", kCountdownStaticId);
  if (!dialog) return -1;
  wchar_t text[32] = L"";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(GetDlgItem(dialog, kCountdownStaticId), WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, 2000, &copied))
    return -1;
  int h = 0, m = 0, sec = 0;
  if (swscanf(text, L"%d:%d:%d", &h, &m, &sec) != 3) return -1;
  return h * 3600 + m * 60 + sec;
}

struct StartCase {
  const char* label;
  bool startWithWindows;  // the program gets the Startup shortcut's arguments
  bool pressStart;        // the default profile only loads; the user starts it
};
void PrintTo(const StartCase& c, std::ostream* out) { *out << c.label; }

// A profile saved through the dialog, started by a fresh SoporaScheduler.exe
// in this test's folder. Its one shutdown is an hour ahead: the program is
// ended long before it is due.
class ProfileStartTest : public ProfileDialogTest, public ::testing::WithParamInterface<StartCase> {
 protected:
  void TearDown() override {
    // Before the folder goes: the program runs in it.
    programs_.EndAll();
    ProfileDialogTest::TearDown();
  }
  StartedPrograms programs_;
};

TEST_P(ProfileStartTest, TheSavedProfileIsStartedAndCountsDown) {
  const StartCase& c = GetParam();
  SYSTEMTIME due{};
  GetLocalTime(&due);
  AddDaysToSystemTime(&due, 1.0 / 24);
  PutOneItem(DateMode, due, Shutdown);
  ASSERT_TRUE(SaveChooseAndEnd(c.startWithWindows, IDOK));
  ASSERT_EQ(Setting(L"DefProfile"), kEveningProfile);
  std::wstring arguments;
  if (c.startWithWindows) {
    CoInitialize(nullptr);
    arguments = testing_support::ReadShortcut(shortcut_).arguments;
    CoUninitialize();
    ASSERT_FALSE(arguments.empty()) << "no shortcut";
  }
  const std::wstring program = temp_.Path(L"SoporaScheduler.exe");
  ASSERT_TRUE(CopyFileW(HostPathToWine(SOPORA_SCHEDULER_EXE).c_str(), program.c_str(), FALSE));

  const PROCESS_INFORMATION process = programs_.Start(program, arguments, temp_.path());
  ASSERT_NE(process.hProcess, nullptr);
  if (c.pressStart) {
    HWND frame = WaitForProcessWindow(process.dwProcessId, L"SOPORASCHEDULER");
    ASSERT_NE(frame, nullptr) << "the program did not come up with the profile loaded";
    HWND mainDialog = FindWindowExW(frame, nullptr, L"#32770", nullptr);
    ASSERT_NE(mainDialog, nullptr);
    EXPECT_EQ(RemainingSeconds(process.dwProcessId), -1) << "the default profile started by itself";
    PostMessageW(mainDialog, WM_COMMAND, IDOK, 0);
  }
  // The dialog opens on "00:00:00" until its first tick.
  int first = -1;
  ASSERT_TRUE(PumpMessagesUntil([&] { return (first = RemainingSeconds(process.dwProcessId)) > 0; }))
      << "no countdown";
  EXPECT_GT(first, 3600 - 120);
  EXPECT_LE(first, 3600);
  int later = first;
  EXPECT_TRUE(PumpMessagesUntil([&] { return (later = RemainingSeconds(process.dwProcessId)) < first; }));
  EXPECT_GE(later, first - 30);

  HWND frame = FindProgramWindow(process.dwProcessId, L"SOPORASCHEDULER", 0);
  ASSERT_NE(frame, nullptr);
  PostMessageW(frame, WM_COMMAND, 105, 0);
  EXPECT_EQ(StartedPrograms::WaitForExit(process), 0u);
  EXPECT_FALSE(testing_support::FileExists(temp_.Path(L"Scheduler_error.txt")));
}

INSTANTIATE_TEST_SUITE_P(Starts, ProfileStartTest,
                         ::testing::Values(StartCase{"StartupShortcutArguments", true, false},
                                           StartCase{"DefProfile", false, true}),
                         [](const ::testing::TestParamInfo<StartCase>& param) { return std::string(param.param.label); });

}  // namespace
