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

// A taskbar at the left or the top: the work area does not start at 0.
TEST(DpiScalingTest, DialogsAreCentredOnAWorkAreaThatDoesNotStartAtZero) {
  const struct {
    RECT work;
    int width, height;
    LONG x, y;
  } cases[] = {
      {{200, 0, 1280, 800}, 219, 290, 630, 255},
      {{200, 0, 1280, 800}, 1080, 800, 200, 0},
      {{0, 100, 1280, 800}, 224, 137, 528, 381},
      {{0, 100, 1280, 800}, 1280, 700, 0, 100},
  };
  for (const auto& c : cases) {
    const POINT p = CenterOnWorkArea(c.work, c.width, c.height);
    EXPECT_EQ(p.x, c.x) << c.work.left << "," << c.work.top;
    EXPECT_EQ(p.y, c.y) << c.work.left << "," << c.work.top;
  }
}

// PlaceDialog, as the about boxes and the confirmation dialogs use it, moves a
// real window there.
TEST(DpiScalingTest, PlaceDialogMovesTheWindowOntoTheWorkArea) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  const struct {
    RECT work;
    LONG x, y;
  } cases[] = {{{200, 0, 1280, 800}, 200 + (1080 - ScaleX(333)) / 2, (800 - ScaleY(215)) / 2},
               {{0, 100, 1280, 800}, (1280 - ScaleX(333)) / 2, 100 + (700 - ScaleY(215)) / 2}};
  for (const auto& c : cases) {
    PlaceDialog(window, c.work, 333, 215);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, c.x);
    EXPECT_EQ(r.top, c.y);
    EXPECT_EQ(r.right - r.left, ScaleX(333));
  }
  DestroyWindow(window);
}

}  // namespace
