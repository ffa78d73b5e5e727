// Network time from the NTP multicast: the offset of the PC clock, kept in
// "TimeError".
#include "unit/time_receiver.h"

#include <cstring>

#include "common/clock.h"
#include "common/debug_log.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/sockets.h"

bool EvaluateTransmitTime(const std::uint8_t* d, std::size_t size, Time32 now, std::int32_t* offset) {
  if (size < 45) return false;  // no transmit timestamp in it
  std::uint32_t seconds = (static_cast<std::uint32_t>(d[40]) << 24) | (static_cast<std::uint32_t>(d[41]) << 16) |
                          (static_cast<std::uint32_t>(d[42]) << 8) | d[43];
  if (d[44] & 0x80) seconds += 1;
  seconds += 0x7C558180u;  // 1900 -> 1970, modulo 2^32
  *offset = static_cast<std::int32_t>(seconds - static_cast<std::uint32_t>(now));
  return true;
}

TimeReceiver::TimeReceiver(PlannerSettings& settings, const Clock& clock, std::int32_t lastError,
                           SocketFactory socketFactory)
    : settings_(settings), clock_(clock), socketFactory_(std::move(socketFactory)), lastError_(lastError) {}

TimeReceiver::~TimeReceiver() { Discard(); }

void TimeReceiver::Create() {
  socket_ = socketFactory_ ? socketFactory_() : CreateDatagramSocket();
  bool ok = socket_ && socket_->Bind(kNtpPort, 0);
  if (ok) joined_ = ok = socket_->Join(kNtpGroup);
  failed_ = !ok;
  done_ = failed_;
  if (failed_) {
    DebugPrintf("Time receiver: port %u or group %s unavailable (error %d)\n", static_cast<unsigned>(kNtpPort),
                kNtpGroup, socket_ ? socket_->LastError() : -1);
    Discard();
  }
}

void TimeReceiver::OnDatagrams() {
  if (!socket_) return;
  Time32 now = clock_.Now();
  std::uint8_t buffer[256];
  // One receive per datagram until none is waiting; only the last datagram of
  // a burst counts. Bounded, so that a flood cannot hold the window.
  std::uint8_t last[sizeof buffer];
  int lastSize = -1;
  for (int guard = 0; guard < 10000; ++guard) {
    std::uint16_t port = 0;
    const int n = socket_->Receive(buffer, sizeof buffer, &port);
    if (EndsDrain(n)) break;
    if (countdown_ > 0) --countdown_;
    lastSize = n < 0 ? -1 : n;
    if (n > 0) std::memcpy(last, buffer, static_cast<std::size_t>(n));
  }
  if (lastSize < 0 || countdown_ != 0) return;
  std::int32_t offset = 0;
  if (!EvaluateTransmitTime(last, static_cast<std::size_t>(lastSize), now, &offset)) return;
  countdown_ = kNtpSkip;
  done_ = true;
  if (offset > lastError_ + 1 || offset < lastError_ - 1) {
    lastError_ = offset;
    changed_ = true;
    settings_.SetInt(peer::kEnvironmentSubKey, peer::kTimeErrorValue, offset);
  }
}

void TimeReceiver::Discard() {
  if (!socket_) return;
  if (joined_) socket_->Leave();
  joined_ = false;
  socket_->Close();
  socket_.reset();
}
