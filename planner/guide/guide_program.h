// One broadcast of the program guide, the ordered guide list that holds them,
// the channel name list and the parse-time rules.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>
#include "common/time_text.h"

struct GuideRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Display states of a broadcast (raised by 5 while the mouse is over its button).
enum GuideState : std::int32_t {
  kStateNormal = 0,
  kStateReserved = 1,
  kStateReceivedLaunchable = 2,
  kStateReceived = 3,
  kStateFailed = 4,
};

struct GuideProgram {
  std::int32_t laneCount = 1;
  std::uint16_t laneIndex = 0;
  std::int32_t textInset = 0;
  std::int32_t buttonTop = 0;
  std::int32_t highlight = 0;  // 10 when a highlight rule matched at parse time
  std::int32_t state = kStateNormal;
  std::int32_t ended = 0;
  GuideRect cellRect;
  std::int32_t programNumber = 0;
  std::int32_t subNumber = 0;
  std::int32_t speed = 0;
  std::uint16_t colourGroup = 0;
  std::uint16_t sid = 0;
  std::uint16_t receiverVersion = 0;
  std::uint16_t port = 0;
  std::int32_t totalKbyte = 0;
  Time32 startTime = 0;
  Time32 endTime = 0;
  std::string address;  // empty until the detail file has been read
  std::string name;
  std::string digest;
  std::string holder;
  std::string autorun;
  std::string channelName;
  std::string seriesName;
  std::string categoryForSort;
  std::string categoryForSearch;
  GuideProgram* next = nullptr;       // next record of the guide list
  GuideProgram* nextInRow = nullptr;  // next record of the same title row
};

// The guide list: ordered by startTime, endTime, programNumber; records that
// compare equal keep their arrival order, and a (programNumber, subNumber) pair
// is held once (the first arrival wins). Records are collected as they come and
// ordered once by a stable sort when the list is read, so a load of n records
// costs O(n log n) instead of a walk from the head per record.
class GuideList {
 public:
  GuideList() = default;
  GuideList(const GuideList&) = delete;
  GuideList& operator=(const GuideList&) = delete;
  GuideList(GuideList&&) = default;
  GuideList& operator=(GuideList&&) = default;

  // Takes the record unless one with the same pair is already held; false then
  // (the record is discarded).
  bool Add(std::unique_ptr<GuideProgram> program);
  bool Contains(std::int32_t programNumber, std::int32_t subNumber) const;
  void Clear();
  std::size_t Size() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }

  // The records in list order, linked through `next` (Head() is the first).
  const std::vector<GuideProgram*>& Ordered() const;
  GuideProgram* Head() const;

 private:
  static std::uint64_t Key(std::int32_t programNumber, std::int32_t subNumber);
  void Order() const;

  std::vector<std::unique_ptr<GuideProgram>> items_;  // arrival order
  std::unordered_set<std::uint64_t> keys_;
  mutable std::vector<GuideProgram*> ordered_;
  mutable bool dirty_ = false;
};

// Distinct channel names met by the parser; a new name goes to the front.
class ChannelNameList {
 public:
  // False when the name was already there.
  bool Add(const std::string& name);
  const std::deque<std::string>& Names() const { return names_; }
  void Clear();

 private:
  std::deque<std::string> names_;
  std::unordered_set<std::string> seen_;
};

// Parse-time rules built from the seven "Environment" values.
enum GuideRuleKind : std::int32_t {
  kRuleExclusiveChannel = 0,
  kRuleExceptSeries = 1,
  kRuleExceptCategory = 2,
  kRuleHighlightChannel = 3,
  kRuleHighlightSeries = 4,
  kRuleHighlightCategory = 5,
  kRuleHighlightProgram = 6,
};

struct GuideRule {
  std::int32_t kind = 0;
  std::int32_t enabled = 1;
  std::string value;
};

// The registry value names of the rule kinds, in kind order.
extern const char* const kGuideRuleValueNames[7];

struct GuideRules {
  std::vector<GuideRule> rules;
  bool exclusiveMode = false;  // "ExclusiveChannel" is non-empty
};

// One entry per non-empty comma-separated item of each of the seven texts
// (index = kind).
GuideRules BuildGuideRules(const std::string (&values)[7]);

// The outcome of the rules for one program.
struct RuleOutcome {
  bool accepted = true;
  bool highlight = false;
};
RuleOutcome ApplyGuideRules(const GuideRules& rules, const std::string& channelName,
                            const std::string& seriesName, const std::string& categoryForSearch,
                            const std::string& name);
