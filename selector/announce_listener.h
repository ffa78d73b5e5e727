// The liveness listener: a worker thread bound to the board interface that
// only notes when the last datagram arrived on the service's announcement
// group. The user-interface thread asks for the status once a second.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class Clock;

constexpr const char* kDefaultAnnounceGroup = "224.0.1.124";
constexpr std::uint16_t kDefaultAnnouncePort = 652;
constexpr int kAnnounceReceiveBuffer = 32768;
constexpr int kAnnounceDatagramBytes = 8192;
constexpr std::uint32_t kAnnounceWaitMs = 33;      // the worker checks its stop flag this often
constexpr std::uint32_t kSilenceLimitMs = 30000;
constexpr std::uint32_t kHandOverPollMs = 10;

enum class ListenerStatus { Waiting = 0, Receiving = 1, Silent = 2 };

// Status from the times (ms ticks, wrapping).
ListenerStatus ComputeListenerStatus(std::uint32_t now, std::uint32_t start, bool received, std::uint32_t last);

// The worker's socket, behind the platform seam.
class AnnounceSocket {
 public:
  virtual ~AnnounceSocket() = default;
  // UDP, SO_REUSEADDR, receive buffer, bound to interfaceAddress:port (network
  // byte order address), member of group on that interface.
  virtual bool Open(std::uint32_t interfaceAddress, const std::string& group, std::uint16_t port,
                    int receiveBuffer, std::string* error) = 0;
  // 1: a datagram is waiting, 0: time-out, -1: error.
  virtual int Wait(std::uint32_t ms) = 0;
  // Bytes received, or -1; *wouldBlock tells a harmless failure from a fault.
  virtual int Receive(void* buffer, int size, bool* wouldBlock) = 0;
  virtual void Close() = 0;
};

// A thread of the platform (CreateThread on Windows).
class WorkerThread {
 public:
  virtual ~WorkerThread() = default;
  virtual bool Start(std::function<void()> body) = 0;
  virtual void Join() = 0;
};

std::unique_ptr<AnnounceSocket> CreateAnnounceSocket();
std::unique_ptr<WorkerThread> CreateWorkerThread();
void SleepMs(std::uint32_t ms);

class AnnounceListener {
 public:
  using SocketFactory = std::function<std::unique_ptr<AnnounceSocket>()>;
  explicit AnnounceListener(const Clock& clock, SocketFactory sockets = CreateAnnounceSocket)
      : clock_(clock), sockets_(std::move(sockets)) {}
  ~AnnounceListener() { Stop(); }
  AnnounceListener(const AnnounceListener&) = delete;
  AnnounceListener& operator=(const AnnounceListener&) = delete;

  // Starts the worker and waits until it runs or has given up; false when no
  // thread could be started.
  bool Start(std::uint32_t interfaceAddress, const std::string& group, std::uint16_t port);
  // Asks the worker to end and joins it; the worker closes its own socket, so
  // nothing is closed under a thread still using it.
  void Stop();
  ListenerStatus Status() const;
  bool Running() const { return running_.load(); }
  // Why the worker gave up (socket set-up), empty otherwise; read after it ended.
  std::string Fault() const;

 private:
  void Work();

  const Clock& clock_;
  SocketFactory sockets_;
  std::unique_ptr<WorkerThread> thread_;
  std::uint32_t interface_ = 0;
  std::string group_;
  std::uint16_t port_ = 0;
  std::uint32_t start_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> received_{false};
  std::atomic<std::uint32_t> last_{0};
  std::string fault_;
};
