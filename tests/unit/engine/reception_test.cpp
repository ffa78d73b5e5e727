// The reception engine fed directly with datagrams through a fake socket.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include "common/clock.h"
#include "common/debug_log.h"
#include "common/path.h"
#include "common/text.h"
#include "tests/support/failing_files.h"
#include "tests/unit/engine/engine_fixtures.h"
#include "unit/datagram.h"
#include "unit/reception.h"
#include "unit/result_writer.h"

using namespace enginetest;

namespace {

class ReceptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    params.sid = 7;
    params.port = 5001;
    params.address = "239.1.2.3";
    params.storageFolder = folder.Path();
    params.name = J(u8"テスト番組");
    params.totalBytes = 1024 * 1024;
    params.scheduledEnd = clock.Now() + 3600;
    params.timeout = 300;
    SetDebugSink([this](const std::string& line) { debugLines.push_back(line); });
  }
  void TearDown() override {
    rx.reset();
    SetDebugSink({});
  }
  FileSystem& Fs() { return PlatformFiles(); }
  void Start() {
    auto n = net;
    rx.reset(new Reception(params, Fs(), clock, view, [n] { return std::unique_ptr<DatagramSocket>(new FakeSocket(n)); }));
    ASSERT_TRUE(rx->Start());
  }
  // Lets more than a second pass so that small files go to disk again.
  void Wait(std::uint32_t ms) { clock.Advance(ms); }
  void Feed(const std::vector<std::string>& datagrams) {
    net->inbox.insert(net->inbox.end(), datagrams.begin(), datagrams.end());
  }
  void Feed(const std::string& datagram) { net->inbox.push_back(datagram); }
  // Ticks until the socket and the queue are drained (and the write buffer flushed).
  void Run() {
    for (int guard = 0; guard < 200000; ++guard) {
      clock.Advance(10);
      rx->OnSocketReady();
      rx->OnTimer();
      if (net->inbox.empty() && rx->QueueLength() == 0) break;
    }
    for (int i = 0; i < 5; ++i) {
      clock.Advance(10);
      rx->OnTimer();
    }
  }
  const ReceivedFile* Entry(std::uint16_t id) {
    auto it = rx->Files().find(id);
    return it == rx->Files().end() ? nullptr : &it->second;
  }
  bool Logged(const std::string& part) {
    for (const auto& l : debugLines)
      if (l.find(part) != std::string::npos) return true;
    return false;
  }

  TempFolder folder;
  std::shared_ptr<FakeNet> net = std::make_shared<FakeNet>();
  ManualClock clock{1700000000, 5000};
  RecordingView view;
  ReceptionParams params;
  std::unique_ptr<Reception> rx;
  std::vector<std::string> debugLines;
  std::mt19937 rng{12345};
};

TEST_F(ReceptionTest, StartJoinsTheGroupWithTheUnitsReceiveBufferAndWaits) {
  Start();
  EXPECT_EQ(net->boundPort, 5001);
  EXPECT_EQ(net->receiveBuffer, 0x20000);
  EXPECT_EQ(net->group, "239.1.2.3");
  EXPECT_EQ(view.status, J(u8"受信待ち"));
  EXPECT_EQ(view.programName, J(u8"テスト番組"));
  EXPECT_TRUE(view.timerRunning);
  EXPECT_EQ(rx->ReceptionStart(), clock.Now());
}

TEST_F(ReceptionTest, EmptyAddressOrFolderRefusesToStart) {
  params.address.clear();
  Reception a(params, Fs(), clock, view);
  EXPECT_FALSE(a.Start());
  params.address = "239.1.2.3";
  params.storageFolder.clear();
  Reception b(params, Fs(), clock, view);
  EXPECT_FALSE(b.Start());
}

TEST_F(ReceptionTest, StreamProgramFinishesAtOnceWithoutSocket) {
  params.sid = 0;
  params.timeError = 30;
  Start();
  EXPECT_TRUE(rx->Finished());
  EXPECT_EQ(rx->ReceptionEnd(), rx->ReceptionStart());
  EXPECT_EQ(rx->ReceptionStart(), clock.Now() + 30);
  EXPECT_EQ(net->boundPort, -1);
}

TEST_F(ReceptionTest, FailedJoinShowsBindErrorAndIsUnreceivableUntilCommandOne) {
  net->joinOk = false;
  Start();
  EXPECT_EQ(view.bindError, 10049);
  EXPECT_EQ(view.status, J(u8"受信不可"));
  EXPECT_FALSE(view.timerRunning);
  EXPECT_TRUE(net->closed);
  EXPECT_FALSE(rx->Finished());
  rx->OnStopCommand();
  EXPECT_TRUE(rx->Finished());
  EXPECT_EQ(rx->Result(), 0);
  rx->OnStopCommand();
  EXPECT_TRUE(rx->CloseRequested());
}

TEST_F(ReceptionTest, NoTimerIdLeavesTheGroupAndIsUnreceivable) {
  view.timerAvailable = false;
  Start();
  EXPECT_EQ(view.status, J(u8"受信不可"));
  EXPECT_TRUE(net->left);
  EXPECT_TRUE(net->closed);
}

TEST_F(ReceptionTest, FirstDatagramBlockFiveGetsTempNameAndFinalNameAfterBlockZero) {
  std::vector<CarouselFile> files{{"sub\\data.bin", RandomBytes(rng, 20000)}};
  auto dg = FileDatagrams(files, 0, 1024, 1);
  ASSERT_GT(dg.size(), 10u);
  Start();
  Feed(dg[5]);
  Run();
  const ReceivedFile* e = Entry(0);
  ASSERT_NE(e, nullptr);
  ASSERT_FALSE(e->tempPath.empty());
  EXPECT_EQ(e->tempPath.find(WithBackslash(folder.Path()) + "~"), 0u);
  EXPECT_EQ(e->tempPath.substr(e->tempPath.size() - 4), ".tmp");
  EXPECT_TRUE(e->destPath.empty());
  EXPECT_EQ(view.status, J(u8"受信中"));
  const std::string tempPath = e->tempPath;

  Feed(dg);
  Run();
  e = Entry(0);
  EXPECT_EQ(e->destPath, folder / "sub\\data.bin");
  EXPECT_TRUE(e->complete);
  EXPECT_FALSE(rx->Finished());  // declared on the next datagram of a complete file
  Feed(dg[3]);
  Run();
  ASSERT_TRUE(rx->Finished());
  EXPECT_EQ(rx->Result(), 1);
  EXPECT_TRUE(Fs().Exists(tempPath));
  EXPECT_EQ(rx->PlaceFiles(), 0);
  EXPECT_FALSE(Fs().Exists(tempPath));
  EXPECT_EQ(folder.Read("sub\\data.bin"), files[0].data);
}

