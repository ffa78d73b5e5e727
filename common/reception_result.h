// Result records "INFO%05d.RSV": the 520-byte record the unit leaves in the
// history folder for every collected or missed reservation.
#pragma once
#include <cstdint>
#include <string>
#include "time_text.h"

constexpr std::size_t kResultRecordSize = 520;
constexpr std::uint32_t kResultMagic = 0x66497652;  // "RvIf"

enum ResultStatus : std::int32_t { kResultFailed = 0, kResultSuccess = 1, kResultNotReceived = 2 };

struct ReceptionResult {
  std::uint32_t magic = kResultMagic;
  std::int32_t status = kResultFailed;
  std::int32_t programNumber = 0;
  std::int32_t subNumber = 0;
  Time32 receivedFrom = 0;
  Time32 receivedUntil = 0;
  std::string name;
  std::string storageFolder;
  std::string autorun;
  Time32 scheduledStart = 0;
  Time32 scheduledEnd = 0;
  std::uint16_t port = 0;
  std::uint16_t speed = 0;
  std::string address;
  std::string channelName;
};

std::string EncodeResult(const ReceptionResult& result);
// As far as data goes; the result is filled even with a wrong magic.
// Returns false when the magic is not "RvIf".
bool DecodeResult(const std::string& data, ReceptionResult* result);

// "INFO%05d.RSV"
std::string ResultFileName(int number);
// Status word as the history shows it: "失敗", "成功", "無受信" (cp932).
std::string ResultStatusText(std::int32_t status);
