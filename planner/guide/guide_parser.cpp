#include "planner/guide/guide_parser.h"
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>
#include "common/tag_value.h"
#include "common/text.h"

TextRange TagRangeIn(const std::string& text, const std::string& field, std::size_t* pos,
                     std::size_t end) {
  return TagRangeIn(text, GuideTag(field), pos, end);
}

TextRange TagRangeIn(const std::string& text, const GuideTag& tag, std::size_t* pos, std::size_t end) {
  const std::string& open = tag.open;
  const std::string& close = tag.close;
  std::size_t openAt = FindText(text, open, *pos, end);
  if (openAt == std::string::npos) return {};
  std::size_t closeAt = FindText(text, close, *pos, end);
  if (closeAt == std::string::npos || closeAt < openAt + open.size()) return {};
  *pos = closeAt + close.size();
  return TextRange{openAt + open.size(), closeAt};
}

namespace {

std::string Slice(const std::string& text, TextRange r) {
  return r.Empty() ? std::string() : text.substr(r.begin, r.end - r.begin);
}

const GuideTag kSchedule("schedule");

// The values of several fields of one part, found in a single walk over its
// characters: for each field the first "<field>" and the first "</field>" that
// lie wholly inside the part (the same rule as TagRangeIn, without one search
// of the part per field).
class FieldScan {
 public:
  explicit FieldScan(std::vector<std::string> names) : names_(std::move(names)) {
    for (const std::string& n : names_) longest_ = std::max(longest_, n.size());
  }

  void Scan(const std::string& text, std::size_t begin, std::size_t end) {
    open_.assign(names_.size(), std::string::npos);
    close_.assign(names_.size(), std::string::npos);
    std::size_t missing = names_.size() * 2;
    const char* data = text.data();
    for (std::size_t i = begin; i < end && missing > 0;) {
      unsigned char c = static_cast<unsigned char>(data[i]);
      if (c == '<') {
        missing -= Match(data, i, end);
        ++i;
      } else {
        i += IsLeadByte(c) && i + 1 < text.size() ? 2 : 1;
      }
    }
  }

  TextRange Value(std::size_t field) const {
    std::size_t o = open_[field], c = close_[field];
    if (o == std::string::npos || c == std::string::npos || c < o + names_[field].size() + 2) return {};
    return TextRange{o + names_[field].size() + 2, c};
  }

 private:
  // A tag of one of the fields at i: records it when it is the first; returns 1 then.
  std::size_t Match(const char* data, std::size_t i, std::size_t end) {
    bool closing = i + 1 < end && data[i + 1] == '/';
    std::size_t nameAt = i + (closing ? 2 : 1);
    std::size_t limit = std::min(end, nameAt + longest_ + 1);
    const void* gt = std::memchr(data + nameAt, '>', limit > nameAt ? limit - nameAt : 0);
    if (!gt) return 0;
    std::size_t length = static_cast<std::size_t>(static_cast<const char*>(gt) - (data + nameAt));
    for (std::size_t f = 0; f < names_.size(); ++f) {
      if (names_[f].size() != length || std::memcmp(names_[f].data(), data + nameAt, length) != 0) continue;
      std::size_t& slot = closing ? close_[f] : open_[f];
      if (slot != std::string::npos) return 0;
      slot = i;
      return 1;
    }
    return 0;
  }

