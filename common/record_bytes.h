// Little-endian integers at fixed offsets of a binary record.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

inline void PutU16(std::uint8_t* record, std::size_t offset, std::uint16_t v) {
  record[offset] = static_cast<std::uint8_t>(v);
  record[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PutU32(std::uint8_t* record, std::size_t offset, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::uint16_t GetU16(const std::uint8_t* record, std::size_t offset) {
  return static_cast<std::uint16_t>(record[offset] | (record[offset + 1] << 8));
}

inline std::uint32_t GetU32(const std::uint8_t* record, std::size_t offset) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | record[offset + i];
  return v;
}

// Copies up to `size` bytes of data into a zeroed buffer of `size` bytes, so a
// short file reads as far as it goes and the rest as zero.
inline void LoadPadded(const std::string& data, std::uint8_t* buffer, std::size_t size) {
  std::size_t n = data.size() < size ? data.size() : size;
  for (std::size_t i = 0; i < size; ++i) buffer[i] = i < n ? static_cast<std::uint8_t>(data[i]) : 0;
}
