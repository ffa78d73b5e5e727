// FileList.mls reading and the deletion of received content.
#include "planner/history/file_list.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <set>

#include "common/debug_log.h"
#include "common/files.h"
#include "common/path.h"
#include "common/safe_name.h"
#include "common/text.h"

namespace {

std::string TrimLine(std::string line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == '\t')) line.pop_back();
  std::size_t from = 0;
  while (from < line.size() && (line[from] == '\r' || line[from] == '\n' || line[from] == '\t')) ++from;
  return line.substr(from);
}

// Folder part of a relative path ("a\b\f.txt" -> "a\b"), empty for a file at the top.
std::string DirectoryPart(const std::string& path) {
  const std::size_t cut = LastSeparator(path);
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

int Depth(const std::string& relative) {
  return std::max<int>(1, static_cast<int>(PathComponents(relative).size()));
}

// Removes folder\relative and then each parent level while the removal succeeds;
// the storage folder itself is left to the caller.
void RemoveEmptyLevels(FileSystem& fs, const std::string& folder, std::string relative) {
  while (!relative.empty()) {
    if (!fs.RemoveFolder(folder + relative)) return;
    relative = DirectoryPart(relative);
  }
}

}  // namespace

std::int32_t ParseFileListSize(const std::string& data) {
  std::string first = data.substr(0, std::min(data.size(), kFileListSizeBytes));
  first = first.substr(0, first.find('\n'));
  first = TrimLine(first);
  long long value = 0;
  for (char c : first) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(value);
}

FileList ParseFileList(const std::string& data) {
  FileList list;
  list.totalBytes = ParseFileListSize(data);
  std::size_t pos = data.find('\n');
  while (pos != std::string::npos) {
    std::size_t next = data.find('\n', pos + 1);
    std::string line = TrimLine(data.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1));
    pos = next;
    if (line.empty()) continue;
    if (IsSafeRelativePath(line)) list.files.push_back(line);
    else ++list.refusedLines;
  }
  return list;
}

bool ReadFileList(FileSystem& fs, const std::string& storageFolder, FileList* list) {
  const std::string path = storageFolder + kFileListName;
  std::vector<FoundFile> found = fs.Find(path);
  if (found.empty() || found[0].isFolder) return false;
  if (found[0].size > kMaxFileListBytes) {
    DebugOut(path + " is too large to be a file list; not read\n");
    return false;
  }
  std::string data;
  if (!fs.ReadAll(path, &data)) return false;
  *list = ParseFileList(data);
  return true;
}

bool IsAbsoluteFolder(const std::string& folder) {
  return IsAbsolutePath(folder) || (PathRootLength(folder) == 1 && folder[0] == '/');
}

ContentDeletion DeleteContentFiles(FileSystem& fs, const std::string& storageFolder) {
  ContentDeletion result;
  if (!IsAbsoluteFolder(storageFolder)) {
    DebugOut("content not deleted: storage folder \"" + storageFolder + "\" is not absolute\n");
    return result;
  }
  const std::string folder = WithBackslash(storageFolder);
  FileList list;
  if (ReadFileList(fs, folder, &list)) {
    result.refusedLines = list.refusedLines;
    if (list.refusedLines > 0) {
      DebugPrintf("%s%s: %d lines outside the storage folder were not deleted\n", folder.c_str(), kFileListName,
                  list.refusedLines);
    }
    std::set<std::string> folders;
    for (const std::string& file : list.files) {
      if (fs.Remove(folder + file)) {
        ++result.filesDeleted;
      } else {
        ++result.filesLeft;
        if (fs.Exists(folder + file)) result.left.push_back(folder + file);
      }
      const std::string dir = DirectoryPart(file);
      if (!dir.empty()) folders.insert(dir);
    }
    // Deepest first, so that a folder emptied by its sub-folders goes too.
    std::vector<std::string> ordered(folders.begin(), folders.end());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    for (const std::string& dir : ordered) RemoveEmptyLevels(fs, folder, dir);
  }
  if (!fs.Remove(folder + kFileListName) && fs.Exists(folder + kFileListName))
    result.left.push_back(folder + kFileListName);
  result.folderRemoved = fs.RemoveFolder(folder);
  return result;
}
