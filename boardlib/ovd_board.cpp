#include "boardlib/ovd_board.h"

#include <cstring>

#include "boardlib/board_identity.h"

using namespace board;

namespace {
bool TextAt(BoardPort& port, std::uint32_t pointerOffset, const char* expected) {
  std::uint32_t at = port.Read16(pointerOffset);
  if (at >= kTextLimit) return false;
  for (std::size_t i = 0;; ++i) {
    if (at + i >= kTextLimit) return false;
    std::uint8_t c = port.Read8(at + static_cast<std::uint32_t>(i));
    if (c != static_cast<std::uint8_t>(expected[i])) return false;
    if (c == 0) return true;
  }
}

std::uint16_t PacketPid(const std::uint8_t* p) { return static_cast<std::uint16_t>(((p[1] & 0x1F) << 8) | p[2]); }

// The time tables carry the PID of their own: 0x0014.
constexpr std::uint16_t kTimePid = 0x0014;
constexpr std::uint8_t kTimeTable = 20;
constexpr std::uint32_t kPatListenMs = 1100;
// The flowing test looks 20 times, 100 ms apart.
constexpr int kFlowingLooks = 20;
constexpr std::uint32_t kFlowingLookMs = 100;
}  // namespace

bool VerifyWindow(BoardPort& port) {
  if (!TextAt(port, kMakerOffset, kMakerText)) return false;
  if (!TextAt(port, kProductOffset, kProductText)) return false;
  if ((port.Read8(kBoardType) >> 4) != 4) return false;
  port.Write8(kFilterArm, 0xFF);
  return true;
}

OvdBoard::~OvdBoard() { Release(); }

void OvdBoard::Release(BoardPort* port) {
  if (port) driver_.Unmap(port);
}

bool OvdBoard::FindMemoryWindow(std::uint32_t* remembered) {
  BoardPort* found = nullptr;
  std::uint32_t address = 0;
  if (driver_.PhysicalMemoryVisible()) {
    if (*remembered) {
      BoardPort* p = driver_.Map(*remembered, kWindowSize);
      if (p && VerifyWindow(*p)) { found = p; address = *remembered; } else Release(p);
    }
    for (std::uint32_t a = kSearchFirst; !found && a < kSearchEnd9x; a += kSearchStep) {
      BoardPort* p = driver_.Map(a, kWindowSize);
      if (p && VerifyWindow(*p)) { found = p; address = a; } else Release(p);
    }
  } else {
    if (!driver_.OpenMapper()) return false;
    mapperOpen_ = true;
    if (*remembered) {
      BoardPort* p = driver_.Map(*remembered, kWindowSize);
      if (p && VerifyWindow(*p)) { found = p; address = *remembered; } else Release(p);
    } else if (BoardPort* big = driver_.Map(kSearchFirst, kSearchMapping)) {
      for (std::uint32_t a = kSearchFirst; a + kWindowSize <= kSearchEndNt && a + kWindowSize <= kSearchFirst + kSearchMapping; a += kSearchStep) {
        OffsetPort candidate(*big, a - kSearchFirst);
        if (VerifyWindow(candidate)) { address = a; break; }
      }
      driver_.Unmap(big);
      if (address) {
        BoardPort* p = driver_.Map(address, kWindowSize);
        if (p && VerifyWindow(*p)) found = p; else Release(p);
      }
    }
    if (!found) {
      driver_.CloseMapper();
      mapperOpen_ = false;
      return false;
    }
    mappedByDriver_ = true;
  }
  if (!found) return false;
  *remembered = address;
  window_ = found;
  found_ = true;
  for (int i = 0; i < kIdentitySize; ++i) boardId_[i] = window_->Read8(kIdentity + i);
  return true;
}

