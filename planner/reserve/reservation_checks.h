// What the reservation dialog checks before a reservation is written: overlap
// with other reservations and the time budget, free space of the folder's
// volume, and the total size of all reserved and received content.
#pragma once
#include "common/path.h"
#include <cstdint>
#include <string>
#include <vector>
#include "common/time_text.h"
#include "planner/reserve/reservation_list.h"

class FileSystem;

// The candidate broadcast as the checks see it.
struct ReservationCandidate {
  Time32 start = 0;
  Time32 end = 0;
  std::uint16_t sid = 0;
  std::int32_t totalKbyte = 0;
  std::int32_t speed = 0;
};

enum class OverlapWarning {
  None,
  TooMuchOverlap,  // overlaps others and the time left is too short
  TimeShort,       // the time left is too short
  Overlap,         // overlaps other reservations
};

// Reservations of the same service are one stream and never count as overlap.
// `now` is the calibrated time.
OverlapWarning CheckOverlap(const ReservationList& list, const ReservationCandidate& candidate, Time32 now);

// Free KByte of a volume root; false when unknown.
bool FreeKbyte(FileSystem& fs, const std::string& root, std::uint64_t* kbyte);

// A received content as the total recount sees it.
struct ReceivedFolder {
  std::string storageFolder;
  std::int64_t bytes = 0;
};

// Reserved and received KByte counted once per storage folder: a later
// reception into the same folder replaces the earlier one.
std::int64_t RecountTotalKbyte(const ReservationList& list, const std::vector<ReceivedFolder>& received);

enum class CapacityVerdict {
  Ok,
  DiskLow,    // free space below the disk limit (the user may go on; the total check is then skipped)
  TotalOver,  // the total limit would be passed
};

struct CapacityInput {
  bool freeKnown = false;
  std::uint64_t freeKbyte = 0;
  std::int32_t diskLimitMb = 40;
  std::int32_t totalLimitMb = 0;  // 0: no total check
  std::int32_t candidateKbyte = 0;
  std::int32_t reservedKbyte = 0;
  std::int32_t receivedKbyte = 0;
};

// The disk check first; the total check only when the quick sum passes the
// limit, and then with the recount per folder.
CapacityVerdict CheckCapacity(const CapacityInput& in, const ReservationList& list,
                              const std::vector<ReceivedFolder>& received);
// Only the total part (after a disk warning the user confirmed, it is skipped).
bool TotalLimitExceeded(const CapacityInput& in, const ReservationList& list,
                        const std::vector<ReceivedFolder>& received);

// A folder the user typed must name its drive or machine: at least three
// characters and "X:" or a leading "\\".
bool IsFullFolderPath(const std::string& folder);
