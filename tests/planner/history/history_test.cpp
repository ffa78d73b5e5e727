// The reception history without windows: collection, RsvData.log, content
// deletion and the texts of the history dialogs.
#include <gtest/gtest.h>

#include <functional>

#include "common/clock.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "common/reception_result.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/history/file_list.h"
#include "planner/history/history_texts.h"
#include "planner/history/reception_history.h"
#include "tests/common/tokyo_time.h"
#include "tests/support/failing_files.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr Time32 kHour = 3600;

class HistoryTest : public ::testing::Test {
 protected:
  HistoryTest() {
    UseTokyoTime();
    now = MakeLocalTime(2026, 12, 7, 12, 0);
    base.Set(now);
    history_ = WithBackslash(root.Path()) + "hist\\";
    data_ = WithBackslash(root.Path()) + "data\\";
    fs.MakeFolder(history_);
    fs.MakeFolder(data_);
  }

  // A successful reception into data\<folder> that started `from` seconds after
  // 10:00 and lasted ten minutes.
  ReceptionResult Result(const std::string& folder, Time32 from, int program = 100) {
    ReceptionResult r;
    r.status = kResultSuccess;
    r.programNumber = program;
    r.subNumber = 1;
    r.receivedFrom = MakeLocalTime(2026, 12, 7, 10, 0) + from;
    r.receivedUntil = r.receivedFrom + 600;
    r.scheduledStart = MakeLocalTime(2026, 12, 7, 10, 0);
    r.scheduledEnd = MakeLocalTime(2026, 12, 7, 10, 30);
    r.name = "prog" + std::to_string(program);
    r.storageFolder = data_ + folder;  // without "\": the collection appends it
    r.port = 5000;
    r.speed = 1500;
    r.address = "239.1.2.3";
    r.channelName = "CH1";
    return r;
  }
  void WriteInfo(int number, const ReceptionResult& r) {
    ASSERT_TRUE(fs.WriteAll(history_ + ResultFileName(number), EncodeResult(r)));
  }
  void WriteContent(const std::string& folder, const std::string& fileList) {
    CreateFolderPath(fs, data_ + folder);
    ASSERT_TRUE(fs.WriteAll(data_ + folder + "\\FileList.mls", fileList));
  }
  std::string Log() {
    std::string text;
    fs.ReadAll(history_ + kRsvDataLogName, &text);
    return text;
  }
  int LogLines() {
    std::string text = Log();
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }
  bool Info(int number) { return fs.Exists(history_ + ResultFileName(number)); }

  TempFolder root;
  FileSystem& fs = PlatformFiles();
  ManualClock base;
  CalibratedClock clock{base};
  ReceptionHistory history{fs, clock};
  Time32 now = 0;
  std::string history_, data_;
};

TEST_F(HistoryTest, CollectsInReceptionOrderAndSumsKbytes) {
  WriteContent("a", "2048\r\nf.txt\n");
  WriteContent("b", "4095\n");
  WriteContent("c", "1024\n");
  WriteInfo(1, Result("a", 300, 1));
  WriteInfo(2, Result("b", 0, 2));
  ReceptionResult sameStartEndsLater = Result("c", 0, 3);
  sameStartEndsLater.receivedUntil += 60;
  WriteInfo(3, sameStartEndsLater);
  EXPECT_TRUE(history.CollectResults(history_));
  ASSERT_EQ(history.Entries().size(), 3u);
  EXPECT_EQ(history.Entries()[0].result.programNumber, 2);
  EXPECT_EQ(history.Entries()[1].result.programNumber, 3);
  EXPECT_EQ(history.Entries()[2].result.programNumber, 1);
  EXPECT_EQ(history.Entries()[2].result.storageFolder, data_ + "a\\");
  EXPECT_EQ(history.Entries()[2].resultFile, "INFO00001.RSV");
  EXPECT_EQ(history.Entries()[0].contentBytes, 4095);
  EXPECT_EQ(history.ReceivedKbyte(), 2 + 3 + 1);
  // Listed records are kept on disk and not read twice.
  EXPECT_TRUE(Info(1) && Info(2) && Info(3));
  EXPECT_FALSE(history.CollectResults(history_));
  EXPECT_EQ(history.Entries().size(), 3u);
  EXPECT_FALSE(history.HistoryExists());
  EXPECT_TRUE(history.CanShowHistory());
}