void OvdBoard::Release() {
  partialSections_.clear();
  if (capturing_ && window_) Stop();
  if (window_) driver_.Unmap(window_);
  window_ = nullptr;
  if (mapperOpen_) driver_.CloseMapper();
  mapperOpen_ = false;
  mappedByDriver_ = false;
  found_ = false;
}

void OvdBoard::ProgramFilter(std::uint16_t pid, std::uint8_t table) {
  if (!found_) return;
  filterPid_ = pid & 0x1FFF;
  filterTable_ = table;
  capturing_ = true;
  BoardPort& w = *window_;
  w.Write8(kResetA, 0xFF);
  w.Write8(kResetB, 0xFF);
  w.Write8(kFilterArm, 0xFF);
  const std::uint16_t control[5] = {1, static_cast<std::uint16_t>(filterFlagC_ == 0 ? 1 : 0), 0,
                                    static_cast<std::uint16_t>(filterFlagB_ != 0),
                                    static_cast<std::uint16_t>(filterFlagA_ != 0)};
  for (std::uint16_t c : control) w.Write16(kFilterControl, c);
  std::uint16_t t = filterTable_;
  for (int i = 0; i < 8; ++i, t >>= 1) w.Write16(kFilterData, t);
  std::uint16_t p = filterPid_;
  for (int i = 0; i < 13; ++i, p >>= 1) w.Write16(kFilterData, p);
  w.Write8(kResetA, 0xFF);
  w.Write8(kResetB, 0xFF);
  w.Write8(kOutputEnable, 0xFF);
  w.Write16(kStatusFifo, 0x00FF);
  firstPacket_ = true;
  partialSections_.clear();
}

void OvdBoard::Stop() {
  if (!found_) return;
  BoardPort& w = *window_;
  w.Write8(kResetA, 0xFF);
  clock_.SleepMs(1);
  w.Write8(kResetB, 0xFF);
  w.Write16(kOutputSelect2, 0);
  w.Write8(kOutputEnable, 0);
  w.Write16(kOutputSelect1, 0);
  w.Write16(kOutputSelect0, 0);
  capturing_ = false;
}

bool OvdBoard::Waiting() { return (window_->Read8(kSlotStatus) & kPacketWaiting) != 0; }

bool OvdBoard::ReadPacket(std::uint8_t out[kPacketSize]) {
  if (!found_) return false;
  BoardPort& w = *window_;
  bool waiting = Waiting();
  if (waiting && firstPacket_) {
    firstPacket_ = false;
    if (w.Read8(kSlot) != 0x47) {
      w.Write8(kSlotRelease, 0);
      waiting = Waiting();
    }
  }
  if (!waiting) {
    std::uint32_t now = clock_.TickMs();
    if (!emptyNoted_) {
      emptyNoted_ = true;
      emptySince_ = now;
    } else if (now - emptySince_ > kReprogramMs) {
      ProgramFilter(filterPid_, filterTable_);
      emptySince_ = clock_.TickMs();
    }
    return false;
  }
  emptyNoted_ = false;
  int badInRow = 0, badInRead = 0;
  for (;;) {
    for (int i = 0; i < kPacketSize; ++i) out[i] = w.Read8(kSlot + i);
    w.Write8(kSlotRelease, 0);
    if (out[0] == 0x47 || out[0] == 0xB8) {
      lastPacketTick_ = clock_.TickMs();
      if ((out[3] >> 6) == 0) return true;
      lastScrambledPid_ = PacketPid(out);
      return false;
    }
    ++counters_.badPackets;
    ++badInRead;
    if (++badInRow > 3) {
      w.Write8(kResetA, 0xFF);
      w.Write8(kResetB, 0xFF);
      w.Write16(kStatusFifo, 0xFF);
      badInRow = 0;
    }
    if (badInRead > 10) return true;
    if (!Waiting()) return false;
  }
}

OvdBoard::Partial* OvdBoard::FindPartial(std::uint16_t pid) {
  for (auto& p : partialSections_)
    if (p.pid == pid) return &p;
  return nullptr;
}

