#include "count_window_paint.h"

#include <cwchar>

#include "count_dialog.h"
#include "frame_graphics.h"
#include "timer_profile.h"

bool CpuProgressMark(int32_t cpuSeconds, int32_t sampleCount, int* startX, int* endX) {
  if (cpuSeconds <= 0) return false;
  const double step = 75.0 / cpuSeconds;
  const double start = 31 + step * (sampleCount - 1);
  *startX = static_cast<int>(start);
  *endX = static_cast<int>(start + step);
  return true;
}

namespace {

ARGB Colour(const TextColor& color, uint8_t alpha) {
  return (static_cast<ARGB>(alpha) << 24) | (static_cast<ARGB>(color.red & 0xFF) << 16) |
         (static_cast<ARGB>(color.green & 0xFF) << 8) | static_cast<ARGB>(color.blue & 0xFF);
}

void DrawAt(GpGraphics* graphics, const wchar_t* text, GpFont* font, GpStringFormat* format,
            GpSolidFill* brush, float x, float y) {
  if (!text || !text[0]) return;
  RectF box(x, y, 0, 0);
  GdipDrawString(graphics, text, static_cast<int>(wcslen(text)), font, &box, format, brush);
}

}  // namespace

void DrawCpuReadout(const LayeredFrame& frame, const CpuReadout& readout, const TextColor& color,
                    bool meiryoUi) {
  FrameGraphics canvas(frame);
  if (!canvas.graphics) return;
  GpGraphics* graphics = canvas.graphics;
  GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHighQuality);
  GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintClearTypeGridFit);
  GdipSetTextContrast(graphics, 6);

  const wchar_t* family = meiryoUi ? L"Meiryo UI" : L"verdana";
  const int x1 = meiryoUi ? 31 : 28, x2 = meiryoUi ? 62 : 59, x3 = meiryoUi ? 69 : 66;
  const int y = meiryoUi ? 23 : 24;
  GpStringFormat* format = nullptr;
  GpSolidFill* brush = nullptr;
  GpFont* valueFont = CreatePixelFont(family, 13.0f, true);
  GpFont* smallFont = CreatePixelFont(family, 11.0f, true);
  if (valueFont && smallFont && GdipCreateStringFormat(0, LANG_NEUTRAL, &format) == Gdiplus::Ok &&
      GdipCreateSolidFill(Colour(color, 255), &brush) == Gdiplus::Ok) {
    if (readout.cpuText && readout.cpuText[0]) {
      // Right-aligned in a box as high as the text, so one and two digits end
      // at the same place before the slash.
      GdipSetStringFormatAlign(format, Gdiplus::StringAlignmentFar);
      const int length = static_cast<int>(wcslen(readout.cpuText));
      RectF unbounded(0, 0, 0, 0), measured(0, 0, 0, 0);
      GdipMeasureString(graphics, readout.cpuText, length, valueFont, &unbounded, format, &measured,
                        nullptr, nullptr);
      RectF box(static_cast<float>(x1), static_cast<float>(y), 35.0f, measured.Height);
      GdipDrawString(graphics, readout.cpuText, length, valueFont, &box, format, brush);
    }
    GdipSetStringFormatAlign(format, Gdiplus::StringAlignmentNear);
    DrawAt(graphics, L"/", smallFont, format, brush, static_cast<float>(x2), static_cast<float>(y));
    DrawAt(graphics, readout.thresholdText, smallFont, format, brush, static_cast<float>(x3),
           static_cast<float>(y + 2));
    DrawAt(graphics, L"(%)", smallFont, format, brush, static_cast<float>(x3 + 15), static_cast<float>(y));
  }
  int startX = 0, endX = 0;
  Gdiplus::GpPen* pen = nullptr;
  if (CpuProgressMark(readout.cpuSeconds, readout.sampleCount, &startX, &endX) &&
      GdipCreatePen1(Colour(color, 160), 2.0f, Gdiplus::UnitWorld, &pen) == Gdiplus::Ok)
    GdipDrawLineI(graphics, pen, startX, 23, endX, 23);
  if (pen) GdipDeletePen(pen);
  if (brush) GdipDeleteBrush(brush);
  if (format) GdipDeleteStringFormat(format);
  if (smallFont) GdipDeleteFont(smallFont);
  if (valueFont) GdipDeleteFont(valueFont);
}

void ComposeTimerBuiltinFrame(const LayeredFrame& frame, const AppearanceState& state, const wchar_t* label,
                              const CpuReadout* readout, bool meiryoUi) {
  DrawBuiltinFrame(frame, state, label, meiryoUi);
  if (readout) DrawCpuReadout(frame, *readout, state.textColor, meiryoUi);
}

void TimerPaintCountWindowBuiltin(const wchar_t* threshold, const wchar_t* average, int32_t sampleCount) {
  LayeredFrame frame;
  if (!CreateLayeredFrame(kBuiltinWidth, kBuiltinHeight, &frame)) return;
  CpuReadout readout;
  readout.thresholdText = threshold;
  readout.cpuText = average;
  readout.sampleCount = sampleCount;
  readout.cpuSeconds = timerSettings.cpuSeconds;
  const bool watching = timerSettings.mode == CpuUsage;
  ComposeTimerBuiltinFrame(frame, appearance, timerActionLabel, watching ? &readout : nullptr,
                           layeredPaint.meiryoUiAvailable);
  PushFrameAndMoveDialog(frame);
  DestroyLayeredFrame(&frame);
}

void TimerPaintCountWindow(const wchar_t* label, const wchar_t* countdown) {
  if (appearance.form == Skinned) {
    PaintCountWindowSkin(label, countdown);
    return;
  }
  if (timerSettings.mode == CpuUsage)
    // Between two averaging windows the mark stays on the last step.
    TimerPaintCountWindowBuiltin(cpuThresholdText, cpuText,
                                 cpuSampleCount != 0 ? cpuSampleCount : timerSettings.cpuSeconds);
  else
    TimerPaintCountWindowBuiltin(nullptr, nullptr, 0);
}
