#pragma once
#include <windows.h>

#include <cstdint>

#include "appearance.h"

// The count window's image: composed off-screen in a 32-bit top-down DIB
// section with premultiplied alpha and pushed with UpdateLayeredWindow.

struct LayeredPaintGlobals {
  BLENDFUNCTION blend;
  BITMAPINFO bitmapInfo;
  HDC screenDC;
  bool meiryoUiAvailable;
};
extern LayeredPaintGlobals layeredPaint;

// Once at start-up, after the font enumeration.
void InitLayeredPaintGlobals(bool meiryoUiAvailable);

// One composed frame: a memory DC with its DIB section selected.
struct LayeredFrame {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  uint32_t* pixels = nullptr;  // premultiplied BGRA, top row first
  int width = 0;
  int height = 0;
};
bool CreateLayeredFrame(int width, int height, LayeredFrame* frame);
void DestroyLayeredFrame(LayeredFrame* frame);
inline uint32_t FramePixel(const LayeredFrame& frame, int x, int y) {
  return frame.pixels[y * frame.width + x];
}

// Forms Normal and Custom on a 121 x 44 frame: the text-1 background at
// (25, 5), the type frame over it, the action label in white centred on the
// background. A missing image is skipped.
void DrawBuiltinFrame(const LayeredFrame& frame, const AppearanceState& state,
                      const wchar_t* label, bool meiryoUi);
// Form Skinned on a frame of the skin image's size: the image, then the label
// and the countdown text in the skin's two layout boxes.
void DrawSkinFrame(const LayeredFrame& frame, const AppearanceState& state,
                   const wchar_t* label, const wchar_t* countdown);
// Where the label's layout box starts (the measured size truncated).
POINT BuiltinLabelOrigin(SIZE background, SIZE measured, bool meiryoUi);

// Hands the frame to the layered window at its current top-left.
bool PushLayeredFrame(HWND window, const LayeredFrame& frame);
// Pushes the frame to the count window and moves the countdown dialog onto it
// with the frame's size, repainting.
void PushFrameAndMoveDialog(const LayeredFrame& frame);

// Paint the count window and move the countdown dialog onto it. The texts are
// the countdown dialog's: the action label and the "%02d:%02d:%02d" countdown.
void PaintCountWindowBuiltin(const wchar_t* label);
void PaintCountWindowSkin(const wchar_t* label, const wchar_t* countdown);
// The form's painter.
void PaintCountWindow(const wchar_t* label, const wchar_t* countdown);

// The action label for the 20-unit buffer: the English key name when
// englishLabels is set, else the display name.
void MakeActionLabel(wchar_t (&label)[20], const wchar_t* englishName, const wchar_t* displayName);
