#include "common/storage_folder.h"

#include "common/path.h"
#include "common/safe_name.h"

HolderProblem StorageFolderForHolder(const std::string& dataFolder, const std::string& holder,
                                     std::string* folder) {
  // One trailing separator is how a folder is often written; it names the same folder.
  const std::string name = WithoutTrailingSeparator(holder);
  if (name.empty()) return HolderProblem::Empty;
  if (!IsSafeRelativePath(name)) return HolderProblem::Unsafe;
  const std::string joined = JoinPath(dataFolder, name);
  if (!IsInsideDataFolder(dataFolder, joined)) return HolderProblem::Unsafe;
  if (joined.size() > kMaxStorageFolderBytes) return HolderProblem::TooLong;
  *folder = joined;
  return HolderProblem::None;
}

const char* HolderProblemText(HolderProblem problem) {
  switch (problem) {
    case HolderProblem::None: return "fits";
    case HolderProblem::Empty: return "is empty";
    case HolderProblem::Unsafe: return "names a place outside the data folder or a name no folder can have";
    case HolderProblem::TooLong: return "makes a folder longer than a reservation can hold";
  }
  return "is refused";
}

bool IsInsideDataFolder(const std::string& dataFolder, const std::string& folder) {
  // "\" alone is a native test tree's root ("/tmp/..."); a bare "C:" names the
  // drive's current folder, which is no place to trust.
  const std::size_t root = PathRootLength(dataFolder);
  if (root == 0 || root == 2) return false;
  return IsPathInside(dataFolder, folder);
}
