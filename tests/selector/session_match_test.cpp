#include "selector/session_match.h"

#include <gtest/gtest.h>

#include "selector/channel_list.h"

namespace {

std::uint32_t Addr(const char* dotted) {
  std::uint32_t a = 0;
  EXPECT_TRUE(ParseDottedAddress(dotted, &a)) << dotted;
  return a;
}

std::string Record(std::uint32_t address, std::uint32_t ignored, std::uint32_t port) {
  std::string r(12, '\0');
  for (int i = 0; i < 4; ++i) {
    r[i] = static_cast<char>(address >> (8 * i));
    r[4 + i] = static_cast<char>(ignored >> (8 * i));
    r[8 + i] = static_cast<char>(port >> (8 * i));
  }
  return r;
}

ChannelTable Table(const char* text) {
  ChannelTable t;
  LoadChannelText(text, &t);
  return t;
}

TEST(SessionRecords, DecodeAddressAndPortIgnoringTheMiddleWord) {
  std::size_t count = 0;
  const auto r = DecodeSessions(Record(Addr("239.1.2.3"), 0xDEADBEEF, 5001) + Record(0, 0, 0), &count);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(r[0].address, Addr("239.1.2.3"));
  EXPECT_EQ(r[0].port, 5001u);
  EXPECT_EQ(r[1].address, 0u);
}

TEST(SessionRecords, ReadOnlyWholeRecordsWithinTheBound) {
  std::size_t count = 0;
  std::string value = Record(Addr("239.1.2.3"), 0, 1) + std::string(7, '\x55');
  EXPECT_EQ(DecodeSessions(value, &count).size(), 1u);
  EXPECT_EQ(count, 1u);
  std::string big;
  for (int i = 0; i < 1100; ++i) big += Record(Addr("239.1.2.3"), 0, static_cast<std::uint32_t>(i));
  EXPECT_EQ(DecodeSessions(big, &count).size(), 1024u);
  EXPECT_EQ(count, 1024u);
  EXPECT_TRUE(DecodeSessions(std::string(11, 'x'), &count).empty());
  EXPECT_EQ(count, 0u);
}

TEST(SessionMatch, PrefixWithStarMapsEveryAddressAndPortOfTheNetwork) {
  const ChannelTable t = Table("239.1.2.0/24:* 21 BS21\n");
  for (std::uint32_t port : {0u, 1u, 5000u, 65535u}) {
    const MatchResult m = MatchSessions(t, {{Addr("239.1.2.200"), port}}, -1);
    ASSERT_TRUE(m.proposed) << port;
    EXPECT_EQ(m.proposal.channel, 21);
    EXPECT_EQ(m.proposal.name, "BS21");
    EXPECT_EQ(m.proposal.port, port);
  }
  EXPECT_FALSE(MatchSessions(t, {{Addr("239.1.3.1"), 1}}, -1).found);
}

TEST(SessionMatch, PortRangeIsInclusive) {
  const ChannelTable t = Table("239.1.2.3/32:5000-5010 23 range\n");
  EXPECT_TRUE(MatchSessions(t, {{Addr("239.1.2.3"), 5000}}, -1).proposed);
  EXPECT_TRUE(MatchSessions(t, {{Addr("239.1.2.3"), 5010}}, -1).proposed);
  EXPECT_FALSE(MatchSessions(t, {{Addr("239.1.2.3"), 5011}}, -1).found);
  EXPECT_FALSE(MatchSessions(t, {{Addr("239.1.2.4"), 5005}}, -1).found);
}

TEST(SessionMatch, SingleAddressWithStarTakesAnyPort) {
  const ChannelTable t = Table("239.5.5.5:* 30 one\n");
  EXPECT_TRUE(MatchSessions(t, {{Addr("239.5.5.5"), 12345}}, -1).proposed);
  EXPECT_FALSE(MatchSessions(t, {{Addr("239.5.5.6"), 12345}}, -1).found);
}

TEST(SessionMatch, EmptyRecordsAreSkipped) {
  const ChannelTable t = Table("239.1.2.0/24:* 21 a\n0.0.0.0/0:* 99 all\n");
  const MatchResult m = MatchSessions(t, {{0, 5}, {Addr("239.1.2.1"), 5}}, -1);
  ASSERT_TRUE(m.proposed);
  EXPECT_EQ(m.proposal.channel, 21);
}

TEST(SessionMatch, SessionsOnDifferentChannelsDisagree) {
  const ChannelTable t = Table("239.1.2.0/24:* 21 a\n239.1.3.0/24:* 22 b\n");
  const MatchResult m = MatchSessions(t, {{Addr("239.1.2.1"), 5}, {Addr("239.1.3.1"), 5}}, -1);
  EXPECT_TRUE(m.found);
  EXPECT_FALSE(m.agree);
  ASSERT_TRUE(m.proposed);
  EXPECT_EQ(m.proposal.channel, 21);   // the first wanted session's channel
  EXPECT_EQ(m.proposal.address, Addr("239.1.2.1"));
}

TEST(SessionMatch, SessionsOnOneChannelAgree) {
  const ChannelTable t = Table("239.1.2.0/24:* 21 a\n239.1.3.0/24:* 21 a2\n");
  const MatchResult m = MatchSessions(t, {{Addr("239.1.2.1"), 5}, {Addr("239.1.3.1"), 6}}, -1);
  EXPECT_TRUE(m.agree);
  EXPECT_EQ(m.proposal.channel, 21);
}

TEST(SessionMatch, OverlappingEntriesOfOneSessionDisagreeOnlyAfterTheFirstFind) {
  // The first session finds 21 and stops; the second looks at every matching
  // entry and meets 22 as well.
  const ChannelTable t = Table("239.1.2.0/24:* 21 a\n239.1.0.0/16:* 22 b\n");
  EXPECT_TRUE(MatchSessions(t, {{Addr("239.1.2.1"), 5}}, -1).agree);
  EXPECT_FALSE(MatchSessions(t, {{Addr("239.1.2.1"), 5}, {Addr("239.1.2.2"), 5}}, -1).agree);
}

TEST(SessionMatch, PortOutsideTheFirstMatchingEntryEndsThatSession) {
  const ChannelTable t = Table("239.1.2.3/32:1-10 21 a\n239.1.2.0/24:* 22 b\n");
  EXPECT_FALSE(MatchSessions(t, {{Addr("239.1.2.3"), 11}}, -1).found);
}

TEST(SessionMatch, FirstSessionOnTheCurrentChannelProposesNothing) {
  const ChannelTable t = Table("239.1.2.0/24:* 21 a\n239.1.3.0/24:* 22 b\n");
  const MatchResult m = MatchSessions(t, {{Addr("239.1.2.1"), 5}, {Addr("239.1.3.1"), 5}}, 21);
  EXPECT_TRUE(m.found);
  EXPECT_FALSE(m.proposed);
}

}  // namespace
