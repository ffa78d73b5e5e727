#include "planner/timetable/title_rows.h"
#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include "common/peer_names.h"
#include "common/settings.h"
#include "planner/guide/guide_program.h"

namespace {

void SplitInto(const std::string& text, std::int32_t kind, std::int32_t flag, DisplayRules* rules) {
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t comma = text.find(',', begin);
    if (comma == std::string::npos) comma = text.size();
    if (comma > begin) rules->push_back(DisplayRule{kind, flag, text.substr(begin, comma - begin)});
    begin = comma + 1;
  }
}

bool ContainsCategory(const std::string& categoryForSearch, const std::string& value) {
  const std::string all = "," + categoryForSearch + ",";
  return all.find("," + value + ",") != std::string::npos;
}

std::string Tabbed(const std::string& name) { return "\t" + name + "\t"; }

void SplitCategories(const std::string& text, std::vector<std::string>* out) {
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t comma = text.find(',', begin);
    if (comma == std::string::npos) comma = text.size();
    if (comma > begin) out->push_back(text.substr(begin, comma - begin));
    begin = comma + 1;
  }
}

// Adds each value once, in the order met, unless `left` already holds it.
class Collector {
 public:
  Collector(const std::vector<std::string>& left, std::vector<std::string>* out) : out_(out) {
    seen_.insert(left.begin(), left.end());
  }
  void Add(const std::string& v) {
    // An empty value could never be stored as a rule: it is not offered.
    if (!v.empty() && seen_.insert(v).second) out_->push_back(v);
  }

 private:
  std::unordered_set<std::string> seen_;
  std::vector<std::string>* out_;
};

}  // namespace

DisplayRules ParseDisplayRules(const DisplayRuleTexts& texts) {
  DisplayRules rules;
  SplitInto(texts.channels, kFilterChannel, 1, &rules);
  SplitInto(texts.series, kFilterSeries, 1, &rules);
  // Only 0 and 1 mean anything; any other stored number hides, the safer reading.
  SplitInto(texts.categories, kFilterCategory, texts.categoryExcept == 0 ? 0 : 1, &rules);
  return rules;
}

DisplayRuleTexts FormatDisplayRules(const DisplayRules& rules) {
  DisplayRuleTexts texts;
  for (const DisplayRule& r : rules) {
    std::string* target = r.kind == kFilterChannel ? &texts.channels
                          : r.kind == kFilterSeries ? &texts.series
                                                    : &texts.categories;
    if (!target->empty()) *target += ",";
    *target += r.value;
    if (r.kind == kFilterCategory) texts.categoryExcept = r.flag;
  }
  return texts;
}

namespace {
// The display rules' values under "Environment".
constexpr const char* kFilterChannelValue = "FilterChannel";
constexpr const char* kFilterSeriesValue = "FilterContent";
constexpr const char* kFilterCategoryValue = "FilterCategory";
constexpr const char* kFilterExceptValue = "FilterCaExcept";  // 1 hides the categories listed, 0 shows only them
}  // namespace

DisplayRules ReadDisplayRules(const PlannerSettings& settings) {
  const char* env = peer::kEnvironmentSubKey;
  DisplayRuleTexts t;
  // Lists grow past 255 bytes; a cut read would be written back cut at exit.
  t.channels = settings.WholeText(env, kFilterChannelValue);
  t.series = settings.WholeText(env, kFilterSeriesValue);
  t.categories = settings.WholeText(env, kFilterCategoryValue);
  t.categoryExcept = settings.Int(env, kFilterExceptValue, 1);
  return ParseDisplayRules(t);
}

void WriteDisplayRules(PlannerSettings& settings, const DisplayRules& rules) {
  const char* env = peer::kEnvironmentSubKey;
  DisplayRuleTexts t = FormatDisplayRules(rules);
  settings.SetText(env, kFilterChannelValue, t.channels);
  settings.SetText(env, kFilterSeriesValue, t.series);
  settings.SetText(env, kFilterCategoryValue, t.categories);
  settings.SetInt(env, kFilterExceptValue, t.categoryExcept);
}

