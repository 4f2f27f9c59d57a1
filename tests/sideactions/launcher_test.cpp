#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "schedule_app_launch.h"
#include "schedule_model.h"
#include "shared/app_launcher.h"
#include "shared/utilities.h"
#include "temp_folder.h"
#include "wait.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempFolderTest;

struct Started {
  std::vector<std::wstring> args;  // argv[1...]
  int argc = 0;
  unsigned long flags = 0;
  unsigned show = 0;
  std::wstring commandLine;
};

std::wstring FromUtf8(const std::string& s) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

std::vector<std::wstring> Split(const std::wstring& s, wchar_t separator) {
  std::vector<std::wstring> parts;
  size_t begin = 0;
  for (;;) {
    const size_t end = s.find(separator, begin);
    parts.push_back(s.substr(begin, end - begin));
    if (end == std::wstring::npos) return parts;
    begin = end + 1;
  }
}

class LauncherTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module);
    folder.resize(folder.rfind(L'\\') + 1);
    // A folder and a name with blanks, so only a quoted path gets through whole.
    CreateDirectoryW(temp_.Path(L"bin dir").c_str(), nullptr);
    child_ = temp_.Path(L"bin dir\\record args.exe");
    ASSERT_TRUE(CopyFileW((folder + L"record_args.exe").c_str(), child_.c_str(), FALSE));
    record_ = temp_.Path(L"started.txt");
    SetEnvironmentVariableW(L"SOPORA_RECORD_FILE", record_.c_str());
    for (int i = 0; i < kAppCount; ++i) {
      paths_[i][0] = L'\0';
      arguments_[i][0] = L'\0';
      delays_[i] = -1;
      minimized_[i] = 0;
    }
  }

  void SetSlot(int i, int32_t delay, const std::wstring& arguments, uint8_t minimized = 0,
               const std::wstring& path = L"") {
    CopyText(paths_[i], kPathChars, path.empty() ? child_.c_str() : path.c_str());
    CopyText(arguments_[i], kCommandChars, arguments.c_str());
    delays_[i] = delay;
    minimized_[i] = minimized;
  }

  ApplicationList List() const { return ApplicationList{paths_, arguments_, delays_, minimized_}; }

  // The children started so far, once `count` of them have reported.
  std::vector<Started> WaitForStarted(size_t count) {
    std::vector<Started> started;
    testing_support::PumpMessagesUntil([&] {
      started.clear();
      for (const std::wstring& line : Split(FromUtf8(ReadBytes(record_)), L'\n')) {
        const std::vector<std::wstring> fields = Split(line, L'\t');
        if (fields.size() < 5) continue;
        Started s;
        if (!fields[0].empty()) s.args = Split(fields[0], L'\x1f');
        s.argc = _wtoi(fields[1].c_str());
        s.flags = wcstoul(fields[2].c_str(), nullptr, 10);
        s.show = static_cast<unsigned>(_wtoi(fields[3].c_str()));
        s.commandLine = fields[4];
        started.push_back(s);
      }
      return started.size() >= count;
    });
    return started;
  }

  static std::vector<std::wstring> FirstArguments(const std::vector<Started>& started) {
    std::vector<std::wstring> names;
    for (const Started& s : started) names.push_back(s.args.empty() ? L"" : s.args[0]);
    std::sort(names.begin(), names.end());
    return names;
  }

  std::wstring child_;
  std::wstring record_;
  wchar_t paths_[kAppCount][kPathChars];
  wchar_t arguments_[kAppCount][kCommandChars];
  int32_t delays_[kAppCount];
  uint8_t minimized_[kAppCount];
};

struct DelayCase {
  const char* name;
  std::vector<int32_t> delays;        // slots 0.. (rest empty)
  std::vector<int> cursorAfterCall;   // after call k (elapsed k)
  std::vector<int> results;
  std::vector<std::wstring> started;  // first arguments, sorted
};

TEST_F(LauncherTest, StartsSlotsInListOrderByDelay) {
  const DelayCase cases[] = {
      // A long delay holds back the shorter one behind it.
      {"0,5,3", {0, 5, 3}, {1, 1, 1, 1, 1, 10, 10}, {1, 1, 1, 1, 1, 1, 0}, {L"s0", L"s1", L"s2"}},
      {"equal delays start together", {2, 2, 2}, {0, 0, 10, 10}, {1, 1, 1, 0}, {L"s0", L"s1", L"s2"}},
      {"empty slot 0 starts nothing", {-1, 0, 0}, {0, 0}, {0, 0}, {}},
      {"an empty slot between is passed", {0, -1, 0}, {10, 10}, {1, 0}, {L"s0", L"s2"}},
      {"a late first call starts all due", {1, 4, 9}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 10},
       {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}, {L"s0", L"s1", L"s2"}},
  };
  for (const DelayCase& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(record_.c_str());
    for (int i = 0; i < kAppCount; ++i) delays_[i] = -1;
    for (size_t i = 0; i < c.delays.size(); ++i)
      SetSlot(static_cast<int>(i), c.delays[i], L"s" + std::to_wstring(i));
    const ApplicationList list = List();
    int32_t cursor = 0;
    // The last case begins late: its first call is at 9 seconds.
    const bool late = c.delays == std::vector<int32_t>{1, 4, 9};
    for (size_t k = 0; k < c.results.size(); ++k) {
      const int elapsed = late ? (k < 10 ? 0 : 9 + static_cast<int>(k) - 10) : static_cast<int>(k);
      EXPECT_EQ(c.results[k], LaunchApplicationList(list, elapsed, &cursor)) << "call " << k;
      EXPECT_EQ(c.cursorAfterCall[k], cursor) << "call " << k;
    }
    EXPECT_EQ(c.started, FirstArguments(WaitForStarted(c.started.size())));
  }
}

