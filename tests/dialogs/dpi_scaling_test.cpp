#include "dpi_scaling.h"

#include <gtest/gtest.h>

namespace {

TEST(DpiScalingTest, ScalesTheDesignedPixels) {
  const struct {
    int value, dpi, scaled;
  } cases[] = {
      {28, 96, 28},   {28, 120, 35},  {28, 144, 42},  {219, 120, 274},  // 273.75 rounds up
      {290, 144, 435}, {1, 120, 1},   {3, 120, 4},    {0, 144, 0},
      {-10, 120, -13}, {383, 120, 479}, {81, 144, 122}, {7, 120, 9},
  };
  for (const auto& c : cases) EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
}

TEST(DpiScalingTest, DialogsAreCentredOnTheWorkArea) {
  const RECT work{0, 0, 1280, 800};
  const struct {
    int width, height;
    LONG x, y;
  } cases[] = {{219, 290, 530, 255}, {224, 137, 528, 331}, {1281, 801, 0, 0}, {1, 1, 639, 399}};
  for (const auto& c : cases) {
    const POINT p = CenterOnWorkArea(work, c.width, c.height);
    EXPECT_EQ(p.x, c.x) << c.width;
    EXPECT_EQ(p.y, c.y) << c.height;
  }
}

}  // namespace
