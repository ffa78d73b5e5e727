// Local calendar times natively: the C library.
#include <ctime>

#include "common/platform_halves.h"

bool ToLocalCalendar(Time32 t, std::tm* out) {
  std::time_t value = t;
  return localtime_r(&value, out) != nullptr;
}

Time32 FromLocalCalendar(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return static_cast<Time32>(std::mktime(&tm));
}
