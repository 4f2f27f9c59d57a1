#include "quick_menus.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "modal_driver.h"
#include "shared/clock.h"
#include "temp_folder.h"
#include "dpi_scaling.h"
#include "timer_profile.h"
#include "wait.h"

using testing_support::DescribeMenu;
using testing_support::FindMenuItem;
using testing_support::FindShownPopupMenu;
using testing_support::FindThreadDialogWithControl;
using testing_support::MenuItemInfo;
using testing_support::ModalDriver;
using testing_support::PumpMessagesUntil;

namespace {

// Friday 2026-12-11 10:20:37.250, the clock of every test here.
constexpr SYSTEMTIME kNow{2026, 12, 5, 11, 10, 20, 37, 250};
void FixedClock(SYSTEMTIME* now) { *now = kNow; }

std::vector<UINT> dialogCommands;

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME t{};
  t.wYear = year;
  t.wMonth = month;
  t.wDay = day;
  t.wHour = hour;
  t.wMinute = minute;
  t.wSecond = second;
  return t;
}

std::wstring Text(const SYSTEMTIME& date, const SYSTEMTIME& time) {
  wchar_t text[32];
  _snwprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", date.wYear, date.wMonth, date.wDay, time.wHour,
             time.wMinute, time.wSecond);
  text[31] = L'\0';
  return text;
}

// The shown menu window of this thread (other tests may show menus too).
HWND ThisThreadsMenuWindow() {
  for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
       w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
    if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) return w;
  }
  return nullptr;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

// A dialog template with no controls; the countdown program's core and the
// scheduler's dialog library cannot share one test executable (both hold the
// programs' window globals).
struct EmptyDialogTemplate {
  DLGTEMPLATE header;
  WORD menu, windowClass, title;
};

