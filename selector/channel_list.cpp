#include "selector/channel_list.h"

#include <cctype>
#include <cstdio>
#include <string_view>

#include "common/text.h"

std::vector<std::uint8_t> ChannelKeyStream(std::uint8_t seed, std::size_t length) {
  std::vector<std::uint8_t> key(length);
  std::uint8_t k = static_cast<std::uint8_t>(seed * kSeedMultiplier);
  for (std::size_t i = 0; i < length; ++i) {
    key[i] = k;
    const std::uint8_t product = static_cast<std::uint8_t>(k * kStepMultiplier);
    k = static_cast<std::uint8_t>((product << 4) | (product >> 4));
  }
  return key;
}

std::string ScrambleChannelList(const std::string& text, std::uint8_t seed) {
  if (text.size() > kMaxTextBytes) return std::string();
  const std::vector<std::uint8_t> key = ChannelKeyStream(seed, text.size());
  std::string out;
  out.reserve(kContainerHeader + text.size());
  out.push_back(static_cast<char>(seed));
  out.push_back(static_cast<char>(text.size() >> 8));
  out.push_back(static_cast<char>(text.size() & 0xFF));
  for (std::size_t i = 0; i < text.size(); ++i)
    out.push_back(static_cast<char>(static_cast<std::uint8_t>(text[i]) ^ key[i]));
  return out;
}

bool UnscrambleChannelList(const std::string& container, std::string* text, std::string* error) {
  const std::size_t size = container.size() < kMaxContainerBytes ? container.size() : kMaxContainerBytes;
  if (size < kContainerHeader) {
    *error = "too short for a channel list (" + std::to_string(size) + " bytes)";
    return false;
  }
  const std::uint8_t seed = static_cast<std::uint8_t>(container[0]);
  std::size_t length = (static_cast<std::size_t>(static_cast<std::uint8_t>(container[1])) << 8) |
                       static_cast<std::uint8_t>(container[2]);
  if (length > kMaxTextBytes) length = kMaxTextBytes;
  // A cut-off download would otherwise be read as garbage past its end.
  if (length > size - kContainerHeader) {
    *error = "states " + std::to_string(length) + " bytes of text but holds " +
             std::to_string(size - kContainerHeader);
    return false;
  }
  const std::vector<std::uint8_t> key = ChannelKeyStream(seed, length);
  text->assign(length, '\0');
  for (std::size_t i = 0; i < length; ++i)
    (*text)[i] = static_cast<char>(static_cast<std::uint8_t>(container[kContainerHeader + i]) ^ key[i]);
  return true;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A reader over one line that takes numbers the way the list's writers expect
// of scanf's "%d": leading white space, an optional sign, decimal digits.
class LineScanner {
 public:
  explicit LineScanner(std::string_view text, std::size_t pos = 0) : text_(text), pos_(pos) {}
  bool Number(long long* value) {
    std::size_t p = pos_;
    while (p < text_.size() && std::isspace(static_cast<unsigned char>(text_[p]))) ++p;
    bool negative = false;
    if (p < text_.size() && (text_[p] == '-' || text_[p] == '+')) negative = text_[p++] == '-';
    const std::size_t digits = p;
    long long v = 0;
    while (p < text_.size() && text_[p] >= '0' && text_[p] <= '9') {
      if (v < 100000000000LL) v = v * 10 + (text_[p] - '0');
      ++p;
    }
    if (p == digits) return false;
    *value = negative ? -v : v;
    pos_ = p;
    return true;
  }
  bool Literal(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  std::size_t Pos() const { return pos_; }

 private:
  std::string_view text_;
  std::size_t pos_;
};

struct Destination {
  long long a[4] = {};
  long long prefix = 32;
  long long low = 0;
  long long high = 65535;
  std::size_t end = 0;   // first byte after the destination
};

bool ReadAddress(LineScanner& s, Destination* d) {
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && !s.Literal('.')) return false;
    if (!s.Number(&d->a[i])) return false;
  }
  return true;
}

