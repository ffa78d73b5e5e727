#include "boardlib/board_identity.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {
using Bytes8 = std::array<std::uint8_t, 8>;

// Expected addresses worked out by hand from the shift register's taps.
struct AddressCase {
  const char* name;
  std::array<std::uint8_t, 10> id;
  Bytes8 address;
};
const AddressCase kAddresses[] = {
    {"zeros", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0x00, 0x50, 0x9F, 0xFF, 0xFE, 0xC0, 0x00, 0x00}},
    {"counting", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {0x00, 0x50, 0x9F, 0xFF, 0xFE, 0xC3, 0x7D, 0x05}},
    {"ones", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {0x00, 0x50, 0x9F, 0xFF, 0xFE, 0xDC, 0xFB, 0xAB}},
    {"mixed", {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x11, 0x22}, {0x00, 0x50, 0x9F, 0xFF, 0xFE, 0xFA, 0xD9, 0xF0}},
};

TEST(BoardAddress, MatchesTheShiftRegisterWorkedByHand) {
  for (const auto& c : kAddresses) {
    Bytes8 out{};
    BoardAddress(c.id.data(), out.data());
    EXPECT_EQ(out, c.address) << c.name;
    EXPECT_EQ(out[5] & 0xC0, 0xC0) << c.name;
  }
}

struct IcCase {
  const char* text;
  bool ok;
  std::array<std::uint8_t, 6> bytes;
};
const IcCase kIcCards[] = {
    {"1234567890123450", true, {0x70, 0x48, 0x86, 0x0D, 0xDF, 0x79}},  // 123456789012345
    {"000000000000001X", true, {0, 0, 0, 0, 0, 1}},                    // only 15 digits count
    {"999999999999999", true, {0x8D, 0x7E, 0xA4, 0xC6, 0x7F, 0xFF}},   // modulo 2^48
    {"00000000000000", false, {}},                                      // too short
    {"12345678901234A5", false, {}},                                    // not a digit
    {"", false, {}},
};

TEST(IcCardBytes, FifteenDigitsBigEndianModulo48Bits) {
  for (const auto& c : kIcCards) {
    std::array<std::uint8_t, 6> out;
    out.fill(0xEE);
    EXPECT_EQ(IcCardBytes(c.text, out.data()), c.ok) << c.text;
    if (c.ok) EXPECT_EQ(out, c.bytes) << c.text;
    else EXPECT_EQ(out, (std::array<std::uint8_t, 6>{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE})) << c.text;
  }
}

struct MjdCase {
  std::uint16_t mjd;
  int year, month, day;
};
const MjdCase kDates[] = {
    {49273, 1993, 10, 13},  // the standard's own example
    {51973, 2001, 3, 5},
    {51603, 2000, 2, 29},   // leap day
    {51910, 2001, 1, 1},
    {51909, 2000, 12, 31},
    {15079, 1900, 3, 1},
};

TEST(MjdToDate, ConvertsAsTheStandardsAnnex) {
  for (const auto& c : kDates) {
    CalendarDate d = MjdToDate(c.mjd);
    EXPECT_EQ(d.year, c.year) << c.mjd;
    EXPECT_EQ(d.month, c.month) << c.mjd;
    EXPECT_EQ(d.day, c.day) << c.mjd;
  }
}

TEST(BcdValue, RefusesNibblesAboveNine) {
  int v = -1;
  EXPECT_TRUE(BcdValue(0x59, &v));
  EXPECT_EQ(v, 59);
  EXPECT_FALSE(BcdValue(0x5A, &v));
  EXPECT_FALSE(BcdValue(0xA0, &v));
}
}  // namespace
