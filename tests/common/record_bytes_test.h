// Hand-built records for the codec tests: bytes set at explicit offsets.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

class Bytes {
 public:
  explicit Bytes(std::size_t size) : data_(size, '\0') {}
  Bytes& U16(std::size_t offset, std::uint16_t v) {
    data_[offset] = static_cast<char>(v & 0xFF);
    data_[offset + 1] = static_cast<char>(v >> 8);
    return *this;
  }
  Bytes& U32(std::size_t offset, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) data_[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return *this;
  }
  Bytes& Text(std::size_t offset, const std::string& text) {
    std::memcpy(&data_[offset], text.data(), text.size());
    return *this;
  }
  const std::string& str() const { return data_; }

 private:
  std::string data_;
};
