#pragma once
#include <windows.h>

#include <cstdint>

#include "appearance.h"
#include "layered_paint.h"

// The countdown program's painter for the built-in forms: the scheduler's
// frame plus, while watching the processor, the average, the threshold and a
// mark for how far the averaging window has run.

// What the processor watch shows; texts null outside the watch.
struct CpuReadout {
  const wchar_t* thresholdText = nullptr;
  const wchar_t* cpuText = nullptr;
  int32_t sampleCount = 0;
  int32_t cpuSeconds = 0;  // the averaging window
};

// The mark's ends on row 23: one step of 75 / cpuSeconds pixels per sample,
// the first sample starting at x = 31. No mark (false) without a window.
bool CpuProgressMark(int32_t cpuSeconds, int32_t sampleCount, int* startX, int* endX);

// The readout in the digit colour over an already drawn built-in frame.
void DrawCpuReadout(const LayeredFrame& frame, const CpuReadout& readout, const TextColor& color,
                    bool meiryoUi);
// The whole built-in frame; readout null outside the processor watch.
void ComposeTimerBuiltinFrame(const LayeredFrame& frame, const AppearanceState& state,
                              const wchar_t* label, const CpuReadout* readout, bool meiryoUi);

// Paints the count window in forms Normal and Custom and moves the count
// dialog onto it. Texts null and sampleCount 0 outside the processor watch.
void TimerPaintCountWindowBuiltin(const wchar_t* thresholdText, const wchar_t* cpuText, int32_t sampleCount);
// The count dialog's repaint: the skin painter in form Skinned, else the
// built-in one with the watch's values in CpuUsage mode.
void TimerPaintCountWindow(const wchar_t* label, const wchar_t* countdown);