// Stands for the settings dialog: the four pickers, and a record of the
// commands it is sent.
INT_PTR CALLBACK PickerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    const int ids[4] = {kEndDatePickerId, kEndTimePickerId, kResumeDatePickerId, kResumeTimePickerId};
    for (int i = 0; i < 4; ++i) {
      const DWORD style = (i % 2 ? DTS_TIMEFORMAT | DTS_UPDOWN : DTS_SHORTDATEFORMAT) | WS_TABSTOP;
      CreateWindowExW(0, DATETIMEPICK_CLASSW, L"", WS_CHILD | WS_VISIBLE | style, 10 + (i % 2) * 130,
                      10 + (i / 2) * 40, 120, 24, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids[i])),
                      GetModuleHandleW(nullptr), nullptr);
    }
    return TRUE;
  }
  if (message == WM_COMMAND) {
    dialogCommands.push_back(LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

class QuickMenuTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    SetLocalTimeSource(FixedClock);
    std::memset(&timerSettings, 0, sizeof timerSettings);
    timerSettings.mode = Time;
    timerSettings.action = Hibernate;
    timerSettings.resumeEnabled = 1;
    dialogCommands.clear();
    static EmptyDialogTemplate empty{{WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME, 0, 0, 0, 0, 200, 100},
                                     0, 0, 0};
    dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &empty.header, nullptr, PickerDialogProc, 0);
    ASSERT_NE(dialog_, nullptr);
    SetWindowPos(dialog_, nullptr, 100, 100, 300, 140, SWP_NOZORDER);
    TimerReadQuickMenus();
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    SetLocalTimeSource(nullptr);
    TempFolderTest::TearDown();
  }

  void SetPickers(int dateId, int timeId, const SYSTEMTIME& t) {
    SendDlgItemMessageW(dialog_, dateId, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
    SendDlgItemMessageW(dialog_, timeId, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
  }
  std::wstring Pickers(int dateId, int timeId) {
    SYSTEMTIME date{}, time{};
    SendDlgItemMessageW(dialog_, dateId, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    SendDlgItemMessageW(dialog_, timeId, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return Text(date, time);
  }
  std::wstring EndPickers() { return Pickers(kEndDatePickerId, kEndTimePickerId); }
  std::wstring ResumePickers() { return Pickers(kResumeDatePickerId, kResumeTimePickerId); }

  // Opens the menu as a right click does and, once it shows, reads it and
  // walks to an item with the keyboard: `keys` after the menu opened, or
  // nothing (the menu is closed unread).
  std::vector<MenuItemInfo> OpenMenu(const std::vector<WPARAM>& keys, std::function<bool()> afterwards = {}) {
    std::vector<MenuItemInfo> items;
    bool keysSent = false;
    ModalDriver driver([&] {
      if (!keysSent) {
        HMENU shown = FindShownPopupMenu();
        if (!shown) return false;
        items = DescribeMenu(shown);
        GetWindowRect(ThisThreadsMenuWindow(), &menuRect_);
        if (keys.empty()) {
          EndMenu();
        } else {
          for (WPARAM key : keys) PostMessageW(dialog_, WM_KEYDOWN, key, 0);
        }
        keysSent = true;
        return !afterwards;
      }
      return afterwards();
    });
    // Away from the pointer: a menu that opens under it selects the item there.
    POINT cursor{};
    GetCursorPos(&cursor);
    menuPoint_ = {cursor.x < 500 ? 700 : 100, cursor.y < 400 ? 450 : 100};
    TimerShowQuickMenu(dialog_, menuPoint_);
    EXPECT_TRUE(PumpMessagesUntil([&] { return driver.finished(); }));
    EXPECT_EQ(FindShownPopupMenu(), nullptr);
    return items;
  }
  // The keys to item `item` of the popup at `position` (0 end, 1 resume, 3 reset).
  static std::vector<WPARAM> KeysTo(int position, int item) {
    std::vector<WPARAM> keys(static_cast<size_t>(position == 3 ? 3 : position + 1), VK_DOWN);
    keys.push_back(VK_RIGHT);
    for (int i = 0; i < item; ++i) keys.push_back(VK_DOWN);
    keys.push_back(VK_RETURN);
    return keys;
  }

  HWND dialog_ = nullptr;
  RECT menuRect_{};
  POINT menuPoint_{};
};

std::wstring Ini(const wchar_t* section, const wchar_t* key) {
  wchar_t text[32] = L"";
  GetPrivateProfileStringW(section, key, L"<none>", text, 32, L".\\sopora.ini");
  return text;
}

TEST_F(QuickMenuTest, EveryEntrySetsItsPickers) {
  struct Case {
    int position, item;
    std::wstring end, resume;
  } cases[] = {
      // The end menu counts from now, seconds and all.
      {0, 0, L"2026-12-11 10:50:37", L"2001-01-01 00:00:00"},
      {0, 1, L"2026-12-11 11:20:37", L"2001-01-01 00:00:00"},
      {0, 2, L"2026-12-11 13:20:37", L"2001-01-01 00:00:00"},
      {0, 3, L"2026-12-11 16:20:37", L"2001-01-01 00:00:00"},
      {0, 4, L"2026-12-11 22:20:37", L"2001-01-01 00:00:00"},
      // The resume menu counts from the end pickers' minute.
      {1, 0, L"2026-12-11 22:15:45", L"2026-12-11 23:15:00"},
      {1, 1, L"2026-12-11 22:15:45", L"2026-12-12 01:15:00"},
      {1, 2, L"2026-12-11 22:15:45", L"2026-12-12 04:15:00"},
      {1, 3, L"2026-12-11 22:15:45", L"2026-12-12 06:15:00"},
      {1, 4, L"2026-12-11 22:15:45", L"2026-12-12 10:15:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "position " << c.position << " item " << c.item);
    SetPickers(kEndDatePickerId, kEndTimePickerId, At(2026, 12, 11, 22, 15, 45));
    SetPickers(kResumeDatePickerId, kResumeTimePickerId, At(2001, 1, 1, 0, 0, 0));
    OpenMenu(KeysTo(c.position, c.item), [] { return true; });
    if (c.position == 0) {
      EXPECT_EQ(Narrow(EndPickers()), Narrow(c.end));
    } else {
      EXPECT_EQ(Narrow(EndPickers()), Narrow(c.end)) << "the end pickers stay";
    }
    EXPECT_EQ(Narrow(ResumePickers()), Narrow(c.resume));
  }
  EXPECT_TRUE(dialogCommands.empty());
}

TEST_F(QuickMenuTest, TheMenuShowsTheDefaultCaptionsWithoutAnIniFile) {
  const auto items = OpenMenu({});
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].text, L"終了時刻をセット(今から)");
  EXPECT_EQ(items[1].text, L"復帰時刻をセット(終了時刻から)");
  EXPECT_EQ(items[2].text, L"リセット");
  const std::vector<std::wstring> end = {L"30分後", L"1時間後", L"3時間後", L"6時間後", L"12時間後", L"編集"};
  const std::vector<std::wstring> resume = {L"1時間後", L"3時間後", L"6時間後", L"8時間後", L"12時間後", L"編集"};
  ASSERT_EQ(items[0].children.size(), 6u);
  ASSERT_EQ(items[1].children.size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(items[0].children[i].text, end[i]);
    EXPECT_EQ(items[1].children[i].text, resume[i]);
  }
  EXPECT_EQ(items[0].children[0].id, kCmdQuickEndFirst);
  EXPECT_EQ(items[1].children[5].id, kCmdQuickResumeEdit);
  for (const auto& item : items) EXPECT_FALSE(item.grayed);
  EXPECT_EQ(menuRect_.left, menuPoint_.x) << "at the point given";
  EXPECT_EQ(menuRect_.top, menuPoint_.y);
}

TEST_F(QuickMenuTest, CpuUsageWithRestartGreysBothTimePopupsAndTheResets) {
  timerSettings.mode = CpuUsage;
  timerSettings.action = Restart;
  const auto items = OpenMenu({});
  ASSERT_EQ(items.size(), 3u);
  EXPECT_TRUE(items[0].grayed);
  EXPECT_TRUE(items[1].grayed);
  EXPECT_TRUE(items[2].grayed);
}

TEST_F(QuickMenuTest, EnablingFollowsModeActionAndResume) {
  struct Case {
    int32_t mode, action;
    bool resume;
    QuickMenuEnabling expected;  // end, resume, reset popups; reset end, reset resume
  } cases[] = {
      {Time, Hibernate, true, {true, true, true, true, true}},
      {Time, Standby, true, {true, true, true, true, true}},
      {Time, Hibernate, false, {true, false, true, true, false}},
      {Time, Shutdown, true, {true, false, true, true, false}},
      {EndNow, Standby, true, {false, true, true, false, true}},
      {EndNow, Restart, true, {false, false, false, false, false}},
      {CpuUsage, Hibernate, true, {false, false, true, false, true}},
      {CpuUsage, Restart, false, {false, false, false, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " action " << c.action << " resume " << c.resume);
    const QuickMenuEnabling got = QuickMenuStates(c.mode, c.action, c.resume);
    EXPECT_EQ(got.endPopup, c.expected.endPopup);
    EXPECT_EQ(got.resumePopup, c.expected.resumePopup);
    EXPECT_EQ(got.resetPopup, c.expected.resetPopup);
    EXPECT_EQ(got.resetEnd, c.expected.resetEnd);
    EXPECT_EQ(got.resetResume, c.expected.resetResume);
  }
  // The same through the shown menu, for EndNow without a resume.
  timerSettings.mode = EndNow;
  timerSettings.action = Standby;
  timerSettings.resumeEnabled = 1;
  auto items = OpenMenu({});
  ASSERT_EQ(items.size(), 3u);
  EXPECT_TRUE(items[0].grayed);
  EXPECT_FALSE(items[1].grayed);
  EXPECT_FALSE(items[2].grayed);
  ASSERT_EQ(items[2].children.size(), 2u);
  EXPECT_TRUE(items[2].children[0].grayed);
  EXPECT_FALSE(items[2].children[1].grayed);
}

TEST_F(QuickMenuTest, ResetCommandsGoToTheDialog) {
  OpenMenu(KeysTo(3, 0), [] { return !dialogCommands.empty(); });
  OpenMenu(KeysTo(3, 1), [] { return dialogCommands.size() == 2; });
  EXPECT_EQ(dialogCommands, (std::vector<UINT>{kCmdTimerResetEnd, kCmdTimerResetResume}));
}

TEST_F(QuickMenuTest, IniValuesAreReadInRange) {
  struct Case {
    const wchar_t* value;  // null: no key
    const wchar_t* unit;
    int32_t number, units;
    std::wstring caption, end;  // the first end entry from now
  } cases[] = {
      {nullptr, nullptr, 30, 0, L"30分後", L"2026-12-11 10:50:37"},
      {L"150", L"7", 15, 1, L"15時間後", L"2026-12-12 01:20:37"},  // two characters; hours
      {L"99", L"1", 99, 1, L"99時間後", L"2026-12-15 13:20:37"},
      {L"999999", L"0", 99, 0, L"99分後", L"2026-12-11 11:59:37"},
      {L"-5", L"0", 0, 0, L"0分後", L"2026-12-11 10:20:37"},
      {L"-99", L"1", 0, 1, L"0時間後", L"2026-12-11 10:20:37"},
      {L"-1", L"-1", 0, 0, L"0分後", L"2026-12-11 10:20:37"},
      {L"x", L"x", 0, 0, L"0分後", L"2026-12-11 10:20:37"},
      {L"", L"", 0, 0, L"0分後", L"2026-12-11 10:20:37"},
      {L"7", L"2", 7, 1, L"7時間後", L"2026-12-11 17:20:37"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "value " << Narrow(c.value ? c.value : L"(none)") << " unit "
                                    << Narrow(c.unit ? c.unit : L"(none)"));
    WritePrivateProfileStringW(L"Menu1", L"value1", c.value, L".\\sopora.ini");
    WritePrivateProfileStringW(L"Menu1", L"combo1", c.unit, L".\\sopora.ini");
    TimerReadQuickMenus();
    EXPECT_EQ(timerQuickMenus.quickValues[0][0], c.number);
    EXPECT_EQ(timerQuickMenus.quickUnits[0][0], c.units);
    SetPickers(kEndDatePickerId, kEndTimePickerId, At(2001, 1, 1, 0, 0, 0));
    const auto items = OpenMenu(KeysTo(0, 0), [] { return true; });
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0].children[0].text, c.caption);
    EXPECT_EQ(Narrow(EndPickers()), Narrow(c.end));
  }
  // The other keys and the resume menu kept their defaults throughout.
  EXPECT_EQ(std::wstring(timerQuickMenus.quickLabels[0][1]), L"1時間後");
  EXPECT_EQ(std::wstring(timerQuickMenus.quickLabels[1][0]), L"1時間後");
}

TEST_F(QuickMenuTest, AResumeDatePastTheLastOleDateLeavesThePickersAlone) {
  WritePrivateProfileStringW(L"Menu2", L"value1", L"99", L".\\sopora.ini");
  WritePrivateProfileStringW(L"Menu2", L"combo1", L"1", L".\\sopora.ini");
  TimerReadQuickMenus();
  // The latest time the pickers take on the last OLE day.
  SetPickers(kEndDatePickerId, kEndTimePickerId, At(9999, 12, 30, 23, 30, 0));
  ASSERT_EQ(Narrow(EndPickers()), "9999-12-30 23:30:00");
  SetPickers(kResumeDatePickerId, kResumeTimePickerId, At(2026, 12, 20, 8, 0, 0));
  const auto items = OpenMenu(KeysTo(1, 0), [] { return true; });
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[1].children[0].text, L"99時間後");
  EXPECT_EQ(Narrow(ResumePickers()), "2026-12-20 08:00:00") << "no date past 9999-12-31";
  EXPECT_FALSE(TimerSetPickersFromOffset(QuickMenuDays(99, 1), dialog_, 1));
  EXPECT_TRUE(TimerSetPickersFromOffset(QuickMenuDays(29, 0), dialog_, 1));
  EXPECT_EQ(Narrow(ResumePickers()), "9999-12-30 23:59:00");
}

