// Makes the tests' local time Asia/Tokyo (UTC+9, no daylight saving), as the
// test scripts do, also when a suite runs by hand.
#pragma once
#include <cstdlib>
#include <ctime>

inline void UseTokyoTime() {
#if defined(_WIN32)
  _putenv("TZ=JST-9");
  _tzset();
#else
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();
#endif
}
