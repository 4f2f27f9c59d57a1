#include "skins.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <chrono>
#include <string>

#include "count_window_config.h"
#include "image_fixtures.h"
#include "message_box_catcher.h"
#include "shared/program_paths.h"
#include "temp_folder.h"
#include "test_globals.h"

using testing_support::CaughtMessageBoxes;
using testing_support::TempFolderTest;
using testing_support::WriteBytes;

namespace {

// The bytes of a built-in PNG, to make skin images of a known size.
std::string ResourceBytes(int id) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  if (!resource) return std::string();
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
  return std::string(data, SizeofResource(module, resource));
}

std::string Utf16(const std::wstring& text) {
  std::string bytes("\xFF\xFE", 2);
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  return bytes;
}

class SkinTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ResetAppearance();
    SetProgramPaths(temp_.path().c_str(), L"SoporaScheduler");
    CreateDirectoryW(temp_.Path(L"skin").c_str(), nullptr);
  }
  void TearDown() override {
    ResetAppearance();
    TempFolderTest::TearDown();
  }
  // skin\<name>\data.ini (UTF-16) and, when given, the image bytes.
  void MakeSkin(const std::wstring& name, const std::wstring& ini, const std::wstring& imageName,
                const std::string& imageBytes) {
    std::wstring folder = temp_.Path(L"skin\\" + name);
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(folder + L"\\data.ini", Utf16(ini)));
    if (!imageName.empty()) {
      ASSERT_TRUE(WriteBytes(folder + L"\\" + imageName, imageBytes));
    }
  }
  std::wstring IniPath(const std::wstring& name) { return temp_.Path(L"skin\\" + name + L"\\data.ini"); }
};

TEST_F(SkinTest, LayoutKeysAreReadWithTheirWidths) {
  struct Case {
    const wchar_t* lines;
    SkinLayout expected;
  };
  std::wstring longFace(120, L'F');
  const Case cases[] = {
      {L"Font=Verdana\r\nFontSize=22\r\nBold=1\r\nAlign=1\r\nLocationX=8\r\nLocationY=25\r\n"
       L"Width=152\r\nHeight=28\r\nColorR=28\r\nColorG=44\r\nColorB=72\r\n",
       {L"Verdana", 22, 1, 1, 8, 25, 152, 28, {0, 28, 44, 72}}},
      // Each value is cut to its width: 2, 1, 1, 4 and 3 characters.
      {L"FontSize=123\r\nBold=20\r\nAlign=29\r\nLocationX=12345\r\nLocationY=-123\r\n"
       L"Width=99999\r\nHeight=7\r\nColorR=2559\r\nColorG=-5\r\nColorB=1234\r\n",
       {L"Meiryo UI", 12, 1, 2, 1234, -123, 9999, 7, {0, 255, 0, 123}}},
      // No keys at all: the defaults.
      {L"", {L"Meiryo UI", 11, 0, 0, 0, 0, 0, 0, {0, 0, 0, 0}}},
      // A font size of 0 or less uses the default.
      {L"FontSize=0\r\n", {L"Meiryo UI", 11, 0, 0, 0, 0, 0, 0, {0, 0, 0, 0}}},
      {L"FontSize=-5\r\nAlign=9\r\n", {L"Meiryo UI", 11, 0, 9, 0, 0, 0, 0, {0, 0, 0, 0}}},
      {L"FontSize=xx\r\nBold=x\r\n", {L"Meiryo UI", 11, 0, 0, 0, 0, 0, 0, {0, 0, 0, 0}}},
  };
  for (const Case& c : cases) {
    std::wstring ini = L"[skin]\r\nImage=a.png\r\n[Text1]\r\n" + std::wstring(c.lines);
    MakeSkin(L"t", ini, L"", "");
    SkinLayout got = ReadSkinLayout(IniPath(L"t").c_str(), L"Text1");
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    EXPECT_STREQ(got.fontFace, c.expected.fontFace);
    EXPECT_EQ(got.fontSize, c.expected.fontSize);
    EXPECT_EQ(got.bold, c.expected.bold);
    EXPECT_EQ(got.align, c.expected.align);
    EXPECT_EQ(got.locationX, c.expected.locationX);
    EXPECT_EQ(got.locationY, c.expected.locationY);
    EXPECT_EQ(got.width, c.expected.width);
    EXPECT_EQ(got.height, c.expected.height);
    EXPECT_EQ(got.color.red, c.expected.color.red);
    EXPECT_EQ(got.color.green, c.expected.color.green);
    EXPECT_EQ(got.color.blue, c.expected.color.blue);
  }
  MakeSkin(L"t", L"[Text2]\r\nFont=" + longFace + L"\r\n", L"", "");
  SkinLayout cut = ReadSkinLayout(IniPath(L"t").c_str(), L"Text2");
  EXPECT_EQ(std::wstring(cut.fontFace), longFace.substr(0, 99));
}

