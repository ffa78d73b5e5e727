// Makes the tests' local time Asia/Tokyo (UTC+9, no daylight saving), as the
// test scripts do, also when a native suite runs by hand. On Windows the zone
// is the system's (under Wine: the TZ of the host, set by the scripts).
#pragma once
#include <cstdlib>
#include <ctime>

inline void UseTokyoTime() {
#if !defined(_WIN32)
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();
#endif
}
