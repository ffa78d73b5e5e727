// Keyword conditions and history in the registry.
#include "planner/reserve/keyword_conditions.h"

#include <algorithm>
#include <cstdio>

#include "common/settings.h"

namespace {

const char* const kSearchKey = "Search";
const char* const kHistoryKey = "Search\\List";

std::string Numbered(const char* name, int n) { return name + std::to_string(n); }

std::string HistoryName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "Key%02d", i);
  return name;
}

std::uint32_t Flag(const PlannerSettings& s, const char* name, int n) {
  return static_cast<std::uint32_t>(s.Int(kSearchKey, Numbered(name, n), 0));
}

}  // namespace

KeywordCondition ReadKeywordCondition(const PlannerSettings& settings, int n) {
  KeywordCondition c;
  c.keyword = settings.Text(kSearchKey, Numbered("SearchKey", n));
  c.use = Flag(settings, "CheckUse", n);
  c.life = Flag(settings, "CheckLife", n);
  c.name = Flag(settings, "CheckName", n);
  c.refer = Flag(settings, "CheckRefer", n);
  c.channel = settings.Text(kSearchKey, Numbered("CheckChannel", n));
  return c;
}

KeywordConditions ReadKeywordConditions(const PlannerSettings& settings) {
  KeywordConditions all;
  for (int n = 0; n < kKeywordConditionCount; ++n) all[n] = ReadKeywordCondition(settings, n);
  return all;
}

void WriteKeywordCondition(PlannerSettings& settings, int n, const KeywordCondition& c) {
  settings.SetText(kSearchKey, Numbered("SearchKey", n), c.keyword);
  settings.SetInt(kSearchKey, Numbered("CheckUse", n), static_cast<std::int32_t>(c.use));
  settings.SetInt(kSearchKey, Numbered("CheckLife", n), static_cast<std::int32_t>(c.life));
  settings.SetInt(kSearchKey, Numbered("CheckName", n), static_cast<std::int32_t>(c.name));
  settings.SetInt(kSearchKey, Numbered("CheckRefer", n), static_cast<std::int32_t>(c.refer));
  settings.SetText(kSearchKey, Numbered("CheckChannel", n), c.channel);
}

void DisableKeywordCondition(PlannerSettings& settings, int n) {
  settings.SetInt(kSearchKey, Numbered("CheckUse", n), 0);
}

KeywordCondition AsShownOnPage(KeywordCondition c) {
  if (c.name == c.refer) {
    c.name = 1;
    c.refer = 0;
  }
  return c;
}

std::vector<std::string> ReadKeywordHistory(const PlannerSettings& settings) {
  std::vector<std::string> history;
  for (int i = 0; i < kKeywordHistoryLimit; ++i) {
    std::string k = settings.Text(kHistoryKey, HistoryName(i));
    if (k.empty()) break;
    history.push_back(k);
  }
  return history;
}

void WriteKeywordHistory(PlannerSettings& settings, const std::vector<std::string>& history) {
  const int count = static_cast<int>(std::min<std::size_t>(history.size(), kKeywordHistoryLimit));
  for (int i = 0; i < kKeywordHistoryLimit; ++i) {
    // An empty text deletes the value, so no stale entry stays behind a shorter list.
    settings.SetText(kHistoryKey, HistoryName(i), i < count ? history[i] : std::string());
  }
}

std::vector<std::string> UpdateKeywordHistory(std::vector<std::string> history, const KeywordConditions& conditions) {
  for (const KeywordCondition& c : conditions) {
    if (c.keyword.empty()) continue;
    auto known = std::find(history.begin(), history.end(), c.keyword);
    if (known != history.end()) history.erase(known);
    history.insert(history.begin(), c.keyword);
    if (history.size() > static_cast<std::size_t>(kKeywordHistoryLimit)) history.resize(kKeywordHistoryLimit);
  }
  return history;
}
