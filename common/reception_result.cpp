// The 520-byte result record and its file name.
#include "common/reception_result.h"

#include <cstdio>

#include "common/record_bytes.h"
#include "common/text.h"

namespace {

enum : std::size_t {
  kMagic = 0, kStatus = 4, kProgramNumber = 8, kSubNumber = 12, kReceivedFrom = 16,
  kReceivedUntil = 20, kName = 24, kStorageFolder = 76, kAutorun = 336,
  kScheduledStart = 438, kScheduledEnd = 442, kPort = 446, kSpeed = 448,
  kAddress = 450, kChannelName = 468,
};
enum : std::size_t {
  kNameWidth = 52, kStorageWidth = 260, kAutorunWidth = 102, kAddressWidth = 18, kChannelWidth = 52,
};

void PutInt(std::uint8_t* b, std::size_t offset, std::int32_t v) { PutU32(b, offset, static_cast<std::uint32_t>(v)); }
std::int32_t GetInt(const std::uint8_t* b, std::size_t offset) { return static_cast<std::int32_t>(GetU32(b, offset)); }

// Every text keeps its terminator inside the field.
void PutText(std::uint8_t* b, std::size_t offset, std::size_t width, const std::string& text) {
  PutField(b + offset, width, text, width - 1);
}

}  // namespace

std::string EncodeResult(const ReceptionResult& r) {
  std::uint8_t b[kResultRecordSize] = {};
  PutU32(b, kMagic, r.magic);
  PutInt(b, kStatus, r.status);
  PutInt(b, kProgramNumber, r.programNumber);
  PutInt(b, kSubNumber, r.subNumber);
  PutInt(b, kReceivedFrom, r.receivedFrom);
  PutInt(b, kReceivedUntil, r.receivedUntil);
  PutText(b, kName, kNameWidth, r.name);
  PutText(b, kStorageFolder, kStorageWidth, r.storageFolder);
  PutText(b, kAutorun, kAutorunWidth, r.autorun);
  PutInt(b, kScheduledStart, r.scheduledStart);
  PutInt(b, kScheduledEnd, r.scheduledEnd);
  PutU16(b, kPort, r.port);
  PutU16(b, kSpeed, r.speed);
  PutText(b, kAddress, kAddressWidth, r.address);
  PutText(b, kChannelName, kChannelWidth, r.channelName);
  return std::string(reinterpret_cast<const char*>(b), sizeof b);
}

bool DecodeResult(const std::string& data, ReceptionResult* r) {
  std::uint8_t b[kResultRecordSize];
  LoadPadded(data, b, sizeof b);
  r->magic = GetU32(b, kMagic);
  r->status = GetInt(b, kStatus);
  r->programNumber = GetInt(b, kProgramNumber);
  r->subNumber = GetInt(b, kSubNumber);
  r->receivedFrom = GetInt(b, kReceivedFrom);
  r->receivedUntil = GetInt(b, kReceivedUntil);
  r->name = GetField(b + kName, kNameWidth);
  r->storageFolder = GetField(b + kStorageFolder, kStorageWidth);
  r->autorun = GetField(b + kAutorun, kAutorunWidth);
  r->scheduledStart = GetInt(b, kScheduledStart);
  r->scheduledEnd = GetInt(b, kScheduledEnd);
  r->port = GetU16(b, kPort);
  r->speed = GetU16(b, kSpeed);
  r->address = GetField(b + kAddress, kAddressWidth);
  r->channelName = GetField(b + kChannelName, kChannelWidth);
  return data.size() >= 4 && r->magic == kResultMagic;
}

std::string ResultFileName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "INFO%05d.RSV", number);
  return name;
}

std::string ResultStatusText(std::int32_t status) {
  switch (status) {
    case kResultSuccess: return J(u8"成功");
    case kResultNotReceived: return J(u8"無受信");
    default: return J(u8"失敗");
  }
}
