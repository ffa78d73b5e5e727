#include "planner/guide/guide_program.h"
#include <algorithm>

std::uint64_t GuideList::Key(std::int32_t programNumber, std::int32_t subNumber) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(programNumber)) << 32) |
         static_cast<std::uint32_t>(subNumber);
}

bool GuideList::Add(std::unique_ptr<GuideProgram> program) {
  if (!keys_.insert(Key(program->programNumber, program->subNumber)).second) return false;
  items_.push_back(std::move(program));
  dirty_ = true;
  return true;
}

bool GuideList::Contains(std::int32_t programNumber, std::int32_t subNumber) const {
  return keys_.count(Key(programNumber, subNumber)) != 0;
}

void GuideList::Clear() {
  items_.clear();
  keys_.clear();
  ordered_.clear();
  dirty_ = false;
}

void GuideList::Order() const {
  if (!dirty_) return;
  // Already ordered records stay in front of later arrivals that compare equal,
  // exactly as an insertion behind all equal records would leave them.
  std::vector<GuideProgram*> fresh;
  fresh.reserve(items_.size() - ordered_.size());
  for (std::size_t i = ordered_.size(); i < items_.size(); ++i) fresh.push_back(items_[i].get());
  auto less = [](const GuideProgram* a, const GuideProgram* b) {
    if (a->startTime != b->startTime) return a->startTime < b->startTime;
    if (a->endTime != b->endTime) return a->endTime < b->endTime;
    return a->programNumber < b->programNumber;
  };
  std::stable_sort(fresh.begin(), fresh.end(), less);
  std::size_t middle = ordered_.size();
  ordered_.insert(ordered_.end(), fresh.begin(), fresh.end());
  std::inplace_merge(ordered_.begin(), ordered_.begin() + static_cast<std::ptrdiff_t>(middle), ordered_.end(), less);
  for (std::size_t i = 0; i < ordered_.size(); ++i)
    ordered_[i]->next = i + 1 < ordered_.size() ? ordered_[i + 1] : nullptr;
  dirty_ = false;
}

const std::vector<GuideProgram*>& GuideList::Ordered() const {
  Order();
  return ordered_;
}

GuideProgram* GuideList::Head() const {
  Order();
  return ordered_.empty() ? nullptr : ordered_.front();
}

bool ChannelNameList::Add(const std::string& name) {
  if (!seen_.insert(name).second) return false;
  names_.push_front(name);
  return true;
}

void ChannelNameList::Clear() {
  names_.clear();
  seen_.clear();
}

const char* const kGuideRuleValueNames[7] = {
    "ExclusiveChannel", "ExceptSeries",      "ExceptCategory",  "HighlightChannel",
    "HighlightSeries",  "HighlightCategory", "HighlightProgram",
};

GuideRules BuildGuideRules(const std::string (&values)[7]) {
  GuideRules result;
  for (std::int32_t kind = 0; kind < 7; ++kind) {
    const std::string& text = values[kind];
    std::size_t begin = 0;
    while (begin <= text.size()) {
      std::size_t comma = text.find(',', begin);
      if (comma == std::string::npos) comma = text.size();
      if (comma > begin) result.rules.push_back(GuideRule{kind, 1, text.substr(begin, comma - begin)});
      begin = comma + 1;
    }
  }
  result.exclusiveMode = !values[kRuleExclusiveChannel].empty();
  return result;
}

RuleOutcome ApplyGuideRules(const GuideRules& rules, const std::string& channelName,
                            const std::string& seriesName, const std::string& categoryForSearch,
                            const std::string& name) {
  RuleOutcome outcome;
  bool onExclusiveChannel = false;
  const std::string categories = "," + categoryForSearch + ",";
  auto inCategories = [&](const std::string& item) {
    return categories.find("," + item + ",") != std::string::npos;
  };
  for (const GuideRule& rule : rules.rules) {
    switch (rule.kind) {
      case kRuleExclusiveChannel: if (channelName == rule.value) onExclusiveChannel = true; break;
      case kRuleExceptSeries: if (seriesName == rule.value) outcome.accepted = false; break;
      case kRuleExceptCategory: if (inCategories(rule.value)) outcome.accepted = false; break;
      case kRuleHighlightChannel: if (channelName == rule.value) outcome.highlight = true; break;
      case kRuleHighlightSeries: if (seriesName == rule.value) outcome.highlight = true; break;
      case kRuleHighlightCategory: if (inCategories(rule.value)) outcome.highlight = true; break;
      case kRuleHighlightProgram: if (name == rule.value) outcome.highlight = true; break;
      default: break;
    }
  }
  if (rules.exclusiveMode && !onExclusiveChannel) outcome.accepted = false;
  return outcome;
}