TEST_F(ReceptionTest, ThreeFilesCompleteOnTheFirstDatagramAfterAllAreComplete) {
  std::vector<CarouselFile> files{{"a.txt", RandomBytes(rng, 5000)},
                                  {"b.txt", RandomBytes(rng, 15000)},
                                  {"c.txt", RandomBytes(rng, 300)}};
  Start();
  Wait(2000);
  Feed(Cycle(files, 1024, 2));
  Run();
  EXPECT_EQ(rx->RemainingFiles(), 0);
  EXPECT_FALSE(rx->Finished());
  Feed(FileDatagrams(files, 1, 1024, 2)[2]);
  Run();
  ASSERT_TRUE(rx->Finished());
  EXPECT_EQ(rx->Result(), 1);
  EXPECT_EQ(view.status, J(u8"受信終了"));
  EXPECT_EQ(view.stopLabel, J(u8"終了処理"));
  EXPECT_EQ(view.remaining, "");
  EXPECT_FALSE(view.timerRunning);
  EXPECT_TRUE(net->left);
  EXPECT_TRUE(net->closed);
  EXPECT_EQ(rx->ReceptionEnd(), clock.Now());
  rx->PlaceFiles();
  for (const auto& f : files) EXPECT_EQ(folder.Read(f.name), f.data) << f.name;
}

TEST_F(ReceptionTest, FileIdsZeroOneThreeNeverCompleteAndEndAfterScheduledEnd) {
  std::vector<CarouselFile> files{{"a", RandomBytes(rng, 3000)}, {"b", RandomBytes(rng, 3000)},
                                  {"c", RandomBytes(rng, 3000)}, {"d", RandomBytes(rng, 3000)}};
  params.scheduledEnd = clock.Now() + 5;
  Start();
  std::vector<std::string> cycle;
  for (std::size_t id : {0u, 1u, 3u}) {
    auto one = FileDatagrams(files, id, 1024, 1);
    for (auto& d : one) d[16] = 3;  // fileCount 3 in every header
    cycle.insert(cycle.end(), one.begin(), one.end());
  }
  Feed(cycle);
  Feed(cycle);
  Run();
  EXPECT_EQ(rx->FileCount(), 3);
  EXPECT_FALSE(rx->Finished());
  // Run on the clock until the scheduled end is more than 60 s past.
  for (int i = 0; i < 7000 && view.stopPosts == 0; ++i) {
    clock.Advance(10);
    rx->OnTimer();
  }
  ASSERT_EQ(view.stopPosts, 1);
  EXPECT_GT(clock.Now() - 60, params.scheduledEnd);
  EXPECT_LE(clock.Now() - 61, params.scheduledEnd);
  rx->OnStopCommand();
  EXPECT_TRUE(rx->Finished());
  EXPECT_EQ(rx->Result(), 0);
  EXPECT_FALSE(rx->CloseRequested());
  for (int i = 0; i < 100; ++i) {
    clock.Advance(10);
    rx->OnTimer();
  }
  ASSERT_EQ(view.stopPosts, 2);
  rx->OnStopCommand();
  EXPECT_TRUE(rx->CloseRequested());
}

TEST_F(ReceptionTest, NothingWithinTimeoutEndsWithinASecond) {
  params.timeout = 3;
  Start();
  int ticks = 0;
  while (view.stopPosts == 0 && ticks < 1000) {
    clock.Advance(10);
    rx->OnTimer();
    ++ticks;
  }
  EXPECT_EQ(view.stopPosts, 1);
  EXPECT_GT(clock.Now(), rx->ReceptionStart() + 3);
  EXPECT_LE(clock.Now(), rx->ReceptionStart() + 4);
}

TEST_F(ReceptionTest, StoppedReceptionKeepsStoringButResultStaysZero) {
  std::vector<CarouselFile> files{{"late.bin", RandomBytes(rng, 9000)}};
  Start();
  Wait(2000);
  rx->OnStopCommand();
  Feed(Cycle(files, 1024, 1));
  Feed(FileDatagrams(files, 0, 1024, 1)[0]);
  Run();
  EXPECT_TRUE(rx->Finished());
  EXPECT_EQ(rx->Result(), 0);
  rx->PlaceFiles();
  EXPECT_EQ(folder.Read("late.bin"), files[0].data);
}

TEST_F(ReceptionTest, SmallFilesArrivingInABurstAreKeptInMemoryAndPlaced) {
  std::vector<CarouselFile> files{{"s1.txt", RandomBytes(rng, 700)},
                                  {"s2.txt", RandomBytes(rng, 3000)},
                                  {"big.bin", RandomBytes(rng, 40000)},
                                  {"s3.txt", RandomBytes(rng, 100)}};
  Start();
  Wait(1500);
  Feed(Cycle(files, 1024, 1));
  Feed(FileDatagrams(files, 0, 1024, 1)[0]);
  Run();
  ASSERT_TRUE(rx->Finished());
  // The first file is created on disk; the next small files come within a
  // second of it and stay in memory; the large one always goes to disk.
  EXPECT_FALSE(Entry(0)->inMemory);
  EXPECT_TRUE(Entry(1)->inMemory);
  EXPECT_FALSE(Entry(2)->inMemory);
  EXPECT_TRUE(Entry(3)->inMemory);
  EXPECT_FALSE(folder.Has("s2.txt"));
  EXPECT_FALSE(folder.Has("s3.txt"));
  EXPECT_EQ(rx->PlaceFiles(), 0);
  for (const auto& f : files) EXPECT_EQ(folder.Read(f.name), f.data) << f.name;
}

