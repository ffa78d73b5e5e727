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

// What the shell reads once at start, before the document. The reservation
// list is matched to the guide's broadcast days by the day start hour, so it
// must be the grid's: a stored hour outside 0..23 (another program may write
// one) is taken as the document and the guide page take it.
struct StartValues {
  std::int32_t dayStartHour = 4;
  DisplaySwitches display;
};
StartValues ReadStartValues(const PlannerSettings& settings);
