#include "dpi_scaling.h"

namespace {

ScreenDpi ReadScreenDpi() {
  ScreenDpi dpi{false, 96, 96};
  if (HDC screen = GetDC(nullptr)) {
    dpi.dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    dpi.dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  if (dpi.dpiX <= 0) dpi.dpiX = 96;
  if (dpi.dpiY <= 0) dpi.dpiY = 96;
  dpi.initialised = true;
  return dpi;
}

const ScreenDpi screenDpiRecord = ReadScreenDpi();

}  // namespace

const ScreenDpi& screenDpi = screenDpiRecord;

int ScaleForDpi(int value, int dpi) {
  if (dpi == 96) return value;
  return MulDiv(value, dpi, 96);
}

int ScaleX(int value) { return ScaleForDpi(value, screenDpi.dpiX); }
int ScaleY(int value) { return ScaleForDpi(value, screenDpi.dpiY); }

POINT CenterOnWorkArea(const RECT& workArea, int width, int height) {
  POINT p;
  // The work area starts right of or below a taskbar at the left or the top.
  p.x = workArea.left + (workArea.right - workArea.left - width) / 2;
  p.y = workArea.top + (workArea.bottom - workArea.top - height) / 2;
  return p;
}

void PlaceDialog(HWND dialog, const RECT& workArea, int width96, int height96) {
  const int width = ScaleX(width96);
  const int height = ScaleY(height96);
  const POINT p = CenterOnWorkArea(workArea, width, height);
  MoveWindow(dialog, p.x, p.y, width, height, FALSE);
}

void PlaceControl(HWND dialog, int id, int x, int y, int width, int height) {
  if (HWND control = GetDlgItem(dialog, id))
    MoveWindow(control, ScaleX(x), ScaleY(y), ScaleX(width), ScaleY(height), FALSE);
}
