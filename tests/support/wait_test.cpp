#include "wait.h"

#include <gtest/gtest.h>

#include "screen.h"

namespace {

using testing_support::PumpMessagesUntil;
using testing_support::ScreenImage;
using testing_support::ScreenPixel;
using testing_support::WaitForScreenPixel;
using testing_support::WaitForWindowOverColor;

constexpr UINT kFlagMessage = WM_APP + 7;
bool flagged = false;

LRESULT CALLBACK FlagProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kFlagMessage) flagged = true;
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(const wchar_t* className, COLORREF color, const RECT& at, bool visible) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = FlagProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = CreateSolidBrush(color);
  wc.lpszClassName = className;
  RegisterClassW(&wc);
  return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, className, L"", WS_POPUP | (visible ? WS_VISIBLE : 0),
                         at.left, at.top, at.right - at.left, at.bottom - at.top, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

TEST(PumpMessagesUntil, DispatchesUntilTheConditionHolds) {
  HWND window = MakeWindow(L"WaitTestFlag", RGB(0, 0, 0), {0, 0, 1, 1}, false);
  ASSERT_NE(window, nullptr);
  flagged = false;
  PostMessageW(window, kFlagMessage, 0, 0);
  EXPECT_FALSE(flagged);
  EXPECT_TRUE(PumpMessagesUntil([] { return flagged; }));
  DestroyWindow(window);
}

TEST(PumpMessagesUntil, GivesUpAtTheDeadlineNotBefore) {
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(PumpMessagesUntil([] { return false; }, 200));
  EXPECT_GE(GetTickCount64() - start, 190u);
  EXPECT_TRUE(PumpMessagesUntil([] { return true; }, 0)) << "a condition already true needs no time";
}

TEST(ScreenReads, ShowAWindowsColourOnceItIsOnTheDisplay) {
  const RECT at = {300, 200, 360, 240};
  const COLORREF color = RGB(10, 200, 90);
  HWND window = MakeWindow(L"WaitTestColour", color, at, true);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(WaitForScreenPixel(330, 220, color));
  EXPECT_EQ(ScreenPixel(330, 220), color);
  const ScreenImage image({at.left - 5, at.top, at.right, at.bottom});
  EXPECT_EQ(image.area(), 65 * 40);
  EXPECT_EQ(image.At(at.left, at.top), color);
  EXPECT_EQ(image.At(at.right - 1, at.bottom - 1), color);
  EXPECT_EQ(image.CountOf(color), 60 * 40) << "the 5 columns left of the window are not its colour";
  EXPECT_EQ(image.At(at.right, at.top), CLR_INVALID) << "outside the rectangle read";
  EXPECT_TRUE(WaitForWindowOverColor(window, RGB(1, 2, 3)));
  EXPECT_FALSE(WaitForWindowOverColor(window, color, 200)) << "a window all of that colour never shows over it";
  EXPECT_FALSE(WaitForScreenPixel(330, 220, RGB(1, 2, 3), 200));
  DestroyWindow(window);
}

}  // namespace
