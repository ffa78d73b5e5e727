#include "boardlib/ovd_board.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <stdexcept>

#include "tests/boardlib/board_rig.h"

namespace {
using namespace board;

// A card whose status FIFO and packet slot play scripted bytes instead of the
// simulation's own.
class ScriptedPort : public BoardPort {
 public:
  explicit ScriptedPort(BoardPort& inner) : inner_(inner) {}
  std::uint8_t Read8(std::uint32_t o) override {
    if (o == kStatusFifo && scriptFifo) {
      if (fifo.empty()) return 0;
      std::uint8_t b = fifo.front();
      fifo.pop_front();
      return b;
    }
    if (scriptSlot && o == kSlotStatus) return packets.empty() ? 0 : kPacketWaiting;
    if (scriptSlot && o >= kSlot && o < kSlot + kPacketSize) return packets.empty() ? 0 : packets.front()[o - kSlot];
    return inner_.Read8(o);
  }
  std::uint16_t Read16(std::uint32_t o) override { return inner_.Read16(o); }
  void Write8(std::uint32_t o, std::uint8_t v) override {
    if (scriptSlot && o == kSlotRelease && !packets.empty()) packets.pop_front();
    if (o == kResetA) ++resets;
    inner_.Write8(o, v);
  }
  void Write16(std::uint32_t o, std::uint16_t v) override {
    if (o == kStatusFifo) ++fifoResets;
    inner_.Write16(o, v);
  }
  bool scriptFifo = false, scriptSlot = false;
  std::deque<std::uint8_t> fifo;
  std::deque<std::vector<std::uint8_t>> packets;
  int resets = 0, fifoResets = 0;

