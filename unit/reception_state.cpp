// The reception state record: a fixed head, one entry per file with its block
// map as bits, and a CRC-32 of everything before it, all little-endian.
#include "unit/reception_state.h"

#include <array>
#include "unit/datagram.h"
#include "unit/reception.h"

namespace {

constexpr std::uint32_t kStateMagic = 0x74735251;  // "QRst"
constexpr std::uint32_t kStateVersion = 1;
constexpr std::size_t kMaxAddress = 64;
constexpr std::uint32_t kMaxBlockCount = 0xFFFFFF;  // 24 bits in a datagram

std::uint32_t Crc32(const std::string& data, std::size_t size) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) c = table[(c ^ static_cast<std::uint8_t>(data[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

class Writer {
 public:
  void U8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U16(std::uint16_t v) { Le(v, 2); }
  void U32(std::uint32_t v) { Le(v, 4); }
  void U64(std::uint64_t v) { Le(v, 8); }
  void Text16(const std::string& s) {
    U16(static_cast<std::uint16_t>(s.size()));
    out_ += s;
  }
  std::string& Out() { return out_; }

 private:
  void Le(std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out_.push_back(static_cast<char>(v >> (8 * i)));
  }
  std::string out_;
};

// Every read is bounded by the record; a read past its end fails and stays failed.
class Reader {
 public:
  Reader(const std::string& data, std::size_t end) : data_(data), end_(end) {}
  bool Ok() const { return ok_; }
  bool AtEnd() const { return ok_ && at_ == end_; }
  std::uint64_t Le(int bytes) {
    if (!Take(static_cast<std::size_t>(bytes))) return 0;
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(data_[at_ - bytes + i]);
    return v;
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Le(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Le(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Le(4)); }
  std::uint64_t U64() { return Le(8); }
  bool Bytes(std::size_t n, std::string* out) {
    if (!Take(n)) return false;
    out->assign(data_, at_ - n, n);
    return true;
  }
  const char* Here(std::size_t n) {
    if (!Take(n)) return nullptr;
    return data_.data() + at_ - n;
  }

 private:
  bool Take(std::size_t n) {
    if (!ok_ || n > end_ - at_) {
      ok_ = false;
      return false;
    }
    at_ += n;
    return true;
  }
  const std::string& data_;
  std::size_t end_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

bool KnownHeaderSize(int size) {
  for (int c = 0; c <= 3; ++c)
    if (HeaderSizeOfClass(c) == size) return true;
  return false;
}

// The checks the engine makes of a file's first datagram and its header.
const char* FileFault(const ReceptionStateFile& f, int blockSize) {
  if (!KnownHeaderSize(f.headerSize)) return "a file header size no class has";
  if (f.blockCount == 0 || f.blockCount > kMaxBlockCount) return "a block count no datagram can carry";
  const std::uint64_t step = static_cast<std::uint64_t>(blockSize - kDatagramHeader);
  if (static_cast<std::uint64_t>(f.blockCount - 1) * step > kMaxFileBytes + f.headerSize)
    return "blocks beyond the largest file a header can name";
  if (f.sized && f.blockCount > 1 &&
      static_cast<std::uint64_t>(f.blockCount - 1) * step - f.headerSize >= f.fileSize)
    return "blocks beyond the file's size";
  if (!f.sized && f.fileSize != 0) return "a size without a file header";
  if (f.extent > static_cast<std::uint64_t>(f.blockCount) * step) return "a part file longer than its blocks";
  if (f.name.size() > kMaxStateName) return "a name longer than any path";
  return nullptr;
}

bool Refuse(std::string* why, const char* text) {
  if (why) *why = text;
  return false;
}

}  // namespace

std::string EncodeReceptionState(const ReceptionState& s) {
  Writer w;
  w.U32(kStateMagic);
  w.U32(kStateVersion);
  w.U32(s.reservationId);
  w.U32(static_cast<std::uint32_t>(s.programNumber));
  w.U32(static_cast<std::uint32_t>(s.subNumber));
  w.U32(static_cast<std::uint32_t>(s.scheduledStart));
  w.U32(static_cast<std::uint32_t>(s.scheduledEnd));
  w.U16(s.port);
  w.U16(static_cast<std::uint16_t>(s.blockSize));
  w.U32(static_cast<std::uint32_t>(s.fileCount));
  w.U64(static_cast<std::uint64_t>(s.receivedBytes));
  w.U32(static_cast<std::uint32_t>(s.receptionStart));
  w.Text16(s.address);
  w.U32(static_cast<std::uint32_t>(s.files.size()));
  for (const ReceptionStateFile& f : s.files) {
    w.U16(f.fileId);
    w.U16(static_cast<std::uint16_t>(f.headerSize));
    w.U32(f.blockCount);
    w.U8(f.sized ? 1 : 0);
    w.U32(f.fileSize);
    w.U64(f.extent);
    w.Text16(f.name);
    std::string bits((f.blockCount + 7) / 8, '\0');
    for (std::uint32_t b = 0; b < f.blockCount && b < f.blockMap.size(); ++b)
      if (f.blockMap[b]) bits[b / 8] = static_cast<char>(bits[b / 8] | (1 << (b % 8)));
    w.Out() += bits;
  }
  w.U32(Crc32(w.Out(), w.Out().size()));
  return std::move(w.Out());
}

bool DecodeReceptionState(const std::string& data, ReceptionState* out, std::string* why) {
  if (data.size() > kMaxStateBytes) return Refuse(why, "larger than any state");
  if (data.size() < 8) return Refuse(why, "truncated");
  const std::size_t body = data.size() - 4;
  {
    Reader tail(data, data.size());
    tail.Here(body);
    if (tail.U32() != Crc32(data, body)) return Refuse(why, "damaged (checksum)");
  }
  Reader r(data, body);
  if (r.U32() != kStateMagic) return Refuse(why, "not a reception state");
  if (r.U32() != kStateVersion) return Refuse(why, "another version");
  ReceptionState s;
  s.reservationId = r.U32();
  s.programNumber = static_cast<std::int32_t>(r.U32());
  s.subNumber = static_cast<std::int32_t>(r.U32());
  s.scheduledStart = static_cast<Time32>(r.U32());
  s.scheduledEnd = static_cast<Time32>(r.U32());
  s.port = r.U16();
  s.blockSize = r.U16();
  const std::uint32_t fileCount = r.U32();
  s.receivedBytes = static_cast<std::int64_t>(r.U64());
  s.receptionStart = static_cast<Time32>(r.U32());
  const std::uint16_t addressBytes = r.U16();
  if (!r.Ok()) return Refuse(why, "truncated");
  if (addressBytes > kMaxAddress || !r.Bytes(addressBytes, &s.address)) return Refuse(why, "a bad address");
  if (s.blockSize <= kDatagramHeader || s.blockSize > kDatagramMax) return Refuse(why, "a block size no datagram has");
  if (fileCount > 0xFFFF) return Refuse(why, "a file count no header can name");
  s.fileCount = static_cast<int>(fileCount);
  if (s.receivedBytes < 0 || static_cast<std::uint64_t>(s.receivedBytes) > 0xFFFFull * kMaxFileBytes)
    return Refuse(why, "a received size no broadcast has");
  const std::uint32_t entries = r.U32();
  if (!r.Ok()) return Refuse(why, "truncated");
  if (entries == 0) return Refuse(why, "no file to continue");
  if (entries > 0x10000 || (fileCount > 0 && entries > fileCount)) return Refuse(why, "more files than the broadcast has");

  std::size_t mapBytes = 0;
  s.files.reserve(entries);
  for (std::uint32_t i = 0; i < entries; ++i) {
    ReceptionStateFile f;
    f.fileId = r.U16();
    f.headerSize = r.U16();
    f.blockCount = r.U32();
    const std::uint8_t flags = r.U8();
    f.fileSize = r.U32();
    f.extent = r.U64();
    const std::uint16_t nameBytes = r.U16();
    if (!r.Ok() || nameBytes > kMaxStateName || !r.Bytes(nameBytes, &f.name)) return Refuse(why, "truncated");
    if (flags > 1) return Refuse(why, "unknown file flags");
    f.sized = flags == 1;
    if (!s.files.empty() && f.fileId <= s.files.back().fileId) return Refuse(why, "file ids out of order");
    if (fileCount > 0 && f.fileId >= fileCount) return Refuse(why, "a file id beyond the file count");
    if (const char* fault = FileFault(f, s.blockSize)) return Refuse(why, fault);
    mapBytes += static_cast<std::size_t>(f.blockCount) + 10;
    if (mapBytes > kMaxBlockMapTotal) return Refuse(why, "block maps larger than a reception may take");
    const std::size_t bitBytes = (f.blockCount + 7) / 8;
    const char* bits = r.Here(bitBytes);
    if (!bits) return Refuse(why, "truncated");
    f.blockMap.assign(f.blockCount, 0);
    for (std::uint32_t b = 0; b < f.blockCount; ++b) f.blockMap[b] = (bits[b / 8] >> (b % 8)) & 1;
    // Bits past the last block belong to no block.
    if (f.blockCount % 8 && (static_cast<std::uint8_t>(bits[bitBytes - 1]) >> (f.blockCount % 8)))
      return Refuse(why, "bits past the last block");
    s.files.push_back(std::move(f));
  }
  if (!r.AtEnd()) return Refuse(why, "bytes after the last file");
  *out = std::move(s);
  return true;
}