void OvdBoard::DropPartial(std::uint16_t pid) {
  for (auto it = partialSections_.begin(); it != partialSections_.end(); ++it) {
    if (it->pid == pid) {
      partialSections_.erase(it);
      return;
    }
  }
}

bool OvdBoard::Finish(Partial& p, Section* out) {
  const bool good = MpegCrc(crcTable_, p.buffer.data(), p.have) == 0;
  if (good) {
    out->pid = p.pid;
    out->bytes.assign(p.buffer.begin(), p.buffer.begin() + static_cast<std::ptrdiff_t>(p.have));
  } else {
    ++counters_.crcErrors;
  }
  DropPartial(p.pid);
  return good;
}

bool OvdBoard::AddPacket(const std::uint8_t packet[kPacketSize], Section* out) {
  if (packet[1] & 0x80) {
    ++counters_.badPackets;
    return false;
  }
  const std::uint16_t pid = PacketPid(packet);
  const std::uint8_t cc = packet[3] & 0x0F;
  if (packet[1] & 0x40) {
    if (FindPartial(pid)) {
      DropPartial(pid);
      ++counters_.droppedSections;
    }
    const std::size_t start = static_cast<std::size_t>(packet[4]) + 5;
    // The table id and the two length bytes must lie inside the packet.
    if (start + 3 > kPacketSize) {
      ++counters_.droppedSections;
      return false;
    }
    const std::size_t length = (static_cast<std::size_t>(packet[start + 1] & 0x0F) << 8 | packet[start + 2]) + 3;
    if (length > kSectionBuffer) {
      ++counters_.droppedSections;
      return false;
    }
    Partial p{pid, length, 0, static_cast<std::uint8_t>((cc + 1) & 0x0F), std::vector<std::uint8_t>(length)};
    std::size_t take = kPacketSize - start;
    if (take > length) take = length;
    std::memcpy(p.buffer.data(), packet + start, take);
    p.have = take;
    partialSections_.push_back(std::move(p));
    Partial& added = partialSections_.back();
    if (added.have == added.expected) return Finish(added, out);
    return false;
  }
  Partial* p = FindPartial(pid);
  if (!p) {
    ++counters_.strayPid;
    return false;
  }
  if (cc != p->nextCc) {
    DropPartial(pid);
    ++counters_.lostSections;
    ++counters_.droppedSections;
    return false;
  }
  p->nextCc = static_cast<std::uint8_t>((cc + 1) & 0x0F);
  std::size_t take = kPacketSize - 4;
  if (take > p->expected - p->have) take = p->expected - p->have;
  std::memcpy(p->buffer.data() + p->have, packet + 4, take);
  p->have += take;
  if (p->have == p->expected) return Finish(*p, out);
  return false;
}

bool OvdBoard::ReadSection(Section* out, std::uint32_t timeoutMs) {
  if (!found_) return false;
  const std::uint32_t start = clock_.TickMs();
  std::uint8_t packet[kPacketSize];
  while (clock_.TickMs() - start < timeoutMs) {
    if (!ReadPacket(packet)) continue;
    if (packet[0] != 0x47 && packet[0] != 0xB8) continue;  // a bad packet handed up after many
    if (AddPacket(packet, out)) return true;
  }
  return false;
}

bool OvdBoard::ReadStatusMessage(std::uint8_t m[8]) {
  for (int i = 0; i < 8; ++i) m[i] = window_->Read8(kStatusFifo);
  return (m[0] & 0x8F) == 0x8F && (m[0] & 0x8F & m[7]) == 0x0F && (m[1] & 0x0F) == 0;
}

