#include "unit/schedule_reservation.h"

#include "common/text.h"
#include "unit/reception_state.h"
#include "unit/schedule_host.h"
#include "unit/schedule_settings.h"

Reservation::Reservation(const ReservationRecord& r, Time32 time, std::string path)
    : record(r),
      scheduledStart(r.ScheduledStart()),
      scheduledEnd(r.ScheduledEnd()),
      fileTime(time),
      filePath(std::move(path)) {}

std::string BesideReservation(const std::string& path, const char* extension) {
  const std::size_t stem = path.size() >= 4 && path[path.size() - 4] == '.' ? path.size() - 4 : path.size();
  return path.substr(0, stem) + extension;
}

std::string StateFolderOf(const Reservation& entry) { return BesideReservation(entry.filePath, kStateFolderExt); }

ReceptionResult ResultOf(const Reservation& entry, std::int32_t status, Time32 receivedFrom, Time32 receivedUntil) {
  const ReservationRecord& r = entry.record;
  ReceptionResult result;
  result.status = entry.IsStream() && status != kResultNotReceived ? kResultSuccess : status;
  result.programNumber = r.programNumber;
  result.subNumber = r.subNumber;
  result.receivedFrom = receivedFrom;
  result.receivedUntil = receivedUntil;
  result.name = r.name;
  result.storageFolder = r.storageFolder;
  result.autorun = r.autorun;
  // The times the schedule ran on, not the record's texts read a second time.
  result.scheduledStart = entry.scheduledStart;
  result.scheduledEnd = entry.scheduledEnd;
  result.speed = r.speed;
  result.channelName = r.channelName;
  if (entry.IsStream()) {
    result.port = 0;
    result.address = J(u8"ストリーム");
  } else {
    result.port = r.port;
    result.address = r.address;
  }
  return result;
}

ReceptionOrder OrderOf(const Reservation& entry, const ScheduleSettings& settings, std::int32_t timeError) {
  const ReservationRecord& r = entry.record;
  ReceptionOrder order;
  order.sid = r.sid;
  order.port = r.port;
  order.address = r.address;
  order.storageFolder = r.storageFolder;
  order.name = r.name;
  order.totalBytes = static_cast<std::int64_t>(r.totalKbyte) * 1024;
  order.scheduledEnd = entry.scheduledEnd;
  order.clearFolder = r.clearFolder != 0;
  order.dataFolder = settings.dataFolder;
  order.timeError = timeError;
  order.timeout = settings.timeout;
  order.messagePosition = settings.messagePosition;
  order.visible = settings.showStatus != 0;
  order.stateFolder = StateFolderOf(entry);
  order.reservationId = r.reservationId;
  order.programNumber = r.programNumber;
  order.subNumber = r.subNumber;
  order.scheduledStart = entry.scheduledStart;
  return order;
}
