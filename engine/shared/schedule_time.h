#pragma once
#include <windows.h>

#include <cstdint>

// Time arithmetic on local SYSTEMTIME values, shared by both programs. Every
// "now" comes from the clock seam (clock.h) and is passed in by the caller.

// Seconds from b to a (a - b), both taken as local calendar times; the
// conversion decides whether daylight saving applies. Weekday and
// milliseconds are ignored.
double SecondsBetween(const SYSTEMTIME& a, const SYSTEMTIME& b);

// Adds a (possibly fractional) number of days through the OLE date; the
// weekday is recomputed and the milliseconds become 0.
void AddDaysToSystemTime(SYSTEMTIME* time, double days);

// SecondsBetween(now, time) truncated toward zero: negative while time lies ahead.
int64_t SecondsSince(const SYSTEMTIME& time, const SYSTEMTIME& now);
int64_t SecondsSince(const SYSTEMTIME& time);  // now from the clock seam

// True when 0 <= SecondsBetween(now, time) < 120: a resume at the planned time.
bool IsWithin120Seconds(const SYSTEMTIME& time, const SYSTEMTIME& now);
bool IsWithin120Seconds(const SYSTEMTIME& time);  // now from the clock seam

// The OLE automation date of a time, at whole seconds; 0 when it is not a date.
double ToOleDate(const SYSTEMTIME& time);

// A local time as an absolute UTC file time (100-ns units since 1601), for a
// waitable timer that must keep counting while the machine sleeps. False when
// the local time cannot be converted.
bool LocalTimeToUtcFileTime(const SYSTEMTIME& local, int64_t* fileTime);
