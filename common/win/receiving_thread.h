// A datagram socket read by a thread of its own. The thread waits in a
// blocking receive and moves each datagram into a bounded queue; Receive takes
// them from there without touching the socket. Under Wine a blocking receive
// on a thread costs about a third of a readiness message per datagram to a
// window's thread, whose every wake-up also polls the display connection, and
// the system's buffer is emptied however long the window's thread is busy.
#pragma once
#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "common/sockets.h"

// Wraps `inner` (bound and joined through the wrapper as usual). The thread
// starts once the socket is joined and ends at Close; a full queue drops what
// arrives, as the system does with a full buffer.
class ReceivingThreadSocket : public DatagramSocket {
 public:
  static constexpr int kSlotBytes = 4096;  // the largest datagram a reception takes
  static constexpr int kWaitMs = 50;       // how long Close may wait for the thread

  ReceivingThreadSocket(std::unique_ptr<DatagramSocket> inner, std::size_t queueBound = 4096);
  ~ReceivingThreadSocket() override;

  bool Bind(std::uint16_t port, int receiveBuffer) override { return inner_->Bind(port, receiveBuffer); }
  bool Join(const std::string& group) override;
  bool Leave() override { return inner_->Leave(); }
  // What the thread queued, without waiting; -1 once after the socket failed.
  int Receive(void* buffer, int size, std::uint16_t* sourcePort) override;
  int LastError() const override { return error_; }
  std::uintptr_t Handle() const override { return inner_->Handle(); }
  void Close() override;

  bool Running() const { return thread_ != nullptr; }
  std::uint64_t Dropped() const;  // datagrams the full queue turned away

 private:
  struct Slot {
    std::uint8_t data[kSlotBytes];
    int size;
    std::uint16_t port;
  };
  static DWORD WINAPI ThreadProc(void* self);
  void Run();
  Slot* TakeFree();

  std::unique_ptr<DatagramSocket> inner_;
  const std::size_t bound_;
  mutable SRWLOCK lock_;
  std::deque<Slot*> queue_;
  std::vector<Slot*> free_;
  std::uint64_t dropped_ = 0;
  HANDLE thread_ = nullptr;
  volatile LONG stop_ = 0;
  volatile LONG failed_ = 0;
  volatile int error_ = 0;
};

inline std::unique_ptr<DatagramSocket> CreateReceivingThreadSocket(std::unique_ptr<DatagramSocket> inner) {
  return std::make_unique<ReceivingThreadSocket>(std::move(inner));
}