// "a.b.c.d/p:*"
bool PrefixAllPorts(std::string_view line, std::size_t start, Destination* d) {
  LineScanner s(line, start);
  if (!ReadAddress(s, d) || !s.Literal('/') || !s.Number(&d->prefix) || !s.Literal(':') || !s.Literal('*'))
    return false;
  d->low = 0;
  d->high = 65535;
  d->end = s.Pos();
  return true;
}

// "a.b.c.d:*"
bool AddressAllPorts(std::string_view line, std::size_t start, Destination* d) {
  LineScanner s(line, start);
  if (!ReadAddress(s, d) || !s.Literal(':') || !s.Literal('*')) return false;
  d->prefix = 32;
  d->low = 0;
  d->high = 65535;
  d->end = s.Pos();
  return true;
}

// "a.b.c.d/p" with ":low-high", ":port" or nothing (every port up to 65536).
bool PrefixPorts(std::string_view line, std::size_t start, Destination* d) {
  LineScanner s(line, start);
  if (!ReadAddress(s, d) || !s.Literal('/') || !s.Number(&d->prefix)) return false;
  d->low = 0;
  d->high = 65536;
  d->end = s.Pos();
  if (!s.Literal(':') || !s.Number(&d->low)) return true;
  d->high = d->low;
  d->end = s.Pos();
  long long high = 0;
  if (s.Literal('-') && s.Number(&high)) {
    d->high = high;
    d->end = s.Pos();
  }
  return true;
}

std::string CutName(std::string name, std::size_t maxBytes) {
  return name.substr(0, FitToBytes(name, maxBytes));
}

std::string TrimTrailingBlanks(std::string text) {
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return text;
}

std::uint32_t ToNetworkOrder(std::uint32_t hostOrder) {
  return ((hostOrder >> 24) & 0xFF) | ((hostOrder >> 8) & 0xFF00) | ((hostOrder << 8) & 0xFF0000) |
         ((hostOrder << 24) & 0xFF000000u);
}

bool StartsWithDefault(std::string_view line, std::size_t pos) {
  static const char kWord[] = "default";
  for (std::size_t i = 0; i < 7; ++i) {
    if (pos + i >= line.size() || std::tolower(static_cast<unsigned char>(line[pos + i])) != kWord[i]) return false;
  }
  return true;
}

LineKind ParseDefault(std::string_view line, std::size_t pos, std::int32_t* defaultChannel, std::string* defaultName,
                      std::string* reason) {
  LineScanner s(line, pos + 7);
  long long channel = 0;
  if (!s.Number(&channel)) {
    *reason = "default line without a channel number";
    return LineKind::Malformed;
  }
  if (channel < -1 || channel > 65535) {
    *reason = "default channel " + std::to_string(channel) + " out of range";
    return LineKind::Malformed;
  }
  s.SkipBlanks();
  *defaultChannel = static_cast<std::int32_t>(channel);
  *defaultName = CutName(TrimTrailingBlanks(std::string(line.substr(s.Pos()))), kMaxDefaultNameBytes);
  return LineKind::Default;
}

}  // namespace

