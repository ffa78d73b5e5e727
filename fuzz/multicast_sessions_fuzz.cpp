// The routing driver's registry value "multicast sessions", written by another
// program: decoded within its bound and matched against a fixed list. A
// proposal always names a listed channel and one of the wanted sessions.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "selector/channel_list.h"
#include "selector/session_match.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ChannelTable table = [] {
    ChannelTable t;
    LoadChannelText("default 100 d\n239.1.2.0/24:* 21 a\n239.1.2.3/32:5000-5010 23 r\n239.0.0.0/8 24 wide\n"
                    "224.0.0.1:* 25 one\n", &t);
    return t;
  }();
  const std::string value(reinterpret_cast<const char*>(data), size);
  std::size_t count = 0;
  const std::vector<SessionRecord> records = DecodeSessions(value, &count);
  if (count != records.size() || count > kMaxSessionBytes / kSessionRecordBytes || count * 12 > size) std::abort();
  const MatchResult m = MatchSessions(table, records, size > 0 ? data[0] : -1);
  if (m.proposed) {
    bool listed = false, wanted = false;
    for (const ChannelEntry& e : table.entries) listed |= e.channel == m.proposal.channel;
    for (const SessionRecord& r : records) wanted |= r.address == m.proposal.address && r.port == m.proposal.port;
    if (!listed || !wanted || !m.found) std::abort();
  }
  return 0;
}