std::uint16_t OvdBoard::ReadCurrentSid() {
  if (!found_) return 0;
  const std::uint32_t start = clock_.TickMs();
  std::uint8_t m[8];
  while (clock_.TickMs() - start < kStatusTimeoutMs) {
    if (ReadStatusMessage(m) && (m[2] & 0x0F) == 2)
      return static_cast<std::uint16_t>((m[3] & 3) << 12 | (m[4] & 0xF) << 8 | (m[5] & 0xF) << 4 | (m[6] & 0xF));
  }
  return 0;
}

int OvdBoard::ReadReceiverInfo() {
  if (!found_) return kNoReceiverInfo;
  const std::uint32_t start = clock_.TickMs();
  std::uint8_t m[8];
  int previous = -1;
  while (clock_.TickMs() - start < kStatusTimeoutMs) {
    if (!ReadStatusMessage(m) || (m[2] & 0x0F) != 1) continue;
    int value = (m[3] & 0xF) << 4 | (m[4] & 0xF);
    if (value == previous && value < kNoReceiverInfo) return value;
    previous = value;
  }
  return kNoReceiverInfo;
}

bool OvdBoard::FlowingTest() {
  if (!found_) return false;
  ProgramFilter(0, 0);
  for (int look = 0; look < kFlowingLooks; ++look) {
    clock_.SleepMs(kFlowingLookMs);
    // A card that hands nothing but damaged packets refills the slot as fast
    // as it is released: each look drains for one interval at most.
    const std::uint32_t start = clock_.TickMs();
    while (Waiting()) {
      if (window_->Read8(kSlot) == 0x47) return true;
      if (clock_.TickMs() - start >= kFlowingLookMs) break;
      window_->Write8(kSlotRelease, 0);
    }
  }
  return false;
}

Time32 OvdBoard::ReadBroadcastTime() {
  if (!found_) return 0;
  ProgramFilter(kTimePid, kTimeTable);
  std::uint8_t p[kPacketSize];
  std::uint32_t lastSeen = clock_.TickMs();
  const std::uint32_t start = lastSeen;
  // Packets of other PIDs do not keep the reader here for ever.
  while (clock_.TickMs() - lastSeen <= kTimeTimeoutMs && clock_.TickMs() - start <= 4 * kTimeTimeoutMs) {
    if (!ReadPacket(p)) {
      if (!emptyNoted_) lastSeen = clock_.TickMs();  // scrambled: the slot was not empty
      continue;
    }
    lastSeen = clock_.TickMs();
    if (PacketPid(p) != kTimePid) continue;
    const CalendarDate date = MjdToDate(static_cast<std::uint16_t>(p[8] << 8 | p[9]));
    int hour, minute, second;
    if (!BcdValue(p[10], &hour) || !BcdValue(p[11], &minute) || !BcdValue(p[12], &second)) continue;
    return MakeLocalTime(date.year, date.month, date.day, hour, minute, second);
  }
  return 0;
}

std::uint32_t OvdBoard::ServiceTypeBits() {
  if (!found_) return 0;
  ProgramFilter(0, filterTable_);
  std::uint32_t result = 0;
  const std::uint32_t start = clock_.TickMs();
  Section s;
  for (;;) {
    // One reading per turn: the time left is computed from the same reading
    // that decided there is any left.
    const std::uint32_t elapsed = clock_.TickMs() - start;
    if (elapsed >= kPatListenMs) break;
    if (!ReadSection(&s, kPatListenMs - elapsed)) break;
    if (s.pid != 0 || s.bytes.size() < 12) continue;  // no room for one entry and the CRC
    const int sectionLength = static_cast<int>(s.bytes.size()) - 3;
    const std::size_t entries = static_cast<std::size_t>((sectionLength - 12) / 4 + 1);
    for (std::size_t i = 0; i < entries && 8 + 4 * i + 2 <= s.bytes.size(); ++i) {
      const std::uint16_t program = static_cast<std::uint16_t>(s.bytes[8 + 4 * i] << 8 | s.bytes[9 + 4 * i]);
      if (program != 0) {
        result = program >> 14;
        break;
      }
    }
  }
  return result;
}