TEST_F(SkinTest, LoadsTheImageAndBothLayouts) {
  MakeSkin(L"Blue", L"[skin]\r\nImage=face.png\r\n[Text1]\r\nFontSize=13\r\n[Text2]\r\nAlign=2\r\n",
           L"face.png", ResourceBytes(205));
  ASSERT_TRUE(LoadSkin(L"Blue", nullptr));
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  SIZE size = GdiplusBitmapSize(appearance.skinImage);
  EXPECT_EQ(size.cx, 121);
  EXPECT_EQ(size.cy, 44);
  EXPECT_EQ(appearance.skinLayout[0].fontSize, 13);
  EXPECT_EQ(appearance.skinLayout[1].align, 2);
  appearance.form = Skinned;
  EXPECT_EQ(CountWindowFormSize().cx, 121);
}

TEST_F(SkinTest, FailuresReportAndKeepThePreviousSkin) {
  MakeSkin(L"Good", L"[skin]\r\nImage=face.png\r\n[Text1]\r\nFontSize=17\r\n", L"face.png",
           ResourceBytes(199));
  ASSERT_TRUE(LoadSkin(L"Good", nullptr));
  GdiplusBitmap before = appearance.skinImage;

  MakeSkin(L"NoImage", L"[skin]\r\nImage=gone.png\r\n", L"", "");
  MakeSkin(L"NoKey", L"[Text1]\r\nFontSize=5\r\n", L"", "");
  MakeSkin(L"Garbage", L"[skin]\r\nImage=bad.png\r\n[Text1]\r\nFontSize=5\r\n", L"bad.png",
           "this is not a PNG at all");
  MakeSkin(L"Empty", L"[skin]\r\nImage=empty.png\r\n", L"empty.png", "");
  struct Case {
    const wchar_t* name;
    std::wstring text;
  };
  const Case cases[] = {
      {L"Missing", temp_.Path(L"skin\\Missing\\data.ini") + L"が存在しません。"},
      {L"NoImage", L"gone.pngが存在しません。"},
      {L"NoKey", IniPath(L"NoKey") + L"の[skin] Imageが存在しません。"},
      {L"Garbage", L"bad.pngを画像として読み込めません。"},
      {L"Empty", L"empty.pngを画像として読み込めません。"},
      {L"", L"スキン名「」は使用できません。"},
  };
  for (const Case& c : cases) {
    testing_support::ClearCaughtMessageBoxes();
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(LoadSkin(c.name, nullptr));
    auto boxes = CaughtMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Pngファイル読み込みエラー");
    EXPECT_EQ(boxes[0].text, c.text);
    EXPECT_EQ(appearance.skinImage, before);
    EXPECT_EQ(appearance.skinLayout[0].fontSize, 17);
  }
}

// A data.ini that gives no image name: each message says which file and key.
TEST_F(SkinTest, EveryMessageNamesTheFileOrKeyItIsAbout) {
  MakeSkin(L"NoSection", L"[Text1]\r\nFontSize=5\r\n", L"", "");
  MakeSkin(L"Empty", L"", L"", "");
  ASSERT_TRUE(WriteBytes(IniPath(L"Empty"), ""));
  // A NUL where the value starts leaves nothing of it.
  MakeSkin(L"NulInside", std::wstring(L"[skin]\r\nImage=\0face.png\r\n", 25), L"face.png", ResourceBytes(205));
  for (const wchar_t* name : {L"NoSection", L"Empty", L"NulInside"}) {
    SCOPED_TRACE(name);
    testing_support::ClearCaughtMessageBoxes();
    EXPECT_FALSE(LoadSkin(name, nullptr));
    auto boxes = CaughtMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Pngファイル読み込みエラー");
    EXPECT_EQ(boxes[0].text, IniPath(name) + L"の[skin] Imageが存在しません。");
  }
}