TEST_F(LauncherTest, TheChildGetsItsQuotedPathThenEveryArgument) {
  SetSlot(0, 0, L"first \"two words\" third");
  SetSlot(1, 0, L"");
  int32_t cursor = 0;
  EXPECT_EQ(1, LaunchApplicationList(List(), 0, &cursor));
  const std::vector<Started> started = WaitForStarted(2);
  ASSERT_EQ(2u, started.size());
  for (const Started& s : started) {
    if (s.argc == 4) {
      EXPECT_EQ((std::vector<std::wstring>{L"first", L"two words", L"third"}), s.args);
      EXPECT_EQ(L"\"" + child_ + L"\" first \"two words\" third", s.commandLine);
    } else {
      EXPECT_EQ(1, s.argc);
      EXPECT_EQ(L"\"" + child_ + L"\"", s.commandLine);
    }
  }
}

TEST_F(LauncherTest, MinimisedFlagAsksForSwMinimize) {
  SetSlot(0, 0, L"min", 1);
  SetSlot(1, 0, L"normal", 0);
  int32_t cursor = 0;
  LaunchApplicationList(List(), 0, &cursor);
  const std::vector<Started> started = WaitForStarted(2);
  ASSERT_EQ(2u, started.size());
  for (const Started& s : started) {
    ASSERT_EQ(1u, s.args.size());
    if (s.args[0] == L"min") {
      EXPECT_TRUE(s.flags & STARTF_USESHOWWINDOW);
      EXPECT_EQ(static_cast<unsigned>(SW_MINIMIZE), s.show);
    } else {
      EXPECT_FALSE(s.flags & STARTF_USESHOWWINDOW);
    }
  }
}

TEST_F(LauncherTest, AMissingProgramIsLoggedOnceAndTheOthersStillStart) {
  SetSlot(0, 0, L"before");
  SetSlot(1, 0, L"x", 0, temp_.Path(L"no such folder\\gone.exe"));
  SetSlot(2, 0, L"after");
  int32_t cursor = 0;
  EXPECT_EQ(1, LaunchApplicationList(List(), 0, &cursor));
  EXPECT_EQ(10, cursor);
  EXPECT_EQ((std::vector<std::wstring>{L"after", L"before"}), FirstArguments(WaitForStarted(2)));
  const std::string log = ReadBytes(L"Scheduler_error.txt");
  ASSERT_GE(log.size(), 2u);
  const std::wstring text(reinterpret_cast<const wchar_t*>(log.data() + 2), (log.size() - 2) / 2);
  size_t count = 0;
  for (size_t at = text.find(L"■アプリ起動エラー(gone)"); at != std::wstring::npos;
       at = text.find(L"■アプリ起動エラー(", at + 1))
    ++count;
  EXPECT_EQ(1u, count);
}

TEST_F(LauncherTest, CursorPastTheLastSlotStartsNothing) {
  for (int i = 0; i < kAppCount; ++i) SetSlot(i, 0, L"all" + std::to_wstring(i));
  int32_t cursor = 0;
  EXPECT_EQ(1, LaunchApplicationList(List(), 0, &cursor));
  EXPECT_EQ(10, cursor);
  EXPECT_EQ(0, LaunchApplicationList(List(), 1, &cursor));
  EXPECT_EQ(10, cursor);
  cursor = 11;
  EXPECT_EQ(0, LaunchApplicationList(List(), 1, &cursor));
  cursor = -3;
  EXPECT_EQ(0, LaunchApplicationList(List(), 1, &cursor));
  EXPECT_EQ(10u, WaitForStarted(10).size());
}

TEST_F(LauncherTest, SchedulerFindsTheItemThroughTheTimeOrder) {
  ClearScheduleTable(scheduleTable, orderTable);
  // Position 1 of row 3 is slot 7.
  orderTable[3][0] = 2;
  orderTable[3][1] = 7;
  ScheduleItem& item = scheduleTable[3][7];
  CopyText(item.appPaths[0], kPathChars, child_.c_str());
  CopyText(item.appArguments[0], kCommandChars, L"from-item");
  item.appDelays[0] = 1;
  appLaunchCursor = 0;
  EXPECT_EQ(1, LaunchApplication(3, 1, 0));
  EXPECT_EQ(0, appLaunchCursor);
  EXPECT_EQ(1, LaunchApplication(3, 1, 1));
  EXPECT_EQ(10, appLaunchCursor);
  EXPECT_EQ(0, LaunchApplication(3, 1, 2));
  appLaunchCursor = 0;
  EXPECT_EQ(0, LaunchApplication(3, 0, 0));  // slot 2 has no applications
  const std::vector<Started> started = WaitForStarted(1);
  ASSERT_EQ(1u, started.size());
  EXPECT_EQ(std::vector<std::wstring>{L"from-item"}, started[0].args);
}

}  // namespace
