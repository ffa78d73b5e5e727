#include "planner/shell/settings_folder_rules.h"

#include <cstring>

#include "common/path.h"
#include "common/text.h"

namespace {

// Whether some component below the root is empty ("C:\DATA\\x"): such a text
// names no folder the user chose.
bool HasEmptyComponent(const std::string& path) {
  const std::size_t root = PathRootLength(path);
  std::string rest = WithoutTrailingSeparator(path);
  while (rest.size() > root) {
    const std::size_t last = LastSeparator(rest);
    if (last == std::string::npos || last < root) return false;
    rest.resize(last);
    if (rest.size() > root && EndsWithSeparator(rest)) return true;
  }
  return false;
}

}  // namespace

bool IsAbsoluteFolderText(const std::string& folder) {
  if (folder.size() < 3) return false;
  return folder[1] == ':' || folder.compare(0, 2, "\\\\") == 0;
}

std::string WithoutTrailingBackslash(const std::string& folder) { return WithoutTrailingSeparator(folder); }

std::string UpperFolder(const std::string& folder) { return AsciiUpper(folder); }

bool IsInsideFolder(const std::string& root, const std::string& folder) {
  if (root.empty() || folder.empty() || HasEmptyComponent(folder)) return false;
  return IsPathInside(root, folder);
}

bool IsFolderNameAllowed(const std::string& name) {
  if (name.empty() || IsDotComponent(name) || LastSeparator(name) != std::string::npos) return false;
  // Characters, not bytes: the trail byte of 予 is "\" and that of others "|".
  for (std::size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsLeadByte(c) && i + 1 < name.size()) {
      ++i;
      continue;
    }
    if (c < 0x20 || std::strchr(":*?\"<>|", c)) return false;
  }
  // Windows drops a trailing dot or blank: the folder would get another name.
  return name.back() != '.' && name.back() != ' ';
}
