#include "layered_paint.h"

#include <cwchar>

#include "count_window_config.h"
#include "gdiplus_flat.h"
#include "frame_graphics.h"
#include "skins.h"

LayeredPaintGlobals layeredPaint;

namespace {

// A family by name, else the generic sans-serif one, else any installed
// family; null when the system has no font at all (then no text is drawn).
GpFontFamily* CreateFamilyOrFallback(const wchar_t* name) {
  GpFontFamily* family = nullptr;
  if (name && name[0] && GdipCreateFontFamilyFromName(name, nullptr, &family) == Gdiplus::Ok && family)
    return family;
  family = nullptr;
  GpFontFamily* generic = nullptr;
  if (GdipGetGenericFontFamilySansSerif(&generic) == Gdiplus::Ok && generic &&
      GdipCloneFontFamily(generic, &family) == Gdiplus::Ok && family)
    return family;
  family = nullptr;
  GpFontCollection* installed = nullptr;
  if (GdipNewInstalledFontCollection(&installed) != Gdiplus::Ok || !installed) return nullptr;
  INT count = 0, found = 0;
  GpFontFamily* first = nullptr;
  if (GdipGetFontCollectionFamilyCount(installed, &count) == Gdiplus::Ok && count > 0 &&
      GdipGetFontCollectionFamilyList(installed, 1, &first, &found) == Gdiplus::Ok && found == 1 && first)
    GdipCloneFontFamily(first, &family);
  return family;
}

}  // namespace

GpFont* CreatePixelFont(const wchar_t* name, float size, bool bold) {
  GpFontFamily* family = CreateFamilyOrFallback(name);
  if (!family) return nullptr;
  GpFont* font = nullptr;
  if (GdipCreateFont(family, size, bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular,
                     Gdiplus::UnitPixel, &font) != Gdiplus::Ok)
    font = nullptr;
  GdipDeleteFontFamily(family);
  return font;
}

FrameGraphics::FrameGraphics(const LayeredFrame& frame) {
  if (GdipCreateBitmapFromScan0(frame.width, frame.height, frame.width * 4, PixelFormat32bppPARGB,
                                reinterpret_cast<BYTE*>(frame.pixels), &bitmap) != Gdiplus::Ok) {
    bitmap = nullptr;
    return;
  }
  if (GdipGetImageGraphicsContext(bitmap, &graphics) != Gdiplus::Ok) graphics = nullptr;
}

FrameGraphics::~FrameGraphics() {
  if (graphics) GdipDeleteGraphics(graphics);
  if (bitmap) GdipDisposeImage(bitmap);
}

