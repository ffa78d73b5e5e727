#include "planner/reserve/reservation_checks.h"

#include <algorithm>
#include <set>
#include "common/files.h"

OverlapWarning CheckOverlap(const ReservationList& list, const ReservationCandidate& p, Time32 now) {
  Time32 s = std::max(now, p.start);
  Time32 e = p.end;
  bool overlap = false;
  for (const ReservationEntry& entry : list.Entries()) {
    if (entry.startTime >= p.end) break;  // ordered by start: nothing later can overlap
    // Entries that end before the candidate starts are passed by the walk but do
    // not overlap it; they must not raise the warning.
    if (entry.endTime <= p.start) continue;
    if (entry.record.sid == p.sid) continue;
    if (entry.startTime <= s && s < entry.endTime)
      s = entry.endTime;
    else if (entry.startTime < e && e <= entry.endTime)
      e = entry.startTime;
    overlap = true;
  }
  const std::int64_t needed = p.speed > 0 ? static_cast<std::int64_t>(p.totalKbyte) * 13 / p.speed : 0;
  const std::int64_t available = static_cast<std::int64_t>(e) - s;
  // A broadcast whose speed is unknown needs no time at all.
  const bool short_ = needed > 0 && needed > available;
  if (short_ && overlap) return OverlapWarning::TooMuchOverlap;
  if (short_) return OverlapWarning::TimeShort;
  if (overlap) return OverlapWarning::Overlap;
  return OverlapWarning::None;
}

bool FreeKbyte(FileSystem& fs, const std::string& root, std::uint64_t* kbyte) {
  std::uint64_t bytes = 0;
  if (root.empty() || !fs.FreeSpace(root, &bytes)) return false;
  *kbyte = bytes / 1024;
  return true;
}

std::int64_t RecountTotalKbyte(const ReservationList& list, const std::vector<ReceivedFolder>& received) {
  std::set<std::string> seen;
  std::int64_t total = 0;
  for (const ReservationEntry& e : list.Entries())
    if (seen.insert(e.record.storageFolder).second) total += e.totalKbyte;
  for (const ReceivedFolder& r : received)
    if (seen.insert(r.storageFolder).second) total += r.bytes / 1024;
  return total;
}

bool TotalLimitExceeded(const CapacityInput& in, const ReservationList& list,
                        const std::vector<ReceivedFolder>& received) {
  if (in.totalLimitMb == 0) return false;
  const std::int64_t limit = static_cast<std::int64_t>(in.totalLimitMb) * 1024;
  const std::int64_t quick =
      static_cast<std::int64_t>(in.candidateKbyte) + in.reservedKbyte + in.receivedKbyte;
  if (quick <= limit) return false;
  return RecountTotalKbyte(list, received) > limit;
}

CapacityVerdict CheckCapacity(const CapacityInput& in, const ReservationList& list,
                              const std::vector<ReceivedFolder>& received) {
  if (in.freeKnown && in.freeKbyte < static_cast<std::uint64_t>(std::max(in.diskLimitMb, 0)) * 1024)
    return CapacityVerdict::DiskLow;
  return TotalLimitExceeded(in, list, received) ? CapacityVerdict::TotalOver : CapacityVerdict::Ok;
}

bool IsFullFolderPath(const std::string& folder) {
  if (folder.size() < 3) return false;
  return folder[1] == ':' || (folder[0] == '\\' && folder[1] == '\\');
}
