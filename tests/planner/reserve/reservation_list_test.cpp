// The reservation list: order, lanes, the dialog's warnings and capacity
// checks, and the reservation column's geometry.
#include <gtest/gtest.h>

#include "common/text.h"
#include "planner/reserve/reservation_checks.h"
#include "planner/reserve/reservation_list.h"
#include "planner/reserve/reserve_column.h"

namespace {
constexpr Time32 kBase = 1000000000;
constexpr Time32 kMin = 60;

ReservationEntry Entry(Time32 startMin, Time32 endMin, int number = 1, std::uint16_t sid = 1, int kbyte = 0,
                       const std::string& folder = "C:\\data\\x") {
  ReservationEntry e;
  e.record.programNumber = number;
  e.startTime = kBase + startMin * kMin;
  e.endTime = kBase + endMin * kMin;
  e.record.sid = sid;
  e.totalKbyte = kbyte;
  e.record.storageFolder = folder;
  return e;
}

std::vector<int> Numbers(const ReservationList& list) {
  std::vector<int> n;
  for (const auto& e : list.Entries()) n.push_back(e.record.programNumber);
  return n;
}

TEST(ReservationList, OrdersByStartThenEnd) {
  ReservationList list;
  list.Insert(Entry(30, 60, 1, 1, 10));
  list.Insert(Entry(0, 10, 2, 1, 20));
  list.Insert(Entry(30, 40, 3, 1, 30));  // same start, ends earlier: in front of 1
  list.Insert(Entry(90, 95, 4, 1, 40));
  list.Insert(Entry(30, 60, 5, 1, 50));  // equal start and end: in front of the listed one
  EXPECT_EQ(Numbers(list), (std::vector<int>{2, 3, 5, 1, 4}));
  EXPECT_EQ(list.ReservedKbyte(), 150);
  list.RemoveAt(2);
  EXPECT_EQ(list.ReservedKbyte(), 100);
  EXPECT_EQ(list.Find(1, 0), 2);
  EXPECT_EQ(list.Find(5, 0), -1);
}

TEST(ReservationList, FindsAReservationAgainByItsKeyAfterTheListMoved) {
  ReservationList list;
  ReservationEntry first = Entry(30, 60, 7);
  first.record.reservationId = 11;
  ReservationEntry again = Entry(30, 60, 7);
  again.record.reservationId = 12;
  list.Insert(first);
  list.Insert(Entry(90, 95, 8));
  EXPECT_EQ(list.Find(7, 0, 11), 0);
  // A rebuild while dialog 151 is up: an earlier entry shifts the index, and the
  // same broadcast reserved again is another reservation.
  list.Insert(Entry(0, 10, 9));
  EXPECT_EQ(list.Find(7, 0, 11), 1);
  list.RemoveAt(1);
  list.Insert(again);
  EXPECT_EQ(list.Find(7, 0, 11), -1);
  EXPECT_EQ(list.Find(7, 0, 12), 1);
  EXPECT_EQ(list.Find(7, 1, 12), -1);
}

struct Lane {
  int count, index;
};
std::vector<Lane> Lanes(const ReservationList& list) {
  std::vector<Lane> lanes;
  for (const auto& e : list.Entries()) lanes.push_back({e.laneCount, e.laneIndex});
  return lanes;
}

void ExpectLanes(const ReservationList& list, const std::vector<Lane>& want) {
  const auto got = Lanes(list);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].count, want[i].count) << "entry " << i;
    EXPECT_EQ(got[i].index, want[i].index) << "entry " << i;
  }
}

TEST(ReservationLanes, EntriesThatMeetEndToEndNeedOneLane) {
  ReservationList list;
  list.Insert(Entry(0, 10));
  list.Insert(Entry(10, 20));
  list.Insert(Entry(25, 30));
  list.LayOutLanes();
  ExpectLanes(list, {{1, 0}, {1, 0}, {1, 0}});
}

