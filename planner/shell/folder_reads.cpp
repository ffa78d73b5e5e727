#include "planner/shell/folder_reads.h"

#include "common/files.h"
#include "common/path.h"

std::vector<std::string> ReadSubFolders(FileSystem& fs, const std::string& folder) {
  std::vector<std::string> names;
  for (const FoundFile& f : fs.Find(JoinPath(folder, "*")))
    if (f.isFolder && f.name != "." && f.name != "..") names.push_back(f.name);
  return names;
}

bool LatestRequest::Ask(const std::string& key) {
  wanted_ = key;
  wanting_ = true;
  if (running_) return false;
  running_ = true;
  reading_ = key;
  return true;
}

bool LatestRequest::Answered(const std::string& key, std::string* next) {
  next->clear();
  // Not the read under way: an answer of a question given up long ago.
  if (!running_ || key != reading_) return false;
  running_ = false;
  const bool current = wanting_ && key == wanted_;
  if (wanting_ && !current) {
    running_ = true;
    reading_ = wanted_;
    *next = wanted_;
  }
  return current;
}

void LatestRequest::Forget() { wanting_ = false; }
