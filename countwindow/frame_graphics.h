#pragma once
// GDI+ drawing on a composed count-window frame, for the painters that add
// their own texts (the countdown program's processor readout).
#include "gdiplus_flat.h"
#include "layered_paint.h"

// Graphics over the frame's own pixels (premultiplied ARGB), so that the alpha
// channel is written; graphics is null when GDI+ refused.
struct FrameGraphics {
  GpBitmap* bitmap = nullptr;
  GpGraphics* graphics = nullptr;
  explicit FrameGraphics(const LayeredFrame& frame);
  ~FrameGraphics();
  FrameGraphics(const FrameGraphics&) = delete;
  FrameGraphics& operator=(const FrameGraphics&) = delete;
};

// A font of `size` pixels in the family, else the generic sans-serif family,
// else any installed one; null only when the system has no font at all.
GpFont* CreatePixelFont(const wchar_t* family, float size, bool bold);