TEST(ReservationLanes, AChainOfOverlapsSharesTheWidestCount) {
  ReservationList list;
  list.Insert(Entry(0, 10));   // lane 0
  list.Insert(Entry(5, 15));   // lane 1
  list.Insert(Entry(12, 20));  // lane 0 is free again at 12
  list.Insert(Entry(13, 14));  // lanes 0 and 1 busy (1 ends at 15): lane 2
  list.Insert(Entry(40, 50));  // alone
  list.LayOutLanes();
  ExpectLanes(list, {{3, 0}, {3, 1}, {3, 0}, {3, 2}, {1, 0}});
}

TEST(ReservationLanes, TwentyOneMutualOverlapsAreCutAfterTwentyLanes) {
  ReservationList list;
  for (int i = 0; i < 21; ++i) list.Insert(Entry(i, 100 + i, i));
  list.LayOutLanes();
  const auto& e = list.Entries();
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(e[i].laneCount, 20) << i;
    EXPECT_EQ(e[i].laneIndex, i) << i;
  }
  // The 21st starts a group of its own: it overlaps nothing after it.
  EXPECT_EQ(e[20].laneCount, 1);
  EXPECT_EQ(e[20].laneIndex, 0);
}

TEST(ReservationLanes, TwentyFiveMutualOverlapsMakeASecondGroup) {
  ReservationList list;
  for (int i = 0; i < 25; ++i) list.Insert(Entry(i, 100 + i, i));
  list.LayOutLanes();
  const auto& e = list.Entries();
  EXPECT_EQ(e[19].laneCount, 20);
  for (int i = 20; i < 25; ++i) {
    EXPECT_EQ(e[i].laneCount, 5) << i;
    EXPECT_EQ(e[i].laneIndex, i - 20) << i;
  }
}

// --- warnings ---------------------------------------------------------------

struct OverlapCase {
  const char* name;
  std::vector<ReservationEntry> listed;
  ReservationCandidate candidate;
  Time32 nowMin;
  OverlapWarning want;
};

ReservationCandidate Candidate(Time32 startMin, Time32 endMin, std::uint16_t sid, int kbyte, int speed) {
  return ReservationCandidate{kBase + startMin * kMin, kBase + endMin * kMin, sid, kbyte, speed};
}

TEST(ReservationWarnings, Table) {
  // needed seconds = kbyte * 13 / speed; 60 minutes = 3600 s available.
  const OverlapCase cases[] = {
      {"nothing listed, time enough", {}, Candidate(0, 60, 1, 1000, 100), -10, OverlapWarning::None},
      {"nothing listed, time short", {}, Candidate(0, 60, 1, 30000, 100), -10, OverlapWarning::TimeShort},
      {"started already: the rest is short", {}, Candidate(0, 60, 1, 20000, 100), 40, OverlapWarning::TimeShort},
      {"overlap with another service", {Entry(30, 90, 7, 2)}, Candidate(0, 60, 1, 1000, 100), -10,
       OverlapWarning::Overlap},
      {"overlap eats the time", {Entry(10, 90, 7, 2)}, Candidate(0, 60, 1, 10000, 100), -10,
       OverlapWarning::TooMuchOverlap},
      {"same service is one stream", {Entry(0, 60, 7, 1), Entry(10, 20, 8, 1)}, Candidate(0, 60, 1, 1000, 100), -10,
       OverlapWarning::None},
      {"speed 0 needs no time", {Entry(0, 59, 7, 2)}, Candidate(0, 60, 1, 99999, 0), -10, OverlapWarning::Overlap},
      {"speed 0 without overlap", {}, Candidate(0, 60, 1, 99999, 0), 70, OverlapWarning::None},
      {"an earlier reservation that ended before is no overlap", {Entry(-30, 0, 7, 2), Entry(-20, -10, 8, 2)},
       Candidate(0, 60, 1, 1000, 100), -40, OverlapWarning::None},
      {"a short one inside a long one does not overlap a later program",
       {Entry(-60, 120, 7, 1), Entry(-50, -40, 8, 2)}, Candidate(0, 60, 1, 1000, 100), -70, OverlapWarning::None},
      {"later reservations do not count", {Entry(60, 90, 7, 2)}, Candidate(0, 60, 1, 1000, 100), -10,
       OverlapWarning::None},
  };
  for (const OverlapCase& c : cases) {
    ReservationList list;
    for (const auto& e : c.listed) list.Insert(e);
    EXPECT_EQ(CheckOverlap(list, c.candidate, kBase + c.nowMin * kMin), c.want) << c.name;
  }
}

