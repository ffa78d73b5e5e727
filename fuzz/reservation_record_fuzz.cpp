// Any bytes decode without reading outside the record; a decoded whole record
// encodes back to the same bytes wherever the writer defines them.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/reservation_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  ReservationRecord r;
  DecodeStatus status = DecodeReservation(input, &r);
  r.ScheduledStart();
  r.ScheduledEnd();
  if (status != DecodeStatus::Ok) return 0;
  ReservationRecord again;
  if (DecodeReservation(EncodeReservation(r), &again) != DecodeStatus::Ok) std::abort();
  // Texts that fit the writer's limits survive the round trip unchanged.
  if (again.programNumber != r.programNumber || again.reservationId != r.reservationId ||
      again.startText != r.startText || again.durationText != r.durationText || again.autorun != r.autorun ||
      again.channelName != r.channelName || again.speed != r.speed || again.port != r.port)
    std::abort();
  if (again.name.size() > 51 || again.address.size() > 17 || again.storageFolder.size() > 259) std::abort();
  return 0;
}
