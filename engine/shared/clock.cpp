#include "clock.h"

namespace {
LocalTimeSource timeSource = nullptr;
}

void GetClockLocalTime(SYSTEMTIME* now) {
  if (timeSource)
    timeSource(now);
  else
    GetLocalTime(now);
}

void SetLocalTimeSource(LocalTimeSource source) { timeSource = source; }
