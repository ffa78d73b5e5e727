// A minimal HTTP/1.0 client for the guide server, built directly on a stream
// socket. One object serves one URL.
//
// Kept as guide servers know it: the full URL is the request target, no header
// lines are sent (no Host line), the port is always 80, the status line and all
// headers must arrive within the first 2048 bytes (in as many reads as the
// server needs, within the answer time), and a body without "Content-Length:"
// is read until the server closes (at most 2 MiB). A URL with blanks or line
// breaks is refused: it would change the request line.
// Bounds of this client: a declared length above kMaxGuideContentLength (or
// below 0) fails the fetch instead of being allocated; a body that stops
// arriving is cut after HttpLimits::idleMs without a byte, and any body after
// HttpLimits::bodyMs in all, keeping what arrived.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Clock;
class StreamSocket;

constexpr std::uint16_t kGuideServerPort = 80;
constexpr std::int32_t kDefaultDeclaredLength = 2097152;
constexpr std::int32_t kMaxGuideContentLength = 64 * 1024 * 1024;
constexpr int kHttpHeadBytes = 2048;

struct HttpLimits {
  int connectMs = 20000; // name lookup aside, the connection
  int answerMs = 5000;   // the whole response head after the request
  int idleMs = 30000;    // body: longest wait for the next byte
  int bodyMs = 120000;   // body: whole read
};

struct HostPort {
  std::uint16_t port = 0;
  std::int32_t inUse = 0;
};

struct HostEntry {
  std::string host;     // empty = free entry
  std::string address;  // "%d.%d.%d.%d"; empty when the lookup failed
  HostPort ports[5];
  std::uint32_t lastUse = 0;
};

// What the client takes from a response head (the bytes before the blank
// line): the status line, and the body length it declares.
struct ResponseHead {
  std::string statusLine;
  bool hasContentLength = false;
  std::int32_t declaredLength = kDefaultDeclaredLength;  // without Content-Length: up to 2 MiB
};
// False, with *why for the log, when the status is not 200 or the declared
// length lies outside 0..kMaxGuideContentLength.
bool ParseResponseHead(const std::string& headText, ResponseHead* head, std::string* why);

// Name resolution cached per host for the life of the process (10 entries,
// least recently used recycled).
class HostTable {
 public:
  static constexpr int kEntries = 10;
  HostEntry entries[kEntries];
  // Shown when a host already has five live connections ("Port Over").
  std::function<void(const std::string&)> notice;

  // The entry for host (looked up and stored when new); its index.
  int Select(const std::string& host);
  void Clear();
};

// The one table of the process.
HostTable& ProcessHostTable();

// Called about every 100 ms while a fetch waits for the server (lookup,
// connect, answer, body), so that the planner's window messages keep flowing
// (timers, paints) during a download.
void SetHttpWaitPump(std::function<void()> pump);

// Makes the stream sockets of the fetches; unset = the platform's.
using StreamSocketFactory = std::function<std::unique_ptr<StreamSocket>()>;

class CHttpGetSocket {
 public:
  explicit CHttpGetSocket(HostTable& table = ProcessHostTable(), HttpLimits limits = HttpLimits());
  CHttpGetSocket(HostTable& table, HttpLimits limits, const Clock& clock,
                 StreamSocketFactory createSocket = StreamSocketFactory());
  ~CHttpGetSocket();
  CHttpGetSocket(const CHttpGetSocket&) = delete;
  CHttpGetSocket& operator=(const CHttpGetSocket&) = delete;

  // Connects, sends the request and reads the response head. True on status
  // 200 with an acceptable length; the body may follow.
  bool OpenUrl(const std::string& url);
  // Copies up to count body bytes, waiting for them as needed; 0 when nothing
  // more can be delivered.
  std::int32_t ReadBody(void* destination, std::int32_t count);
  void Close();

  const std::string& Url() const { return url_; }
  const std::string& StatusLine() const { return statusLine_; }
  std::int32_t DeclaredLength() const { return declaredLength_; }
  std::int32_t Received() const { return received_; }
  bool Receiving() const { return receiving_; }
  bool Done() const { return done_; }
  bool TimedOut() const { return timedOut_; }
  bool HasContentLength() const { return hasContentLength_; }
  int HostIndex() const { return hostIndex_; }
  std::uint16_t LocalPort() const { return localPort_; }
  // Why OpenUrl failed, for the log.
  const std::string& Failure() const { return failure_; }
  // OpenUrl failed before the server answered anything (lookup, connect,
  // send, or no answer in time).
  bool Unreachable() const { return unreachable_; }

  // The request OpenUrl sends for url.
  static std::string RequestFor(const std::string& url);
  // The host part of url (after "://", up to the next "/"); false without "://".
  static bool HostOf(const std::string& url, std::string* host);
  // False when url holds a blank, a line break or another control byte.
  static bool IsSendable(const std::string& url);

 private:
  enum class StepResult { NoMore, KeepWaiting, Progress };
  StepResult ReceiveStep(bool wait);
  int WaitReadable(int timeoutMs);
  HostPort* FreePortRecord(HostEntry& entry);
  bool ConnectAndSend(const std::string& url, const std::string& host, HostEntry& entry, HostPort* record);
  bool ReadHead(std::string* head);
  void StartBody(const std::string& first, std::size_t headEnd);
  bool Fail(const std::string& why, bool unreachable = false);
  void EndReceiving(bool complete);

  HostTable& table_;
  HttpLimits limits_;
  const Clock& clock_;
  StreamSocketFactory createSocket_;
  std::unique_ptr<StreamSocket> socket_;
  std::string url_;
  std::string statusLine_;
  std::string failure_;
  bool receiving_ = false;
  bool done_ = false;
  bool timedOut_ = false;
  bool unreachable_ = false;
  bool hasContentLength_ = false;
  std::vector<char> buffer_;
  std::int32_t declaredLength_ = 0;
  std::int32_t received_ = 0;
  std::int32_t readPos_ = 0;
  std::int32_t readCalls_ = 0;
  int hostIndex_ = -1;
  std::uint16_t localPort_ = 0;
  std::uint32_t bodyStart_ = 0;
};
