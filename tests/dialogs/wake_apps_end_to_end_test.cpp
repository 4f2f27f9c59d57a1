// A user's whole path for the applications after a resume: the items put in the
// model as the main dialog does, their applications and sound set on the real
// sheet, the profile saved through the profile dialog, and a fresh
// SoporaScheduler.exe started with "start:" in this test's folder. The standby
// before the resume item is Wine's, which returns at once as a resume would.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "applications_page.h"
#include "main_window_state.h"
#include "message_box_catcher.h"
#include "modal_driver.h"
#include "process_windows.h"
#include "profile_dialog.h"
#include "schedule_edit.h"
#include "schedule_model.h"
#include "settings_sheet.h"
#include "sheet_driver.h"
#include "shared/app_launcher.h"
#include "shared/program_paths.h"
#include "shared/schedule_time.h"
#include "sound_page.h"
#include "temp_folder.h"
#include "wait.h"
#include "wav_fixture.h"

namespace {

using namespace testing_support::process_windows;
using sheet_driver::Click;
using sheet_driver::Page;
using sheet_driver::PressOk;
using sheet_driver::RunSettingsSheet;
using sheet_driver::ShowPage;

constexpr int kSoundTab = 1, kApplicationsTab = 2;  // general, sound, applications, capture, mail
constexpr wchar_t kProfileName[] = L"resume";

void AddDateItem(const SYSTEMTIME& when, int32_t action) {
  const SYSTEMTIME time = ComposeItemTime(DateMode, when, when);
  const AddPlan plan = PlanAddItem(scheduleTable, orderTable, 0, time, action);
  ASSERT_EQ(plan.kind, AddKind::Insert);
  CommitAddItem(scheduleTable, orderTable, DateMode, 0, plan, time, action);
}

void ChooseListItem(int position) {
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  ListView_SetItemState(settingsSheetState.actionListView, position, both, both);
}

void SetApp(const std::wstring& path, const wchar_t* delay, const wchar_t* arguments) {
  HWND page = Page(kApplicationsPage);
  SetDlgItemTextW(page, kAppPathEdit, path.c_str());
  SetDlgItemTextW(page, kAppDelayEdit, delay);
  SetDlgItemTextW(page, kAppArgumentsEdit, arguments);
  CheckDlgButton(page, kAppMinimizedBox, BST_UNCHECKED);
  Click(page, kAppSetButton);
}

std::vector<std::string> RecordedLines(const std::wstring& file) {
  std::vector<std::string> lines;
  const std::string bytes = testing_support::ReadBytes(file);
  size_t start = 0;
  for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(bytes.substr(start, end - start));
  return lines;
}

std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 4 + 1, '\0');
  out.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                     &out[0], static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

// The error log, UTF-16 with its mark, as UTF-8 for a failure message.
std::string LogText(const std::wstring& file) {
  const std::string bytes = testing_support::ReadBytes(file);
  std::wstring text(bytes.size() / 2, L'\0');
  if (!text.empty()) std::memcpy(&text[0], bytes.data(), text.size() * 2);
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return Utf8(text);
}

// The launched program's arguments, from record_args' line.
std::string ArgumentsOf(const std::string& line) { return line.substr(0, line.find('\t')); }

class WakeAppsEndToEndTest : public testing_support::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    SetProgramPaths(temp_.path().c_str(), L"sopora-wake-apps-test");
    CreateDirectoryW(temp_.Path(L"profile").c_str(), nullptr);
    CreateDirectoryW(temp_.Path(L"profile\\scheduler").c_str(), nullptr);
    CreateDirectoryW(temp_.Path(L"Startup").c_str(), nullptr);
    SetStartupFolderOverride(temp_.Path(L"Startup").c_str());
    startWithWindows = false;
    testing_support::SetMessageBoxAnswer(IDOK);
  }
  void TearDown() override {
    programs_.EndAll();  // before the folder goes: the program runs in it
    SetEnvironmentVariableW(L"SOPORA_RECORD_FILE", nullptr);
    SetStartupFolderOverride(nullptr);
    SetProgramPaths(L"", L"");
    CoUninitialize();
    TempFolderTest::TearDown();
  }
  StartedPrograms programs_;
};

