// The simulated card as a driver in the same process (native tests, fuzzing):
// the mapping driver maps SimWindowPorts, the board driver answers from the
// card and keeps the command lines boardsim would log.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "tools/boardsim/sim_card.h"

class InProcessSimDriver : public BoardDriver {
 public:
  explicit InProcessSimDriver(SimCardState& state) : state_(state), card_(state) {}
  bool Open() override;
  bool IsOpen() const override { return open_; }
  std::int64_t Handle() const override { return open_ ? 0x5A : 0; }
  void Close() override;
  bool Query(std::uint32_t selector, DriverRecord* record) override;
  bool Command(const DriverRecord& record) override;
  bool PhysicalMemoryVisible() const override { return win9x_; }
  bool OpenMapper() override { return mapperPresent_; }
  void CloseMapper() override {}
  BoardPort* Map(std::uint32_t physical, std::uint32_t length) override;
  void Unmap(BoardPort* port) override;

  SimCard& Card() { return card_; }
  std::vector<std::string> log;  // "open", "close", "command ..." lines
  std::vector<std::uint32_t> querySelectors;
  bool win9x_ = false;
  bool mapperPresent_ = true;
  int mapped = 0;

 private:
  SimCardState& state_;
  SimCard card_;
  bool open_ = false;
  std::vector<std::unique_ptr<SimWindowPort>> ports_;
};

// Ticks that move by themselves (one ms per look) and by sleeps, so loops that
// spin on the card end in simulated time.
class StepClock : public BoardClock {
 public:
  std::uint32_t TickMs() override { return tick_++; }
  void SleepMs(std::uint32_t ms) override { tick_ += ms; slept += ms; }
  std::uint32_t Now() const { return tick_; }
  void Advance(std::uint32_t ms) { tick_ += ms; }
  std::uint64_t slept = 0;

 private:
  std::uint32_t tick_ = 100000;
};
