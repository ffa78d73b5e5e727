// Folder helpers on top of the file seam.
#include "common/files.h"

#include "common/text.h"

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

std::string WithBackslash(const std::string& folder) {
  if (folder.empty()) return "\\";
  // A trailing 0x5C may be the trail byte of a double-byte character.
  std::size_t lastChar = FitToBytes(folder, folder.size() - 1);
  if (lastChar == folder.size() - 1 && folder.back() == '\\') return folder;
  return folder + "\\";
}

namespace {

// Length of the root: "C:\", "\\server\share\" or "/" (native paths).
std::size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && path[2] == '\\' ? 3 : 2;
  if (path.compare(0, 2, "\\\\") == 0) {
    std::size_t server = FindText(path, "\\", 2);
    if (server == std::string::npos) return path.size();
    std::size_t share = FindText(path, "\\", server + 1);
    return share == std::string::npos ? path.size() : share + 1;
  }
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return 1;
  return 0;
}

}  // namespace

bool CreateFolderPath(FileSystem& fs, const std::string& path) {
  std::size_t root = RootLength(path);
  if (root > 0) {
    DriveType type = fs.DriveTypeOf(path.substr(0, root));
    if (type == DriveType::Unknown || type == DriveType::NoRootDir) return false;
  }
  std::size_t pos = root;
  while (pos < path.size()) {
    std::size_t sep = FindText(path, "\\", pos);
    if (sep == std::string::npos) sep = path.size();
    if (sep > pos) {
      std::string level = path.substr(0, sep);
      if (fs.Exists(level)) {
        if (!fs.IsFolder(level)) return false;
      } else if (!fs.MakeFolder(level)) {
        return false;
      }
    }
    pos = sep + 1;
  }
  return true;
}

bool CreateParentFolders(FileSystem& fs, const std::string& filePath) {
  std::size_t cut = std::string::npos;
  for (std::size_t sep = FindText(filePath, "\\"); sep != std::string::npos; sep = FindText(filePath, "\\", sep + 1))
    cut = sep;
  if (cut == std::string::npos || cut < RootLength(filePath)) return true;
  return CreateFolderPath(fs, filePath.substr(0, cut));
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
