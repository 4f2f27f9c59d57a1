// The appearance dialog of a real run: the scheduler's main window, its
// countdown dialog and the layered count window on the Xvfb display, and
// dialog 151 opened by the count window's command. The screen is read to see
// each choice on the count window. Runs alone (RUN_SERIAL).
#include "appearance_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "appearance.h"
#include "count_window.h"
#include "countdown_dialog.h"
#include "main_window.h"
#include "main_window_state.h"
#include "message_box_catcher.h"
#include "modal_driver.h"
#include "mode_dialog.h"
#include "schedule_model.h"
#include "screen.h"
#include "seam_fakes.h"
#include "shared/program_paths.h"
#include "shared/schedule_time.h"
#include "skins.h"
#include "temp_folder.h"

using testing_support::CaughtMessageBoxes;
using testing_support::FileExists;
using testing_support::PumpMessagesUntil;
using testing_support::ReadBytes;
using testing_support::ScreenImage;
using testing_support::TempFolderTest;
using testing_support::WaitForScreenPixel;
using testing_support::WriteBytes;

namespace {

constexpr POINT kHome = {300, 200};
const wchar_t* const kBelowClass = L"AppearanceRunBelow";
const COLORREF kGrey = RGB(128, 128, 128);
constexpr int kAppearanceCommand = 32776;
constexpr int kFormCombo = 1821, kTypeCombo = 1822, kSkinCombo = 1829, kBackgroundCombo = 1828;
constexpr int kEnglishCheck = 1827;
const int kTypeImageIds[6] = {205, 206, 207, 208, 209, 210};
const int kBackgroundIds[6] = {199, 200, 201, 202, 203, 204};

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};
::testing::Environment* const gdiplusEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

int32_t Int32At(const std::string& bytes, size_t offset) {
  int32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

// A 24-bit bitmap file of one colour: a skin image of a known size and look.
std::string SolidBmp(int width, int height, COLORREF color) {
  const int rowBytes = (width * 3 + 3) & ~3;
  const int imageBytes = rowBytes * height;
  std::string file(54 + imageBytes, '\0');
  auto put32 = [&](size_t at, uint32_t value) { std::memcpy(&file[at], &value, 4); };
  auto put16 = [&](size_t at, uint16_t value) { std::memcpy(&file[at], &value, 2); };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      char* pixel = &file[54 + y * rowBytes + x * 3];
      pixel[0] = static_cast<char>(GetBValue(color));
      pixel[1] = static_cast<char>(GetGValue(color));
      pixel[2] = static_cast<char>(GetRValue(color));
    }
  return file;
}

bool Near(COLORREF a, COLORREF b, int tolerance = 6) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// An opaque pixel of a built-in image, in the image's own coordinates.
struct ImagePixel {
  POINT at;
  COLORREF color;
};
ImagePixel OpaquePixelOf(int resourceId, RECT searchIn) {
  HMODULE module = GetModuleHandleW(nullptr);
  GdiplusBitmap bitmap = LoadPngResource(module, FindResourceW(module, MAKEINTRESOURCEW(resourceId),
                                                               MAKEINTRESOURCEW(10)));
  ImagePixel found = {{-1, -1}, CLR_INVALID};
  for (int y = searchIn.top; y < searchIn.bottom && found.at.x < 0; ++y)
    for (int x = searchIn.left; x < searchIn.right && found.at.x < 0; ++x) {
      Gdiplus::ARGB argb = 0;
      Gdiplus::DllExports::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(bitmap), x, y, &argb);
      if ((argb >> 24) == 255) found = {{x, y}, RGB((argb >> 16) & 255, (argb >> 8) & 255, argb & 255)};
    }
  DeleteGdiplusBitmap(&bitmap);
  return found;
}

// Pumps until the screen at the count window's (x, y) shows `color`.
bool WaitForCountPixel(POINT at, COLORREF color, COLORREF* seen) {
  return PumpMessagesUntil([&] {
    *seen = testing_support::ScreenPixel(kHome.x + at.x, kHome.y + at.y);
    return Near(*seen, color);
  });
}

RECT WindowRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

// What a user's choice in a combo does: the selection, then its notification.
void Choose(HWND dialog, int comboId, int index) {
  SendDlgItemMessageW(dialog, comboId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, comboId)));
}