LineKind ParseChannelLine(const std::string& lineText, ChannelEntry* entry, std::int32_t* defaultChannel,
                          std::string* defaultName, std::string* reason) {
  std::string_view line(lineText);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  std::size_t pos = 0;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos == line.size() || line[pos] == '#') return LineKind::Ignored;
  if (StartsWithDefault(line, pos)) return ParseDefault(line, pos, defaultChannel, defaultName, reason);

  Destination d;
  if (!PrefixAllPorts(line, pos, &d) && !AddressAllPorts(line, pos, &d) && !PrefixPorts(line, pos, &d)) {
    *reason = "no destination (a.b.c.d/prefix:ports or a.b.c.d:*)";
    return LineKind::Malformed;
  }
  for (long long octet : d.a) {
    if (octet < 0 || octet > 255) {
      *reason = "address number " + std::to_string(octet) + " out of range";
      return LineKind::Malformed;
    }
  }
  if (d.prefix < 0 || d.prefix > 32) {
    *reason = "prefix length " + std::to_string(d.prefix) + " out of range";
    return LineKind::Malformed;
  }
  if (d.low < 0 || d.high > 65536 || d.low > d.high) {
    *reason = "port range " + std::to_string(d.low) + "-" + std::to_string(d.high) + " is not valid";
    return LineKind::Malformed;
  }
  LineScanner s(line, d.end);
  s.SkipBlanks();
  long long channel = 0;
  if (!s.Number(&channel)) {
    *reason = "no channel number after the destination";
    return LineKind::Malformed;
  }
  if (channel < 0 || channel > 65535) {
    *reason = "channel " + std::to_string(channel) + " out of range";
    return LineKind::Malformed;
  }
  s.SkipBlanks();
  // Prefix 32 (and 0) give all ones: the shift count is taken modulo 32.
  const std::uint32_t hostMask = 0xFFFFFFFFu << ((32 - d.prefix) % 32);
  const std::uint32_t address = static_cast<std::uint32_t>(d.a[0] << 24 | d.a[1] << 16 | d.a[2] << 8 | d.a[3]);
  entry->mask = ToNetworkOrder(hostMask);
  entry->network = ToNetworkOrder(address & hostMask);
  entry->lowPort = static_cast<std::int32_t>(d.low);
  entry->highPort = static_cast<std::int32_t>(d.high);
  entry->channel = static_cast<std::uint16_t>(channel);
  entry->name = CutName(std::string(line.substr(s.Pos())), kMaxNameBytes);
  return LineKind::Entry;
}

void LoadChannelText(const std::string& text, ChannelTable* table, std::vector<SkippedLine>* skipped) {
  table->entries.clear();
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    std::string reason;
    // A longer line would have been read in pieces, each a line of its own;
    // the whole line is skipped instead.
    if (line.size() > kMaxLineBytes) {
      if (skipped) skipped->push_back({number, "line longer than 4095 bytes"});
      continue;
    }
    ChannelEntry entry;
    switch (ParseChannelLine(line, &entry, &table->defaultChannel, &table->defaultName, &reason)) {
      case LineKind::Entry:
        if (table->entries.size() < static_cast<std::size_t>(kChannelTableSize)) {
          table->entries.push_back(std::move(entry));
        } else if (skipped) {
          skipped->push_back({number, "beyond the table's 256 entries"});
        }
        break;
      case LineKind::Malformed:
        if (skipped) skipped->push_back({number, reason});
        break;
      case LineKind::Default:
      case LineKind::Ignored:
        break;
    }
  }
}

std::string DottedAddress(std::uint32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", n & 0xFF, (n >> 8) & 0xFF, (n >> 16) & 0xFF, n >> 24);
  return text;
}

bool ParseDottedAddress(const std::string& text, std::uint32_t* networkOrder) {
  LineScanner s(text);
  long long a[4];
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && !s.Literal('.')) return false;
    if (text.size() <= s.Pos() || !(text[s.Pos()] >= '0' && text[s.Pos()] <= '9')) return false;
    if (!s.Number(&a[i]) || a[i] < 0 || a[i] > 255) return false;
  }
  if (s.Pos() != text.size()) return false;
  *networkOrder = static_cast<std::uint32_t>(a[0] | a[1] << 8 | a[2] << 16 | a[3] << 24);
  return true;
}

#include <memory>

#include "common/files.h"

bool ReloadChannelList(FileSystem& files, const std::string& path, ChannelTable* table, std::string* error) {
  std::unique_ptr<FileStream> file = files.Open(path, OpenMode::Read);
  if (!file) {
    *error = path + ": cannot be opened";
    return false;
  }
  std::string container(kMaxContainerBytes, '\0');
  std::size_t got = 0;
  while (got < container.size()) {
    const std::size_t n = file->Read(&container[got], container.size() - got);
    if (n == 0) break;
    got += n;
  }
  container.resize(got);
  std::string text, fault;
  if (!UnscrambleChannelList(container, &text, &fault)) {
    *error = path + ": " + fault;
    return false;
  }
  LoadChannelText(text, table);
  return true;
}
