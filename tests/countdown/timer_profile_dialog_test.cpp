#include "timer_profile_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "countdown_state.h"
#include "message_box_catcher.h"
#include "beep_counter.h"
#include "modal_driver.h"
#include "screen.h"
#include "shared/ui_setup.h"
#include "shared/program_paths.h"
#include "temp_folder.h"
#include "timer_fakes.h"

namespace {

using testing_support::CaughtMessageBoxes;
using testing_support::FileExists;
using testing_support::SetMessageBoxAnswer;
using testing_support::WriteBytes;

class TimerProfileDialogTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    SetProgramPaths(temp_.path().c_str(), L"Sopora");
    CreateDirectoryW(temp_.Path(L"profile").c_str(), nullptr);
    TimerInitNames(6);
    timer_fakes::ResetTimerSettings();
  }
  void TearDown() override {
    SetProgramPaths(L"", L"");
    TempFolderTest::TearDown();
  }
  std::wstring FileOf(const std::wstring& name) { return temp_.Path(L"profile\\" + name + L".dat"); }
  // A real profile file as the program writes it.
  void WriteProfile(const std::wstring& name, int32_t mode, int32_t action) {
    TimerSettings s = timerSettings;
    s.mode = mode;
    s.action = action;
    const TimerProfileTail tail{30, 5, s.endTime, s.resumeTime};
    ASSERT_TRUE(WriteBytes(FileOf(name), EncodeTimerProfile(s, tail)));
  }
};

// Runs the dialog; `step` gets the open dialog and is called again until it
// returns true (it must end the dialog then). Returns the dialog's result.
INT_PTR RunDialog(std::function<bool(HWND)> step) {
  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kTimerProfileListId);
    return dialog && step(dialog);
  });
  return TimerRunProfileDialog(nullptr);
}

HWND List(HWND dialog) { return GetDlgItem(dialog, kTimerProfileListId); }
int Rows(HWND dialog) { return ListView_GetItemCount(List(dialog)); }

std::wstring Cell(HWND dialog, int row, int column) {
  wchar_t text[64] = {};
  ListView_GetItemText(List(dialog), row, column, text, 64);
  return text;
}

int RowOf(HWND dialog, const std::wstring& name) {
  for (int i = 0; i < Rows(dialog); ++i)
    if (Cell(dialog, i, 0) == name) return i;
  return -1;
}

std::vector<std::wstring> ComboTexts(HWND dialog) {
  std::vector<std::wstring> texts;
  HWND combo = GetDlgItem(dialog, kTimerDefaultProfileComboId);
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

std::wstring ComboSelection(HWND dialog) {
  HWND combo = GetDlgItem(dialog, kTimerDefaultProfileComboId);
  const int chosen = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  if (chosen < 0) return L"<none>";
  wchar_t text[64] = {};
  SendMessageW(combo, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text));
  return text;
}

void SelectCombo(HWND dialog, const std::wstring& text) {
  SendDlgItemMessageW(dialog, kTimerDefaultProfileComboId, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(text.c_str()));
}

