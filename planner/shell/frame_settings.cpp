#include "planner/shell/frame_settings.h"

#include "common/peer_names.h"
#include "common/settings.h"
#include "planner/planner_values.h"

namespace {
const char* const kEnv = peer::kEnvironmentSubKey;
}

DisplaySwitches ReadDisplaySwitches(const PlannerSettings& settings) {
  DisplaySwitches s;
  s.reserveButtons = settings.Int(kEnv, frame_values::kReserveButtons, 1) != 0;
  s.hoverFeedback = settings.Int(kEnv, frame_values::kHoverFeedback, 1) != 0;
  return s;
}

StartValues ReadStartValues(const PlannerSettings& settings) {
  StartValues v;
  v.dayStartHour = planner_values::Read(settings, planner_values::kDayStart);
  v.display = ReadDisplaySwitches(settings);
  return v;
}

bool WriteDisplaySwitches(PlannerSettings& settings, const DisplaySwitches& switches) {
  const bool buttons = settings.SetInt(kEnv, frame_values::kReserveButtons, switches.reserveButtons ? 1 : 0);
  const bool hover = settings.SetInt(kEnv, frame_values::kHoverFeedback, switches.hoverFeedback ? 1 : 0);
  return buttons && hover;
}