TEST(ReservationWarnings, TheEndMovesBeforeAReservationThatCoversIt) {
  ReservationList list;
  list.Insert(Entry(30, 90, 7, 2));
  // 1800 s left before the other one starts: 1700 s needed fits, 1900 s not.
  EXPECT_EQ(CheckOverlap(list, Candidate(0, 60, 1, 1700 * 100 / 13, 100), kBase - 600), OverlapWarning::Overlap);
  EXPECT_EQ(CheckOverlap(list, Candidate(0, 60, 1, 1900 * 100 / 13, 100), kBase - 600),
            OverlapWarning::TooMuchOverlap);
}

// --- volume roots and capacity -----------------------------------------------

TEST(VolumeRoot, Table) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\x", "C:\\"},
      {"C:\\", "C:\\"},
      {"D:\\data\\holder", "D:\\"},
      {"\\\\host\\share\\x", "\\\\host\\share\\"},
      {"\\\\host\\share\\x\\y", "\\\\host\\share\\"},
      {"\\\\host\\share", "\\\\host\\share\\"},
      {"\\\\host", ""},  // no share: no volume to ask
  };
  for (const auto& c : cases) EXPECT_EQ(VolumeRoot(c.first), c.second) << c.first;
  // A share named with 表 or ソ: their second byte is no separator.
  EXPECT_EQ(VolumeRoot(J(u8"\\\\host\\番組表\\x")), J(u8"\\\\host\\番組表\\"));
  EXPECT_EQ(VolumeRoot(J(u8"\\\\ソ\\s")), J(u8"\\\\ソ\\s\\"));
}

TEST(AbsoluteFolder, Table) {
  EXPECT_TRUE(IsFullFolderPath("C:\\x"));
  EXPECT_TRUE(IsFullFolderPath("C:\\"));
  EXPECT_TRUE(IsFullFolderPath("\\\\h\\s"));
  EXPECT_FALSE(IsFullFolderPath("C:"));
  EXPECT_FALSE(IsFullFolderPath("data\\x"));
  EXPECT_FALSE(IsFullFolderPath("\\data"));
  EXPECT_FALSE(IsFullFolderPath(""));
}

TEST(TotalRecount, CountsEachFolderOnce) {
  ReservationList list;
  list.Insert(Entry(0, 10, 1, 1, 1000, "C:\\d\\a"));
  list.Insert(Entry(20, 30, 2, 1, 2000, "C:\\d\\a"));  // same folder: not counted again
  list.Insert(Entry(40, 50, 3, 1, 4000, "C:\\d\\b"));
  const std::vector<ReceivedFolder> received = {
      {"C:\\d\\b", 99 * 1024 * 1024},  // a reserved folder: the reservation replaces it
      {"C:\\d\\c", 8 * 1024 * 1024},
      {"C:\\d\\c", 16 * 1024 * 1024},
  };
  EXPECT_EQ(RecountTotalKbyte(list, received), 1000 + 4000 + 8 * 1024);
}

