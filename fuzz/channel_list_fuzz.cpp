// A channel list file from the service, as the selector reloads it: the
// container is unscrambled in memory and its lines parsed. The table never
// exceeds 256 entries, names stay within their bounds, every mask is a prefix
// mask and every network lies inside it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "selector/channel_list.h"

namespace {
bool IsPrefixMask(std::uint32_t networkOrder) {
  const std::uint32_t host = ((networkOrder & 0xFF) << 24) | ((networkOrder & 0xFF00) << 8) |
                             ((networkOrder >> 8) & 0xFF00) | (networkOrder >> 24);
  return (~host & (~host + 1)) == 0;
}

void Check(const ChannelTable& t) {
  if (t.entries.size() > static_cast<std::size_t>(kChannelTableSize)) std::abort();
  if (t.defaultName.size() > kMaxDefaultNameBytes) std::abort();
  for (const ChannelEntry& e : t.entries) {
    if (e.name.size() > kMaxNameBytes || (e.network & ~e.mask) != 0 || !IsPrefixMask(e.mask)) std::abort();
    if (e.lowPort < 0 || e.lowPort > e.highPort || e.highPort > 65536) std::abort();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // As a scrambled file ...
  std::string text, error;
  ChannelTable table;
  if (UnscrambleChannelList(bytes, &text, &error)) {
    if (text.size() > kMaxTextBytes || text.size() + kContainerHeader > size) std::abort();
    LoadChannelText(text, &table);
    Check(table);
  } else if (error.empty()) {
    std::abort();
  }
  // ... and as the plain text the operator writes.
  std::vector<SkippedLine> skipped;
  LoadChannelText(bytes, &table, &skipped);
  Check(table);
  return 0;
}
