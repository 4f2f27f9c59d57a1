#include "test_globals.h"

#include <gtest/gtest.h>

#include "gdiplus_flat.h"
#include "count_window_config.h"
#include "skins.h"

HWND countWindow = nullptr;
uint8_t countWindowCreated = 0;
HWND testFrontWindow = nullptr;

void ResetAppearance() {
  DeleteGdiplusBitmap(&appearance.textBackgroundImage);
  DeleteGdiplusBitmap(&appearance.typeImage);
  DeleteGdiplusBitmap(&appearance.skinImage);
  appearance = AppearanceState();
  countWindowConfig = kSchedulerCountWindowConfig;
  countWindowConfig.frontWindow = &testFrontWindow;
}

namespace {

// GDI+ runs for the whole test program, as in the shipped programs.
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

::testing::Environment* const gdiplusEnvironment =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
