// The stored keyword search conditions (ten, numbered 0-9) and the keyword
// history, under the planner key's sub-keys "Search" and "Search\List".
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class PlannerSettings;

constexpr int kKeywordConditionCount = 10;
constexpr int kKeywordHistoryLimit = 30;

struct KeywordCondition {
  std::string keyword;      // SearchKeyN; an empty text deletes the value
  std::uint32_t use = 0;    // CheckUseN: 1 = enabled
  std::uint32_t life = 0;   // CheckLifeN: 0 = always, otherwise once
  std::uint32_t name = 0;   // CheckNameN: 1 = search the title
  std::uint32_t refer = 0;  // CheckReferN: 1 = search the description
  std::string channel;      // CheckChannelN: empty = every channel

  // Enabled, with a keyword and something to search.
  bool Active() const { return !keyword.empty() && use == 1 && (name == 1 || refer == 1); }
  bool ApplyOnce() const { return life != 0; }
  bool operator==(const KeywordCondition& o) const {
    return keyword == o.keyword && use == o.use && life == o.life && name == o.name && refer == o.refer &&
           channel == o.channel;
  }
  bool operator!=(const KeywordCondition& o) const { return !(*this == o); }
};

using KeywordConditions = std::array<KeywordCondition, kKeywordConditionCount>;

// Missing or unreadable values read as 0 / empty.
KeywordCondition ReadKeywordCondition(const PlannerSettings& settings, int n);
KeywordConditions ReadKeywordConditions(const PlannerSettings& settings);
void WriteKeywordCondition(PlannerSettings& settings, int n, const KeywordCondition& condition);
// Clears CheckUseN (an apply-once condition consumed by a search pass).
void DisableKeywordCondition(PlannerSettings& settings, int n);

// The page shows a condition whose two search flags are equal as a title search.
KeywordCondition AsShownOnPage(KeywordCondition condition);

// Key00...Key29, most recent first, read up to the first empty or missing value.
std::vector<std::string> ReadKeywordHistory(const PlannerSettings& settings);
// Writes the entries from Key00 on and deletes the values behind them.
void WriteKeywordHistory(PlannerSettings& settings, const std::vector<std::string>& history);
// Condition by condition, 0 to 9, each non-empty keyword moves to (or is
// inserted at) the front; at most 30 entries stay.
std::vector<std::string> UpdateKeywordHistory(std::vector<std::string> history, const KeywordConditions& conditions);
