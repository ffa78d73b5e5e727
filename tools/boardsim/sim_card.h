// The simulated card: its memory window with the registers' side effects (the
// serial PID filter, the packet slot, the status FIFO) and its driver (queries,
// commands). All state is plain data in SimCardState, so that it can live in
// memory shared between boardsim and the processes that use the library; the
// code that acts on it runs in whichever process touches the card.
#pragma once
#include <cstdint>
#include <string>

#include "boardlib/board_port.h"
#include "boardlib/board_window.h"

struct SimConfig {
  std::uint8_t identity[board::kIdentitySize] = {};
  std::uint8_t boardType = 0x40;
  std::int32_t sid = -1;          // current service id sent as status type 2; -1 none
  std::int32_t irdInfo = -1;      // receiver information sent as status type 1; -1 none
  std::int32_t patProgram = 1;    // program number of the association table; -1 none
  std::int32_t time = 0;          // broadcast time (local calendar, seconds); 0: no time table
  std::uint32_t address = 0xD4800;  // physical address of the window
  // Driver.
  std::int32_t noDriver = 0;      // opening the driver fails
  std::uint32_t active = 0, busy = 0, flags = 0, counter = 0, crcErrors = 0, tsErrors = 0;
  std::uint32_t rate = 0;         // bytes per second added to the counter
  // Every Nth packet delivered is damaged this way (0: never).
  std::uint32_t scrambledEvery = 0, transportErrorEvery = 0, ccErrorEvery = 0, crcErrorEvery = 0, badSyncEvery = 0;
};

struct SimCardState {
  static constexpr int kMaxFilePackets = 1024;
  SimConfig config;
  std::uint8_t window[board::kWindowSize];
  // Serial filter input.
  std::int32_t controlWrites, dataBits;
  std::uint32_t dataShift;
  std::uint16_t pid;
  std::uint8_t table;
  std::int32_t filterValid, outputEnabled;
  // Status FIFO: byte position in the cycle of messages.
  std::uint32_t fifoIndex;
  // Packet slot.
  std::int32_t slotFull;
  std::uint8_t slot[board::kPacketSize];
  std::uint32_t delivered;
  std::uint8_t continuity[2];
  // Packets from a file, delivered in a loop (those of the filter's PID).
  std::int32_t filePackets;
  std::uint32_t filePosition;
  std::uint8_t packets[kMaxFilePackets][board::kPacketSize];
  // Driver.
  std::int32_t openHandles;
  std::uint32_t lastCommand[4];
};

class SimCard {
 public:
  explicit SimCard(SimCardState& state) : s_(state) {}
  // Fills the window (texts, type, identity) and resets every register.
  static void Init(SimCardState& state, const SimConfig& config);

  std::uint8_t Read8(std::uint32_t offset);
  std::uint16_t Read16(std::uint32_t offset);
  void Write8(std::uint32_t offset, std::uint8_t value);
  void Write16(std::uint32_t offset, std::uint16_t value);

  // Driver side. Command returns the log line "command 0xXXXXXXXX w2 w3".
  bool Open();
  void Close();
  bool Query(std::uint32_t selector, DriverRecord* record) const;
  std::string Command(const DriverRecord& record);

  // A packet stream of the generator for tests: the next packet of a PID.
  bool NextPacket(std::uint16_t pid, std::uint8_t out[board::kPacketSize]);

 private:
  void Strobe();
  void Refill();
  bool Generate(std::uint16_t pid, std::uint8_t out[board::kPacketSize]);
  std::uint8_t FifoByte();

  SimCardState& s_;
};

// A port onto a simulated card at config.address, seen from a mapping of
// physical memory at `physical`: outside the card every byte reads 0xFF.
class SimWindowPort : public BoardPort {
 public:
  SimWindowPort(SimCard& card, std::uint32_t cardAddress, std::uint32_t physical, std::uint32_t length)
      : card_(card), cardAddress_(cardAddress), physical_(physical), length_(length) {}
  std::uint8_t Read8(std::uint32_t offset) override;
  std::uint16_t Read16(std::uint32_t offset) override;
  void Write8(std::uint32_t offset, std::uint8_t value) override;
  void Write16(std::uint32_t offset, std::uint16_t value) override;
  std::uint32_t Physical() const { return physical_; }

 private:
  bool OnCard(std::uint32_t offset, std::uint32_t width, std::uint32_t* cardOffset) const;
  SimCard& card_;
  std::uint32_t cardAddress_, physical_, length_;
};

// Parses 20 hex digits into the ten identity bytes.
bool ParseIdentity(const std::string& hex, std::uint8_t out[board::kIdentitySize]);
