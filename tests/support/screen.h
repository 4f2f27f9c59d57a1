#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "wait.h"

namespace testing_support {

// What the screen shows at (x, y).
COLORREF ScreenPixel(int x, int y);

// What the screen shows in a rectangle, read in one grab.
class ScreenImage {
 public:
  explicit ScreenImage(const RECT& rect);
  // Screen co-ordinates; a point outside the rectangle reads as CLR_INVALID.
  COLORREF At(int x, int y) const;
  // How many pixels of the rectangle are exactly `color`.
  int CountOf(COLORREF color) const;
  int area() const { return static_cast<int>(pixels_.size()); }

 private:
  RECT rect_;
  std::vector<uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

// Pumps until the screen shows `color` at (x, y), so that a window's pixels are
// on the display before a test reads them or sends input to them.
bool WaitForScreenPixel(int x, int y, COLORREF color, DWORD deadlineMs = kWaitDeadlineMs);
// Pumps until the window shows on the screen over a background of one colour
// (less than half of its rectangle still shows that colour).
bool WaitForWindowOverColor(HWND window, COLORREF background, DWORD deadlineMs = kWaitDeadlineMs);

// The characters of `text` that the font has no glyph for (they would show
// as empty boxes); line breaks need none.
std::wstring MissingGlyphs(HFONT font, const std::wstring& text);

// Expects every labelled static and button among the dialog's controls to be
// drawn in `font` with a glyph for each character, and at least `fewest` of them.
void ExpectLabelsInFont(HWND dialog, HFONT font, const char* what, int fewest);

}  // namespace testing_support