std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[32] = L"";
  GetDlgItemTextW(dialog, id, text, 32);
  return text;
}
LRESULT Selected(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0); }
void Fill(HWND editor, int item, const wchar_t* number, int unit) {
  SetDlgItemTextW(editor, kQuickEditFirstNumberId + item, number);
  SendDlgItemMessageW(editor, kQuickEditFirstUnitId + item, CB_SETCURSEL, static_cast<WPARAM>(unit), 0);
}

TEST_F(QuickMenuTest, TheEditorWritesTheEndMenusKeysAndTheMenuShowsThem) {
  std::vector<std::wstring> shown;
  RECT editorRect{};
  LRESULT limits = 0;
  OpenMenu(KeysTo(0, 5), [&] {
    HWND editor = FindThreadDialogWithControl(kQuickEditDefaultsId);
    if (!editor) return false;
    GetWindowRect(editor, &editorRect);
    limits = SendDlgItemMessageW(editor, kQuickEditFirstNumberId, EM_GETLIMITTEXT, 0, 0);
    for (int i = 0; i < kQuickItemCount; ++i) {
      shown.push_back(ItemText(editor, kQuickEditFirstNumberId + i));
      shown.push_back(std::to_wstring(Selected(editor, kQuickEditFirstUnitId + i)));
    }
    Fill(editor, 0, L"2", 0);
    Fill(editor, 1, L"45", 0);
    Fill(editor, 2, L"", 1);  // empty stores as 0
    Fill(editor, 4, L"9", 0);
    SendMessageW(editor, WM_COMMAND, IDOK, 0);
    return true;
  });
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"30", L"0", L"1", L"1", L"3", L"1", L"6", L"1", L"12", L"1"}));
  EXPECT_EQ(limits, 2) << "two digits";
  RECT owner;
  GetWindowRect(dialog_, &owner);
  EXPECT_EQ(editorRect.top, owner.top);
  EXPECT_EQ(editorRect.right - editorRect.left, ScaleX(193));
  EXPECT_EQ(editorRect.bottom - editorRect.top, ScaleY(283));
  EXPECT_LE(std::abs((editorRect.left + editorRect.right) - (owner.left + owner.right)), 1);

  const std::vector<std::wstring> values = {L"2", L"45", L"0", L"6", L"9"};
  const std::vector<std::wstring> units = {L"0", L"0", L"1", L"1", L"0"};
  for (int i = 0; i < kQuickItemCount; ++i) {
    EXPECT_EQ(Ini(L"Menu1", (L"value" + std::to_wstring(i + 1)).c_str()), values[i]);
    EXPECT_EQ(Ini(L"Menu1", (L"combo" + std::to_wstring(i + 1)).c_str()), units[i]);
  }
  EXPECT_EQ(Ini(L"Menu2", L"value1"), L"<none>") << "only the edited menu is written";

  const std::vector<std::wstring> captions = {L"2分後", L"45分後", L"0時間後", L"6時間後", L"9分後"};
  auto items = OpenMenu({});
  ASSERT_EQ(items.size(), 3u);
  for (int i = 0; i < kQuickItemCount; ++i) EXPECT_EQ(items[0].children[static_cast<size_t>(i)].text, captions[i]);
  EXPECT_EQ(items[1].children[0].text, L"1時間後");
  // A new read of the file gives the same menu.
  std::memset(&timerQuickMenus, 0, sizeof timerQuickMenus);
  TimerReadQuickMenus();
  items = OpenMenu({});
  for (int i = 0; i < kQuickItemCount; ++i) EXPECT_EQ(items[0].children[static_cast<size_t>(i)].text, captions[i]);
  // The new entry counts from now.
  OpenMenu(KeysTo(0, 0), [] { return true; });
  EXPECT_EQ(Narrow(EndPickers()), "2026-12-11 10:22:37");
}

