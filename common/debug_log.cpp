// Debug lines: to the debugger (Windows) or stderr (natively), and to the file
// named by LV_DEBUG_LOG, or to a test's sink instead.
#include "common/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/platform_halves.h"

namespace {

std::function<void(const std::string&)>& Sink() {
  static auto* sink = new std::function<void(const std::string&)>();
  return *sink;
}

void ToLogFile(const std::string& text) {
  const char* path = std::getenv("LV_DEBUG_LOG");
  if (!path || !*path) return;
  if (std::FILE* f = std::fopen(path, "ab")) {
    std::fwrite(text.data(), 1, text.size(), f);
    if (text.empty() || text.back() != '\n') std::fputc('\n', f);
    std::fclose(f);
  }
}

}  // namespace

void DebugOut(const std::string& text) {
  if (Sink()) {
    Sink()(text);
    return;
  }
  DebugToPlatform(text);
  ToLogFile(text);
}

void DebugPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::vector<char> buffer(n > 0 ? n + 1 : 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  va_end(args);
  DebugOut(std::string(buffer.data(), n > 0 ? n : 0));
}

void SetDebugSink(std::function<void(const std::string&)> sink) { Sink() = std::move(sink); }