bool IsShown(const DisplayRules& rules, const GuideProgram& p) {
  bool inclusionRules = false;
  bool included = false;
  for (const DisplayRule& r : rules) {
    bool match = false;
    switch (r.kind) {
      case kFilterChannel: match = r.value == p.channelName; break;
      case kFilterSeries: match = r.value == p.seriesName; break;
      case kFilterCategory:
        if (r.flag == 0) inclusionRules = true;
        match = ContainsCategory(p.categoryForSearch, r.value);
        break;
      default: break;
    }
    if (!match) continue;
    if (r.flag != 0) return false;
    included = true;
  }
  return !inclusionRules || included;
}

const std::string& TitleOf(const GuideProgram& p, std::int32_t kind) {
  if (kind == kTitleChannel) return p.channelName;
  if (kind == kTitleCategory) return p.categoryForSort;
  return p.seriesName;
}

std::int32_t SaneWidthPercent(std::int32_t stored) {
  return std::max(kMinWidthPercent, std::min(stored, kMaxWidthPercent));
}

std::vector<TitleRow> BuildTitleRows(const std::vector<GuideProgram*>& guide, const TitleRowInput& input) {
  std::vector<TitleRow> rows;
  std::unordered_map<std::string, std::size_t> index;
  const bool filter = input.filterOn && input.rules && !input.rules->empty();
  std::int32_t fallbacks = 0;
  for (GuideProgram* p : guide) {
    p->nextInRow = nullptr;
    if (filter && !IsShown(*input.rules, *p)) continue;
    const std::string& title = TitleOf(*p, input.kind);
    auto found = index.find(title);
    if (found == index.end()) {
      TitleRow row;
      row.name = title;
      std::int32_t stored = input.storedWidth ? input.storedWidth(title) : planner_values::kTitleWidth;
      row.widthPercent = SaneWidthPercent(stored);
      row.widened = row.widthPercent != planner_values::kTitleWidth ? 1 : 0;
      const std::string key = Tabbed(title);
      std::size_t at = std::string::npos;
      if (input.hideTitle.find(key) != std::string::npos) {
        row.order = -1;
      } else if ((at = input.sortTitle.find(key)) != std::string::npos) {
        row.order = static_cast<std::int32_t>(at);
      } else {
        row.order = static_cast<std::int32_t>(input.sortTitle.size()) + fallbacks++;
      }
      found = index.emplace(title, rows.size()).first;
      rows.push_back(std::move(row));
    }
    TitleRow& row = rows[found->second];
    if (!row.programs.empty()) row.programs.back()->nextInRow = p;
    row.programs.push_back(p);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const TitleRow& a, const TitleRow& b) { return a.order < b.order; });
  auto firstShown = std::find_if(rows.begin(), rows.end(), [](const TitleRow& r) { return r.order != -1; });
  rows.erase(rows.begin(), firstShown);
  for (TitleRow& row : rows) LayOutLanes(row.programs);
  return rows;
}

void LayOutLanes(const std::vector<GuideProgram*>& programs) {
  const std::size_t n = programs.size();
  std::size_t i = 0;
  std::vector<Time32> ends;
  std::vector<Time32> laneEnd;
  while (i < n) {
    GuideProgram* p = programs[i];
    p->laneCount = 1;
    p->laneIndex = 0;
    if (i + 1 >= n || programs[i + 1]->startTime >= p->endTime) {
      ++i;
      continue;
    }
    // How many lanes the cluster that starts at p needs.
    ends.assign(1, p->endTime);
    std::size_t lanes = 1;
    std::size_t j = i + 1;
    for (; j < n; ++j) {
      const Time32 start = programs[j]->startTime;
      ends.erase(std::remove_if(ends.begin(), ends.end(), [start](Time32 e) { return e <= start; }), ends.end());
      if (ends.empty() || ends.size() >= static_cast<std::size_t>(kMaxTitleLanes)) break;
      ends.push_back(programs[j]->endTime);
      lanes = std::max(lanes, ends.size());
    }
    // Each program takes the first free lane, or shares the one freed first.
    laneEnd.assign(lanes, p->startTime);
    for (std::size_t k = i; k < j; ++k) {
      GuideProgram* r = programs[k];
      std::size_t lane = lanes;
      for (std::size_t l = 0; l < lanes; ++l) {
        if (laneEnd[l] <= r->startTime) {
          lane = l;
          break;
        }
      }
      if (lane == lanes) lane = static_cast<std::size_t>(std::min_element(laneEnd.begin(), laneEnd.end()) - laneEnd.begin());
      r->laneCount = static_cast<std::int32_t>(lanes);
      r->laneIndex = static_cast<std::uint16_t>(lane);
      laneEnd[lane] = r->endTime;
    }
    i = j;
  }
}

