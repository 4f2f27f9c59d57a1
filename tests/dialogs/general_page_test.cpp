#include "general_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "in_memory_dialog.h"
#include "message_box_catcher.h"
#include "password_lock.h"
#include "profile_file.h"
#include "schedule_model.h"
#include "settings_sheet.h"
#include "sheet_driver.h"

using sheet_driver::Click;
using sheet_driver::Page;
using sheet_driver::PressOk;
using sheet_driver::RunSettingsSheet;
using sheet_driver::StillOpen;
using testing_support::CaughtMessageBoxes;
using testing_support::ClearCaughtMessageBoxes;

namespace {

const char kAbcDigest[] = "a9993e364706816aba3e25717850c26c9cd0d89d";
const char kXyzDigest[] = "66b27417d37e024c46526c2f6d358a754fc552f3";
const wchar_t kMinutesMessage[] =
    L"[終了○○分前にカウント画面を最前面に表示]の項の設定値が不正です。\n1~60の値を入れて下さい。";

struct CheckCase {
  int id;
  uint8_t GeneralSettings::*field;
};
const CheckCase kChecks[] = {
    {1800, &GeneralSettings::forceAction},
    {1801, &GeneralSettings::passwordLock},
    {1802, &GeneralSettings::bringToFront},
    {1803, &GeneralSettings::unexpectedResumeNoApps},
    {1804, &GeneralSettings::unexpectedResumeNoSound},
    {1805, &GeneralSettings::unexpectedResumeNoMail},
    {1806, &GeneralSettings::monitorOnAfterResume},
    {1815, &GeneralSettings::endNowNoCapture},
    {1817, &GeneralSettings::endNowNoMail},
    {1818, &GeneralSettings::hideTimerAtStart},
};

GeneralSettings& General() { return profileSettings.general; }

void StoreLock(const char* digest) {
  General().passwordLock = 1;
  std::memset(General().passwordHash, 0, sizeof General().passwordHash);
  std::memcpy(General().passwordHash, digest, 40);
}

void Type(int id, const wchar_t* text) { SetDlgItemTextW(Page(kGeneralPage), id, text); }

// The general settings as a saved profile holds them.
std::vector<uint8_t> SavedSettingsBlock() {
  std::vector<uint8_t> file(ProfileFileSize(scheduleMode));
  EncodeProfile(file.data());
  return std::vector<uint8_t>(file.end() - static_cast<long>(kSettingsBlockSize), file.end());
}

bool IsHexDigest(const uint8_t* bytes) {
  for (int i = 0; i < 40; ++i) {
    const char c = static_cast<char>(bytes[i]);
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return bytes[40] == 0;
}

int32_t IntAt(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<int32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                              static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

class GeneralPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scheduleMode = DateMode;
    ClearScheduleTable(scheduleTable, orderTable);
    std::memset(&profileSettings, 0, sizeof profileSettings);
    General().bringToFrontSeconds = 600;
    ClearCaughtMessageBoxes();
  }
};

TEST_F(GeneralPageTest, ChecksShowTheModelAndAreStoredOnlyOnOk) {
  for (const uint8_t start : {uint8_t{0}, uint8_t{1}}) {
    SCOPED_TRACE(start);
    for (const CheckCase& c : kChecks) General().*c.field = start;
    General().bringToFrontSeconds = 600;
    if (start) StoreLock(kAbcDigest);
    std::vector<bool> shown;
    // Every check flipped, then Cancel: nothing changes.
    RunSettingsSheet([&](HWND sheet) {
      for (const CheckCase& c : kChecks) shown.push_back(IsDlgButtonChecked(Page(kGeneralPage), c.id) == BST_CHECKED);
      for (const CheckCase& c : kChecks) Click(Page(kGeneralPage), c.id);
      Type(1811, L"abc");
      Type(1812, L"abc");
      sheet_driver::PressCancel(sheet);
    });
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i], start == 1) << kChecks[i].id;
    for (const CheckCase& c : kChecks) EXPECT_EQ(General().*c.field, start) << c.id;
    // The same with OK: every field takes its check.
    RunSettingsSheet([&](HWND sheet) {
      for (const CheckCase& c : kChecks) Click(Page(kGeneralPage), c.id);
      Type(1811, L"abc");
      Type(1812, L"abc");
      if (!start) Type(1813, L"5");
      PressOk(sheet);
      EXPECT_FALSE(StillOpen(sheet));
    });
    for (const CheckCase& c : kChecks) EXPECT_EQ(General().*c.field, start ? 0 : 1) << c.id;
    EXPECT_EQ(General().bringToFrontSeconds, start ? 600 : 300);
  }
}