void Press(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickSwatch(HWND dialog) {
  const RECT swatch = AppearanceSwatchRect();
  const LPARAM at = MAKELPARAM((swatch.left + swatch.right) / 2, (swatch.top + swatch.bottom) / 2);
  SendMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(dialog, WM_LBUTTONUP, 0, at);
}

class AppearanceDialogTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    static const bool registered = [] {
      HINSTANCE instance = GetModuleHandleW(nullptr);
      LoadStringW(instance, 103, windowTitle, 100);
      LoadStringW(instance, 109, className, 100);
      WNDCLASSEXW below = {};
      below.cbSize = sizeof below;
      below.lpfnWndProc = DefWindowProcW;
      below.hInstance = instance;
      below.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
      below.lpszClassName = kBelowClass;
      return RegisterWindowClasses(instance) && RegisterClassExW(&below) != 0;
    }();
    ASSERT_TRUE(registered);
    countdown_fakes::InstallPower();
    countWindowSettings = CountWindowSettings();
    countdownDialog = countWindow = nullptr;
    ASSERT_TRUE(WriteBytes(L"Scheduler.ini", "[CountWindow]\r\nCountPos.x=300\r\nCountPos.y=200\r\n"));
    ClearScheduleTable(scheduleTable, orderTable);
    memset(&profileSettings, 0, sizeof profileSettings);
    memset(featureOff, 0, sizeof featureOff);
    scheduleMode = DateMode;
    startProfileName[0] = L'\0';
    endNowRequested = 0;
    DeleteGdiplusBitmap(&appearance.textBackgroundImage);
    DeleteGdiplusBitmap(&appearance.typeImage);
    DeleteGdiplusBitmap(&appearance.skinImage);
    appearance = AppearanceState();
    {
      testing_support::ModalDriver answer([] {
        HWND mode = testing_support::FindThreadDialogWithControl(kDateModeRadioId);
        if (!mode) return false;
        PostMessageW(mode, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
      });
      window_ = CreateWindowExW(0, className, windowTitle, WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 400, 300,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ASSERT_NE(window_, nullptr);
    // The skins of this test live in its folder.
    SetProgramPaths(temp_.path().c_str(), L"SoporaScheduler");
    CreateDirectoryW(temp_.Path(L"skin").c_str(), nullptr);
    below_ = CreateWindowExW(WS_EX_TOOLWINDOW, kBelowClass, L"", WS_POPUP | WS_VISIBLE, kHome.x - 60, kHome.y - 60,
                             260, 180, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(below_, nullptr);
    ASSERT_TRUE(WaitForScreenPixel(kHome.x - 50, kHome.y - 50, kGrey));
    SYSTEMTIME due;
    GetLocalTime(&due);
    due.wMilliseconds = 0;
    AddDaysToSystemTime(&due, 300.0 / 86400.0);
    ScheduleItem& item = scheduleTable[0][0];
    item.listIndex = 0;
    item.time = due;
    item.action = Shutdown;
    item.oleTime = ToOleDate(due);
    wcscpy(item.weekdayText, L"(日)");
    orderTable[0][0] = 0;
  }
  void TearDown() override {
    if (countWindow && IsWindow(countWindow)) DestroyWindow(countWindow);
    if (countdownDialog && IsWindow(countdownDialog)) DestroyWindow(countdownDialog);
    countWindow = countdownDialog = nullptr;
    if (below_) DestroyWindow(below_);
    if (window_ && IsWindow(window_)) {
      DestroyWindow(mainDialog);
      mainDialog = nullptr;
      DestroyWindow(window_);
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      DispatchMessageW(&message);
    }
    DeleteGdiplusBitmap(&appearance.textBackgroundImage);
    DeleteGdiplusBitmap(&appearance.typeImage);
    DeleteGdiplusBitmap(&appearance.skinImage);
    appearance = AppearanceState();
    countdown_fakes::RemovePower();
    TempFolderTest::TearDown();
  }

  void StartRun() {
    LoadCountWindowImages(window_);
    ASSERT_NE(CreateCountdownDialog(), nullptr);
    ASSERT_NE(CreateCountWindow(false), nullptr);
    ASSERT_TRUE(testing_support::WaitForWindowOverColor(countWindow, kGrey));
  }

  void MakeSkin(const std::wstring& name, const std::string& image) {
    const std::wstring folder = temp_.Path(L"skin\\" + name);
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(folder + L"\\data.ini", "[skin]\r\nImage=face.bmp\r\n"));
    ASSERT_TRUE(WriteBytes(folder + L"\\face.bmp", image));
  }

  // Opens the dialog with the count window's command and runs `body` on it
  // while it is open; `body` ends it with OK or Cancel.
  void WithDialog(const std::function<void(HWND)>& body) {
    bool ran = false;
    testing_support::ModalDriver driver([&] {
      HWND dialog = testing_support::FindThreadDialogWithControl(kFormCombo);
      if (!dialog) return false;
      ran = true;
      body(dialog);
      return true;
    });
    SendMessageW(countWindow, WM_COMMAND, kAppearanceCommand, 0);
    EXPECT_TRUE(ran) << "the dialog opened";
    EXPECT_EQ(countWindowSettings.appearanceDialog, nullptr) << "closed";
  }

  HWND window_ = nullptr;
  HWND below_ = nullptr;
};

// The type frame's opaque pixel left of the digit field, and the text-1
// background's at its left end (the label is centred, away from it).
ImagePixel TypePixel(int index) { return OpaquePixelOf(kTypeImageIds[index], {3, 22, 15, 30}); }
ImagePixel BackgroundPixel(int index) {
  ImagePixel pixel = OpaquePixelOf(kBackgroundIds[index], {2, 8, 8, 12});
  pixel.at.x += 25;  // where the background lies in the window
  pixel.at.y += 5;
  return pixel;
}

TEST_F(AppearanceDialogTest, EachTypeAndBackgroundIsPreviewedAndCancelRestoresTheWindowWritingNothing) {
  StartRun();
  const ImagePixel startFrame = TypePixel(0);
  ASSERT_GE(startFrame.at.x, 0);
  COLORREF seen = CLR_INVALID;
  ASSERT_TRUE(WaitForCountPixel(startFrame.at, startFrame.color, &seen));

  WithDialog([&](HWND dialog) {
    wchar_t caption[32] = L"";
    GetWindowTextW(dialog, caption, 32);
    EXPECT_STREQ(caption, L"外観変更");
    EXPECT_EQ(SendDlgItemMessageW(dialog, kFormCombo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendDlgItemMessageW(dialog, kTypeCombo, CB_GETCOUNT, 0, 0), 6);
    EXPECT_EQ(SendDlgItemMessageW(dialog, kBackgroundCombo, CB_GETCOUNT, 0, 0), 6);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kBackgroundCombo))) << "Normal: the background follows the type";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kSkinCombo)));
    // Beside the count window, on its right (the left half of the screen).
    EXPECT_EQ(WindowRect(dialog).left, WindowRect(countWindow).right + 3);

    // Form Normal: each type brings its own background.
    for (int type = 1; type < 6; ++type) {
      SCOPED_TRACE(type);
      Choose(dialog, kTypeCombo, type);
      const ImagePixel frame = TypePixel(type);
      const ImagePixel background = BackgroundPixel(type);
      EXPECT_TRUE(WaitForCountPixel(frame.at, frame.color, &seen)) << std::hex << seen;
      EXPECT_TRUE(WaitForCountPixel(background.at, background.color, &seen)) << std::hex << seen;
      EXPECT_EQ(appearance.typeIndex, type);
      EXPECT_EQ(appearance.textBackgroundIndex, type);
    }
    // Form Custom: the background is chosen apart from the type.
    Choose(dialog, kFormCombo, Custom);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kBackgroundCombo)));
    Choose(dialog, kTypeCombo, 2);
    for (int background : {0, 4}) {
      SCOPED_TRACE(background);
      Choose(dialog, kBackgroundCombo, background);
      const ImagePixel pixel = BackgroundPixel(background);
      EXPECT_TRUE(WaitForCountPixel(pixel.at, pixel.color, &seen)) << std::hex << seen;
      EXPECT_TRUE(WaitForCountPixel(TypePixel(2).at, TypePixel(2).color, &seen)) << std::hex << seen;
    }
    Press(dialog, IDCANCEL);
  });

  EXPECT_EQ(appearance.form, Normal);
  EXPECT_EQ(appearance.typeIndex, 0);
  EXPECT_EQ(appearance.textBackgroundIndex, 0);
  EXPECT_EQ(appearance.savedTypeNormal, 0);
  EXPECT_EQ(appearance.savedTypeCustom, 0);
  EXPECT_TRUE(WaitForCountPixel(startFrame.at, startFrame.color, &seen)) << std::hex << seen;
  EXPECT_TRUE(WaitForCountPixel(BackgroundPixel(0).at, BackgroundPixel(0).color, &seen)) << std::hex << seen;
  EXPECT_FALSE(FileExists(temp_.Path(L"data_skd")));
  EXPECT_FALSE(FileExists(temp_.Path(L"data_skd.tmp")));
}

