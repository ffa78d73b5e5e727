#include "tests/unit/engine/engine_fixtures.h"

#include <algorithm>
#include <cstring>

namespace enginetest {

namespace {
void Put16(std::string& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  Put16(s, at, v & 0xFFFF);
  Put16(s, at + 2, v >> 16);
}
}  // namespace

int HeaderBytes(int headerClass) {
  static const int sizes[8] = {0, 70, 134, 262, 262, 262, 262, 262};
  return sizes[headerClass & 7];
}

std::string EncodeDatagram(const DatagramFields& d) {
  int header = d.block == 0 ? HeaderBytes(d.headerClass) : 0;
  std::string s(16 + header, '\0');
  std::uint16_t flags = d.flags ? d.flags : static_cast<std::uint16_t>(0x0100 | (d.headerClass << 4));
  Put16(s, 0, flags);
  Put16(s, 2, d.blockSize);
  Put16(s, 4, static_cast<std::uint32_t>(16 + header + d.payload.size() + d.lengthDelta));
  Put16(s, 6, d.block & 0xFFFF);
  s[8] = static_cast<char>((d.block >> 16) & 0xFF);
  Put16(s, 9, d.blockCount & 0xFFFF);
  s[11] = static_cast<char>((d.blockCount >> 16) & 0xFF);
  Put16(s, 14, d.fileId);
  if (header) {
    Put16(s, 16, d.fileCount);
    Put32(s, 18, d.fileSize);
    std::memcpy(&s[22], d.name.data(), std::min<std::size_t>(d.name.size(), header - 6));
  }
  return s + d.payload;
}

std::uint32_t BlocksOf(std::size_t size, std::uint16_t blockSize, int headerClass) {
  std::size_t first = blockSize - 16 - HeaderBytes(headerClass);
  if (size <= first) return 1;
  std::size_t step = blockSize - 16;
  return static_cast<std::uint32_t>(1 + (size - first + step - 1) / step);
}

std::vector<std::string> FileDatagrams(const std::vector<CarouselFile>& files, std::size_t id,
                                       std::uint16_t blockSize, int headerClass) {
  const CarouselFile& f = files[id];
  std::vector<std::string> out;
  std::uint32_t count = BlocksOf(f.data.size(), blockSize, headerClass);
  std::size_t pos = 0;
  for (std::uint32_t b = 0; b < count; ++b) {
    DatagramFields d;
    d.headerClass = headerClass;
    d.blockSize = blockSize;
    d.block = b;
    d.blockCount = count;
    d.fileId = static_cast<std::uint16_t>(id);
    d.fileCount = static_cast<std::uint16_t>(files.size());
    d.fileSize = static_cast<std::uint32_t>(f.data.size());
    d.name = f.name;
    std::size_t room = blockSize - 16 - (b == 0 ? HeaderBytes(headerClass) : 0);
    d.payload = f.data.substr(pos, room);
    pos += d.payload.size();
    out.push_back(EncodeDatagram(d));
  }
  return out;
}

std::vector<std::string> Cycle(const std::vector<CarouselFile>& files, std::uint16_t blockSize, int headerClass) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < files.size(); ++i) {
    auto one = FileDatagrams(files, i, blockSize, headerClass);
    out.insert(out.end(), one.begin(), one.end());
  }
  return out;
}

std::string RandomBytes(std::mt19937& rng, std::size_t size) {
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xFF);
  return s;
}

}  // namespace enginetest
