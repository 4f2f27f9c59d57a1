#include "common_ui.h"

#include "main_window_state.h"

bool LoadButtonBitmaps(HWND window) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HDC windowDC = GetDC(window);
  bool all = true;
  for (int i = 0; i < kButtonBitmapCount; ++i) {
    buttonBitmaps[i] = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(164 + i), IMAGE_BITMAP, 28, 28, LR_DEFAULTCOLOR));
    if (!buttonBitmaps[i]) {
      all = false;
      continue;
    }
    buttonBitmapDCs[i] = CreateCompatibleDC(windowDC);
    SelectObject(buttonBitmapDCs[i], buttonBitmaps[i]);
  }
  ReleaseDC(window, windowDC);
  return all;
}