TEST(CapacityCheck, Table) {
  ReservationList list;
  list.Insert(Entry(0, 10, 1, 1, 600 * 1024, "C:\\d\\a"));
  list.Insert(Entry(20, 30, 2, 1, 600 * 1024, "C:\\d\\a"));
  const std::vector<ReceivedFolder> none;
  struct Case {
    const char* name;
    bool freeKnown;
    std::uint64_t freeKbyte;
    int diskLimitMb, totalLimitMb, candidateKbyte;
    CapacityVerdict want;
  } cases[] = {
      {"plenty of room, no total limit", true, 1u << 30, 40, 0, 1000, CapacityVerdict::Ok},
      {"below the disk limit", true, 39 * 1024, 40, 0, 1000, CapacityVerdict::DiskLow},
      {"disk warning comes before the total", true, 39 * 1024, 40, 1, 1000, CapacityVerdict::DiskLow},
      {"unknown free space: the total check still runs", false, 0, 40, 500, 1000, CapacityVerdict::TotalOver},
      {"total 0 is off", true, 1u << 30, 40, 0, 1 << 30, CapacityVerdict::Ok},
      {"quick sum over, recount per folder under", true, 1u << 30, 40, 1000, 100, CapacityVerdict::Ok},
      {"recount over", true, 1u << 30, 40, 500, 100, CapacityVerdict::TotalOver},
  };
  for (const Case& c : cases) {
    CapacityInput in;
    in.freeKnown = c.freeKnown;
    in.freeKbyte = c.freeKbyte;
    in.diskLimitMb = c.diskLimitMb;
    in.totalLimitMb = c.totalLimitMb;
    in.candidateKbyte = c.candidateKbyte;
    in.reservedKbyte = list.ReservedKbyte();
    EXPECT_EQ(CheckCapacity(in, list, none), c.want) << c.name;
  }
}

// --- the column ----------------------------------------------------------------

TEST(ReserveColumn, TimeAndPositionAreInverse) {
  ColumnAxis axis;
  axis.origin = kBase;
  axis.slotHeight = 20;
  axis.top = 100;
  EXPECT_EQ(YOfTime(axis, kBase + 60 * kMin), 120 - 100);  // 6 slots of 20 pixels
  EXPECT_EQ(TimeAtY(axis, 20), kBase + 60 * kMin);
  axis.hourOffset = 2;
  EXPECT_EQ(TimeAtY(axis, 20), kBase + 180 * kMin);
  EXPECT_EQ(YOfTime(axis, kBase + 180 * kMin), 20);
}

TEST(ReserveColumn, HitTestPicksTheLaneUnderThePointer) {
  ReservationList list;
  list.Insert(Entry(0, 60, 1));
  list.Insert(Entry(10, 70, 2));
  list.Insert(Entry(100, 110, 3));
  list.LayOutLanes();
  ColumnAxis axis;
  axis.origin = kBase;
  axis.slotHeight = 10;  // 1 pixel per minute
  const int width = 50;  // header 10, two lanes of 20
  EXPECT_EQ(HitTestColumn(list.Entries(), axis, width, 5, 30), -1);  // the header
  EXPECT_EQ(HitTestColumn(list.Entries(), axis, width, 15, 30), 0);
  EXPECT_EQ(HitTestColumn(list.Entries(), axis, width, 35, 30), 1);
  EXPECT_EQ(HitTestColumn(list.Entries(), axis, width, 35, 5), -1);  // lane 1 is free at minute 5
  EXPECT_EQ(HitTestColumn(list.Entries(), axis, width, 45, 105), 2);  // one lane: anywhere right of the header
  EXPECT_EQ(HitTestColumn(list.Entries(), axis, width, 45, 80), -1);
  const BarRect bar = BarOf(list.Entries()[1], axis, width);
  EXPECT_EQ(bar.left, 30);
  EXPECT_EQ(bar.right, 50);
  EXPECT_EQ(bar.top, 10);
  EXPECT_EQ(bar.bottom, 70);
}