// Every text the history shows, logs or deletes by comes from the held record:
// it is the INFO file's, with only the folder closed by "\".
TEST_F(HistoryTest, CollectedEntryHoldsItsResultRecord) {
  WriteContent("a", "2048\n");
  WriteContent("b", "1024\n");
  ReceptionResult open = Result("a", 0);
  open.autorun = "run.exe";
  open.status = kResultFailed;
  ReceptionResult closed = Result("b", 60, 200);
  closed.storageFolder += "\\";
  WriteInfo(1, open);
  WriteInfo(2, closed);
  ASSERT_TRUE(history.CollectResults(history_));
  ASSERT_EQ(history.Entries().size(), 2u);
  ReceptionResult expected = open;
  expected.storageFolder += "\\";
  EXPECT_EQ(EncodeResult(history.Entries()[0].result), EncodeResult(expected));
  EXPECT_EQ(EncodeResult(history.Entries()[1].result), EncodeResult(closed));
}

TEST_F(HistoryTest, NewerReceptionIntoTheSameFolderSupersedesTheOlder) {
  WriteContent("a", "1024\n");
  WriteInfo(1, Result("a", 0, 1));
  history.CollectResults(history_);
  WriteInfo(2, Result("a", 900, 2));
  EXPECT_TRUE(history.CollectResults(history_));
  ASSERT_EQ(history.Entries().size(), 1u);
  EXPECT_EQ(history.Entries()[0].result.programNumber, 2);
  EXPECT_FALSE(Info(1));
  EXPECT_TRUE(Info(2));
  EXPECT_EQ(LogLines(), 1);
  EXPECT_NE(Log().find("prog1"), std::string::npos);
  EXPECT_TRUE(history.HistoryExists());
}

TEST_F(HistoryTest, OlderRecordFoundLaterIsRetiredAtOnce) {
  WriteContent("a", "1024\n");
  // Folder names differ only in case: the same folder to Windows.
  ReceptionResult newer = Result("a", 900, 2);
  WriteInfo(1, newer);
  ReceptionResult older = Result("A", 0, 1);
  WriteInfo(2, older);
  history.CollectResults(history_);
  ASSERT_EQ(history.Entries().size(), 1u);
  EXPECT_EQ(history.Entries()[0].result.programNumber, 2);
  EXPECT_FALSE(Info(2));
  EXPECT_NE(Log().find("prog1"), std::string::npos);
}

TEST_F(HistoryTest, StreamProgramGoesStraightToTheLog) {
  ReceptionResult stream = Result("s", 0, 7);
  stream.port = 0;
  stream.address = J(u8"ストリーム");
  WriteInfo(1, stream);
  EXPECT_FALSE(history.CollectResults(history_));
  EXPECT_TRUE(history.Entries().empty());
  EXPECT_FALSE(Info(1));
  EXPECT_NE(Log().find(J(u8"IP ストリーム\t0\t成功\r\n")), std::string::npos);
  EXPECT_TRUE(history.CanShowHistory());
}

TEST_F(HistoryTest, MissingFileListGivesSizeZeroOnceTheReceptionHasEnded) {
  WriteInfo(1, Result("gone", 0, 1));
  ReceptionResult future = Result("later", 0, 2);
  future.receivedUntil = now + 2 * kHour;
  WriteInfo(2, future);
  ReceptionResult withinTheHour = Result("soon", 0, 3);
  withinTheHour.receivedUntil = now + kHour - 1;
  WriteInfo(3, withinTheHour);
  history.CollectResults(history_);
  ASSERT_EQ(history.Entries().size(), 2u);
  EXPECT_EQ(history.Entries()[0].result.programNumber, 1);
  EXPECT_EQ(history.Entries()[0].contentBytes, 0);
  EXPECT_EQ(history.Entries()[1].result.programNumber, 3);
  EXPECT_FALSE(Info(2));
  EXPECT_NE(Log().find("prog2"), std::string::npos);
}

