// A stream of datagrams from the air into the reception engine, with its
// storage folder inside a scratch folder. Whatever arrives: every path the
// engine touches lies inside the storage folder, a file beside it stays as it
// was, the engine's memory stays within its bounds, and placement never lands a
// file outside the folder.
//
// Input: one mode byte, then datagrams as a 2-byte little-endian length and
// that many bytes. Mode bit 0 lets more than a second pass before the first
// datagram (files go to disk instead of memory); bits 1-3 pick how many
// datagrams arrive between two 10 ms ticks.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "common/clock.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "common/sockets.h"
#include "unit/reception.h"

namespace {

// The engine's data socket, fed from the input. The engine closes and frees it
// on completion; the inbox outlives it.
using Inbox = std::deque<std::string>;
class InputSocket : public DatagramSocket {
 public:
  explicit InputSocket(std::shared_ptr<Inbox> box) : inbox_(std::move(box)) {}
  bool Bind(std::uint16_t, int) override { return true; }
  bool Join(const std::string&) override { return true; }
  bool Leave() override { return true; }
  int Receive(void* buffer, int size, std::uint16_t* port) override {
    if (inbox_->empty()) return kNoDatagram;
    std::string d = std::move(inbox_->front());
    inbox_->pop_front();
    if (static_cast<int>(d.size()) > size) return kOversized;
    const int n = static_cast<int>(d.size());
    std::copy(d.begin(), d.begin() + n, static_cast<char*>(buffer));
    if (port) *port = 1;
    return n;
  }
  int LastError() const override { return 0; }
  std::uintptr_t Handle() const override { return 0; }
  void Close() override {}

 private:
  std::shared_ptr<Inbox> inbox_;
};

// The real file seam, checking every path against the storage folder. Writes
// are capped far below the engine's own 4 GB bound so that a fuzzing run does
// not fill the disk with sparse files and their copies.
constexpr std::uint64_t kFuzzFileCap = 64u << 20;

class FencedStream : public FileStream {
 public:
  explicit FencedStream(std::unique_ptr<FileStream> inner) : inner_(std::move(inner)) {}
  bool Write(const void* data, std::size_t size) override {
    if (pos_ + size > kFuzzFileCap) return false;
    pos_ += size;
    return inner_->Write(data, size);
  }
  std::size_t Read(void* data, std::size_t size) override { return inner_->Read(data, size); }
  bool Seek(std::uint64_t offset) override {
    if (offset > kFuzzFileCap) return false;
    pos_ = offset;
    return inner_->Seek(offset);
  }
  bool Flush() override { return inner_->Flush(); }
  void Close() override { inner_->Close(); }

 private:
  std::unique_ptr<FileStream> inner_;
  std::uint64_t pos_ = 0;
};

class FencedFiles : public FileSystem {
 public:
  FencedFiles(FileSystem& inner, std::string inside) : inner_(inner), inside_(std::move(inside)) {}
  std::unique_ptr<FileStream> Open(const std::string& p, OpenMode m) override {
    Check(p);
    auto f = inner_.Open(p, m);
    return f ? std::make_unique<FencedStream>(std::move(f)) : nullptr;
  }
  std::vector<FoundFile> Find(const std::string& p) override { return Check(p), inner_.Find(p); }
  bool Remove(const std::string& p) override { return Check(p), inner_.Remove(p); }
  bool RemoveFolder(const std::string& p) override { return Check(p), inner_.RemoveFolder(p); }
  bool CopyTo(const std::string& from, const std::string& to, bool overwrite) override {
    Check(from);
    Check(to);
    for (const FoundFile& f : inner_.Find(from))
      if (f.size > kFuzzFileCap) return false;
    return inner_.CopyTo(from, to, overwrite);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    Check(from);
    Check(to);
    return inner_.Rename(from, to);
  }
  bool Replace(const std::string& from, const std::string& to) override {
    Check(from);
    Check(to);
    return inner_.Replace(from, to);
  }
  // Creating the storage folder's parents climbs through the folders above it.
  bool MakeFolder(const std::string& p) override { return Check(p), inner_.MakeFolder(p); }
  bool Exists(const std::string& p) override { return inner_.Exists(p); }
  bool IsFolder(const std::string& p) override { return inner_.IsFolder(p); }
  bool LastWriteTime(const std::string& p, Time32* t) override { return inner_.LastWriteTime(p, t); }
  bool SetLastWriteTime(const std::string& p, Time32 t) override { return Check(p), inner_.SetLastWriteTime(p, t); }
  DriveType DriveTypeOf(const std::string& root) override { return inner_.DriveTypeOf(root); }
  bool FreeSpace(const std::string& p, std::uint64_t* b) override { return inner_.FreeSpace(p, b); }

