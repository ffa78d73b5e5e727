// The planner's own "Environment" values that more than one place reads or
// writes: each name with its default, and its range where every reader takes
// a stored number outside it as the nearest bound. Reading and writing through
// these keeps the settings pages, the document and the shell in step.
// (Values the unit reads too are named in common/peer_names.h; the planner's
// defaults for them are here, the unit keeps its own.)
#pragma once
#include <cstdint>

#include "common/peer_names.h"
#include "common/settings.h"

namespace planner_values {

struct IntValue {
  const char* name;
  std::int32_t fallback;
};
struct ClampedValue {
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
// --- Main window -----------------------------------------------------------
constexpr IntValue kWindowZoom{"Window Zoom", 1};  // 1: the frame starts maximised
// --- Guide location: the document reads it, a guide settings file sets it --
constexpr const char* kGuideUrl = "EpgURL";

inline std::int32_t Read(const PlannerSettings& s, IntValue v) {
  return s.Int(peer::kEnvironmentSubKey, v.name, v.fallback);
}
inline std::int32_t Read(const PlannerSettings& s, ClampedValue v, std::int32_t fallback) {
  return s.IntInRange(peer::kEnvironmentSubKey, v.name, fallback, v.low, v.high);
}
inline std::int32_t Read(const PlannerSettings& s, ClampedValue v) { return Read(s, v, v.fallback); }
// Either kind: the page that writes a clamped value has checked its range.
template <class Value>
bool Write(PlannerSettings& s, const Value& v, std::int32_t value) {
  return s.SetInt(peer::kEnvironmentSubKey, v.name, value);
}

}  // namespace planner_values
