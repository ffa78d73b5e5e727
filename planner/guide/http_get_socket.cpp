#include "planner/guide/http_get_socket.h"
#include <algorithm>
#include <cstring>
#include "common/clock.h"
#include "common/debug_log.h"
#include "common/sockets.h"
#include "common/stream_socket.h"
#include "common/tag_value.h"

namespace {
constexpr int kReceiveBuffer = 262144;
constexpr int kSendAttempts = 4;
constexpr int kSendRetryMs = 100;
constexpr int kPumpSliceMs = 100;

std::function<void()>& HttpPump() {
  static std::function<void()> pump;
  return pump;
}
}  // namespace

void SetHttpWaitPump(std::function<void()> pump) { HttpPump() = std::move(pump); }

int CHttpGetSocket::WaitReadable(int timeoutMs) {
  const std::function<void()>& pump = HttpPump();
  if (!pump || timeoutMs <= kPumpSliceMs) return socket_->WaitReadable(timeoutMs);
  const std::uint32_t start = clock_.TickMs();
  for (;;) {
    std::uint32_t spent = clock_.TickMs() - start;
    if (spent >= static_cast<std::uint32_t>(timeoutMs)) return 0;
    int r = socket_->WaitReadable(std::min<int>(kPumpSliceMs, timeoutMs - static_cast<int>(spent)));
    if (r != 0) return r;
    pump();
    if (!socket_->IsOpen()) return -1;
  }
}

int HostTable::Select(const std::string& host) {
  int freeEntry = -1;
  for (int i = 0; i < kEntries; ++i) {
    if (entries[i].host == host) return i;
    if (entries[i].host.empty()) freeEntry = i;
  }
  int chosen = freeEntry;
  if (chosen < 0) {
    chosen = 0;
    for (int i = 1; i < kEntries; ++i)
      if (entries[i].lastUse < entries[chosen].lastUse) chosen = i;
  }
  HostEntry& e = entries[chosen];
  e = HostEntry();
  e.host = host;
  std::string address;
  if (LookupHostAddress(host, &address, HttpPump())) e.address = address;
  return chosen;
}

void HostTable::Clear() {
  for (HostEntry& e : entries) e = HostEntry();
}

HostTable& ProcessHostTable() {
  static HostTable table;
  return table;
}

CHttpGetSocket::CHttpGetSocket(HostTable& table, HttpLimits limits)
    : CHttpGetSocket(table, limits, SystemClock()) {}

CHttpGetSocket::CHttpGetSocket(HostTable& table, HttpLimits limits, const Clock& clock,
                               StreamSocketFactory createSocket)
    : table_(table), limits_(limits), clock_(clock), createSocket_(std::move(createSocket)) {}

CHttpGetSocket::~CHttpGetSocket() {
  Close();
  if (hostIndex_ >= 0) {
    for (HostPort& p : table_.entries[hostIndex_].ports) {
      if (p.port == localPort_) {
        p = HostPort();
        break;
      }
    }
  }
}

std::string CHttpGetSocket::RequestFor(const std::string& url) { return "GET " + url + " HTTP/1.0\r\n\r\n"; }

bool CHttpGetSocket::HostOf(const std::string& url, std::string* host) {
  std::size_t scheme = url.find("://");
  if (scheme == std::string::npos) return false;
  std::size_t begin = scheme + 3;
  std::size_t slash = url.find('/', begin);
  *host = url.substr(begin, slash == std::string::npos ? std::string::npos : slash - begin);
  return true;
}

bool CHttpGetSocket::IsSendable(const std::string& url) {
  for (char c : url) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b == 0x7F) return false;
  }
  return true;
}

bool CHttpGetSocket::Fail(const std::string& why, bool unreachable) {
  failure_ = why;
  unreachable_ = unreachable;
  DebugPrintf("guide: %s: %s\n", url_.c_str(), why.c_str());
  if (socket_) socket_->Close();
  return false;
}