TEST_F(HistoryTest, ForeignRecordsAreDeletedAndPartialOnesWait) {
  fs.WriteAll(history_ + "INFO00001.RSV", std::string(520, 'x'));
  std::string partial = EncodeResult(Result("a", 0)).substr(0, 300);
  fs.WriteAll(history_ + "INFO00002.RSV", partial);
  fs.WriteAll(history_ + "INFO00003.RSV", "RvI");
  history.CollectResults(history_);
  EXPECT_TRUE(history.Entries().empty());
  EXPECT_FALSE(Info(1));
  EXPECT_TRUE(Info(2));
  EXPECT_TRUE(Info(3));
  EXPECT_EQ(LogLines(), 0);
}

TEST_F(HistoryTest, LogLineIsByteExact) {
  ReceivedEntry e;
  e.result.status = kResultNotReceived;
  e.result.channelName = J(u8"ＣＨ１");
  e.result.name = J(u8"天気予報");
  e.result.scheduledStart = MakeLocalTime(2026, 1, 2, 3, 4);
  e.result.scheduledEnd = MakeLocalTime(2026, 1, 3, 0, 5);
  e.result.receivedFrom = MakeLocalTime(2026, 1, 2, 3, 4, 5);
  e.result.receivedUntil = MakeLocalTime(2026, 1, 2, 13, 14, 15);
  e.result.address = "239.0.0.1";
  e.result.port = 65535;
  const std::string expected = Utf8ToCp932(
      u8"26/12/07 12:00\tＣＨ１\t天気予報\t26/01/02 03:04 - 01/03 00:05\t受信 01/02 03:04:05 - 13:14:15\t"
      u8"IP 239.0.0.1\t65535\t無受信\r\n");
  EXPECT_EQ(RsvDataLogLine(e, now), expected);
  e.result.status = 0;
  const std::string failed = RsvDataLogLine(e, now);
  EXPECT_EQ(failed.substr(failed.size() - 7), Utf8ToCp932(u8"\t失敗\r\n"));
  // Tabs and line ends inside a field would shift the past records' columns.
  e.result.name = "a\tb\r\nc";
  EXPECT_NE(RsvDataLogLine(e, now).find("\ta b  c\t"), std::string::npos);
}

TEST_F(HistoryTest, LogLinesAreAppended) {
  fs.WriteAll(history_ + kRsvDataLogName, "old line\r\n");
  ReceptionResult stream = Result("s", 0, 7);
  stream.port = 0;
  WriteInfo(1, stream);
  history.CollectResults(history_);
  EXPECT_EQ(Log().substr(0, 10), "old line\r\n");
  EXPECT_EQ(LogLines(), 2);
}

TEST_F(HistoryTest, UnwritableLogKeepsTheRecordForTheNextCollection) {
  // A folder where the log should be: it cannot be opened for writing.
  fs.MakeFolder(history_ + kRsvDataLogName);
  std::vector<std::string> debug;
  SetDebugSink([&](const std::string& line) { debug.push_back(line); });
  ReceptionResult stream = Result("s", 0, 7);
  stream.port = 0;
  WriteInfo(1, stream);
  WriteContent("a", "1024\n");
  WriteInfo(2, Result("a", 0, 1));
  history.CollectResults(history_);
  WriteInfo(3, Result("a", 900, 2));
  history.CollectResults(history_);
  SetDebugSink(nullptr);
  EXPECT_TRUE(Info(1));  // the stream program
  EXPECT_TRUE(Info(2));  // the superseded reception
  ASSERT_EQ(history.Entries().size(), 1u);
  EXPECT_EQ(history.Entries()[0].result.programNumber, 2);
  ASSERT_FALSE(debug.empty());
  EXPECT_NE(debug[0].find("INFO00001.RSV is kept"), std::string::npos);

  // Deleting content keeps the entry listed while its line cannot be written.
  EXPECT_EQ(history.DeleteContent({history.Entries()[0]}, history_), 0);
  EXPECT_EQ(history.Entries().size(), 1u);
  EXPECT_TRUE(Info(3));

  // Once the log can be written, the next collection retires what waited.
  fs.RemoveFolder(history_ + kRsvDataLogName);
  history.CollectResults(history_);
  EXPECT_FALSE(Info(1));
  EXPECT_FALSE(Info(2));
  EXPECT_EQ(LogLines(), 2);
}

