#include "selector/session_match.h"

#include "common/record_bytes.h"
#include "selector/channel_list.h"

std::vector<SessionRecord> DecodeSessions(const std::string& value, std::size_t* count) {
  std::size_t size = value.size() < kMaxSessionBytes ? value.size() : kMaxSessionBytes;
  size -= size % kSessionRecordBytes;
  std::vector<SessionRecord> records;
  records.reserve(size / kSessionRecordBytes);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(value.data());
  for (std::size_t at = 0; at < size; at += kSessionRecordBytes) {
    SessionRecord r;
    r.address = GetU32(bytes, at);
    r.port = GetU32(bytes, at + 8);   // the word between is the driver's own
    records.push_back(r);
  }
  *count = records.size();
  return records;
}

namespace {
bool InRange(const ChannelEntry& e, std::uint32_t port) {
  return static_cast<std::int64_t>(port) >= e.lowPort && static_cast<std::int64_t>(port) <= e.highPort;
}
}  // namespace

MatchResult MatchSessions(const ChannelTable& table, const std::vector<SessionRecord>& records,
                          std::int32_t currentChannel) {
  MatchResult m;
  // First pass: the first mapped channel, and whether any other mapping of a
  // wanted session names a different one.
  for (const SessionRecord& r : records) {
    if (r.address == 0) continue;
    for (const ChannelEntry& e : table.entries) {
      if (e.network != (r.address & e.mask)) continue;
      if (!InRange(e, r.port)) break;
      if (!m.found) {
        m.found = true;
        m.foundChannel = e.channel;
        break;
      }
      if (e.channel != m.foundChannel) m.agree = false;
    }
  }
  if (!m.found) return m;
  // Second pass: the first session whose first matching entry takes its port.
  for (const SessionRecord& r : records) {
    if (r.address == 0) continue;
    const ChannelEntry* hit = nullptr;
    for (const ChannelEntry& e : table.entries) {
      if (e.network == (r.address & e.mask)) {
        hit = &e;
        break;
      }
    }
    if (!hit || !InRange(*hit, r.port)) continue;
    if (hit->channel == currentChannel) return m;
    m.proposed = true;
    m.proposal.channel = hit->channel;
    m.proposal.name = hit->name;
    m.proposal.address = r.address;
    m.proposal.port = r.port;
    return m;
  }
  return m;
}
