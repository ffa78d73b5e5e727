// A simulated card, its registry values and the shared state, with one or more
// "processes" (library instances with their own driver and process id) on it.
#pragma once
#include <deque>
#include <map>
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

// The processes of the rig: each id runs one process at a time, named by its
// start stamp; a later process may be given the id of one that ended.
struct FakeProcesses {
  std::map<std::uint32_t, std::uint32_t> running;  // id -> start stamp
  std::vector<std::uint32_t> looks;                // ids asked about, in order
  std::uint32_t nextStamp = 1000;
  std::uint32_t StartId(std::uint32_t pid) { return running[pid] = nextStamp++; }
};

class FakeHost : public LibraryHost {
 public:
  FakeHost(std::uint32_t pid, FakeProcesses& processes, std::set<std::uint64_t>& windows)
      : pid_(pid), started_(processes.StartId(pid)), processes_(processes), windows_(windows) {}
  std::uint32_t CurrentProcessId() override { return pid_; }
  std::uint32_t CurrentProcessStarted() override { return started_; }
  bool ProcessAlive(std::uint32_t pid, std::uint32_t started) override {
    processes_.looks.push_back(pid);
    auto it = processes_.running.find(pid);
    return it != processes_.running.end() && (started == 0 || it->second == started);
  }
  bool WindowAlive(std::uint64_t window) override { return windows_.count(window) > 0; }
  void Lock(SharedState&) override {}
  void Unlock(SharedState&) override {}

 private:
  std::uint32_t pid_;
  std::uint32_t started_;
  FakeProcesses& processes_;
  std::set<std::uint64_t>& windows_;
};

struct Process {
  Process(SimCardState& card, Settings& settings, SharedState& shared, std::uint32_t pid,
          FakeProcesses& processes, std::set<std::uint64_t>& windows)
      : driver(card), host(pid, processes, windows), library(LibraryEnv{driver, clock, settings, host, shared}) {}
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
    processes.push_back(std::make_unique<Process>(*card, *settings, shared, pid, system, windows));
    processes.back()->library.Load();
    return *processes.back();
  }
  // The process with this id ends without unloading.
  void Kill(std::uint32_t pid) { system.running.erase(pid); }
  // A process that does not use the library is given this id.
  void ReuseId(std::uint32_t pid) { system.StartId(pid); }
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
  FakeProcesses system;
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