TEST_F(HistoryTest, AnInfoFileThatCannotBeDeletedIsLoggedOnce) {
  FailingFiles stuck(fs);
  stuck.failRemove = true;
  ReceptionHistory h{stuck, clock};
  ReceptionResult stream = Result("s", 0, 7);
  stream.port = 0;  // straight to the log
  WriteInfo(1, stream);
  std::vector<std::string> debug;
  SetDebugSink([&](const std::string& line) { debug.push_back(line); });
  for (int minute = 0; minute < 3; ++minute) h.CollectResults(history_);
  SetDebugSink(nullptr);
  EXPECT_TRUE(Info(1));
  EXPECT_EQ(LogLines(), 1) << "the same reception logged again at each collection";
  ASSERT_EQ(debug.size(), 1u);
  EXPECT_NE(debug[0].find("INFO00001.RSV cannot be deleted"), std::string::npos) << debug[0];
}

// What "削除..." could not do is reported by name: the files still there, the
// log it could not write and the receptions that stay listed for it.
TEST_F(HistoryTest, DeletionReportsWhatItCouldNotDo) {
  FailingFiles stuck(fs);
  ReceptionHistory h{stuck, clock};
  WriteContent("a", "10\nkept.bin\n");
  ASSERT_TRUE(fs.WriteAll(data_ + "a\\kept.bin", "x"));
  WriteInfo(1, Result("a", 0, 1));
  WriteContent("b", "10\n");
  WriteInfo(2, Result("b", 60, 2));
  h.CollectResults(history_);
  ASSERT_EQ(h.Entries().size(), 2u);

  stuck.failRemove = true;
  DeletionReport report;
  EXPECT_EQ(h.DeleteContent({h.Entries()[0]}, history_, &report), 1);
  EXPECT_TRUE(report.notLogged.empty());
  EXPECT_EQ(report.filesLeft, (std::vector<std::string>{data_ + "a\\kept.bin", data_ + "a\\FileList.mls",
                                                         history_ + ResultFileName(1)}));
  const std::string text = DeletionFailureText(report);
  EXPECT_NE(text.find(J(u8"次のファイルを削除できませんでした。")), std::string::npos) << Cp932ToUtf8(text);
  EXPECT_NE(text.find(data_ + "a\\kept.bin"), std::string::npos) << Cp932ToUtf8(text);

  stuck.failRemove = false;
  ASSERT_TRUE(fs.Remove(history_ + kRsvDataLogName));
  ASSERT_TRUE(fs.MakeFolder(history_ + kRsvDataLogName));  // the log cannot be opened
  report = DeletionReport();
  EXPECT_EQ(h.DeleteContent({h.Entries()[0]}, history_, &report), 0);
  EXPECT_EQ(report.notLogged, (std::vector<std::string>{"prog2"}));
  EXPECT_EQ(report.logPath, history_ + kRsvDataLogName);
  EXPECT_TRUE(report.filesLeft.empty());
  const std::string logText = DeletionFailureText(report);
  EXPECT_NE(logText.find(history_ + kRsvDataLogName), std::string::npos) << Cp932ToUtf8(logText);
  EXPECT_NE(logText.find("prog2"), std::string::npos) << Cp932ToUtf8(logText);
  EXPECT_EQ(h.Entries().size(), 1u);
  EXPECT_TRUE(DeletionFailureText(DeletionReport()).empty());
}

TEST_F(HistoryTest, AFailedReceptionOwnsNoFiles) {
  // A missed reception into the folder of an earlier good one supersedes it in
  // the list, but the files are still the earlier reception's.
  WriteContent("a", "10\nkept.bin\n");
  fs.WriteAll(data_ + "a\\kept.bin", "x");
  WriteInfo(1, Result("a", 0, 1));
  history.CollectResults(history_);
  for (ResultStatus status : {kResultFailed, kResultNotReceived}) {
    ReceptionResult missed = Result("a", status == kResultFailed ? 900 : 1800, 2);
    missed.status = status;
    WriteInfo(2, missed);
    history.CollectResults(history_);
    ASSERT_EQ(history.Entries().size(), 1u);
    ASSERT_EQ(history.Entries()[0].result.status, status);
    EXPECT_EQ(history.DeleteContent({history.Entries()[0]}, history_), 1);
    EXPECT_TRUE(history.Entries().empty());
    EXPECT_TRUE(fs.Exists(data_ + "a\\kept.bin")) << "status " << status;
    EXPECT_TRUE(fs.Exists(data_ + "a\\FileList.mls")) << "status " << status;
  }
}

