#pragma once
#include <cstdint>

// What the countdown program does at zero: privilege, capture, resume timer,
// the power action, the display and execution state after it, and whether the
// resume was the planned one. 1 when the count dialog goes on with the
// after-resume stage, 0 when the program is to end.
int TimerRunZeroAction();

// One call a second after the resume: starts, in list order, every application
// from nextAppIndex on whose delay has come (a later delay holds back those
// after it). False when the slot under nextAppIndex is empty.
bool TimerLaunchApplication(int32_t elapsedSeconds);

// Planned when the machine is back within 120 seconds after the resume time.
inline constexpr int kPlannedResumeSeconds = 120;
