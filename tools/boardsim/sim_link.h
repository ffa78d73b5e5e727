// How the simulated OVD.DLL reaches boardsim: one named section holds the
// card's state (registers act on it in the process that touches them, under a
// spin lock in the section) and a mailbox for the driver calls, which boardsim
// answers (and logs) one at a time.
#pragma once
#include <cstdint>

#include "boardlib/board_port.h"
#include "tools/boardsim/sim_card.h"

namespace simlink {
constexpr char kSection[] = "Local\\LumiventBoardSim";
constexpr char kRequestEvent[] = "Local\\LumiventBoardSim.Request";
constexpr char kReplyEvent[] = "Local\\LumiventBoardSim.Reply";
constexpr char kMailboxMutex[] = "Local\\LumiventBoardSim.Mailbox";
constexpr char kStopEvent[] = "Local\\LumiventBoardSim.Stop";
constexpr std::uint32_t kMagic = 0x4D495342;  // "BSIM"
constexpr std::uint32_t kReplyTimeoutMs = 5000;

enum Op : std::int32_t { kOpen = 1, kClose = 2, kQuery = 3, kCommand = 4 };

struct Mailbox {
  std::int32_t op;
  std::uint32_t selector;
  DriverRecord record;
  std::int32_t ok;
  std::uint32_t pid;
};

struct Shared {
  std::uint32_t magic;
  volatile long cardLock;
  Mailbox mailbox;
  SimCardState card;
};
}  // namespace simlink