TEST_F(HistoryTest, DeleteContentRemovesNestedFoldersAndRetires) {
  WriteContent("p", "3000\nx\\y\\z\\deep.bin\nx\\y\\mid.bin\ntop.txt\nx\\w\\other.bin\n\n");
  CreateFolderPath(fs, data_ + "p\\x\\y\\z");
  CreateFolderPath(fs, data_ + "p\\x\\w");
  for (const char* f : {"x\\y\\z\\deep.bin", "x\\y\\mid.bin", "top.txt", "x\\w\\other.bin"}) {
    fs.WriteAll(data_ + "p\\" + f, "data");
  }
  WriteInfo(1, Result("p", 0, 1));
  WriteContent("q", "10\n");
  WriteInfo(2, Result("q", 60, 2));
  history.CollectResults(history_);
  ASSERT_EQ(history.Entries().size(), 2u);
  EXPECT_EQ(history.DeleteContent({history.Entries()[0]}, history_), 1);
  EXPECT_FALSE(fs.Exists(data_ + "p"));
  EXPECT_TRUE(fs.IsFolder(data_));  // the folder above the storage folder stays
  EXPECT_TRUE(fs.Exists(data_ + "q\\FileList.mls"));
  ASSERT_EQ(history.Entries().size(), 1u);
  EXPECT_EQ(history.Entries()[0].result.programNumber, 2);
  EXPECT_FALSE(Info(1));
  EXPECT_EQ(LogLines(), 1);
}

TEST_F(HistoryTest, DeleteContentRemovesFoldersWhoseNamesEndInATrailByteOfBackslash) {
  // 表 and ソ end in the byte of "\\": the levels are still found and removed.
  const std::string a = J(u8"番組表"), b = J(u8"ソ");
  CreateFolderPath(fs, data_ + "p\\" + a + "\\" + b);
  fs.WriteAll(data_ + "p\\" + a + "\\" + b + "\\f.bin", "data");
  WriteContent("p", "10\n" + a + "\\" + b + "\\f.bin\n");
  WriteInfo(1, Result("p", 0, 1));
  history.CollectResults(history_);
  ASSERT_EQ(history.Entries().size(), 1u);
  EXPECT_EQ(history.DeleteContent(history.Entries(), history_), 1);
  EXPECT_FALSE(fs.Exists(data_ + "p\\" + a));
}

// Another history folder has its own records under the same names: the list
// is collected anew, and a deletion retires into the folder its entry came from.
TEST_F(HistoryTest, AMovedHistoryFolderIsCollectedAnew) {
  const std::string moved = WithBackslash(root.Path()) + "moved\\";
  fs.MakeFolder(moved);
  WriteContent("a", "1024\na.bin\n");
  WriteContent("b", "2048\nb.bin\n");
  ASSERT_TRUE(fs.WriteAll(data_ + "a\\a.bin", "a"));
  ASSERT_TRUE(fs.WriteAll(data_ + "b\\b.bin", "b"));
  WriteInfo(1, Result("a", 0, 1));
  ASSERT_TRUE(fs.WriteAll(moved + ResultFileName(1), EncodeResult(Result("b", 60, 2))));
  EXPECT_TRUE(history.CollectResults(history_));
  ASSERT_EQ(history.Entries().size(), 1u);
  EXPECT_TRUE(history.CollectResults(moved));
  ASSERT_EQ(history.Entries().size(), 1u);
  EXPECT_EQ(history.Entries()[0].result.programNumber, 2);
  EXPECT_EQ(history.ReceivedKbyte(), 2);
  EXPECT_EQ(history.DeleteContent({history.Entries()[0]}, moved), 1);
  EXPECT_FALSE(fs.Exists(moved + ResultFileName(1)));
  EXPECT_FALSE(fs.Exists(data_ + "b\\b.bin"));
  EXPECT_TRUE(Info(1)) << "the first folder's record of the same name was deleted";
  EXPECT_TRUE(fs.Exists(data_ + "a\\a.bin"));
  EXPECT_EQ(LogLines(), 0);
  std::string movedLog;
  ASSERT_TRUE(fs.ReadAll(moved + kRsvDataLogName, &movedLog));
  EXPECT_NE(movedLog.find("prog2"), std::string::npos);
}

