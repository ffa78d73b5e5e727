// The 538-byte reservation record, its schedule texts and its file names.
#include "common/reservation_file.h"

#include <cstdio>
#include <cstring>

#include "common/record_bytes.h"
#include "common/text.h"

namespace {

// Offsets and widths of the record's fields.
enum : std::size_t {
  kMagic = 0, kReservationId = 4, kSid = 8, kReceiverVersion = 10, kPort = 12,
  kProgramNumber = 14, kSubNumber = 18, kAddress = 22, kStartText = 40,
  kDurationText = 52, kName = 56, kTotalKbyte = 108, kClearFolder = 112,
  kStorageFolder = 122, kAutorun = 382, kSpeed = 484, kChannelName = 486,
};
enum : std::size_t {
  kAddressWidth = 18, kStartWidth = 12, kDurationWidth = 4, kNameWidth = 52,
  kStorageWidth = 260, kAutorunWidth = 100, kChannelWidth = 50,
};

// Copies the digit text into a buffer of n characters, NUL-padded, so that the
// readers never run past a short text.
template <std::size_t N>
void Digits(const std::string& text, char (&buffer)[N]) {
  std::memset(buffer, 0, N);
  std::memcpy(buffer, text.data(), text.size() < N ? text.size() : N);
}

}  // namespace

Time32 ReservationRecord::ScheduledStart() const {
  char digits[12];
  Digits(startText, digits);
  return ParseStartText(digits);
}

Time32 ReservationRecord::ScheduledEnd() const {
  char digits[4];
  Digits(durationText, digits);
  // Damaged digits can make any sum: it wraps like the 32-bit time it is.
  return static_cast<Time32>(static_cast<std::int64_t>(ScheduledStart()) + ParseDurationText(digits));
}

std::string EncodeReservation(const ReservationRecord& r) {
  std::uint8_t b[kReservationRecordSize] = {};
  PutU32(b, kMagic, r.magic);
  PutU32(b, kReservationId, r.reservationId);
  PutU16(b, kSid, r.sid);
  PutU16(b, kReceiverVersion, r.receiverVersion);
  PutU16(b, kPort, r.port);
  PutU32(b, kProgramNumber, static_cast<std::uint32_t>(r.programNumber));
  PutU32(b, kSubNumber, static_cast<std::uint32_t>(r.subNumber));
  PutField(b + kAddress, kAddressWidth, r.address, kAddressWidth - 1);
  PutField(b + kStartText, kStartWidth, r.startText);
  PutField(b + kDurationText, kDurationWidth, r.durationText);
  // Name and folder keep their terminator: a reader that copies them as C texts
  // must not run into the next field.
  PutField(b + kName, kNameWidth, r.name, kNameWidth - 1);
  PutU32(b, kTotalKbyte, static_cast<std::uint32_t>(r.totalKbyte));
  PutU16(b, kClearFolder, r.clearFolder);
  PutField(b + kStorageFolder, kStorageWidth, r.storageFolder, kStorageWidth - 1);
  PutField(b + kAutorun, kAutorunWidth, r.autorun);
  PutU16(b, kSpeed, r.speed);
  PutField(b + kChannelName, kChannelWidth, r.channelName);
  return std::string(reinterpret_cast<const char*>(b), sizeof b);
}

DecodeStatus DecodeReservation(const std::string& data, ReservationRecord* r) {
  std::uint8_t b[kReservationRecordSize];
  LoadPadded(data, b, sizeof b);
  r->magic = GetU32(b, kMagic);
  r->reservationId = GetU32(b, kReservationId);
  r->sid = GetU16(b, kSid);
  r->receiverVersion = GetU16(b, kReceiverVersion);
  r->port = GetU16(b, kPort);
  r->programNumber = static_cast<std::int32_t>(GetU32(b, kProgramNumber));
  r->subNumber = static_cast<std::int32_t>(GetU32(b, kSubNumber));
  r->address = GetField(b + kAddress, kAddressWidth);
  r->startText = GetField(b + kStartText, kStartWidth);
  r->durationText = GetField(b + kDurationText, kDurationWidth);
  r->name = GetField(b + kName, kNameWidth);
  r->totalKbyte = static_cast<std::int32_t>(GetU32(b, kTotalKbyte));
  r->clearFolder = GetU16(b, kClearFolder);
  r->storageFolder = GetField(b + kStorageFolder, kStorageWidth);
  r->autorun = GetField(b + kAutorun, kAutorunWidth);
  r->speed = GetU16(b, kSpeed);
  r->channelName = GetField(b + kChannelName, kChannelWidth);
  if (data.empty()) return DecodeStatus::Empty;
  if (data.size() < 4 || r->magic != kReservationMagic) return DecodeStatus::WrongMagic;
  if (data.size() < kReservationRecordSize) return DecodeStatus::Short;
  return DecodeStatus::Ok;
}

void SetSchedule(ReservationRecord* record, Time32 start, Time32 end) {
  record->startText = FormatStartText(start);
  record->durationText = FormatDurationText(start, end);
}

std::string ReservationFileName(Time32 start, std::int32_t programNumber, std::int32_t subNumber) {
  char tail[32];
  std::snprintf(tail, sizeof tail, "%08x%04x.SDL", static_cast<unsigned>(programNumber),
                static_cast<unsigned>(subNumber) & 0xFFFFu);
  return FormatLocalTime(start, "RSV%m%d%H%M%Y") + tail;
}

std::string KeywordReservationFileName(Time32 start, std::int32_t programNumber) {
  char tail[32];
  std::snprintf(tail, sizeof tail, "%08x.SDL", static_cast<unsigned>(programNumber));
  return FormatLocalTime(start, "RSV%m%d%H%M%Y") + tail;
}

std::string DeletionRequestName(const std::string& computerName, long counter) {
  char tail[32];
  std::snprintf(tail, sizeof tail, "%06ld.SDD", counter);
  return AsciiUpper(computerName) + tail;
}