 private:
  BoardPort& inner_;
};

class ScriptedDriver : public InProcessSimDriver {
 public:
  using InProcessSimDriver::InProcessSimDriver;
  BoardPort* Map(std::uint32_t physical, std::uint32_t length) override {
    BoardPort* inner = InProcessSimDriver::Map(physical, length);
    ports.push_back(std::make_unique<ScriptedPort>(*inner));
    inners.push_back(inner);
    return ports.back().get();
  }
  void Unmap(BoardPort* port) override {
    for (std::size_t i = 0; i < ports.size(); ++i)
      if (ports[i].get() == port) InProcessSimDriver::Unmap(inners[i]);
  }
  ScriptedPort& Last() { return *ports.back(); }
  std::vector<std::unique_ptr<ScriptedPort>> ports;
  std::vector<BoardPort*> inners;
};

struct BoardFixture : ::testing::Test {
  BoardFixture() : card(std::make_unique<SimCardState>()), driver(*card), board(driver, clock) {}
  void Init(const SimConfig& c = TestConfig()) { SimCard::Init(*card, c); }
  bool Find() {
    std::uint32_t remembered = 0;
    return board.FindMemoryWindow(&remembered);
  }
  std::unique_ptr<SimCardState> card;
  ScriptedDriver driver;
  StepClock clock;
  OvdBoard board;
};

// ---- finding and verifying the window ----

struct WindowCase {
  const char* name;
  void (*spoil)(SimCardState&);
  bool found;
};
const WindowCase kWindows[] = {
    {"a good card", [](SimCardState&) {}, true},
    {"maker offset 256", [](SimCardState& s) { s.window[kMakerOffset] = 0x00; s.window[kMakerOffset + 1] = 0x01; }, false},
    {"product offset 300", [](SimCardState& s) { s.window[kProductOffset] = 0x2C; s.window[kProductOffset + 1] = 0x01; }, false},
    {"maker text differs", [](SimCardState& s) { s.window[0x10] = 'W'; }, false},
    {"product text not terminated", [](SimCardState& s) { s.window[0x20 + 10] = 'x'; }, false},
    {"type nibble 5", [](SimCardState& s) { s.window[kBoardType] = 0x52; }, false},
    {"type 0x4F", [](SimCardState& s) { s.window[kBoardType] = 0x4F; }, true},
};

TEST_F(BoardFixture, VerificationOfWindowCandidates) {
  for (const auto& c : kWindows) {
    Init();
    c.spoil(*card);
    OvdBoard b(driver, clock);
    std::uint32_t remembered = 0;
    EXPECT_EQ(b.FindMemoryWindow(&remembered), c.found) << c.name;
    if (c.found) {
      EXPECT_EQ(remembered, 0xD4800u) << c.name;
    }
  }
}

TEST_F(BoardFixture, FindsTheWindowAtEveryStepOfTheSearchAndNowhereElse) {
  for (std::uint32_t address : {0xC8800u, 0xD4800u, 0xE7800u}) {
    SimConfig c = TestConfig();
    c.address = address;
    Init(c);
    OvdBoard b(driver, clock);
    std::uint32_t remembered = 0;
    ASSERT_TRUE(b.FindMemoryWindow(&remembered)) << std::hex << address;
    EXPECT_EQ(remembered, address);
    EXPECT_EQ(driver.mapped, 1) << "only the window stays mapped";
  }
  SimConfig off = TestConfig();
  off.address = 0xD4000;  // not on a 4096-byte step from 0xC8800
  Init(off);
  OvdBoard b(driver, clock);
  std::uint32_t remembered = 0;
  EXPECT_FALSE(b.FindMemoryWindow(&remembered));
  EXPECT_EQ(driver.mapped, 0);
}

TEST_F(BoardFixture, Windows9xSearchAndMissingMappingDriver) {
  Init();
  driver.win9x_ = true;
  std::uint32_t remembered = 0;
  EXPECT_TRUE(board.FindMemoryWindow(&remembered));
  EXPECT_EQ(remembered, 0xD4800u);
  driver.win9x_ = false;
  driver.mapperPresent_ = false;
  OvdBoard b(driver, clock);
  remembered = 0;
  EXPECT_FALSE(b.FindMemoryWindow(&remembered));
}

TEST_F(BoardFixture, IdentityIsCopiedFromTheWindow) {
  Init();
  ASSERT_TRUE(Find());
  const std::uint8_t expected[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(std::memcmp(board.Identity(), expected, 10), 0);
}

TEST_F(BoardFixture, FilterProgrammingReachesTheCard) {
  Init();
  ASSERT_TRUE(Find());
  board.ProgramFilter(0x1234 & 0x1FFF, 0xA5);
  EXPECT_EQ(card->pid, 0x1234 & 0x1FFF);
  EXPECT_EQ(card->table, 0xA5);
  EXPECT_EQ(card->outputEnabled, 1);
}

// ---- status messages ----

std::vector<std::uint8_t> Message(std::uint8_t b0, std::uint8_t b1, std::uint8_t type, std::uint8_t b3, std::uint8_t b4,
                                  std::uint8_t b5, std::uint8_t b6, std::uint8_t b7) {
  return {b0, b1, type, b3, b4, b5, b6, b7};
}

struct FifoCase {
  const char* name;
  std::vector<std::vector<std::uint8_t>> messages;
  std::uint16_t sid;
  int info;
};
const FifoCase kFifo[] = {
    {"sid message", {Message(0x8F, 0, 2, 0x01, 0x01, 0x02, 0x03, 0x0F)}, 0x1123, 12},
    {"only the low bits of each byte", {Message(0xFF, 0xF0, 0xF2, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F)}, 0x3FFF, 12},
    {"b0 without 0x8F is skipped", {Message(0x0F, 0, 2, 0, 1, 2, 3, 0x0F), Message(0x8F, 0, 2, 0, 0, 0, 7, 0x0F)}, 7, 12},
    {"b7 with its top bit is skipped", {Message(0x8F, 0, 2, 0, 1, 2, 3, 0x8F), Message(0x8F, 0, 2, 0, 0, 0, 6, 0x0F)}, 6, 12},
    {"b7 without 0x0F is skipped", {Message(0x8F, 0, 2, 0, 1, 2, 3, 0x07), Message(0x8F, 0, 2, 0, 0, 0, 8, 0x0F)}, 8, 12},
    {"b1 low nibble set is skipped", {Message(0x8F, 1, 2, 0, 1, 2, 3, 0x0F)}, 0, 12},
    {"two agreeing infos", {Message(0x8F, 0, 1, 0, 5, 0, 0, 0x0F), Message(0x8F, 0, 1, 0, 5, 0, 0, 0x0F)}, 0, 5},
    {"infos that disagree", {Message(0x8F, 0, 1, 0, 5, 0, 0, 0x0F), Message(0x8F, 0, 1, 0, 6, 0, 0, 0x0F)}, 0, 12},
    {"agreement after a change",
     {Message(0x8F, 0, 1, 0, 4, 0, 0, 0x0F), Message(0x8F, 0, 1, 0, 6, 0, 0, 0x0F), Message(0x8F, 0, 1, 0, 6, 0, 0, 0x0F)}, 0, 6},
    {"other types between agreeing infos",
     {Message(0x8F, 0, 1, 0, 3, 0, 0, 0x0F), Message(0x8F, 0, 2, 0, 0, 0, 9, 0x0F), Message(0x8F, 0, 1, 0, 3, 0, 0, 0x0F)}, 9, 3},
    {"info 12 is no information", {Message(0x8F, 0, 1, 0, 0xC, 0, 0, 0x0F), Message(0x8F, 0, 1, 0, 0xC, 0, 0, 0x0F)}, 0, 12},
    {"info 11 is accepted", {Message(0x8F, 0, 1, 0, 0xB, 0, 0, 0x0F), Message(0x8F, 0, 1, 0, 0xB, 0, 0, 0x0F)}, 0, 11},
    {"nothing", {}, 0, 12},
};

TEST_F(BoardFixture, StatusMessagesValidityAndBothTypes) {
  for (const auto& c : kFifo) {
    Init();
    OvdBoard b(driver, clock);
    std::uint32_t remembered = 0;
    ASSERT_TRUE(b.FindMemoryWindow(&remembered));
    ScriptedPort& port = driver.Last();
    port.scriptFifo = true;
    for (const auto& m : c.messages) port.fifo.insert(port.fifo.end(), m.begin(), m.end());
    EXPECT_EQ(b.ReadCurrentSid(), c.sid) << c.name;
    port.fifo.clear();
    for (const auto& m : c.messages) port.fifo.insert(port.fifo.end(), m.begin(), m.end());
    EXPECT_EQ(b.ReadReceiverInfo(), c.info) << c.name;
  }
}

TEST_F(BoardFixture, StatusReadsGiveUpAfterOneSecond) {
  SimConfig c = TestConfig();
  c.sid = -1;
  c.irdInfo = -1;
  Init(c);
  ASSERT_TRUE(Find());
  const std::uint32_t start = clock.Now();
  EXPECT_EQ(board.ReadCurrentSid(), 0);
  EXPECT_GE(clock.Now() - start, 1000u);
  EXPECT_LT(clock.Now() - start, 1100u);
  EXPECT_EQ(board.ReadReceiverInfo(), 12);
}

TEST_F(BoardFixture, TheSimulatedFifoGivesTheConfiguredValues) {
  Init();
  ASSERT_TRUE(Find());
  EXPECT_EQ(board.ReadCurrentSid(), 291);
  EXPECT_EQ(board.ReadReceiverInfo(), 5);
}

// ---- packets and sections ----

std::vector<std::uint8_t> PatSection(std::uint16_t program, bool goodCrc = true) {
  std::vector<std::uint8_t> s = {0x00, 0xB0, 0x11, 0x00, 0x01, 0xC1, 0x00, 0x00,
                                 0x00, 0x00, 0xE0, 0x10,
                                 static_cast<std::uint8_t>(program >> 8), static_cast<std::uint8_t>(program), 0xE1, 0x00};
  const CrcTable t = MakeMpegCrcTable();
  std::uint32_t crc = MpegCrc(t, s.data(), s.size());
  if (!goodCrc) crc ^= 1;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<std::uint8_t>(crc >> (24 - 8 * i)));
  return s;
}

// A section of `length` bytes in total with a valid CRC.
std::vector<std::uint8_t> LongSection(std::size_t length) {
  std::vector<std::uint8_t> s(length - 4);
  s[0] = 0x42;
  s[1] = static_cast<std::uint8_t>(0xB0 | ((length - 3) >> 8));
  s[2] = static_cast<std::uint8_t>(length - 3);
  for (std::size_t i = 3; i < s.size(); ++i) s[i] = static_cast<std::uint8_t>(i * 7);
  const CrcTable t = MakeMpegCrcTable();
  const std::uint32_t crc = MpegCrc(t, s.data(), s.size());
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<std::uint8_t>(crc >> (24 - 8 * i)));
  return s;
}

