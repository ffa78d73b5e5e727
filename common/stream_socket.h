// The stream socket seam for the guide download: a TCP client whose waits can
// keep the caller's window messages flowing. Winsock on Windows, BSD sockets
// natively. Call InitSockets() (sockets.h) first.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Called about every 100 ms while a call waits; empty = just wait.
using WaitPump = std::function<void()>;

class StreamSocket {
 public:
  virtual ~StreamSocket() = default;
  // Creates the socket bound to any local port; false when that fails.
  virtual bool Open() = 0;
  virtual std::uint16_t LocalPort() const = 0;                 // after Open
  virtual bool SetReceiveBuffer(int bytes) = 0;
  // Connects to a dotted IPv4 address or a host name (looked up first), for at
  // most timeoutMs, running pump while it waits.
  virtual bool Connect(const std::string& hostOrAddress, std::uint16_t port, int timeoutMs, const WaitPump& pump) = 0;
  virtual int Send(const void* data, int size) = 0;            // bytes sent, -1 on error
  virtual int Pending() = 0;                                   // bytes waiting; -1 on error
  // Waits until data (or the peer's close) can be read: 1 readable, 0 the time
  // ran out, -1 error.
  virtual int WaitReadable(int timeoutMs) = 0;
  // Bytes received; 0 when the peer has closed; -1 on error.
  virtual int Receive(void* buffer, int size) = 0;
  virtual void Close() = 0;                                    // also done by the destructor
  virtual bool IsOpen() const = 0;
};

std::unique_ptr<StreamSocket> CreateStreamSocket();

// The first IPv4 address of a host name as "%d.%d.%d.%d"; false when the
// lookup fails. With a pump, the lookup runs beside the calling thread, which
// runs the pump until the answer is there.
bool LookupHostAddress(const std::string& host, std::string* dotted, const WaitPump& pump = WaitPump());

// Sleeps the calling thread.
void PauseMs(int ms);
