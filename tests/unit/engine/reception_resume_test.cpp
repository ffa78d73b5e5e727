// A reception killed in the middle of a broadcast continues from the state it
// kept beside its reservation; a state that does not fit is never trusted.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>
#include "common/clock.h"
#include "common/debug_log.h"
#include "common/path.h"
#include "common/text.h"
#include "tests/support/failing_files.h"
#include "tests/unit/engine/engine_fixtures.h"
#include "unit/reception.h"
#include "unit/reception_state.h"

using namespace enginetest;

namespace {

// Counts the state's saves, logs writes, flushes and replaces in their order,
// and can make the state folder another volume: no rename leads out of it.
class WatchedFiles : public FailingFiles {
 public:
  WatchedFiles(FileSystem& real, std::string stateFolder) : FailingFiles(real), state_(std::move(stateFolder)) {}
  std::unique_ptr<FileStream> Open(const std::string& path, OpenMode mode) override {
    auto f = FailingFiles::Open(path, mode);
    if (!f) return f;
    return std::make_unique<LoggedStream>(std::move(f), LeafName(path), &events);
  }
  bool Replace(const std::string& from, const std::string& to) override {
    events.push_back("replace " + LeafName(to));
    if (EndsWith(to, kStateRecordName)) ++stateSaves;
    if (otherVolume && Crosses(from, to)) return false;
    return FailingFiles::Replace(from, to);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    if (otherVolume && Crosses(from, to)) return false;
    return FailingFiles::Rename(from, to);
  }
  int stateSaves = 0;
  bool otherVolume = false;
  std::vector<std::string> events;

 private:
  class LoggedStream : public FileStream {
   public:
    LoggedStream(std::unique_ptr<FileStream> f, std::string name, std::vector<std::string>* log)
        : f_(std::move(f)), name_(std::move(name)), log_(log) {}
    bool Write(const void* d, std::size_t n) override {
      log_->push_back("write " + name_);
      return f_->Write(d, n);
    }
    std::size_t Read(void* d, std::size_t n) override { return f_->Read(d, n); }
    bool Seek(std::uint64_t o) override { return f_->Seek(o); }
    bool Flush() override {
      log_->push_back("flush " + name_);
      return f_->Flush();
    }
    void Close() override { f_->Close(); }

   private:
    std::unique_ptr<FileStream> f_;
    std::string name_;
    std::vector<std::string>* log_;
  };
  static bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
  }
  bool Crosses(const std::string& from, const std::string& to) const {
    return IsPathInside(state_, from) != IsPathInside(state_, to);
  }
  std::string state_;
};

class ResumeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs.MakeFolder(folder / "sched");
    params.sid = 7;
    params.port = 5001;
    params.address = "239.1.2.3";
    params.storageFolder = storage;
    params.name = J(u8"再開テスト");
    params.totalBytes = 64 * 1024;
    params.scheduledStart = clock.Now() - 60;
    params.scheduledEnd = clock.Now() + 3600;
    params.stateFolder = state;
    params.reservationId = 777;
    params.programNumber = 4660;
    params.subNumber = 2;
    // One file on disk, two small ones that arrive fast enough to stay in memory.
    files = {{"sub\\large.bin", RandomBytes(rng, 20000)},
             {"small.txt", RandomBytes(rng, 500)},
             {J(u8"番組案内.txt"), RandomBytes(rng, 2500)}};
    cycle = Cycle(files, 1024, 1);
    half = cycle.size() / 2;
    SetDebugSink([this](const std::string& line) { debugLines.push_back(line); });
  }
  void TearDown() override {
    rx.reset();
    SetDebugSink({});
  }
  void Start() {
    auto n = net = std::make_shared<FakeNet>();
    rx.reset(new Reception(params, watched, clock, view, [n] { return std::unique_ptr<DatagramSocket>(new FakeSocket(n)); }));
    ASSERT_TRUE(rx->Start());
  }
  void Feed(std::vector<std::string>::const_iterator from, std::vector<std::string>::const_iterator to) {
    net->inbox.insert(net->inbox.end(), from, to);
  }
  void FeedFirstHalf() { Feed(cycle.begin(), cycle.begin() + half); }
  // The rest of the cycle and one datagram of a file already whole, on which
  // the reception declares completion.
  void FeedSecondHalf() {
    Feed(cycle.begin() + half, cycle.end());
    net->inbox.push_back(cycle[0]);
  }
  void Run() {
    for (int guard = 0; guard < 20000 && !(net->inbox.empty() && rx->QueueLength() == 0); ++guard) Tick();
    for (int i = 0; i < 5; ++i) Tick();
  }
  void Tick() {
    clock.Advance(10);
    rx->OnSocketReady();
    rx->OnTimer();
  }
  void WaitForSave() {
    clock.Advance(kStateSaveIntervalMs);
    Tick();
  }
  std::vector<std::string> Names(const std::string& inFolder) {
    std::vector<std::string> names;
    for (const FoundFile& f : fs.Find(JoinPath(inFolder, "*")))
      if (f.name != "." && f.name != "..") names.push_back(f.name);
    return names;
  }
  // What a kill leaves on disk: the engine goes, its state folder stays as it
  // was at that moment (the engine's own end would remove it).
  void Kill() {
    const std::string aside = folder / "aside";
    fs.MakeFolder(aside);
    for (const std::string& name : Names(state)) ASSERT_TRUE(fs.CopyTo(JoinPath(state, name), JoinPath(aside, name), true));
    rx.reset();
    ASSERT_FALSE(fs.IsFolder(state));
    fs.MakeFolder(state);
    for (const std::string& name : Names(aside)) ASSERT_TRUE(fs.CopyTo(JoinPath(aside, name), JoinPath(state, name), true));
    ClearFolder(fs, aside);
    fs.RemoveFolder(aside);
  }
  void ExpectPlacedByteExact() {
    ASSERT_TRUE(rx->Finished());
    EXPECT_EQ(rx->Result(), 1);
    EXPECT_EQ(rx->PlaceFiles(), 0);
    for (const auto& f : files) EXPECT_EQ(folder.Read("data\\prog\\" + f.name), f.data) << f.name;
    EXPECT_EQ(Names(storage).size(), 3u);  // "sub" and two files: no temporary file beside them
    EXPECT_FALSE(fs.IsFolder(state));
  }
  bool Logged(const std::string& part) const {
    for (const auto& l : debugLines)
      if (l.find(part) != std::string::npos) return true;
    return false;
  }
  std::string StateRecord() const { return JoinPath(state, kStateRecordName); }

  TempFolder folder;
  FileSystem& fs = PlatformFiles();
  std::string storage = folder / "data\\prog";
  std::string state = folder / "sched\\RSV030521302001000012340002.RCV";
  WatchedFiles watched{PlatformFiles(), state};
  std::shared_ptr<FakeNet> net;
  ManualClock clock{1700000000, 5000};
  RecordingView view;
  ReceptionParams params;
  std::unique_ptr<Reception> rx;
  std::vector<std::string> debugLines;
  std::mt19937 rng{4242};
  std::vector<CarouselFile> files;
  std::vector<std::string> cycle;
  std::size_t half = 0;
};

}  // namespace

TEST_F(ResumeTest, KilledAfterHalfTheBlocksCompletesWithTheSecondHalf) {
  Start();
  FeedFirstHalf();
  Run();
  WaitForSave();
  ASSERT_TRUE(fs.Exists(StateRecord()));
  // The part files lie in the state folder: nothing of the reception in the user's view.
  EXPECT_TRUE(Names(storage).empty());
  const std::int64_t received = rx->ReceivedBytes();
  const Time32 started = rx->ReceptionStart();
  Kill();

  clock.Advance(20000);
  Start();
  EXPECT_TRUE(rx->Resumed());
  EXPECT_EQ(view.status, J(u8"受信中"));
  EXPECT_EQ(rx->ReceivedBytes(), received);
  EXPECT_EQ(rx->ReceptionStart(), started);
  EXPECT_TRUE(Logged("continues from its state"));
  FeedSecondHalf();
  Run();
  ExpectPlacedByteExact();
}

