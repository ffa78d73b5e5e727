// The multicast sessions the routing driver wants, and how they are matched
// against the channel list once a second.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ChannelTable;

constexpr std::size_t kSessionRecordBytes = 12;
constexpr std::size_t kMaxSessionBytes = 0x3000;   // 1024 records

struct SessionRecord {
  std::uint32_t address = 0;   // network byte order; 0 = empty record
  std::uint32_t port = 0;
};

// The records of the registry value "multicast sessions". A value longer than
// kMaxSessionBytes, or with a trailing partial record, is read up to the last
// whole record within the bound. *count is the number of records read (empty
// ones included: the driver's count, compared from one second to the next).
std::vector<SessionRecord> DecodeSessions(const std::string& value, std::size_t* count);

struct Proposal {
  std::int32_t channel = -1;
  std::string name;
  std::uint32_t address = 0;
  std::uint32_t port = 0;
};

struct MatchResult {
  bool found = false;          // some session maps to a channel
  std::uint16_t foundChannel = 0;
  bool agree = true;           // every mapped session on the found channel
  bool proposed = false;       // false also when the first match is the current channel
  Proposal proposal;
};

MatchResult MatchSessions(const ChannelTable& table, const std::vector<SessionRecord>& records,
                          std::int32_t currentChannel);
