// The unit's reception settings from "Environment" under the planner's key.
#pragma once
#include <cstdint>
#include <string>

class PlannerSettings;

struct ScheduleSettings {
  std::int32_t prepareTime = 10;     // "Prepare Time"
  std::int32_t timeout = 300;        // "Timeout"
  std::int32_t autoRun = 0;          // "AutoRun"
  std::int32_t messagePosition = 0;  // "受信メッセージ位置"
  std::int32_t showStatus = 1;       // "受信状況表示"
  std::string dataFolder;            // "path"/"DataPath": the only place a folder is cleared in

  static ScheduleSettings Read(const PlannerSettings& settings);
};

// "TimeError": calibration offset in seconds, 0 when missing.
std::int32_t ReadTimeError(const PlannerSettings& settings);
