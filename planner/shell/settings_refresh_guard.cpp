#include "planner/shell/settings_refresh_guard.h"

#include "common/files.h"

bool RefreshGuard::Tick(FileSystem& fs, const std::string& scheduleFolder) {
  if (++count_ < kPeriod) return false;
  count_ = 0;
  if (scheduleFolder.empty()) return false;
  return fs.Find(WithBackslash(scheduleFolder) + "*.SDS").empty();
}
