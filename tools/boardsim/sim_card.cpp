#include "tools/boardsim/sim_card.h"

#include <cstdio>
#include <cstring>

#include "boardlib/mpeg_crc.h"
#include "common/time_text.h"

using namespace board;

namespace {
constexpr std::uint16_t kTimePid = 0x0014;
constexpr std::uint32_t kMakerAt = 0x10;
constexpr std::uint32_t kProductAt = 0x20;

const CrcTable& Crc() {
  static const CrcTable table = MakeMpegCrcTable();
  return table;
}

std::uint8_t Bcd(int v) { return static_cast<std::uint8_t>((v / 10) << 4 | (v % 10)); }

// Modified Julian Date of a calendar day (EN 300 468 Annex C, inverted).
std::uint16_t DateToMjd(int year, int month, int day) {
  const int l = (month == 1 || month == 2) ? 1 : 0;
  return static_cast<std::uint16_t>(14956 + day + static_cast<int>((year - 1900 - l) * 365.25) +
                                    static_cast<int>((month + 1 + l * 12) * 30.6001));
}

void PutCrc(std::uint8_t* section, std::size_t lengthWithoutCrc) {
  const std::uint32_t crc = MpegCrc(Crc(), section, lengthWithoutCrc);
  for (int i = 0; i < 4; ++i) section[lengthWithoutCrc + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

bool Every(std::uint32_t n, std::uint32_t serial) { return n != 0 && serial % n == 0; }
}  // namespace

bool ParseIdentity(const std::string& hex, std::uint8_t out[kIdentitySize]) {
  if (hex.size() != 2 * kIdentitySize) return false;
  std::uint8_t bytes[kIdentitySize];
  for (int i = 0; i < 2 * kIdentitySize; ++i) {
    const char c = hex[i];
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else return false;
    bytes[i / 2] = static_cast<std::uint8_t>(i % 2 ? (bytes[i / 2] | v) : v << 4);
  }
  std::memcpy(out, bytes, kIdentitySize);
  return true;
}

void SimCard::Init(SimCardState& s, const SimConfig& config) {
  const std::int32_t files = s.filePackets;  // loaded before, kept
  std::memset(static_cast<void*>(&s), 0, offsetof(SimCardState, filePackets));
  s.filePackets = files;
  s.filePosition = 0;
  s.openHandles = 0;
  std::memset(s.lastCommand, 0, sizeof s.lastCommand);
  s.config = config;
  std::memset(s.window, 0, sizeof s.window);
  s.window[kMakerOffset] = kMakerAt;
  s.window[kProductOffset] = kProductAt;
  std::memcpy(s.window + kMakerAt, kMakerText, sizeof kMakerText);
  std::memcpy(s.window + kProductAt, kProductText, sizeof kProductText);
  s.window[kBoardType] = config.boardType;
  std::memcpy(s.window + kIdentity, config.identity, kIdentitySize);
}

std::uint8_t SimCard::FifoByte() {
  std::uint8_t messages[3][8];
  int count = 0;
  auto add = [&](int type, int value, bool wide) {
    std::uint8_t* m = messages[count++];
    m[0] = 0x8F;
    m[1] = 0x00;
    m[2] = static_cast<std::uint8_t>(type);
    if (wide) {
      m[3] = static_cast<std::uint8_t>((value >> 12) & 3);
      m[4] = static_cast<std::uint8_t>((value >> 8) & 0xF);
      m[5] = static_cast<std::uint8_t>((value >> 4) & 0xF);
      m[6] = static_cast<std::uint8_t>(value & 0xF);
    } else {
      m[3] = static_cast<std::uint8_t>((value >> 4) & 0xF);
      m[4] = static_cast<std::uint8_t>(value & 0xF);
      m[5] = m[6] = 0;
    }
    m[7] = 0x0F;
  };
  if (s_.config.sid >= 0) add(2, s_.config.sid, true);
  if (s_.config.irdInfo >= 0) {
    add(1, s_.config.irdInfo, false);
    add(1, s_.config.irdInfo, false);
  }
  if (count == 0) return 0;
  const std::uint32_t i = s_.fifoIndex++ % static_cast<std::uint32_t>(count * 8);
  return messages[i / 8][i % 8];
}

std::uint8_t SimCard::Read8(std::uint32_t offset) {
  if (offset >= kWindowSize) return 0xFF;
  if (offset == kStatusFifo) return FifoByte();
  if (offset == kSlotStatus) return s_.slotFull ? kPacketWaiting : 0;
  if (offset >= kSlot && offset < kSlot + kPacketSize) return s_.slot[offset - kSlot];
  return s_.window[offset];
}

std::uint16_t SimCard::Read16(std::uint32_t offset) {
  if (offset + 1 >= kWindowSize) return 0xFFFF;
  if (offset == kStatusFifo || offset == kSlotStatus || (offset + 1 >= kSlot && offset < kSlot + kPacketSize))
    return static_cast<std::uint16_t>(Read8(offset) | Read8(offset + 1) << 8);
  return static_cast<std::uint16_t>(s_.window[offset] | s_.window[offset + 1] << 8);
}

void SimCard::Strobe() {
  // A complete program (five control bits, 8 table bits, 13 PID bits) takes
  // effect at the reset strobe that follows it.
  if (s_.controlWrites >= 5 && s_.dataBits == 21) {
    s_.table = static_cast<std::uint8_t>(s_.dataShift & 0xFF);
    s_.pid = static_cast<std::uint16_t>((s_.dataShift >> 8) & 0x1FFF);
    s_.filterValid = 1;
    s_.slotFull = 0;
  }
  s_.controlWrites = 0;
  s_.dataBits = 0;
  s_.dataShift = 0;
}

void SimCard::Write8(std::uint32_t offset, std::uint8_t value) {
  switch (offset) {
    case kResetA: Strobe(); return;
    case kResetB: return;
    case kOutputEnable:
      s_.outputEnabled = value != 0;
      if (!s_.outputEnabled) s_.slotFull = 0;
      Refill();
      return;
    case kSlotRelease:
      if (value == 0) {
        s_.slotFull = 0;
        Refill();
      }
      return;
    case kFilterArm: return;
    default: Write16(offset, value);
  }
}

void SimCard::Write16(std::uint32_t offset, std::uint16_t value) {
  switch (offset) {
    case kResetA: case kResetB: case kOutputEnable: case kSlotRelease: case kFilterArm:
      Write8(offset, static_cast<std::uint8_t>(value));
      return;
    case kFilterControl: ++s_.controlWrites; return;
    case kFilterData:
      if (s_.dataBits < 32) s_.dataShift |= static_cast<std::uint32_t>(value & 1) << s_.dataBits;
      ++s_.dataBits;
      return;
    case kStatusFifo: s_.fifoIndex = 0; return;
    default: return;  // output selection: no effect on the simulation
  }
}

void SimCard::Refill() {
  if (s_.slotFull || !s_.filterValid || !s_.outputEnabled) return;
  if (NextPacket(s_.pid, s_.slot)) s_.slotFull = 1;
}

bool SimCard::NextPacket(std::uint16_t pid, std::uint8_t out[kPacketSize]) {
  if (s_.filePackets > 0) {
    for (std::int32_t n = 0; n < s_.filePackets; ++n) {
      const std::uint8_t* p = s_.packets[s_.filePosition++ % static_cast<std::uint32_t>(s_.filePackets)];
      if ((((p[1] & 0x1F) << 8) | p[2]) == pid) {
        std::memcpy(out, p, kPacketSize);
        return true;
      }
    }
    return false;
  }
  if (!Generate(pid, out)) return false;
  const std::uint32_t serial = ++s_.delivered;
  if (Every(s_.config.scrambledEvery, serial)) out[3] |= 0x80;
  if (Every(s_.config.transportErrorEvery, serial)) out[1] |= 0x80;
  if (Every(s_.config.ccErrorEvery, serial)) out[3] = static_cast<std::uint8_t>((out[3] & 0xF0) | ((out[3] + 5) & 0x0F));
  if (Every(s_.config.crcErrorEvery, serial)) out[10] ^= 0x01;
  if (Every(s_.config.badSyncEvery, serial)) out[0] = 0x00;
  return true;
}

bool SimCard::Generate(std::uint16_t pid, std::uint8_t out[kPacketSize]) {
  std::uint8_t* cc;
  if (pid == 0 && s_.config.patProgram >= 0) cc = &s_.continuity[0];
  else if (pid == kTimePid && s_.config.time != 0) cc = &s_.continuity[1];
  else return false;
  std::memset(out, 0xFF, kPacketSize);
  out[0] = 0x47;
  out[1] = static_cast<std::uint8_t>(0x40 | (pid >> 8));
  out[2] = static_cast<std::uint8_t>(pid);
  out[3] = static_cast<std::uint8_t>(0x10 | (*cc & 0x0F));
  *cc = static_cast<std::uint8_t>((*cc + 1) & 0x0F);
  out[4] = 0;  // pointer field
  std::uint8_t* sec = out + 5;
  if (pid == 0) {
    // Program 0 (the network) first, then the configured program.
    const std::uint16_t program = static_cast<std::uint16_t>(s_.config.patProgram);
    const std::uint16_t entries[2][2] = {{0, 0x0010}, {program, 0x0100}};
    const int sectionLength = 5 + 4 * 2 + 4;
    sec[0] = 0x00;
    sec[1] = static_cast<std::uint8_t>(0xB0 | (sectionLength >> 8));
    sec[2] = static_cast<std::uint8_t>(sectionLength);
    sec[3] = 0x00; sec[4] = 0x01;  // transport stream id
    sec[5] = 0xC1; sec[6] = 0; sec[7] = 0;
    for (int i = 0; i < 2; ++i) {
      sec[8 + 4 * i] = static_cast<std::uint8_t>(entries[i][0] >> 8);
      sec[9 + 4 * i] = static_cast<std::uint8_t>(entries[i][0]);
      sec[10 + 4 * i] = static_cast<std::uint8_t>(0xE0 | (entries[i][1] >> 8));
      sec[11 + 4 * i] = static_cast<std::uint8_t>(entries[i][1]);
    }
    PutCrc(sec, 3 + sectionLength - 4);
  } else {
    const LocalTime t = BreakLocalTime(s_.config.time);
    const std::uint16_t mjd = DateToMjd(t.year, t.month, t.day);
    sec[0] = 0x70;
    sec[1] = 0x70;
    sec[2] = 0x05;
    sec[3] = static_cast<std::uint8_t>(mjd >> 8);
    sec[4] = static_cast<std::uint8_t>(mjd);
    sec[5] = Bcd(t.hour);
    sec[6] = Bcd(t.minute);
    sec[7] = Bcd(t.second);
  }
  return true;
}

bool SimCard::Open() {
  if (s_.config.noDriver) return false;
  ++s_.openHandles;
  return true;
}

void SimCard::Close() {
  if (s_.openHandles > 0) --s_.openHandles;
}

bool SimCard::Query(std::uint32_t selector, DriverRecord* r) const {
  const SimConfig& c = s_.config;
  switch (selector) {
    case 1: *r = DriverRecord{{c.active, c.busy, 0, 0}}; return true;
    case 2: *r = DriverRecord{{c.active, 0, c.flags, c.counter}}; return true;
    case 3: *r = DriverRecord{{c.active, 0, c.crcErrors, c.tsErrors}}; return true;
    default: return false;
  }
}

std::string SimCard::Command(const DriverRecord& r) {
  std::memcpy(s_.lastCommand, r.word, sizeof s_.lastCommand);
  // The card tunes to the service it is told: the status FIFO reports it.
  if (r.word[1] == 0xFF010221 || r.word[1] == 0xFF010223) s_.config.sid = static_cast<std::int32_t>(r.word[2] & 0x3FFF);
  char line[80];
  std::snprintf(line, sizeof line, "command 0x%08X %u %u", r.word[1], r.word[2], r.word[3]);
  return line;
}

bool SimWindowPort::OnCard(std::uint32_t offset, std::uint32_t width, std::uint32_t* cardOffset) const {
  if (offset + width > length_) return false;
  const std::uint32_t a = physical_ + offset;
  if (a < cardAddress_ || a + width > cardAddress_ + kWindowSize) return false;
  *cardOffset = a - cardAddress_;
  return true;
}

std::uint8_t SimWindowPort::Read8(std::uint32_t offset) {
  std::uint32_t o;
  return OnCard(offset, 1, &o) ? card_.Read8(o) : 0xFF;
}
std::uint16_t SimWindowPort::Read16(std::uint32_t offset) {
  std::uint32_t o;
  return OnCard(offset, 2, &o) ? card_.Read16(o) : 0xFFFF;
}
void SimWindowPort::Write8(std::uint32_t offset, std::uint8_t value) {
  std::uint32_t o;
  if (OnCard(offset, 1, &o)) card_.Write8(o, value);
}
void SimWindowPort::Write16(std::uint32_t offset, std::uint16_t value) {
  std::uint32_t o;
  if (OnCard(offset, 2, &o)) card_.Write16(o, value);
}
