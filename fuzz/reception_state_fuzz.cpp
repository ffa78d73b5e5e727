// A reception state as a restart finds it, whatever it holds: the decoder takes
// a record only whole and canonical (it encodes back to the same bytes), and
// the engine that starts on it stays within its bounds and places nothing
// outside its storage folder.
//
// Input: one mode byte, then the record. Mode bit 0 appends a good CRC-32 to
// the record (so that the fields behind it are reached); bit 1 gives every
// file named in a decodable record a part file as long as its map says, else
// a shorter one.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include "common/clock.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "common/sockets.h"
#include "tests/support/crc32.h"
#include "unit/reception.h"
#include "unit/reception_state.h"

namespace {

class SilentSocket : public DatagramSocket {
 public:
  bool Bind(std::uint16_t, int) override { return true; }
  bool Join(const std::string&) override { return true; }
  bool Leave() override { return true; }
  int Receive(void*, int, std::uint16_t*) override { return kNoDatagram; }
  int LastError() const override { return 0; }
  std::uintptr_t Handle() const override { return 0; }
  void Close() override {}
};

// Part files are written only up to this: a record may claim gigabytes.
constexpr std::uint64_t kPartCap = 1u << 20;

struct Scratch {
  std::string root;  // seam form, ends in "\"
  Scratch() {
    root = "/tmp/lv_state_fuzz_" + std::to_string(getpid()) + "\\";
    PlatformFiles().MakeFolder(root);
  }
  ~Scratch() {
    ClearFolder(PlatformFiles(), root);
    PlatformFiles().RemoveFolder(root);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Scratch scratch;
  static const bool quiet = (SetDebugSink([](const std::string&) {}), true);
  (void)quiet;
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  std::string record(reinterpret_cast<const char*>(data + 1), size - 1);
  if (mode & 1) record = WithTestCrc32(record);

  ReceptionState state;
  std::string why;
  const bool decoded = DecodeReceptionState(record, &state, &why);
  if (decoded) {
    if (EncodeReceptionState(state) != record) std::abort();
    std::size_t maps = 0;
    for (const ReceptionStateFile& f : state.files) {
      maps += f.blockCount + 10;
      if (f.blockMap.size() != f.blockCount) std::abort();
    }
    if (maps > kMaxBlockMapTotal) std::abort();
  } else if (why.empty()) {
    std::abort();
  }

  FileSystem& fs = PlatformFiles();
  ClearFolder(fs, scratch.root);
  const std::string storage = scratch.root + "store";
  const std::string stateFolder = scratch.root + "state";
  fs.MakeFolder(stateFolder);
  fs.WriteAll(scratch.root + "sentinel", "beside");
  fs.WriteAll(stateFolder + "\\" + kStateRecordName, record);
  if (decoded) {
    for (const ReceptionStateFile& f : state.files) {
      std::uint64_t n = f.extent > kPartCap ? 0 : f.extent;
      if (!(mode & 2) && n > 0) --n;
      char name[32];
      std::snprintf(name, sizeof name, "\\%05u.part", static_cast<unsigned>(f.fileId));
      fs.WriteAll(stateFolder + name, std::string(static_cast<std::size_t>(n), 'p'));
    }
  }

  ManualClock clock(1700000000, 5000);
  ReceptionView view;
  ReceptionParams params;
  params.sid = 7;
  params.port = decoded ? state.port : 5000;
  params.address = decoded ? state.address : "239.1.2.3";
  params.storageFolder = storage;
  params.name = "fuzz";
  params.totalBytes = 1 << 20;
  params.stateFolder = stateFolder;
  params.reservationId = state.reservationId;
  params.programNumber = state.programNumber;
  params.subNumber = state.subNumber;
  params.scheduledStart = state.scheduledStart;
  params.scheduledEnd = decoded ? state.scheduledEnd : clock.Now() + 3600;
  {
    Reception rx(params, fs, clock, view, [] { return std::unique_ptr<DatagramSocket>(new SilentSocket); });
    if (!rx.Start()) std::abort();
    if (rx.BlockMapBytes() > kMaxBlockMapTotal || rx.DiskClaimed() > rx.DiskBudget()) std::abort();
    for (int i = 0; i < 3; ++i) {
      clock.Advance(10);
      rx.OnTimer();
    }
    if (rx.Finished()) rx.PlaceFiles();
  }

  // Only the storage folder and the file beside it; the state went with the engine.
  for (const FoundFile& f : fs.Find(scratch.root + "*")) {
    if (f.name == "." || f.name == ".." || f.name == "store" || f.name == "sentinel") continue;
    std::fprintf(stderr, "left outside the storage folder: %s\n", f.name.c_str());
    std::abort();
  }
  std::string sentinel;
  if (!fs.ReadAll(scratch.root + "sentinel", &sentinel) || sentinel != "beside") std::abort();
  return 0;
}
