// A Windows-like file system in memory for the settings tests: drive C: is
// fixed, every other drive is missing; names compare without ASCII case.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/text.h"

class MemoryFiles : public FileSystem {
 public:
  MemoryFiles() { folders_.insert("C:"); }
  std::unique_ptr<FileStream> Open(const std::string&, OpenMode) override { return nullptr; }
  bool ReadAll(const std::string& path, std::string* data) override {
    auto it = files_.find(Key(path));
    if (it == files_.end()) return false;
    *data = it->second;
    return true;
  }
  bool WriteAll(const std::string& path, const std::string& data) override {
    if (!folders_.count(Parent(Key(path)))) return false;
    files_[Key(path)] = data;
    return true;
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
    auto it = files_.find(Key(from));
    if (it == files_.end() || (!overwrite && files_.count(Key(to)))) return false;
    return WriteAll(to, it->second);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    std::string data;
    return ReadAll(from, &data) && WriteAll(to, data) && Remove(from);
  }
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

 private:
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
