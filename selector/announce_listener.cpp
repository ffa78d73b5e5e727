#include "selector/announce_listener.h"

#include <vector>

#include "common/clock.h"

ListenerStatus ComputeListenerStatus(std::uint32_t now, std::uint32_t start, bool received, std::uint32_t last) {
  if (received && now - last < kSilenceLimitMs) return ListenerStatus::Receiving;
  if (now - start < kSilenceLimitMs) return ListenerStatus::Waiting;
  return ListenerStatus::Silent;
}

bool AnnounceListener::Start(std::uint32_t interfaceAddress, const std::string& group, std::uint16_t port) {
  Stop();
  interface_ = interfaceAddress;
  group_ = group;
  port_ = port;
  start_ = clock_.TickMs();
  received_ = false;
  stop_ = false;
  running_ = false;
  finished_ = false;
  fault_.clear();
  thread_ = CreateWorkerThread();
  if (!thread_ || !thread_->Start([this] { Work(); })) {
    thread_.reset();
    finished_ = true;
    fault_ = "no thread";
    return false;
  }
  while (!running_ && !finished_) SleepMs(kHandOverPollMs);
  return true;
}

void AnnounceListener::Stop() {
  if (!thread_) return;
  stop_ = true;
  thread_->Join();
  thread_.reset();
  running_ = false;
}

ListenerStatus AnnounceListener::Status() const {
  return ComputeListenerStatus(clock_.TickMs(), start_, received_.load(), last_.load());
}

std::string AnnounceListener::Fault() const { return finished_ ? fault_ : std::string(); }

void AnnounceListener::Work() {
  std::unique_ptr<AnnounceSocket> socket = sockets_();
  std::string error;
  if (!socket || !socket->Open(interface_, group_, port_, kAnnounceReceiveBuffer, &error)) {
    fault_ = socket ? error : "no socket";
    finished_ = true;
    return;
  }
  running_ = true;
  std::vector<char> buffer(kAnnounceDatagramBytes);
  while (!stop_) {
    const int ready = socket->Wait(kAnnounceWaitMs);
    if (ready < 0) break;
    if (ready == 0) continue;
    bool wouldBlock = false;
    if (socket->Receive(buffer.data(), static_cast<int>(buffer.size()), &wouldBlock) >= 0) {
      last_ = clock_.TickMs();
      received_ = true;
    } else if (!wouldBlock) {
      break;
    }
  }
  socket->Close();
  running_ = false;
  finished_ = true;
}
