// Local calendar times and the start/duration digit texts of the records.
#include "common/time_text.h"

#include <cstdio>
#include <ctime>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

int Digit(char c) { return c - '0'; }

#if defined(_WIN32)
// The C runtime reads the TZ variable when it is set, and under Wine it holds
// the host's zone name ("Asia/Tokyo"), which the runtime cannot parse. The
// Win32 zone functions always use the system's zone, so local time goes
// through them instead.

long long DaysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

SYSTEMTIME FromSeconds(long long seconds) {
  long long days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  long long rest = seconds - days * 86400;
  const long long z = days + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  SYSTEMTIME st{};
  st.wDay = static_cast<WORD>(doy - (153 * mp + 2) / 5 + 1);
  st.wMonth = static_cast<WORD>(mp < 10 ? mp + 3 : mp - 9);
  st.wYear = static_cast<WORD>(yoe + era * 400 + (st.wMonth <= 2));
  st.wHour = static_cast<WORD>(rest / 3600);
  st.wMinute = static_cast<WORD>(rest / 60 % 60);
  st.wSecond = static_cast<WORD>(rest % 60);
  st.wDayOfWeek = static_cast<WORD>((days % 7 + 11) % 7);  // 1970-01-01 was a Thursday
  return st;
}

long long ToSeconds(const SYSTEMTIME& st) {
  return DaysFromCivil(st.wYear, st.wMonth, st.wDay) * 86400 + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
}

bool ToLocal(Time32 t, std::tm* out) {
  SYSTEMTIME utc = FromSeconds(t), local;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return false;
  *out = std::tm{};
  out->tm_year = local.wYear - 1900;
  out->tm_mon = local.wMonth - 1;
  out->tm_mday = local.wDay;
  out->tm_hour = local.wHour;
  out->tm_min = local.wMinute;
  out->tm_sec = local.wSecond;
  out->tm_wday = local.wDayOfWeek;
  out->tm_yday = static_cast<int>(DaysFromCivil(local.wYear, local.wMonth, local.wDay) -
                                  DaysFromCivil(local.wYear, 1, 1));
  return true;
}

// Fields out of range carry over as mktime carries them.
Time32 FromLocal(int year, int month, int day, int hour, int minute, int second) {
  long long m0 = month - 1;
  long long y = year + (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
  long long m = m0 - (y - year) * 12 + 1;
  long long naive = (DaysFromCivil(y, m, 1) + day - 1) * 86400LL + hour * 3600LL + minute * 60LL + second;
  SYSTEMTIME local = FromSeconds(naive), utc;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc)) return -1;
  return static_cast<Time32>(ToSeconds(utc));
}
#else
bool ToLocal(Time32 t, std::tm* out) {
  std::time_t value = t;
  return localtime_r(&value, out) != nullptr;
}

Time32 FromLocal(int year, int month, int day, int hour, int minute, int second) {
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
#endif

}  // namespace

Time32 MakeLocalTime(int year, int month, int day, int hour, int minute, int second) {
  return FromLocal(year, month, day, hour, minute, second);
}

LocalTime BreakLocalTime(Time32 t) {
  std::tm tm{};
  ToLocal(t, &tm);
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday};
}

std::string FormatLocalTime(Time32 t, const char* format) {
  std::tm tm{};
  if (!ToLocal(t, &tm)) return std::string();
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
