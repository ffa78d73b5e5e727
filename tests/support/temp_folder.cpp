#include "tests/support/temp_folder.h"

#include <cstdio>
#include <cstdlib>

#include "common/files.h"

#if defined(_WIN32)
#include <windows.h>
#include "common/text.h"
#else
#include <unistd.h>
#endif

namespace {

// With its trailing separator; natively "/", so that Path() is also a path the
// C library and other programs take.
std::string SystemTemp() {
#if defined(_WIN32)
  wchar_t buffer[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  return WithBackslash(WideToCp932(std::wstring(buffer, n)));
#else
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/";
#endif
}

unsigned long ProcessId() {
#if defined(_WIN32)
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

}  // namespace

TempFolder::TempFolder() {
  static int serial = 0;
  FileSystem& fs = PlatformFiles();
  const std::string base = SystemTemp();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char name[64];
    std::snprintf(name, sizeof name, "lvtest%lu_%d", ProcessId(), ++serial);
    if (fs.MakeFolder(base + name)) {
      path_ = base + name;
      return;
    }
  }
  std::fprintf(stderr, "TempFolder: cannot create a folder under %s\n", base.c_str());
  std::abort();
}

TempFolder::~TempFolder() {
  ClearFolder(PlatformFiles(), path_);
  PlatformFiles().RemoveFolder(path_);
}

std::string TempFolder::operator/(const std::string& name) const { return WithBackslash(path_) + name; }

std::string TempFolder::Read(const std::string& name) const {
  std::string data;
  if (!PlatformFiles().ReadAll(*this / name, &data)) return std::string();
  return data;
}

bool TempFolder::Write(const std::string& name, const std::string& data) const {
  return PlatformFiles().WriteAll(*this / name, data);
}

bool TempFolder::Has(const std::string& name) const { return PlatformFiles().Exists(*this / name); }