// Splits a section into the packets that carry it.
std::vector<std::vector<std::uint8_t>> Carry(std::uint16_t pid, const std::vector<std::uint8_t>& section, std::uint8_t cc = 0) {
  std::vector<std::vector<std::uint8_t>> out;
  std::size_t at = std::min<std::size_t>(183, section.size());
  out.push_back(TsPacket(pid, true, cc, std::vector<std::uint8_t>(section.begin(), section.begin() + at)));
  while (at < section.size()) {
    std::size_t n = std::min<std::size_t>(184, section.size() - at);
    out.push_back(TsPacket(pid, false, ++cc, std::vector<std::uint8_t>(section.begin() + at, section.begin() + at + n)));
    at += n;
  }
  return out;
}

struct Reassembly {
  int sections = 0;
  std::vector<Section> got;
  void Feed(OvdBoard& b, const std::vector<std::vector<std::uint8_t>>& packets) {
    for (const auto& p : packets) {
      Section s;
      if (b.AddPacket(p.data(), &s)) got.push_back(s);
    }
  }
};

TEST_F(BoardFixture, SectionInOnePacketWithGoodAndBadCrc) {
  Reassembly r;
  r.Feed(board, Carry(0, PatSection(0x8123)));
  ASSERT_EQ(r.got.size(), 1u);
  EXPECT_EQ(r.got[0].bytes, PatSection(0x8123));
  r.Feed(board, Carry(0, PatSection(0x8123, false)));
  EXPECT_EQ(r.got.size(), 1u);
  EXPECT_EQ(board.Stats().crcErrors, 1);
}