TEST_F(ReceptionTest, SeededLossReorderingAndDuplicatesEndByteExact) {
  std::vector<CarouselFile> files;
  for (int i = 0; i < 12; ++i)
    files.push_back({"f" + std::to_string(i) + (i % 3 ? "\\deep\\x.dat" : ".dat"),
                     RandomBytes(rng, (rng() % 5) ? rng() % 30000 : rng() % 2000)});
  Start();
  Wait(1500);
  auto cycle = Cycle(files, 1024, 1);
  std::bernoulli_distribution lose(0.30), dup(0.10);
  int cycles = 0;
  while (!rx->Finished() && cycles < 60) {
    std::vector<std::string> sent;
    // The first cycle starts in the middle of the carousel.
    std::size_t from = cycles == 0 ? cycle.size() / 2 : 0;
    for (std::size_t i = from; i < cycle.size(); ++i) {
      if (lose(rng)) continue;
      sent.push_back(cycle[i]);
      if (dup(rng)) sent.push_back(cycle[i]);
    }
    for (std::size_t i = 0; i + 1 < sent.size(); ++i)
      if (rng() % 5 == 0) std::swap(sent[i], sent[std::min(sent.size() - 1, i + 1 + rng() % 8)]);
    Feed(sent);
    Run();
    ++cycles;
    Wait(300);
  }
  ASSERT_TRUE(rx->Finished()) << "after " << cycles << " cycles";
  EXPECT_EQ(rx->Result(), 1);
  EXPECT_GT(cycles, 1);
  EXPECT_EQ(rx->PlaceFiles(), 0);
  for (const auto& f : files) EXPECT_EQ(folder.Read(f.name), f.data) << f.name;
  EXPECT_TRUE(Fs().Find(folder / "~*.tmp").empty());
}

TEST_F(ReceptionTest, FilesStartedInTheSameMillisecondGetDistinctTempNames) {
  std::vector<CarouselFile> files{{"one.bin", RandomBytes(rng, 30000)}, {"two.bin", RandomBytes(rng, 30000)}};
  auto a = FileDatagrams(files, 0, 1024, 1);
  auto b = FileDatagrams(files, 1, 1024, 1);
  Start();
  Wait(1500);
  // Both files start without their names within one tick.
  Feed({a[3], b[4]});
  rx->OnSocketReady();
  rx->OnTimer();
  ASSERT_NE(Entry(0), nullptr);
  ASSERT_NE(Entry(1), nullptr);
  EXPECT_NE(Entry(0)->tempPath, Entry(1)->tempPath);
  Feed(a);
  Feed(b);
  Feed(a[0]);
  Run();
  ASSERT_TRUE(rx->Finished());
  rx->PlaceFiles();
  EXPECT_EQ(folder.Read("one.bin"), files[0].data);
  EXPECT_EQ(folder.Read("two.bin"), files[1].data);
}

TEST_F(ReceptionTest, ProgressShowsFiguresOnceASecondWithRemainingFiles) {
  std::vector<CarouselFile> files{{"a", RandomBytes(rng, 50000)}, {"b", RandomBytes(rng, 50000)}};
  Start();
  Wait(1500);
  Feed(FileDatagrams(files, 0, 1024, 1));
  // Feed a few datagrams per tick for more than a second.
  auto rest = FileDatagrams(files, 1, 1024, 1);
  for (std::size_t i = 0; i + 1 < rest.size(); ++i) {
    if (i % 2 == 0) {
      clock.Advance(10);
      rx->OnSocketReady();
      rx->OnTimer();
    }
    Feed(rest[i]);
  }
  Run();
  EXPECT_EQ(view.remaining, J(u8"あと 1ﾌｧｲﾙ"));
  EXPECT_NE(view.sizeText.find("/1024 KByte"), std::string::npos) << view.sizeText;
  EXPECT_GT(view.position, 0);
}

struct DivisorCase {
  std::int64_t totalBytes;
  int divisor;
  int range;
};

class DivisorTest : public ReceptionTest, public ::testing::WithParamInterface<DivisorCase> {};

TEST_P(DivisorTest, ProgressBarScale) {
  params.totalBytes = GetParam().totalBytes;
  Start();
  EXPECT_EQ(rx->Divisor(), GetParam().divisor);
  EXPECT_EQ(view.range, GetParam().range);
  EXPECT_EQ(view.position, 0);
}

INSTANTIATE_TEST_SUITE_P(Totals, DivisorTest,
                         ::testing::Values(DivisorCase{0, 1024, 0}, DivisorCase{1024 * 1024, 1024, 1024},
                                           DivisorCase{1022LL * 65536 + 65535, 1024, 65471},
                                           DivisorCase{1023LL * 65536, 1024, 65472},
                                           DivisorCase{2000LL * 65536, 2001, 65503}),
                         [](const ::testing::TestParamInfo<DivisorCase>& i) {
                           return "Total" + std::to_string(i.param.totalBytes);
                         });

// Names that would place a file outside the storage folder.
class UnsafeNameTest : public ReceptionTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnsafeNameTest, FileIsDroppedAndNothingLandsOutsideTheFolder) {
  std::vector<CarouselFile> files{{"good.txt", RandomBytes(rng, 2000)}, {GetParam(), RandomBytes(rng, 2000)}};
  Start();
  Wait(1500);
  Feed(Cycle(files, 512, 1));
  Feed(Cycle(files, 512, 1));
  Run();
  const ReceivedFile* bad = Entry(1);
  ASSERT_NE(bad, nullptr);
  EXPECT_TRUE(bad->rejected);
  EXPECT_TRUE(bad->destPath.empty());
  EXPECT_FALSE(rx->Finished());
  EXPECT_TRUE(Logged("outside the storage folder"));
  rx->PlaceFiles();
  EXPECT_EQ(folder.Read("good.txt"), files[0].data);
  auto inside = Fs().Find(folder / "*");
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0].name, "good.txt");
}

INSTANTIATE_TEST_SUITE_P(Names, UnsafeNameTest,
                         ::testing::Values("..\\escape.txt", "a\\..\\..\\escape.txt", "sub\\..", "\\escape.txt",
                                           "/escape.txt", "C:\\escape.txt", "c:escape.txt", "../escape.txt",
                                           ".. \\escape.txt", "...\\escape.txt", "", "dir\\",
                                           // devices and wildcards Windows would not take as plain files
                                           "CON", "sub\\nul.txt", "Com1.log", "lpt9", "aux .dat", "a*b.txt",
                                           "a|b.txt", "a<b", "q?.txt"));