TEST_F(GeneralPageTest, MinutesAreCheckedWhileBringToFrontIsTicked) {
  struct Case {
    bool ticked;
    const wchar_t* text;
    bool refused;
    int32_t seconds;  // stored (or kept) afterwards
  };
  const Case cases[] = {
      {true, L"0", true, 600},   {true, L"61", true, 600}, {true, L"", true, 600},
      {true, L"5", false, 300},  {true, L"60", false, 3600}, {true, L"1", false, 60},
      // Unticked, a value that is no minute count keeps the previous one.
      {false, L"-5", false, 600}, {false, L"", false, 600},  {false, L"0", false, 600},
      {false, L"61", false, 600}, {false, L"7", false, 420},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ticked << " \"" << std::string(c.text, c.text + wcslen(c.text)) << "\"");
    General().bringToFront = c.ticked ? 1 : 0;
    General().bringToFrontSeconds = 600;
    bool open = false, editEnabled = !c.ticked;
    std::wstring shownMinutes;
    RunSettingsSheet([&](HWND sheet) {
      wchar_t text[8] = {};
      GetDlgItemTextW(Page(kGeneralPage), 1813, text, 8);
      shownMinutes = text;
      editEnabled = IsWindowEnabled(GetDlgItem(Page(kGeneralPage), 1813)) != FALSE;
      Type(1813, c.text);
      PressOk(sheet);
      open = StillOpen(sheet);
    });
    EXPECT_EQ(shownMinutes, L"10");
    EXPECT_EQ(editEnabled, c.ticked);
    EXPECT_EQ(open, c.refused);
    EXPECT_EQ(General().bringToFrontSeconds, c.seconds);
    if (c.refused) {
      ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
      EXPECT_EQ(CaughtMessageBoxes()[0].text, kMinutesMessage);
      EXPECT_EQ(CaughtMessageBoxes()[0].caption, L"");
      EXPECT_EQ(General().bringToFront, 1);
    } else {
      EXPECT_TRUE(CaughtMessageBoxes().empty());
      EXPECT_EQ(General().bringToFront, c.ticked ? 1 : 0);
    }
    ClearCaughtMessageBoxes();
  }
}

// What the user does with the lock on the page.
enum class LockAction { Tick, Untick, Leave, Change };

struct LockCase {
  const char* name;
  const char* stored;  // digest stored before, null for no lock
  LockAction action;
  const wchar_t* password;
  const wchar_t* confirmation;
  const wchar_t* message;  // null: stored without a message
  const wchar_t* caption;
  uint8_t lockAfter;
  const char* digestAfter;  // "" for all zero
};

const LockCase kLockCases[] = {
    {"new lock, no password", nullptr, LockAction::Tick, L"", L"", L"パスワードの入力を確認して下さい。", L"", 0, ""},
    {"new lock, no confirmation", nullptr, LockAction::Tick, L"abc", L"", L"パスワードの入力を確認して下さい。", L"",
     0, ""},
    {"new lock, entries differ", nullptr, LockAction::Tick, L"abc", L"abd", L"パスワードが一致しません", L"エラー", 0,
     ""},
    {"new lock, 31 characters", nullptr, LockAction::Tick, L"abcdefghijabcdefghijabcdefghijk",
     L"abcdefghijabcdefghijabcdefghijk", L"パスワードは30字以内で設定して下さい。", L"", 0, ""},
    {"new lock, good password", nullptr, LockAction::Tick, L"abc", L"abc", nullptr, nullptr, 1, kAbcDigest},
    {"stored lock left as it is", kAbcDigest, LockAction::Leave, L"", L"", nullptr, nullptr, 1, kAbcDigest},
    {"stored lock, change pressed, left empty", kAbcDigest, LockAction::Change, L"", L"",
     L"パスワードの入力を確認して下さい。", L"", 1, kAbcDigest},
    {"stored lock, changed", kAbcDigest, LockAction::Change, L"xyz", L"xyz", nullptr, nullptr, 1, kXyzDigest},
    {"stored lock unticked", kAbcDigest, LockAction::Untick, L"", L"", nullptr, nullptr, 0, ""},
};

