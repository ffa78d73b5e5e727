// The card's memory window: offsets and values of its registers, shared by the
// library and the simulated card.
#pragma once
#include <cstdint>

namespace board {
constexpr std::uint32_t kWindowSize = 2048;
constexpr std::uint32_t kMakerOffset = 0x46;    // uint16: offset of the maker text
constexpr std::uint32_t kProductOffset = 0x48;  // uint16: offset of the product text
constexpr std::uint32_t kTextLimit = 256;       // both texts lie below this offset
constexpr std::uint32_t kBoardType = 0xF4;      // high nibble 4
constexpr std::uint32_t kIdentity = 0xF5;       // ten identity bytes
constexpr int kIdentitySize = 10;
constexpr std::uint32_t kResetA = 0x600;
constexpr std::uint32_t kResetB = 0x602;
constexpr std::uint32_t kOutputSelect0 = 0x608;
constexpr std::uint32_t kOutputSelect1 = 0x60A;
constexpr std::uint32_t kOutputSelect2 = 0x614;
constexpr std::uint32_t kFilterData = 0x60C;     // one bit per write, LSB first
constexpr std::uint32_t kFilterControl = 0x610;
constexpr std::uint32_t kOutputEnable = 0x618;
constexpr std::uint32_t kSlotRelease = 0x61C;
constexpr std::uint32_t kStatusFifo = 0x680;
constexpr std::uint32_t kFilterArm = 0x6C0;
constexpr std::uint32_t kSlotStatus = 0x6E0;
constexpr std::uint8_t kPacketWaiting = 0x08;
constexpr std::uint32_t kSlot = 0x700;
constexpr int kPacketSize = 188;

constexpr char kMakerText[] = "VOLANTIS";
constexpr char kProductText[] = "RI Zedarez";

// Where the search for the window starts and ends (physical addresses).
constexpr std::uint32_t kSearchFirst = 0xC8800;
constexpr std::uint32_t kSearchEnd9x = 0xF0000;
constexpr std::uint32_t kSearchEndNt = 0xE8800;
constexpr std::uint32_t kSearchStep = 4096;
constexpr std::uint32_t kSearchMapping = 0x20000;
}  // namespace board
