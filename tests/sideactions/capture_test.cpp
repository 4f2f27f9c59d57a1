#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shared/clock.h"
#include "screen.h"
#include "shared/screen_capture.h"
#include "temp_folder.h"

#include <jpeglib.h>

namespace {

using testing_support::FileExists;
using testing_support::ReadBytes;
using testing_support::TempFolderTest;
using testing_support::WriteBytes;

void FixedTuesdayNight(SYSTEMTIME* now) {
  *now = SYSTEMTIME{2024, 3, 2, 5, 23, 59, 7, 0};
}

struct NameCase {
  const wchar_t* folder;
  const wchar_t* action;
  int32_t format;
  const wchar_t* expected;
};

TEST(CaptureFileName, FollowsTheFixedPattern) {
  SetLocalTimeSource(FixedTuesdayNight);
  const NameCase cases[] = {
      {L"D:\\caps", L"シャットダウン", kCaptureJpeg,
       L"D:\\caps\\2024年03月05日(火)_23時59分07秒(シャットダウン).jpg"},
      {L"D:\\caps", L"スリープ", kCaptureBmp, L"D:\\caps\\2024年03月05日(火)_23時59分07秒(スリープ).bmp"},
      {L"C:\\a b", L"スタンバイ", kCaptureJpeg, L"C:\\a b\\2024年03月05日(火)_23時59分07秒(スタンバイ).jpg"},
  };
  for (const NameCase& c : cases) {
    wchar_t path[MAX_PATH];
    EXPECT_TRUE(MakeCaptureFileName(c.action, path, c.folder, c.format));
    EXPECT_EQ(std::wstring(c.expected), path);
  }
  SetLocalTimeSource(nullptr);
}

TEST(CaptureFileName, LongestFolderStillFits) {
  SetLocalTimeSource(FixedTuesdayNight);
  const std::wstring folder = L"C:\\" + std::wstring(216, L'x');  // 219 characters
  wchar_t path[MAX_PATH];
  EXPECT_TRUE(MakeCaptureFileName(L"シャットダウン", path, folder.c_str(), kCaptureJpeg));
  EXPECT_EQ(folder + L"\\2024年03月05日(火)_23時59分07秒(シャットダウン).jpg", path);
  EXPECT_LT(wcslen(path), static_cast<size_t>(MAX_PATH));
  SetLocalTimeSource(nullptr);
}

uint32_t Le(const std::string& b, size_t offset, int width) {
  uint32_t v = 0;
  for (int i = 0; i < width; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[offset + i])) << (8 * i);
  return v;
}

TEST(BmpHeader, BytesAtTheirOffsets) {
  uint8_t raw[kBmpHeaderSize];
  WriteBmpHeader(MakeBmpHeaderValues(1366, 768), raw);
  const std::string b(reinterpret_cast<char*>(raw), sizeof raw);
  EXPECT_EQ(4100u, BmpRowStride(1366));
  const struct {
    size_t offset;
    int width;
    uint32_t value;
  } fields[] = {
      {0, 2, 0x4D42}, {2, 4, 4100u * 768 + 54}, {6, 2, 0}, {8, 2, 0}, {10, 4, 54}, {14, 4, 40},
      {18, 4, 1366}, {22, 4, 768}, {26, 2, 1}, {28, 2, 24}, {30, 4, 0}, {34, 4, 4100u * 768},
      {38, 4, 0}, {42, 4, 0}, {46, 4, 0}, {50, 4, 0},
  };
  for (const auto& f : fields) EXPECT_EQ(f.value, Le(b, f.offset, f.width)) << "offset " << f.offset;
  EXPECT_EQ('B', b[0]);
  EXPECT_EQ('M', b[1]);
  const BmpHeaderValues back = ReadBmpHeader(raw);
  EXPECT_EQ(1366u, back.Get(BmpField::Width));
  EXPECT_EQ(4100u * 768, back.Get(BmpField::ImageSize));
}

