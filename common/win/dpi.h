// The screen's dots per inch and design pixels (96 dpi) scaled to it. The
// density is the system's one, read once from the screen (Windows 7 has no
// per-monitor density); a program whose manifest declares itself DPI-aware
// sees the real value, every other one 96.
#pragma once

int ScreenDpi();
// MulDiv(designPixels, ScreenDpi(), 96).
int Scaled(int designPixels);