TEST_F(BoardFixture, SectionAcrossPackets) {
  const auto section = LongSection(1000);
  Reassembly r;
  r.Feed(board, Carry(0x30, section, 14));  // the counter wraps from 15 to 0
  ASSERT_EQ(r.got.size(), 1u);
  EXPECT_EQ(r.got[0].pid, 0x30);
  EXPECT_EQ(r.got[0].bytes, section);
}

TEST_F(BoardFixture, ContinuityErrorDropsThePartialSection) {
  auto packets = Carry(0x30, LongSection(600));
  packets[2][3] = static_cast<std::uint8_t>(0x10 | 7);
  Reassembly r;
  r.Feed(board, packets);
  EXPECT_TRUE(r.got.empty());
  EXPECT_EQ(board.Stats().lostSections, 1);
  EXPECT_EQ(board.Stats().droppedSections, 1);
  EXPECT_EQ(board.Stats().strayPid, 1) << "the packet after the lost one has no section to join";
}

TEST_F(BoardFixture, StrayAndInterleavedPids) {
  const auto a = Carry(0x30, LongSection(400)), b = Carry(0x31, LongSection(300));
  Reassembly r;
  r.Feed(board, {TsPacket(0x32, false, 3, {1, 2, 3})});
  EXPECT_EQ(board.Stats().strayPid, 1);
  r.Feed(board, {a[0], b[0], a[1], b[1], a[2]});
  ASSERT_EQ(r.got.size(), 2u);
  EXPECT_EQ(r.got[0].pid, 0x31);
  EXPECT_EQ(r.got[1].pid, 0x30);
}

TEST_F(BoardFixture, NewStartDropsTheUnfinishedSection) {
  const auto a = Carry(0x30, LongSection(400));
  Reassembly r;
  r.Feed(board, {a[0], a[0], a[1], a[2]});
  EXPECT_EQ(r.got.size(), 1u);
  EXPECT_EQ(board.Stats().droppedSections, 1);
}

