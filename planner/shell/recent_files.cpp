#include "planner/shell/recent_files.h"

#include <algorithm>
#include <cstdio>
#include "common/settings.h"
#include "common/text.h"

namespace {
std::string ValueName(std::size_t index) {
  char name[16];
  std::snprintf(name, sizeof name, recent_values::kValueFormat, index + 1);
  return name;
}

bool SamePath(const std::string& a, const std::string& b) { return AsciiUpper(a) == AsciiUpper(b); }
}  // namespace

RecentFiles RecentFiles::Load(const PlannerSettings& settings) {
  RecentFiles files;
  for (std::size_t i = 0; i < kMax; ++i) {
    const std::string path = settings.WholeText(recent_values::kSubKey, ValueName(i));
    if (path.empty() || path.size() > kMaxPathBytes) continue;
    const bool listed = std::any_of(files.paths_.begin(), files.paths_.end(),
                                    [&path](const std::string& p) { return SamePath(p, path); });
    if (!listed) files.paths_.push_back(path);
  }
  return files;
}

bool RecentFiles::Save(PlannerSettings& settings) const {
  bool ok = true;
  for (std::size_t i = 0; i < kMax; ++i) {
    // An empty text deletes the value of a place no longer used.
    const std::string path = i < paths_.size() ? paths_[i] : std::string();
    ok = settings.SetText(recent_values::kSubKey, ValueName(i), path) && ok;
  }
  return ok;
}

void RecentFiles::Add(const std::string& path) {
  if (path.empty() || path.size() > kMaxPathBytes) return;
  Remove(path);
  paths_.insert(paths_.begin(), path);
  if (paths_.size() > kMax) paths_.resize(kMax);
}

bool RecentFiles::Remove(const std::string& path) {
  const auto old = std::remove_if(paths_.begin(), paths_.end(), [&path](const std::string& p) { return SamePath(p, path); });
  const bool found = old != paths_.end();
  paths_.erase(old, paths_.end());
  return found;
}

std::string RecentFiles::MenuText(std::size_t index, const std::string& path) {
  std::string text = "&" + std::to_string(index + 1) + " ";
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    // The second byte of a double-byte character is never an ampersand of its own.
    if (IsLeadByte(c) && i + 1 < path.size()) {
      text += path.substr(i, 2);
      ++i;
      continue;
    }
    if (c == '&') text += '&';
    text += static_cast<char>(c);
  }
  return text;
}
