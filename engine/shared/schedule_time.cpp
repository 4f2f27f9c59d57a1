#include "schedule_time.h"

#include <oleauto.h>

#include <cmath>
#include <ctime>

#include "clock.h"

namespace {

int64_t LocalCalendarSeconds(const SYSTEMTIME& t) {
  std::tm tm{};
  tm.tm_year = t.wYear - 1900;
  tm.tm_mon = t.wMonth - 1;
  tm.tm_mday = t.wDay;
  tm.tm_hour = t.wHour;
  tm.tm_min = t.wMinute;
  tm.tm_sec = t.wSecond;
  tm.tm_isdst = -1;
  return _mktime64(&tm);
}

}  // namespace

double SecondsBetween(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return static_cast<double>(LocalCalendarSeconds(a) - LocalCalendarSeconds(b));
}

void AddDaysToSystemTime(SYSTEMTIME* time, double days) {
  SYSTEMTIME whole = *time;
  whole.wMilliseconds = 0;
  double ole = 0;
  SystemTimeToVariantTime(&whole, &ole);
  ole += days;
  SYSTEMTIME result{};
  if (VariantTimeToSystemTime(ole, &result)) {
    result.wMilliseconds = 0;
    *time = result;
  }
}

int64_t SecondsSince(const SYSTEMTIME& time, const SYSTEMTIME& now) {
  return static_cast<int64_t>(std::trunc(SecondsBetween(now, time)));
}

int64_t SecondsSince(const SYSTEMTIME& time) {
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  return SecondsSince(time, now);
}

bool IsWithin120Seconds(const SYSTEMTIME& time, const SYSTEMTIME& now) {
  const double d = SecondsBetween(now, time);
  return d >= 0 && d < 120;
}

bool IsWithin120Seconds(const SYSTEMTIME& time) {
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  return IsWithin120Seconds(time, now);
}

double ToOleDate(const SYSTEMTIME& time) {
  SYSTEMTIME whole = time;
  whole.wMilliseconds = 0;
  double ole = 0;
  if (!SystemTimeToVariantTime(&whole, &ole)) return 0;
  return ole;
}

bool LocalTimeToUtcFileTime(const SYSTEMTIME& local, int64_t* fileTime) {
  SYSTEMTIME utc{};
  FILETIME ft{};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc)) return false;
  if (!SystemTimeToFileTime(&utc, &ft)) return false;
  *fileTime = static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) |
                                   ft.dwLowDateTime);
  return true;
}
