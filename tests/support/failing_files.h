// A file seam that passes everything to a real one and fails what a test asks
// for: single writes, a disk that fills up, the replace step.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "common/files.h"

class FailingFiles : public FileSystem {
 public:
  explicit FailingFiles(FileSystem& real) : real_(real) {}

  int writeFailures = 0;         // the next n Write calls fail and write nothing
  std::int64_t spaceLeft = -1;   // bytes that still fit; beyond them a write stores what fits and fails (-1: no limit)
  bool failReplace = false;      // Replace fails and leaves both files as they are
  bool failRemove = false;       // Remove fails and leaves the file (a read-only or locked file)
  int failedWrites = 0;          // Write calls that failed so far
  std::function<void(std::size_t)> onWrite;  // called before each Write with its size (a slow disk, say)

  std::unique_ptr<FileStream> Open(const std::string& path, OpenMode mode) override;
  std::vector<FoundFile> Find(const std::string& p) override { return real_.Find(p); }
  bool Remove(const std::string& p) override { return !failRemove && real_.Remove(p); }
  bool RemoveFolder(const std::string& p) override { return real_.RemoveFolder(p); }
  bool CopyTo(const std::string& a, const std::string& b, bool o) override { return real_.CopyTo(a, b, o); }
  bool Rename(const std::string& a, const std::string& b) override { return real_.Rename(a, b); }
  bool Replace(const std::string& a, const std::string& b) override { return !failReplace && real_.Replace(a, b); }
  bool MakeFolder(const std::string& p) override { return real_.MakeFolder(p); }
  bool Exists(const std::string& p) override { return real_.Exists(p); }
  bool IsFolder(const std::string& p) override { return real_.IsFolder(p); }
  bool LastWriteTime(const std::string& p, Time32* t) override { return real_.LastWriteTime(p, t); }
  bool SetLastWriteTime(const std::string& p, Time32 t) override { return real_.SetLastWriteTime(p, t); }
  DriveType DriveTypeOf(const std::string& r) override { return real_.DriveTypeOf(r); }
  bool FreeSpace(const std::string& p, std::uint64_t* b) override { return real_.FreeSpace(p, b); }

 private:
  friend class FailingStream;
  // Whether a write of size bytes may go ahead; *fits is what the disk takes.
  bool AllowWrite(std::size_t size, std::size_t* fits);

  FileSystem& real_;
};
