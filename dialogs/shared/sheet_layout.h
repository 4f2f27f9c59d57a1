#pragma once
#include <windows.h>

// Where a settings sheet's start page puts the sheet, its tab control and its
// OK and Cancel buttons. Both programs' sheets differ only in these numbers.
struct SheetFrame96 {
  int width, height;  // the sheet, centred on the work area
  RECT tab;           // x, y, width, height in the sheet's client area
  RECT ok;
  RECT cancel;
};

// The frame at a DPI: the sheet in screen coordinates, the rest in the
// sheet's client coordinates.
struct SheetLayout {
  RECT sheet;
  RECT tab;
  RECT ok;
  RECT cancel;
};
SheetLayout ComputeSheetLayout(const SheetFrame96& frame, int dpi, const RECT& workArea);
// Moves the sheet and its parts, and gives the tab control and the buttons
// the font when one is given.
void ApplySheetLayout(HWND sheet, const SheetLayout& layout, HFONT font);
