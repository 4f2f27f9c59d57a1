#include "screen.h"

#include <gtest/gtest.h>

namespace testing_support {

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return color;
}

ScreenImage::ScreenImage(const RECT& rect) : rect_(rect) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  if (section && memory) {
    HGDIOBJ old = SelectObject(memory, section);
    if (BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
      GdiFlush();
      const auto* p = static_cast<const uint32_t*>(bits);
      pixels_.assign(p, p + static_cast<size_t>(width) * height);
      for (uint32_t& pixel : pixels_) pixel &= 0xFFFFFFu;
    }
    SelectObject(memory, old);
  }
  if (memory) DeleteDC(memory);
  if (section) DeleteObject(section);
  ReleaseDC(nullptr, screen);
}

COLORREF ScreenImage::At(int x, int y) const {
  const int width = rect_.right - rect_.left;
  if (x < rect_.left || x >= rect_.right || y < rect_.top || y >= rect_.bottom || pixels_.empty())
    return CLR_INVALID;
  const uint32_t pixel = pixels_[static_cast<size_t>(y - rect_.top) * width + (x - rect_.left)];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int ScreenImage::CountOf(COLORREF color) const {
  const uint32_t wanted = (static_cast<uint32_t>(GetRValue(color)) << 16) |
                          (static_cast<uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
  int count = 0;
  for (uint32_t pixel : pixels_)
    if (pixel == wanted) ++count;
  return count;
}

bool WaitForScreenPixel(int x, int y, COLORREF color, DWORD deadlineMs) {
  return PumpMessagesUntil([&] { return ScreenPixel(x, y) == color; }, deadlineMs);
}

bool WaitForWindowOverColor(HWND window, COLORREF background, DWORD deadlineMs) {
  return PumpMessagesUntil(
      [&] {
        RECT rect;
        if (!IsWindow(window) || !GetWindowRect(window, &rect)) return false;
        const ScreenImage image(rect);
        return image.area() > 0 && image.CountOf(background) < image.area() / 2;
      },
      deadlineMs);
}

std::wstring MissingGlyphs(HFONT font, const std::wstring& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  std::vector<WORD> glyphs(text.size());
  std::wstring missing;
  if (GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
    missing = text;
  } else {
    for (size_t i = 0; i < text.size(); ++i)
      if (glyphs[i] == 0xFFFF && text[i] != L'\n') missing += text[i];
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return missing;
}

void ExpectLabelsInFont(HWND dialog, HFONT font, const char* what, int fewest) {
  int labels = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[32] = L"";
    GetClassNameW(child, cls, 32);
    wchar_t text[128] = L"";
    GetWindowTextW(child, text, 128);
    if (lstrcmpiW(cls, L"Static") != 0 && lstrcmpiW(cls, L"Button") != 0) continue;
    if (!text[0]) continue;
    ++labels;
    const HFONT drawn = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
    EXPECT_EQ(drawn, font) << what << ": " << GetDlgCtrlID(child);
    EXPECT_EQ(MissingGlyphs(drawn, text), L"") << what << ": " << GetDlgCtrlID(child);
  }
  EXPECT_GE(labels, fewest) << what;
}

}  // namespace testing_support
