#include "unit/schedule_settings.h"

#include "common/settings.h"
#include "common/text.h"

ScheduleSettings ScheduleSettings::Read(const PlannerSettings& settings) {
  ScheduleSettings s;
  s.prepareTime = settings.Int("Environment", "Prepare Time", 10);
  s.timeout = settings.Int("Environment", "Timeout", 300);
  s.autoRun = settings.Int("Environment", "AutoRun", 0);
  s.messagePosition = settings.Int("Environment", J(u8"受信メッセージ位置"), 0);
  s.showStatus = settings.Int("Environment", J(u8"受信状況表示"), 1);
  return s;
}

std::int32_t ReadTimeError(const PlannerSettings& settings) {
  return settings.Int("Environment", "TimeError", 0);
}
