// Starts the real Sopora.exe the way a user does and watches its windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "process_windows.h"
#include "settings_dialog.h"
#include "shared/program_paths.h"
#include "temp_folder.h"
#include "timer_fakes.h"
#include "wait.h"
#include "timer_profile.h"

using namespace testing_support::process_windows;

namespace {

// A control's text in the other process (WM_GETTEXT is carried across).
std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[64] = L"";
  SendMessageW(GetDlgItem(dialog, id), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
  return text;
}

class CountdownProgramTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    exe_ = temp_.Path(L"Sopora.exe");
    // The program keeps its profiles beside itself.
    ASSERT_TRUE(CopyFileW(HostPathToWine(SOPORA_COUNTDOWN_EXE).c_str(), exe_.c_str(), FALSE));
    SetProgramPaths(temp_.path().c_str(), L"Sopora");
  }
  void TearDown() override {
    // Before the folder goes: the programs run in it.
    programs_.EndAll();
    TempFolderTest::TearDown();
  }

  PROCESS_INFORMATION Start() { return programs_.Start(exe_, L"", temp_.path()); }

  static DWORD WaitForExit(const PROCESS_INFORMATION& process) { return StartedPrograms::WaitForExit(process); }

  // Waits for a condition; the limit only stops a broken run from hanging.
  template <typename Condition>
  static bool WaitFor(Condition condition) {
    return testing_support::PumpMessagesUntil(condition);
  }

  std::wstring exe_;
  StartedPrograms programs_;
};

TEST_F(CountdownProgramTest, SecondInstanceIsRefusedWhileTheFirstRuns) {
  const PROCESS_INFORMATION first = Start();
  ASSERT_NE(first.hProcess, nullptr);
  HWND frame = WaitForProcessWindow(first.dwProcessId, L"SOPORA");
  ASSERT_NE(frame, nullptr) << "the frame window did not appear";
  wchar_t title[64] = L"";
  GetWindowTextW(frame, title, 64);
  EXPECT_STREQ(title, L"sopora");

  const PROCESS_INFORMATION second = Start();
  ASSERT_NE(second.hProcess, nullptr);
  HWND box = WaitForProcessWindow(second.dwProcessId, L"#32770");
  ASSERT_NE(box, nullptr) << "the second instance showed no message";
  wchar_t caption[64] = L"x";
  GetWindowTextW(box, caption, 64);
  EXPECT_STREQ(caption, L"");
  EXPECT_TRUE(Contains(ChildTexts(box), L"すでに起動しています"));
  EXPECT_EQ(FindProcessWindowNow(second.dwProcessId, L"SOPORA"), nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForExit(second), 0u);

  EXPECT_EQ(WaitForSingleObject(first.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the first instance ended";
  PostMessageW(frame, WM_COMMAND, 0x8061, 0);  // tray "終了"
  EXPECT_EQ(WaitForExit(first), 0u);
}

TEST_F(CountdownProgramTest, WithoutAnIniFileTheSettingsDialogFillsTheFrame) {
  const PROCESS_INFORMATION process = Start();
  HWND frame = WaitForProcessWindow(process.dwProcessId, L"SOPORA");
  ASSERT_NE(frame, nullptr);
  HWND dialog = FindWindowExW(frame, nullptr, L"#32770", nullptr);
  ASSERT_NE(dialog, nullptr) << "no settings dialog in the frame";
  RECT client, dialogRect;
  GetClientRect(frame, &client);
  GetClientRect(dialog, &dialogRect);
  EXPECT_EQ(client.right, dialogRect.right);
  EXPECT_EQ(client.bottom, dialogRect.bottom);
  EXPECT_EQ(ItemText(dialog, kModeComboId), L"時刻") << "the defaults";
  EXPECT_EQ(ItemText(dialog, kActionComboId), L"シャットダウン") << "the defaults";
  PostMessageW(frame, WM_COMMAND, 0x8061, 0);
  EXPECT_EQ(WaitForExit(process), 0u);
}

TEST_F(CountdownProgramTest, DefaultProfileStartsAndTheTrayAbortBringsTheFrameBack) {
  timer_fakes::ResetTimerSettings();
  timerSettings.mode = Time;
  timerSettings.action = Hibernate;
  // An hour ahead, on the day of loading or the next.
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME ft;
  SystemTimeToFileTime(&now, &ft);
  ULARGE_INTEGER ticks{{ft.dwLowDateTime, ft.dwHighDateTime}};
  ticks.QuadPart += 3600ull * 10000000ull;
  ft = {ticks.LowPart, ticks.HighPart};
  SYSTEMTIME end;
  FileTimeToSystemTime(&ft, &end);
  timerSettings.endTime = end;
  timerSettings.advanceDate = end.wDay != now.wDay ? 1 : 0;
  timerSettings.endDaysAhead = 1;
  ASSERT_TRUE(TimerSaveProfileFile(nullptr, L"default"));
  ASSERT_TRUE(WritePrivateProfileStringW(L"Setting", L"DefProfile", L"default",
                                         temp_.Path(L"sopora.ini").c_str()));

  const PROCESS_INFORMATION process = Start();
  HWND frame = WaitForProcessWindow(process.dwProcessId, L"SOPORA");
  ASSERT_NE(frame, nullptr);
  HWND dialog = FindWindowExW(frame, nullptr, L"#32770", nullptr);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ItemText(dialog, kModeComboId), L"時刻");
  EXPECT_EQ(ItemText(dialog, kActionComboId), L"休止状態");
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(frame); })) << "the frame stays while counting";
  HWND count = WaitForProcessWindow(process.dwProcessId, L"CountClass");
  ASSERT_NE(count, nullptr) << "no count window";
  HWND countDialog = WaitForProcessWindow(process.dwProcessId, L"#32770");
  ASSERT_NE(countDialog, nullptr) << "no count dialog";
  wchar_t text[32] = L"";
  EXPECT_TRUE(WaitFor([&] {
    GetDlgItemTextW(countDialog, 1087, text, 32);
    return std::wstring(text) >= L"00:59:00" && std::wstring(text) <= L"01:00:00";
  })) << "shows " << std::string(text, text + wcslen(text));

  PostMessageW(frame, WM_COMMAND, 0x8003, 0);  // tray "中断"
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(frame) != FALSE; }));
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(count) && !IsWindow(countDialog); }));
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  PostMessageW(frame, WM_COMMAND, 105, 0);  // "終了" of menu 109
  EXPECT_EQ(WaitForExit(process), 0u);
}

}  // namespace
