#include "tools/chanlist/chanlist.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "common/files.h"
#include "common/text.h"
#include "selector/channel_list.h"
#include "tests/support/temp_folder.h"

namespace {

struct Outcome {
  int status;
  std::string out, err;
};

std::string Drain(std::FILE* f) {
  std::string s;
  std::rewind(f);
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) s.append(buffer, n);
  std::fclose(f);
  return s;
}

Outcome Chanlist(std::vector<std::string> args) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int status = RunChanlist(args, out, err);
  return {status, Drain(out), Drain(err)};
}

class ChanlistTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& data) {
    const std::string path = (dir / name);
    EXPECT_TRUE(PlatformFiles().WriteAll(path, data));
    return path;
  }
  std::string Read(const std::string& path) {
    std::string data;
    EXPECT_TRUE(PlatformFiles().ReadAll(path, &data));
    return data;
  }
  TempFolder dir;
};

TEST_F(ChanlistTest, ScrambleThenShowListsTheTableAsStored) {
  const std::string plain = Write("list.txt", J(u8"default 100 既定の局\n239.1.2.77/24:* 21 ＢＳ２１\n"
                                                u8"239.1.2.3/32:5000-5010 23 range\n"));
  const std::string scrambled = (dir / "list.dat");
  Outcome r = Chanlist({"scramble", plain, scrambled, "--seed", "42"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string container = Read(scrambled);
  EXPECT_EQ(static_cast<std::uint8_t>(container[0]), 42);
  EXPECT_EQ(container.find("default"), std::string::npos);   // really scrambled
  r = Chanlist({"show", scrambled});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            u8"default\t100\t既定の局\n"
            u8"0\t239.1.2.0\t255.255.255.0\t0\t65535\t21\tＢＳ２１\n"
            "1\t239.1.2.3\t255.255.255.255\t5000\t5010\t23\trange\n");
}

TEST_F(ChanlistTest, ShowWithoutADefaultLinePrintsMinusOne) {
  const std::string plain = Write("p.txt", "239.1.2.0/24:* 21 a\n");
  const Outcome r = Chanlist({"show", plain, "--plain"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "default\t-1\t");
}

TEST_F(ChanlistTest, SkippedLinesAreNamedByFileAndLine) {
  const std::string plain = Write("bad.txt", "239.1.2.0/24:* 21 a\n239.1.2.0/24:* nochannel\n");
  Outcome r = Chanlist({"show", plain, "--plain"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("0\t239.1.2.0"), std::string::npos);
  EXPECT_NE(r.err.find("bad.txt:2: skipped: no channel number"), std::string::npos) << r.err;
  r = Chanlist({"scramble", plain, (dir / "out.dat"), "--seed", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(PlatformFiles().Exists((dir / "out.dat")));
  r = Chanlist({"scramble", plain, (dir / "out.dat"), "--seed", "1", "--lenient"});
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(ChanlistTest, BadContainersAreRefusedNamingTheFile) {
  std::string cut = ScrambleChannelList("239.1.2.0/24:* 21 a\n", 5);
  cut.resize(8);
  const std::string path = Write("cut.dat", cut);
  for (const char* command : {"show", "unscramble"}) {
    std::vector<std::string> args = {command, path};
    if (std::string(command) == "unscramble") args.push_back((dir / "plain.txt"));
    const Outcome r = Chanlist(args);
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_NE(r.err.find("cut.dat: states"), std::string::npos) << r.err;
  }
  EXPECT_FALSE(PlatformFiles().Exists((dir / "plain.txt")));
  const Outcome missing = Chanlist({"show", (dir / "none.dat")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.dat: cannot be read"), std::string::npos);
}

TEST_F(ChanlistTest, UnscrambleGivesBackTheText) {
  const std::string text = J(u8"# 番組\n239.1.2.0/24:* 21 局\n");
  const std::string path = Write("l.dat", ScrambleChannelList(text, 200));
  ASSERT_EQ(Chanlist({"unscramble", path, (dir / "back.txt")}).status, 0);
  EXPECT_EQ(Read((dir / "back.txt")), text);
  ASSERT_EQ(Chanlist({"unscramble", path, (dir / "back8.txt"), "--utf8"}).status, 0);
  EXPECT_EQ(Read((dir / "back8.txt")), u8"# 番組\n239.1.2.0/24:* 21 局\n");
}

TEST_F(ChanlistTest, MatchPrintsChannelAgreementAndProposal) {
  const std::string path =
      Write("m.dat", ScrambleChannelList("default 100 dflt\n239.1.2.0/24:* 21 a\n239.1.3.0/24:* 22 b\n", 9));
  struct Case {
    std::vector<std::string> sessions;
    const char* expected;
  } cases[] = {
      {{"239.1.2.5:1000"}, "found\t21\nagree\tyes\nproposal\t21\ta\t239.1.2.5:1000\n"},
      {{"239.1.3.5:1000", "239.1.2.5:1"}, "found\t22\nagree\tno\nproposal\t22\tb\t239.1.3.5:1000\n"},
      {{"239.9.9.9:1"}, "found\tnone\nagree\tyes\nproposal\tdefault\t100\tdflt\n"},
      {{"239.1.2.5:1", "--current", "21"}, "found\t21\nagree\tyes\nproposal\tcurrent\t21\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"match", path};
    args.insert(args.end(), c.sessions.begin(), c.sessions.end());
    const Outcome r = Chanlist(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.expected);
  }
  EXPECT_EQ(Chanlist({"match", path, "239.1.2:5"}).status, 2);
  EXPECT_EQ(Chanlist({"match", path}).status, 2);
}

TEST_F(ChanlistTest, HelpStatesTheMultipliersAndUsageErrorsNameTheOption) {
  const Outcome help = Chanlist({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("seed * 0x9B"), std::string::npos);
  EXPECT_NE(help.out.find("previous * 0x3D"), std::string::npos);
  const Outcome bad = Chanlist({"scramble", "a", "b", "--seed", "300"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("seed"), std::string::npos) << bad.err;
  EXPECT_EQ(Chanlist({"frobnicate"}).status, 2);
}

}  // namespace