TEST_F(ReceptionTest, UnsafeNameArrivingAfterTempStartRemovesTheTempFile) {
  std::vector<CarouselFile> files{{"..\\..\\evil.bin", RandomBytes(rng, 30000)}};
  auto dg = FileDatagrams(files, 0, 1024, 1);
  Start();
  Wait(1500);
  Feed({dg[4], dg[5]});
  Run();
  ASSERT_FALSE(Entry(0)->tempPath.empty());
  Feed(dg);
  Run();
  EXPECT_TRUE(Entry(0)->rejected);
  EXPECT_TRUE(Fs().Find(folder / "*").empty());
}

// Datagrams that do not fit the model are dropped without touching anything.
struct MalformedCase {
  const char* name;
  std::string (*make)();
};

std::string Base(std::uint32_t block, int lengthDelta = 0, std::size_t payload = 100) {
  DatagramFields d;
  d.blockSize = 1024;
  d.block = block;
  d.blockCount = 3;
  d.name = "x.bin";
  d.fileSize = 2000;
  d.payload.assign(payload, 'p');
  d.lengthDelta = lengthDelta;
  return EncodeDatagram(d);
}

const MalformedCase kMalformed[] = {
    {"ShorterThanHeader", [] { return std::string(10, '\x01'); }},
    {"LengthBelowFileHeader", [] { return Base(0).substr(0, 16 + 40); }},
    {"LengthFieldBelowFileHeader", [] { return Base(0, -200, 100); }},
    {"LengthFieldBeyondDatagram", [] { return Base(1, 50); }},
    {"LengthAbove4096", [] {
       std::string d = Base(1);
       d[4] = 0x01;
       d[5] = 0x10;  // 4097
       return d;
     }},
    {"BlockPastBlockCount", [] { return Base(3); }},
    {"BlockCountZero", [] {
       std::string d = Base(1);
       d[9] = d[10] = d[11] = 0;
       return d;
     }},
    {"PayloadLongerThanABlock", [] { return Base(1, 0, 1024 - 16 + 1); }},
    {"FlagsRejected", [] {
       std::string d = Base(1);
       d[0] |= 0x01;
       return d;
     }},
    {"FlagsWithoutDataBit", [] {
       std::string d = Base(1);
       d[1] = 0x02;
       return d;
     }},
};

