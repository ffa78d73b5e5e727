// The sending socket every head-end command opens: UDP, multicast TTL and loop
// back on, leaving through the chosen interface, addressed to one group.
#pragma once
#include <netinet/in.h>

#include <cstddef>
#include <string>

struct MulticastTarget {
  std::string group;      // dotted address of a multicast group
  int port = 0;
  std::string iface;      // dotted address of the outgoing interface
  int ttl = 1;
  int sendBuffer = 0;     // SO_SNDBUF in bytes; 0 leaves the system's
};

// Tells its faults on stderr as "<command>: ..."; closes the socket when it goes.
class MulticastSender {
 public:
  explicit MulticastSender(const char* command) : command_(command) {}
  ~MulticastSender();
  MulticastSender(const MulticastSender&) = delete;
  MulticastSender& operator=(const MulticastSender&) = delete;

  // False after telling what was wrong; *usage is true when the fault lies in
  // the addresses given (the caller's exit code 2), false when the system refused.
  bool Open(const MulticastTarget& target, bool* usage);
  // One datagram to the group. A full send queue is waited out, as a fast
  // sender fills it; false after telling why the system refused.
  bool Send(const void* data, std::size_t size);

 private:
  const char* command_;
  int fd_ = -1;
  sockaddr_in to_{};
};