TEST_F(BoardFixture, TransportErrorPacketsAreSkipped) {
  auto a = Carry(0x30, LongSection(400));
  auto broken = a[1];
  broken[1] |= 0x80;
  Reassembly r;
  r.Feed(board, {a[0], broken, a[1], a[2]});
  EXPECT_EQ(r.got.size(), 1u);
  EXPECT_EQ(board.Stats().badPackets, 1);
}

TEST_F(BoardFixture, HostileHeadersStayInsideTheBuffers) {
  Reassembly r;
  // Pointer field beyond the packet.
  r.Feed(board, {TsPacket(0x30, true, 0, {}, 183), TsPacket(0x30, true, 0, {}, 255)});
  // A declared length of 4095 + 3 does not fit the section buffer: dropped, counted.
  std::vector<std::uint8_t> huge = {0x42, 0xBF, 0xFF};
  huge.resize(183, 0x55);
  r.Feed(board, {TsPacket(0x30, true, 0, huge)});
  for (std::uint8_t cc = 1; cc < 30; ++cc) r.Feed(board, {TsPacket(0x30, false, cc, std::vector<std::uint8_t>(184, 0x55))});
  EXPECT_TRUE(r.got.empty());
  EXPECT_EQ(board.Stats().droppedSections, 3);
  // A section that ends exactly at the buffer size still completes.
  const auto largest = LongSection(OvdBoard::kSectionBuffer);
  r.Feed(board, Carry(0x33, largest));
  ASSERT_EQ(r.got.size(), 1u);
  EXPECT_EQ(r.got[0].bytes, largest);
}

TEST_F(BoardFixture, ReadingPacketsFromTheSlot) {
  Init();
  ASSERT_TRUE(Find());
  board.ProgramFilter(0, 0);
  ScriptedPort& port = driver.Last();
  port.scriptSlot = true;
  auto good = TsPacket(0, true, 0, {1, 2, 3});
  auto scrambled = TsPacket(0x123, true, 0, {});
  scrambled[3] |= 0xC0;
  auto bad = good;
  bad[0] = 0x11;
  port.packets = {bad, good};  // the first packet after programming must be in sync
  std::uint8_t out[188];
  ASSERT_TRUE(board.ReadPacket(out));
  EXPECT_EQ(std::memcmp(out, good.data(), 188), 0);
  EXPECT_EQ(board.Stats().badPackets, 0);
  port.packets = {scrambled, good};
  EXPECT_FALSE(board.ReadPacket(out));
  EXPECT_EQ(board.LastScrambledPid(), 0x123);
  // Four bad packets in a row reset the card; the next good one is returned.
  port.packets = {bad, bad, bad, bad, bad, good};
  const int resetsBefore = port.resets;
  ASSERT_TRUE(board.ReadPacket(out));
  EXPECT_EQ(out[0], 0x47);
  EXPECT_EQ(board.Stats().badPackets, 5);
  EXPECT_EQ(port.resets - resetsBefore, 1);
  // More than ten bad ones in one read: the bad packet is handed up.
  port.packets.assign(12, bad);
  ASSERT_TRUE(board.ReadPacket(out));
  EXPECT_EQ(out[0], 0x11);
  EXPECT_EQ(port.packets.size(), 1u);
}

TEST_F(BoardFixture, EmptySlotReprogramsTheFilterAfterTenSeconds) {
  Init();
  ASSERT_TRUE(Find());
  board.ProgramFilter(0x77, 0);  // nothing is sent on this PID
  ScriptedPort& port = driver.Last();
  std::uint8_t out[188];
  const int before = port.fifoResets;
  EXPECT_FALSE(board.ReadPacket(out));
  clock.Advance(9000);
  EXPECT_FALSE(board.ReadPacket(out));
  EXPECT_EQ(port.fifoResets, before);
  clock.Advance(1500);
  EXPECT_FALSE(board.ReadPacket(out));
  EXPECT_EQ(port.fifoResets, before + 1);
}

