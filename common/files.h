// The file seam. Paths are cp932 texts with "\" separators; the POSIX side maps
// "\" to "/" so that the same core code runs natively and under Wine.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "time_text.h"

// One open file. (Not named OpenFile: <windows.h> declares a function of that name.)
class FileStream {
 public:
  virtual ~FileStream() = default;
  virtual bool Write(const void* data, std::size_t size) = 0;  // all or failure
  virtual std::size_t Read(void* data, std::size_t size) = 0;  // bytes read, 0 at end/error
  virtual bool Seek(std::uint64_t offset) = 0;
  virtual bool Flush() = 0;
  virtual void Close() = 0;                                    // also done by the destructor
};
struct FoundFile {
  std::string name;        // the name only, without folder
  bool isFolder = false;
  bool hidden = false;     // hidden or system attribute
  bool link = false;       // a symbolic link or junction (a reparse point): isFolder tells its target's kind
  std::uint64_t size = 0;
  Time32 lastWrite = 0;
};

enum class OpenMode {
  Read,            // existing file, read only
  CreateReadWrite, // create or truncate
  ReadWrite,       // existing file, no truncation
  WriteExisting,   // existing file, write only, position at the end (a log)
};

// GetDriveTypeA's answers.
enum class DriveType { Unknown = 0, NoRootDir = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual std::unique_ptr<FileStream> Open(const std::string& path, OpenMode mode) = 0;
  // Whole-file read and write through Open, the same on every platform and
  // behind every decorator.
  bool ReadAll(const std::string& path, std::string* data);
  bool WriteAll(const std::string& path, const std::string& data);  // create or truncate
  // Writes a temporary file beside path and puts it in place of path only after
  // a complete write, so a failed write leaves the old file as it was.
  bool WriteAllReplacing(const std::string& path, const std::string& data);
  // Pattern with "*" and "?" in the last component only, e.g. "C:\\Sched\\RSV*.SDL".
  virtual std::vector<FoundFile> Find(const std::string& pattern) = 0;
  virtual bool Remove(const std::string& path) = 0;          // a file; read-only files too
  virtual bool RemoveFolder(const std::string& path) = 0;    // an empty folder
  virtual bool CopyTo(const std::string& from, const std::string& to, bool overwrite) = 0;
  virtual bool Rename(const std::string& from, const std::string& to) = 0;  // never over an existing file
  // Renames from to to, replacing an existing to in one step.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  virtual bool MakeFolder(const std::string& path) = 0;      // one level
  virtual bool Exists(const std::string& path) = 0;
  virtual bool IsFolder(const std::string& path) = 0;
  virtual bool LastWriteTime(const std::string& path, Time32* t) = 0;
  virtual bool SetLastWriteTime(const std::string& path, Time32 t) = 0;
  // GetDriveTypeW of a root ("C:\\"); not named GetDriveType, which <windows.h> redefines.
  virtual DriveType DriveTypeOf(const std::string& root) = 0;
  virtual bool FreeSpace(const std::string& path, std::uint64_t* bytes) = 0;
};

FileSystem& PlatformFiles();

// Folder helpers shared by the programs.
std::string WithBackslash(const std::string& folder);      // appends "\" when missing
// Creates every missing folder of `path` level by level (the path names a folder).
// Fails when the root's drive type is unknown, or a component exists as a file or
// cannot be created.
bool CreateFolderPath(FileSystem& fs, const std::string& path);
// Creates the missing folders of the folder that holds `filePath`.
bool CreateParentFolders(FileSystem& fs, const std::string& filePath);
// Deletes everything inside folder (files and sub-folders; read-only files too);
// the folder itself stays. A link or junction inside is removed, never followed:
// what it leads to stays.
bool ClearFolder(FileSystem& fs, const std::string& folder);
