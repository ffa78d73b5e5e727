// Debug output of the programs (OutputDebugStringA on Windows, stderr natively).
// When the environment variable LV_DEBUG_LOG names a file, every line is also
// appended there, so that tests and operators can read what a program reported.
#pragma once
#include <functional>
#include <string>

void DebugOut(const std::string& text);            // cp932 text, sent as it is
void DebugPrintf(const char* format, ...)
#if defined(__MINGW32__)
    // Formatted by MinGW's own vsnprintf, which knows %zu and %lld.
    __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// Tests capture the lines instead; pass an empty function to restore.
void SetDebugSink(std::function<void(const std::string&)> sink);