class MalformedTest : public ReceptionTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedTest, DatagramIsDropped) {
  Start();
  Wait(1500);
  Feed(GetParam().make());
  Run();
  EXPECT_EQ(rx->DroppedDatagrams(), 1u);
  EXPECT_EQ(rx->ReceivedBytes(), 0);
  EXPECT_TRUE(rx->Files().empty());
  EXPECT_TRUE(Fs().Find(folder / "*").empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, MalformedTest, ::testing::ValuesIn(kMalformed),
                         [](const ::testing::TestParamInfo<MalformedCase>& i) { return std::string(i.param.name); });

TEST_F(ReceptionTest, DatagramWithAnotherBlockSizeIsIgnored) {
  std::vector<CarouselFile> files{{"a.bin", RandomBytes(rng, 3000)}};
  Start();
  Feed(Cycle(files, 1024, 1)[0]);
  Feed(Cycle(files, 2048, 1)[0]);
  Run();
  EXPECT_EQ(rx->BlockSize(), 1024);
  EXPECT_EQ(rx->DroppedDatagrams(), 1u);
}

TEST_F(ReceptionTest, PayloadOutsideTheMemoryImageIsDropped) {
  // A memory file of 2 blocks: block 1 claims more payload than a block holds.
  std::vector<CarouselFile> files{{"m.bin", RandomBytes(rng, 1500)}};
  auto dg = FileDatagrams(files, 0, 1024, 1);
  Start();
  Feed(dg[0]);
  Run();
  ASSERT_TRUE(Entry(0)->inMemory);
  DatagramFields big;
  big.blockSize = 1024;
  big.block = 1;
  big.blockCount = 2;
  big.payload.assign(1024, 'z');
  Feed(EncodeDatagram(big).substr(0, 1024 + 16));
  Run();
  EXPECT_EQ(rx->DroppedDatagrams(), 1u);
  Feed(dg[1]);
  Feed(dg[0]);
  Run();
  ASSERT_TRUE(rx->Finished());
  rx->PlaceFiles();
  EXPECT_EQ(folder.Read("m.bin"), files[0].data);
}

TEST_F(ReceptionTest, NameFillingItsFieldIsCutAtTheField) {
  std::string name(64, 'n');  // class 1: a 64-byte field without terminator
  std::vector<CarouselFile> files{{name, RandomBytes(rng, 500)}};
  Start();
  Feed(Cycle(files, 1024, 1));
  Feed(Cycle(files, 1024, 1));
  Run();
  ASSERT_TRUE(rx->Finished());
  EXPECT_EQ(Entry(0)->destPath, folder / name);
  rx->PlaceFiles();
  EXPECT_EQ(folder.Read(name), files[0].data);
}

TEST_F(ReceptionTest, HeaderClassesZeroToSevenUseTheirHeaderSizes) {
  for (int cls : {1, 2, 3, 5, 7}) {
    SCOPED_TRACE(cls);
    TempFolder own;
    params.storageFolder = own.Path();
    net = std::make_shared<FakeNet>();
    std::vector<CarouselFile> files{{"c" + std::to_string(cls), RandomBytes(rng, 9000)}};
    Start();
    Feed(Cycle(files, 1024, cls));
    Feed(Cycle(files, 1024, cls)[1]);
    Run();
    ASSERT_TRUE(rx->Finished());
    rx->PlaceFiles();
    EXPECT_EQ(own.Read(files[0].name), files[0].data);
    rx.reset();
  }
}

TEST_F(ReceptionTest, LargeFileGoesThroughTheWriteBehindBufferByteExact) {
  std::vector<CarouselFile> files{{"large.bin", RandomBytes(rng, 3 * 1024 * 1024 + 77)}};
  params.receiveBuffer = 0;
  Start();
  Feed(Cycle(files, 4096, 3));
  Feed(Cycle(files, 4096, 3)[7]);
  Run();
  ASSERT_TRUE(rx->Finished());
  EXPECT_EQ(rx->PlaceFiles(), 0);
  EXPECT_EQ(folder.Read("large.bin"), files[0].data);
}

TEST_F(ReceptionTest, ClearFolderEmptiesTheStorageFolderFirst) {
  Fs().WriteAll(folder / "old.txt", "old");
  Fs().MakeFolder(folder / "olddir");
  Fs().WriteAll(folder / "olddir\\x", "x");
  params.clearFolder = true;
  params.dataFolder = ParentFolder(folder.Path());
  Start();
  EXPECT_TRUE(Fs().Find(folder / "*").empty());
  EXPECT_TRUE(Fs().IsFolder(folder.Path()));
}

TEST_F(ReceptionTest, QueuedWorkBetweenTicksDrainsAFastStreamWithoutTimeChecks) {
  std::vector<CarouselFile> files{{"fast.bin", RandomBytes(rng, 2 * 1024 * 1024)}};
  params.timeout = 1;
  Start();
  Feed(Cycle(files, 4096, 1));
  Feed(Cycle(files, 4096, 1)[1]);
  rx->OnSocketReady();
  ASSERT_GT(rx->QueueLength(), 500u);
  int steps = 0;
  while (rx->ProcessQueued()) ++steps;
  // More than 100 datagrams a step would need fewer steps; the flushes add some.
  EXPECT_GE(steps, 5);
  ASSERT_TRUE(rx->Finished());
  EXPECT_EQ(rx->Result(), 1);
  EXPECT_EQ(view.stopPosts, 0);
  EXPECT_FALSE(rx->ProcessQueued());
  EXPECT_EQ(rx->PlaceFiles(), 0);
  EXPECT_EQ(folder.Read("fast.bin"), files[0].data);
}

TEST_F(ReceptionTest, EmptyAndOversizedDatagramsBeforeTheCarouselAreReadPast) {
  std::vector<CarouselFile> files{{"after_empty.bin", RandomBytes(rng, 30000)}};
  auto cycle = Cycle(files, 1024, 1);
  Start();
  Feed({std::string(), std::string(5000, 'o'), std::string()});
  Feed(cycle);
  Feed(cycle[1]);
  // One drain reads past the stray datagrams to everything behind them.
  rx->OnSocketReady();
  EXPECT_TRUE(net->inbox.empty());
  EXPECT_EQ(rx->QueueLength(), cycle.size() + 1);
  Run();
  ASSERT_TRUE(rx->Finished());
  EXPECT_EQ(rx->Result(), 1);
  rx->PlaceFiles();
  EXPECT_EQ(folder.Read("after_empty.bin"), files[0].data);
}

// Under Wine every receive is a round trip to the wineserver, the empty ones
// too: a pump that can find nothing is not made.
TEST_F(ReceptionTest, SocketIsNotAskedAgainWhenNothingCanHaveArrived) {
  Start();
  rx->OnTimer();
  EXPECT_EQ(net->receives, 1) << "an idle tick asks the socket once";
  // A tick whose queue holds a dozen datagrams: one drain, a pump after every
  // five processed, one at the end.
  Feed(std::vector<std::string>(12, Base(1)));
  clock.Advance(10);
  const int before = net->receives;
  rx->OnTimer();
  EXPECT_EQ(rx->QueueLength(), 0u);
  EXPECT_EQ(net->receives - before, 13 + 3);
}

// Pumps between the chunks of a flush: after every chunk while the disk takes
// time, after every kChunksPerPump while it takes none.
TEST_F(ReceptionTest, FlushPumpsTheSocketAsOftenAsTheDiskTakesTime) {
  std::vector<CarouselFile> files{{"f.bin", RandomBytes(rng, 1500000)}};
  for (std::uint32_t diskMs : {0u, 2u}) {
    SCOPED_TRACE(diskMs);
    net = std::make_shared<FakeNet>();
    FailingFiles disk(PlatformFiles());
    std::vector<int> receivesAtChunk;
    disk.onWrite = [&](std::size_t size) {
      if (size != kFlushChunk) return;
      receivesAtChunk.push_back(net->receives);
      clock.Advance(diskMs);
    };
    auto n = net;
    rx.reset(new Reception(params, disk, clock, view, [n] { return std::unique_ptr<DatagramSocket>(new FakeSocket(n)); }));
    ASSERT_TRUE(rx->Start());
    Feed(Cycle(files, 4096, 1));
    Feed(Cycle(files, 4096, 1)[0]);
    Run();
    ASSERT_EQ(rx->Result(), 1);
    ASSERT_GT(receivesAtChunk.size(), 100u);
    std::size_t pumped = 0;
    for (std::size_t i = 1; i < receivesAtChunk.size(); ++i) pumped += receivesAtChunk[i] != receivesAtChunk[i - 1];
    if (diskMs == 0) {
      EXPECT_LE(pumped * kChunksPerPump, receivesAtChunk.size() + 40);
    } else {
      EXPECT_EQ(pumped, receivesAtChunk.size() - 1);
    }
    rx.reset();
  }
}

TEST_F(ReceptionTest, NotificationIsHeededAfterADrainThatStoppedShort) {
  Start();
  // More empty datagrams than one pump reads: the drain ends at its bound.
  net->inbox.assign(kMaxReadsPerPump + 3, std::string());
  rx->OnSocketReady();
  EXPECT_EQ(net->inbox.size(), 3u);
  rx->OnSocketReady();
  EXPECT_TRUE(net->inbox.empty());
}

TEST_F(ReceptionTest, IntakeStopsAboveTwentyThousandQueuedDatagrams) {
  Start();
  std::string d = Base(1);
  for (int i = 0; i < 25000; ++i) net->inbox.push_back(d);
  rx->OnSocketReady();
  EXPECT_EQ(rx->QueueLength(), 20001u);
  EXPECT_EQ(net->inbox.size(), 4999u);
}

TEST_F(ReceptionTest, FailedWriteIsReportedAndItsBlocksComeAgainFromTheNextCycle) {
  FailingFiles failing(PlatformFiles());
  failing.writeFailures = 1;
  std::vector<CarouselFile> files{{"w.bin", RandomBytes(rng, 600000)}};
  auto n = net;
  rx.reset(new Reception(params, failing, clock, view, [n] { return std::unique_ptr<DatagramSocket>(new FakeSocket(n)); }));
  ASSERT_TRUE(rx->Start());
  Feed(Cycle(files, 4096, 1));
  Run();
  EXPECT_TRUE(Logged("Exception"));
  EXPECT_FALSE(Entry(0)->complete);  // the lost chunk's blocks were unmarked
  Feed(Cycle(files, 4096, 1));
  Feed(Cycle(files, 4096, 1)[0]);
  Run();
  ASSERT_TRUE(rx->Finished());
  EXPECT_EQ(rx->PlaceFiles(), 0);
  EXPECT_EQ(folder.Read("w.bin"), files[0].data);
}

}  // namespace

