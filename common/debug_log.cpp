// Debug lines: to the debugger (Windows) or stderr (natively), and to the file
// named by LV_DEBUG_LOG, or to a test's sink instead.
#include "common/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include "common/text.h"
#endif

namespace {

std::function<void(const std::string&)>& Sink() {
  static auto* sink = new std::function<void(const std::string&)>();
  return *sink;
}

void ToPlatform(const std::string& text) {
#if defined(_WIN32)
  OutputDebugStringA(text.c_str());
#else
  std::string line = Cp932ToUtf8(text);
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fputs(line.c_str(), stderr);
#endif
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
  ToPlatform(text);
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
