// A Windows-like file system in memory for the settings tests: drive C: is
// fixed, every other drive is missing; names compare without ASCII case.
#pragma once
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/text.h"

class MemoryFiles : public FileSystem {
 public:
  MemoryFiles() { folders_.insert("C:"); }
  std::unique_ptr<FileStream> Open(const std::string& path, OpenMode mode) override {
    const std::string key = Key(path);
    if (mode == OpenMode::CreateReadWrite) {
      if (!folders_.count(Parent(key))) return nullptr;
      files_[key].clear();
    }
    auto it = files_.find(key);
    if (it == files_.end()) return nullptr;
    return std::make_unique<Stream>(&it->second, mode == OpenMode::WriteExisting);
  }
  std::vector<FoundFile> Find(const std::string& pattern) override {
    const std::string key = Key(pattern);
    const std::string folder = Parent(key), mask = key.substr(folder.size() + 1);
    std::vector<FoundFile> found;
    for (const auto& f : files_) {
      if (Parent(f.first) == folder && Glob(mask, f.first.substr(folder.size() + 1))) {
        FoundFile ff;
        ff.name = f.first.substr(folder.size() + 1);
        found.push_back(ff);
      }
    }
    return found;
  }
  bool Remove(const std::string& path) override { return files_.erase(Key(path)) > 0; }
  bool RemoveFolder(const std::string& path) override { return folders_.erase(Key(path)) > 0; }
  bool CopyTo(const std::string& from, const std::string& to, bool overwrite) override {
    if (failCopyTo.count(Key(to))) return false;
    auto it = files_.find(Key(from));
    if (it == files_.end() || (!overwrite && files_.count(Key(to)))) return false;
    return WriteAll(to, it->second);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    std::string data;
    return ReadAll(from, &data) && WriteAll(to, data) && Remove(from);
  }
  bool Replace(const std::string& from, const std::string& to) override { return Rename(from, to); }
  bool MakeFolder(const std::string& path) override {
    const std::string key = Key(path);
    if (!folders_.count(Parent(key)) || files_.count(key)) return false;
    made.push_back(path);
    return folders_.insert(key).second;
  }
  bool Exists(const std::string& path) override { return files_.count(Key(path)) || folders_.count(Key(path)); }
  bool IsFolder(const std::string& path) override { return folders_.count(Key(path)) > 0; }
  bool LastWriteTime(const std::string&, Time32*) override { return false; }
  bool SetLastWriteTime(const std::string&, Time32) override { return false; }
  DriveType DriveTypeOf(const std::string& root) override {
    return Key(root).compare(0, 2, "C:") == 0 ? DriveType::Fixed : DriveType::NoRootDir;
  }
  bool FreeSpace(const std::string&, std::uint64_t*) override { return false; }

  std::vector<std::string> made;  // folders made, in order
  std::set<std::string> failCopyTo;  // targets (upper-cased) a copy fails to write

 private:
  // An open file: reads and writes go straight to the stored text (which must
  // not be removed while the stream is open).
  class Stream : public FileStream {
   public:
    Stream(std::string* data, bool append) : data_(data), pos_(append ? data->size() : 0) {}
    bool Write(const void* d, std::size_t n) override {
      if (!data_) return false;
      if (pos_ > data_->size()) data_->resize(pos_);
      data_->replace(pos_, std::min(n, data_->size() - pos_), static_cast<const char*>(d), n);
      pos_ += n;
      return true;
    }
    std::size_t Read(void* d, std::size_t n) override {
      if (!data_ || pos_ >= data_->size()) return 0;
      const std::size_t k = std::min(n, data_->size() - pos_);
      std::memcpy(d, data_->data() + pos_, k);
      pos_ += k;
      return k;
    }
    bool Seek(std::uint64_t offset) override {
      pos_ = static_cast<std::size_t>(offset);
      return data_ != nullptr;
    }
    bool Flush() override { return data_ != nullptr; }
    void Close() override { data_ = nullptr; }

   private:
    std::string* data_;
    std::size_t pos_;
  };

  static std::string Key(std::string path) {
    while (path.size() > 2 && path.back() == '\\') path.pop_back();
    return AsciiUpper(path);
  }
  static std::string Parent(const std::string& key) {
    std::size_t cut = key.rfind('\\');
    return cut == std::string::npos ? std::string() : key.substr(0, cut);
  }
  static bool Glob(const std::string& mask, const std::string& name) {
    if (mask.empty()) return name.empty();
    if (mask[0] == '*') return Glob(mask.substr(1), name) || (!name.empty() && Glob(mask, name.substr(1)));
    return !name.empty() && (mask[0] == '?' || mask[0] == name[0]) && Glob(mask.substr(1), name.substr(1));
  }
  std::set<std::string> folders_;
  std::map<std::string, std::string> files_;
};
