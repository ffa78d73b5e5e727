#include "tools/boardsim/sim_card.h"

#include <gtest/gtest.h>

#include <memory>

#include "boardlib/mpeg_crc.h"
#include "tests/boardlib/board_rig.h"

namespace {
TEST(SimCard, IdentityParsing) {
  std::uint8_t id[10];
  EXPECT_TRUE(ParseIdentity("00112233445566778899", id));
  EXPECT_EQ(id[9], 0x99);
  EXPECT_TRUE(ParseIdentity("aAbBcCdDeEfF00112233", id));
  EXPECT_EQ(id[0], 0xAA);
  EXPECT_FALSE(ParseIdentity("0011223344556677889", id));
  EXPECT_FALSE(ParseIdentity("001122334455667788G9", id));
}

TEST(SimCard, GeneratedTablesCarryGoodCrcsAndCountingContinuity) {
  auto state = std::make_unique<SimCardState>();
  SimCard::Init(*state, TestConfig());
  SimCard card(*state);
  const CrcTable t = MakeMpegCrcTable();
  for (std::uint16_t pid : {std::uint16_t{0}, std::uint16_t{0x14}}) {
    std::uint8_t p[188];
    for (int i = 0; i < 20; ++i) {
      ASSERT_TRUE(card.NextPacket(pid, p));
      EXPECT_EQ(p[3] & 0x0F, i % 16);
      if (pid == 0) {
        EXPECT_EQ(MpegCrc(t, p + 5, 3 + ((p[6] & 0x0F) << 8 | p[7])), 0u);
      }
    }
  }
  std::uint8_t p[188];
  EXPECT_FALSE(card.NextPacket(0x100, p));
}

TEST(SimCard, CommandsAreLoggedAndTuneTheCard) {
  auto state = std::make_unique<SimCardState>();
  SimCard::Init(*state, TestConfig());
  SimCard card(*state);
  DriverRecord r{{1, 0xFF010223, 16675, 8}};
  EXPECT_EQ(card.Command(r), "command 0xFF010223 16675 8");
  EXPECT_EQ(state->config.sid, 291);
}
}  // namespace
