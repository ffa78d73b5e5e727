// The planner's own "Environment" values that more than one place reads or
// writes: each name with its default, and its range where every reader takes
// a stored number outside it as the nearest bound. Reading and writing through
// these keeps the settings pages, the document and the shell in step. Names
// are source text: a Japanese one is stored as cp932 (ASCII ones as they are).
// (Values the unit reads too are named in common/peer_names.h; the planner's
// defaults for them are here, the unit keeps its own.) The title rows' own
// sub-keys are named here too.
#pragma once
#include <cstdint>
#include <string>

#include "common/peer_names.h"
#include "common/settings.h"
#include "common/text.h"

namespace planner_values {

struct IntValue {
  const char* name;
  std::int32_t fallback;
};
struct ClampedValue {
  const char* name;
  std::int32_t fallback, low, high;
};
// A choice among low..high: a stored number outside them is the default.
struct ChoiceValue {
  const char* name;
  std::int32_t fallback, low, high;
};

// --- Guide settings page, the document and the shell ---------------------
constexpr ClampedValue kEpgUpdate{"EPG Update", 60, 5, 120};  // minutes between guide checks
constexpr ClampedValue kDisplayDays{"Display days", 6, 3, 7};
constexpr IntValue kYesterday{"Yesterday", 0};                // 1: the grid starts a day earlier
constexpr ClampedValue kDayStart{"DayStart", 4, 0, 23};       // the hour a guide day begins
// --- Folder page and the reservation checks (MB; 0 switches a check off) --
constexpr IntValue kDiskLimit{"Disk space limit", 40};
constexpr IntValue kTotalLimit{"Total limit", 0};
// --- Reception page and the document (the unit's defaults differ) --------
constexpr IntValue kPrepareTime{peer::kPrepareTimeValue, 60};  // s
constexpr IntValue kTimeout{peer::kTimeoutValue, 600};         // s
constexpr IntValue kAutoRun{peer::kAutoRunValue, 0};
constexpr IntValue kShowStatus{peer::kShowStatusValue, 1};  // 0: the unit keeps its window hidden
// The corner the unit puts its window in: 0 top left .. 4 bottom right; one it
// does not know is its top left.
constexpr ChoiceValue kMessagePosition{peer::kMessagePositionValue, 0, 0, 4};
// --- Main window -----------------------------------------------------------
constexpr IntValue kWindowZoom{"Window Zoom", 1};  // 1: the frame starts maximised
constexpr IntValue kWindowIconic{"Window Iconic", 0};
// The restored rectangle as it was left, in pixels of the screen. The default
// size is at 96 dpi: the frame scales it to the screen.
constexpr IntValue kWindowLeft{"Window left", 0};
constexpr IntValue kWindowTop{"Window top", 0};
constexpr IntValue kWindowWidth{"Window Width", 640};
constexpr IntValue kWindowHeight{"Window Height", 400};
// --- The timetable's view, as the document left it -------------------------
constexpr IntValue kVZoom{"VZoomCnt", 0};
constexpr IntValue kHZoom{"HZoomCnt", 0};
constexpr IntValue kTitleKind{"TitleKind", 1};  // 1 series, 2 channel, 3 category
constexpr IntValue kFontSize{"FontSize", 16};   // the grid's size with the user's steps; 0 is the default too
// --- Title rows: one sub-key per title kind, under the planner's key -------
inline std::string TitleKey(std::int32_t kind) { return "Title\\" + std::to_string(kind); }
constexpr const char* kSortTitle = "SortTitle";  // the titles in the user's order
constexpr const char* kHideTitle = "HideTitle";  // the titles the user hid
// Each title's width, in percent of a column, is stored under the kind's key
// by the title's name; one with none stored is a column wide.
constexpr std::int32_t kTitleWidth = 100;
// --- Guide location: the document reads it, a guide settings file sets it --
constexpr const char* kGuideUrl = "EpgURL";

inline std::int32_t Read(const PlannerSettings& s, IntValue v, std::int32_t fallback) {
  return s.Int(peer::kEnvironmentSubKey, J(v.name), fallback);
}
inline std::int32_t Read(const PlannerSettings& s, IntValue v) { return Read(s, v, v.fallback); }
inline std::int32_t Read(const PlannerSettings& s, ClampedValue v, std::int32_t fallback) {
  return s.IntInRange(peer::kEnvironmentSubKey, J(v.name), fallback, v.low, v.high);
}
inline std::int32_t Read(const PlannerSettings& s, ClampedValue v) { return Read(s, v, v.fallback); }
inline std::int32_t Read(const PlannerSettings& s, ChoiceValue v) {
  const std::int32_t value = s.Int(peer::kEnvironmentSubKey, J(v.name), v.fallback);
  return value < v.low || value > v.high ? v.fallback : value;
}
// Any kind: the page that writes a value with a range has checked it.
template <class Value>
bool Write(PlannerSettings& s, const Value& v, std::int32_t value) {
  return s.SetInt(peer::kEnvironmentSubKey, J(v.name), value);
}

}  // namespace planner_values