// The list came from one folder; a deletion asked with another folder still
// retires into the list's own.
TEST_F(HistoryTest, DeletionRetiresWhereTheEntryWasCollected) {
  const std::string other = WithBackslash(root.Path()) + "other\\";
  fs.MakeFolder(other);
  WriteContent("a", "1024\n");
  WriteInfo(1, Result("a", 0, 1));
  ASSERT_TRUE(fs.WriteAll(other + ResultFileName(1), EncodeResult(Result("b", 60, 2))));
  history.CollectResults(history_);
  EXPECT_EQ(history.DeleteContent({history.Entries()[0]}, other), 1);
  EXPECT_FALSE(Info(1));
  EXPECT_TRUE(fs.Exists(other + ResultFileName(1))) << "another reception's record was deleted";
  EXPECT_EQ(LogLines(), 1);
}

TEST_F(HistoryTest, DeleteContentLeavesFilesItDidNotList) {
  WriteContent("p", "10\nlisted.txt\n");
  fs.WriteAll(data_ + "p\\listed.txt", "x");
  fs.WriteAll(data_ + "p\\mine.txt", "x");
  WriteInfo(1, Result("p", 0, 1));
  history.CollectResults(history_);
  history.DeleteContent(history.Entries(), history_);
  EXPECT_FALSE(fs.Exists(data_ + "p\\listed.txt"));
  EXPECT_FALSE(fs.Exists(data_ + "p\\FileList.mls"));
  EXPECT_TRUE(fs.Exists(data_ + "p\\mine.txt"));
  EXPECT_TRUE(history.Entries().empty());
}

TEST_F(HistoryTest, HostileFileListNeverDeletesOutsideTheStorageFolder) {
  // Victims beside and above the storage folder.
  fs.WriteAll(data_ + "victim.txt", "keep");
  fs.WriteAll(WithBackslash(root.Path()) + "victim.txt", "keep");
  CreateFolderPath(fs, data_ + "other");
  fs.WriteAll(data_ + "other\\victim.txt", "keep");
  const std::string absoluteVictim = data_ + "victim.txt";
  WriteContent("p",
               "10\n..\\victim.txt\n..\\..\\victim.txt\nsub\\..\\..\\victim.txt\n...\\victim.txt\n" +
                   absoluteVictim + "\n" + "/" + absoluteVictim + "\nC:\\victim.txt\n..\\other\\victim.txt\n"
                   "CON\nsub\\NUL.txt\n\\\\host\\share\\victim.txt\nok.txt\n");
  fs.WriteAll(data_ + "p\\ok.txt", "x");
  ContentDeletion d = DeleteContentFiles(fs, data_ + "p");
  EXPECT_EQ(d.filesDeleted, 1);
  EXPECT_EQ(d.refusedLines, 11);
  EXPECT_TRUE(d.folderRemoved);
  EXPECT_TRUE(fs.Exists(data_ + "victim.txt"));
  EXPECT_TRUE(fs.Exists(WithBackslash(root.Path()) + "victim.txt"));
  EXPECT_TRUE(fs.Exists(data_ + "other\\victim.txt"));
  EXPECT_TRUE(fs.IsFolder(data_ + "other"));
}

TEST_F(HistoryTest, ContentOfARelativeOrEmptyStorageFolderIsNotTouched) {
  for (const char* folder : {"", "relative\\", "\\"}) {
    ContentDeletion d = DeleteContentFiles(fs, folder);
    EXPECT_EQ(d.filesDeleted + d.filesLeft, 0) << folder;
    EXPECT_FALSE(d.folderRemoved) << folder;
  }
}

struct SizeCase {
  const char* data;
  std::int32_t bytes;
};

