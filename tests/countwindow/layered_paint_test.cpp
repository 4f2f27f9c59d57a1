#include "layered_paint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "skins.h"
#include "test_globals.h"

namespace {

uint32_t Alpha(uint32_t p) { return p >> 24; }
uint32_t Red(uint32_t p) { return (p >> 16) & 0xFF; }
uint32_t Green(uint32_t p) { return (p >> 8) & 0xFF; }
uint32_t Blue(uint32_t p) { return p & 0xFF; }

struct Region {
  int count = 0;
  int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
  double CentreX() const { return (left + right) / 2.0; }
};

// The pixels inside the box that match.
template <typename Match>
Region Find(const LayeredFrame& frame, RECT box, Match match) {
  Region r;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
      if (match(FramePixel(frame, x, y))) {
        ++r.count;
        if (x < r.left) r.left = x;
        if (x > r.right) r.right = x;
        if (y < r.top) r.top = y;
        if (y > r.bottom) r.bottom = y;
      }
  return r;
}

bool Whitish(uint32_t p) { return Alpha(p) == 255 && Red(p) > 200 && Green(p) > 200 && Blue(p) > 200; }

constexpr RECT kLabelArea = {25, 5, 109, 23};

class LayeredPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAppearance();
    InitLayeredPaintGlobals(true);
  }
  void TearDown() override {
    DestroyLayeredFrame(&frame_);
    ResetAppearance();
  }
  void ComposeBuiltin(int type, int background, const wchar_t* label, bool meiryo = true) {
    DeleteGdiplusBitmap(&appearance.typeImage);
    DeleteGdiplusBitmap(&appearance.textBackgroundImage);
    LoadTypeImage(type);
    LoadTextBackgroundImage(background);
    DestroyLayeredFrame(&frame_);
    ASSERT_TRUE(CreateLayeredFrame(121, 44, &frame_));
    DrawBuiltinFrame(frame_, appearance, label, meiryo);
  }
  LayeredFrame frame_;
};

TEST_F(LayeredPaintTest, BuiltinFrameIsOpaqueInsideAndCutOutAround) {
  for (int type = 0; type < kBuiltinImageCount; ++type) {
    ComposeBuiltin(type, type, L"シャットダウン");
    SCOPED_TRACE(type);
    // Rounded corners stay fully transparent, premultiplied to black.
    for (POINT corner : {POINT{0, 0}, POINT{120, 0}, POINT{0, 43}, POINT{120, 43}})
      EXPECT_EQ(FramePixel(frame_, corner.x, corner.y), 0u);
    // The near-white field under the digits.
    for (POINT at : {POINT{20, 30}, POINT{60, 33}, POINT{108, 36}}) {
      uint32_t p = FramePixel(frame_, at.x, at.y);
      EXPECT_EQ(Alpha(p), 255u);
      EXPECT_GE(Red(p), 240u);
      EXPECT_LT(Red(p) + Green(p) + Blue(p), 765u) << "pure white would vanish under the key";
    }
    // The label background shows through the frame and is opaque.
    EXPECT_EQ(Alpha(FramePixel(frame_, 30, 21)), 255u);
    EXPECT_LT(Red(FramePixel(frame_, 30, 21)) + Green(FramePixel(frame_, 30, 21)), 400u);
    EXPECT_EQ(Alpha(FramePixel(frame_, 3, 22)), 255u);  // the frame's own body
  }
}

TEST_F(LayeredPaintTest, LabelIsWhiteAndCentredOnTheBackground) {
  ComposeBuiltin(0, 0, L"");
  EXPECT_EQ(Find(frame_, kLabelArea, Whitish).count, 0) << "the background must be dark under the label";
  for (const wchar_t* label : {L"シャットダウン", L"休止状態", L"Shutdown", L"Hibernation"}) {
    ComposeBuiltin(0, 0, label);
    SCOPED_TRACE(testing::Message() << static_cast<int>(wcslen(label)));
    Region text = Find(frame_, kLabelArea, Whitish);
    EXPECT_GT(text.count, 12);

    EXPECT_NEAR(text.CentreX(), 25 + 84 / 2.0, 4.0);
    EXPECT_GE(text.top, 5);
    EXPECT_LE(text.bottom, 22);
  }
  ComposeBuiltin(0, 0, L"Hibernation");
  std::vector<uint32_t> english(frame_.pixels, frame_.pixels + 121 * 44);
  ComposeBuiltin(0, 0, L"休止状態");
  EXPECT_NE(std::memcmp(english.data(), frame_.pixels, english.size() * 4), 0);
}

TEST_F(LayeredPaintTest, CustomFormMixesAnyTypeWithAnyBackground) {
  ComposeBuiltin(5, 1, L"再起動");
  ComposeBuiltin(5, 1, L"再起動");
  uint32_t mixed = FramePixel(frame_, 30, 21);
  ComposeBuiltin(5, 5, L"再起動");
  EXPECT_NE(FramePixel(frame_, 30, 21), mixed);
  EXPECT_EQ(Alpha(mixed), 255u);
}