TEST_F(QuickMenuTest, TheEditorOfTheResumeMenuWritesMenu2) {
  std::wstring first;
  OpenMenu(KeysTo(1, 5), [&] {
    HWND editor = FindThreadDialogWithControl(kQuickEditDefaultsId);
    if (!editor) return false;
    first = ItemText(editor, kQuickEditFirstNumberId) + L"/" + std::to_wstring(Selected(editor, kQuickEditFirstUnitId));
    Fill(editor, 0, L"5", 0);
    SendMessageW(editor, WM_COMMAND, IDOK, 0);
    return true;
  });
  EXPECT_EQ(Narrow(first), "1/1");
  EXPECT_EQ(Ini(L"Menu2", L"value1"), L"5");
  EXPECT_EQ(Ini(L"Menu2", L"combo1"), L"0");
  EXPECT_EQ(Ini(L"Menu2", L"value5"), L"12");
  EXPECT_EQ(Ini(L"Menu1", L"value1"), L"<none>");
  SetPickers(kEndDatePickerId, kEndTimePickerId, At(2026, 12, 11, 22, 15, 45));
  const auto items = OpenMenu(KeysTo(1, 0), [] { return true; });
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[1].children[0].text, L"5分後");
  EXPECT_EQ(Narrow(ResumePickers()), "2026-12-11 22:20:00");
}