void ToggleWidened(TitleRow& row) {
  if (row.widened) {
    row.widthPercent = planner_values::kTitleWidth;
    row.widened = 0;
    return;
  }
  std::int32_t lanes = 1;
  for (const GuideProgram* p : row.programs) lanes = std::max(lanes, p->laneCount);
  row.widthPercent = planner_values::kTitleWidth * lanes;
  row.widened = 1;
}

std::int32_t DraggedWidthPercent(std::int32_t releaseX, std::int32_t columnLeft, std::int32_t columnUnit) {
  if (columnUnit <= 0) return kMinWidthPercent;
  std::int64_t percent = static_cast<std::int64_t>(releaseX - columnLeft) * 100 / columnUnit;
  return static_cast<std::int32_t>(std::max<std::int64_t>(kMinWidthPercent, std::min<std::int64_t>(percent, kMaxWidthPercent)));
}

std::vector<std::string> ListedTitles(const std::vector<TitleRow>& rows) {
  std::vector<std::string> names;
  for (const TitleRow& r : rows)
    if (!r.name.empty()) names.push_back(r.name);
  return names;
}

std::string SortTitleFrom(const std::vector<std::string>& names) {
  std::string text = "\t";
  for (const std::string& n : names) text += n + "\t";
  return text;
}

const char* TitleOrderSuffixUtf8(std::int32_t kind) {
  if (kind == kTitleChannel) return u8"（チャンネル別）";
  if (kind == kTitleCategory) return u8"（番組カゴテリー別）";
  return u8"（シリーズ別）";
}

std::size_t MoveListItem(std::vector<std::string>& items, std::size_t index, int direction) {
  if (index >= items.size()) return index;
  if (direction < 0 && index > 0) {
    std::swap(items[index], items[index - 1]);
    return index - 1;
  }
  if (direction > 0 && index + 1 < items.size()) {
    std::swap(items[index], items[index + 1]);
    return index + 1;
  }
  return index;
}

FilterLists OpenFilterLists(const DisplayRules& rules, const std::vector<GuideProgram*>& guide) {
  FilterLists lists;
  for (const DisplayRule& r : rules) {
    if (r.kind == kFilterChannel) lists.hiddenChannels.push_back(r.value);
    if (r.kind == kFilterSeries) lists.hiddenSeries.push_back(r.value);
    if (r.kind == kFilterCategory) {
      lists.selectedCats.push_back(r.value);
      lists.categoryFlag = r.flag;
    }
  }
  Collector channels(lists.hiddenChannels, &lists.shownChannels);
  Collector series(lists.hiddenSeries, &lists.shownSeries);
  Collector cats(lists.selectedCats, &lists.unselectedCats);
  std::vector<std::string> items;
  for (const GuideProgram* p : guide) {
    channels.Add(p->channelName);
    series.Add(p->seriesName);
    items.clear();
    SplitCategories(p->categoryForSearch, &items);
    for (const std::string& c : items) cats.Add(c);
  }
  return lists;
}

DisplayRules RulesFromFilterLists(const FilterLists& lists) {
  DisplayRules rules;
  for (const std::string& v : lists.hiddenChannels) rules.push_back(DisplayRule{kFilterChannel, 1, v});
  for (const std::string& v : lists.hiddenSeries) rules.push_back(DisplayRule{kFilterSeries, 1, v});
  for (const std::string& v : lists.selectedCats) rules.push_back(DisplayRule{kFilterCategory, lists.categoryFlag, v});
  return rules;
}

std::size_t MoveBetween(std::vector<std::string>& from, std::vector<std::string>& to, std::size_t index) {
  if (index >= from.size()) return from.empty() ? std::string::npos : from.size() - 1;
  to.push_back(from[index]);
  from.erase(from.begin() + static_cast<std::ptrdiff_t>(index));
  if (from.empty()) return std::string::npos;
  return std::min(index, from.size() - 1);
}
