#include "tests/common/temp_folder.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/files.h"

#if defined(_WIN32)
#include <windows.h>
#include "common/text.h"
#else
#include <unistd.h>
#endif

namespace {

std::string SystemTemp() {
#if defined(_WIN32)
  wchar_t buffer[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  return WideToCp932(std::wstring(buffer, n));
#else
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "\\";
#endif
}

}  // namespace

TempFolder::TempFolder() {
  static int serial = 0;
  FileSystem& fs = PlatformFiles();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char name[64];
#if defined(_WIN32)
    std::snprintf(name, sizeof name, "lvtest%lu_%d", GetCurrentProcessId(), ++serial);
#else
    std::snprintf(name, sizeof name, "lvtest%d_%d", static_cast<int>(getpid()), ++serial);
#endif
    std::string path = WithBackslash(SystemTemp()) + name;
    if (fs.MakeFolder(path)) {
      path_ = path + "\\";
      return;
    }
  }
  std::abort();
}

TempFolder::~TempFolder() {
  ClearFolder(PlatformFiles(), path_);
  PlatformFiles().RemoveFolder(path_.substr(0, path_.size() - 1));
}