// Skin names from the appearance file and image names from data.ini, each
// placed so that it would reach a real skin or image if it were followed.
TEST_F(SkinTest, NamesStayInsideTheSkinFolderInBothPrograms) {
  SetProgramPaths(temp_.Path(L"app\\").c_str(), L"SoporaScheduler");
  CreateDirectoryW(temp_.Path(L"app").c_str(), nullptr);
  CreateDirectoryW(temp_.Path(L"app\\skin").c_str(), nullptr);
  const std::string image = ResourceBytes(205);  // 121 x 44
  const std::wstring skinIni = L"[skin]\r\nImage=face.png\r\n";
  auto makeSkinAt = [&](const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(folder + L"\\data.ini", Utf16(skinIni)));
    ASSERT_TRUE(WriteBytes(folder + L"\\face.png", image));
  };
  makeSkinAt(temp_.Path(L"x"));                     // skin\..\..\x
  CreateDirectoryW(temp_.Path(L"app\\skin\\a").c_str(), nullptr);
  makeSkinAt(temp_.Path(L"app\\skin\\a\\b"));       // skin\a\b
  makeSkinAt(temp_.Path(L"app\\skin\\Plain"));
  ASSERT_TRUE(WriteBytes(temp_.Path(L"app\\x"), image));  // skin\<skin>\..\..\x

  struct Case {
    const wchar_t* name;
    bool loads;
  };
  const Case cases[] = {
      {L"..\\..\\x", false}, {L"a\\b", false}, {L"a/b", false}, {L"C:\\x", false},
      {L"CON", false},       {L"nul.png", false}, {L"..", false},  {L"Plain", true},
  };
  int skinNumber = 0;
  for (const CountWindowConfig* config : {&kSchedulerCountWindowConfig, &kCountdownCountWindowConfig}) {
    for (const Case& c : cases) {
      // The same name as an image name, in a skin of its own.
      const std::wstring skin = L"Images" + std::to_wstring(skinNumber++);
      const std::wstring folder = temp_.Path(L"app\\skin\\" + skin);
      CreateDirectoryW(folder.c_str(), nullptr);
      CreateDirectoryW((folder + L"\\a").c_str(), nullptr);
      ASSERT_TRUE(WriteBytes(folder + L"\\a\\b", image));
      const std::wstring imageName = c.loads ? L"face.png" : c.name;
      ASSERT_TRUE(WriteBytes(folder + L"\\data.ini", Utf16(L"[skin]\r\nImage=" + imageName + L"\r\n")));
      ASSERT_TRUE(WriteBytes(folder + L"\\face.png", image));

      const std::wstring iniPath = folder + L"\\data.ini";
      const struct {
        const char* as;
        const wchar_t* skinName;
        std::wstring refusal;
      } tries[] = {
          {"skin name", c.name, L"スキン名「" + std::wstring(c.name) + L"」は使用できません。"},
          {"image name", skin.c_str(), iniPath + L"の[skin] Image「" + c.name + L"」は使用できません。"},
      };
      for (const auto& t : tries) {
        SCOPED_TRACE(testing::Message() << config->appearanceFileName << ": \"" << c.name << "\" as " << t.as);
        ResetAppearance();
        countWindowConfig = *config;
        appearance.form = Skinned;
        appearance.typeIndex = 3;
        wcscpy(appearance.skinName, t.skinName);
        testing_support::ClearCaughtMessageBoxes();
        LoadCountWindowImages(nullptr);
        auto boxes = CaughtMessageBoxes();
        if (c.loads) {
          EXPECT_TRUE(boxes.empty());
          EXPECT_EQ(appearance.form, Skinned);
          EXPECT_EQ(CountWindowFormSize().cx, 121);
          EXPECT_EQ(CountWindowFormSize().cy, 44);
          continue;
        }
        EXPECT_EQ(boxes.size(), 1u);
        if (!boxes.empty()) {
          EXPECT_EQ(boxes[0].caption, L"Pngファイル読み込みエラー");
          EXPECT_EQ(boxes[0].text, t.refusal);
        }
        // The built-in form, with this program's own images.
        EXPECT_EQ(appearance.form, Normal);
        EXPECT_EQ(appearance.typeIndex, 0);
        EXPECT_EQ(appearance.skinImage, nullptr);
        EXPECT_EQ(GdiplusBitmapSize(appearance.typeImage).cx, 121);
        EXPECT_EQ(CountWindowFormSize().cx, 121);
      }
    }
  }
}