// A kill between two saves: what reached the part files after the last save
// is not in its map, so it is taken again from the next cycle, never guessed.
TEST_F(ResumeTest, BlocksStoredAfterTheLastSaveComeAgainFromTheNextCycle) {
  Start();
  FeedFirstHalf();
  Run();
  WaitForSave();
  Feed(cycle.begin() + half, cycle.begin() + half + 3);
  Run();
  Kill();
  Start();
  ASSERT_TRUE(rx->Resumed());
  Feed(cycle.begin() + half + 3, cycle.end());
  Run();
  EXPECT_FALSE(rx->Finished());
  Feed(cycle.begin(), cycle.end());
  Run();
  ExpectPlacedByteExact();
}

TEST_F(ResumeTest, StateIsWrittenAtMostEveryFewSecondsAndOnlyAfterNewBlocks) {
  Start();
  // One datagram every 500 ms for 12 s.
  ASSERT_EQ(cycle.size(), 24u);
  for (std::size_t fed = 0; fed < cycle.size(); ++fed) {
    net->inbox.push_back(cycle[fed]);
    for (int t = 0; t < 50; ++t) Tick();
    if (fed == 8) {
      EXPECT_EQ(watched.stateSaves, 0);  // 4.5 s
    }
  }
  EXPECT_GE(watched.stateSaves, 2);
  EXPECT_LE(watched.stateSaves, 3);
  const int saves = watched.stateSaves;
  for (int t = 0; t < 3000; ++t) Tick();  // 30 s without a datagram
  EXPECT_LE(watched.stateSaves, saves + 1);
  const int quiet = watched.stateSaves;
  for (int t = 0; t < 3000; ++t) Tick();
  EXPECT_EQ(watched.stateSaves, quiet);
}

// A map on disk never claims a block that is not: every part file written to
// since the last save (the open one, closed ones, images of files kept in
// memory) is flushed after its last write and before the state is replaced.
TEST_F(ResumeTest, PartFilesAreFlushedBeforeTheStateThatClaimsThem) {
  Start();
  FeedFirstHalf();
  Run();
  WaitForSave();
  ASSERT_EQ(watched.stateSaves, 1);
  clock.Advance(1500);  // the next file goes to disk, the one after it stays in memory
  watched.events.clear();
  Feed(cycle.begin() + half, cycle.end());
  Run();
  ASSERT_TRUE(rx->Files().at(2).inMemory);
  ASSERT_FALSE(rx->Files().at(1).inMemory);
  WaitForSave();
  ASSERT_EQ(watched.stateSaves, 2);
  const std::vector<std::string>& log = watched.events;
  const auto replaced = std::find(log.begin(), log.end(), std::string("replace ") + kStateRecordName);
  ASSERT_NE(replaced, log.end());
  for (const std::string part : {"00000.part", "00001.part", "00002.part"}) {
    const auto lastWrite = std::find(log.rbegin(), log.rend(), "write " + part);
    ASSERT_NE(lastWrite, log.rend()) << part;
    const auto flush = std::find(lastWrite.base(), log.end(), "flush " + part);
    EXPECT_TRUE(flush < replaced) << part << " is not flushed before the state claims it";
  }
}

// The state of a broadcast whose every file was whole (killed before it was
// collected) completes at once.
TEST_F(ResumeTest, EveryFileWholeBeforeTheKillCompletesAtTheStart) {
  Start();
  Feed(cycle.begin(), cycle.end());
  Run();
  EXPECT_EQ(rx->RemainingFiles(), 0);
  // The small files are kept in memory: their images reach the state folder.
  EXPECT_TRUE(rx->Files().at(1).inMemory);
  EXPECT_TRUE(rx->Files().at(2).inMemory);
  WaitForSave();
  Kill();
  Start();
  ExpectPlacedByteExact();
}

TEST_F(ResumeTest, PartFilesOnAnotherVolumeAreCopiedBesideTheirDestination) {
  watched.otherVolume = true;
  Start();
  Feed(cycle.begin(), cycle.end());
  net->inbox.push_back(cycle[0]);
  Run();
  ExpectPlacedByteExact();
}