TEST_F(GeneralPageTest, LockCasesStoreOnlyADigestSomePasswordOpens) {
  for (const LockCase& c : kLockCases) {
    SCOPED_TRACE(c.name);
    std::memset(&profileSettings.general, 0, sizeof profileSettings.general);
    if (c.stored) StoreLock(c.stored);
    bool open = false;
    RunSettingsSheet([&](HWND sheet) {
      HWND page = Page(kGeneralPage);
      if (c.action == LockAction::Tick || c.action == LockAction::Untick) Click(page, 1801);
      if (c.action == LockAction::Change) Click(page, 1814);
      Type(1811, c.password);
      Type(1812, c.confirmation);
      PressOk(sheet);
      open = StillOpen(sheet);
    });
    EXPECT_EQ(open, c.message != nullptr);
    if (c.message) {
      ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
      EXPECT_EQ(CaughtMessageBoxes()[0].text, c.message);
      EXPECT_EQ(CaughtMessageBoxes()[0].caption, c.caption);
    } else {
      EXPECT_TRUE(CaughtMessageBoxes().empty());
    }
    ClearCaughtMessageBoxes();
    EXPECT_EQ(General().passwordLock, c.lockAfter);
    char expected[41] = {};
    std::memcpy(expected, c.digestAfter, std::strlen(c.digestAfter));
    EXPECT_EQ(std::memcmp(General().passwordHash, expected, 41), 0) << std::string(General().passwordHash, 40);
    const std::vector<uint8_t> saved = SavedSettingsBlock();
    EXPECT_EQ(saved[1], c.lockAfter);
    EXPECT_EQ(std::memcmp(saved.data() + 2, expected, 41), 0);
    if (saved[1]) {
      EXPECT_TRUE(IsHexDigest(saved.data() + 2));
    }
  }
}

TEST_F(GeneralPageTest, ReTickingAfterAnUntickedApplyAsksForANewPassword) {
  StoreLock(kAbcDigest);
  RunSettingsSheet([](HWND sheet) {
    Click(Page(kGeneralPage), 1801);
    PressOk(sheet);
  });
  ASSERT_EQ(General().passwordLock, 0);
  bool open = false, editsShown = false;
  RunSettingsSheet([&](HWND sheet) {
    editsShown = IsWindowVisible(GetDlgItem(Page(kGeneralPage), 1811)) != FALSE;
    Click(Page(kGeneralPage), 1801);
    PressOk(sheet);
    open = StillOpen(sheet);
  });
  EXPECT_TRUE(editsShown);
  EXPECT_TRUE(open);
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].text, L"パスワードの入力を確認して下さい。");
  EXPECT_EQ(General().passwordLock, 0);
  EXPECT_EQ(SavedSettingsBlock()[1], 0);
}

TEST_F(GeneralPageTest, AStaleDigestWithoutALockIsNotTakenForAPassword) {
  // A profile can carry a digest with the lock off; ticking the lock must not
  // revive a password the user may not know.
  std::memcpy(General().passwordHash, kAbcDigest, 40);
  bool open = false;
  RunSettingsSheet([&](HWND sheet) {
    Click(Page(kGeneralPage), 1801);
    PressOk(sheet);
    open = StillOpen(sheet);
  });
  EXPECT_TRUE(open);
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].text, L"パスワードの入力を確認して下さい。");
  EXPECT_EQ(General().passwordLock, 0);
}

