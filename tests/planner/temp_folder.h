// A fresh folder under /tmp (or %TEMP%) for one test, removed afterwards.
#pragma once
#include <cstdlib>
#include <string>
#include "common/files.h"
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

class TempFolder {
 public:
  TempFolder() {
#ifdef _WIN32
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    char name[MAX_PATH];
    GetTempFileNameA(base, "gd", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    path_ = name;
#else
    char name[] = "/tmp/guidetest.XXXXXX";
    path_ = mkdtemp(name);
#endif
  }
  ~TempFolder() {
    ClearFolder(PlatformFiles(), path_);
    PlatformFiles().RemoveFolder(path_);
  }
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return WithBackslash(path_) + name; }
  void Write(const std::string& name, const std::string& data) const { PlatformFiles().WriteAll(File(name), data); }
  std::string Read(const std::string& name) const {
    std::string data;
    PlatformFiles().ReadAll(File(name), &data);
    return data;
  }
  bool Exists(const std::string& name) const { return PlatformFiles().Exists(File(name)); }

 private:
  std::string path_;
};
