// Time to compose and push one count-window frame in each form, beside a bare
// UpdateLayeredWindow of the same size whose pixels change at every push, on
// a count window shown on the display. The goal: a whole frame within 3 times
// the bare push. Usage: countwindow_paint_benchmark.exe [rounds] (batches).
#include <windows.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "appearance.h"
#include "benchmark.h"
#include "count_window_config.h"
#include "gdiplus_flat.h"
#include "layered_paint.h"
#include "skins.h"

HWND countWindow = nullptr;
uint8_t countWindowCreated = 0;

namespace {

using benchmark_support::Failures;
using benchmark_support::Median;
using benchmark_support::MedianRatio;
using benchmark_support::Series;

constexpr int kFramesPerBatch = 25;
constexpr POINT kWindowAt = {100, 100};
HWND front = nullptr;

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// A bare frame of the form's size; every push changes its first pixel.
struct BarePush {
  LayeredFrame frame;
  int serial = 0;
  explicit BarePush(SIZE size) {
    if (!CreateLayeredFrame(size.cx, size.cy, &frame)) return;
    for (int i = 0; i < size.cx * size.cy; ++i) frame.pixels[i] = 0xFF808080u;
  }
  ~BarePush() { DestroyLayeredFrame(&frame); }
  // False when a push failed.
  bool Batch() {
    bool ok = true;
    for (int i = 0; i < kFramesPerBatch; ++i) {
      frame.pixels[0] = 0xFF000000u | static_cast<uint32_t>(++serial & 0xFF);
      ok = PushLayeredFrame(countWindow, frame) && ok;
    }
    return ok;
  }
};

// Pumps until the screen shows `color` inside the count window.
bool WaitForScreen(COLORREF color) {
  const double deadline = benchmark_support::NowMs() + 30000;
  HDC screen = GetDC(nullptr);
  bool shown = false;
  while (!(shown = GetPixel(screen, kWindowAt.x + 10, kWindowAt.y + 10) == color) &&
         benchmark_support::NowMs() < deadline) {
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  ReleaseDC(nullptr, screen);
  return shown;
}

// The painters report nothing; a frame that reached the count window moved the
// countdown dialog onto it with the frame's size, which the untimed check after
// each batch reads and undoes.
bool FrameArrived(SIZE size) {
  RECT rect;
  const bool arrived = GetWindowRect(front, &rect) && rect.right - rect.left == size.cx &&
                       rect.bottom - rect.top == size.cy;
  MoveWindow(front, kWindowAt.x, kWindowAt.y, 1, 1, FALSE);
  return arrived;
}

// Batches of frames in turn with batches of bare pushes of the same size; the
// figures go to `line`, printed only once every form has run without a failure.
// False, after its report, when anything failed.
bool Measure(const char* form, SIZE size, std::function<void(int)> paint, int rounds, std::string* line) {
  Failures failures;
  BarePush bare(size);
  // The window is on the display before anything is timed.
  if (!failures.Check(bare.frame.pixels != nullptr, std::string(form) + ": the bare frame") ||
      !failures.Check(bare.Batch(), std::string(form) + ": the first bare push") ||
      !failures.Check(WaitForScreen(RGB(128, 128, 128)), std::string(form) + ": the count window did not show on the display")) {
    benchmark_support::ReportFailures(failures, -1, rounds);
    return false;
  }
  FrameArrived(size);
  int serial = 0;
  std::vector<Series> series = {
      {"bare push", [&] { failures.Check(bare.Batch(), std::string(form) + ": a bare push"); }, {}},
      {"frame", [&] {
         for (int i = 0; i < kFramesPerBatch; ++i) paint(serial++);
       }, {}},
      {"check, not used", [&] { failures.Check(FrameArrived(size), std::string(form) + ": a frame that did not reach the window"); }, {}},
  };
  const int ran = benchmark_support::RunRounds(&series, rounds, &failures);
  if (failures.Count()) {
    benchmark_support::ReportFailures(failures, ran, rounds);
    return false;
  }
  const double frameUs = Median(series[1].ms) * 1000 / kFramesPerBatch;
  const double bareUs = Median(series[0].ms) * 1000 / kFramesPerBatch;
  const double ratio = MedianRatio(series[1].ms, series[0].ms);
  char text[160];
  snprintf(text, sizeof text, "%-8s %ld x %ld  frame %8.1f us   bare push %8.1f us   ratio %5.2f (goal <= 3.00) %s\n",
           form, static_cast<long>(size.cx), static_cast<long>(size.cy), frameUs, bareUs, ratio,
           ratio <= 3 ? "ok" : "SLOW");
  *line = text;
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = benchmark_support::RoundsArgument(argc, argv, 20);
  if (rounds == 0) return 2;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  countWindowConfig = kSchedulerCountWindowConfig;
  countWindowConfig.frontWindow = &front;
  InitLayeredPaintGlobals(true);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"BenchCount";
  RegisterClassW(&windowClass);
  // The pushed window is shown on the display, as the count window is.
  countWindow = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"BenchCount", L"",
                                WS_POPUP | WS_VISIBLE, kWindowAt.x, kWindowAt.y, 121, 44, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
  front = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT, L"BenchCount", L"", WS_POPUP,
                          kWindowAt.x, kWindowAt.y, 121, 44, nullptr, nullptr, windowClass.hInstance, nullptr);
  Pump();
  printf("count window shown at (%ld, %ld); per frame: median of %d batches of %d frames after a warm-up batch\n",
         static_cast<long>(kWindowAt.x), static_cast<long>(kWindowAt.y), rounds, kFramesPerBatch);

  LoadTextBackgroundImage(2);
  LoadTypeImage(2);
  const wchar_t* labels[2] = {L"シャットダウン", L"Shutdown"};
  std::string builtinLine, skinnedLine;
  bool ok = Measure("builtin", {kBuiltinWidth, kBuiltinHeight},
                    [&](int i) { PaintCountWindowBuiltin(labels[i & 1]); }, rounds, &builtinLine);

  appearance.form = Skinned;
  appearance.skinImage = appearance.typeImage;
  appearance.typeImage = nullptr;
  SkinLayout& text2 = appearance.skinLayout[1];
  wcscpy(text2.fontFace, L"Verdana");
  text2.fontSize = 17;
  text2.bold = 1;
  text2.align = 2;
  text2.locationX = 17;
  text2.locationY = 22;
  text2.width = 94;
  text2.height = 18;
  appearance.skinLayout[0] = text2;
  appearance.skinLayout[0].locationY = 4;
  appearance.skinLayout[0].fontSize = 11;
  wchar_t countdown[16];
  ok = ok && Measure("skinned", GdiplusBitmapSize(appearance.skinImage),
               [&](int i) {
                 swprintf(countdown, 16, L"%02d:%02d:%02d", i / 3600 % 100, i / 60 % 60, i % 60);
                 PaintCountWindowSkin(L"シャットダウン", countdown);
               },
               rounds, &skinnedLine);
  if (ok) printf("%s%s", builtinLine.c_str(), skinnedLine.c_str());

  DestroyWindow(front);
  DestroyWindow(countWindow);
  Gdiplus::GdiplusShutdown(token);
  return ok ? 0 : 1;
}
