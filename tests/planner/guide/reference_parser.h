// The guide parser written the slow, literal way: every field searched on its
// own in its part, every record inserted by a walk from the head of the list.
// Tests and the fuzz target compare the real parser against it.
#pragma once
#include <string>
#include <vector>
#include "common/tag_value.h"
#include "common/text.h"
#include "planner/guide/guide_parser.h"
#include "planner/guide/guide_program.h"

inline std::string ReferenceField(const std::string& text, const char* field, std::size_t begin, std::size_t end) {
  std::size_t pos = begin;
  TextRange r = TagRangeIn(text, field, &pos, end);
  return r.Empty() ? std::string() : text.substr(r.begin, r.end - r.begin);
}

// Records in list order; channel names front first.
inline bool ReferenceParse(const std::string& text, const GuideRules& rules, std::vector<GuideProgram>* list,
                           std::vector<std::string>* channels) {
  bool produced = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t open = FindText(text, "<program>", pos, text.size());
    if (open == std::string::npos) break;
    std::size_t begin = open + 9;
    std::size_t close = FindText(text, "</program>", begin, text.size());
    std::size_t end = close == std::string::npos ? text.size() : close;
    pos = close == std::string::npos ? text.size() : close + 10;
    std::size_t schedule = FindText(text, "<schedule>", begin, end);
    if (schedule == std::string::npos) continue;
    GuideProgram h;
    h.programNumber = LeadingInt(ReferenceField(text, "program_number", begin, schedule));
    h.channelName = ReferenceField(text, "pro_name", begin, schedule);
    h.seriesName = ReferenceField(text, "cp_name", begin, schedule);
    h.categoryForSort = ReferenceField(text, "category_for_sort", begin, schedule);
    h.categoryForSearch = ReferenceField(text, "category_for_search", begin, schedule);
    h.name = ReferenceField(text, "name", begin, schedule);
    h.digest = ReferenceField(text, "digest", begin, schedule);
    h.totalKbyte = LeadingInt(ReferenceField(text, "total_kbyte", begin, schedule));
    if (h.programNumber == 0) continue;
    RuleOutcome outcome = ApplyGuideRules(rules, h.channelName, h.seriesName, h.categoryForSearch, h.name);
    if (outcome.accepted) {
      std::size_t walk = schedule;
      for (;;) {
        TextRange s = TagRangeIn(text, "schedule", &walk, end);
        if (s.Empty()) break;
        produced = true;
        GuideProgram r = h;
        r.highlight = outcome.highlight ? 10 : 0;
        r.subNumber = LeadingInt(ReferenceField(text, "program_sub_number", s.begin, s.end));
        std::string sub = ReferenceField(text, "subdigest", s.begin, s.end);
        if (!sub.empty()) r.digest = sub;
        std::int32_t v = LeadingInt(ReferenceField(text, "receiver_ver", s.begin, s.end));
        r.receiverVersion = static_cast<std::uint16_t>(v == 0 ? 100 : v);
        r.speed = LeadingInt(ReferenceField(text, "speed", s.begin, s.end));
        r.startTime = ParseGuideTime(ReferenceField(text, "starttime", s.begin, s.end));
        r.endTime = ParseGuideTime(ReferenceField(text, "endtime", s.begin, s.end));
        bool duplicate = false;
        for (const GuideProgram& o : *list) duplicate = duplicate || (o.programNumber == r.programNumber && o.subNumber == r.subNumber);
        if (duplicate) continue;
        auto it = list->begin();
        for (; it != list->end(); ++it) {
          if (it->startTime > r.startTime) break;
          if (it->startTime == r.startTime && it->endTime > r.endTime) break;
          if (it->startTime == r.startTime && it->endTime == r.endTime && it->programNumber > r.programNumber) break;
        }
        list->insert(it, r);
      }
    }
    bool known = false;
    for (const std::string& c : *channels) known = known || c == h.channelName;
    if (!known) channels->insert(channels->begin(), h.channelName);
  }
  return produced;
}

// Empty when the real parser agrees with the reference on text; else what differs.
inline std::string CompareWithReference(const std::string& text, const GuideRules& rules) {
  GuideList list;
  ChannelNameList channels;
  bool produced = ParseGuideText(text, rules, list, channels);
  std::vector<GuideProgram> expected;
  std::vector<std::string> expectedChannels;
  bool expectedProduced = ReferenceParse(text, rules, &expected, &expectedChannels);
  if (produced != expectedProduced) return "produced differs";
  const auto& actual = list.Ordered();
  if (actual.size() != expected.size())
    return "record count " + std::to_string(actual.size()) + " != " + std::to_string(expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    const GuideProgram& a = *actual[i];
    const GuideProgram& e = expected[i];
    if (a.programNumber != e.programNumber || a.subNumber != e.subNumber || a.startTime != e.startTime ||
        a.endTime != e.endTime || a.speed != e.speed || a.receiverVersion != e.receiverVersion ||
        a.totalKbyte != e.totalKbyte || a.highlight != e.highlight || a.name != e.name || a.digest != e.digest ||
        a.channelName != e.channelName || a.seriesName != e.seriesName || a.categoryForSort != e.categoryForSort ||
        a.categoryForSearch != e.categoryForSearch)
      return "record " + std::to_string(i) + " differs";
  }
  if (std::vector<std::string>(channels.Names().begin(), channels.Names().end()) != expectedChannels)
    return "channel names differ";
  return std::string();
}
