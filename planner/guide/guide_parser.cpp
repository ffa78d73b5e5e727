#include "planner/guide/guide_parser.h"
#include <string_view>
#include "common/tag_value.h"
#include "common/text.h"

std::size_t FindTextIn(const std::string& text, const std::string& needle, std::size_t from,
                       std::size_t end) {
  if (end > text.size()) end = text.size();
  if (needle.empty() || from >= end || end - from < needle.size()) return std::string::npos;
  std::string_view range(text.data() + from, end - from);
  std::size_t boundary = from;  // a known character start, moved forward only
  std::size_t at = 0;
  while ((at = range.find(needle, at)) != std::string_view::npos) {
    std::size_t candidate = from + at;
    while (boundary < candidate)
      boundary += IsLeadByte(static_cast<unsigned char>(text[boundary])) ? 2 : 1;
    if (boundary == candidate) return candidate;
    ++at;  // the candidate starts on a trail byte
  }
  return std::string::npos;
}

TextRange TagRangeIn(const std::string& text, const std::string& field, std::size_t* pos,
                     std::size_t end) {
  const std::string open = "<" + field + ">";
  const std::string close = "</" + field + ">";
  std::size_t openAt = FindTextIn(text, open, *pos, end);
  if (openAt == std::string::npos) return {};
  std::size_t closeAt = FindTextIn(text, close, *pos, end);
  if (closeAt == std::string::npos || closeAt < openAt + open.size()) return {};
  *pos = closeAt + close.size();
  return TextRange{openAt + open.size(), closeAt};
}

namespace {

std::string Slice(const std::string& text, TextRange r) {
  return r.Empty() ? std::string() : text.substr(r.begin, r.end - r.begin);
}

std::string FieldText(const std::string& text, const char* field, std::size_t begin, std::size_t end) {
  std::size_t pos = begin;
  return Slice(text, TagRangeIn(text, field, &pos, end));
}

std::int32_t FieldInt(const std::string& text, const char* field, std::size_t begin, std::size_t end) {
  return LeadingInt(FieldText(text, field, begin, end));
}

Time32 FieldTime(const std::string& text, const char* field, std::size_t begin, std::size_t end) {
  return ParseGuideTime(FieldText(text, field, begin, end));
}

struct ProgramHeader {
  std::int32_t programNumber = 0;
  std::string channelName, seriesName, categoryForSort, categoryForSearch, name, digest;
  std::int32_t totalKbyte = 0;
};

ProgramHeader ReadHeader(const std::string& text, std::size_t begin, std::size_t end) {
  ProgramHeader h;
  h.programNumber = FieldInt(text, "program_number", begin, end);
  h.channelName = FieldText(text, "pro_name", begin, end);
  h.seriesName = FieldText(text, "cp_name", begin, end);
  h.categoryForSort = FieldText(text, "category_for_sort", begin, end);
  h.categoryForSearch = FieldText(text, "category_for_search", begin, end);
  h.name = FieldText(text, "name", begin, end);
  h.digest = FieldText(text, "digest", begin, end);
  h.totalKbyte = FieldInt(text, "total_kbyte", begin, end);
  return h;
}

std::unique_ptr<GuideProgram> MakeRecord(const ProgramHeader& h, bool highlight, const std::string& text,
                                         TextRange schedule) {
  auto p = std::make_unique<GuideProgram>();
  p->programNumber = h.programNumber;
  p->name = h.name;
  p->channelName = h.channelName;
  p->seriesName = h.seriesName;
  p->categoryForSort = h.categoryForSort;
  p->categoryForSearch = h.categoryForSearch;
  p->totalKbyte = h.totalKbyte;
  p->highlight = highlight ? 10 : 0;
  const std::size_t b = schedule.begin, e = schedule.end;
  p->subNumber = FieldInt(text, "program_sub_number", b, e);
  std::string subdigest = FieldText(text, "subdigest", b, e);
  p->digest = subdigest.empty() ? h.digest : subdigest;
  std::int32_t version = FieldInt(text, "receiver_ver", b, e);
  p->receiverVersion = static_cast<std::uint16_t>(version == 0 ? 100 : version);
  p->speed = FieldInt(text, "speed", b, e);
  p->startTime = FieldTime(text, "starttime", b, e);
  p->endTime = FieldTime(text, "endtime", b, e);
  return p;
}

// One program element [begin, end); true when it produced a record.
bool ParseProgram(const std::string& text, std::size_t begin, std::size_t end, const GuideRules& rules,
                  GuideList& incoming, ChannelNameList& channels) {
  std::size_t scheduleAt = FindTextIn(text, "<schedule>", begin, end);
  if (scheduleAt == std::string::npos) return false;
  ProgramHeader h = ReadHeader(text, begin, scheduleAt);
  if (h.programNumber == 0) return false;
  RuleOutcome outcome = ApplyGuideRules(rules, h.channelName, h.seriesName, h.categoryForSearch, h.name);
  bool produced = false;
  if (outcome.accepted) {
    std::size_t pos = scheduleAt;
    for (;;) {
      TextRange schedule = TagRangeIn(text, "schedule", &pos, end);
      if (schedule.Empty()) break;  // an empty schedule ends the walk
      produced = true;
      incoming.Add(MakeRecord(h, outcome.highlight, text, schedule));
    }
  }
  channels.Add(h.channelName);
  return produced;
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
  return MakeLocalTime(numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], 0);
}

bool ParseGuideText(const std::string& text, const GuideRules& rules, GuideList& incoming,
                    ChannelNameList& channels) {
  static const std::string kOpen = "<program>";
  static const std::string kClose = "</program>";
  bool produced = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t openAt = FindText(text, kOpen, pos);
    if (openAt == std::string::npos) break;
    std::size_t begin = openAt + kOpen.size();
    std::size_t closeAt = FindText(text, kClose, begin);
    std::size_t end = closeAt == std::string::npos ? text.size() : closeAt;
    if (ParseProgram(text, begin, end, rules, incoming, channels)) produced = true;
    pos = closeAt == std::string::npos ? text.size() : closeAt + kClose.size();
  }
  return produced;
}
