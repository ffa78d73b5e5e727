// The file seam natively: cp932 paths with "\" become UTF-8 paths with "/".
#include "common/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "common/path.h"
#include "common/text.h"

namespace {

std::string NativePath(const std::string& path) {
  std::string mapped = path;
  for (std::size_t i = 0; i < mapped.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(mapped[i]))) ++i;  // 0x5C trail bytes stay
    else if (mapped[i] == '\\') mapped[i] = '/';
  }
  return Cp932ToUtf8(mapped);
}

class PosixFile : public FileStream {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { Close(); }
  bool Write(const void* data, std::size_t size) override {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      ssize_t n = ::write(fd_, p, size);
      if (n <= 0) return false;
      p += n;
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }
  std::size_t Read(void* data, std::size_t size) override {
    std::size_t total = 0;
    while (total < size) {
      ssize_t n = ::read(fd_, static_cast<char*>(data) + total, size - total);
      if (n <= 0) break;
      total += static_cast<std::size_t>(n);
    }
    return total;
  }
  bool Seek(std::uint64_t offset) override { return lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0; }
  // The data is with the kernel after write(); no fsync per flush natively.
  bool Flush() override { return fd_ >= 0; }
  void Close() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

int OpenFlags(OpenMode mode) {
  switch (mode) {
    case OpenMode::Read: return O_RDONLY;
    case OpenMode::CreateReadWrite: return O_RDWR | O_CREAT | O_TRUNC;
    case OpenMode::ReadWrite: return O_RDWR;
    case OpenMode::WriteExisting: return O_WRONLY | O_APPEND;
  }
  return O_RDONLY;
}

// Splits "folder\pattern" into the folder (with its separator) and the pattern.
void SplitPattern(const std::string& pattern, std::string* folder, std::string* name) {
  // Natively "/" separates too: a pattern may come from a shell.
  const std::size_t cut = LastSeparator(pattern);
  *folder = cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
  *name = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
}

class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<FileStream> Open(const std::string& path, OpenMode mode) override {
    int fd = ::open(NativePath(path).c_str(), OpenFlags(mode) | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixFile>(fd);
  }
  std::vector<FoundFile> Find(const std::string& pattern) override {
    std::string folder, name;
    SplitPattern(pattern, &folder, &name);
    std::vector<FoundFile> found;
    std::string base = NativePath(folder.empty() ? "." : folder);
    DIR* dir = opendir(base.c_str());
    if (!dir) return found;
    const std::string utf8Pattern = Cp932ToUtf8(name);
    while (dirent* e = readdir(dir)) {
      std::string entry = e->d_name;
      if (entry == "." || entry == "..") continue;
      if (fnmatch(utf8Pattern.c_str(), entry.c_str(), FNM_CASEFOLD) != 0) continue;
      struct stat st {};
      struct stat own {};
      const std::string full = base + "/" + entry;
      if (lstat(full.c_str(), &own) != 0) continue;
      // A dangling link still names an entry (its own attributes).
      if (stat(full.c_str(), &st) != 0) st = own;
      FoundFile f;
      f.link = S_ISLNK(own.st_mode);
      f.name = Utf8ToCp932(entry);
      f.isFolder = S_ISDIR(st.st_mode);
      f.hidden = entry[0] == '.';
      f.size = static_cast<std::uint64_t>(st.st_size);
      f.lastWrite = static_cast<Time32>(st.st_mtime);
      found.push_back(f);
    }
    closedir(dir);
    return found;
  }
  bool Remove(const std::string& path) override { return ::unlink(NativePath(path).c_str()) == 0; }
  bool RemoveFolder(const std::string& path) override { return ::rmdir(NativePath(path).c_str()) == 0; }
  bool CopyTo(const std::string& from, const std::string& to, bool overwrite) override {
    std::string data;
    if (!overwrite && Exists(to)) return false;
    return ReadAll(from, &data) && WriteAll(to, data);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    // Like MoveFile: an existing target is not replaced.
    if (Exists(to)) return false;
    return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
  }
  bool Replace(const std::string& from, const std::string& to) override {
    return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
  }
  bool MakeFolder(const std::string& path) override { return ::mkdir(NativePath(path).c_str(), 0755) == 0; }
  bool Exists(const std::string& path) override {
    struct stat st {};
    return stat(NativePath(path).c_str(), &st) == 0;
  }
  bool IsFolder(const std::string& path) override {
    struct stat st {};
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  bool LastWriteTime(const std::string& path, Time32* t) override {
    struct stat st {};
    if (stat(NativePath(path).c_str(), &st) != 0) return false;
    *t = static_cast<Time32>(st.st_mtime);
    return true;
  }
  bool SetLastWriteTime(const std::string& path, Time32 t) override {
    timespec times[2] = {{0, UTIME_OMIT}, {t, 0}};
    return utimensat(AT_FDCWD, NativePath(path).c_str(), times, 0) == 0;
  }
  DriveType DriveTypeOf(const std::string& root) override {
    return IsFolder(root) ? DriveType::Fixed : DriveType::NoRootDir;
  }
  bool FreeSpace(const std::string& path, std::uint64_t* bytes) override {
    struct statvfs st {};
    if (statvfs(NativePath(path).c_str(), &st) != 0) return false;
    *bytes = static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
    return true;
  }
};

}  // namespace

FileSystem& PlatformFiles() {
  static PosixFileSystem files;
  return files;
}
