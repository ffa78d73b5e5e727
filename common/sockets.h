// The socket seam: UDP multicast receive (the unit, the selector) and a blocking
// TCP client (the guide download). Winsock on Windows, BSD sockets natively.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

// Starts the socket layer once per process (WSAStartup); false when it fails.
bool InitSockets();

// What Receive answers besides a datagram's length (0 is an empty datagram,
// read and gone like any other).
constexpr int kNoDatagram = -2;  // nothing waiting: the drain is done
constexpr int kOversized = -3;   // a datagram longer than the buffer, read and dropped

// Whether a Receive answer ends a drain: nothing waiting, or a failing socket.
// Empty and oversized datagrams do not: the next one may be waiting behind them.
constexpr bool EndsDrain(int answer) { return answer == kNoDatagram || answer == -1; }

class DatagramSocket {
 public:
  virtual ~DatagramSocket() = default;
  // UDP socket bound to port on all interfaces, with SO_REUSEADDR and the given
  // receive buffer size (0 keeps the system's).
  virtual bool Bind(std::uint16_t port, int receiveBuffer) = 0;
  // IP_ADD_MEMBERSHIP of the dotted group on the default interface.
  virtual bool Join(const std::string& group) = 0;
  virtual bool Leave() = 0;                                   // when joined
  // One datagram, without waiting: its length, kNoDatagram, kOversized, or -1 on
  // another error. Drain with one call per datagram until kNoDatagram: a
  // pending-bytes count cannot tell an empty datagram from none (both are 0),
  // and a loop driven by it never gets past an empty one.
  virtual int Receive(void* buffer, int size, std::uint16_t* sourcePort) = 0;
  // From now on Receive waits up to `milliseconds` for a datagram before it
  // answers kNoDatagram (for a receiving thread of its own; never on a window's
  // thread). False when this socket cannot wait.
  virtual bool SetReceiveWait(int milliseconds) { return milliseconds == 0; }
  virtual int LastError() const = 0;                          // WSAGetLastError / errno
  virtual std::uintptr_t Handle() const = 0;                  // SOCKET or fd, for WSAAsyncSelect
  virtual void Close() = 0;
};

std::unique_ptr<DatagramSocket> CreateDatagramSocket();
