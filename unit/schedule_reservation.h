// One reserved broadcast as the unit keeps it: built from a reservation file,
// it lives in the pending list until its reception finishes, then in the
// finished list until its result is written.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include "common/reception_result.h"
#include "common/reservation_file.h"
#include "common/time_text.h"

// What the schedule needs of one open reception window. The window itself
// (dialog, socket, files) is the host's; destroying the handle closes it.
class ReceptionHandle {
 public:
  virtual ~ReceptionHandle() = default;
  virtual bool Finished() const = 0;
  virtual bool CloseRequested() const = 0;
  virtual int Result() const = 0;              // 1 when every file completed
  virtual Time32 ReceptionStart() const = 0;   // calibrated
  virtual Time32 ReceptionEnd() const = 0;     // calibrated
  // Received files to their final names; true when every file of the
  // broadcast is whole at its name. Only the first call places.
  virtual bool PlaceFiles() = 0;
  // The socket error of a failed join, 0 when none: the schedule shows the
  // box after its pass, never from inside the window's start.
  virtual int BindError() const { return 0; }
  // The unit ends while the reservation stays: what was received is kept for
  // the next start instead of being removed with the window.
  virtual void KeepForResume() {}
};

// The record as read from the file, with what the unit adds: its schedule
// computed once from the record's texts, the file's time and path, and the
// reception window while it runs.
struct Reservation {
  Reservation() = default;
  Reservation(const ReservationRecord& record, Time32 fileTime, std::string filePath);

  ReservationRecord record;
  Time32 scheduledStart = 0;
  Time32 scheduledEnd = 0;
  Time32 fileTime = 0;
  std::string filePath;
  std::unique_ptr<ReceptionHandle> window;  // set while being received
  // Its result record was written while the entry still sat in a list (the
  // session ended inside a pass): nothing is written for it again.
  bool resultWritten = false;

  bool IsStream() const { return record.sid == 0; }
  // The same reservation: reservationId, programNumber and subNumber agree.
  bool SameReservation(const Reservation& other) const {
    return record.reservationId == other.record.reservationId &&
           record.programNumber == other.record.programNumber && record.subNumber == other.record.subNumber;
  }
};

// A file or folder beside the reservation file: its name with another extension.
std::string BesideReservation(const std::string& reservationFile, const char* extension);
// The state folder of a reservation's reception (see unit/reception_state.h).
std::string StateFolderOf(const Reservation& entry);

// The result record of a reservation. A stream program (sid 0) records port 0
// and the address "ストリーム", and always succeeds unless it was never started.
ReceptionResult ResultOf(const Reservation& entry, std::int32_t status, Time32 receivedFrom, Time32 receivedUntil);
