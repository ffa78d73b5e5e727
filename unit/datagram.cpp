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

void WriteDatagramHeader(const DatagramHeader& h, std::uint8_t* out) {
  PutU16(out, 0, h.flags);
  PutU16(out, 2, h.blockSize);
  PutU16(out, 4, h.length);
  PutU16(out, 6, static_cast<std::uint16_t>(h.block));
  out[8] = static_cast<std::uint8_t>(h.block >> 16);
  PutU16(out, 9, static_cast<std::uint16_t>(h.blockCount));
  out[11] = static_cast<std::uint8_t>(h.blockCount >> 16);
  out[12] = out[13] = 0;
  PutU16(out, 14, h.fileId);
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

void WriteFileHeader(const FileHeader& f, int headerSize, std::uint8_t* out) {
  std::uint8_t* p = out + kDatagramHeader;
  PutU16(p, 0, f.fileCount);
  PutU32(p, 2, f.fileSize);
  const std::size_t width = static_cast<std::size_t>(headerSize - 6);
  for (std::size_t i = 0; i < width; ++i)
    p[6 + i] = i < f.fileName.size() ? static_cast<std::uint8_t>(f.fileName[i]) : 0;
}