TEST_F(ResumeTest, StateFolderThatCannotBeMadeLeavesTheReceptionAsWithoutOne) {
  ASSERT_TRUE(fs.WriteAll(folder / "blocked", "a file where the folder would go"));
  params.stateFolder = folder / "blocked\\RSV1.RCV";
  Start();
  Feed(cycle.begin(), cycle.end());
  net->inbox.push_back(cycle[0]);
  Run();
  EXPECT_TRUE(Logged("nothing is kept for a restart"));
  ExpectPlacedByteExact();
  EXPECT_EQ(folder.Read("blocked"), "a file where the folder would go");
}

// The unit ends while the broadcast goes on: the state is written at once and
// stays; a reception that ends otherwise (cancelled, superseded) removes it.
TEST_F(ResumeTest, KeptForResumeAtExitOtherwiseRemovedWithTheEngine) {
  Start();
  FeedFirstHalf();
  Run();
  EXPECT_EQ(watched.stateSaves, 0);
  rx->KeepForResume();
  rx.reset();
  EXPECT_TRUE(fs.Exists(StateRecord()));
  Start();
  ASSERT_TRUE(rx->Resumed());
  rx.reset();
  EXPECT_FALSE(fs.IsFolder(state));
  EXPECT_TRUE(Names(storage).empty());
}

// After a power loss the network may not be up yet when the unit starts: the
// group cannot be joined, and the state stays for the start after that.
TEST_F(ResumeTest, ContinuedReceptionThatCannotJoinKeepsItsStateAtExit) {
  Start();
  FeedFirstHalf();
  Run();
  WaitForSave();
  Kill();
  auto n = net = std::make_shared<FakeNet>();
  n->joinOk = false;
  rx.reset(new Reception(params, watched, clock, view, [n] { return std::unique_ptr<DatagramSocket>(new FakeSocket(n)); }));
  ASSERT_TRUE(rx->Start());
  ASSERT_TRUE(rx->Unreceivable());
  rx->KeepForResume();
  rx.reset();
  Start();
  ASSERT_TRUE(rx->Resumed());
  FeedSecondHalf();
  Run();
  ExpectPlacedByteExact();
}

// A state that does not fit this reservation or its part files: a debug line,
// the state folder emptied, and the reception starts from nothing (and still
// completes byte-exact).
struct MismatchCase {
  const char* name;
  void (*change)(ResumeTest& t, ReceptionParams& p, FileSystem& fs, const std::string& state);
};

class ResumeMismatchTest : public ResumeTest, public ::testing::WithParamInterface<MismatchCase> {};

TEST_P(ResumeMismatchTest, IsDiscardedAndTheReceptionStartsFromNothing) {
  Start();
  FeedFirstHalf();
  Run();
  WaitForSave();
  Kill();
  GetParam().change(*this, params, fs, state);
  Start();
  EXPECT_FALSE(rx->Resumed());
  EXPECT_TRUE(Logged("discarded")) << "no debug line";
  EXPECT_EQ(rx->ReceivedBytes(), 0);
  EXPECT_TRUE(Names(state).empty());
  EXPECT_EQ(view.status, J(u8"受信待ち"));
  Feed(cycle.begin(), cycle.end());
  net->inbox.push_back(cycle[0]);
  Run();
  ExpectPlacedByteExact();
}

