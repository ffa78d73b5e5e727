// Folder helpers on top of the file seam.
#include "common/files.h"

#include "common/path.h"

bool FileSystem::ReadAll(const std::string& path, std::string* data) {
  auto f = Open(path, OpenMode::Read);
  if (!f) return false;
  data->clear();
  char buffer[65536];
  for (std::size_t n; (n = f->Read(buffer, sizeof buffer)) > 0;) data->append(buffer, n);
  return true;
}

bool FileSystem::WriteAll(const std::string& path, const std::string& data) {
  auto f = Open(path, OpenMode::CreateReadWrite);
  return f && f->Write(data.data(), data.size());
}

bool FileSystem::WriteAllReplacing(const std::string& path, const std::string& data) {
  // Beside the target, so that the replace stays on one volume; on disk before
  // it replaces anything.
  const std::string temp = path + ".~new";
  bool written = false;
  if (auto f = Open(temp, OpenMode::CreateReadWrite)) {
    written = f->Write(data.data(), data.size()) && f->Flush();
    f->Close();
  }
  if (!written || !Replace(temp, path)) {
    Remove(temp);
    return false;
  }
  return true;
}

std::string WithBackslash(const std::string& folder) { return WithTrailingSeparator(folder); }

bool CreateFolderPath(FileSystem& fs, const std::string& path) {
  // The volume must be there: a missing drive or share is no folder to make.
  if (const std::size_t root = PathRootLength(path)) {
    DriveType type = fs.DriveTypeOf(WithTrailingSeparator(path.substr(0, root)));
    if (type == DriveType::Unknown || type == DriveType::NoRootDir) return false;
  }
  // Every level is a prefix of the path as written, from the top down.
  std::vector<std::string> levels;
  for (std::string level = WithoutTrailingSeparator(path); level.size() > PathRootLength(level);
       level = ParentFolder(level))
    levels.push_back(level);
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
    if (fs.Exists(*level)) {
      if (!fs.IsFolder(*level)) return false;
    } else if (!fs.MakeFolder(*level)) {
      return false;
    }
  }
  return true;
}

bool CreateParentFolders(FileSystem& fs, const std::string& filePath) {
  const std::string parent = ParentFolder(filePath);
  if (parent.empty() || parent.size() <= PathRootLength(parent)) return true;
  return CreateFolderPath(fs, parent);
}

bool ClearFolder(FileSystem& fs, const std::string& folder) {
  const std::string base = WithBackslash(folder);
  bool ok = true;
  for (const FoundFile& f : fs.Find(base + "*")) {
    if (f.name == "." || f.name == "..") continue;
    const std::string path = base + f.name;
    if (f.link) {
      // A junction goes with RemoveDirectory, a file link with DeleteFile.
      ok = (fs.Remove(path) || fs.RemoveFolder(path)) && ok;
    } else if (f.isFolder) {
      ok = ClearFolder(fs, path) && fs.RemoveFolder(path) && ok;
    } else {
      ok = fs.Remove(path) && ok;
    }
  }
  return ok;
}
