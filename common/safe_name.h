// Names that arrive from the air (carousel file names, the lines of a received
// FileList.mls) may only name a place inside the folder they are meant for.
#pragma once
#include <string>

// A relative path that stays inside its folder: not empty, not absolute (no
// leading "\" or "/"), no drive letter or ":", no control characters or
// wildcards (* ? " < > |), no empty component, no component of dots and blanks
// with two dots or more (Windows drops trailing dots and blanks, so "..." and
// ". ." climb out like ".."), and no component that names a device (CON, PRN,
// AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$, also with an extension or trailing
// blanks). cp932 trail bytes 0x5C are not taken for separators.
bool IsSafeRelativePath(const std::string& name);
