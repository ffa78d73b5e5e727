// The guide mark-up of one broadcast day: programs, their schedules and times.
#pragma once
#include <cstddef>
#include <string>
#include "common/time_text.h"
#include "planner/guide/guide_program.h"

// "2001/03/05 21:30" as local time; seconds after the minutes are ignored.
// The five numbers go to the calendar conversion without a range test.
Time32 ParseGuideTime(const std::string& text);

// Parses one day's text into `incoming` (duplicates of a pair already there
// are discarded) and adds every accepted or rule-dropped program's channel name
// to `channels`. True when at least one record was created from the text.
bool ParseGuideText(const std::string& text, const GuideRules& rules, GuideList& incoming,
                    ChannelNameList& channels);

// The field rule inside [*pos, end): value between the first "<field>" and the
// first "</field>"; empty when either is missing or the closing tag comes
// first. When both are found *pos moves behind the closing tag. The value is
// returned as a range of text.
struct TextRange {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool Empty() const { return end <= begin; }
  std::size_t Size() const { return Empty() ? 0 : end - begin; }
};
TextRange TagRangeIn(const std::string& text, const std::string& field, std::size_t* pos,
                     std::size_t end);
// The same with the tags built once.
struct GuideTag {
  explicit GuideTag(const std::string& field) : open("<" + field + ">"), close("</" + field + ">") {}
  std::string open, close;
};
TextRange TagRangeIn(const std::string& text, const GuideTag& tag, std::size_t* pos, std::size_t end);
