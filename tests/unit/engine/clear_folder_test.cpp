// "受信前にファイル格納フォルダをクリアする": the storage folder named by a
// reservation file is emptied only inside the data folder, and links in it
// are removed, never followed.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif
#include "common/clock.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "tests/support/fake_sockets.h"
#include "tests/support/temp_folder.h"
#include "tests/unit/engine/engine_fixtures.h"
#include "unit/reception.h"

using namespace enginetest;

namespace {

class ClearFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Fs().MakeFolder(top / "data");
    Fs().MakeFolder(top / "data\\prog");
    Fs().MakeFolder(top / "outside");
    top.Write("outside\\keep.txt", "keep");
    top.Write("data\\own.txt", "own");
    top.Write("data\\prog\\old.txt", "old");
    params.sid = 7;
    params.port = 5001;
    params.address = "239.1.2.3";
    params.scheduledEnd = clock.Now() + 3600;
    params.clearFolder = true;
    params.dataFolder = top / "data";
    SetDebugSink([this](const std::string& line) { debugLines.push_back(line); });
  }
  void TearDown() override { SetDebugSink({}); }
  FileSystem& Fs() { return PlatformFiles(); }
  void StartIn(const std::string& storage) {
    params.storageFolder = storage;
    auto n = net;
    Reception rx(params, Fs(), clock, view, [n] { return std::unique_ptr<DatagramSocket>(new FakeSocket(n)); });
    ASSERT_TRUE(rx.Start());
  }
  bool Logged(const std::string& part) const {
    for (const auto& l : debugLines)
      if (l.find(part) != std::string::npos) return true;
    return false;
  }

  TempFolder top;
  std::shared_ptr<FakeNet> net = std::make_shared<FakeNet>();
  ManualClock clock{1700000000, 5000};
  RecordingView view;
  ReceptionParams params;
  std::vector<std::string> debugLines;
};

TEST_F(ClearFolderTest, AFolderInsideTheDataFolderIsEmptied) {
  Fs().MakeFolder(top / "data\\prog\\sub");
  top.Write("data\\prog\\sub\\x", "x");
  StartIn(top / "data\\prog");
  EXPECT_TRUE(Fs().Find(top / "data\\prog\\*").empty());
  EXPECT_TRUE(Fs().IsFolder(top / "data\\prog"));
  EXPECT_TRUE(top.Has("data\\own.txt"));
}

TEST_F(ClearFolderTest, FoldersThatAreNotInsideTheDataFolderAreNeverCleared) {
  struct Case { const char* what; std::string folder; std::string dataFolder; };
  const Case cases[] = {
      {"the data folder itself", top / "data", top / "data"},
      {"the data folder with a separator", top / "data\\", top / "data"},
      {"the data folder's parent", top.Path(), top / "data"},
      {"a folder beside it", top / "outside", top / "data"},
      {"a way out with ..", top / "data\\..\\outside", top / "data"},
      {"a dot component", top / "data\\.", top / "data"},
      {"no data folder known", top / "data\\prog", ""},
      {"a drive root", "C:\\", "C:\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    debugLines.clear();
    params.dataFolder = c.dataFolder;
    StartIn(c.folder);
    EXPECT_TRUE(top.Has("outside\\keep.txt"));
    EXPECT_TRUE(top.Has("data\\own.txt"));
    EXPECT_TRUE(top.Has("data\\prog\\old.txt"));
    EXPECT_TRUE(Logged("not cleared"));
  }
}

#ifndef _WIN32
// Native links stand in for junctions and symbolic links: the seam reports
// both as links.
void Link(const TempFolder& top, const std::string& target, const std::string& at) {
  std::string t = top / target, a = top / at;
  for (char& c : t) if (c == '\\') c = '/';
  for (char& c : a) if (c == '\\') c = '/';
  ASSERT_EQ(::symlink(t.c_str(), a.c_str()), 0) << a;
}

TEST_F(ClearFolderTest, ALinkInsideIsRemovedAndWhatItLeadsToStays) {
  Link(top, "outside", "data\\prog\\to_outside");
  Link(top, "outside\\keep.txt", "data\\prog\\file_link");
  StartIn(top / "data\\prog");
  EXPECT_TRUE(Fs().Find(top / "data\\prog\\*").empty());
  EXPECT_EQ(top.Read("outside\\keep.txt"), "keep");
}

TEST_F(ClearFolderTest, AFolderReachedThroughALinkIsNotCleared) {
  Fs().MakeFolder(top / "outside\\prog");
  top.Write("outside\\prog\\victim.txt", "victim");
  Link(top, "outside", "data\\elsewhere");
  Link(top, "outside\\prog", "data\\linked");
  for (const char* folder : {"data\\elsewhere\\prog", "data\\linked"}) {
    SCOPED_TRACE(folder);
    debugLines.clear();
    StartIn(top / folder);
    EXPECT_EQ(top.Read("outside\\prog\\victim.txt"), "victim");
    EXPECT_TRUE(Logged("link"));
  }
}
#endif

}  // namespace