TEST_F(QuickMenuTest, DefaultsThenCancelChangeNeitherTheFileNorTheMenu) {
  WritePrivateProfileStringW(L"Menu1", L"value1", L"2", L".\\sopora.ini");
  WritePrivateProfileStringW(L"Menu1", L"combo1", L"0", L".\\sopora.ini");
  WritePrivateProfileStringW(L"Menu1", L"value2", L"40", L".\\sopora.ini");
  WritePrivateProfileStringW(L"Menu1", L"combo2", L"0", L".\\sopora.ini");
  TimerReadQuickMenus();
  const std::string before = testing_support::ReadBytes(temp_.Path(L"sopora.ini"));
  std::vector<std::wstring> seen;
  auto openAndReset = [&](UINT button) {
    seen.clear();
    OpenMenu(KeysTo(0, 5), [&] {
      HWND editor = FindThreadDialogWithControl(kQuickEditDefaultsId);
      if (!editor) return false;
      seen.push_back(ItemText(editor, kQuickEditFirstNumberId) + L"/" +
                     std::to_wstring(Selected(editor, kQuickEditFirstUnitId)));
      SendMessageW(editor, WM_COMMAND, kQuickEditDefaultsId, 0);
      for (int i = 0; i < 2; ++i) {
        seen.push_back(ItemText(editor, kQuickEditFirstNumberId + i) + L"/" +
                       std::to_wstring(Selected(editor, kQuickEditFirstUnitId + i)));
      }
      SendMessageW(editor, WM_COMMAND, button, 0);
      return true;
    });
  };
  openAndReset(IDCANCEL);
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"2/0", L"30/0", L"1/1"}));
  EXPECT_EQ(testing_support::ReadBytes(temp_.Path(L"sopora.ini")), before);
  auto items = OpenMenu({});
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].children[0].text, L"2分後");
  EXPECT_EQ(items[0].children[1].text, L"40分後");
  // "OK" after "初期化" stores the defaults.
  openAndReset(IDOK);
  EXPECT_EQ(Ini(L"Menu1", L"value1"), L"30");
  EXPECT_EQ(Ini(L"Menu1", L"value2"), L"1");
  EXPECT_EQ(Ini(L"Menu1", L"combo2"), L"1");
  items = OpenMenu({});
  EXPECT_EQ(items[0].children[1].text, L"1時間後");
}

