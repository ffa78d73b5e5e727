// The planner's reservation list: one entry per reserved broadcast, ordered by
// start then end, with the lanes the reservation column draws them in and the
// running total of reserved KByte.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "common/reservation_file.h"
#include "common/time_text.h"

struct GuideProgram;

struct ReservationEntry {
  // The record as its file on disk carries it: the ids, the port, the folder
  // and its own times. The guide may have moved the broadcast since it was
  // reserved (the entry then shows the guide's times), but the unit knows the
  // reservation only by the record's: a deletion request names them.
  ReservationRecord record;
  // What the guide shows of the broadcast now.
  Time32 startTime = 0;
  Time32 endTime = 0;
  std::string name;
  std::string digest;
  std::int32_t totalKbyte = 0;
  std::uint16_t laneCount = 1;
  std::uint16_t laneIndex = 0;
};

// An entry from a record on disk and the broadcast it reserves: the record
// gives the ids, the port, the folder and its own times, the guide the times
// shown and the texts.
ReservationEntry EntryFrom(const ReservationRecord& record, const GuideProgram& program);

// Overlap groups get at most this many lanes; the rest starts a new group.
constexpr std::size_t kMaxLanes = 20;

class ReservationList {
 public:
  const std::vector<ReservationEntry>& Entries() const { return entries_; }
  std::vector<ReservationEntry>& Entries() { return entries_; }
  bool Empty() const { return entries_.empty(); }
  std::size_t Size() const { return entries_.size(); }
  std::int32_t ReservedKbyte() const { return reservedKbyte_; }

  // Behind every entry that starts earlier and every entry with the same start
  // that ends earlier; adds the entry's KByte to the total. Returns its index.
  std::size_t Insert(const ReservationEntry& entry);
  // Unlinks entry `index` and takes its KByte off the total.
  ReservationEntry RemoveAt(std::size_t index);
  void Clear();
  // Index of the entry for this broadcast, or -1.
  int Find(std::int32_t programNumber, std::int32_t subNumber) const;
  // Index of exactly this reservation (the same broadcast reserved again is
  // another one), or -1: what a dialog found again after its message loop.
  int Find(std::int32_t programNumber, std::int32_t subNumber, std::uint32_t reservationId) const;

  // laneCount / laneIndex of every entry (see LayOutLanes).
  void LayOutLanes();

 private:
  std::vector<ReservationEntry> entries_;
  std::int32_t reservedKbyte_ = 0;
};

// Lanes of entries ordered by start: a group of mutually reachable overlaps
// shares the lane count of its widest point; each member takes the first lane
// that is free at its start. A group never has more than kMaxLanes lanes.
void LayOutLanes(std::vector<ReservationEntry>& entries);