TEST_F(AppearanceDialogTest, OkWritesTheWholeFileAtItsOffsets) {
  StartRun();
  WithDialog([&](HWND dialog) {
    Choose(dialog, kTypeCombo, 4);  // remembered for form Normal
    Choose(dialog, kFormCombo, Custom);
    Choose(dialog, kTypeCombo, 3);
    Choose(dialog, kBackgroundCombo, 5);
    // The colour chooser: the digits take each edit at once.
    bool chooserSeen = false;
    testing_support::ModalDriver chooser([&] {
      HWND colors = testing_support::FindThreadDialogWithControl(706);
      if (!colors) return false;
      chooserSeen = true;
      SetDlgItemTextW(colors, 706, L"10");
      SetDlgItemTextW(colors, 707, L"20");
      SetDlgItemTextW(colors, 708, L"30");
      EXPECT_EQ(appearance.textColor.red, 10);
      EXPECT_EQ(appearance.textColor.green, 20);
      EXPECT_EQ(appearance.textColor.blue, 30);
      SendMessageW(colors, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(colors, IDOK)));
      return true;
    });
    ClickSwatch(dialog);
    EXPECT_TRUE(chooserSeen);
    // The digits in their new colour on the screen.
    const RECT count = WindowRect(countWindow);
    int coloured = 0;
    PumpMessagesUntil([&] {
      const ScreenImage screen(count);
      coloured = 0;
      for (int y = count.top + 20; y < count.top + 40; ++y)
        for (int x = count.left + 17; x < count.left + 111; ++x)
          if (Near(screen.At(x, y), RGB(10, 20, 30), 24)) ++coloured;
      return coloured > 20;
    });
    EXPECT_GT(coloured, 20) << "digits drawn in (10, 20, 30)";
    CheckDlgButton(dialog, kEnglishCheck, BST_CHECKED);
    Press(dialog, kEnglishCheck);
    Press(dialog, IDOK);
  });

  const std::string file = ReadBytes(temp_.Path(L"data_skd"));
  ASSERT_EQ(file.size(), 565u);
  EXPECT_EQ(Int32At(file, 0), 1) << "version";
  EXPECT_EQ(Int32At(file, 4), Custom);
  EXPECT_EQ(Int32At(file, 8), 5) << "text-1 background";
  EXPECT_EQ(Int32At(file, 12), 3) << "type";
  EXPECT_EQ(file[16], 1) << "English labels";
  EXPECT_EQ(Int32At(file, 17), 4) << "type last used in Normal";
  EXPECT_EQ(Int32At(file, 21), 5) << "background last used in Custom";
  EXPECT_EQ(Int32At(file, 25), 3) << "type last used in Custom";
  EXPECT_EQ(Int32At(file, 29), 0) << "colour's reserved member";
  EXPECT_EQ(Int32At(file, 33), 10);
  EXPECT_EQ(Int32At(file, 37), 20);
  EXPECT_EQ(Int32At(file, 41), 30);
  EXPECT_EQ(file.substr(45), std::string(520, '\0')) << "no skin";
  EXPECT_FALSE(FileExists(temp_.Path(L"data_skd.tmp")));
}