bool ParseResponseHead(const std::string& headText, ResponseHead* head, std::string* why) {
  *head = ResponseHead();
  head->statusLine = headText.substr(0, headText.find_first_of("\r\n"));
  if (head->statusLine.find("200") == std::string::npos) {
    *why = "answer \"" + head->statusLine + "\"";
    head->declaredLength = 0;
    return false;
  }
  const std::size_t lengthAt = headText.find("Content-Length:");
  if (lengthAt == std::string::npos) return true;
  head->hasContentLength = true;
  const std::size_t valueAt = lengthAt + std::strlen("Content-Length:");
  const std::size_t lineEnd = headText.find_first_of("\r\n", valueAt);
  const std::string value =
      headText.substr(valueAt, lineEnd == std::string::npos ? std::string::npos : lineEnd - valueAt);
  head->declaredLength = LeadingInt(value);
  if (head->declaredLength < 0 || head->declaredLength > kMaxGuideContentLength) {
    *why = "Content-Length" + value + " is outside 0.." + std::to_string(kMaxGuideContentLength);
    head->declaredLength = 0;
    return false;
  }
  return true;
}

// The host's free slot among its five connections, claimed by the local port
// once the socket is open; none when all five are live ("Port Over").
HostPort* CHttpGetSocket::FreePortRecord(HostEntry& entry) {
  for (HostPort& p : entry.ports) {
    if (p.port == 0) return &p;
  }
  if (table_.notice) table_.notice("Port Over");
  return nullptr;
}

bool CHttpGetSocket::ConnectAndSend(const std::string& url, const std::string& host, HostEntry& entry,
                                    HostPort* record) {
  socket_ = createSocket_ ? createSocket_() : CreateStreamSocket();
  if (!socket_->Open()) return Fail("no socket");
  localPort_ = socket_->LocalPort();
  if (record) {
    record->port = localPort_;
    record->inUse = 1;
  }
  socket_->SetReceiveBuffer(kReceiveBuffer);

  const std::string& target = entry.address.empty() ? host : entry.address;
  entry.lastUse = clock_.TickMs();
  if (!socket_->Connect(target, kGuideServerPort, limits_.connectMs, HttpPump()))
    return Fail("cannot connect to " + target, true);

  const std::string request = RequestFor(url);
  for (int attempt = 0; attempt < kSendAttempts; ++attempt) {
    if (socket_->Send(request.data(), static_cast<int>(request.size())) == static_cast<int>(request.size()))
      return true;
    PauseMs(kSendRetryMs);
  }
  return Fail("the request cannot be sent", true);
}

// The body bytes that came with the head start the body buffer.
void CHttpGetSocket::StartBody(const std::string& first, std::size_t headEnd) {
  buffer_.assign(static_cast<std::size_t>(declaredLength_) + kHttpHeadBytes, 0);
  received_ = static_cast<std::int32_t>(first.size() - headEnd - 4);
  std::memcpy(buffer_.data(), first.data() + headEnd + 4, static_cast<std::size_t>(received_));
  receiving_ = true;
  bodyStart_ = clock_.TickMs();
}

bool CHttpGetSocket::OpenUrl(const std::string& url) {
  if (hostIndex_ >= 0 || socket_) return Fail("one object serves one URL");
  url_ = url;
  if (!IsSendable(url)) return Fail("the URL holds blanks or line breaks");
  std::string host;
  if (!HostOf(url, &host)) return Fail("no \"://\" in the URL");
  if (!InitSockets()) return Fail("the socket layer cannot be started");

  hostIndex_ = table_.Select(host);
  HostEntry& entry = table_.entries[hostIndex_];
  if (!ConnectAndSend(url, host, entry, FreePortRecord(entry))) return false;

  std::string first;
  if (!ReadHead(&first)) return false;
  const std::size_t headEnd = first.find("\r\n\r\n");
  ResponseHead head;
  std::string why;
  const bool accepted = ParseResponseHead(first.substr(0, headEnd), &head, &why);
  statusLine_ = head.statusLine;
  hasContentLength_ = head.hasContentLength;
  declaredLength_ = head.declaredLength;
  if (!accepted) return Fail(why);
  StartBody(first, headEnd);
  return true;
}

