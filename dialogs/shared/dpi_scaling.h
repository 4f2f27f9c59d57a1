#pragma once
#include <windows.h>

#include <cstdint>

// The screen's DPI, read once before the program's entry function runs.
struct ScreenDpi {
  bool initialised;
  int32_t dpiX;
  int32_t dpiY;
};
extern const ScreenDpi& screenDpi;

// A 96-DPI length at the given DPI, rounded to the nearest pixel.
int ScaleForDpi(int value, int dpi);
int ScaleX(int value);  // x positions and widths
int ScaleY(int value);  // y positions and heights

// Where a dialog of the given scaled size goes so that it is centred on the
// work area: (left + (right - left - w) / 2, top + (bottom - top - h) / 2).
POINT CenterOnWorkArea(const RECT& workArea, int width, int height);
// Sizes the dialog from a 96-DPI size and centres it on the work area.
void PlaceDialog(HWND dialog, const RECT& workArea, int width96, int height96);
// Moves one control of a dialog to a 96-DPI rectangle, scaled.
void PlaceControl(HWND dialog, int id, int x, int y, int width, int height);