TEST_F(AppearanceDialogTest, SkinsArePreviewedAndAnUnreadableOneKeepsThePreviousWithItsMessage) {
  MakeSkin(L"Blue", SolidBmp(90, 36, RGB(20, 40, 200)));
  MakeSkin(L"Red", SolidBmp(140, 30, RGB(210, 30, 20)));
  MakeSkin(L"Broken", "not an image at all");
  StartRun();
  WithDialog([&](HWND dialog) {
    ASSERT_EQ(SendDlgItemMessageW(dialog, kSkinCombo, CB_GETCOUNT, 0, 0), 3);
    auto positionOf = [&](const wchar_t* name) {
      return static_cast<int>(SendDlgItemMessageW(dialog, kSkinCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(name)));
    };
    COLORREF seen = CLR_INVALID;
    // Form Skinned tries the first listed skin; the file system decides which.
    Choose(dialog, kFormCombo, Skinned);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, kSkinCombo)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kTypeCombo)));
    if (positionOf(L"Broken") == 0) {
      EXPECT_EQ(appearance.form, Normal) << "no skin loaded, the form stays";
      EXPECT_EQ(CaughtMessageBoxes().size(), 1u);
    } else {
      EXPECT_EQ(appearance.form, Skinned);
      EXPECT_TRUE(CaughtMessageBoxes().empty());
    }
    Choose(dialog, kSkinCombo, positionOf(L"Red"));
    ASSERT_EQ(appearance.form, Skinned);
    // The dialog lies right of where the 121-pixel window was.
    EXPECT_TRUE(WaitForCountPixel({100, 10}, RGB(210, 30, 20), &seen)) << std::hex << seen;
    RECT count = WindowRect(countWindow);
    EXPECT_EQ(count.right - count.left, 140);
    EXPECT_EQ(count.bottom - count.top, 30);

    Choose(dialog, kSkinCombo, positionOf(L"Blue"));
    EXPECT_TRUE(WaitForCountPixel({80, 30}, RGB(20, 40, 200), &seen)) << std::hex << seen;
    count = WindowRect(countWindow);
    EXPECT_EQ(count.right - count.left, 90);
    EXPECT_EQ(count.bottom - count.top, 36);
    EXPECT_TRUE(PumpMessagesUntil([&] {
      return Near(testing_support::ScreenPixel(kHome.x + 100, kHome.y + 10), kGrey, 0);
    })) << "the red skin's width is gone";

    testing_support::ClearCaughtMessageBoxes();
    Choose(dialog, kSkinCombo, positionOf(L"Broken"));
    const auto boxes = CaughtMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Pngファイル読み込みエラー");
    EXPECT_EQ(boxes[0].text, L"face.bmpを画像として読み込めません。");
    EXPECT_EQ(boxes[0].owner, dialog);
    PumpMessagesUntil([] { return false; }, 300);
    EXPECT_TRUE(WaitForCountPixel({80, 30}, RGB(20, 40, 200), &seen)) << "the blue skin stays";
    count = WindowRect(countWindow);
    EXPECT_EQ(count.right - count.left, 90);
    Press(dialog, IDOK);
  });
  EXPECT_STREQ(appearance.skinName, L"Blue") << "the last skin that loaded";
  const std::string file = ReadBytes(temp_.Path(L"data_skd"));
  ASSERT_EQ(file.size(), 565u);
  EXPECT_EQ(Int32At(file, 4), Skinned);
  const std::wstring name = L"Blue";
  EXPECT_EQ(file.substr(45, 10), std::string(reinterpret_cast<const char*>(name.c_str()), 10));
  EXPECT_EQ(file.substr(55), std::string(510, '\0'));
}

