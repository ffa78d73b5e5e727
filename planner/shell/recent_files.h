// The recently opened guide settings files, most recent first, as the File
// menu lists them under "番組表の切り替え(&O)...". Stored at once after every
// change as the string values "File1".."File4" of the planner key's sub-key
// "Recent File List".
#pragma once
#include <cstddef>
#include <string>
#include <vector>

class PlannerSettings;

namespace recent_values {
constexpr const char* kSubKey = "Recent File List";
constexpr const char* kValueFormat = "File%zu";  // File1 ... File4
}  // namespace recent_values

class RecentFiles {
 public:
  static constexpr std::size_t kMax = 4;
  // Longer texts are no path a file dialog gives; such values are skipped.
  static constexpr std::size_t kMaxPathBytes = 259;

  // Empty, duplicate (letter case aside) and overlong values are skipped.
  static RecentFiles Load(const PlannerSettings& settings);
  // Writes File1..FileN and deletes the values of empty places.
  bool Save(PlannerSettings& settings) const;

  // The path becomes the first entry; an equal one (ASCII letter case
  // ignored, as Windows compares paths) leaves its old place; the oldest
  // beyond four is dropped.
  void Add(const std::string& path);
  // False when it was not listed.
  bool Remove(const std::string& path);
  const std::vector<std::string>& Paths() const { return paths_; }

  // The menu text of entry `index` (0-based): "&1 " and the path, its "&"
  // doubled so that it shows as written.
  static std::string MenuText(std::size_t index, const std::string& path);

 private:
  std::vector<std::string> paths_;
};
