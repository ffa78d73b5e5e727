// "FileList.mls", the list that arrives inside every file-carrying program's
// storage folder: line 1 the content's total size in bytes, every further
// non-empty line one received file relative to the storage folder. It comes from
// the air, so a line is only used when it names a place inside that folder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class FileSystem;

constexpr const char* kFileListName = "FileList.mls";
// The size line is read from the first 20 bytes only.
constexpr std::size_t kFileListSizeBytes = 20;
// A list larger than this is not a list of one program's files; it is not read.
constexpr std::uint64_t kMaxFileListBytes = 16u * 1024 * 1024;

struct FileList {
  std::int32_t totalBytes = 0;      // 0 when the first line is no number; capped at INT32_MAX
  std::vector<std::string> files;   // safe relative paths, in list order
  int refusedLines = 0;             // lines naming places outside the storage folder
};

// The size of the first line: decimal, CR, LF and TAB trimmed.
std::int32_t ParseFileListSize(const std::string& data);
FileList ParseFileList(const std::string& data);

// Reads storageFolder + "FileList.mls"; false when it is missing, unreadable or
// larger than kMaxFileListBytes.
bool ReadFileList(FileSystem& fs, const std::string& storageFolder, FileList* list);

struct ContentDeletion {
  int filesDeleted = 0;
  int filesLeft = 0;       // listed files that could not be deleted (or did not exist)
  int refusedLines = 0;    // lines that would have left the storage folder
  bool folderRemoved = false;
  std::vector<std::string> left;  // files that are still there after their deletion failed
};

// Deletes the listed files, the sub-folders they emptied (never a folder above the
// storage folder), FileList.mls, and the storage folder itself when it is empty.
// A storage folder that is not absolute is not touched at all.
ContentDeletion DeleteContentFiles(FileSystem& fs, const std::string& storageFolder);

// An absolute folder: a drive letter with ":\", a network path "\\host\share", or
// (in the native build) a POSIX path from "/".
bool IsAbsoluteFolder(const std::string& folder);