  std::vector<std::string> names_;
  std::size_t longest_ = 0;
  std::vector<std::size_t> open_, close_;
};

std::int32_t IntOf(const std::string& text, TextRange r) { return LeadingInt(Slice(text, r)); }

struct ProgramHeader {
  std::int32_t programNumber = 0;
  std::string channelName, seriesName, categoryForSort, categoryForSearch, name, digest;
  std::int32_t totalKbyte = 0;
};

enum HeaderField { kHProgramNumber, kHProName, kHCpName, kHCategoryForSort, kHCategoryForSearch, kHName, kHDigest, kHTotalKbyte };
enum ScheduleField { kSSubNumber, kSSubdigest, kSReceiverVer, kSSpeed, kSStartTime, kSEndTime };

ProgramHeader ReadHeader(const std::string& text, std::size_t begin, std::size_t end) {
  static thread_local FieldScan scan({"program_number", "pro_name", "cp_name", "category_for_sort",
                                      "category_for_search", "name", "digest", "total_kbyte"});
  scan.Scan(text, begin, end);
  ProgramHeader h;
  h.programNumber = IntOf(text, scan.Value(kHProgramNumber));
  h.channelName = Slice(text, scan.Value(kHProName));
  h.seriesName = Slice(text, scan.Value(kHCpName));
  h.categoryForSort = Slice(text, scan.Value(kHCategoryForSort));
  h.categoryForSearch = Slice(text, scan.Value(kHCategoryForSearch));
  h.name = Slice(text, scan.Value(kHName));
  h.digest = Slice(text, scan.Value(kHDigest));
  h.totalKbyte = IntOf(text, scan.Value(kHTotalKbyte));
  return h;
}

std::unique_ptr<GuideProgram> MakeRecord(const ProgramHeader& h, bool highlight, const std::string& text,
                                         TextRange schedule) {
  static thread_local FieldScan scan(
      {"program_sub_number", "subdigest", "receiver_ver", "speed", "starttime", "endtime"});
  scan.Scan(text, schedule.begin, schedule.end);
  auto p = std::make_unique<GuideProgram>();
  p->programNumber = h.programNumber;
  p->name = h.name;
  p->channelName = h.channelName;
  p->seriesName = h.seriesName;
  p->categoryForSort = h.categoryForSort;
  p->categoryForSearch = h.categoryForSearch;
  p->totalKbyte = h.totalKbyte;
  p->highlight = highlight ? 10 : 0;
  p->subNumber = IntOf(text, scan.Value(kSSubNumber));
  TextRange subdigest = scan.Value(kSSubdigest);
  p->digest = subdigest.Empty() ? h.digest : Slice(text, subdigest);
  std::int32_t version = IntOf(text, scan.Value(kSReceiverVer));
  p->receiverVersion = static_cast<std::uint16_t>(version == 0 ? 100 : version);
  p->speed = IntOf(text, scan.Value(kSSpeed));
  p->startTime = ParseGuideTime(Slice(text, scan.Value(kSStartTime)));
  p->endTime = ParseGuideTime(Slice(text, scan.Value(kSEndTime)));
  return p;
}

// One program element [begin, end); true when it produced a record.
bool ParseProgram(const std::string& text, std::size_t begin, std::size_t end, const GuideRules& rules,
                  GuideList& incoming, ChannelNameList& channels) {
  std::size_t scheduleAt = FindText(text, kSchedule.open, begin, end);
  if (scheduleAt == std::string::npos) return false;
  ProgramHeader h = ReadHeader(text, begin, scheduleAt);
  if (h.programNumber == 0) return false;
  RuleOutcome outcome = ApplyGuideRules(rules, h.channelName, h.seriesName, h.categoryForSearch, h.name);
  bool produced = false;
  if (outcome.accepted) {
    std::size_t pos = scheduleAt;
    for (;;) {
      TextRange schedule = TagRangeIn(text, kSchedule, &pos, end);
      if (schedule.Empty()) break;  // an empty schedule ends the walk
      produced = true;
      incoming.Add(MakeRecord(h, outcome.highlight, text, schedule));
    }
  }
  channels.Add(h.channelName);
  return produced;
}

}  // namespace

namespace {

// The calendar conversion is the costly step of a load (the C library looks
// at the time zone on every call) while a guide repeats the same times over
// and over (one broadcast ends when the next starts): the last conversions
// are kept, keyed by all five numbers.
Time32 CachedLocalTime(const std::int32_t (&n)[5]) {
  struct Entry {
    std::int32_t key[5];
    Time32 value;
    bool used;
  };
  static thread_local Entry cache[4096] = {};
  std::uint32_t h = 2166136261u;
  for (std::int32_t v : n) h = (h ^ static_cast<std::uint32_t>(v)) * 16777619u;
  Entry& e = cache[h % 4096];
  if (e.used && std::equal(n, n + 5, e.key)) return e.value;
  e.value = MakeLocalTime(n[0], n[1], n[2], n[3], n[4], 0);
  std::copy(n, n + 5, e.key);
  e.used = true;
  return e.value;
}

}  // namespace

Time32 ParseGuideTime(const std::string& text) {
  // Pieces cut at '/', '/', ' ', ':'; a missing separator leaves the later
  // pieces empty (0).
  const char separators[4] = {'/', '/', ' ', ':'};
  std::int32_t numbers[5] = {0, 0, 0, 0, 0};
  std::size_t pos = 0;
  bool cut = false;
  for (int i = 0; i < 4 && !cut; ++i) {
    std::size_t at = text.find(separators[i], pos);
    if (at == std::string::npos) {
      numbers[i] = LeadingInt(text.substr(pos));
      cut = true;
      break;
    }
    numbers[i] = LeadingInt(text.substr(pos, at - pos));
    pos = at + 1;
  }
  if (!cut) numbers[4] = LeadingInt(text.substr(pos));
  return CachedLocalTime(numbers);
}

bool ParseGuideText(const std::string& text, const GuideRules& rules, GuideList& incoming,
                    ChannelNameList& channels) {
  static const std::string kOpen = "<program>";
  static const std::string kClose = "</program>";
  bool produced = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t openAt = FindText(text, kOpen, pos, text.size());
    if (openAt == std::string::npos) break;
    std::size_t begin = openAt + kOpen.size();
    std::size_t closeAt = FindText(text, kClose, begin, text.size());
    std::size_t end = closeAt == std::string::npos ? text.size() : closeAt;
    if (ParseProgram(text, begin, end, rules, incoming, channels)) produced = true;
    pos = closeAt == std::string::npos ? text.size() : closeAt + kClose.size();
  }
  return produced;
}
