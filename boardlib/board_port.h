// The seam between the library's logic and the card: the memory window (every
// access goes through a port, because register reads have side effects: the
// status FIFO gives the next byte on each read, the packet slot changes when it
// is released) and the driver calls. The real build talks to the hardware, the
// simulated build to boardsim; the logic above is the same for both.
#pragma once
#include <cstdint>

class BoardPort {
 public:
  virtual ~BoardPort() = default;
  virtual std::uint8_t Read8(std::uint32_t offset) = 0;
  virtual std::uint16_t Read16(std::uint32_t offset) = 0;
  virtual void Write8(std::uint32_t offset, std::uint8_t value) = 0;
  virtual void Write16(std::uint32_t offset, std::uint16_t value) = 0;
};

// The 16-byte record of both control codes of the board driver.
struct DriverRecord {
  std::uint32_t word[4] = {0, 0, 0, 0};
};

// Control codes of the board driver and the mapping driver.
constexpr std::uint32_t kDriverCodeCommand = 1;
constexpr std::uint32_t kDriverCodeQuery = 2;
constexpr std::uint32_t kMapperCodeMap = 0x80002000;
constexpr std::uint32_t kMapperCodeUnmap = 0x80002004;

class BoardDriver {
 public:
  virtual ~BoardDriver() = default;
  // The board driver, through a handle of this process.
  virtual bool Open() = 0;
  virtual bool IsOpen() const = 0;
  // The open handle's value (what the shared state records); 0 when closed.
  virtual std::int64_t Handle() const = 0;
  virtual void Close() = 0;
  // A failed query leaves *record as it was.
  virtual bool Query(std::uint32_t selector, DriverRecord* record) = 0;
  virtual bool Command(const DriverRecord& record) = 0;

  // Windows 9x family: physical memory below 1 MB is visible as it is, so a
  // window is "mapped" without the mapping driver.
  virtual bool PhysicalMemoryVisible() const = 0;
  // The mapping driver (NT family); Map gives a port onto [physical, physical +
  // length) or nullptr. The port stays valid until Unmap.
  virtual bool OpenMapper() = 0;
  virtual void CloseMapper() = 0;
  virtual BoardPort* Map(std::uint32_t physical, std::uint32_t length) = 0;
  virtual void Unmap(BoardPort* port) = 0;
};

// Millisecond ticks and waits; tests drive them by hand.
class BoardClock {
 public:
  virtual ~BoardClock() = default;
  virtual std::uint32_t TickMs() = 0;
  virtual void SleepMs(std::uint32_t ms) = 0;
};

// A view of a port shifted by a fixed offset (a candidate inside a larger mapping).
class OffsetPort : public BoardPort {
 public:
  OffsetPort(BoardPort& base, std::uint32_t offset) : base_(base), offset_(offset) {}
  std::uint8_t Read8(std::uint32_t o) override { return base_.Read8(offset_ + o); }
  std::uint16_t Read16(std::uint32_t o) override { return base_.Read16(offset_ + o); }
  void Write8(std::uint32_t o, std::uint8_t v) override { base_.Write8(offset_ + o, v); }
  void Write16(std::uint32_t o, std::uint16_t v) override { base_.Write16(offset_ + o, v); }

 private:
  BoardPort& base_;
  std::uint32_t offset_;
};
