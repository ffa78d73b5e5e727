// One reserved broadcast as the unit keeps it: built from a reservation file,
// it lives in the pending list until its reception finishes, then in the
// finished list until its result is written.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include "common/time_text.h"

struct ReservationRecord;

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
  virtual void PlaceFiles() = 0;               // received files to their final names
};

struct Reservation {
  std::uint32_t reservationId = 0;
  std::uint16_t sid = 0;
  std::uint16_t receiverVersion = 0;
  std::uint16_t port = 0;
  std::uint16_t speed = 0;
  std::uint16_t clearFolder = 0;
  std::int32_t programNumber = 0;
  std::int32_t subNumber = 0;
  std::string address;
  Time32 scheduledStart = 0;
  Time32 scheduledEnd = 0;
  Time32 fileTime = 0;
  std::string name;
  std::string channelName;
  std::int32_t totalKbyte = 0;
  std::string storageFolder;
  std::string autorun;
  std::unique_ptr<ReceptionHandle> window;  // set while being received
  std::string filePath;

  bool IsStream() const { return sid == 0; }
  // The same reservation: reservationId, programNumber and subNumber agree.
  bool SameReservation(const Reservation& other) const {
    return reservationId == other.reservationId && programNumber == other.programNumber &&
           subNumber == other.subNumber;
  }
};

Reservation ReservationFromRecord(const ReservationRecord& record, Time32 fileTime, const std::string& filePath);
// The record fields of an entry again (for its result record).
ReservationRecord RecordFromReservation(const Reservation& entry);