TEST(FileListSize, ReadsTheFirstLineOfTwentyBytes) {
  const SizeCase cases[] = {
      {"12345\r\nfile\n", 12345},
      {"\t42\t\n", 42},
      {"7", 7},
      {"", 0},
      {"abc\n", 0},
      {"-5\n", 0},
      {"99999999999999999999\n", 2147483647},
      {"1234567890123456789012345\n", 2147483647},
      {"00000000000000000001234\n", 1},  // only the first 20 bytes count
  };
  for (const SizeCase& c : cases) EXPECT_EQ(ParseFileListSize(c.data), c.bytes) << c.data;
}

TEST(FileListLines, KeepsSafeLinesInOrder) {
  FileList list = ParseFileList("100\r\na.txt\r\n\r\nsub\\b.txt\n..\\c.txt\n\nd.txt");
  EXPECT_EQ(list.totalBytes, 100);
  EXPECT_EQ(list.files, (std::vector<std::string>{"a.txt", "sub\\b.txt", "d.txt"}));
  EXPECT_EQ(list.refusedLines, 1);
}

TEST(PastRecords, NewestFirstWithTheFourColumns) {
  const std::string log = Utf8ToCp932(
      u8"26/01/02 03:04\tCH\t番組A\t26/01/02 03:04 - 01/02 04:00\t受信 01/02 03:04:05 - 03:10:00\tIP 1.2.3.4\t5\t成功\r\n"
      u8"26/01/03 03:04\tCH\t番組B\t26/01/03 03:04 - 01/03 04:00\t受信 01/03 03:04:05 - 03:10:00\tIP 1.2.3.4\t5\t無受信\r\n"
      u8"\r\n"
      u8"broken line\n");
  std::vector<PastRecord> records = ParsePastRecords(log);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].name, "");
  EXPECT_TRUE(records[0].failed);
  EXPECT_EQ(records[1].name, J(u8"番組B"));
  EXPECT_EQ(records[1].broadcast, "26/01/03 03:04 - 01/03 04:00");
  EXPECT_EQ(records[1].received, "01/03 03:04:05 - 03:10:00");
  EXPECT_EQ(records[1].result, J(u8"無受信"));
  EXPECT_TRUE(records[1].failed);
  EXPECT_EQ(records[2].name, J(u8"番組A"));
  EXPECT_EQ(records[2].result, J(u8"成功"));
  EXPECT_FALSE(records[2].failed);
}

TEST(ColumnWidths, StoredWidthAboveTheLimitGivesTheDefault) {
  auto store = CreateMemorySettings();
  PlannerSettings settings(*store);
  settings.SetInt(kReportSizeKey, J(u8"番組名"), 5000);
  settings.SetInt(kReportSizeKey, J(u8"受信日"), 1024);
  settings.SetInt(kReportSizeKey, J(u8"開始"), -3);
  EXPECT_EQ(ReadColumnWidths(settings, kReportSizeKey, kReceivedColumns),
            (std::vector<std::int32_t>{150, 1024, 50, 50, 120}));
  WriteColumnWidths(settings, kLogViewSizeKey, kPastColumns, {1, 2, 3, 4});
  EXPECT_EQ(ReadColumnWidths(settings, kLogViewSizeKey, kPastColumns), (std::vector<std::int32_t>{1, 2, 3, 4}));
}

TEST(LossRequest, IsTakenOnce) {
  auto store = CreateMemorySettings();
  PlannerSettings settings(*store);
  EXPECT_EQ(TakeLossRequest(settings), 0);
  settings.SetInt("Environment", "LossRequest", 3);
  EXPECT_EQ(TakeLossRequest(settings), 3);
  EXPECT_EQ(TakeLossRequest(settings), 0);
}

