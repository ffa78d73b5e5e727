// Reservation files ("RSV*.SDL") and deletion requests ("*.SDD"): the 538-byte
// record the planner writes and the unit reads.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include "time_text.h"

constexpr std::size_t kReservationRecordSize = 538;
constexpr std::uint32_t kReservationMagic = 0x69666352;  // "Rcfi"

// The record as it lies on disk, field by field (texts cp932).
struct ReservationRecord {
  std::uint32_t magic = kReservationMagic;
  std::uint32_t reservationId = 0;
  std::uint16_t sid = 0;
  std::uint16_t receiverVersion = 0;
  std::uint16_t port = 0;
  std::int32_t programNumber = 0;
  std::int32_t subNumber = 0;
  std::string address;       // at most 17 bytes are written
  std::string startText;     // "%Y%m%d%H%M"
  std::string durationText;  // "%02d%02d"
  std::string name;
  std::int32_t totalKbyte = 0;
  std::uint16_t clearFolder = 0;
  std::string storageFolder;
  std::string autorun;
  std::uint16_t speed = 0;
  std::string channelName;

  Time32 ScheduledStart() const;  // local time of startText
  Time32 ScheduledEnd() const;    // start + durationText
};

enum class DecodeStatus { Ok, WrongMagic, Short, Empty };

// Encodes exactly 538 bytes; texts that do not fit are cut on a character boundary.
std::string EncodeReservation(const ReservationRecord& record);
// Decodes as far as data goes (missing bytes read as zero). The record is filled
// even when the magic is wrong, so that a caller can show it; the status says so.
DecodeStatus DecodeReservation(const std::string& data, ReservationRecord* record);

// Fills startText and durationText from a start and end time.
void SetSchedule(ReservationRecord* record, Time32 start, Time32 end);

// "RSV%m%d%H%M%Y" + "%08x%04x.SDL" (manual) or + "%08x.SDL" (keyword search).
std::string ReservationFileName(Time32 start, std::int32_t programNumber, std::int32_t subNumber);
std::string KeywordReservationFileName(Time32 start, std::int32_t programNumber);
// Upper-cased computer name + "%06ld.SDD".
std::string DeletionRequestName(const std::string& computerName, long counter);