TEST_F(AppearanceDialogTest, CancelInFormSkinnedBringsTheOpeningSkinBack) {
  MakeSkin(L"Blue", SolidBmp(90, 36, RGB(20, 40, 200)));
  MakeSkin(L"Red", SolidBmp(140, 30, RGB(210, 30, 20)));
  appearance.form = Skinned;
  wcscpy(appearance.skinName, L"Red");
  StartRun();
  COLORREF seen = CLR_INVALID;
  ASSERT_TRUE(WaitForCountPixel({130, 25}, RGB(210, 30, 20), &seen)) << std::hex << seen;
  WithDialog([&](HWND dialog) {
    const int blue = static_cast<int>(SendDlgItemMessageW(dialog, kSkinCombo, CB_FINDSTRINGEXACT,
                                                          static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Blue")));
    EXPECT_NE(SendDlgItemMessageW(dialog, kSkinCombo, CB_GETCURSEL, 0, 0), blue) << "the open skin is selected";
    Choose(dialog, kSkinCombo, blue);
    EXPECT_TRUE(WaitForCountPixel({80, 30}, RGB(20, 40, 200), &seen)) << std::hex << seen;
    Press(dialog, IDCANCEL);
  });
  EXPECT_EQ(appearance.form, Skinned);
  EXPECT_STREQ(appearance.skinName, L"Red");
  EXPECT_TRUE(WaitForCountPixel({130, 25}, RGB(210, 30, 20), &seen)) << std::hex << seen;
  const RECT count = WindowRect(countWindow);
  EXPECT_EQ(count.right - count.left, 140);
  EXPECT_FALSE(FileExists(temp_.Path(L"data_skd")));
}

TEST_F(AppearanceDialogTest, TheSwatchInFormSkinnedChangesNothing) {
  MakeSkin(L"Red", SolidBmp(140, 30, RGB(210, 30, 20)));
  appearance.form = Skinned;
  appearance.savedColor = {0, 10, 20, 30};
  appearance.savedTypeCustom = 2;
  wcscpy(appearance.skinName, L"Red");
  StartRun();
  bool chooserSeen = false;
  WithDialog([&](HWND dialog) {
    // Should a chooser open, it is closed with the colour black.
    testing_support::ModalDriver chooser([&] {
      HWND colors = testing_support::FindThreadDialogWithControl(706);
      if (!colors) return false;
      chooserSeen = true;
      SendMessageW(colors, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(colors, IDOK)));
      return true;
    });
    ClickSwatch(dialog);
    Press(dialog, IDOK);
  });
  EXPECT_FALSE(chooserSeen) << "no chooser behind the hidden swatch";
  const std::string file = ReadBytes(temp_.Path(L"data_skd"));
  ASSERT_EQ(file.size(), 565u);
  EXPECT_EQ(Int32At(file, 4), Skinned);
  EXPECT_EQ(Int32At(file, 33), 10) << "the custom colour is kept";
  EXPECT_EQ(Int32At(file, 37), 20);
  EXPECT_EQ(Int32At(file, 41), 30);
}

TEST_F(AppearanceDialogTest, CustomColourComesBackAfterNormalAndOneDialogAtATime) {
  MakeSkin(L"Red", SolidBmp(140, 30, RGB(210, 30, 20)));
  appearance.form = Custom;
  appearance.savedColor = {0, 10, 20, 30};
  appearance.textColor = appearance.savedColor;
  StartRun();
  WithDialog([&](HWND dialog) {
    Choose(dialog, kFormCombo, Normal);
    EXPECT_EQ(appearance.textColor.red + appearance.textColor.green + appearance.textColor.blue, 0)
        << "black digits in Normal";
    Choose(dialog, kFormCombo, Custom);
    EXPECT_EQ(appearance.textColor.red, 10);
    EXPECT_EQ(appearance.textColor.blue, 30);
    // A second command while the dialog is open opens nothing.
    SendMessageW(countWindow, WM_COMMAND, kAppearanceCommand, 0);
    EXPECT_EQ(countWindowSettings.appearanceDialog, dialog);
    // A skin name too long for the dialog's buffer is refused, not read.
    const std::wstring longName(300, L'x');
    const int position = static_cast<int>(
        SendDlgItemMessageW(dialog, kSkinCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longName.c_str())));
    bool loaded = true;
    SendMessageW(dialog, kMsgAppearanceTrySkin, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&loaded));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(appearance.form, Custom);
    Press(dialog, IDOK);
  });
  const std::string file = ReadBytes(temp_.Path(L"data_skd"));
  ASSERT_EQ(file.size(), 565u);
  EXPECT_EQ(Int32At(file, 4), Custom);
  EXPECT_EQ(Int32At(file, 33), 10);
}