TEST_F(GeneralPageTest, ApplyWithoutTheCheckPassStillRefusesALockWithoutDigest) {
  bool open = false;
  RunSettingsSheet([&](HWND sheet) {
    Click(Page(kGeneralPage), 1801);
    // Applied straight away, as a platform that skips the pass would.
    SendMessageW(sheet, PSM_APPLY, 0, 0);
    open = StillOpen(sheet);
  });
  EXPECT_TRUE(open);
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].text, L"パスワードの入力を確認して下さい。");
  EXPECT_EQ(General().passwordLock, 0);
  EXPECT_EQ(SavedSettingsBlock()[1], 0);
}

TEST_F(GeneralPageTest, PasswordControlsFollowTheLockAndTheChangeButton) {
  struct Shown {
    bool editVisible, editEnabled, labelEnabled, buttonVisible, buttonEnabled;
  };
  auto read = [] {
    HWND page = Page(kGeneralPage);
    return Shown{IsWindowVisible(GetDlgItem(page, 1811)) != FALSE, IsWindowEnabled(GetDlgItem(page, 1812)) != FALSE,
                 IsWindowEnabled(GetDlgItem(page, 1807)) != FALSE, IsWindowVisible(GetDlgItem(page, 1814)) != FALSE,
                 IsWindowEnabled(GetDlgItem(page, 1814)) != FALSE};
  };
  std::vector<Shown> seen;
  RunSettingsSheet([&](HWND) {
    seen.push_back(read());  // no lock: edits shown but disabled
    Click(Page(kGeneralPage), 1801);
    seen.push_back(read());  // ticked: edits enabled
  });
  StoreLock(kAbcDigest);
  RunSettingsSheet([&](HWND) {
    seen.push_back(read());  // stored lock: only the change button
    Click(Page(kGeneralPage), 1801);
    seen.push_back(read());  // unticked: the button greys
    Click(Page(kGeneralPage), 1801);
    Click(Page(kGeneralPage), 1814);
    seen.push_back(read());  // change requested: the edits instead of the button
  });
  ASSERT_EQ(seen.size(), 5u);
  const Shown expected[] = {
      {true, false, false, false, true}, {true, true, true, false, true},   {false, false, false, true, true},
      {false, false, false, true, false}, {true, true, true, false, true},
  };
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].editVisible, expected[i].editVisible);
    EXPECT_EQ(seen[i].editEnabled, expected[i].editEnabled);
    EXPECT_EQ(seen[i].labelEnabled, expected[i].labelEnabled);
    EXPECT_EQ(seen[i].buttonVisible, expected[i].buttonVisible);
    EXPECT_EQ(seen[i].buttonEnabled, expected[i].buttonEnabled);
  }
}

TEST_F(GeneralPageTest, SavedMinutesAndChecksSitAtTheirOffsets) {
  RunSettingsSheet([](HWND sheet) {
    Click(Page(kGeneralPage), 1802);
    Type(1813, L"45");
    Click(Page(kGeneralPage), 1818);
    PressOk(sheet);
  });
  const std::vector<uint8_t> saved = SavedSettingsBlock();
  EXPECT_EQ(saved[43], 1);                // bringToFront
  EXPECT_EQ(IntAt(saved, 44), 45 * 60);   // bringToFrontSeconds
  EXPECT_EQ(saved[54], 1);                // hideTimerAtStart
}

