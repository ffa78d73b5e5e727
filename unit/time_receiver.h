// Network time: listens to the NTP multicast (224.0.1.1:123), measures how far
// the PC clock is off and keeps that offset in "TimeError".
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include "common/time_text.h"

class Clock;
class DatagramSocket;
class PlannerSettings;

constexpr std::uint16_t kNtpPort = 123;
constexpr const char* kNtpGroup = "224.0.1.1";
constexpr int kNtpSkip = 60;   // datagrams skipped between evaluations

// Offset in seconds of an NTP datagram's transmit time from `now` (seconds since
// 1970): seconds at offset 40 (big-endian, since 1900), rounded up when the
// fraction's top bit is set. False when the datagram is too short to hold it.
bool EvaluateTransmitTime(const std::uint8_t* datagram, std::size_t size, Time32 now, std::int32_t* offset);

class TimeReceiver {
 public:
  using SocketFactory = std::function<std::unique_ptr<DatagramSocket>()>;
  // lastError: the TimeError the main window knows.
  TimeReceiver(PlannerSettings& settings, const Clock& clock, std::int32_t lastError,
               SocketFactory socketFactory = SocketFactory());
  ~TimeReceiver();  // discards
  // Binds port 123 and joins 224.0.1.1; failed (and done) when either fails.
  void Create();
  // Datagram arrival (the socket's receive notification).
  void OnDatagrams();
  // Leaves the group when joined and closes the socket.
  void Discard();

  bool Failed() const { return failed_; }
  bool Done() const { return done_; }
  bool Changed() const { return changed_; }
  void ClearChanged() { changed_ = false; }
  std::int32_t LastError() const { return lastError_; }
  int Countdown() const { return countdown_; }
  DatagramSocket* Socket() { return socket_.get(); }   // for WSAAsyncSelect

 private:
  PlannerSettings& settings_;
  const Clock& clock_;
  SocketFactory socketFactory_;
  std::unique_ptr<DatagramSocket> socket_;
  bool joined_ = false;
  bool failed_ = false;
  bool done_ = false;
  bool changed_ = false;
  std::int32_t lastError_;
  int countdown_ = 0;
};
