#pragma once
// The GDI+ flat API: every call returns a status, so a missing font family or
// an undecodable image is an ordinary result, never a null object in use.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

using Gdiplus::ARGB;
using Gdiplus::GpBitmap;
using Gdiplus::GpBrush;
using Gdiplus::GpFont;
using Gdiplus::GpFontCollection;
using Gdiplus::GpFontFamily;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpSolidFill;
using Gdiplus::GpStatus;
using Gdiplus::GpStringFormat;
using Gdiplus::RectF;
using namespace Gdiplus::DllExports;

inline GpBitmap* AsGpBitmap(void* bitmap) { return static_cast<GpBitmap*>(bitmap); }