TEST_F(AppearanceDialogTest, CancelInTheColourChooserPutsTheDigitColourBack) {
  appearance.form = Custom;
  appearance.savedColor = {0, 10, 20, 30};
  appearance.textColor = appearance.savedColor;
  StartRun();
  WithDialog([&](HWND dialog) {
    TextColor during = {};
    testing_support::ModalDriver chooser([&] {
      HWND colors = testing_support::FindThreadDialogWithControl(706);
      if (!colors) return false;
      SetDlgItemTextW(colors, 706, L"50");
      SetDlgItemTextW(colors, 707, L"60");
      SetDlgItemTextW(colors, 708, L"70");
      during = appearance.textColor;
      SendMessageW(colors, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(colors, IDCANCEL)));
      return true;
    });
    ClickSwatch(dialog);
    EXPECT_EQ(during.red, 50) << "previewed while the chooser was open";
    EXPECT_EQ(during.blue, 70);
    EXPECT_EQ(appearance.textColor.red, 10);
    EXPECT_EQ(appearance.textColor.green, 20);
    EXPECT_EQ(appearance.textColor.blue, 30);
    Press(dialog, IDCANCEL);
  });
  EXPECT_EQ(appearance.savedColor.red, 10);
  EXPECT_FALSE(FileExists(temp_.Path(L"data_skd")));
}

TEST_F(AppearanceDialogTest, IndicesOutOfRangeStillGiveTheCombosASelection) {
  StartRun();
  appearance.typeIndex = 9;
  appearance.textBackgroundIndex = -3;
  WithDialog([&](HWND dialog) {
    EXPECT_EQ(SendDlgItemMessageW(dialog, kTypeCombo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendDlgItemMessageW(dialog, kBackgroundCombo, CB_GETCURSEL, 0, 0), 0);
    Press(dialog, IDCANCEL);
  });
  EXPECT_EQ(appearance.typeIndex, 9) << "Cancel changes nothing";
}

}  // namespace