TEST_F(LayeredPaintTest, MissingImagesAreSkippedAndTheLabelStillPlaced) {
  DestroyLayeredFrame(&frame_);
  ASSERT_TRUE(CreateLayeredFrame(121, 44, &frame_));
  DrawBuiltinFrame(frame_, appearance, L"Restart", false);  // no images loaded, verdana
  EXPECT_EQ(FramePixel(frame_, 60, 33), 0u);
  Region text = Find(frame_, kLabelArea, [](uint32_t p) { return Alpha(p) > 128; });
  EXPECT_GT(text.count, 10);
  EXPECT_NEAR(text.CentreX(), 67.0, 4.0);
}

TEST(BuiltinLabelOrigin, FollowsTheBackgroundSizeAndTheFont) {
  struct Case {
    SIZE background, measured;
    bool meiryo;
    POINT expected;
  };
  const Case cases[] = {
      {{84, 18}, {60, 13}, true, {39, 6}},
      {{84, 18}, {60, 13}, false, {39, 7}},
      {{84, 18}, {100, 13}, true, {19, 6}},   // wider than the background
      {{84, 18}, {87, 21}, true, {25, 2}},    // odd negative halves round down
      {{84, 18}, {0, 0}, true, {69, 13}},
  };
  for (const Case& c : cases) {
    POINT got = BuiltinLabelOrigin(c.background, c.measured, c.meiryo);
    EXPECT_EQ(got.x, c.expected.x) << c.measured.cx;
    EXPECT_EQ(got.y, c.expected.y) << c.measured.cy;
  }
}

class SkinPaintTest : public LayeredPaintTest {
 protected:
  void SetUp() override {
    LayeredPaintTest::SetUp();
    LoadTypeImage(1);  // any 121 x 44 image with a transparent surround
    appearance.skinImage = appearance.typeImage;
    appearance.typeImage = nullptr;
    SkinLayout& text2 = appearance.skinLayout[1];
    wcscpy(text2.fontFace, L"Verdana");
    text2.fontSize = 14;
    text2.bold = 1;
    text2.locationX = 8;
    text2.locationY = 24;
    text2.width = 105;
    text2.height = 16;
    text2.color = {0, 200, 0, 0};
  }
  void Compose(const wchar_t* label, const wchar_t* countdown) {
    DestroyLayeredFrame(&frame_);
    SIZE size = GdiplusBitmapSize(appearance.skinImage);
    ASSERT_TRUE(CreateLayeredFrame(size.cx, size.cy, &frame_));
    DrawSkinFrame(frame_, appearance, label, countdown);
  }
  static bool Reddish(uint32_t p) { return Alpha(p) == 255 && Red(p) > 120 && Green(p) < 90 && Blue(p) < 90; }
  static constexpr RECT kField = {8, 24, 113, 40};
};

TEST_F(SkinPaintTest, CountdownIsDrawnInItsColourAndAlignedInItsBox) {
  struct Case {
    int align;
    double lo, hi;  // where the centre of the digits lies
  };
  const Case cases[] = {{1, 55, 66}, {0, 8, 50}, {2, 71, 113}, {5, 71, 113}};
  for (const Case& c : cases) {
    appearance.skinLayout[1].align = c.align;
    Compose(L"", L"01:23:45");
    SCOPED_TRACE(c.align);
    Region digits = Find(frame_, kField, Reddish);
    EXPECT_GT(digits.count, 30);
    EXPECT_GE(digits.CentreX(), c.lo);
    EXPECT_LE(digits.CentreX(), c.hi);
    EXPECT_EQ(FramePixel(frame_, 0, 0), 0u);  // the skin's transparent corner stays cut out
  }
}

TEST_F(SkinPaintTest, ZeroSizedLayoutDrawsNothing) {
  Compose(L"", L"00:00:00");
  std::vector<uint32_t> without(frame_.pixels, frame_.pixels + frame_.width * frame_.height);
  Compose(L"シャットダウン", L"00:00:00");  // layout [0] is all zero
  EXPECT_EQ(std::memcmp(without.data(), frame_.pixels, without.size() * 4), 0);
}

TEST_F(SkinPaintTest, UnknownFamilyFallsBackAndStillDraws) {
  wcscpy(appearance.skinLayout[1].fontFace, L"No Such Family 0815");
  Compose(L"", L"12:00:00");
  EXPECT_GT(Find(frame_, kField, Reddish).count, 30);
  appearance.skinLayout[1].fontFace[0] = L'\0';
  appearance.skinLayout[1].fontSize = 0;
  Compose(L"", L"12:00:00");
  EXPECT_GT(Find(frame_, kField, Reddish).count, 10);
}

TEST(ActionLabel, EnglishOrJapaneseByTheFlag) {
  ResetAppearance();
  wchar_t label[20];
  appearance.englishLabels = 1;
  MakeActionLabel(label, L"Hibernation", L"休止状態");
  EXPECT_STREQ(label, L"Hibernation");
  appearance.englishLabels = 0;
  MakeActionLabel(label, L"Hibernation", L"休止状態");
  EXPECT_STREQ(label, L"休止状態");
  MakeActionLabel(label, L"x", L"ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_STREQ(label, L"ABCDEFGHIJKLMNOPQRS");
}

TEST(LayeredFrame, RefusesAnEmptyCanvas) {
  LayeredFrame frame;
  EXPECT_FALSE(CreateLayeredFrame(0, 44, &frame));
  EXPECT_EQ(frame.dc, nullptr);
  EXPECT_FALSE(CreateLayeredFrame(121, 0, &frame));
}

}  // namespace