namespace {

void DrawImageAt(GpGraphics* graphics, GdiplusBitmap image, int x, int y) {
  if (!image) return;
  SIZE size = GdiplusBitmapSize(image);
  GdipDrawImageRectI(graphics, AsGpBitmap(image), x, y, size.cx, size.cy);
}

ARGB OpaqueColor(const TextColor& color) {
  return 0xFF000000u | (static_cast<ARGB>(color.red & 0xFF) << 16) |
         (static_cast<ARGB>(color.green & 0xFF) << 8) | static_cast<ARGB>(color.blue & 0xFF);
}

int FloorHalf(int value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

HWND FrontWindow() { return countWindowConfig.frontWindow ? *countWindowConfig.frontWindow : nullptr; }

}  // namespace

void InitLayeredPaintGlobals(bool meiryoUiAvailable) {
  layeredPaint.blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ZeroMemory(&layeredPaint.bitmapInfo, sizeof(layeredPaint.bitmapInfo));
  layeredPaint.bitmapInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  if (!layeredPaint.screenDC) layeredPaint.screenDC = GetDC(nullptr);
  layeredPaint.meiryoUiAvailable = meiryoUiAvailable;
}

bool CreateLayeredFrame(int width, int height, LayeredFrame* frame) {
  *frame = LayeredFrame();
  if (width <= 0 || height <= 0) return false;
  if (!layeredPaint.screenDC) InitLayeredPaintGlobals(layeredPaint.meiryoUiAvailable);
  BITMAPINFOHEADER& header = layeredPaint.bitmapInfo.bmiHeader;
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  frame->dc = CreateCompatibleDC(layeredPaint.screenDC);
  if (!frame->dc) return false;
  void* bits = nullptr;
  frame->bitmap = CreateDIBSection(layeredPaint.screenDC, &layeredPaint.bitmapInfo, DIB_RGB_COLORS,
                                   &bits, nullptr, 0);
  if (!frame->bitmap || !bits) {
    DestroyLayeredFrame(frame);
    return false;
  }
  frame->previous = SelectObject(frame->dc, frame->bitmap);
  frame->pixels = static_cast<uint32_t*>(bits);
  frame->width = width;
  frame->height = height;
  GdiFlush();
  ZeroMemory(frame->pixels, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  return true;
}

void DestroyLayeredFrame(LayeredFrame* frame) {
  if (frame->dc && frame->previous) SelectObject(frame->dc, frame->previous);
  if (frame->bitmap) DeleteObject(frame->bitmap);
  if (frame->dc) DeleteDC(frame->dc);
  *frame = LayeredFrame();
}

POINT BuiltinLabelOrigin(SIZE background, SIZE measured, bool meiryoUi) {
  POINT origin;
  origin.x = 27 + FloorHalf(background.cx - measured.cx);
  origin.y = 4 + FloorHalf(background.cy - measured.cy) + (meiryoUi ? 0 : 1);
  return origin;
}

void DrawBuiltinFrame(const LayeredFrame& frame, const AppearanceState& state, const wchar_t* label,
                      bool meiryoUi) {
  FrameGraphics canvas(frame);
  if (!canvas.graphics) return;
  GpGraphics* graphics = canvas.graphics;
  DrawImageAt(graphics, state.textBackgroundImage, 25, 5);
  DrawImageAt(graphics, state.typeImage, 0, 0);

  GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHighQuality);
  GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintClearTypeGridFit);
  GdipSetTextContrast(graphics, 6);
  GpStringFormat* format = nullptr;
  GpSolidFill* brush = nullptr;
  GpFont* font = CreatePixelFont(meiryoUi ? L"Meiryo UI" : L"verdana", 10.0f, false);
  if (font && label && label[0] && GdipCreateStringFormat(0, LANG_NEUTRAL, &format) == Gdiplus::Ok &&
      GdipCreateSolidFill(0xFFFFFFFFu, &brush) == Gdiplus::Ok) {
    GdipSetStringFormatAlign(format, Gdiplus::StringAlignmentNear);
    const int length = static_cast<int>(wcslen(label));
    RectF unbounded(0, 0, 0, 0), box(0, 0, 0, 0);
    if (GdipMeasureString(graphics, label, length, font, &unbounded, format, &box, nullptr, nullptr) ==
        Gdiplus::Ok) {
      SIZE measured = {static_cast<LONG>(box.Width), static_cast<LONG>(box.Height)};
      SIZE background = GdiplusBitmapSize(state.textBackgroundImage);
      if (!state.textBackgroundImage) background = {kTextBackgroundWidth, kTextBackgroundHeight};
      POINT at = BuiltinLabelOrigin(background, measured, meiryoUi);
      RectF layout(static_cast<float>(at.x), static_cast<float>(at.y),
                   static_cast<float>(at.x + measured.cx), static_cast<float>(at.y + measured.cy));
      GdipDrawString(graphics, label, length, font, &layout, format, brush);
    }
  }
  if (brush) GdipDeleteBrush(brush);
  if (format) GdipDeleteStringFormat(format);
  if (font) GdipDeleteFont(font);
}