 private:
  // Inside: the storage folder's prefix and no component that climbs out (dots
  // and blanks only, two dots or more, as Windows reads "..").
  void Check(const std::string& path) const {
    bool climbs = false;
    std::size_t start = inside_.size();
    for (std::size_t i = start; i <= path.size(); ++i) {
      if (i < path.size() && path[i] != '\\' && path[i] != '/') continue;
      const std::string part = path.substr(start, i - start);
      climbs = climbs ||
               (part.find_first_not_of(". ") == std::string::npos && std::count(part.begin(), part.end(), '.') >= 2);
      start = i + 1;
    }
    if (path.compare(0, inside_.size(), inside_) != 0 || climbs) {
      std::fprintf(stderr, "path outside the storage folder: %s\n", path.c_str());
      std::abort();
    }
  }
  FileSystem& inner_;
  std::string inside_;
};

struct Scratch {
  std::filesystem::path root;
  std::string storage;  // seam form, ends in "\"
  Scratch() {
    root = std::filesystem::temp_directory_path() / ("lv_reception_fuzz_" + std::to_string(getpid()));
    std::filesystem::create_directories(root / "store");
    storage = root.string() + "\\store\\";
  }
  ~Scratch() { std::filesystem::remove_all(root); }
};

const std::string kSentinel = "beside the storage folder";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Scratch scratch;
  // Failed files are reported on the debug output; here that is only noise.
  static const bool quiet = (SetDebugSink([](const std::string&) {}), true);
  (void)quiet;
  if (size < 1) return 0;
  std::filesystem::remove_all(scratch.root / "store");
  std::filesystem::create_directories(scratch.root / "store");
  PlatformFiles().WriteAll(scratch.root.string() + "\\sentinel", kSentinel);

  FencedFiles files(PlatformFiles(), scratch.storage);
  ManualClock clock(1700000000, 5000);
  ReceptionView view;
  ReceptionParams params;
  params.sid = 7;
  params.port = 5000;
  params.address = "239.1.2.3";
  params.storageFolder = scratch.storage;
  params.name = "fuzz";
  params.scheduledEnd = clock.Now() + 3600;
  auto inbox = std::make_shared<Inbox>();
  Reception rx(params, files, clock, view, [inbox] { return std::unique_ptr<DatagramSocket>(new InputSocket(inbox)); });
  if (!rx.Start()) std::abort();

  const std::uint8_t mode = data[0];
  if (mode & 1) clock.Advance(1500);
  const int perTick = 1 + ((mode >> 1) & 7) * 4;
  std::size_t at = 1;
  while (at + 2 <= size) {
    std::size_t n = data[at] | (data[at + 1] << 8);
    at += 2;
    if (n > size - at) n = size - at;
    inbox->emplace_back(reinterpret_cast<const char*>(data + at), n);
    at += n;
    if (static_cast<int>(inbox->size()) >= perTick) {
      clock.Advance(10);
      rx.OnSocketReady();
      rx.OnTimer();
    }
  }
  for (int i = 0; i < 200 && (!inbox->empty() || rx.QueueLength() > 0); ++i) {
    clock.Advance(10);
    rx.OnSocketReady();
    rx.OnTimer();
  }
  if (rx.BlockMapBytes() > kMaxBlockMapTotal || rx.MemoryImageBytes() > kMaxMemoryTotal) std::abort();
  rx.PlaceFiles();
  rx.Shutdown();

  // Only the storage folder and the untouched file beside it.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(scratch.root)) {
    ++entries;
    const std::string name = e.path().filename().string();
    if (name != "store" && name != "sentinel") {
      std::fprintf(stderr, "landed outside the storage folder: %s\n", name.c_str());
      std::abort();
    }
  }
  std::string sentinel;
  if (entries != 2 || !PlatformFiles().ReadAll(scratch.root.string() + "\\sentinel", &sentinel) ||
      sentinel != kSentinel)
    std::abort();
  return 0;
}
