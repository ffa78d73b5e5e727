#include "unit/schedule_settings.h"

#include "common/peer_names.h"
#include "common/settings.h"
#include "common/text.h"

ScheduleSettings ScheduleSettings::Read(const PlannerSettings& settings) {
  ScheduleSettings s;
  s.prepareTime = settings.Int(peer::kEnvironmentSubKey, peer::kPrepareTimeValue, 10);
  s.timeout = settings.Int(peer::kEnvironmentSubKey, peer::kTimeoutValue, 300);
  s.autoRun = settings.Int(peer::kEnvironmentSubKey, peer::kAutoRunValue, 0);
  s.messagePosition = settings.Int(peer::kEnvironmentSubKey, J(peer::kMessagePositionValue), 0);
  s.showStatus = settings.Int(peer::kEnvironmentSubKey, J(peer::kShowStatusValue), 1);
  s.dataFolder = settings.DataFolder();
  return s;
}

std::int32_t ReadTimeError(const PlannerSettings& settings) {
  return settings.Int(peer::kEnvironmentSubKey, peer::kTimeErrorValue, 0);
}
