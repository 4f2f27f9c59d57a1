#include "sheet_layout.h"

#include <commctrl.h>

#include <initializer_list>

#include "dpi_scaling.h"

namespace {

// A 96-DPI rectangle written as x, y, width, height.
RECT Scaled(const RECT& r, int dpi) {
  const int left = ScaleForDpi(r.left, dpi);
  const int top = ScaleForDpi(r.top, dpi);
  return RECT{left, top, left + ScaleForDpi(r.right, dpi), top + ScaleForDpi(r.bottom, dpi)};
}

void MoveTo(HWND window, const RECT& rect) {
  if (window) MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

}  // namespace

SheetLayout ComputeSheetLayout(const SheetFrame96& frame, int dpi, const RECT& workArea) {
  SheetLayout layout{};
  const int width = ScaleForDpi(frame.width, dpi);
  const int height = ScaleForDpi(frame.height, dpi);
  const POINT at = CenterOnWorkArea(workArea, width, height);
  layout.sheet = RECT{at.x, at.y, at.x + width, at.y + height};
  layout.tab = Scaled(frame.tab, dpi);
  layout.ok = Scaled(frame.ok, dpi);
  layout.cancel = Scaled(frame.cancel, dpi);
  return layout;
}

void ApplySheetLayout(HWND sheet, const SheetLayout& layout, HFONT font) {
  HWND tab = PropSheet_GetTabControl(sheet);
  HWND ok = GetDlgItem(sheet, IDOK);
  HWND cancel = GetDlgItem(sheet, IDCANCEL);
  MoveTo(sheet, layout.sheet);
  MoveTo(tab, layout.tab);
  MoveTo(ok, layout.ok);
  MoveTo(cancel, layout.cancel);
  if (font) {
    for (HWND control : {tab, ok, cancel}) {
      if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
  }
}