TEST_F(ReceptionTest, NameWhoseFullPathPassesMaxPathIsRejected) {
  const std::size_t room = kMaxPathChars - WithBackslash(folder.Path()).size();
  struct Case { std::size_t length; bool taken; };
  for (const Case& c : {Case{room, true}, Case{room + 1, false}}) {
    SCOPED_TRACE(c.length);
    // Components short enough for any file system; the whole as long as asked.
    std::string path;
    while (path.size() + 100 < c.length) path += std::string(99, 'd') + "\\";
    path += std::string(c.length - path.size(), 'f');
    std::vector<CarouselFile> files{{path, RandomBytes(rng, 500)}};
    Start();
    Wait(1500);
    Feed(Cycle(files, 1024, 3));
    Run();
    ASSERT_NE(Entry(0), nullptr);
    EXPECT_EQ(!Entry(0)->rejected, c.taken);
    EXPECT_EQ(Logged("MAX_PATH"), !c.taken);
    rx.reset();
    ClearFolder(Fs(), folder.Path());
    debugLines.clear();
  }
}

// One datagram must not claim memory or disk beyond what the broadcast can name.
DatagramFields Claim(std::uint16_t fileId, std::uint16_t blockSize, std::uint32_t block, std::uint32_t blockCount) {
  DatagramFields d;
  d.blockSize = blockSize;
  d.block = block;
  d.blockCount = blockCount;
  d.fileId = fileId;
  d.fileCount = 100;
  d.name = "f" + std::to_string(fileId) + ".bin";
  d.fileSize = 1000;
  d.payload.assign(std::min<int>(blockSize - 16 - (block == 0 ? 70 : 0), 16), 'c');
  return d;
}

// MAX_PATH counts characters: a storage folder of double-byte characters is
// as long as its characters, not its bytes.
TEST_F(ReceptionTest, MaxPathCountsCharactersNotBytes) {
  const std::string wide = J(u8"番");
  const std::size_t nameChars = 20;
  const std::size_t room = kMaxPathChars - nameChars - PathCharacters(WithBackslash(folder.Path()));
  struct Case { std::size_t folderChars; bool taken; };
  for (const Case& c : {Case{room, true}, Case{room + 1, false}}) {
    SCOPED_TRACE(c.folderChars);
    // Folder components of 40 characters (120 bytes in UTF-8, 80 in cp932)
    // and a trailing separator: room characters in all.
    std::string storage = folder.Path();
    std::size_t chars = 0;
    while (chars < c.folderChars) {
      storage += "\\";
      ++chars;
      for (int i = 0; i < 40 && chars < c.folderChars; ++i, ++chars) storage += wide;
    }
    ASSERT_GT(storage.size() - folder.Path().size(), c.folderChars);  // more bytes than characters
    params.storageFolder = storage;
    const std::string name(nameChars, 'f');
    std::vector<CarouselFile> files{{name, RandomBytes(rng, 500)}};
    Start();
    Wait(1500);
    Feed(Cycle(files, 1024, 1));
    Run();
    ASSERT_NE(Entry(0), nullptr);
    EXPECT_EQ(!Entry(0)->rejected, c.taken);
    EXPECT_EQ(Logged("MAX_PATH"), !c.taken);
    if (c.taken) {
      Feed(Cycle(files, 1024, 1)[0]);
      Run();
      ASSERT_TRUE(rx->Finished());
      EXPECT_EQ(rx->PlaceFiles(), 0);
      std::string placed;
      EXPECT_TRUE(Fs().ReadAll(WithBackslash(storage) + name, &placed));
      EXPECT_EQ(placed, files[0].data);
    }
    rx.reset();
    ClearFolder(Fs(), folder.Path());
    debugLines.clear();
  }
}

// A block 0 that fails its checks leaves a file of that name as it was.
TEST_F(ReceptionTest, BlockZeroThatFailsItsChecksLeavesTheDestinationAlone) {
  ASSERT_TRUE(folder.Write("keep.bin", "precious"));
  Start();
  Wait(1500);
  DatagramFields shortOne = Claim(0, 1024, 0, 3);
  shortOne.name = "keep.bin";
  shortOne.lengthDelta = -40;  // shorter than its own file header
  DatagramFields pastSize = Claim(1, 1024, 0, 1000);
  pastSize.name = "keep.bin";
  pastSize.fileSize = 10;  // its blocks reach past the size it names
  Feed({EncodeDatagram(shortOne), EncodeDatagram(pastSize)});
  Run();
  EXPECT_EQ(folder.Read("keep.bin"), "precious");
  rx->OnStopCommand();
  rx->PlaceFiles();
  rx.reset();
  EXPECT_EQ(folder.Read("keep.bin"), "precious");
  EXPECT_EQ(Fs().Find(folder / "*").size(), 1u);
}

class CountingFiles : public FailingFiles {
 public:
  using FailingFiles::FailingFiles;
  int looks = 0;
  bool Exists(const std::string& p) override {
    ++looks;
    return FailingFiles::Exists(p);
  }
};

// A flood of files that start without their names: each temporary name costs
// one look at the disk, however many files came in the same millisecond.
TEST_F(ReceptionTest, TemporaryNamesCostOneLookAtTheDiskEach) {
  CountingFiles files(PlatformFiles());
  params.totalBytes = std::int64_t{1} << 30;
  auto n = net;
  rx.reset(new Reception(params, files, clock, view, [n] { return std::unique_ptr<DatagramSocket>(new FakeSocket(n)); }));
  ASSERT_TRUE(rx->Start());
  Wait(1500);  // the first file goes to disk, the rest stay in memory
  // Names already in the folder (another reception's) are not taken.
  std::vector<std::string> taken;
  for (std::uint32_t t = clock.TickMs(); t <= clock.TickMs() + 20; ++t) {
    taken.push_back("~" + std::to_string(t) + ".tmp");
    ASSERT_TRUE(folder.Write(taken.back(), "someone else's"));
  }
  const int count = 3000;
  for (int id = 0; id < count; ++id) Feed(EncodeDatagram(Claim(static_cast<std::uint16_t>(id), 4096, 1, 5)));
  files.looks = 0;
  Run();
  ASSERT_EQ(rx->Files().size(), static_cast<std::size_t>(count));
  EXPECT_LE(files.looks, count + static_cast<int>(taken.size()) + 10);
  ASSERT_NE(Entry(0), nullptr);
  ASSERT_FALSE(Entry(0)->tempPath.empty());
  for (const std::string& name : taken) {
    EXPECT_NE(Entry(0)->tempPath, folder / name);
    EXPECT_EQ(folder.Read(name), "someone else's");
  }
  rx.reset();
}

