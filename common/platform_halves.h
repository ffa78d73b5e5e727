// What portable files of common/ ask of their platform halves
// (common/posix/*_posix.cpp natively, common/win/*_win32.cpp on Windows).
// Not for use outside common/.
#pragma once
#include <ctime>
#include <string>
#include "common/time_text.h"

// time_text: the local calendar of the system's zone.
bool ToLocalCalendar(Time32 t, std::tm* out);
// Fields out of range carry over as mktime carries them; -1 when the zone
// functions refuse the time.
Time32 FromLocalCalendar(int year, int month, int day, int hour, int minute, int second);

// Calendar arithmetic of time_text.cpp the Windows half shares: days since
// 1970-01-01 of a proleptic Gregorian date, and back.
long long DaysFromCivil(long long year, long long month, long long day);
void CivilFromDays(long long days, long long* year, int* month, int* day);

// debug_log: one line to the platform's debug output (cp932 text).
void DebugToPlatform(const std::string& text);
