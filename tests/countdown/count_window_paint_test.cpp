#include "count_window_paint.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "count_window_config.h"
#include "gdiplus_flat.h"
#include "skins.h"

namespace {

TEST(CpuProgressMark, StepsAcrossTheAveragingWindow) {
  struct Case {
    int32_t seconds, samples;
    int start, end;
  } cases[] = {{5, 1, 31, 46}, {5, 5, 91, 106}, {3, 2, 56, 81}, {1, 1, 31, 106}, {4, 3, 68, 87}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.seconds << "s, sample " << c.samples);
    int start = -1, end = -1;
    ASSERT_TRUE(CpuProgressMark(c.seconds, c.samples, &start, &end));
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(end, c.end);
  }
  int start = -1, end = -1;
  EXPECT_FALSE(CpuProgressMark(0, 1, &start, &end));
}

int Channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }
bool Near(uint32_t p, const TextColor& c, int tolerance) {
  return (p >> 24) == 255 && std::abs(Channel(p, 16) - c.red) <= tolerance &&
         std::abs(Channel(p, 8) - c.green) <= tolerance && std::abs(Channel(p, 0) - c.blue) <= tolerance;
}

struct FormCase {
  CountWindowForm form;
  int type;
  int background;
  TextColor color;
};

class TimerBuiltinPaintTest : public ::testing::TestWithParam<FormCase> {
 protected:
  static void SetUpTestSuite() {
    const Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }
  void SetUp() override {
    InitLayeredPaintGlobals(true);
    savedConfig_ = countWindowConfig;
    savedAppearance_ = appearance;
    countWindowConfig = kCountdownCountWindowConfig;
    const FormCase& c = GetParam();
    appearance.form = c.form;
    appearance.textColor = c.color;
    LoadTypeImage(c.type);
    LoadTextBackgroundImage(c.background);
    ASSERT_TRUE(appearance.typeImage);
    ASSERT_TRUE(appearance.textBackgroundImage);
  }
  void TearDown() override {
    DestroyLayeredFrame(&plain_);
    DestroyLayeredFrame(&watched_);
    DeleteGdiplusBitmap(&appearance.typeImage);
    DeleteGdiplusBitmap(&appearance.textBackgroundImage);
    appearance = savedAppearance_;
    countWindowConfig = savedConfig_;
  }
  // The same frame once without and once with the readout.
  void Compose(const CpuReadout& readout, bool meiryo = true) {
    ASSERT_TRUE(CreateLayeredFrame(kBuiltinWidth, kBuiltinHeight, &plain_));
    ASSERT_TRUE(CreateLayeredFrame(kBuiltinWidth, kBuiltinHeight, &watched_));
    ComposeTimerBuiltinFrame(plain_, appearance, L"シャットダウン", nullptr, meiryo);
    ComposeTimerBuiltinFrame(watched_, appearance, L"シャットダウン", &readout, meiryo);
    GdiFlush();
  }
  // Changed pixels in the box, and how many of them have the digit colour.
  void Count(RECT box, int* changed, int* coloured) const {
    *changed = *coloured = 0;
    for (int y = box.top; y < box.bottom; ++y)
      for (int x = box.left; x < box.right; ++x) {
        uint32_t after = FramePixel(watched_, x, y);
        if (after == FramePixel(plain_, x, y)) continue;
        ++*changed;
        if (Near(after, GetParam().color, 48)) ++*coloured;
      }
  }
  static ULONG_PTR token_;
  LayeredFrame plain_, watched_;
  CountWindowConfig savedConfig_;
  AppearanceState savedAppearance_;
};
ULONG_PTR TimerBuiltinPaintTest::token_ = 0;

TEST_P(TimerBuiltinPaintTest, ReadoutShowsTheAverageAndTheThresholdInTheDigitColour) {
  CpuReadout readout;
  readout.cpuText = L"42";
  readout.thresholdText = L"10";
  readout.sampleCount = 1;
  readout.cpuSeconds = 5;
  Compose(readout);
  int changed = 0, coloured = 0;
  // The average, right-aligned in its 35-pixel box before the slash.
  Count(RECT{40, 24, 66, 43}, &changed, &coloured);
  EXPECT_GT(changed, 30);
  EXPECT_GT(coloured, 15);
  // The threshold and "(%)" after it.
  Count(RECT{69, 24, 112, 43}, &changed, &coloured);
  EXPECT_GT(changed, 30);
  EXPECT_GT(coloured, 15);
  // The label and the frame above the readout stay as they were.
  Count(RECT{0, 0, 121, 21}, &changed, &coloured);
  EXPECT_EQ(changed, 0);

  // Without an average only the slash, the threshold and "(%)" are drawn.
  DestroyLayeredFrame(&plain_);
  DestroyLayeredFrame(&watched_);
  readout.cpuText = L"";
  Compose(readout);
  Count(RECT{31, 24, 60, 43}, &changed, &coloured);
  EXPECT_EQ(changed, 0);
}

TEST_P(TimerBuiltinPaintTest, ProgressMarkCoversItsStepOnly) {
  CpuReadout readout;
  readout.thresholdText = L"10";
  readout.cpuText = L"";
  readout.cpuSeconds = 5;
  for (int32_t sample : {1, 5}) {
    SCOPED_TRACE(sample);
    readout.sampleCount = sample;
    DestroyLayeredFrame(&plain_);
    DestroyLayeredFrame(&watched_);
    Compose(readout);
    int start = 0, end = 0;
    ASSERT_TRUE(CpuProgressMark(5, sample, &start, &end));
    // Row 22 is above every glyph: only the 2-pixel line reaches it.
    for (int x = 0; x < kBuiltinWidth; ++x) {
      const bool changed = FramePixel(watched_, x, 22) != FramePixel(plain_, x, 22);
      if (x > start && x < end - 1) {
        EXPECT_TRUE(changed) << x;
      } else if (x < start - 1 || x > end + 1) {
        EXPECT_FALSE(changed) << x;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothBuiltinForms, TimerBuiltinPaintTest,
                         ::testing::Values(FormCase{Normal, 0, 0, {0, 0, 0, 255}},
                                           FormCase{Custom, 3, 2, {0, 200, 0, 0}}));

}  // namespace