// The name on a bar: top of the bar, or 5 pixels below the visible top once
// the bar begins above it and reaches more than two lines below; a stored
// inset keeps the name moving with its bar until it is recomputed.
TEST(ReserveColumnTitle, Placement) {
  struct Case {
    const char* name;
    BarRect bar;
    std::int32_t inset;  // -1: computed from the bar now
    bool shown;
    std::int32_t x, y;
  } cases[] = {
      {"visible bar: at its top, inside the frame", {10, 20, 50, 100}, -1, true, 12, 21},
      {"begins above, reaches well below: below the visible top", {10, -40, 50, 100}, -1, true, 12, 6},
      {"begins above, ends within two lines: at its own top", {10, -40, 50, 28}, -1, true, 12, -39},
      {"stale inset: the name scrolls with the bar", {10, -60, 50, 80}, 45, true, 12, -14},
      {"bar below the client", {10, 500, 50, 600}, -1, false, 12, 501},
      {"bar above the client", {10, -90, 50, -10}, -1, false, 12, -89},
      {"lane too narrow for any text", {40, 20, 42, 100}, -1, false, 42, 21},
      {"bar of one pixel", {10, 20, 50, 21}, -1, false, 12, 21},
  };
  const std::int32_t line = 14, client = 400;
  for (const Case& c : cases) {
    const std::int32_t inset = c.inset >= 0 ? c.inset : TitleInset(c.bar, line);
    const TitlePlace t = PlaceTitle(c.bar, inset, client);
    EXPECT_EQ(t.shown, c.shown) << c.name;
    EXPECT_EQ(t.x, c.x) << c.name;
    EXPECT_EQ(t.y, c.y) << c.name;
    EXPECT_EQ(t.clip.left, c.bar.left + 1) << c.name;
    EXPECT_EQ(t.clip.right, c.bar.right - 1) << c.name;
    EXPECT_EQ(t.clip.bottom, c.bar.bottom) << c.name;
  }
}

TEST(ReserveColumnTitle, SmallFontWhenTheLaneOrTheBarIsTooSmall) {
  const std::int32_t charWidth = 16, line = 18;
  EXPECT_EQ(ChooseTitleFont(BarRect{10, 0, 50, 100}, charWidth, line), TitleFont::Normal);
  EXPECT_EQ(ChooseTitleFont(BarRect{10, 0, 40, 100}, charWidth, line), TitleFont::Small);  // 27 pixels of room
  EXPECT_EQ(ChooseTitleFont(BarRect{10, 0, 50, 12}, charWidth, line), TitleFont::Small);   // shorter than a line
  EXPECT_EQ(ChooseTitleFont(BarRect{10, 0, 50, 19}, charWidth, line), TitleFont::Normal);  // exactly one line
}

// On a 144-dpi screen the name's margins grow with the font: 3 pixels from the
// bar's edge and 8 below the visible top, and the room for two characters of
// 24 is counted from the wider margin.
TEST(ReserveColumnTitle, MarginsScaleWithTheScreensDensity) {
  const BarRect bar{10, -100, 62, 200};
  EXPECT_EQ(TitleInset(bar, 27, 144), 100 + 8);
  EXPECT_EQ(TitleInset(bar, 27), 100 + 5);
  EXPECT_EQ(PlaceTitle(bar, 0, 400, 144).x, 13);
  EXPECT_EQ(PlaceTitle(bar, 0, 400).x, 12);
  // 62 - 1 - 12 = 49 pixels of room at 96, 48 at 144.
  EXPECT_EQ(ChooseTitleFont(bar, 24, 27, 144), TitleFont::Normal);
  EXPECT_EQ(ChooseTitleFont(BarRect{10, 0, 61, 100}, 24, 27, 144), TitleFont::Small);
  EXPECT_EQ(ChooseTitleFont(BarRect{10, 0, 61, 100}, 24, 27), TitleFont::Normal);
}

// Lanes split the width right of the header; a name never reaches into the
// next lane.
TEST(ReserveColumnTitle, ClippedToItsLane) {
  ReservationList list;
  list.Insert(Entry(0, 60, 1));
  list.Insert(Entry(10, 70, 2));
  list.LayOutLanes();
  ColumnAxis axis;
  axis.origin = kBase;
  axis.slotHeight = 10;
  const BarRect left = BarOf(list.Entries()[0], axis, 90);
  const BarRect right = BarOf(list.Entries()[1], axis, 90);
  const TitlePlace a = PlaceTitle(left, TitleInset(left, 14), 400);
  const TitlePlace b = PlaceTitle(right, TitleInset(right, 14), 400);
  EXPECT_LE(a.clip.right, right.left);
  EXPECT_GT(b.x, a.clip.right);
  EXPECT_EQ(b.clip.right, 89);
}

}  // namespace
