#include "common/win/receiving_thread.h"

#include <cstring>

ReceivingThreadSocket::ReceivingThreadSocket(std::unique_ptr<DatagramSocket> inner, std::size_t queueBound)
    : inner_(std::move(inner)), bound_(queueBound) {
  InitializeSRWLock(&lock_);
}

ReceivingThreadSocket::~ReceivingThreadSocket() { Close(); }

bool ReceivingThreadSocket::Join(const std::string& group) {
  if (!inner_->Join(group)) return false;
  if (thread_) return true;
  if (!inner_->SetReceiveWait(kWaitMs)) {
    // Without a thread nothing is ever read: say so as a failed join would.
    error_ = inner_->LastError();
    inner_->Leave();
    return false;
  }
  stop_ = 0;
  thread_ = CreateThread(nullptr, 0, &ThreadProc, this, 0, nullptr);
  if (!thread_) {
    error_ = static_cast<int>(GetLastError());
    inner_->Leave();
    return false;
  }
  return true;
}

int ReceivingThreadSocket::Receive(void* buffer, int size, std::uint16_t* sourcePort) {
  Slot* s = nullptr;
  AcquireSRWLockExclusive(&lock_);
  if (!queue_.empty()) {
    s = queue_.front();
    queue_.pop_front();
  }
  const LONG failed = failed_;
  failed_ = 0;
  ReleaseSRWLockExclusive(&lock_);
  if (!s) return failed ? -1 : kNoDatagram;
  int n = s->size;  // a length, 0 for an empty datagram, or kOversized
  if (n > size) {
    n = kOversized;
  } else if (n > 0) {
    std::memcpy(buffer, s->data, static_cast<std::size_t>(n));
  }
  if (n >= 0 && sourcePort) *sourcePort = s->port;
  AcquireSRWLockExclusive(&lock_);
  free_.push_back(s);
  ReleaseSRWLockExclusive(&lock_);
  return n;
}

void ReceivingThreadSocket::Close() {
  if (thread_) {
    InterlockedExchange(&stop_, 1);
    // The thread's receive gives up within kWaitMs. Closing the socket under
    // it instead could have it read a handle the system gave someone else.
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  inner_->Close();
  for (Slot* s : queue_) delete s;
  for (Slot* s : free_) delete s;
  queue_.clear();
  free_.clear();
}

std::uint64_t ReceivingThreadSocket::Dropped() const {
  AcquireSRWLockShared(&lock_);
  const std::uint64_t n = dropped_;
  ReleaseSRWLockShared(&lock_);
  return n;
}

DWORD WINAPI ReceivingThreadSocket::ThreadProc(void* self) {
  static_cast<ReceivingThreadSocket*>(self)->Run();
  return 0;
}

void ReceivingThreadSocket::Run() {
  Slot* s = nullptr;
  while (!stop_) {
    if (!s) s = TakeFree();
    const int n = inner_->Receive(s->data, kSlotBytes, &s->port);
    if (n == kNoDatagram) continue;  // the wait ran out: look at stop_
    if (n == -1) {
      error_ = inner_->LastError();
      InterlockedExchange(&failed_, 1);
      Sleep(kWaitMs);  // a failing socket must not spin the thread
      continue;
    }
    s->size = n;  // empty and oversized ones too: the reader drops them
    AcquireSRWLockExclusive(&lock_);
    if (queue_.size() < bound_) {
      queue_.push_back(s);
      s = nullptr;
    } else {
      ++dropped_;
    }
    ReleaseSRWLockExclusive(&lock_);
  }
  delete s;
}

ReceivingThreadSocket::Slot* ReceivingThreadSocket::TakeFree() {
  Slot* s = nullptr;
  AcquireSRWLockExclusive(&lock_);
  if (!free_.empty()) {
    s = free_.back();
    free_.pop_back();
  }
  ReleaseSRWLockExclusive(&lock_);
  return s ? s : new Slot;
}
