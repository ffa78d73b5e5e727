// Reading the carousel datagram and checking the names it carries.
#include "unit/datagram.h"

#include "common/record_bytes.h"

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

bool IsSafeFileName(const std::string& name) {
  if (name.empty()) return false;
  if (name[0] == '\\' || name[0] == '/') return false;
  std::size_t start = 0;
  bool lead = false;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    unsigned char c = i < name.size() ? static_cast<unsigned char>(name[i]) : 0;
    if (lead) {  // trail byte of a double-byte character: 0x5C here is no separator
      lead = false;
      continue;
    }
    if (i < name.size()) {
      if (c < 0x20 || c == ':') return false;
      if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
        lead = true;
        continue;
      }
      if (c != '\\' && c != '/') continue;
    }
    // A component ends here. Windows drops trailing dots and blanks, so any
    // component of dots and blanks with two dots or more climbs out like "..".
    std::string part = name.substr(start, i - start);
    int dots = 0;
    bool onlyDots = !part.empty();
    for (char ch : part) {
      if (ch == '.') ++dots;
      else if (ch != ' ') onlyDots = false;
    }
    if (onlyDots && dots >= 2) return false;
    // An empty component: doubled separators, or a trailing one that names a folder.
    if (part.empty()) return false;
    start = i + 1;
  }
  return true;
}
