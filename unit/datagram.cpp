// Reading the carousel datagram and checking the names it carries.
#include "unit/datagram.h"

#include "common/record_bytes.h"
#include "common/text.h"

int HeaderSizeOfClass(int headerClass) {
  switch (headerClass) {
    case 0: return 0;
    case 1: return 70;
    case 2: return 134;
    default: return 262;
  }
}

int NameFieldOfClass(int headerClass) {
  int size = HeaderSizeOfClass(headerClass);
  return size ? size - 6 : 0;
}

bool ReadDatagramHeader(const std::uint8_t* data, std::size_t size, DatagramHeader* h) {
  if (size < static_cast<std::size_t>(kDatagramHeader)) return false;
  h->flags = GetU16(data, 0);
  h->blockSize = GetU16(data, 2);
  h->length = GetU16(data, 4);
  h->block = GetU16(data, 6) | (static_cast<std::uint32_t>(data[8]) << 16);
  h->blockCount = GetU16(data, 9) | (static_cast<std::uint32_t>(data[11]) << 16);
  h->fileId = GetU16(data, 14);
  h->headerClass = (h->flags >> 4) & 7;
  return true;
}

bool FlagsAccepted(std::uint16_t flags) { return (flags & 0x1C0F) == 0 && (flags & 0x0300) == 0x0100; }

FileHeader ReadFileHeader(const std::uint8_t* data, int headerSize) {
  FileHeader f;
  const std::uint8_t* p = data + kDatagramHeader;
  f.fileCount = GetU16(p, 0);
  f.fileSize = GetU32(p, 2);
  int width = headerSize - 6;
  const std::uint8_t* name = p + 6;
  int n = 0;
  while (n < width && name[n]) ++n;  // a name that fills its field is cut there
  f.fileName.assign(reinterpret_cast<const char*>(name), n);
  return f;
}

namespace {
// Windows opens a device for these names whatever extension or trailing blanks
// follow, in every folder.
bool IsDeviceName(const std::string& component) {
  std::string base = AsciiUpper(component.substr(0, component.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* d : kDevices)
    if (base == d) return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1' &&
         base[3] <= '9';
}

// A component of dots and blanks with two dots or more climbs out like "..":
// Windows drops trailing dots and blanks.
bool ClimbsOut(const std::string& component) {
  int dots = 0;
  for (char ch : component) {
    if (ch == '.') ++dots;
    else if (ch != ' ') return false;
  }
  return dots >= 2;
}

bool ForbiddenChar(unsigned char c) {
  return c < 0x20 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
}
}  // namespace

bool IsSafeFileName(const std::string& name) {
  if (name.empty()) return false;
  if (name[0] == '\\' || name[0] == '/') return false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size()) {
      const unsigned char c = static_cast<unsigned char>(name[i]);
      if (IsLeadByte(c) && i + 1 < name.size()) {  // its trail byte (0x5C too) is no separator
        ++i;
        continue;
      }
      if (ForbiddenChar(c)) return false;
      if (c != '\\' && c != '/') continue;
    }
    const std::string part = name.substr(start, i - start);
    // An empty component: doubled separators, or a trailing one that names a folder.
    if (part.empty() || ClimbsOut(part) || IsDeviceName(part)) return false;
    start = i + 1;
  }
  return true;
}