TEST_F(ReceptionTest, BlockMapsOfOneReceptionStayWithinTheirTotal) {
  Start();
  Wait(1500);
  // 2^24 - 1 blocks of 16 bytes: a 268 MB file, a 16 MB block map each.
  for (std::uint16_t id = 0; id < 6; ++id) Feed(EncodeDatagram(Claim(id, 32, 10, 0xFFFFFF)));
  Run();
  EXPECT_LE(rx->BlockMapBytes(), kMaxBlockMapTotal);
  EXPECT_FALSE(Entry(0)->rejected);
  EXPECT_TRUE(Entry(5)->rejected);
  EXPECT_TRUE(Logged("block maps"));
}

TEST_F(ReceptionTest, BlockNumberBeyondAnyNameableSizeFailsTheFile) {
  Start();
  Wait(1500);
  // Block 2^24 - 16 of 4096-byte blocks lies 68 GB into the file.
  Feed(EncodeDatagram(Claim(0, 4096, 0xFFFFF0, 0xFFFFFF)));
  Run();
  ASSERT_NE(Entry(0), nullptr);
  EXPECT_TRUE(Entry(0)->rejected);
  EXPECT_TRUE(Fs().Find(folder / "*").empty());
}

TEST_F(ReceptionTest, BlocksPastTheSizeTheHeaderNamesFailTheFile) {
  Start();
  Wait(1500);
  Feed(EncodeDatagram(Claim(0, 1024, 999, 1000)));  // about 1 MB into a temporary file
  Run();
  ASSERT_FALSE(Entry(0)->tempPath.empty());
  Feed(EncodeDatagram(Claim(0, 1024, 0, 1000)));    // the header names 1000 bytes
  Run();
  EXPECT_TRUE(Entry(0)->rejected);
  EXPECT_TRUE(Logged("past the size"));
  EXPECT_TRUE(Fs().Find(folder / "*").empty());
}

TEST_F(ReceptionTest, PaddingPastTheNamedSizeIsNotStored) {
  std::vector<CarouselFile> files{{"p.bin", RandomBytes(rng, 1500)}};
  auto dg = FileDatagrams(files, 0, 1024, 1);
  ASSERT_EQ(dg.size(), 2u);
  // The last block filled up to the block size.
  std::string padded = dg[1] + std::string(1024 - dg[1].size(), 'z');
  padded[4] = static_cast<char>(1024 & 0xFF);
  padded[5] = static_cast<char>(1024 >> 8);
  Start();
  Wait(1500);
  Feed({dg[0], padded, dg[0]});
  Run();
  ASSERT_TRUE(rx->Finished());
  rx->PlaceFiles();
  EXPECT_EQ(folder.Read("p.bin"), files[0].data);
}

TEST_F(ReceptionTest, SmallFilesKeptInMemoryStayWithinTheirTotal) {
  params.totalBytes = std::int64_t{1} << 30;  // the memory bound, not the disk's, is met first
  Start();
  // Ten-block files of 4096 bytes, one after the other: each would be kept in memory.
  const std::uint16_t count = static_cast<std::uint16_t>(kMaxMemoryTotal / (10 * 4096) + 50);
  for (std::uint16_t id = 0; id < count; ++id) Feed(EncodeDatagram(Claim(id, 4096, 1, 10)));
  Run();
  EXPECT_LE(rx->MemoryImageBytes(), kMaxMemoryTotal);
  EXPECT_TRUE(Entry(0)->inMemory);
  EXPECT_FALSE(Entry(count - 1)->inMemory);
  EXPECT_FALSE(Entry(count - 1)->rejected);  // written to disk instead
}

// What one reception takes on disk is bound by its reservation's total (with a
// margin) and by the volume's free space; a file past either fails and leaves
// nothing behind.
TEST_F(ReceptionTest, BlockSizeNoDatagramCanCarryIsRefused) {
  Start();
  Wait(1500);
  for (std::uint16_t size : {4097, 8192, 65535}) {
    DatagramFields d = Claim(0, 4096, 1, 1000000);
    d.blockSize = size;
    Feed(EncodeDatagram(d));
  }
  Run();
  EXPECT_EQ(rx->BlockSize(), -1);
  EXPECT_EQ(Entry(0), nullptr);
  EXPECT_TRUE(Fs().Find(folder / "*").empty());
  Feed(EncodeDatagram(Claim(0, 4096, 1, 1000)));
  Run();
  EXPECT_EQ(rx->BlockSize(), 4096);  // a carried size is still taken
}

TEST_F(ReceptionTest, FilesPastTheDeclaredTotalFailAndLeaveNothing) {
  params.totalBytes = 1024 * 1024;
  Start();
  Wait(1500);
  // Block 999999 of 4096-byte blocks lies 4 GB into its file; the others claim
  // 28 MB each, and a third one breaks the total.
  Feed(EncodeDatagram(Claim(0, 4096, 999999, 1000000)));
  for (std::uint16_t id = 1; id <= 4; ++id) Feed(EncodeDatagram(Claim(id, 4096, 7000, 7001)));
  Run();
  ASSERT_NE(Entry(0), nullptr);
  EXPECT_TRUE(Entry(0)->rejected);
  EXPECT_TRUE(Logged("more disk than its reservation declares"));
  EXPECT_FALSE(Entry(1)->rejected);
  EXPECT_TRUE(Entry(3)->rejected);
  EXPECT_TRUE(Entry(4)->rejected);
  EXPECT_LE(rx->DiskClaimed(), rx->DiskBudget());
  EXPECT_EQ(rx->DiskBudget(), 1024u * 1024 + 1024 * 1024 / kDiskMarginShare + kDiskMarginFixed);
  std::uint64_t onDisk = 0;
  for (const FoundFile& f : Fs().Find(folder / "*")) onDisk += f.size;
  EXPECT_LE(onDisk, rx->DiskBudget());
  EXPECT_EQ(Fs().Find(folder / "*").size(), 2u);  // files 1 and 2
  rx.reset();
  EXPECT_TRUE(Fs().Find(folder / "*").empty());
}