void Press(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void Save(HWND dialog, const std::wstring& name) {
  SetDlgItemTextW(dialog, kTimerProfileNameEditId, name.c_str());
  Press(dialog, kTimerProfileSaveButtonId);
}

void SelectRow(HWND dialog, int row) {
  ListView_SetItemState(List(dialog), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// OK with the focus away from the name edit, as a click on the button leaves it.
void PressOk(HWND dialog) {
  SetFocus(GetDlgItem(dialog, IDOK));
  Press(dialog, IDOK);
}

std::wstring DefProfile() {
  wchar_t value[64] = {};
  GetPrivateProfileStringW(L"Setting", L"DefProfile", L"?", value, 64, L".\\sopora.ini");
  return value;
}
void SetDefProfile(const wchar_t* name) {
  WritePrivateProfileStringW(L"Setting", L"DefProfile", name, L".\\sopora.ini");
}

TEST(TimerProfileRowTextsTest, ModeAndActionNamesAndEmptyOutOfRange) {
  TimerInitNames(6);
  TimerSettings s{};
  const struct {
    int32_t mode, action;
    const wchar_t* modeText;
    const wchar_t* actionText;
  } cases[] = {
      {Time, Shutdown, L"時刻", L"シャットダウン"},
      {CpuUsage, Hibernate, L"CPU使用率", L"休止状態"},
      {EndNow, Standby, L"今すぐ終了", L"スリープ"},
      {3, 5, L"", L""},
      {-1, -1, L"", L""},
  };
  for (const auto& c : cases) {
    s.mode = c.mode;
    s.action = c.action;
    const std::string bytes = EncodeTimerProfile(s, {});
    const auto texts = TimerProfileRowTexts(reinterpret_cast<const uint8_t*>(bytes.data()), kTimerProfileHeadSize);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], c.modeText) << c.mode;
    EXPECT_EQ(texts[1], c.actionText) << c.action;
  }
}

TEST_F(TimerProfileDialogTest, ElevenProfilesAreAllListedAndOffered) {
  for (int i = 0; i < 11; ++i) WriteProfile(L"p" + std::to_wstring(i), i % 3, i % 5);
  // Nothing can load a name this long, so it is not offered.
  WriteProfile(std::wstring(32, L'x'), Time, Shutdown);
  WriteProfile(std::wstring(31, L'y'), CpuUsage, Restart);
  // Too short to show a mode: no row, yet a default it can still be chosen as.
  ASSERT_TRUE(WriteBytes(FileOf(L"short"), std::string(20, '\0')));
  int rows = -1;
  std::vector<std::wstring> combo;
  std::wstring tenthMode, eleventhAction, longMode;
  RunDialog([&](HWND dialog) {
    rows = Rows(dialog);
    combo = ComboTexts(dialog);
    tenthMode = Cell(dialog, RowOf(dialog, L"p9"), 1);
    eleventhAction = Cell(dialog, RowOf(dialog, L"p10"), 2);
    longMode = Cell(dialog, RowOf(dialog, std::wstring(31, L'y')), 1);
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(rows, 12);
  ASSERT_EQ(combo.size(), 14u);
  EXPECT_EQ(combo[0], L"なし");
  EXPECT_NE(std::find(combo.begin(), combo.end(), L"p10"), combo.end());
  EXPECT_NE(std::find(combo.begin(), combo.end(), L"short"), combo.end());
  EXPECT_EQ(std::find(combo.begin(), combo.end(), std::wstring(32, L'x')), combo.end());
  EXPECT_EQ(tenthMode, L"時刻");                // p9: mode 9 % 3
  EXPECT_EQ(eleventhAction, L"シャットダウン");  // p10: action 10 % 5
  EXPECT_EQ(longMode, L"CPU使用率");
}

TEST_F(TimerProfileDialogTest, TheLabelsAreDrawnInTheProgramsUiFont) {
  if (!uiFont) CreateUiFonts(nullptr, false);
  ASSERT_NE(uiFont, nullptr);
  RunDialog([&](HWND dialog) {
    testing_support::ExpectLabelsInFont(dialog, uiFont, "dialog 136", 3);
    Press(dialog, IDCANCEL);
    return true;
  });
}

// "ABC" names the file abc.dat: one row, one file, and the question first.
TEST_F(TimerProfileDialogTest, SaveAddsNewNamesAndAsksBeforeOverwritingInOtherCase) {
  int rowsAfterAbc = -1, rowsAfterAbcd = -1, rowsAfterNo = -1, rowsAfterYes = -1;
  size_t boxesBeforeNo = 99, boxesAfterNo = 0;
  std::wstring abcModeAfterYes, abcActionAfterYes, abcdRowName;
  std::vector<std::wstring> combo;
  const INT_PTR result = RunDialog([&](HWND dialog) {
    timerSettings.mode = Time;
    timerSettings.action = Logoff;
    Save(dialog, L"abc");
    rowsAfterAbc = Rows(dialog);
    // A prefix is no match.
    Save(dialog, L"abcd");
    rowsAfterAbcd = Rows(dialog);
    abcdRowName = Cell(dialog, 1, 0);
    boxesBeforeNo = CaughtMessageBoxes().size();
    timerSettings.mode = EndNow;
    timerSettings.action = Hibernate;
    SetMessageBoxAnswer(IDNO);
    Save(dialog, L"ABC");
    rowsAfterNo = Rows(dialog);
    boxesAfterNo = CaughtMessageBoxes().size();
    SetMessageBoxAnswer(IDYES);
    Save(dialog, L"ABC");
    rowsAfterYes = Rows(dialog);
    abcModeAfterYes = Cell(dialog, 0, 1);
    abcActionAfterYes = Cell(dialog, 0, 2);
    combo = ComboTexts(dialog);
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(rowsAfterAbc, 1);
  EXPECT_EQ(rowsAfterAbcd, 2);
  EXPECT_EQ(abcdRowName, L"abcd");
  EXPECT_EQ(boxesBeforeNo, 0u);
  EXPECT_EQ(rowsAfterNo, 2);
  ASSERT_EQ(boxesAfterNo, 1u);
  EXPECT_EQ(rowsAfterYes, 2);
  EXPECT_EQ(abcModeAfterYes, L"今すぐ終了");
  EXPECT_EQ(abcActionAfterYes, L"休止状態");
  EXPECT_EQ(combo, (std::vector<std::wstring>{L"なし", L"abc", L"abcd"}));
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.text, kTimerOverwriteQuestionText);
    EXPECT_EQ(box.caption, L"確認");
  }
  // The overwrite went to the one file: EndNow with times kept is the fixed part alone.
  EXPECT_EQ(testing_support::ReadBytes(FileOf(L"abc")).size(), kTimerProfileFixedSize);
  EXPECT_EQ(testing_support::ReadBytes(FileOf(L"abcd")).size(), kTimerProfileFixedSize + 16);
}

TEST_F(TimerProfileDialogTest, SaveRefusesNamesBeforeWritingAnything) {
  const struct {
    std::wstring name;
    const wchar_t* message;
  } cases[] = {
      {L"", kTimerEmptyNameText},
      // Text set from outside passes the edit's own limit.
      {std::wstring(32, L'n'), kTimerNameTooLongText},
      {L"..\\x", kBadProfileNameText},
      {L"a:b", kBadProfileNameText},
      {L"CON", kBadProfileNameText},
      {L"name.", kBadProfileNameText},
  };
  std::vector<int> rows;
  std::wstring longest(31, L'L');
  int longestRow = -1;
  RunDialog([&](HWND dialog) {
    for (const auto& c : cases) {
      Save(dialog, c.name);
      rows.push_back(Rows(dialog));
    }
    Save(dialog, longest);
    longestRow = RowOf(dialog, longest);
    Press(dialog, IDCANCEL);
    return true;
  });
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(boxes[i].text, cases[i].message) << i;
    EXPECT_EQ(boxes[i].caption, L"") << i;
    EXPECT_EQ(rows[i], 0) << i;
  }
  EXPECT_EQ(longestRow, 0);
  EXPECT_TRUE(FileExists(FileOf(longest)));
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(temp_.Path(L"profile\\*").c_str(), &found);
  int files = 0;
  if (search != INVALID_HANDLE_VALUE) {
    do files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileW(search, &found));
    FindClose(search);
  }
  EXPECT_EQ(files, 1);
  EXPECT_FALSE(FileExists(temp_.Path(L"x.dat")));
}

TEST_F(TimerProfileDialogTest, EnterInTheNameEditSavesAndKeepsTheDialogOpen) {
  int phase = 0, rounds = 0, steadyRounds = 0, rows = -1;
  const INT_PTR result = RunDialog([&](HWND dialog) {
    HWND edit = GetDlgItem(dialog, kTimerProfileNameEditId);
    if (phase == 0) {
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
      ++phase;
      return false;
    }
    rows = Rows(dialog);
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(result, 0);
  EXPECT_GE(steadyRounds, 3) << "the name edit never kept the focus";
  EXPECT_EQ(rows, 1);
  EXPECT_TRUE(FileExists(FileOf(L"entered")));
}

// The default is picked by the same file, never by a prefix, and a name of
// 20-31 characters is read whole.
TEST_F(TimerProfileDialogTest, TheDefaultIsSelectedByItsWholeName) {
  const std::wstring longName(25, L'k');
  WriteProfile(L"abc", Time, Shutdown);
  WriteProfile(L"abcd", Time, Shutdown);
  WriteProfile(longName, Time, Shutdown);
  const struct {
    std::wstring stored, selected, afterOk;
  } cases[] = {
      {L"abcd", L"abcd", L"abcd"},
      {L"abc", L"abc", L"abc"},
      {L"ABCD", L"abcd", L"abcd"},
      {longName, longName, longName},
      {L"ab", L"なし", L""},
      {L"", L"なし", L""},
  };
  for (const auto& c : cases) {
    SetDefProfile(c.stored.c_str());
    std::wstring selected;
    RunDialog([&](HWND dialog) {
      selected = ComboSelection(dialog);
      PressOk(dialog);
      return true;
    });
    EXPECT_EQ(selected, c.selected) << c.stored;
    EXPECT_EQ(DefProfile(), c.afterOk) << c.stored;
  }
}

TEST_F(TimerProfileDialogTest, OkWritesTheChosenDefaultAndCancelWritesNothing) {
  WriteProfile(L"abc", Time, Shutdown);
  WriteProfile(L"abcd", CpuUsage, Restart);
  const struct {
    const wchar_t* stored;
    const wchar_t* choose;
    bool ok;
    const wchar_t* afterwards;
  } cases[] = {
      {L"", L"abcd", true, L"abcd"},
      {L"abc", L"なし", true, L""},
      {L"abcd", L"abc", true, L"abc"},
      {L"abc", L"abcd", false, L"abc"},
      {L"", L"abc", false, L""},
  };
  for (const auto& c : cases) {
    SetDefProfile(c.stored);
    RunDialog([&](HWND dialog) {
      SelectCombo(dialog, c.choose);
      if (c.ok) PressOk(dialog);
      else Press(dialog, IDCANCEL);
      return true;
    });
    EXPECT_EQ(DefProfile(), c.afterwards) << c.stored << L" " << c.choose << L" " << c.ok;
  }
}

TEST_F(TimerProfileDialogTest, LoadSetsTheSettingsAndTheResultEvenAfterCancel) {
  WriteProfile(L"cpu", CpuUsage, Hibernate);
  bool labelShown = false, labelAfterFirstTick = false, labelAfterSecondTick = true;
  int32_t modeAfterLoad = -1, secondsAfterLoad = -1;
  const INT_PTR result = RunDialog([&](HWND dialog) {
    HWND label = GetDlgItem(dialog, kTimerProfileLoadedLabelId);
    SelectRow(dialog, 0);
    Press(dialog, kTimerProfileLoadButtonId);
    labelShown = IsWindowVisible(label);
    modeAfterLoad = timerSettings.mode;
    secondsAfterLoad = timerSettings.cpuSeconds;
    SendMessageW(dialog, WM_TIMER, kTimerLoadLabelTimerId, 0);
    labelAfterFirstTick = IsWindowVisible(label);
    SendMessageW(dialog, WM_TIMER, kTimerLoadLabelTimerId, 0);
    labelAfterSecondTick = IsWindowVisible(label);
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(labelShown);
  EXPECT_TRUE(labelAfterFirstTick);
  EXPECT_FALSE(labelAfterSecondTick);
  EXPECT_EQ(modeAfterLoad, CpuUsage);
  EXPECT_EQ(secondsAfterLoad, 30);  // from the tail
}

// "ロード" with no row chosen beeps here (the scheduler's stays silent).
TEST_F(TimerProfileDialogTest, LoadWithoutARowBeepsAndLoadsNothing) {
  WriteProfile(L"cpu", CpuUsage, Hibernate);
  testing_support::BeepCounter beeps;
  ASSERT_TRUE(beeps.installed());
  size_t beepsAfterLoad = 0;
  bool labelShown = true;
  const INT_PTR result = RunDialog([&](HWND dialog) {
    beeps.clear();
    Press(dialog, kTimerProfileLoadButtonId);
    beepsAfterLoad = beeps.beeps().size();
    labelShown = IsWindowVisible(GetDlgItem(dialog, kTimerProfileLoadedLabelId));
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(beepsAfterLoad, 1u);
  EXPECT_FALSE(labelShown);
  EXPECT_NE(timerSettings.mode, CpuUsage);
}

TEST_F(TimerProfileDialogTest, AFailedLoadIsReportedAndLeavesTheResultAtZero) {
  // A mode that is none: the row shows no mode, and the file is refused.
  WriteProfile(L"odd", 5, Shutdown);
  std::wstring modeCell = L"?";
  bool labelShown = true;
  const INT_PTR result = RunDialog([&](HWND dialog) {
    modeCell = Cell(dialog, 0, 1);
    SelectRow(dialog, 0);
    Press(dialog, kTimerProfileLoadButtonId);
    labelShown = IsWindowVisible(GetDlgItem(dialog, kTimerProfileLoadedLabelId));
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(modeCell, L"");
  EXPECT_FALSE(labelShown);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kTimerReadErrorCaption);
  EXPECT_EQ(timerSettings.mode, Time);
}

// Deleting "abc" or "な" leaves "abcd" and "なし" where they are.
TEST_F(TimerProfileDialogTest, DeleteRemovesOnlyTheSameNamedEntry) {
  WriteProfile(L"abc", Time, Shutdown);
  WriteProfile(L"abcd", Time, Shutdown);
  WriteProfile(L"な", Time, Shutdown);
  SetDefProfile(L"abcd");
  SetMessageBoxAnswer(IDYES);
  std::vector<std::wstring> combo;
  std::wstring selected;
  int rows = -1;
  RunDialog([&](HWND dialog) {
    SelectRow(dialog, RowOf(dialog, L"abc"));
    Press(dialog, kTimerProfileDeleteButtonId);
    SelectRow(dialog, RowOf(dialog, L"な"));
    Press(dialog, kTimerProfileDeleteButtonId);
    rows = Rows(dialog);
    combo = ComboTexts(dialog);
    selected = ComboSelection(dialog);
    PressOk(dialog);
    return true;
  });
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(combo, (std::vector<std::wstring>{L"なし", L"abcd"}));
  EXPECT_EQ(selected, L"abcd");
  // One question each: neither is the default.
  EXPECT_EQ(CaughtMessageBoxes().size(), 2u);
  EXPECT_FALSE(FileExists(FileOf(L"abc")));
  EXPECT_FALSE(FileExists(FileOf(L"な")));
  EXPECT_TRUE(FileExists(FileOf(L"abcd")));
  EXPECT_EQ(DefProfile(), L"abcd");
}

// "abc" saved after "abcd" comes after it in the default list: the delete
// must still pass over "abcd", which begins with the name.
TEST_F(TimerProfileDialogTest, DeleteFindsItsEntryBehindALongerNameThatBeginsWithIt) {
  WriteProfile(L"abcd", Time, Shutdown);
  SetDefProfile(L"abcd");
  SetMessageBoxAnswer(IDYES);
  std::vector<std::wstring> before, after;
  std::wstring selected;
  RunDialog([&](HWND dialog) {
    Save(dialog, L"abc");
    before = ComboTexts(dialog);
    SelectRow(dialog, RowOf(dialog, L"abc"));
    Press(dialog, kTimerProfileDeleteButtonId);
    after = ComboTexts(dialog);
    selected = ComboSelection(dialog);
    PressOk(dialog);
    return true;
  });
  EXPECT_EQ(before, (std::vector<std::wstring>{L"なし", L"abcd", L"abc"}));
  EXPECT_EQ(after, (std::vector<std::wstring>{L"なし", L"abcd"}));
  EXPECT_EQ(selected, L"abcd");
  EXPECT_EQ(DefProfile(), L"abcd");
  EXPECT_EQ(CaughtMessageBoxes().size(), 1u);  // only the delete question
  EXPECT_FALSE(FileExists(FileOf(L"abc")));
}

// The default's file is gone whatever ends the dialog, so the key goes at once.
TEST_F(TimerProfileDialogTest, DeletingTheDefaultAsksTwiceAndClearsItEvenOnCancel) {
  WriteProfile(L"abc", Time, Shutdown);
  WriteProfile(L"abcd", Time, Shutdown);
  SetDefProfile(L"abc");
  SetMessageBoxAnswer(IDYES);
  std::wstring selected;
  std::vector<std::wstring> combo;
  RunDialog([&](HWND dialog) {
    SelectRow(dialog, RowOf(dialog, L"abc"));
    Press(dialog, kTimerProfileDeleteButtonId);
    selected = ComboSelection(dialog);
    combo = ComboTexts(dialog);
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(selected, L"なし");
  EXPECT_EQ(combo, (std::vector<std::wstring>{L"なし", L"abcd"}));
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, L"abcを削除してもよろしいですか？");
  EXPECT_EQ(boxes[1].text, L"abcは起動時に読み込む既定のプロファイルに設定されています。\n続行しますか？");
  EXPECT_FALSE(FileExists(FileOf(L"abc")));
  EXPECT_EQ(DefProfile(), L"");
}

// A file held open without delete sharing stays, and so do its row and entry.
TEST_F(TimerProfileDialogTest, AFailedDeleteIsReportedAndKeepsTheRow) {
  WriteProfile(L"held", Time, Shutdown);
  HANDLE held = CreateFileW(FileOf(L"held").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SetMessageBoxAnswer(IDYES);
  int rows = -1;
  std::vector<std::wstring> combo;
  bool deleteEnabled = false;
  RunDialog([&](HWND dialog) {
    SelectRow(dialog, 0);
    Press(dialog, kTimerProfileDeleteButtonId);
    rows = Rows(dialog);
    combo = ComboTexts(dialog);
    deleteEnabled = IsWindowEnabled(GetDlgItem(dialog, kTimerProfileDeleteButtonId));
    Press(dialog, IDCANCEL);
    return true;
  });
  CloseHandle(held);
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(combo, (std::vector<std::wstring>{L"なし", L"held"}));
  EXPECT_TRUE(deleteEnabled);
  EXPECT_TRUE(FileExists(FileOf(L"held")));
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].caption, L"エラー");
  EXPECT_EQ(boxes[1].text.rfind(kTimerDeleteFailedText, 0), 0u);
  EXPECT_GT(boxes[1].text.size(), wcslen(kTimerDeleteFailedText) + 1);
}

TEST_F(TimerProfileDialogTest, SelectingARowFillsTheNameAndEnablesLoadAndDelete) {
  WriteProfile(L"one", Time, Shutdown);
  bool before = true, after = false;
  wchar_t name[64] = {};
  RunDialog([&](HWND dialog) {
    before = IsWindowEnabled(GetDlgItem(dialog, kTimerProfileLoadButtonId));
    SelectRow(dialog, 0);
    after = IsWindowEnabled(GetDlgItem(dialog, kTimerProfileLoadButtonId)) &&
            IsWindowEnabled(GetDlgItem(dialog, kTimerProfileDeleteButtonId));
    GetDlgItemTextW(dialog, kTimerProfileNameEditId, name, 64);
    Press(dialog, IDCANCEL);
    return true;
  });
  EXPECT_FALSE(before);
  EXPECT_TRUE(after);
  EXPECT_STREQ(name, L"one");
}

}  // namespace
