#include "planner/guide/planner_log.h"
#include "common/files.h"

bool AppendPlannerLog(FileSystem& fs, const std::string& scheduleFolder, const std::string& message, Time32 now) {
  auto file = fs.Open(WithBackslash(scheduleFolder) + "Tavora.log", OpenMode::WriteExisting);
  if (!file) return false;
  const std::string line = FormatLocalTime(now, "%Y/%m/%d %X") + "\t" + message + "\r\n";
  return file->Write(line.data(), line.size());
}
