// The countdown program's appearance dialog 170: the scheduler's dialog with
// this program's resource, ids, command and file, opened from its count
// window after the program's start-up, with no skins while it watches the
// processor.
#include "appearance_dialog.h"

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "appearance.h"
#include "count_window.h"
#include "countdown_state.h"
#include "modal_driver.h"
#include "shared/program_paths.h"
#include "skins.h"
#include "temp_folder.h"
#include "timer_main_window.h"
#include "timer_profile.h"

using testing_support::FileExists;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

namespace {

constexpr int kFormCombo = 1121, kTypeCombo = 1122, kSkinCombo = 1127, kBackgroundCombo = 1135;

class CountdownAppearanceDialogTest : public testing_support::TempFolderTest {
 protected:
  static void SetUpTestSuite() {
    const Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr);
    wcscpy(timerClassName, L"SOPORA");
    wcscpy(timerWindowTitle, L"sopora");
    TimerRegisterWindowClasses(GetModuleHandleW(nullptr));
  }
  static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(gdiplusToken_); }

  void SetUp() override {
    TempFolderTest::SetUp();
    std::memset(&timerSettings, 0, sizeof timerSettings);
    countWindowCreated = 0;
    SetProgramPaths(temp_.path().c_str(), L"Sopora");
    // A usable skin beside the program.
    CreateDirectoryW(temp_.Path(L"skin").c_str(), nullptr);
    CreateDirectoryW(temp_.Path(L"skin\\Plain").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(temp_.Path(L"skin\\Plain\\data.ini"), "[skin]\r\nImage=face.png\r\n"));
    ASSERT_TRUE(WriteBytes(temp_.Path(L"skin\\Plain\\face.png"), ResourceBytes(156)));
    ASSERT_EQ(TimerCreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWNORMAL), 1);
    window_ = mainWindow;
    ASSERT_NE(window_, nullptr);
    SetProgramPaths(temp_.path().c_str(), L"Sopora");
    // The count dialog's place in the pair, as a plain window.
    front_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 300, 200, 121, 44, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    countDialog = front_;
    ASSERT_NE(CreateCountWindow(false), nullptr);
  }
  void TearDown() override {
    if (countWindow && IsWindow(countWindow)) DestroyWindow(countWindow);
    countWindow = nullptr;
    countDialog = nullptr;
    if (front_) DestroyWindow(front_);
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    mainWindow = nullptr;
    DeleteGdiplusBitmap(&appearance.textBackgroundImage);
    DeleteGdiplusBitmap(&appearance.typeImage);
    DeleteGdiplusBitmap(&appearance.skinImage);
    appearance = AppearanceState();
    TempFolderTest::TearDown();
  }

  static std::string ResourceBytes(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    if (!resource) return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    return std::string(data, SizeofResource(module, resource));
  }

  void WithDialog(const std::function<void(HWND)>& body) {
    bool ran = false;
    testing_support::ModalDriver driver([&] {
      HWND dialog = testing_support::FindThreadDialogWithControl(kFormCombo);
      if (!dialog) return false;
      ran = true;
      body(dialog);
      return true;
    });
    SendMessageW(countWindow, WM_COMMAND, 32845, 0);
    EXPECT_TRUE(ran) << "dialog 170 opened";
  }

  static void Choose(HWND dialog, int comboId, int index) {
    SendDlgItemMessageW(dialog, comboId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, comboId)));
  }

  static ULONG_PTR gdiplusToken_;
  HWND window_ = nullptr;
  HWND front_ = nullptr;
};
ULONG_PTR CountdownAppearanceDialogTest::gdiplusToken_;

TEST_F(CountdownAppearanceDialogTest, OpensAsDialog170AndOkWritesTheDataFile) {
  timerSettings.mode = Time;
  WithDialog([&](HWND dialog) {
    wchar_t caption[32] = L"";
    GetWindowTextW(dialog, caption, 32);
    EXPECT_STREQ(caption, L"外観設定");
    EXPECT_EQ(SendDlgItemMessageW(dialog, kSkinCombo, CB_GETCOUNT, 0, 0), 1) << "the skin folder is scanned";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kSkinCombo)));
    EXPECT_EQ(SendDlgItemMessageW(dialog, kBackgroundCombo, CB_GETCOUNT, 0, 0), 6) << "swatch strip 186";
    Choose(dialog, kFormCombo, Custom);
    Choose(dialog, kTypeCombo, 5);
    Choose(dialog, kBackgroundCombo, 1);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kBackgroundCombo)));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  });
  EXPECT_FALSE(FileExists(temp_.Path(L"data_skd")));
  const std::string file = ReadBytes(temp_.Path(L"data"));
  ASSERT_EQ(file.size(), 565u);
  int32_t form = 0, background = 0, type = 0;
  std::memcpy(&form, file.data() + 4, 4);
  std::memcpy(&background, file.data() + 8, 4);
  std::memcpy(&type, file.data() + 12, 4);
  EXPECT_EQ(form, Custom);
  EXPECT_EQ(background, 1);
  EXPECT_EQ(type, 5);
}

TEST_F(CountdownAppearanceDialogTest, WatchingTheProcessorOffersNoSkins) {
  timerSettings.mode = CpuUsage;
  WithDialog([&](HWND dialog) {
    EXPECT_EQ(SendDlgItemMessageW(dialog, kSkinCombo, CB_GETCOUNT, 0, 0), 0) << "no skin folder is scanned";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kSkinCombo)));
    Choose(dialog, kFormCombo, Skinned);
    EXPECT_EQ(appearance.form, Normal) << "no skin can be loaded";
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
  });
  EXPECT_FALSE(FileExists(temp_.Path(L"data")));
}

}  // namespace
