// One process's view of the card: finding and verifying the memory window,
// programming the packet filter, reading packets, sections, status messages
// and the broadcast time. Every access goes through the port.
#pragma once
#include <cstdint>
#include <vector>

#include "boardlib/board_port.h"
#include "boardlib/board_window.h"
#include "boardlib/mpeg_crc.h"
#include "common/time_text.h"

// Verification of one candidate: maker and product texts behind the offsets at
// 0x46/0x48 (each below 256) and board type nibble 4.
bool VerifyWindow(BoardPort& port);

struct Section {
  std::uint16_t pid = 0;
  std::vector<std::uint8_t> bytes;  // the whole section, CRC included
};

class OvdBoard {
 public:
  // PSI sections (the association table, the time tables) are at most 1024 bytes.
  static constexpr std::size_t kSectionBuffer = 1024;
  static constexpr std::uint32_t kStatusTimeoutMs = 1000;
  static constexpr std::uint32_t kTimeTimeoutMs = 2000;
  static constexpr std::uint32_t kReprogramMs = 10000;
  static constexpr int kNoReceiverInfo = 12;

  OvdBoard(BoardDriver& driver, BoardClock& clock) : driver_(driver), clock_(clock), crcTable_(MakeMpegCrcTable()) {}
  ~OvdBoard();
  OvdBoard(const OvdBoard&) = delete;
  OvdBoard& operator=(const OvdBoard&) = delete;

  // Searches (or retries *remembered first) and keeps the window; *remembered is
  // updated to the physical address found.
  bool FindMemoryWindow(std::uint32_t* remembered);
  // Unmaps the window (and stops the filter when it was programmed).
  void Release();
  bool Found() const { return found_; }
  BoardPort* Port() { return window_; }
  const std::uint8_t* Identity() const { return boardId_; }

  void ProgramFilter(std::uint16_t pid, std::uint8_t table);
  void Stop();

  // One good packet (or, after more than ten bad ones in a read, the bad one)
  // into out; false when none is waiting or the packet is scrambled.
  bool ReadPacket(std::uint8_t out[board::kPacketSize]);
  // Reads packets until a section is complete and its CRC is good, or until
  // timeoutMs have passed.
  bool ReadSection(Section* out, std::uint32_t timeoutMs);
  // Feeds one packet to the reassembly; true with *out when a good section completed.
  bool AddPacket(const std::uint8_t packet[board::kPacketSize], Section* out);

  // Status FIFO: the current service id (0 on timeout) and the receiver
  // information (12 when no two consecutive messages agreed on a value below 12).
  std::uint16_t ReadCurrentSid();
  int ReadReceiverInfo();
  bool FlowingTest();
  // Broadcast time as local calendar time; 0 when none arrived.
  Time32 ReadBroadcastTime();
  // The top two bits of the first non-zero program number of the association
  // tables that arrive within 1100 ms (0 when none).
  std::uint32_t ServiceTypeBits();

  struct Counters {
    int badPackets = 0, lostSections = 0, droppedSections = 0, strayPid = 0, crcErrors = 0;
  };
  const Counters& Stats() const { return counters_; }
  int LastScrambledPid() const { return lastScrambledPid_; }
  std::uint8_t FilterTable() const { return filterTable_; }

 private:
  struct Partial {
    std::uint16_t pid;
    std::size_t expected;
    std::size_t have;
    std::uint8_t nextCc;
    std::vector<std::uint8_t> buffer;
  };
  bool ReadStatusMessage(std::uint8_t message[8]);
  bool Waiting();
  void Release(BoardPort* port);
  Partial* FindPartial(std::uint16_t pid);
  void DropPartial(std::uint16_t pid);
  bool Finish(Partial& p, Section* out);

  BoardDriver& driver_;
  BoardClock& clock_;
  BoardPort* window_ = nullptr;
  bool found_ = false;
  bool capturing_ = false;
  bool mappedByDriver_ = false;
  bool mapperOpen_ = false;
  std::vector<Partial> partialSections_;
  CrcTable crcTable_;
  bool firstPacket_ = false;
  std::uint16_t filterPid_ = 0;
  int filterFlagA_ = 0, filterFlagB_ = 0, filterFlagC_ = 0;
  std::uint8_t filterTable_ = 0;
  Counters counters_;
  int lastScrambledPid_ = -1;
  std::uint32_t lastPacketTick_ = 0;
  bool emptyNoted_ = false;
  std::uint32_t emptySince_ = 0;
  std::uint8_t boardId_[board::kIdentitySize] = {};
};
