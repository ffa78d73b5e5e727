// The board's identities: the MAC-style address derived from its identity
// bytes, the IC card number registered for the adapter, and the broadcast
// time's date (Modified Julian Date) conversion.
#pragma once
#include <cstdint>
#include <string>

// Eight bytes: 00 50 9F FF FE, then the 24-bit shift register over the ten
// identity bytes with its top two bits set.
void BoardAddress(const std::uint8_t identity[10], std::uint8_t out[8]);

// "IcCardNumber" text -> six bytes, big-endian, modulo 2^48. False (out
// untouched) unless the text starts with 15 decimal digits.
bool IcCardBytes(const std::string& text, std::uint8_t out[6]);

struct CalendarDate {
  int year;
  int month;
  int day;
};
// ETSI EN 300 468 Annex C.
CalendarDate MjdToDate(std::uint16_t mjd);
// Two BCD digits; false when a nibble is not a decimal digit.
bool BcdValue(std::uint8_t bcd, int* value);
