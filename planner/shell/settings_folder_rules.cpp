#include "planner/shell/settings_folder_rules.h"

#include <vector>

#include "common/path.h"
#include "common/text.h"

namespace {

// The components between "\" separators; cp932 trail bytes are no separators.
std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(c) && i + 1 < path.size()) {
      parts.back() += path.substr(i, 2);
      ++i;
    } else if (c == '\\' || c == '/') {
      parts.emplace_back();
    } else {
      parts.back() += static_cast<char>(c);
    }
  }
  return parts;
}

}  // namespace

bool IsAbsoluteFolderText(const std::string& folder) {
  if (folder.size() < 3) return false;
  return folder[1] == ':' || folder.compare(0, 2, "\\\\") == 0;
}

std::string WithoutTrailingBackslash(const std::string& folder) { return WithoutTrailingSeparator(folder); }

std::string UpperFolder(const std::string& folder) { return AsciiUpper(folder); }

bool IsInsideFolder(const std::string& root, const std::string& folder) {
  if (root.empty() || folder.empty()) return false;
  std::vector<std::string> r = Components(UpperFolder(WithoutTrailingBackslash(root)));
  std::vector<std::string> f = Components(UpperFolder(WithoutTrailingBackslash(folder)));
  if (r.size() == 2 && r.back().empty()) r.pop_back();  // "C:\" as a root
  if (f.size() <= r.size()) return false;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (IsDotComponent(f[i])) return false;
    if (i < r.size() && (IsDotComponent(r[i]) || f[i] != r[i])) return false;
  }
  // Empty components (doubled separators) below the root name nothing.
  for (std::size_t i = r.size(); i < f.size(); ++i) {
    if (f[i].empty()) return false;
  }
  return true;
}
