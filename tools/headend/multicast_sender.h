// The sending socket every head-end command opens: UDP, multicast TTL and loop
// back on, leaving through the chosen interface, addressed to one group.
#pragma once
#include <netinet/in.h>

#include <string>

struct MulticastTarget {
  std::string group;      // dotted address of a multicast group
  int port = 0;
  std::string iface;      // dotted address of the outgoing interface
  int ttl = 1;
  int sendBuffer = 0;     // SO_SNDBUF in bytes; 0 leaves the system's
};

// The socket, with *to set to the group and port; -1 after telling on stderr
// ("<command>: ...") what was wrong. *usage is true when the fault lies in the
// addresses given (the caller's exit code 2), false when the system refused.
int OpenMulticastSender(const char* command, const MulticastTarget& target, sockaddr_in* to, bool* usage);