// What the process holds now, and the most it has ever held.
struct MemoryUse {
  SIZE_T peakWorkingSet;
  SIZE_T privateBytes;
};

MemoryUse CurrentMemoryUse() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  return {counters.PeakWorkingSetSize, counters.PrivateUsage};
}

// A whole, valid image of 30000 x 30000 pixels: decoding it takes gigabytes.
TEST_F(SkinTest, AnImageLargerThanTheScreenIsRefusedBeforeItIsDecoded) {
  MakeSkin(L"Good", L"[skin]\r\nImage=face.png\r\n[Text1]\r\nFontSize=17\r\n", L"face.png",
           ResourceBytes(199));
  ASSERT_TRUE(LoadSkin(L"Good", nullptr));
  const GdiplusBitmap before = appearance.skinImage;
  MakeSkin(L"Huge", L"[skin]\r\nImage=huge.png\r\n[Text1]\r\nFontSize=5\r\n", L"huge.png",
           BlackPng(30000, 30000, 1));
  testing_support::ClearCaughtMessageBoxes();

  const MemoryUse memoryBefore = CurrentMemoryUse();
  const auto start = std::chrono::steady_clock::now();
  const bool loaded = LoadSkin(L"Huge", nullptr);
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  const MemoryUse memoryAfter = CurrentMemoryUse();

  EXPECT_FALSE(loaded);
  EXPECT_LT(elapsed.count(), 1000) << "took " << elapsed.count() << " ms";
  const SIZE_T fewMegabytes = 8 * 1024 * 1024;
  EXPECT_LT(memoryAfter.peakWorkingSet, memoryBefore.peakWorkingSet + fewMegabytes)
      << "the peak grew by " << (memoryAfter.peakWorkingSet - memoryBefore.peakWorkingSet);
  EXPECT_LT(memoryAfter.privateBytes, memoryBefore.privateBytes + fewMegabytes);
  auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"huge.png(30000 x 30000)は画面より大きいため読み込めません。");
  EXPECT_EQ(appearance.skinImage, before);
  EXPECT_EQ(appearance.skinLayout[0].fontSize, 17);
}

// The bound is the virtual screen: an image of exactly its size loads, one
// pixel more in either direction does not. Formats whose size is not read
// from the header never reach the decoder.
TEST_F(SkinTest, TheVirtualScreenBoundsEveryFormat) {
  const SIZE screen = {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  ASSERT_GT(screen.cx, 0);
  EXPECT_EQ(LargestSkinImage().cx, screen.cx);
  EXPECT_EQ(LargestSkinImage().cy, screen.cy);
  const std::wstring tooLarge = L"は画面より大きいため読み込めません。";
  auto sizeText = [](LONG w, LONG h) { return L"(" + std::to_wstring(w) + L" x " + std::to_wstring(h) + L")"; };
  std::string jpeg("\xFF\xD8\xFF\xC0\x00\x0B\x08\x4E\x20\x75\x30\x01\x01\x11\x00", 15);  // 30000 x 20000
  std::string tiff = std::string("II*\0\x08\0\0\0", 8) + std::string(200, '\0');
  const struct {
    const wchar_t* file;
    std::string bytes;
    std::wstring message;  // empty: loads
  } cases[] = {
      {L"screen.bmp", BlackBmp(screen.cx, screen.cy), L""},
      {L"tall.bmp", BlackBmp(screen.cx, screen.cy + 1), sizeText(screen.cx, screen.cy + 1) + tooLarge},
      {L"wide.png", BlackPng(screen.cx + 1, 1, 8), sizeText(screen.cx + 1, 1) + tooLarge},
      {L"tiny.gif", OnePixelGif(0, 0), L""},
      {L"far.gif", OnePixelGif(0, static_cast<uint16_t>(screen.cy)), sizeText(1, screen.cy + 1) + tooLarge},
      {L"huge.bmp", BmpHeader(30000, -30000), sizeText(30000, 30000) + tooLarge},
      {L"huge.jpg", jpeg, sizeText(30000, 20000) + tooLarge},
      {L"picture.tif", tiff, L"を画像として読み込めません。"},
      // More bytes than any screen-sized image needs is not read whole.
      {L"padded.png", PngHead(2, 2, 8) + std::string(static_cast<size_t>(screen.cx) * screen.cy * 8 + (1 << 20), '\0'),
       L"はファイルが大きすぎるため読み込めません。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    MakeSkin(L"Format", L"[skin]\r\nImage=" + std::wstring(c.file) + L"\r\n", c.file, c.bytes);
    testing_support::ClearCaughtMessageBoxes();
    const bool loaded = LoadSkin(L"Format", nullptr);
    auto boxes = CaughtMessageBoxes();
    if (c.message.empty()) {
      EXPECT_TRUE(loaded);
      EXPECT_TRUE(boxes.empty());
      continue;
    }
    EXPECT_FALSE(loaded);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.file + c.message);
  }
  // The refusals kept the last image that loaded.
  EXPECT_EQ(GdiplusBitmapSize(appearance.skinImage).cx, 1);
}

TEST_F(SkinTest, PathsTooLongForTheSystemAreRefusedNotOverrun) {
  std::wstring deep(240, L'd');
  testing_support::ClearCaughtMessageBoxes();
  EXPECT_FALSE(LoadSkin(deep.c_str(), nullptr));
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_NE(CaughtMessageBoxes()[0].text.find(L"が存在しません。"), std::wstring::npos);

  std::wstring name(MAX_PATH - 4 - temp_.path().size() - 5 - 9, L'n');  // data.ini still fits
  ASSERT_GT(name.size(), 0u);
  std::wstring longImage(200, L'i');
  MakeSkin(name, L"[skin]\r\nImage=" + longImage + L".png\r\n", L"", "");
  testing_support::ClearCaughtMessageBoxes();
  EXPECT_FALSE(LoadSkin(name.c_str(), nullptr));
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].text, longImage + L".pngが存在しません。");
  EXPECT_EQ(ListSkinFolders().names.size(), 1u);
}

