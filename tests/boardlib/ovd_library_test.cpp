#include "boardlib/ovd_library.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "tests/boardlib/board_rig.h"

namespace {
using Lines = std::vector<std::string>;

TEST(OvdLibraryLoad, FindsTheAdapterWhoseDriverIsNamedInAnyCase) {
  BoardRig rig(TestConfig(), false);
  rig.Install("0000", "NDIS.VXD", "");
  rig.Install("0004", "Kt517.Vxd", "");
  Process& p = rig.Start(10);
  EXPECT_TRUE(p.library.Usable());
  EXPECT_STREQ(rig.shared.adapterKey, "0004");
  EXPECT_EQ(rig.shared.processCount, 1);
  EXPECT_EQ(p.library.TagId(), 8);
  EXPECT_EQ(p.library.CachedTime(), 984000000);
}

TEST(OvdLibraryLoad, WithoutAdapterOrWindowEveryExportSaysNoBoard) {
  BoardRig noAdapter(TestConfig(), false);
  noAdapter.Install("0010", "KT517.VXD", "");  // beyond 0009
  SimConfig wrongType = TestConfig();
  wrongType.boardType = 0x30;
  BoardRig noWindow(wrongType);
  for (BoardRig* rig : {&noAdapter, &noWindow}) {
    OvdLibrary& lib = rig->Start(10).library;
    EXPECT_FALSE(lib.Usable());
    std::uint16_t sid = 77, tag = 77;
    std::uint8_t bytes[8] = {};
    std::uint32_t value = 5;
    EXPECT_EQ(lib.ROInit(), 100);
    EXPECT_EQ(lib.ROClose(), 100);
    EXPECT_EQ(lib.ROReset(), 100);
    EXPECT_EQ(lib.ROGetIRDOpt(0, &value), 100);
    EXPECT_EQ(lib.ROGetSI(&value), 100);
    EXPECT_EQ(value, 0u) << "ROGetSI clears its output first";
    EXPECT_EQ(lib.OvdInit(), -1);
    EXPECT_EQ(lib.OvdGetSid(&sid), -1);
    EXPECT_EQ(lib.OvdGetSid2(&sid, &tag), -1);
    EXPECT_EQ(lib.OvdGetTagId(&tag), -1);
    EXPECT_EQ(lib.OvdGetMacAddress(bytes), -1);
    EXPECT_EQ(sid, 77);
    std::uint8_t info[23] = {};
    EXPECT_EQ(OvdLibrary::ROGetROInfo(info), 0) << "needs no board";
    EXPECT_EQ(rig->shared.processCount, 1);
  }
}

TEST(OvdLibraryRO, InitTwiceThenCloseAndInitAgain) {
  BoardRig rig;
  Process& p = rig.Start(10);
  EXPECT_EQ(p.library.ROInit(), 0);
  EXPECT_EQ(p.library.ROInit(), 101);
  EXPECT_EQ(p.library.ROClose(), 0);
  EXPECT_EQ(rig.shared.deviceHandle, 0);
  EXPECT_EQ(p.library.ROInit(), 0);
  EXPECT_EQ(rig.Commands(p), (Lines{"command 0xFF010222 0 0", "command 0xFF010235 0 0", "command 0xFF010222 0 0",
                                    "command 0xFF010222 0 0"}));
}

TEST(OvdLibraryRO, InitWithoutDriverThenSetStreamIsNotOpen) {
  SimConfig c = TestConfig();
  c.noDriver = 1;
  BoardRig rig(c);
  Process& p = rig.Start(10);
  EXPECT_EQ(p.library.ROInit(), 1);
  EXPECT_EQ(rig.shared.deviceHandle, -1);
  const std::uint8_t stream[3] = {0x23, 0x01, 8};
  EXPECT_EQ(p.library.ROSetStream(1, stream), 200);
  EXPECT_EQ(p.library.ROInit(), 1) << "a failed open may be tried again";
}

TEST(OvdLibraryRO, SetStreamChoosesTheCommandByTheHighBits) {
  BoardRig rig;
  Process& p = rig.Start(10);
  ASSERT_EQ(p.library.ROInit(), 0);
  const std::uint8_t low[3] = {0x23, 0x01, 9}, high[3] = {0x23, 0x81, 7};
  EXPECT_EQ(p.library.ROSetStream(2, low), 201);
  EXPECT_EQ(rig.Commands(p).size(), 1u) << "type 2 sends nothing";
  EXPECT_EQ(p.library.ROSetStream(1, low), 0);
  EXPECT_EQ(p.library.ROSetStream(1, high), 0);
  EXPECT_EQ(p.library.ROSetStream(1, nullptr), 207);
  const Lines got = rig.Commands(p);
  EXPECT_EQ(got[1], "command 0xFF010221 291 9");
  EXPECT_EQ(got[2], "command 0xFF010223 33059 7");
  EXPECT_EQ(got.size(), 3u);
}

TEST(OvdLibraryRO, ResetOnClosedDriverOpensIt) {
  BoardRig rig;
  Process& p = rig.Start(10);
  EXPECT_EQ(p.library.ROReset(), 0);
  EXPECT_TRUE(p.library.DriverOpen());
  EXPECT_EQ(p.library.ROReset(), 0);
  EXPECT_EQ(rig.Commands(p), (Lines{"command 0xFF010222 0 0", "command 0xFF010201 0 0"}));
}

TEST(OvdLibraryRO, BusyDriverIsWaitedFor) {
  SimConfig c = TestConfig();
  c.busy = 1;
  c.active = 1;
  BoardRig rig(c);
  Process& p = rig.Start(10);
  p.clock.slept = 0;
  ASSERT_EQ(p.library.ROInit(), 0);
  EXPECT_EQ(p.clock.slept, 120u);
  EXPECT_EQ(rig.Commands(p), (Lines{"command 0xFF010222 0 0"})) << "word 0 comes back as queried";
  EXPECT_EQ(rig.card->lastCommand[0], 1u);
}

TEST(OvdLibraryRO, InfoAndFixedAnswers) {
  BoardRig rig;
  Process& p = rig.Start(10);
  std::array<std::uint8_t, 23> info;
  info.fill(0xEE);
  EXPECT_EQ(OvdLibrary::ROGetROInfo(info.data()), 0);
  EXPECT_EQ(info[0], 1);
  EXPECT_EQ(info[1], 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(info.data() + 2), "VIvuzivi v00");
  EXPECT_EQ(info[22], 20);
  EXPECT_EQ(OvdLibrary::ROGetROInfo(nullptr), 207);
  std::uint32_t value = 9;
  EXPECT_EQ(p.library.ROSetFilter(), 200);
  EXPECT_EQ(p.library.ROGetSI(&value), 200);
  EXPECT_EQ(value, 0u);
  ASSERT_EQ(p.library.ROInit(), 0);
  EXPECT_EQ(p.library.ROSetFilter(), 207);
  EXPECT_EQ(p.library.ROGetSI(nullptr), 207);
}

TEST(OvdLibraryRO, OptionsStatusAndReceiverInfo) {
  BoardRig rig;
  Process& p = rig.Start(10);
  ASSERT_EQ(p.library.ROInit(), 0);
  EXPECT_EQ(p.library.ROSetIRDOpt(1, 5), 0);
  EXPECT_EQ(p.library.ROSetIRDOpt(8, 77), 0);
  EXPECT_EQ(p.library.ROSetIRDOpt(3, 1), 202);
  EXPECT_EQ(rig.Commands(p).back(), "command 0xFF010235 77 0");
  std::uint32_t value = 99;
  EXPECT_EQ(p.library.ROGetIRDOpt(1, &value), 0);
  EXPECT_EQ(value, 0u);
  EXPECT_EQ(p.library.ROGetIRDOpt(0, &value), 0);
  EXPECT_EQ(value, 1u) << "flowing test: the association table arrives";
  EXPECT_EQ(p.library.ROGetIRDOpt(2, &value), 0);
  EXPECT_EQ(value, 2u) << "top bits of 0x8123";
  EXPECT_EQ(p.library.ROGetIRDOpt(9, &value), 202);
  EXPECT_EQ(p.library.ROGetIRDOpt(0, nullptr), 207);
  EXPECT_EQ(p.library.ROGetROStatus(4, &value), 0);
  EXPECT_EQ(value, 0u);
  EXPECT_EQ(p.library.ROGetROStatus(7, &value), 0);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(p.library.ROGetROStatus(5, &value), 207);
  std::uint8_t ird[2] = {};
  EXPECT_EQ(p.library.ROGetIRDInfo(ird), 0);
  EXPECT_EQ(ird[0], 5);
  EXPECT_EQ(ird[1], 1);
  rig.card->config.irdInfo = 12;
  EXPECT_EQ(p.library.ROGetIRDInfo(ird), 205);
  rig.card->config.active = 1;
  EXPECT_EQ(p.library.ROGetROStatus(4, &value), 0);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(p.library.ROGetROStatus(7, &value), 203);
  EXPECT_EQ(p.library.ROGetIRDOpt(2, &value), 0);
  EXPECT_EQ(value, 0u) << "the driver owns the stream";
  EXPECT_EQ(p.library.ROGetIRDOpt(0, &value), 0);
  EXPECT_EQ(value, 1u) << "active with service 291";
}

TEST(OvdLibraryRO, StreamAndTime) {
  BoardRig rig;
  Process& p = rig.Start(10);
  ASSERT_EQ(p.library.ROInit(), 0);
  std::uint16_t type = 9;
  std::uint8_t stream[3] = {};
  EXPECT_EQ(p.library.ROGetStream(&type, stream), 1) << "driver not active";
  EXPECT_EQ(type, 0);
  std::array<std::uint16_t, 8> t{};
  EXPECT_EQ(p.library.ROGetTime(t.data()), 0);
  const LocalTime expected = BreakLocalTime(984000000);
  EXPECT_EQ(t, (std::array<std::uint16_t, 8>{static_cast<std::uint16_t>(expected.year), static_cast<std::uint16_t>(expected.month),
                                               static_cast<std::uint16_t>(expected.weekday + 1), static_cast<std::uint16_t>(expected.day),
                                               static_cast<std::uint16_t>(expected.hour), static_cast<std::uint16_t>(expected.minute),
                                               static_cast<std::uint16_t>(expected.second), 0}));
  rig.card->config.active = 1;
  rig.card->config.time = 984000000 + 3600;  // only read when the driver is not active
  EXPECT_EQ(p.library.ROGetStream(&type, stream), 0);
  EXPECT_EQ(type, 1);
  EXPECT_EQ(stream[0] | stream[1] << 8, 291);
  EXPECT_EQ(stream[2], 8);
  EXPECT_NE(p.library.ROGetTime(t.data()), 0);
  EXPECT_EQ(t[4], expected.hour);
}

TEST(OvdLibraryOvd, SetSidSendsTheWordWithBit14) {
  BoardRig rig;
  Process& p = rig.Start(10);
  EXPECT_EQ(p.library.OvdSetSid(291), -1);
  EXPECT_TRUE(rig.Commands(p).empty()) << "nothing before OvdInit";
  EXPECT_EQ(p.library.OvdInit(), 0);
  EXPECT_EQ(p.library.OvdInit(), -1);
  EXPECT_EQ(p.library.OvdSetSid(291), 0);
  EXPECT_EQ(p.library.OvdSetSid2(100, 3), 0);
  EXPECT_EQ(p.library.OvdSetTagId(4), 0);
  EXPECT_EQ(rig.Commands(p), (Lines{"command 0xFF010222 0 0", "command 0xFF010223 16675 8", "command 0xFF010223 16484 3",
                                    "command 0xFF010223 16484 4"}));
  std::uint16_t sid = 0, tag = 0;
  EXPECT_EQ(p.library.OvdGetSid2(&sid, &tag), 0);
  EXPECT_EQ(sid, 100) << "the card tuned to the service";
  EXPECT_EQ(tag, 4);
  EXPECT_EQ(p.library.OvdClose(), 0);
  EXPECT_EQ(p.library.OvdSetTagId(5), -1);
  EXPECT_EQ(p.library.OvdGetTagId(&tag), 0);
  EXPECT_EQ(tag, 4);
}

TEST(OvdLibraryOvd, InitWithFailingDriverAnswersZeroButSettersFail) {
  SimConfig c = TestConfig();
  c.noDriver = 1;
  BoardRig rig(c);
  Process& p = rig.Start(10);
  EXPECT_EQ(p.library.OvdInit(), 0);
  EXPECT_EQ(p.library.OvdSetSid(1), -1);
  EXPECT_EQ(p.library.OvdInit(), 0) << "a failed open does not count as open";
}

TEST(OvdLibraryOvd, IdentitiesAndNullPointers) {
  BoardRig rig;
  Process& p = rig.Start(10);
  std::array<std::uint8_t, 8> mac{};
  EXPECT_EQ(p.library.OvdGetMacAddress(mac.data()), 0);
  EXPECT_EQ(mac, (std::array<std::uint8_t, 8>{0x00, 0x50, 0x9F, 0xFF, 0xFE, 0xC3, 0x7D, 0x05}));
  std::array<std::uint8_t, 6> ic{};
  EXPECT_EQ(p.library.OvdGetIcCardNum(ic.data()), 0);
  EXPECT_EQ(ic, (std::array<std::uint8_t, 6>{0x70, 0x48, 0x86, 0x0D, 0xDF, 0x79}));
  EXPECT_EQ(p.library.OvdGetMacAddress(nullptr), -1);
  EXPECT_EQ(p.library.OvdGetIcCardNum(nullptr), -1);
  EXPECT_EQ(p.library.OvdGetSid(nullptr), -1);
  EXPECT_EQ(p.library.OvdGetSid2(nullptr, nullptr), -1);
  EXPECT_EQ(p.library.OvdGetTagId(nullptr), -1);
  rig.settings->DeleteValue(Hive::LocalMachine, std::string(peer::kAdapterClassKey) + "\\0003", peer::kAdapterIcCardValue);
  ic.fill(0xEE);
  EXPECT_EQ(p.library.OvdGetIcCardNum(ic.data()), -1);
  EXPECT_EQ(ic, (std::array<std::uint8_t, 6>{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE})) << "untouched";
}

TEST(OvdLibraryOvd, AnIcCardNumberLongerThanTheLimitIsRefused) {
  BoardRig rig;
  Process& p = rig.Start(10);
  const std::string key = std::string(peer::kAdapterClassKey) + "\\0003";
  // Valid digits first: cutting the value at 100 bytes would still parse.
  rig.settings->WriteText(Hive::LocalMachine, key, peer::kAdapterIcCardValue, "1234567890123450" + std::string(90, '0'));
  std::array<std::uint8_t, 6> ic;
  ic.fill(0xEE);
  EXPECT_EQ(p.library.OvdGetIcCardNum(ic.data()), -1);
  EXPECT_EQ(ic, (std::array<std::uint8_t, 6>{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE})) << "untouched";
}

TEST(OvdLibraryShared, TwoProcessesShareTheDriverButNotTheStream) {
  BoardRig rig;
  Process& a = rig.Start(10);
  Process& b = rig.Start(11);
  EXPECT_EQ(rig.shared.processCount, 2);
  EXPECT_EQ(a.library.TagId(), 8);
  EXPECT_EQ(b.library.TagId(), 0);
  EXPECT_EQ(b.library.CachedTime(), 0);
  ASSERT_EQ(a.library.ROInit(), 0);
  EXPECT_EQ(b.library.ROInit(), 101);
  EXPECT_EQ(b.library.OvdSetSid(5), 0) << "the second process reaches the open driver";
  EXPECT_EQ(rig.Commands(b), (Lines{"command 0xFF010223 16389 0"}));
  EXPECT_EQ(a.library.ServiceWord(), 0);
  a.library.Unload();
  EXPECT_EQ(rig.shared.processCount, 1);
  EXPECT_TRUE(b.library.DriverOpen()) << "still open for the remaining process";
  b.library.Unload();
  EXPECT_EQ(rig.shared.processCount, 0);
  EXPECT_EQ(rig.shared.deviceHandle, 0) << "the last process closes the driver";
  EXPECT_EQ(b.driver.log.back(), "close");
}

TEST(OvdLibraryShared, ADeadProcessLeavesNoCountOwnerOrOpenDriverBehind) {
  BoardRig rig;
  Process& a = rig.Start(10);
  ASSERT_EQ(a.library.ROInit(), 0);
  rig.shared.trayOwner = 0x1234;  // a's window
  rig.shared.trayOwnerPid = 10;
  rig.Kill(10);  // a dies without unloading
  Process& b = rig.Start(11);
  EXPECT_EQ(rig.shared.processCount, 1);
  EXPECT_EQ(rig.shared.trayOwner, 0u) << "the stale window is replaced";
  EXPECT_FALSE(b.library.DriverOpen());
  EXPECT_EQ(b.library.ROInit(), 0);
}
TEST(OvdLibraryShared, AReusedProcessIdKeepsNeitherTheSlotNorTheDriverMark) {
  BoardRig rig;
  Process& a = rig.Start(10);
  Process& b = rig.Start(11);
  ASSERT_EQ(a.library.ROInit(), 0);
  EXPECT_EQ(b.library.ROInit(), 101);
  rig.Kill(10);     // a dies without unloading
  rig.ReuseId(10);  // and an unrelated process gets its id
  EXPECT_FALSE(b.library.DriverOpen()) << "the mark of the dead opener is cleared";
  EXPECT_EQ(b.library.ROInit(), 0);
  Process& c = rig.Start(12);
  EXPECT_EQ(rig.shared.processCount, 2) << "the dead process's slot is freed";
  EXPECT_EQ(c.library.ROInit(), 101);
}

TEST(OvdLibraryShared, AProcessStartedUnderTheIdOfADeadOneGetsASlotOfItsOwn) {
  BoardRig rig;
  rig.Start(10);
  rig.Kill(10);
  Process& again = rig.Start(10);  // a new process with the same id loads the library
  EXPECT_EQ(rig.shared.processCount, 1);
  again.library.Unload();
  EXPECT_EQ(rig.shared.processCount, 0);
  for (const ProcessSlot& slot : rig.shared.slots) EXPECT_EQ(slot.pid, 0u);
}
TEST(OvdLibraryShared, ExportsLookOnlyAtTheProcessThatOpenedTheDriver) {
  BoardRig rig;
  Process& opener = rig.Start(10);
  Process& b = rig.Start(11);
  rig.Start(12);
  rig.Start(13);
  ASSERT_EQ(opener.library.ROInit(), 0);
  rig.system.looks.clear();
  std::uint32_t value = 0;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(b.library.ROGetROStatus(4, &value), 0);
    EXPECT_EQ(b.library.OvdSetSid(7), 0);
  }
  EXPECT_FALSE(rig.system.looks.empty());
  for (std::uint32_t pid : rig.system.looks) EXPECT_EQ(pid, 10u) << "a look at a process that holds nothing";
  rig.system.looks.clear();
  EXPECT_EQ(opener.library.ROGetROStatus(4, &value), 0);
  EXPECT_TRUE(rig.system.looks.empty()) << "the opener itself needs no look";
}
}  // namespace
