// The CRC-32 of zlib and PNG, bit by bit: tests that forge records with a
// checksum compute it independently of the code they test.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

inline std::uint32_t TestCrc32(const std::string& data) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (unsigned char byte : data) {
    c ^= byte;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return c ^ 0xFFFFFFFFu;
}

// data with its CRC-32 appended little-endian.
inline std::string WithTestCrc32(const std::string& data) {
  const std::uint32_t c = TestCrc32(data);
  std::string out = data;
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(c >> (8 * i)));
  return out;
}