void DrawSkinFrame(const LayeredFrame& frame, const AppearanceState& state, const wchar_t* label,
                   const wchar_t* countdown) {
  FrameGraphics canvas(frame);
  if (!canvas.graphics) return;
  GpGraphics* graphics = canvas.graphics;
  if (state.skinImage)
    GdipDrawImageRectI(graphics, AsGpBitmap(state.skinImage), 0, 0, frame.width, frame.height);
  GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHighQuality);
  GdipSetTextContrast(graphics, 0);
  GpStringFormat* format = nullptr;
  if (GdipCreateStringFormat(0, LANG_NEUTRAL, &format) != Gdiplus::Ok) return;
  const wchar_t* texts[2] = {label, countdown};
  for (int i = 0; i < 2; ++i) {
    const SkinLayout& layout = state.skinLayout[i];
    if (!texts[i] || !texts[i][0] || layout.width <= 0 || layout.height <= 0) continue;
    GdipSetStringFormatAlign(format, layout.align == 0   ? Gdiplus::StringAlignmentNear
                                     : layout.align == 1 ? Gdiplus::StringAlignmentCenter
                                                         : Gdiplus::StringAlignmentFar);
    // Sub-pixel text needs an opaque backdrop; over see-through parts of a
    // skin plain anti-aliasing keeps the glyph edges clean.
    int cx = layout.locationX + layout.width / 2, cy = layout.locationY + layout.height / 2;
    bool opaque = cx >= 0 && cy >= 0 && cx < frame.width && cy < frame.height &&
                  (FramePixel(frame, cx, cy) >> 24) == 0xFF;
    GdipSetTextRenderingHint(graphics, opaque ? Gdiplus::TextRenderingHintClearTypeGridFit
                                              : Gdiplus::TextRenderingHintAntiAliasGridFit);
    GpSolidFill* brush = nullptr;
    GpFont* font = CreatePixelFont(layout.fontFace, static_cast<float>(layout.fontSize > 0 ? layout.fontSize
                                                                          : kDefaultSkinFontSize),
                                   layout.bold != 0);
    if (font && GdipCreateSolidFill(OpaqueColor(layout.color), &brush) == Gdiplus::Ok) {
      RectF box(static_cast<float>(layout.locationX), static_cast<float>(layout.locationY),
                static_cast<float>(layout.width), static_cast<float>(layout.height));
      GdipDrawString(graphics, texts[i], static_cast<int>(wcslen(texts[i])), font, &box, format, brush);
    }
    if (brush) GdipDeleteBrush(brush);
    if (font) GdipDeleteFont(font);
  }
  GdipDeleteStringFormat(format);
}

bool PushLayeredFrame(HWND window, const LayeredFrame& frame) {
  RECT rect;
  if (!window || !GetWindowRect(window, &rect)) return false;
  POINT destination = {rect.left, rect.top};
  POINT source = {0, 0};
  SIZE size = {frame.width, frame.height};
  layeredPaint.blend.SourceConstantAlpha = 255;
  return UpdateLayeredWindow(window, layeredPaint.screenDC, &destination, &size, frame.dc, &source, 0,
                             &layeredPaint.blend, ULW_ALPHA) != FALSE;
}

void PushFrameAndMoveDialog(const LayeredFrame& frame) {
  GdiFlush();
  PushLayeredFrame(countWindow, frame);
  RECT rect;
  HWND front = FrontWindow();
  if (front && countWindow && GetWindowRect(countWindow, &rect))
    MoveWindow(front, rect.left, rect.top, frame.width, frame.height, TRUE);
}

void PaintCountWindowBuiltin(const wchar_t* label) {
  LayeredFrame frame;
  if (!CreateLayeredFrame(kBuiltinWidth, kBuiltinHeight, &frame)) return;
  DrawBuiltinFrame(frame, appearance, label, layeredPaint.meiryoUiAvailable);
  PushFrameAndMoveDialog(frame);
  DestroyLayeredFrame(&frame);
}

void PaintCountWindowSkin(const wchar_t* label, const wchar_t* countdown) {
  SIZE size = GdiplusBitmapSize(appearance.skinImage);
  LayeredFrame frame;
  if (!CreateLayeredFrame(size.cx, size.cy, &frame)) return;
  DrawSkinFrame(frame, appearance, label, countdown);
  PushFrameAndMoveDialog(frame);
  DestroyLayeredFrame(&frame);
}

void PaintCountWindow(const wchar_t* label, const wchar_t* countdown) {
  if (appearance.form == Skinned)
    PaintCountWindowSkin(label, countdown);
  else
    PaintCountWindowBuiltin(label);
}

void MakeActionLabel(wchar_t (&label)[20], const wchar_t* englishName, const wchar_t* displayName) {
  const wchar_t* source = appearance.englishLabels ? englishName : displayName;
  wcsncpy(label, source ? source : L"", 19);
  label[19] = L'\0';
}
