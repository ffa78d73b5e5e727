#include "unit/schedule_reservation.h"

#include "common/reservation_file.h"

Reservation ReservationFromRecord(const ReservationRecord& record, Time32 fileTime, const std::string& filePath) {
  Reservation r;
  r.reservationId = record.reservationId;
  r.sid = record.sid;
  r.receiverVersion = record.receiverVersion;
  r.port = record.port;
  r.speed = record.speed;
  r.clearFolder = record.clearFolder;
  r.programNumber = record.programNumber;
  r.subNumber = record.subNumber;
  r.address = record.address;
  r.scheduledStart = record.ScheduledStart();
  r.scheduledEnd = record.ScheduledEnd();
  r.fileTime = fileTime;
  r.name = record.name;
  r.channelName = record.channelName;
  r.totalKbyte = record.totalKbyte;
  r.storageFolder = record.storageFolder;
  r.autorun = record.autorun;
  r.filePath = filePath;
  return r;
}

ReservationRecord RecordFromReservation(const Reservation& entry) {
  ReservationRecord r;
  r.reservationId = entry.reservationId;
  r.sid = entry.sid;
  r.receiverVersion = entry.receiverVersion;
  r.port = entry.port;
  r.programNumber = entry.programNumber;
  r.subNumber = entry.subNumber;
  r.address = entry.address;
  SetSchedule(&r, entry.scheduledStart, entry.scheduledEnd);
  r.name = entry.name;
  r.totalKbyte = entry.totalKbyte;
  r.clearFolder = entry.clearFolder;
  r.storageFolder = entry.storageFolder;
  r.autorun = entry.autorun;
  r.speed = entry.speed;
  r.channelName = entry.channelName;
  return r;
}
