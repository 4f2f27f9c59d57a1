#pragma once
#include <cstdint>

// Next application slot (0-10) of the item whose after-resume applications are
// being started. The countdown dialog sets it to 0 before the first call of a
// run and after the last; only LaunchApplication advances it.
extern int32_t appLaunchCursor;

// Starts the applications of the item at that position of that time-order row
// whose delay has come, `elapsedSeconds` after the resume. 0 when nothing is
// left to start, else 1.
int LaunchApplication(int row, int position, int elapsedSeconds);