TEST_F(HistoryTest, RowsBubbleAndDetailTexts) {
  WriteContent("p", "3073\ngame\\start.exe\nreadme\nmissing.txt\n");
  CreateFolderPath(fs, data_ + "p\\game");
  fs.WriteAll(data_ + "p\\game\\start.exe", std::string(1025, 'x'));
  fs.WriteAll(data_ + "p\\readme", "");
  ReceptionResult r = Result("p", 0, 1);
  r.autorun = "game\\start.exe";
  WriteInfo(1, r);
  ReceptionResult failed = Result("f", 60, 2);
  failed.status = kResultFailed;
  failed.autorun = "x.exe";
  WriteInfo(2, failed);
  history.CollectResults(history_);
  ASSERT_EQ(history.Entries().size(), 2u);
  const ReceivedEntry& e = history.Entries()[0];

  ReceivedRow row = MakeReceivedRow(fs, e);
  EXPECT_EQ(row.date, "26/12/07");
  EXPECT_EQ(row.start, "10:00");
  EXPECT_EQ(row.end, "10:10");
  EXPECT_EQ(row.result, J(u8"正常終了"));
  EXPECT_TRUE(row.hasStartFile);
  EXPECT_EQ(row.icon, RowIcon::WithStartFile);
  ReceivedRow failedRow = MakeReceivedRow(fs, history.Entries()[1]);
  EXPECT_EQ(failedRow.result, J(u8"受信失敗"));
  EXPECT_EQ(failedRow.icon, RowIcon::Failed);
  EXPECT_FALSE(failedRow.hasStartFile);

  EXPECT_EQ(ReceivedBubbleText(e),
            Utf8ToCp932(u8"CP: CH1\r\n番組名  prog1\r\n送出時間  26/12/07 10:00 - 12/07 10:30\r\n"
                        u8"送出速度  1500kbps\r\n\r\n受信時刻  12/07 10:00:00 - 12/07 10:10:00\r\n"
                        u8"アドレス  239.1.2.3:5000\r\n受信結果   成功"));

  ReceptionDetail d = MakeReceptionDetail(fs, e);
  EXPECT_EQ(d.result, J(u8"受信成功"));
  EXPECT_EQ(d.from, Utf8ToCp932(u8"2026年 12月 07日\t10:00.00"));
  EXPECT_EQ(d.totalSize, "4 (KB)");
  ASSERT_EQ(d.files.size(), 2u);
  EXPECT_EQ(d.files[0].fileName, "start.exe");
  EXPECT_EQ(d.files[0].pathName, data_ + "p\\game\\");
  EXPECT_EQ(d.files[0].extension, ".exe");
  EXPECT_EQ(d.files[0].sizeText, "2KB");
  EXPECT_EQ(d.files[1].fileName, "readme");
  EXPECT_EQ(d.files[1].sizeText, "0KB");
  EXPECT_EQ(FallbackTypeName(".txt"), Utf8ToCp932(u8"TXT ﾌｧｲﾙ"));
}

TEST(ReceivedSort, ByColumnKeepsTiesInListOrder) {
  std::vector<ReceivedEntry> list(3);
  const auto set = [&](std::size_t i, const char* name, Time32 from, Time32 until, std::int32_t status) {
    ReceptionResult& r = list[i].result;
    r.name = name;
    r.receivedFrom = from;
    r.receivedUntil = until;
    r.status = status;
  };
  set(0, "b", 3, 9, 0);
  set(1, "a", 2, 8, 1);
  set(2, "c", 1, 8, 1);
  auto names = [&] { return list[0].result.name + list[1].result.name + list[2].result.name; };
  SortReceived(&list, 0, false);
  EXPECT_EQ(names(), "abc");
  SortReceived(&list, 1, false);
  EXPECT_EQ(names(), "cab");
  SortReceived(&list, 3, true);
  EXPECT_EQ(names(), "bca");
  SortReceived(&list, 4, false);
  EXPECT_EQ(names(), "cab");
}

}  // namespace

namespace {

TEST(SameFolderTest, IgnoresTheCaseOfAsciiLettersOnly) {
  EXPECT_TRUE(SameFolder("C:\\Data\\Prog\\", "c:\\data\\PROG\\"));
  EXPECT_FALSE(SameFolder("C:\\Data\\Prog\\", "C:\\Data\\Prog2\\"));
  // Two double-byte characters whose trail bytes are "a" and "A": different characters.
  EXPECT_FALSE(SameFolder("\x83\x61", "\x83\x41"));
  EXPECT_TRUE(SameFolder("\x83\x61x", "\x83\x61X"));
}

}  // namespace