TEST_F(SkinTest, BuiltinImagesHaveTheirSizesInBothPrograms) {
  for (const CountWindowConfig* config : {&kSchedulerCountWindowConfig, &kCountdownCountWindowConfig}) {
    countWindowConfig = *config;
    for (int i = 0; i < kBuiltinImageCount; ++i) {
      SCOPED_TRACE(testing::Message() << config->appearanceFileName << " image " << i);
      LoadTextBackgroundImage(i);
      LoadTypeImage(i);
      SIZE background = GdiplusBitmapSize(appearance.textBackgroundImage);
      SIZE type = GdiplusBitmapSize(appearance.typeImage);
      EXPECT_EQ(background.cx, 84);
      EXPECT_EQ(background.cy, 18);
      EXPECT_EQ(type.cx, 121);
      EXPECT_EQ(type.cy, 44);
      DeleteGdiplusBitmap(&appearance.textBackgroundImage);
      DeleteGdiplusBitmap(&appearance.typeImage);
    }
  }
  LoadTypeImage(6);
  LoadTextBackgroundImage(-1);
  EXPECT_EQ(appearance.typeImage, nullptr);
  EXPECT_EQ(appearance.textBackgroundImage, nullptr);
  EXPECT_EQ(LoadPngResource(GetModuleHandleW(nullptr), nullptr), nullptr);
}

