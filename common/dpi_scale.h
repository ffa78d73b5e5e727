// Every measure in the programs is designed for a screen of 96 dots per inch;
// on a denser screen it is scaled by the screen's density, rounded to the
// nearest pixel as MulDiv rounds, so at 96 it is the design value itself.
#pragma once
#include <cstdint>

constexpr std::int32_t kDesignDpi = 96;

// A design value (pixels at 96 dpi) in pixels at `dpi`; a density that is not
// positive counts as the design one.
constexpr std::int32_t ScaleForDpi(std::int32_t designPixels, std::int32_t dpi) {
  if (dpi <= 0 || dpi == kDesignDpi) return designPixels;
  const std::int64_t p = static_cast<std::int64_t>(designPixels) * dpi;
  return static_cast<std::int32_t>(p >= 0 ? (p + kDesignDpi / 2) / kDesignDpi : -((-p + kDesignDpi / 2) / kDesignDpi));
}
// Pixels at `dpi` back in design pixels (a size the user chose on this screen,
// kept as the design value so another screen scales it again).
constexpr std::int32_t UnscaleForDpi(std::int32_t pixels, std::int32_t dpi) {
  if (dpi <= 0 || dpi == kDesignDpi) return pixels;
  const std::int64_t p = static_cast<std::int64_t>(pixels) * kDesignDpi;
  return static_cast<std::int32_t>(p >= 0 ? (p + dpi / 2) / dpi : -((-p + dpi / 2) / dpi));
}
