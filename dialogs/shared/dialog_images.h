#pragma once
#include <windows.h>

// A dialog's painted images: each bitmap resource selected into a memory DC
// from the dialog's creation to its WM_DESTROY.
struct DialogBitmap {
  HBITMAP bitmap = nullptr;
  HDC dc = nullptr;
  HGDIOBJ previous = nullptr;
};

// Loads the bitmap resources `ids` of this module; a missing one stays empty.
void LoadDialogBitmaps(HWND dialog, const int* ids, DialogBitmap* images, int count);
void FreeDialogBitmaps(DialogBitmap* images, int count);

// Stretches a whole image (or its part `from`) over `to`; false when it is missing.
bool StretchDialogBitmap(HDC dc, const RECT& to, const DialogBitmap& image, const RECT* from = nullptr);