// A window of four solid colour blocks at a known place on the screen.
const RECT kPatternRect{200, 150, 520, 390};
const COLORREF kBlockColors[4] = {RGB(255, 0, 0), RGB(0, 200, 0), RGB(0, 0, 255), RGB(250, 250, 40)};

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    const int w = client.right / 2, h = client.bottom / 2;
    for (int i = 0; i < 4; ++i) {
      RECT block{(i % 2) * w, (i / 2) * h, (i % 2 + 1) * w, (i / 2 + 1) * h};
      HBRUSH brush = CreateSolidBrush(kBlockColors[i]);
      FillRect(dc, &block, brush);
      DeleteObject(brush);
    }
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class ScreenCaptureTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = PatternProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CapturePattern";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"CapturePattern", nullptr,
                              WS_POPUP | WS_VISIBLE, kPatternRect.left, kPatternRect.top,
                              kPatternRect.right - kPatternRect.left,
                              kPatternRect.bottom - kPatternRect.top, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window_);
    SetCursorPos(kPatternRect.left + 10, kPatternRect.top + 10);
    UpdateWindow(window_);
    // The display shows every block before the grab.
    for (int i = 0; i < 4; ++i) {
      const POINT p = BlockCentre(i);
      ASSERT_TRUE(testing_support::WaitForScreenPixel(p.x, p.y, kBlockColors[i])) << "block " << i;
    }
    HDC screen = GetDC(nullptr);
    screenWidth_ = GetDeviceCaps(screen, HORZRES);
    screenHeight_ = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
    TempFolderTest::TearDown();
  }

  // Centre of block i in screen co-ordinates.
  POINT BlockCentre(int i) const {
    const int w = (kPatternRect.right - kPatternRect.left) / 2;
    const int h = (kPatternRect.bottom - kPatternRect.top) / 2;
    return POINT{kPatternRect.left + (i % 2) * w + w / 2, kPatternRect.top + (i / 2) * h + h / 2};
  }

  HWND window_ = nullptr;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
};

TEST_F(ScreenCaptureTest, BmpHoldsTheScreenBottomUp) {
  const std::wstring path = temp_.Path(L"shot.bmp");
  ASSERT_TRUE(CaptureScreen(path.c_str(), kCaptureBmp));
  const std::string b = ReadBytes(path);
  const uint32_t stride = BmpRowStride(screenWidth_);
  const uint32_t imageSize = stride * static_cast<uint32_t>(screenHeight_);
  ASSERT_EQ(imageSize + 54, b.size());
  EXPECT_EQ(0x4D42u, Le(b, 0, 2));
  EXPECT_EQ(imageSize + 54, Le(b, 2, 4));
  EXPECT_EQ(0u, Le(b, 6, 4));
  EXPECT_EQ(54u, Le(b, 10, 4));
  EXPECT_EQ(40u, Le(b, 14, 4));
  EXPECT_EQ(static_cast<uint32_t>(screenWidth_), Le(b, 18, 4));
  EXPECT_EQ(static_cast<uint32_t>(screenHeight_), Le(b, 22, 4));
  EXPECT_EQ(1u, Le(b, 26, 2));
  EXPECT_EQ(24u, Le(b, 28, 2));
  EXPECT_EQ(0u, Le(b, 30, 4));
  EXPECT_EQ(imageSize, Le(b, 34, 4));
  for (size_t o = 38; o < 54; o += 4) EXPECT_EQ(0u, Le(b, o, 4));
  for (int i = 0; i < 4; ++i) {
    const POINT p = BlockCentre(i);
    const size_t at = 54 + static_cast<size_t>(screenHeight_ - 1 - p.y) * stride + 3u * p.x;
    EXPECT_EQ(GetBValue(kBlockColors[i]), static_cast<uint8_t>(b[at])) << "block " << i;
    EXPECT_EQ(GetGValue(kBlockColors[i]), static_cast<uint8_t>(b[at + 1])) << "block " << i;
    EXPECT_EQ(GetRValue(kBlockColors[i]), static_cast<uint8_t>(b[at + 2])) << "block " << i;
  }
}

struct DecodedJpeg {
  int width = 0, height = 0, components = 0;
  std::vector<uint8_t> rgb;
};

DecodedJpeg Decode(const std::wstring& path) {
  DecodedJpeg out;
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return out;
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  out.width = static_cast<int>(info.output_width);
  out.height = static_cast<int>(info.output_height);
  out.components = info.output_components;
  out.rgb.resize(static_cast<size_t>(out.width) * out.height * out.components);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = &out.rgb[static_cast<size_t>(info.output_scanline) * out.width * out.components];
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  fclose(file);
  return out;
}

