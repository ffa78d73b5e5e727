// The name check shared by the unit's carousel files and the planner's content
// deletion.
#include "common/safe_name.h"

#include <cstddef>

#include "common/text.h"

namespace {

// Windows opens these wherever they appear, whatever the folder and extension.
bool IsDeviceName(const std::string& component) {
  std::string base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  base = AsciiUpper(base);
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* d : kDevices) {
    if (base == d) return true;
  }
  if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)) {
    return base[3] >= '1' && base[3] <= '9';
  }
  return false;
}

// Characters no Windows file name may hold; wildcards would also widen a
// deletion to other files.
bool IsForbiddenChar(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
}

bool IsClimbingComponent(const std::string& component) {
  int dots = 0;
  for (char ch : component) {
    if (ch == '.') ++dots;
    else if (ch != ' ') return false;
  }
  return dots >= 2;
}

}  // namespace

bool IsSafeRelativePath(const std::string& name) {
  if (name.empty()) return false;
  if (name[0] == '\\' || name[0] == '/') return false;
  std::size_t start = 0;
  bool lead = false;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    unsigned char c = i < name.size() ? static_cast<unsigned char>(name[i]) : 0;
    if (lead) {  // trail byte of a double-byte character: 0x5C here is no separator
      // A lead byte with no trail byte at the end is no valid cp932 name.
      if (i == name.size()) return false;
      lead = false;
      continue;
    }
    if (i < name.size()) {
      if (IsForbiddenChar(c)) return false;
      if (IsLeadByte(c)) {
        lead = true;
        continue;
      }
      if (c != '\\' && c != '/') continue;
    }
    const std::string part = name.substr(start, i - start);
    // An empty component: doubled separators, or a trailing one that names a folder.
    if (part.empty() || IsClimbingComponent(part) || IsDeviceName(part)) return false;
    start = i + 1;
  }
  return true;
}
