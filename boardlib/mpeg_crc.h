// The MPEG-2 CRC-32 of sections (polynomial 0x04C11DB7, MSB first, start
// 0xFFFFFFFF, no final inversion): a section with its CRC field gives 0.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

using CrcTable = std::array<std::uint32_t, 256>;
CrcTable MakeMpegCrcTable();
std::uint32_t MpegCrc(const CrcTable& table, const std::uint8_t* data, std::size_t size);