TEST_F(GeneralPageTest, TheSheetIsTitledSizedAndLaidOutAt96Dpi) {
  RECT sheetRect{}, tab{}, ok{}, cancel{};
  std::wstring title;
  RunSettingsSheet([&](HWND sheet) {
    wchar_t text[64] = {};
    GetWindowTextW(sheet, text, 64);
    title = text;
    GetWindowRect(sheet, &sheetRect);
    auto client = [sheet](HWND control) {
      RECT r{};
      GetWindowRect(control, &r);
      MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&r), 2);
      return r;
    };
    tab = client(PropSheet_GetTabControl(sheet));
    ok = client(GetDlgItem(sheet, IDOK));
    cancel = client(GetDlgItem(sheet, IDCANCEL));
  });
  ASSERT_EQ(ScreenDpiValue(), 96) << "the on-screen layout is checked at 96 DPI";
  EXPECT_EQ(title, L"詳細設定");
  const RECT area = CurrentWorkArea();
  EXPECT_EQ(sheetRect.right - sheetRect.left, 668);
  EXPECT_EQ(sheetRect.bottom - sheetRect.top, 656);
  EXPECT_EQ(sheetRect.left, area.left + (area.right - area.left - 668) / 2);
  EXPECT_EQ(sheetRect.top, area.top + (area.bottom - area.top - 656) / 2);
  auto expectRect = [](const RECT& r, int x, int y, int w, int h) {
    EXPECT_EQ(r.left, x);
    EXPECT_EQ(r.top, y);
    EXPECT_EQ(r.right - r.left, w);
    EXPECT_EQ(r.bottom - r.top, h);
  };
  expectRect(tab, 17, 250, 630, 327);
  expectRect(ok, 440, 588, 100, 30);
  expectRect(cancel, 546, 588, 100, 30);
}

TEST(SettingsSheetLayoutTest, At144DpiEveryRectangleIsScaledAndRounded) {
  const RECT area{0, 0, 1600, 1200};
  const SettingsSheetLayout layout = ComputeSettingsSheetLayout(144, area);
  auto expectRect = [](const RECT& r, int x, int y, int w, int h) {
    EXPECT_EQ(r.left, x);
    EXPECT_EQ(r.top, y);
    EXPECT_EQ(r.right - r.left, w);
    EXPECT_EQ(r.bottom - r.top, h);
  };
  expectRect(layout.sheet, (1600 - 1002) / 2, (1200 - 984) / 2, 1002, 984);
  expectRect(layout.tab, 26, 375, 945, 491);  // 17 and 327 x 1.5 round up
  expectRect(layout.ok, 660, 882, 150, 45);
  expectRect(layout.cancel, 819, 882, 150, 45);
  const SettingsSheetLayout at96 = ComputeSettingsSheetLayout(96, area);
  expectRect(at96.sheet, 466, 272, 668, 656);
  expectRect(at96.tab, 17, 250, 630, 327);
}

// A taskbar at the left or the top: the sheet is centred on what is left.
TEST(SettingsSheetLayoutTest, CentredOnAWorkAreaThatDoesNotStartAtZero) {
  const struct {
    RECT area;
    LONG left, top;
  } cases[] = {{{200, 0, 1280, 800}, 406, 72}, {{0, 100, 1280, 800}, 306, 122}};
  for (const auto& c : cases) {
    const SettingsSheetLayout layout = ComputeSettingsSheetLayout(96, c.area);
    EXPECT_EQ(layout.sheet.left, c.left);
    EXPECT_EQ(layout.sheet.top, c.top);
    EXPECT_EQ(layout.sheet.right, c.left + 668);
    EXPECT_EQ(layout.sheet.bottom, c.top + 656);
  }
}

TEST(GeneralPageRulesTest, MinuteTextsAndDigests) {
  struct Minutes {
    const wchar_t* text;
    int minutes;
  };
  for (const Minutes& m : {Minutes{L"1", 1}, Minutes{L"60", 60}, Minutes{L"05", 5}, Minutes{L"0", 0},
                           Minutes{L"61", 0}, Minutes{L"", 0}, Minutes{L"-5", 0}, Minutes{L"5a", 0},
                           Minutes{L"999", 0}}) {
    EXPECT_EQ(BringToFrontMinutes(m.text), m.minutes) << std::string(m.text, m.text + wcslen(m.text));
  }
  char digest[41] = {};
  EXPECT_FALSE(IsLockDigest(digest));
  std::memcpy(digest, kAbcDigest, 40);
  EXPECT_TRUE(IsLockDigest(digest));
  digest[3] = 'A';  // upper case never comes from the hash
  EXPECT_FALSE(IsLockDigest(digest));
}

}  // namespace