// Each reload replaces the image: the one before is freed, so switching the
// combos back and forth costs no memory.
TEST_F(SkinTest, BuiltinLoadersFreeTheImageTheyReplace) {
  // What the process's heaps hold in use (GDI+ keeps its pixels there).
  auto privateBytes = [] {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    SIZE_T total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
      if (!HeapLock(heaps[i])) continue;
      PROCESS_HEAP_ENTRY entry = {};
      while (HeapWalk(heaps[i], &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
      HeapUnlock(heaps[i]);
    }
    return total;
  };
  LoadTypeImage(0);
  LoadTextBackgroundImage(0);
  const SIZE_T before = privateBytes();
  for (int i = 0; i < 1200; ++i) {
    LoadTypeImage(i % 6);  // 121 x 44 x 4 bytes each
    LoadTextBackgroundImage(i % 6);
  }
  const SIZE_T after = privateBytes();
  EXPECT_LT(after, before + 8 * 1024 * 1024) << "grew by " << (after - before) << " bytes";
  EXPECT_EQ(GdiplusBitmapSize(appearance.typeImage).cx, 121);
  EXPECT_EQ(GdiplusBitmapSize(appearance.textBackgroundImage).cx, 84);
}

TEST_F(SkinTest, StartUpFallsBackToNormalWhenTheSkinCannotBeLoaded) {
  for (const wchar_t* broken : {L"Deleted", L"Garbage"}) {
    ResetAppearance();
    MakeSkin(L"Garbage", L"[skin]\r\nImage=bad.png\r\n", L"bad.png", "\x89PNG\r\n\x1a\n broken");
    appearance.form = Skinned;
    appearance.typeIndex = 4;
    appearance.textBackgroundIndex = 3;
    wcscpy(appearance.skinName, broken);
    testing_support::ClearCaughtMessageBoxes();
    LoadCountWindowImages(nullptr);
    SCOPED_TRACE(broken);
    ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
    EXPECT_EQ(appearance.form, Normal);
    EXPECT_EQ(appearance.typeIndex, 0);
    EXPECT_EQ(appearance.textBackgroundIndex, 0);
    EXPECT_EQ(GdiplusBitmapSize(appearance.typeImage).cx, 121);
    EXPECT_EQ(GdiplusBitmapSize(appearance.textBackgroundImage).cx, 84);
    EXPECT_EQ(CountWindowFormSize().cx, 121);
  }
  EXPECT_EQ(CaughtMessageBoxes()[0].text, L"bad.pngを画像として読み込めません。");
}

TEST_F(SkinTest, StartUpLoadsTheStoredSkin) {
  MakeSkin(L"Wide", L"[skin]\r\nImage=w.png\r\n", L"w.png", ResourceBytes(200));
  appearance.form = Skinned;
  wcscpy(appearance.skinName, L"Wide");
  LoadCountWindowImages(nullptr);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  EXPECT_EQ(appearance.form, Skinned);
  EXPECT_EQ(CountWindowFormSize().cx, 84);
  EXPECT_EQ(CountWindowFormSize().cy, 18);
}

TEST_F(SkinTest, ListsOnlyFoldersWithADataIni) {
  EXPECT_FALSE(ListSkinFolders().anySubfolder);
  CreateDirectoryW(temp_.Path(L"skin\\Bare").c_str(), nullptr);
  SkinFolderList bare = ListSkinFolders();
  EXPECT_TRUE(bare.anySubfolder);
  EXPECT_TRUE(bare.names.empty());

  MakeSkin(L"Alpha", L"[skin]\r\n", L"", "");
  MakeSkin(L"Gamma", L"[skin]\r\n", L"", "");
  MakeSkin(L" Blank", L"[skin]\r\n", L"", "");  // a name LoadSkin refuses is not offered
  ASSERT_TRUE(WriteBytes(temp_.Path(L"skin\\loose.ini"), "x"));
  appearance.form = Skinned;
  wcscpy(appearance.skinName, L"Gamma");
  SkinFolderList list = ListSkinFolders();
  ASSERT_EQ(list.names.size(), 2u);
  EXPECT_EQ(list.names[list.selected], L"Gamma");
  wcscpy(appearance.skinName, L"gamma");  // exact letter case only
  EXPECT_EQ(ListSkinFolders().selected, 0);
  appearance.form = Custom;
  wcscpy(appearance.skinName, L"Gamma");
  EXPECT_EQ(ListSkinFolders().selected, 0);
}

}  // namespace

namespace {

std::wstring ResourcesFolder() {
  std::string unix = SOPORA_RESOURCES_DIR;
  std::wstring folder(unix.begin(), unix.end());
  for (wchar_t& c : folder)
    if (c == L'/') c = L'\\';
  return folder;
}

TEST_F(SkinTest, ShippedSampleSkinLoadsAndShowsItsTexts) {
  SetProgramPaths(ResourcesFolder().c_str(), L"SoporaScheduler");
  SkinFolderList list = ListSkinFolders();
  ASSERT_EQ(list.names.size(), 1u);
  EXPECT_EQ(list.names[0], L"Sample");
  ASSERT_TRUE(LoadSkin(L"Sample", nullptr));
  SIZE size = GdiplusBitmapSize(appearance.skinImage);
  EXPECT_EQ(size.cx, 168);
  EXPECT_EQ(size.cy, 60);
  const SkinLayout& label = appearance.skinLayout[0];
  const SkinLayout& digits = appearance.skinLayout[1];
  EXPECT_STREQ(label.fontFace, L"Meiryo UI");
  EXPECT_EQ(digits.align, 1);
  // Both boxes lie inside the image.
  for (const SkinLayout* box : {&label, &digits}) {
    EXPECT_GT(box->width, 0);
    EXPECT_GT(box->height, 0);
    EXPECT_LE(box->locationX + box->width, size.cx);
    EXPECT_LE(box->locationY + box->height, size.cy);
  }
}

}  // namespace
