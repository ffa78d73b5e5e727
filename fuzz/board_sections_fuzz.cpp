// Packets from the card, whatever they hold: the reassembly never returns a
// section longer than its buffer or one whose CRC is wrong, and reading them
// through the card's slot (association tables, time tables) ends.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "boardlib/ovd_board.h"
#include "tools/boardsim/sim_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  ++data;
  --size;
  static auto state = std::make_unique<SimCardState>();
  SimConfig config;
  std::memcpy(config.identity, "0123456789", 10);
  state->filePackets = 0;
  SimCard::Init(*state, config);
  InProcessSimDriver driver(*state);
  StepClock clock;
  OvdBoard board(driver, clock);
  const CrcTable crc = MakeMpegCrcTable();
  auto check = [&](const Section& s) {
    if (s.bytes.size() > OvdBoard::kSectionBuffer || s.bytes.size() < 3) std::abort();
    if (MpegCrc(crc, s.bytes.data(), s.bytes.size()) != 0) std::abort();
  };
  if (mode & 1) {
    // Through the slot: the card sends the input's packets in a loop.
    std::int32_t n = 0;
    for (; n < SimCardState::kMaxFilePackets && static_cast<std::size_t>(n + 1) * 188 <= size; ++n)
      std::memcpy(state->packets[n], data + n * 188, 188);
    if (n == 0) return 0;
    state->filePackets = n;
    std::uint32_t remembered = 0;
    if (!board.FindMemoryWindow(&remembered)) std::abort();
    Section s;
    board.ProgramFilter(static_cast<std::uint16_t>((data[1] & 0x1F) << 8 | data[2]), 0);
    if (board.ReadSection(&s, 300)) check(s);
    if (board.ServiceTypeBits() > 3) std::abort();
    board.ReadBroadcastTime();
    return 0;
  }
  for (std::size_t at = 0; at + 188 <= size; at += 188) {
    Section s;
    if (board.AddPacket(data + at, &s)) check(s);
  }
  return 0;
}
