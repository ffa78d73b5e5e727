// Scaling design pixels to the screen's density and back.
#include <gtest/gtest.h>
#include "common/dpi_scale.h"

namespace {

TEST(DpiScale, RoundsToTheNearestPixelAsMulDivDoes) {
  struct Case {
    std::int32_t value, dpi, scaled;
  } cases[] = {
      {16, 96, 16},  {16, 144, 24},  {5, 144, 8},    {-5, 144, -8}, {7, 120, 9},
      {1, 120, 1},   {32000, 144, 48000}, {14, 192, 28}, {3, 0, 3},     {3, -144, 3},
  };
  for (const Case& c : cases) EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
}

// A size the user chose on a dense screen is kept as the design value: scaled
// again on the same screen it is the size chosen, within the rounding.
TEST(DpiScale, AChosenSizeComesBackOnTheSameScreen) {
  EXPECT_EQ(UnscaleForDpi(27, 144), 18);
  EXPECT_EQ(UnscaleForDpi(40, 144), 27);
  for (std::int32_t dpi : {96, 120, 144, 192}) {
    for (std::int32_t v = 1; v <= 200; ++v) {
      EXPECT_EQ(UnscaleForDpi(ScaleForDpi(v, dpi), dpi), v) << v << " at " << dpi;
      EXPECT_LE(std::abs(ScaleForDpi(UnscaleForDpi(v, dpi), dpi) - v), dpi / kDesignDpi) << v << " at " << dpi;
    }
  }
}

}  // namespace
