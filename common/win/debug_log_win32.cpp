// Debug lines on Windows go to the debugger.
#include <windows.h>

#include "common/platform_halves.h"

void DebugToPlatform(const std::string& text) { OutputDebugStringA(text.c_str()); }
