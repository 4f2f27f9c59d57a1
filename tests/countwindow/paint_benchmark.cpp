// Time to compose and push one count-window frame in each form, beside a bare
// UpdateLayeredWindow of the same size whose pixels change at every push.
// The goal: a whole frame within 3 times the bare push.
#include <windows.h>

#include <cstdio>

#include "appearance.h"
#include "count_window_config.h"
#include "gdiplus_flat.h"
#include "layered_paint.h"
#include "skins.h"

HWND countWindow = nullptr;
uint8_t countWindowCreated = 0;

namespace {

HWND front = nullptr;

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Microseconds per push of a frame whose first pixel changes every time.
double BarePush(int width, int height, int rounds) {
  LayeredFrame frame;
  if (!CreateLayeredFrame(width, height, &frame)) return 0;
  for (int i = 0; i < width * height; ++i) frame.pixels[i] = 0xFF808080u;
  double start = Seconds();
  for (int i = 0; i < rounds; ++i) {
    frame.pixels[0] = 0xFF000000u | static_cast<uint32_t>(i & 0xFF);
    PushLayeredFrame(countWindow, frame);
  }
  double elapsed = Seconds() - start;
  DestroyLayeredFrame(&frame);
  return elapsed * 1e6 / rounds;
}

template <typename Paint>
double Frames(Paint paint, int rounds) {
  double start = Seconds();
  for (int i = 0; i < rounds; ++i) paint(i);
  return (Seconds() - start) * 1e6 / rounds;
}

void Report(const char* form, double frame, double bare) {
  printf("%-8s frame %8.1f us   bare push %8.1f us   ratio %5.2f (goal <= 3.00) %s\n", form, frame, bare,
         bare > 0 ? frame / bare : 0.0, bare > 0 && frame <= 3 * bare ? "ok" : "SLOW");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int rounds = argc > 1 ? _wtoi(argv[1]) : 300;
  if (rounds < 10) rounds = 10;
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
  countWindow = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"BenchCount", L"", WS_POPUP | WS_VISIBLE,
                                100, 100, 121, 44, nullptr, nullptr, windowClass.hInstance, nullptr);
  front = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT, L"BenchCount", L"", WS_POPUP,
                          100, 100, 121, 44, nullptr, nullptr, windowClass.hInstance, nullptr);
  Pump();

  LoadTextBackgroundImage(2);
  LoadTypeImage(2);
  const wchar_t* labels[2] = {L"シャットダウン", L"Shutdown"};
  double bare = BarePush(121, 44, rounds);
  double builtin = Frames([&](int i) { PaintCountWindowBuiltin(labels[i & 1]); }, rounds);
  Report("builtin", builtin, bare);

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
  bare = BarePush(121, 44, rounds);
  double skinned = Frames(
      [&](int i) {
        swprintf(countdown, 16, L"%02d:%02d:%02d", i / 3600 % 100, i / 60 % 60, i % 60);
        PaintCountWindowSkin(L"シャットダウン", countdown);
      },
      rounds);
  Report("skinned", skinned, bare);

  DestroyWindow(front);
  DestroyWindow(countWindow);
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
