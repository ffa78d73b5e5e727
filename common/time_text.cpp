// Local calendar times and the start/duration digit texts of the records.
#include "common/time_text.h"

#include <cstdio>
#include <ctime>

#include "common/platform_halves.h"

namespace {

int Digit(char c) { return c - '0'; }

constexpr int kFirstYear = 1970;
constexpr int kLastYear = 2037;  // the last whole year a 32-bit time holds

// The fields with every out-of-range value carried into the next larger one.
struct CivilTime {
  long long year;
  int month, day, hour, minute, second;
};

CivilTime Normalise(long long year, long long month, long long day, long long hour, long long minute,
                    long long second) {
  long long m0 = month - 1;
  long long carryYears = m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
  year += carryYears;
  m0 -= carryYears * 12;
  long long seconds = (DaysFromCivil(year, m0 + 1, 1) + day - 1) * 86400 + hour * 3600 + minute * 60 + second;
  long long days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  long long rest = seconds - days * 86400;
  CivilTime t;
  CivilFromDays(days, &t.year, &t.month, &t.day);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

}  // namespace

long long DaysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

void CivilFromDays(long long days, long long* year, int* month, int* day) {
  const long long z = days + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = yoe + era * 400 + (*month <= 2);
}

Time32 MakeLocalTime(int year, int month, int day, int hour, int minute, int second) {
  // The C library and the Win32 zone functions disagree on times they cannot
  // hold: such a time is kNoTime on both, decided before either is asked.
  CivilTime t = Normalise(year, month, day, hour, minute, second);
  if (t.year < kFirstYear || t.year > kLastYear) return kNoTime;
  return FromLocalCalendar(static_cast<int>(t.year), t.month, t.day, t.hour, t.minute, t.second);
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