namespace {
void Truncate(FileSystem& fs, const std::string& path, std::size_t keep) {
  std::string data;
  ASSERT_TRUE(fs.ReadAll(path, &data));
  ASSERT_TRUE(fs.WriteAll(path, data.substr(0, keep)));
}
}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, ResumeMismatchTest,
    ::testing::Values(
        MismatchCase{"AnotherReservationId", [](ResumeTest&, ReceptionParams& p, FileSystem&, const std::string&) {
          p.reservationId = 778;
        }},
        MismatchCase{"AnotherProgram", [](ResumeTest&, ReceptionParams& p, FileSystem&, const std::string&) {
          p.subNumber = 3;
        }},
        MismatchCase{"MovedStart", [](ResumeTest&, ReceptionParams& p, FileSystem&, const std::string&) {
          p.scheduledStart += 60;
        }},
        MismatchCase{"AnotherGroup", [](ResumeTest&, ReceptionParams& p, FileSystem&, const std::string&) {
          p.address = "239.1.2.4";
        }},
        MismatchCase{"TruncatedState", [](ResumeTest&, ReceptionParams&, FileSystem& fs, const std::string& state) {
          std::string data;
          ASSERT_TRUE(fs.ReadAll(JoinPath(state, kStateRecordName), &data));
          Truncate(fs, JoinPath(state, kStateRecordName), data.size() - 9);
        }},
        MismatchCase{"DamagedState", [](ResumeTest&, ReceptionParams&, FileSystem& fs, const std::string& state) {
          std::string data;
          ASSERT_TRUE(fs.ReadAll(JoinPath(state, kStateRecordName), &data));
          data[data.size() / 2] = static_cast<char>(data[data.size() / 2] ^ 0x10);
          ASSERT_TRUE(fs.WriteAll(JoinPath(state, kStateRecordName), data));
        }},
        MismatchCase{"EmptyState", [](ResumeTest&, ReceptionParams&, FileSystem& fs, const std::string& state) {
          ASSERT_TRUE(fs.WriteAll(JoinPath(state, kStateRecordName), ""));
        }},
        MismatchCase{"PartFileShorterThanItsMap", [](ResumeTest&, ReceptionParams&, FileSystem& fs, const std::string& state) {
          Truncate(fs, JoinPath(state, "00000.part"), 100);
        }},
        MismatchCase{"PartFileMissing", [](ResumeTest&, ReceptionParams&, FileSystem& fs, const std::string& state) {
          ASSERT_TRUE(fs.Remove(JoinPath(state, "00000.part")));
        }}),
    [](const ::testing::TestParamInfo<MismatchCase>& info) { return std::string(info.param.name); });

// The air contradicts the state (another carousel on the same reservation):
// nothing of the state is mixed with it.
struct AirCase {
  const char* name;
  void (*change)(std::vector<CarouselFile>& files, std::uint16_t* blockSize);
  const char* why;
};

class ResumeAirTest : public ResumeTest, public ::testing::WithParamInterface<AirCase> {};

TEST_P(ResumeAirTest, DisagreementDiscardsTheStateAndTheNewCarouselIsReceived) {
  Start();
  FeedFirstHalf();
  Run();
  WaitForSave();
  Kill();
  Start();
  ASSERT_TRUE(rx->Resumed());
  std::uint16_t blockSize = 1024;
  GetParam().change(files, &blockSize);
  const std::vector<std::string> other = Cycle(files, blockSize, 1);
  Feed(other.begin(), other.end());
  net->inbox.push_back(other[0]);
  Run();
  EXPECT_TRUE(Logged(GetParam().why)) << GetParam().why;
  EXPECT_FALSE(rx->Resumed());
  ASSERT_TRUE(rx->Finished());
  EXPECT_EQ(rx->Result(), 1);
  EXPECT_EQ(rx->PlaceFiles(), 0);
  for (const auto& f : files) EXPECT_EQ(folder.Read("data\\prog\\" + f.name), f.data) << f.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResumeAirTest,
    ::testing::Values(
        AirCase{"BlockSize", [](std::vector<CarouselFile>&, std::uint16_t* bs) { *bs = 2048; },
                "block size differs"},
        AirCase{"FileCount", [](std::vector<CarouselFile>& f, std::uint16_t*) { f.push_back({"new.txt", "fourth"}); },
                "file count differs"},
        AirCase{"FileSize", [](std::vector<CarouselFile>& f, std::uint16_t*) { f[0].data.resize(19900); },
                "size differs"},
        AirCase{"FileName", [](std::vector<CarouselFile>& f, std::uint16_t*) { f[0].name = "sub\\other.bin"; },
                "name differs"}),
    [](const ::testing::TestParamInfo<AirCase>& info) { return std::string(info.param.name); });
