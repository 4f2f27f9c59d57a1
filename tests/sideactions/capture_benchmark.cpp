// Cost of a JPEG screen capture beside the two steps it cannot avoid: one
// BitBlt of the screen and libjpeg encoding the same pixels from memory.
// Run under the test display: xvfb-run -a -s '-screen 0 1280x800x24' wine capture_benchmark.exe [rounds]
// The capture goes to SOPORA_BENCHMARK_FOLDER when set, else the temporary folder.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "benchmark.h"
#include "shared/screen_capture.h"

#include <jpeglib.h>

namespace {

int width = 0, height = 0;
std::vector<uint8_t> photo;  // bottom-up BGR rows, stride BmpRowStride(width)

// Smooth gradients with fine noise, so the encoder works as on a real desktop photo.
void MakePhoto() {
  const uint32_t stride = BmpRowStride(width);
  photo.assign(static_cast<size_t>(stride) * height, 0);
  uint32_t seed = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      seed = seed * 1103515245u + 12345u;
      const int noise = static_cast<int>((seed >> 16) % 32) - 16;
      uint8_t* p = &photo[static_cast<size_t>(y) * stride + 3u * x];
      p[0] = static_cast<uint8_t>(std::clamp(x * 255 / width + noise, 0, 255));
      p[1] = static_cast<uint8_t>(std::clamp(y * 255 / height + noise, 0, 255));
      p[2] = static_cast<uint8_t>(std::clamp(((x ^ y) & 0xFF) / 2 + 64 + noise, 0, 255));
    }
  }
}

LRESULT CALLBACK PhotoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, photo.data(), &bmi, DIB_RGB_COLORS);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool BareBlit() {
  HDC screen = GetDC(nullptr);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, section);
  const bool ok = section && memory && BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(section);
  ReleaseDC(nullptr, screen);
  return ok;
}

// libjpeg's own error handler ends the process with its message.
bool EncodeFromMemory() {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&cinfo, &out, &outSize);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const uint32_t stride = BmpRowStride(width);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = &photo[static_cast<size_t>(height - 1 - cinfo.next_scanline) * stride];
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  free(out);
  return outSize > 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = benchmark_support::RoundsArgument(argc, argv, 7);
  if (rounds == 0) return 2;
  HDC screen = GetDC(nullptr);
  width = GetDeviceCaps(screen, HORZRES);
  height = GetDeviceCaps(screen, VERTRES);
  ReleaseDC(nullptr, screen);
  MakePhoto();

  WNDCLASSW wc{};
  wc.lpfnWndProc = PhotoProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BenchmarkPhoto";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"BenchmarkPhoto", nullptr,
                                WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                                wc.hInstance, nullptr);
  UpdateWindow(window);
  // The photo is on the display before the first grab: its corner pixel shows.
  const uint8_t* corner = &photo[static_cast<size_t>(height - 1) * BmpRowStride(width)];
  const COLORREF shown = RGB(corner[2], corner[1], corner[0]);
  const double deadline = benchmark_support::NowMs() + 30000;
  HDC display = GetDC(nullptr);
  while (GetPixel(display, 0, 0) != shown && benchmark_support::NowMs() < deadline) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  const bool photoShown = GetPixel(display, 0, 0) == shown;
  ReleaseDC(nullptr, display);
  benchmark_support::Failures failures;
  if (!failures.Check(photoShown, "the photo window did not show on the display"))
    return benchmark_support::ReportFailures(failures, -1, rounds);

  const std::wstring path = benchmark_support::WorkFolder() + L"sopora-capture-benchmark.jpg";
  std::vector<benchmark_support::Series> series = {
      {"CaptureScreen to JPEG", [&] { failures.Check(CaptureScreen(path.c_str(), kCaptureJpeg), "CaptureScreen"); }, {}},
      {"baseline: BitBlt", [&] { failures.Check(BareBlit(), "the bare BitBlt"); }, {}},
      {"baseline: encode", [&] { failures.Check(EncodeFromMemory(), "the encode from memory"); }, {}},
  };
  const int ran = benchmark_support::RunRounds(&series, rounds, &failures);
  DeleteFileW(path.c_str());
  DestroyWindow(window);
  if (failures.Count()) return benchmark_support::ReportFailures(failures, ran, rounds);

  using benchmark_support::Median;
  std::printf("screen %d x %d: median of %d rounds after a warm-up round\n", width, height, rounds);
  for (const auto& s : series) std::printf("  %-24s %8.2f ms\n", s.name.c_str(), Median(s.ms));
  std::printf("  ratio capture / (blit + encode), each round against its own: %.3f (goal <= 1.25)\n",
              benchmark_support::MedianRatio(series[0].ms, benchmark_support::Sum({&series[1], &series[2]})));
  return 0;
}