class SmallVolume : public FailingFiles {
 public:
  using FailingFiles::FailingFiles;
  std::uint64_t free = 0;
  int looks = 0;
  bool FreeSpace(const std::string&, std::uint64_t* bytes) override {
    ++looks;
    *bytes = free;
    return true;
  }
};

TEST_F(ReceptionTest, FileThatDoesNotFitTheVolumeFailsAndLeavesNothing) {
  SmallVolume volume(PlatformFiles());
  volume.free = 3 * 1024 * 1024;
  params.totalBytes = std::int64_t{1} << 30;
  auto n = net;
  rx.reset(new Reception(params, volume, clock, view, [n] { return std::unique_ptr<DatagramSocket>(new FakeSocket(n)); }));
  ASSERT_TRUE(rx->Start());
  Wait(1500);
  std::vector<CarouselFile> fits{{"fits.bin", RandomBytes(rng, 1024 * 1024)}};
  Feed(Cycle(fits, 4096, 1));
  Run();
  Feed(EncodeDatagram(Claim(1, 4096, 1000, 1001)));  // 4 MB into a second file
  Run();
  ASSERT_NE(Entry(1), nullptr);
  EXPECT_TRUE(Entry(1)->rejected);
  EXPECT_TRUE(Logged("no room"));
  EXPECT_FALSE(Entry(0)->rejected);
  // The free space is asked at the first claim and before the refusal, not per datagram.
  EXPECT_LE(volume.looks, 4);
  EXPECT_EQ(Fs().Find(folder / "*").size(), 1u);  // the first file's temporary file alone
  rx.reset();
}

// The blocks of the write buffer count only once written: a final write-out
// that fails is no completion, and the next cycle completes the file.
TEST_F(ReceptionTest, FailedFinalWriteOutIsNoSuccessUntilTheNextCycleBringsTheBlocks) {
  FailingFiles failing(PlatformFiles());
  std::vector<CarouselFile> files{{"last.bin", RandomBytes(rng, 20000)}};
  auto cycle = Cycle(files, 4096, 1);
  auto n = net;
  rx.reset(new Reception(params, failing, clock, view, [n] { return std::unique_ptr<DatagramSocket>(new FakeSocket(n)); }));
  ASSERT_TRUE(rx->Start());
  Wait(1500);
  Feed(cycle);
  Run();
  ASSERT_TRUE(Entry(0)->complete);
  failing.writeFailures = 1;  // the write-out at completion
  Feed(cycle[2]);
  Run();
  EXPECT_FALSE(rx->Finished());
  EXPECT_EQ(rx->Result(), 0);
  Feed(cycle);
  Feed(cycle[1]);
  Run();
  ASSERT_TRUE(rx->Finished());
  EXPECT_EQ(rx->Result(), 1);
  EXPECT_EQ(rx->PlaceFiles(), 0);
  EXPECT_EQ(folder.Read("last.bin"), files[0].data);
}

// Whatever the outcome, the storage folder holds the user's files only: no
// temporary file, and no partial file at a final name.
TEST_F(ReceptionTest, NoTemporaryOrPartialFileIsLeftAfterAnyOutcome) {
  std::vector<CarouselFile> files{{"whole.bin", RandomBytes(rng, 30000)}, {"part.bin", RandomBytes(rng, 30000)},
                                  {"sub\\nameless.bin", RandomBytes(rng, 30000)}};
  auto whole = FileDatagrams(files, 0, 1024, 1);
  auto part = FileDatagrams(files, 1, 1024, 1);
  auto nameless = FileDatagrams(files, 2, 1024, 1);
  enum class End { Destroyed, StoppedAndPlaced };
  for (End end : {End::Destroyed, End::StoppedAndPlaced}) {
    SCOPED_TRACE(static_cast<int>(end));
    Start();
    Wait(1500);
    Feed(whole);
    Feed(std::vector<std::string>(part.begin(), part.begin() + 10));
    Feed(std::vector<std::string>(nameless.begin() + 1, nameless.end()));
    Run();
    EXPECT_FALSE(folder.Has("part.bin"));   // never at its name while partial
    EXPECT_FALSE(folder.Has("whole.bin"));  // placed only at the end
    EXPECT_FALSE(Fs().Find(folder / "~*.tmp").empty());
    if (end == End::StoppedAndPlaced) {
      rx->OnStopCommand();
      EXPECT_EQ(rx->PlaceFiles(), 2);  // the partial and the nameless file
      EXPECT_EQ(folder.Read("whole.bin"), files[0].data);
    }
    rx.reset();
    EXPECT_TRUE(Fs().Find(folder / "~*.tmp").empty());
    EXPECT_FALSE(folder.Has("part.bin"));
    EXPECT_FALSE(folder.Has("sub\\nameless.bin"));
    ClearFolder(Fs(), folder.Path());
  }
}

TEST_F(ReceptionTest, FileThatCannotBePlacedIsCountedAndLeavesNoTemporaryFile) {
  std::vector<CarouselFile> files{{"taken.bin", RandomBytes(rng, 20000)}};
  // A folder stands where the file should go: it can be neither replaced nor removed.
  ASSERT_TRUE(Fs().MakeFolder(folder / "taken.bin"));
  ASSERT_TRUE(Fs().WriteAll(folder / "taken.bin\\keep", "keep"));
  Start();
  Wait(1500);
  Feed(Cycle(files, 1024, 1));
  Feed(Cycle(files, 1024, 1)[1]);
  Run();
  ASSERT_TRUE(rx->Finished());
  EXPECT_EQ(rx->PlaceFiles(), 1);
  EXPECT_TRUE(Logged(J(u8"ファイル作成失敗")));
  EXPECT_TRUE(Fs().Find(folder / "~*.tmp").empty());
  EXPECT_EQ(folder.Read("taken.bin\\keep"), "keep");
}
