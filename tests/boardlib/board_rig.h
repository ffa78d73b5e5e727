// A simulated card, its registry values and the shared state, with one or more
// "processes" (library instances with their own driver and process id) on it.
#pragma once
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "boardlib/ovd_library.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "tools/boardsim/sim_driver.h"

inline SimConfig TestConfig() {
  SimConfig c;
  ParseIdentity("0102030405060708090A", c.identity);
  c.sid = 291;
  c.irdInfo = 5;
  c.patProgram = 0x8123;
  c.time = 984000000;
  return c;
}

class FakeHost : public LibraryHost {
 public:
  FakeHost(std::uint32_t pid, std::set<std::uint32_t>& alive, std::set<std::uint64_t>& windows)
      : pid_(pid), alive_(alive), windows_(windows) {}
  std::uint32_t CurrentProcessId() override { return pid_; }
  bool ProcessAlive(std::uint32_t pid) override { return alive_.count(pid) > 0; }
  bool WindowAlive(std::uint64_t window) override { return windows_.count(window) > 0; }
  void Lock(SharedState&) override {}
  void Unlock(SharedState&) override {}

 private:
  std::uint32_t pid_;
  std::set<std::uint32_t>& alive_;
  std::set<std::uint64_t>& windows_;
};

struct Process {
  Process(SimCardState& card, Settings& settings, SharedState& shared, std::uint32_t pid,
          std::set<std::uint32_t>& alive, std::set<std::uint64_t>& windows)
      : driver(card), host(pid, alive, windows), library(LibraryEnv{driver, clock, settings, host, shared}) {
    alive.insert(pid);
  }
  InProcessSimDriver driver;
  StepClock clock;
  FakeHost host;
  OvdLibrary library;
};

class BoardRig {
 public:
  explicit BoardRig(const SimConfig& config = TestConfig(), bool install = true)
      : card(std::make_unique<SimCardState>()), settings(CreateMemorySettings()), shared{} {
    shared.counterBase = 0xFFFFFFFFu;
    SimCard::Init(*card, config);
    if (install) Install("0003", "kt517.vxd", "1234567890123450");
  }
  void Install(const std::string& adapter, const std::string& driverName, const std::string& icCard) {
    const std::string key = std::string(peer::kAdapterClassKey) + "\\" + adapter;
    settings->WriteText(Hive::LocalMachine, key, peer::kAdapterDriverValue, driverName);
    if (!icCard.empty()) settings->WriteText(Hive::LocalMachine, key, peer::kAdapterIcCardValue, icCard);
  }
  Process& Start(std::uint32_t pid) {
    processes.push_back(std::make_unique<Process>(*card, *settings, shared, pid, alive, windows));
    processes.back()->library.Load();
    return *processes.back();
  }
  // All command lines the card received, in order over every process.
  std::vector<std::string> Commands(const Process& p) const {
    std::vector<std::string> out;
    for (const auto& line : p.driver.log)
      if (line.rfind("command", 0) == 0) out.push_back(line);
    return out;
  }

  std::unique_ptr<SimCardState> card;
  std::unique_ptr<Settings> settings;
  SharedState shared;
  std::set<std::uint32_t> alive;
  std::set<std::uint64_t> windows;
  std::vector<std::unique_ptr<Process>> processes;
};

// Builds transport stream packets for the reassembly tests.
inline std::vector<std::uint8_t> TsPacket(std::uint16_t pid, bool start, std::uint8_t cc,
                                          const std::vector<std::uint8_t>& payload, std::uint8_t pointer = 0) {
  std::vector<std::uint8_t> p(188, 0xFF);
  p[0] = 0x47;
  p[1] = static_cast<std::uint8_t>((start ? 0x40 : 0) | (pid >> 8));
  p[2] = static_cast<std::uint8_t>(pid);
  p[3] = static_cast<std::uint8_t>(0x10 | (cc & 0x0F));
  std::size_t at = 4;
  if (start) {
    p[4] = pointer;
    at = 5 + pointer;
  }
  for (std::size_t i = 0; i < payload.size() && at + i < 188; ++i) p[at + i] = payload[i];
  return p;
}
