// The channel selector check: when the selector is installed (its registry key
// names a path) but its window "nexa" is missing, a prompt asks the user to
// start it and closes itself once the window appears or after a minute.
#pragma once
#include <windows.h>

class Settings;

void CheckSelector(HINSTANCE instance, HWND owner, Settings& settings);
