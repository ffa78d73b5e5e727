#include "boardlib/board_identity.h"

namespace {
std::uint32_t Bit(std::uint32_t r, int n) { return (r >> n) & 1u; }
std::uint32_t Step(std::uint32_t r, std::uint32_t dataBit) {
  std::uint32_t feedback = Bit(r, 23) ^ Bit(r, 17) ^ Bit(r, 10) ^ Bit(r, 2) ^ dataBit;
  return ((r << 1) | feedback) & 0xFFFFFFu;
}
}  // namespace

void BoardAddress(const std::uint8_t identity[10], std::uint8_t out[8]) {
  std::uint32_t r = identity[0] * 256u + identity[1];
  for (int i = 2; i < 10; ++i) {
    for (int bit = 7; bit >= 0; --bit) r = Step(r, (identity[i] >> bit) & 1u);
  }
  for (int i = 0; i < 24; ++i) r = Step(r, 0);
  const std::uint8_t prefix[5] = {0x00, 0x50, 0x9F, 0xFF, 0xFE};
  for (int i = 0; i < 5; ++i) out[i] = prefix[i];
  out[5] = static_cast<std::uint8_t>(((r >> 16) & 0xFF) | 0xC0);
  out[6] = static_cast<std::uint8_t>(r >> 8);
  out[7] = static_cast<std::uint8_t>(r);
}

bool IcCardBytes(const std::string& text, std::uint8_t out[6]) {
  if (text.size() < 15) return false;
  std::uint64_t n = 0;
  for (int i = 0; i < 15; ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  n &= (std::uint64_t{1} << 48) - 1;
  for (int i = 0; i < 6; ++i) out[i] = static_cast<std::uint8_t>(n >> (8 * (5 - i)));
  return true;
}

CalendarDate MjdToDate(std::uint16_t mjd) {
  const int yp = static_cast<int>((mjd - 15078.2) / 365.25);
  const int mp = static_cast<int>((mjd - 14956.1 - static_cast<int>(yp * 365.25)) / 30.6001);
  const int day = mjd - 14956 - static_cast<int>(yp * 365.25) - static_cast<int>(mp * 30.6001);
  const int k = (mp == 14 || mp == 15) ? 1 : 0;
  return CalendarDate{yp + k + 1900, mp - 1 - k * 12, day};
}

bool BcdValue(std::uint8_t bcd, int* value) {
  int hi = bcd >> 4, lo = bcd & 0xF;
  if (hi > 9 || lo > 9) return false;
  *value = hi * 10 + lo;
  return true;
}
