#include "dialog_images.h"

void LoadDialogBitmaps(HWND dialog, const int* ids, DialogBitmap* images, int count) {
  HDC screen = GetDC(dialog);
  for (int i = 0; i < count; ++i) {
    images[i].bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ids[i]), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    images[i].dc = images[i].bitmap ? CreateCompatibleDC(screen) : nullptr;
    if (images[i].dc) images[i].previous = SelectObject(images[i].dc, images[i].bitmap);
  }
  ReleaseDC(dialog, screen);
}

void FreeDialogBitmaps(DialogBitmap* images, int count) {
  for (int i = 0; i < count; ++i) {
    if (images[i].dc) {
      SelectObject(images[i].dc, images[i].previous);
      DeleteDC(images[i].dc);
    }
    if (images[i].bitmap) DeleteObject(images[i].bitmap);
    images[i] = DialogBitmap{};
  }
}

bool StretchDialogBitmap(HDC dc, const RECT& to, const DialogBitmap& image, const RECT* from) {
  if (!image.dc || !image.bitmap) return false;
  BITMAP info{};
  GetObjectW(image.bitmap, sizeof info, &info);
  const RECT whole{0, 0, info.bmWidth, info.bmHeight};
  const RECT& part = from ? *from : whole;
  SetStretchBltMode(dc, HALFTONE);
  return StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, image.dc, part.left, part.top,
                    part.right - part.left, part.bottom - part.top, SRCCOPY) != 0;
}
