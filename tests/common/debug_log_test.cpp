#include "common/debug_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/files.h"
#include "tests/support/temp_folder.h"

namespace {

void SetLogFile(const std::string& path) {
#if defined(_WIN32)
  _putenv(("LV_DEBUG_LOG=" + path).c_str());
#else
  if (path.empty()) unsetenv("LV_DEBUG_LOG");
  else setenv("LV_DEBUG_LOG", path.c_str(), 1);
#endif
}

TEST(DebugLog, ASinkCapturesTheFormattedLines) {
  std::vector<std::string> lines;
  SetDebugSink([&](const std::string& line) { lines.push_back(line); });
  DebugPrintf("scan %d files in %s", 3, "C:\\Sched");
  DebugOut(std::string(600, 'x'));
  DebugPrintf("%zu|%lld", static_cast<std::size_t>(7), 1LL << 40);
  SetDebugSink(nullptr);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], "7|1099511627776");
  EXPECT_EQ(lines[0], "scan 3 files in C:\\Sched");
  EXPECT_EQ(lines[1].size(), 600u);
}

TEST(DebugLog, LinesAreAppendedToTheNamedFile) {
  TempFolder temp;
  const std::string path = temp / "debug.log";
  std::string native = path;
#if !defined(_WIN32)
  for (char& c : native)
    if (c == '\\') c = '/';
#endif
  SetLogFile(native);
  DebugOut("first");
  DebugPrintf("second %s\n", "\x95\x5C");
  SetLogFile("");
  std::string data;
  ASSERT_TRUE(PlatformFiles().ReadAll(path, &data));
  EXPECT_EQ(data, "first\nsecond \x95\x5C\n");
}

}  // namespace
