#include "skins.h"

#include <gtest/gtest.h>

#include <string>

#include "count_window_config.h"
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
      {L"NoKey", L"が存在しません。"},
      {L"Garbage", L"bad.pngを画像として読み込めません。"},
      {L"Empty", L"empty.pngを画像として読み込めません。"},
      {L"", temp_.Path(L"skin\\\\data.ini") + L"が存在しません。"},
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
