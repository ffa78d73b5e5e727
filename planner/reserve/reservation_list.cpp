#include "planner/reserve/reservation_list.h"

#include <algorithm>
#include "planner/guide/guide_program.h"

ReservationEntry EntryFrom(const ReservationRecord& record, const GuideProgram& program) {
  ReservationEntry e;
  e.record = record;
  e.startTime = program.startTime;
  e.endTime = program.endTime;
  e.name = program.name;
  e.digest = program.digest;
  e.totalKbyte = program.totalKbyte;
  return e;
}

std::size_t ReservationList::Insert(const ReservationEntry& entry) {
  std::size_t i = 0;
  while (i < entries_.size() && entries_[i].startTime < entry.startTime) ++i;
  while (i < entries_.size() && entries_[i].startTime == entry.startTime && entries_[i].endTime < entry.endTime) ++i;
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(i), entry);
  reservedKbyte_ += entry.totalKbyte;
  return i;
}

ReservationEntry ReservationList::RemoveAt(std::size_t index) {
  ReservationEntry e = entries_.at(index);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  reservedKbyte_ -= e.totalKbyte;
  return e;
}

void ReservationList::Clear() {
  entries_.clear();
  reservedKbyte_ = 0;
}

int ReservationList::Find(std::int32_t programNumber, std::int32_t subNumber) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const ReservationRecord& r = entries_[i].record;
    if (r.programNumber == programNumber && r.subNumber == subNumber) return static_cast<int>(i);
  }
  return -1;
}

int ReservationList::Find(std::int32_t programNumber, std::int32_t subNumber, std::uint32_t reservationId) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const ReservationRecord& r = entries_[i].record;
    if (r.programNumber == programNumber && r.subNumber == subNumber && r.reservationId == reservationId)
      return static_cast<int>(i);
  }
  return -1;
}

void ReservationList::LayOutLanes() { ::LayOutLanes(entries_); }

namespace {
// The members of the group that starts at `first`: one past its last member.
std::size_t GroupEnd(const std::vector<ReservationEntry>& entries, std::size_t first, std::size_t* widest) {
  std::vector<Time32> active{entries[first].endTime};
  *widest = 1;
  std::size_t i = first + 1;
  for (; i < entries.size(); ++i) {
    const Time32 start = entries[i].startTime;
    active.erase(std::remove_if(active.begin(), active.end(), [start](Time32 end) { return end <= start; }),
                 active.end());
    if (active.empty() || active.size() >= kMaxLanes) break;
    active.push_back(entries[i].endTime);
    *widest = std::max(*widest, active.size());
  }
  return i;
}
}  // namespace

void LayOutLanes(std::vector<ReservationEntry>& entries) {
  std::size_t i = 0;
  while (i < entries.size()) {
    const bool grouped = i + 1 < entries.size() && entries[i + 1].startTime < entries[i].endTime;
    if (!grouped) {
      entries[i].laneCount = 1;
      entries[i].laneIndex = 0;
      ++i;
      continue;
    }
    std::size_t widest = 1;
    const std::size_t end = GroupEnd(entries, i, &widest);
    std::vector<Time32> laneEnd(widest, entries[i].startTime);
    for (std::size_t k = i; k < end; ++k) {
      std::size_t lane = 0;
      while (lane < widest && laneEnd[lane] > entries[k].startTime) ++lane;
      if (lane == widest) lane = 0;  // cannot happen with the widest point as count; kept safe
      laneEnd[lane] = entries[k].endTime;
      entries[k].laneCount = static_cast<std::uint16_t>(widest);
      entries[k].laneIndex = static_cast<std::uint16_t>(lane);
    }
    i = end;
  }
}
