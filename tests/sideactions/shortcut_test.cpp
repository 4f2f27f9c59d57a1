#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>

#include "shared/app_launcher.h"
#include "shared/program_paths.h"
#include "shortcut_fields.h"
#include "temp_folder.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadShortcut;
using testing_support::ShortcutFields;

// How the start-up code sees the shortcut's arguments.
std::wstring FirstArgument(const std::wstring& arguments) {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW((L"prog.exe " + arguments).c_str(), &count);
  std::wstring first = count > 1 ? argv[1] : L"";
  LocalFree(argv);
  return first;
}

class StartupShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    module_ = module;
    folder_ = module_.substr(0, module_.rfind(L'\\') + 1);
    // A name of this process alone: tests of other programs share the Startup folder.
    baseName_ = L"sopora-shortcut-test-" + std::to_wstring(GetCurrentProcessId());
    SetProgramPaths(folder_.c_str(), baseName_.c_str());
    wchar_t startup[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, startup, CSIDL_STARTUP, TRUE));
    shortcut_ = std::wstring(startup) + L"\\" + baseName_ + L".lnk";
  }
  void TearDown() override {
    DeleteFileW(shortcut_.c_str());
    RemoveDirectoryW(shortcut_.c_str());
    SetProgramPaths(L"", L"");
    CoUninitialize();
  }
  std::wstring module_, folder_, baseName_, shortcut_;
};

TEST_F(StartupShortcutTest, PointsAtTheProgramWithTheQuotedProfile) {
  wchar_t path[MAX_PATH];
  ASSERT_TRUE(GetStartupShortcutPath(path, MAX_PATH));
  EXPECT_EQ(shortcut_, path);

  ASSERT_TRUE(CreateStartupShortcut(L"my profile"));
  ASSERT_TRUE(FileExists(shortcut_));
  const ShortcutFields fields = ReadShortcut(shortcut_);
  ASSERT_TRUE(fields.loaded);
  EXPECT_EQ(0, _wcsicmp(module_.c_str(), fields.target.c_str())) << fields.target;
  EXPECT_EQ(0, _wcsicmp(folder_.c_str(), fields.workFolder.c_str())) << fields.workFolder;
  EXPECT_EQ(L"\"start:my profile\"", fields.arguments);
  EXPECT_EQ(L"start:my profile", FirstArgument(fields.arguments));
}

TEST_F(StartupShortcutTest, SecondProfileReplacesTheFirstAndRemoveDeletesIt) {
  ASSERT_TRUE(CreateStartupShortcut(L"first"));
  ASSERT_TRUE(CreateStartupShortcut(L"second one"));
  EXPECT_EQ(L"start:second one", FirstArgument(ReadShortcut(shortcut_).arguments));
  RemoveStartupShortcut();
  EXPECT_FALSE(FileExists(shortcut_));
  RemoveStartupShortcut();  // already gone: no error
  EXPECT_FALSE(FileExists(shortcut_));
}

TEST_F(StartupShortcutTest, LongestProfileNameFitsWhole) {
  const std::wstring name(31, L'あ');
  ASSERT_TRUE(CreateStartupShortcut(name.c_str()));
  EXPECT_EQ(L"start:" + name, FirstArgument(ReadShortcut(shortcut_).arguments));
}

TEST_F(StartupShortcutTest, AShortcutThatCannotBeSavedIsReported) {
  // A folder in the shortcut's place.
  ASSERT_TRUE(CreateDirectoryW(shortcut_.c_str(), nullptr));
  EXPECT_FALSE(CreateStartupShortcut(L"any"));
  EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesW(shortcut_.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
