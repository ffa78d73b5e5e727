// Debug lines natively go to stderr, one line each, in UTF-8.
#include <cstdio>

#include "common/platform_halves.h"
#include "common/text.h"

void DebugToPlatform(const std::string& text) {
  std::string line = Cp932ToUtf8(text);
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fputs(line.c_str(), stderr);
}
