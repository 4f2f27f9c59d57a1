#include "weekday_button.h"

#include "main_window_state.h"

int WeekdayButtonImage(bool active, bool current, bool pressed) {
  if (!active) return 4;
  return (current ? 2 : 0) + (pressed ? 1 : 0);
}

void DrawWeekdayButton(const DRAWITEMSTRUCT* draw, bool active, bool current) {
  const bool pressed = (draw->itemState & ODS_SELECTED) != 0;
  const int image = WeekdayButtonImage(active, current, pressed);
  RECT rect = draw->rcItem;
  HDC dc = draw->hDC;
  HDC source = buttonBitmapDCs[image];
  BITMAP info{};
  if (source && buttonBitmaps[image] && GetObjectW(buttonBitmaps[image], sizeof info, &info)) {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source, 0, 0,
               info.bmWidth, info.bmHeight, SRCCOPY);
  } else {
    COLORREF face = !active ? RGB(225, 225, 225) : current ? RGB(120, 180, 240) : RGB(245, 245, 245);
    if (pressed) face = RGB(GetRValue(face) * 4 / 5, GetGValue(face) * 4 / 5, GetBValue(face) * 4 / 5);
    HBRUSH brush = CreateSolidBrush(face);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  }
  wchar_t text[16] = {};
  GetWindowTextW(draw->hwndItem, text, 16);
  SetTextColor(dc, active ? RGB(0, 0, 0) : RGB(125, 125, 125));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
