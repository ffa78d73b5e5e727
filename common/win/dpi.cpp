#include "common/win/dpi.h"

#include <windows.h>

#include "common/dpi_scale.h"

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : kDesignDpi;
  }();
  return dpi;
}

int Scaled(int designPixels) { return MulDiv(designPixels, ScreenDpi(), kDesignDpi); }