TEST_F(ScreenCaptureTest, JpegIsBaselineQuality100OfTheScreen) {
  const std::wstring path = temp_.Path(L"shot.jpg");
  ASSERT_TRUE(CaptureScreen(path.c_str(), kCaptureJpeg));
  const std::string b = ReadBytes(path);
  ASSERT_GT(b.size(), 4u);
  EXPECT_EQ("\xFF\xD8", b.substr(0, 2));
  EXPECT_EQ("\xFF\xD9", b.substr(b.size() - 2));
  // Walk the markers up to the scan: a baseline frame, quantisation tables
  // of quality 100 (every entry 1).
  bool baseline = false, progressive = false;
  int tables = 0;
  size_t at = 2;
  while (at + 4 <= b.size() && static_cast<uint8_t>(b[at]) == 0xFF) {
    const uint8_t marker = static_cast<uint8_t>(b[at + 1]);
    const size_t length = (static_cast<uint8_t>(b[at + 2]) << 8) | static_cast<uint8_t>(b[at + 3]);
    if (marker == 0xC0) {
      baseline = true;
      EXPECT_EQ(8, b[at + 4]);
      EXPECT_EQ(screenHeight_, (static_cast<uint8_t>(b[at + 5]) << 8) | static_cast<uint8_t>(b[at + 6]));
      EXPECT_EQ(screenWidth_, (static_cast<uint8_t>(b[at + 7]) << 8) | static_cast<uint8_t>(b[at + 8]));
      EXPECT_EQ(3, b[at + 9]);
    }
    if (marker == 0xC2) progressive = true;
    if (marker == 0xDB) {
      for (size_t t = at + 4; t + 65 <= at + 2 + length; t += 65) {
        EXPECT_EQ(0, b[t] >> 4) << "8-bit table";
        for (size_t k = 1; k <= 64; ++k) EXPECT_EQ(1, b[t + k]);
        ++tables;
      }
    }
    if (marker == 0xDA) break;
    at += 2 + length;
  }
  EXPECT_TRUE(baseline);
  EXPECT_FALSE(progressive);
  EXPECT_EQ(2, tables);

  const DecodedJpeg image = Decode(path);
  ASSERT_EQ(screenWidth_, image.width);
  ASSERT_EQ(screenHeight_, image.height);
  ASSERT_EQ(3, image.components);
  for (int i = 0; i < 4; ++i) {
    const POINT p = BlockCentre(i);
    const uint8_t* px = &image.rgb[(static_cast<size_t>(p.y) * image.width + p.x) * 3];
    EXPECT_NEAR(GetRValue(kBlockColors[i]), px[0], 6) << "block " << i;
    EXPECT_NEAR(GetGValue(kBlockColors[i]), px[1], 6) << "block " << i;
    EXPECT_NEAR(GetBValue(kBlockColors[i]), px[2], 6) << "block " << i;
  }
}

TEST_F(ScreenCaptureTest, UnwritablePathIsReportedAndLeavesNoFile) {
  // A plain file where a folder of the path should be.
  ASSERT_TRUE(WriteBytes(temp_.Path(L"blocker"), "x"));
  for (int32_t format : {kCaptureBmp, kCaptureJpeg}) {
    const std::wstring path = temp_.Path(L"blocker\\shot.img");
    EXPECT_FALSE(CaptureScreen(path.c_str(), format)) << "format " << format;
    EXPECT_FALSE(FileExists(path));
  }
}

TEST_F(ScreenCaptureTest, JpegOfNoBitmapFailsWithoutAFile) {
  const std::wstring path = temp_.Path(L"none.jpg");
  EXPECT_FALSE(SaveBitmapAsJpeg(path.c_str(), nullptr));
  HBITMAP brush = reinterpret_cast<HBITMAP>(GetStockObject(WHITE_BRUSH));
  EXPECT_FALSE(SaveBitmapAsJpeg(path.c_str(), brush));
  EXPECT_FALSE(FileExists(path));
}

TEST_F(ScreenCaptureTest, JpegOfAnOddSizedBitmapKeepsItsSize) {
  // 1366 pixels: rows of 4,098 bytes padded to 4,100 in the bitmap, none in the JPEG.
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 1366, 3);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, 1366, 3};
  HBRUSH brush = CreateSolidBrush(RGB(10, 120, 230));
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  const std::wstring path = temp_.Path(L"wide.jpg");
  ASSERT_TRUE(SaveBitmapAsJpeg(path.c_str(), bitmap));
  DeleteObject(bitmap);
  const DecodedJpeg image = Decode(path);
  ASSERT_EQ(1366, image.width);
  ASSERT_EQ(3, image.height);
  for (int x : {0, 683, 1365}) {
    const uint8_t* px = &image.rgb[(static_cast<size_t>(1) * image.width + x) * 3];
    EXPECT_NEAR(10, px[0], 4);
    EXPECT_NEAR(120, px[1], 4);
    EXPECT_NEAR(230, px[2], 4);
  }
}

}  // namespace
