// The file seam on Windows: the W functions, paths converted from cp932.
#include "common/files.h"

#include <windows.h>

#include <utility>

#include "common/text.h"
#include "common/win/scoped_win.h"

namespace {

constexpr std::uint64_t kEpochDifference = 116444736000000000ull;  // 1601 to 1970 in 100 ns

Time32 ToTime32(const FILETIME& ft) {
  std::uint64_t v = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<Time32>((static_cast<std::int64_t>(v) - static_cast<std::int64_t>(kEpochDifference)) / 10000000);
}

FILETIME ToFileTime(Time32 t) {
  std::uint64_t v = static_cast<std::uint64_t>(static_cast<std::int64_t>(t) * 10000000 + kEpochDifference);
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(v);
  ft.dwHighDateTime = static_cast<DWORD>(v >> 32);
  return ft;
}

std::wstring W(const std::string& path) { return Cp932ToWide(path); }

class Win32File : public FileStream {
 public:
  explicit Win32File(ScopedFile h) : handle_(std::move(h)) {}
  ~Win32File() override { Close(); }
  bool Write(const void* data, std::size_t size) override {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size), written = 0;
      if (!WriteFile(handle_.Get(), p, chunk, &written, nullptr) || written == 0) return false;
      p += written;
      size -= written;
    }
    return true;
  }
  std::size_t Read(void* data, std::size_t size) override {
    std::size_t total = 0;
    while (total < size) {
      DWORD chunk = size - total > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size - total), got = 0;
      if (!ReadFile(handle_.Get(), static_cast<char*>(data) + total, chunk, &got, nullptr) || got == 0) break;
      total += got;
    }
    return total;
  }
  bool Seek(std::uint64_t offset) override {
    LARGE_INTEGER li;
    li.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(handle_.Get(), li, nullptr, FILE_BEGIN) != 0;
  }
  bool Flush() override { return FlushFileBuffers(handle_.Get()) != 0; }
  void Close() override { handle_.Reset(); }

 private:
  ScopedFile handle_;
};

struct ModeFlags {
  DWORD access;
  DWORD disposition;
};

ModeFlags Flags(OpenMode mode) {
  switch (mode) {
    case OpenMode::Read: return {GENERIC_READ, OPEN_EXISTING};
    case OpenMode::CreateReadWrite: return {GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS};
    case OpenMode::ReadWrite: return {GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING};
    case OpenMode::WriteExisting: return {GENERIC_WRITE, OPEN_EXISTING};
  }
  return {GENERIC_READ, OPEN_EXISTING};
}

FoundFile ToFound(const WIN32_FIND_DATAW& d) {
  FoundFile f;
  f.name = WideToCp932(d.cFileName);
  f.isFolder = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  f.hidden = (d.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
  f.link = (d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  f.size = (static_cast<std::uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  f.lastWrite = ToTime32(d.ftLastWriteTime);
  return f;
}

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<FileStream> Open(const std::string& path, OpenMode mode) override {
    ModeFlags f = Flags(mode);
    ScopedFile h(CreateFileW(W(path).c_str(), f.access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             f.disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return nullptr;
    if (mode == OpenMode::WriteExisting) SetFilePointer(h.Get(), 0, nullptr, FILE_END);
    return std::make_unique<Win32File>(std::move(h));
  }
  std::vector<FoundFile> Find(const std::string& pattern) override {
    std::vector<FoundFile> found;
    WIN32_FIND_DATAW d;
    const ScopedFind h(FindFirstFileW(W(pattern).c_str(), &d));
    if (!h) return found;
    do {
      if (wcscmp(d.cFileName, L".") != 0 && wcscmp(d.cFileName, L"..") != 0) found.push_back(ToFound(d));
    } while (FindNextFileW(h.Get(), &d));
    return found;
  }
  bool Remove(const std::string& path) override {
    std::wstring w = W(path);
    DWORD attributes = GetFileAttributesW(w.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
      SetFileAttributesW(w.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileW(w.c_str()) != 0;
  }
  bool RemoveFolder(const std::string& path) override { return RemoveDirectoryW(W(path).c_str()) != 0; }
  bool CopyTo(const std::string& from, const std::string& to, bool overwrite) override {
    return CopyFileW(W(from).c_str(), W(to).c_str(), overwrite ? FALSE : TRUE) != 0;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    return MoveFileW(W(from).c_str(), W(to).c_str()) != 0;
  }
  bool Replace(const std::string& from, const std::string& to) override {
    return MoveFileExW(W(from).c_str(), W(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  bool MakeFolder(const std::string& path) override { return CreateDirectoryW(W(path).c_str(), nullptr) != 0; }
  bool Exists(const std::string& path) override { return GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES; }
  bool IsFolder(const std::string& path) override {
    DWORD a = GetFileAttributesW(W(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool LastWriteTime(const std::string& path, Time32* t) override {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &d)) return false;
    *t = ToTime32(d.ftLastWriteTime);
    return true;
  }
  bool SetLastWriteTime(const std::string& path, Time32 t) override {
    const ScopedFile h(CreateFileW(W(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h) return false;
    const FILETIME ft = ToFileTime(t);
    return SetFileTime(h.Get(), nullptr, nullptr, &ft) != 0;
  }
  DriveType DriveTypeOf(const std::string& root) override {
    return static_cast<DriveType>(GetDriveTypeW(W(root).c_str()));
  }
  bool FreeSpace(const std::string& path, std::uint64_t* bytes) override {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(W(path).c_str(), &available, nullptr, nullptr)) return false;
    *bytes = available.QuadPart;
    return true;
  }
};

}  // namespace

FileSystem& PlatformFiles() {
  static Win32FileSystem files;
  return files;
}
