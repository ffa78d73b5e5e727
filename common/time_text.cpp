// Local calendar times and the start/duration digit texts of the records.
#include "common/time_text.h"

#include <cstdio>
#include <ctime>

#include "common/platform_halves.h"

namespace {

int Digit(char c) { return c - '0'; }

}  // namespace

Time32 MakeLocalTime(int year, int month, int day, int hour, int minute, int second) {
  return FromLocalCalendar(year, month, day, hour, minute, second);
}

LocalTime BreakLocalTime(Time32 t) {
  std::tm tm{};
  ToLocalCalendar(t, &tm);
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday};
}

std::string FormatLocalTime(Time32 t, const char* format) {
  std::tm tm{};
  if (!ToLocalCalendar(t, &tm)) return std::string();
  char buffer[256];
  std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
  return std::string(buffer, n);
}

std::string FormatStartText(Time32 start) { return FormatLocalTime(start, "%Y%m%d%H%M"); }

Time32 ParseStartText(const char* s) {
  int year = Digit(s[0]) * 1000 + Digit(s[1]) * 100 + Digit(s[2]) * 10 + Digit(s[3]);
  return MakeLocalTime(year, Digit(s[4]) * 10 + Digit(s[5]), Digit(s[6]) * 10 + Digit(s[7]),
                       Digit(s[8]) * 10 + Digit(s[9]), Digit(s[10]) * 10 + Digit(s[11]));
}

std::string FormatDurationText(Time32 start, Time32 end) {
  // The field holds four digits: a negative span is written as 0000 and one of
  // 100 hours or more as 9959, so the text never spills into the next field.
  long long span = static_cast<long long>(end) - start;
  if (span < 0) span = 0;
  long long hours = span / 3600;
  long long minutes = (span / 60) % 60;
  if (hours > 99) hours = 99, minutes = 59;
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02d%02d", static_cast<int>(hours), static_cast<int>(minutes));
  return buffer;
}

std::int32_t ParseDurationText(const char* s) {
  return (Digit(s[0]) * 10 + Digit(s[1])) * 3600 + (Digit(s[2]) * 10 + Digit(s[3])) * 60;
}
