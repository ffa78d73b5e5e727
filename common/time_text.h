// Times: 32-bit counts of seconds since 1970-01-01 UTC, converted to and from the
// local calendar of the system's zone (daylight saving decided by the system):
// the C library natively, the Win32 zone functions on Windows, where the C
// runtime would follow a TZ variable it cannot parse. Code never calls
// mktime/localtime itself.
#pragma once
#include <cstdint>
#include <string>

using Time32 = std::int32_t;

// What MakeLocalTime gives for a calendar time outside 1970..2037 (after the
// carry of out-of-range fields), the same on every platform.
constexpr Time32 kNoTime = -1;

struct LocalTime {
  int year;    // e.g. 2001
  int month;   // 1-12
  int day;     // 1-31
  int hour;
  int minute;
  int second;
  int weekday; // 0 = Sunday
};

// Like mktime with isdst = -1: fields out of range carry over as mktime does.
// Years outside 1970..2037 give kNoTime.
Time32 MakeLocalTime(int year, int month, int day, int hour, int minute, int second = 0);
LocalTime BreakLocalTime(Time32 t);
// strftime of the local time (C locale texts).
std::string FormatLocalTime(Time32 t, const char* format);

// "%Y%m%d%H%M" (12 digits) and its reader; the reader takes each digit as
// character - '0' without validation, as the record's readers always have.
std::string FormatStartText(Time32 start);
Time32 ParseStartText(const char* twelveChars);
// "%02d%02d" of whole hours and remaining minutes of end - start, and its reader
// giving seconds.
std::string FormatDurationText(Time32 start, Time32 end);
std::int32_t ParseDurationText(const char* fourChars);