TEST(QuickMenuDaysTest, DatesPastTheOleRangeAreRefused) {
  SYSTEMTIME out = At(2000, 2, 2, 2, 2, 2);
  const SYSTEMTIME before = out;
  // A negative number taken as unsigned: millions of days ahead.
  EXPECT_FALSE(AddQuickMenuDays(kNow, QuickMenuDays(-5, 0), &out));
  EXPECT_FALSE(AddQuickMenuDays(kNow, QuickMenuDays(-5, 1), &out));
  EXPECT_FALSE(AddQuickMenuDays(At(10000, 1, 1, 0, 0, 0), 0, &out)) << "no OLE date at all";
  EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0) << "the result is untouched";
  ASSERT_TRUE(AddQuickMenuDays(kNow, QuickMenuDays(99, 1), &out));
  EXPECT_EQ(Narrow(Text(out, out)), "2026-12-15 13:20:37");
  EXPECT_EQ(out.wDayOfWeek, 2) << "a Tuesday";
  EXPECT_EQ(out.wMilliseconds, 0);
}

TEST(QuickMenuLabelTest, CaptionsAreCutToTheirBuffer) {
  wchar_t label[kQuickLabelChars + 2];
  label[kQuickLabelChars] = L'#';
  TimerFormatQuickMenuItem(label, L"%d時間後", 99);
  EXPECT_EQ(std::wstring(label), L"99時間後");
  TimerFormatQuickMenuItem(label, L"%d時間後", 12345);
  EXPECT_EQ(std::wstring(label), L"12345");
  EXPECT_EQ(label[kQuickLabelChars], L'#') << "nothing written past the buffer";
}

}  // namespace