// Reads until the blank line that ends the head, 2048 bytes in all at most,
// within the answer time: a server may write the status line and the headers
// separately. *head gets every byte read (the start of the body may follow).
bool CHttpGetSocket::ReadHead(std::string* head) {
  const std::uint32_t start = clock_.TickMs();
  char chunk[kHttpHeadBytes];
  for (;;) {
    const std::uint32_t spent = clock_.TickMs() - start;
    if (spent >= static_cast<std::uint32_t>(limits_.answerMs))
      return Fail(head->empty() ? "no answer" : "the response head did not end in time", head->empty());
    const int ready = WaitReadable(limits_.answerMs - static_cast<int>(spent));
    if (ready < 0) return Fail("no answer");
    if (ready == 0) continue;  // the time check above decides
    const int room = kHttpHeadBytes - static_cast<int>(head->size());
    const int n = socket_->Receive(chunk, room);
    if (n <= 0) return Fail(head->empty() ? "no answer" : "the server closed within the response head");
    head->append(chunk, static_cast<std::size_t>(n));
    if (head->find("\r\n\r\n") != std::string::npos) return true;
    if (head->size() >= static_cast<std::size_t>(kHttpHeadBytes))
      return Fail("the response head does not end within 2048 bytes");
  }
}

void CHttpGetSocket::EndReceiving(bool complete) {
  receiving_ = false;
  if (complete) done_ = true;
  if (socket_) socket_->Close();
}

CHttpGetSocket::StepResult CHttpGetSocket::ReceiveStep(bool wait) {
  if (!receiving_) return StepResult::NoMore;
  int waitMs = 0;
  if (wait) {
    std::uint32_t spent = clock_.TickMs() - bodyStart_;
    if (spent >= static_cast<std::uint32_t>(limits_.bodyMs)) {
      timedOut_ = true;
      DebugPrintf("guide: %s: body cut after %d ms\n", url_.c_str(), limits_.bodyMs);
      EndReceiving(false);
      return StepResult::NoMore;
    }
    waitMs = std::min<int>(limits_.idleMs, limits_.bodyMs - static_cast<int>(spent));
  }
  int ready = WaitReadable(waitMs);
  if (ready < 0) {
    EndReceiving(false);
    return StepResult::NoMore;
  }
  if (ready == 0) {
    if (!wait) return StepResult::KeepWaiting;
    timedOut_ = true;
    DebugPrintf("guide: %s: no data for %d ms, body cut at %d bytes\n", url_.c_str(), waitMs, received_);
    EndReceiving(false);
    return StepResult::NoMore;
  }
  const std::int32_t capacity = static_cast<std::int32_t>(buffer_.size());
  for (;;) {
    int chunk = std::min<std::int32_t>(kHttpHeadBytes, capacity - received_);
    if (chunk <= 0) break;
    int n = socket_->Receive(buffer_.data() + received_, chunk);
    if (n <= 0) {  // closed by the server, or failed: what arrived is the body
      EndReceiving(false);
      return StepResult::NoMore;
    }
    received_ += n;
    if (received_ >= declaredLength_ || n < kHttpHeadBytes || socket_->WaitReadable(0) != 1) break;
  }
  if (received_ >= declaredLength_) {
    EndReceiving(true);
    return StepResult::NoMore;
  }
  return StepResult::Progress;
}

std::int32_t CHttpGetSocket::ReadBody(void* destination, std::int32_t count) {
  if (count < 0) count = 0;
  std::int64_t end = std::min<std::int64_t>(static_cast<std::int64_t>(readPos_) + count, declaredLength_);
  if (receiving_) {
    if (end > received_) {
      while (end > received_ && ReceiveStep(true) != StepResult::NoMore) {
      }
    } else if (readCalls_ % 5 == 0) {
      ReceiveStep(false);
    }
    ++readCalls_;
  }
  end = std::min<std::int64_t>(end, received_);
  if (readPos_ >= end) return 0;
  std::int32_t n = static_cast<std::int32_t>(end - readPos_);
  std::memcpy(destination, buffer_.data() + readPos_, static_cast<std::size_t>(n));
  readPos_ = static_cast<std::int32_t>(end);
  return n;
}

void CHttpGetSocket::Close() {
  if (!done_ && socket_) socket_->Close();
  receiving_ = false;
}
