#pragma once
#include <windows.h>

// The one place the programs read the local wall clock, so tests can fix it.
using LocalTimeSource = void (*)(SYSTEMTIME* now);

void GetClockLocalTime(SYSTEMTIME* now);
// Replaces the clock; null restores the system clock. Tests only.
void SetLocalTimeSource(LocalTimeSource source);
