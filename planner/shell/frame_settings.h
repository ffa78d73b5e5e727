// Values under the planner key that only the planner's main frame keeps: the
// two display switches of the timetable and the widths of the splitter's
// columns, all DWORDs under "Environment".
#pragma once
#include <cstdint>

class PlannerSettings;

namespace frame_values {
constexpr const char* kReserveButtons = "Reserve Buttons";  // 1: the grid draws reserve buttons
constexpr const char* kHoverFeedback = "Hover Feedback";    // 1: hover raise, pointer shapes, name bubble
constexpr const char* kReserveWidth = "Reserve Width";      // the reservation column's width when shown
constexpr const char* kTimeScaleWidth = "Time Scale Width";  // the time scale's width
}  // namespace frame_values

// The timetable's two switches; both on unless stored as 0.
struct DisplaySwitches {
  bool reserveButtons = true;
  bool hoverFeedback = true;
};
DisplaySwitches ReadDisplaySwitches(const PlannerSettings& settings);
bool WriteDisplaySwitches(PlannerSettings& settings, const DisplaySwitches& switches);