TEST_F(WakeAppsEndToEndTest, BothApplicationsStartAfterTheResumeInDelayOrder) {
  // A standby on a whole minute at least 20 s ahead, the resume the least
  // gap between items later; Wine's standby returns long before it.
  SYSTEMTIME standby{};
  GetLocalTime(&standby);
  AddDaysToSystemTime(&standby, (standby.wSecond < 40 ? 60.0 : 120.0) / 86400.0);
  standby.wSecond = 0;  // items keep whole minutes
  SYSTEMTIME resume = standby;
  AddDaysToSystemTime(&resume, 11.0 * 60 / 86400.0);
  ResetModelToDefaults(scheduleTable, orderTable, profileSettings, temp_.Path(L"ss").c_str());
  scheduleMode = DateMode;
  AddDateItem(standby, Standby);
  AddDateItem(resume, WakeOnly);
  ASSERT_EQ(scheduleTable[0][orderTable[0][1]].action, WakeOnly);

  // Two programs: the page takes one path for one application.
  const std::wstring first = temp_.Path(L"first.exe"), second = temp_.Path(L"second.exe");
  for (const std::wstring& app : {first, second})
    ASSERT_TRUE(CopyFileW(HostPathToWine(SOPORA_RECORD_ARGS_EXE).c_str(), app.c_str(), FALSE));
  const std::wstring tone = temp_.Path(L"tone.wav");
  ASSERT_TRUE(testing_support::WriteBytes(tone, testing_support::MakeWav(300)));

  RunSettingsSheet([&](HWND sheet) {
    ShowPage(sheet, kSoundTab);
    HWND sounds = Page(kSoundPage);
    ASSERT_NE(sounds, nullptr);
    Click(sounds, kSoundListEditButton);
    SetDlgItemTextW(sounds, kSoundPathEdit, tone.c_str());
    SendDlgItemMessageW(sounds, kSoundVolumeBar, TBM_SETPOS, TRUE, 60);
    Click(sounds, kSoundAddButton);
    Click(sounds, kSoundListEditButton);
    ChooseListItem(1);
    HWND combo = GetDlgItem(sounds, kSoundCombo);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SendMessageW(sounds, WM_COMMAND, MAKEWPARAM(kSoundCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    SetDlgItemTextW(sounds, kSoundSecondsEdit, L"1");
    SendMessageW(sounds, WM_COMMAND, MAKEWPARAM(kSoundSplitSetButton, BN_CLICKED), 0);

    ShowPage(sheet, kApplicationsTab);
    ASSERT_NE(Page(kApplicationsPage), nullptr);
    ChooseListItem(1);
    // The later one first: the page keeps them in start order.
    SetApp(second, L"4", L"second \"two words\"");
    SetApp(first, L"1", L"first 1");
    PressOk(sheet);
  });
  for (const auto& box : testing_support::CaughtMessageBoxes()) ADD_FAILURE() << "the sheet said: " << Utf8(box.text);
  ASSERT_TRUE(testing_support::CaughtMessageBoxes().empty());
  const ScheduleItem& wake = scheduleTable[0][orderTable[0][1]];
  ASSERT_EQ(wake.appDelays[0], 1);
  ASSERT_EQ(wake.appDelays[1], 4);
  ASSERT_EQ(wake.soundIndex, 1);
  ASSERT_EQ(profileSettings.sounds.count, 1);

  testing_support::ModalDriver driver([&] {
    HWND dialog = testing_support::FindThreadDialogWithControl(kProfileListId);
    if (!dialog) return false;
    SetDlgItemTextW(dialog, kProfileNameEditId, kProfileName);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kProfileSaveButtonId, BN_CLICKED), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
  });
  RunProfileDialog(nullptr);
  ASSERT_TRUE(testing_support::FileExists(temp_.Path(L"profile\\scheduler\\resume.dat")));
  // The program must run on the saved file alone.
  ResetModelToDefaults(scheduleTable, orderTable, profileSettings, temp_.Path(L"ss").c_str());

  const std::wstring record = temp_.Path(L"launched.txt");
  SetEnvironmentVariableW(L"SOPORA_RECORD_FILE", record.c_str());
  const std::wstring program = temp_.Path(L"SoporaScheduler.exe");
  ASSERT_TRUE(CopyFileW(HostPathToWine(SOPORA_SCHEDULER_EXE).c_str(), program.c_str(), FALSE));
  const PROCESS_INFORMATION process =
      programs_.Start(program, L"\"start:" + std::wstring(kProfileName) + L"\"", temp_.path());
  ASSERT_NE(process.hProcess, nullptr);

  std::vector<std::string> lines;
  ASSERT_TRUE(testing_support::PumpMessagesUntil([&] { return (lines = RecordedLines(record)).size() >= 2; },
                                                 180000))
      << "launched " << lines.size() << " of two";
  SYSTEMTIME seen{};
  GetLocalTime(&seen);
  EXPECT_GE(SecondsBetween(seen, standby), 0.0) << "launched before the standby was due";
  EXPECT_EQ(ArgumentsOf(lines[0]), "first\x1f" "1");
  EXPECT_EQ(ArgumentsOf(lines[1]), "second\x1ftwo words");
  // The resume sound started on the first application's tick; a tone of
  // 0.3 s has ended and been closed well within these 3 s.
  testing_support::PumpMessagesUntil([] { return false; }, 3000);
  EXPECT_EQ(RecordedLines(record).size(), 2u) << "an application started twice";
  DWORD exitCode = 0;
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the program ended with " << std::hex << (GetExitCodeProcess(process.hProcess, &exitCode), exitCode);
  // Wine arms no resume timer, which the log records; the sound and the
  // applications must leave nothing there.
  const std::string log = LogText(temp_.Path(L"Scheduler_error.txt"));
  EXPECT_EQ(log.find(Utf8(L"サウンド再生エラー")), std::string::npos) << log;
  EXPECT_EQ(log.find(Utf8(L"アプリ起動エラー")), std::string::npos) << log;
}

}  // namespace
