// The periodic full refresh of the planner: every 300th timer command the
// schedule folder is checked for "*.SDS" files; while one exists the refresh
// is skipped (another component is writing the schedule).
#pragma once
#include <string>

class FileSystem;

class RefreshGuard {
 public:
  static constexpr int kPeriod = 300;
  // Counts one timer command; true when the full refresh should run now.
  bool Tick(FileSystem& fs, const std::string& scheduleFolder);
  int Count() const { return count_; }

 private:
  int count_ = 0;
};
