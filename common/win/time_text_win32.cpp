// Local calendar times on Windows. The C runtime reads the TZ variable when it
// is set, and under Wine it holds the host's zone name ("Asia/Tokyo"), which the
// runtime cannot parse. The Win32 zone functions always use the system's zone,
// so local time goes through them instead.
#include <windows.h>

#include "common/platform_halves.h"

namespace {

SYSTEMTIME FromSeconds(long long seconds) {
  long long days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  long long rest = seconds - days * 86400;
  long long year = 0;
  int month = 0, day = 0;
  CivilFromDays(days, &year, &month, &day);
  SYSTEMTIME st{};
  st.wDay = static_cast<WORD>(day);
  st.wMonth = static_cast<WORD>(month);
  st.wYear = static_cast<WORD>(year);
  st.wHour = static_cast<WORD>(rest / 3600);
  st.wMinute = static_cast<WORD>(rest / 60 % 60);
  st.wSecond = static_cast<WORD>(rest % 60);
  st.wDayOfWeek = static_cast<WORD>((days % 7 + 11) % 7);  // 1970-01-01 was a Thursday
  return st;
}

long long ToSeconds(const SYSTEMTIME& st) {
  return DaysFromCivil(st.wYear, st.wMonth, st.wDay) * 86400 + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
}

}  // namespace

bool ToLocalCalendar(Time32 t, std::tm* out) {
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

Time32 FromLocalCalendar(int year, int month, int day, int hour, int minute, int second) {
  long long m0 = month - 1;
  long long y = year + (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
  long long m = m0 - (y - year) * 12 + 1;
  long long naive = (DaysFromCivil(y, m, 1) + day - 1) * 86400LL + hour * 3600LL + minute * 60LL + second;
  SYSTEMTIME local = FromSeconds(naive), utc;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc)) return -1;
  return static_cast<Time32>(ToSeconds(utc));
}