TEST_F(BoardFixture, BroadcastTimeFromTheTimeTable) {
  Init();
  ASSERT_TRUE(Find());
  EXPECT_EQ(board.ReadBroadcastTime(), 984000000);
  EXPECT_EQ(card->pid, 0x14);
  EXPECT_EQ(card->table, 20);
  SimConfig c = TestConfig();
  c.time = 0;
  Init(c);
  OvdBoard b(driver, clock);
  std::uint32_t remembered = 0;
  ASSERT_TRUE(b.FindMemoryWindow(&remembered));
  const std::uint32_t start = clock.Now();
  EXPECT_EQ(b.ReadBroadcastTime(), 0);
  EXPECT_GE(clock.Now() - start, 2000u);
}

TEST_F(BoardFixture, ServiceTypeBitsFromTheAssociationTable) {
  Init();
  ASSERT_TRUE(Find());
  EXPECT_EQ(board.ServiceTypeBits(), 0x8123u >> 14);
  SimConfig c = TestConfig();
  c.patProgram = 0x4001;
  c.crcErrorEvery = 2;  // every other table is spoilt: the good ones still count
  Init(c);
  OvdBoard b(driver, clock);
  std::uint32_t remembered = 0;
  ASSERT_TRUE(b.FindMemoryWindow(&remembered));
  EXPECT_EQ(b.ServiceTypeBits(), 1u);
  EXPECT_GT(b.Stats().crcErrors, 0);
}

// Ticks that leap: the machine was busy between two readings.
class LeapClock : public BoardClock {
 public:
  explicit LeapClock(std::uint32_t step) : step_(step) {}
  std::uint32_t TickMs() override {
    // A wait that lost its bound would read the clock for 49 simulated days.
    if (++readings > kBudget) throw std::runtime_error("the wait does not end");
    return tick_ += step_;
  }
  static constexpr int kBudget = 10000;
  void SleepMs(std::uint32_t ms) override { tick_ += ms; }
  int readings = 0;

 private:
  std::uint32_t step_;
  std::uint32_t tick_ = 5000;
};

TEST_F(BoardFixture, ServiceTypeBitsWaitEndsWhenTheClockLeapsPastIt) {
  SimConfig c = TestConfig();
  c.patProgram = -1;  // no association table at all
  Init(c);
  LeapClock leap(600);
  OvdBoard b(driver, leap);
  std::uint32_t remembered = 0;
  ASSERT_TRUE(b.FindMemoryWindow(&remembered));
  std::uint32_t bits = 99;
  EXPECT_NO_THROW(bits = b.ServiceTypeBits());
  EXPECT_EQ(bits, 0u);
  // 1100 ms are two leaps: a handful of readings, not a wait of 49 days.
  EXPECT_LT(leap.readings, 20);
}

TEST_F(BoardFixture, FlowingTestOnACardOfDamagedPacketsEnds) {
  Init();
  ASSERT_TRUE(Find());
  ScriptedPort& port = driver.Last();
  port.scriptSlot = true;
  std::vector<std::uint8_t> bad(188, 0x00);
  std::vector<std::uint8_t> good(188, 0x00);
  good[0] = 0x47;
  constexpr std::size_t kPlenty = 100000;
  for (std::size_t i = 0; i < kPlenty; ++i) port.packets.push_back(bad);
  clock.slept = 0;
  EXPECT_FALSE(board.FlowingTest());
  // Each of the 20 looks drains for 100 ms of one-millisecond readings at most.
  EXPECT_LE(kPlenty - port.packets.size(), 20u * 101u);
  EXPECT_EQ(clock.slept, 2000u);

  // Damaged packets ahead of a good one: the good one is still found.
  port.packets.clear();
  for (int i = 0; i < 5; ++i) port.packets.push_back(bad);
  port.packets.push_back(good);
  EXPECT_TRUE(board.FlowingTest());
  EXPECT_EQ(port.packets.size(), 1u);
}

TEST_F(BoardFixture, FlowingTest) {
  Init();
  ASSERT_TRUE(Find());
  EXPECT_TRUE(board.FlowingTest());
  SimConfig c = TestConfig();
  c.patProgram = -1;
  Init(c);
  OvdBoard b(driver, clock);
  std::uint32_t remembered = 0;
  ASSERT_TRUE(b.FindMemoryWindow(&remembered));
  clock.slept = 0;
  EXPECT_FALSE(b.FlowingTest());
  EXPECT_EQ(clock.slept, 2000u);
}
}  // namespace
