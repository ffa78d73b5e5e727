// Title rows: one column of the timetable per channel, series or category,
// the user's display filter that decides which programs are shown, the stored
// order, hiding and widths of the titles, and the lanes of overlapping programs.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "planner/planner_values.h"

struct GuideProgram;
class PlannerSettings;

// A lane cluster never grows beyond this many lanes.
constexpr int kMaxTitleLanes = 20;
// A dragged column never gets narrower than this (percent of the column unit).
constexpr std::int32_t kMinWidthPercent = 10;
// A stored width beyond this is damaged: twenty full lanes is the widest a
// column can usefully be.
constexpr std::int32_t kMaxWidthPercent = planner_values::kTitleWidth * kMaxTitleLanes;

enum TitleKind : std::int32_t { kTitleSeries = 1, kTitleChannel = 2, kTitleCategory = 3 };

struct TitleRow {
  std::int32_t order = 0;          // -1: hidden
  std::int32_t widthPercent = planner_values::kTitleWidth;
  std::int32_t widened = 0;
  std::string name;
  std::vector<GuideProgram*> programs;  // in guide-list order
};

enum DisplayRuleKind : std::int32_t { kFilterChannel = 0, kFilterSeries = 1, kFilterCategory = 2 };

struct DisplayRule {
  std::int32_t kind = 0;
  std::int32_t flag = 1;  // 1 hide; 0 (categories only) show only programs that match
  std::string value;
};
using DisplayRules = std::vector<DisplayRule>;

// The registry texts of the display rules and their reader and writer.
struct DisplayRuleTexts {
  std::string channels, series, categories;
  std::int32_t categoryExcept = 1;
};
DisplayRules ParseDisplayRules(const DisplayRuleTexts& texts);
DisplayRuleTexts FormatDisplayRules(const DisplayRules& rules);
DisplayRules ReadDisplayRules(const PlannerSettings& settings);
void WriteDisplayRules(PlannerSettings& settings, const DisplayRules& rules);

// Whether the program passes the display rules (the rules in list order;
// hiding always wins over a category selection).
bool IsShown(const DisplayRules& rules, const GuideProgram& p);

// The title a program is filed under for a title kind.
const std::string& TitleOf(const GuideProgram& p, std::int32_t kind);

struct TitleRowInput {
  std::int32_t kind = kTitleSeries;
  std::string sortTitle;   // "\tB\tA\t"
  std::string hideTitle;
  bool filterOn = false;
  const DisplayRules* rules = nullptr;
  // Stored width percent of a title; absent: planner_values::kTitleWidth.
  std::function<std::int32_t(const std::string&)> storedWidth;
};

// Rows from the guide list in display order, hidden titles and filtered
// programs left out, lanes laid out.
std::vector<TitleRow> BuildTitleRows(const std::vector<GuideProgram*>& guide, const TitleRowInput& input);

// Lanes of one row's programs (guide-list order).
void LayOutLanes(const std::vector<GuideProgram*>& programs);

// A stored width as the rows take it: missing gives a column, damaged values are
// brought into the range a column can have.
std::int32_t SaneWidthPercent(std::int32_t stored);

// Double-click on a heading: widen to the row's lanes, or back to one column.
void ToggleWidened(TitleRow& row);
// Width after dragging the right border to x.
std::int32_t DraggedWidthPercent(std::int32_t releaseX, std::int32_t columnLeft, std::int32_t columnUnit);

// The title order dialog: listed names (empty names are not listed), the
// sortTitle its OK stores, and the window-title suffix of the kind.
std::vector<std::string> ListedTitles(const std::vector<TitleRow>& rows);
std::string SortTitleFrom(const std::vector<std::string>& names);
const char* TitleOrderSuffixUtf8(std::int32_t kind);
// Moves item `index` one place up (-1) or down (+1); returns its new index.
std::size_t MoveListItem(std::vector<std::string>& items, std::size_t index, int direction);

// The program filter dialog's lists.
struct FilterLists {
  std::vector<std::string> hiddenChannels, shownChannels;     // 1016, 1023
  std::vector<std::string> hiddenSeries, shownSeries;         // 1018, 1024
  std::vector<std::string> selectedCats, unselectedCats;      // 1022, 1025
  std::int32_t categoryFlag = 1;                              // 1020 = 0, 1021 = 1
};
FilterLists OpenFilterLists(const DisplayRules& rules, const std::vector<GuideProgram*>& guide);
DisplayRules RulesFromFilterLists(const FilterLists& lists);
// Moves item `index` of `from` to the end of `to`; returns the index `from`
// selects next (the same position, or the last item; npos when it is empty).
std::size_t MoveBetween(std::vector<std::string>& from, std::vector<std::string>& to, std::size_t index);
