#include "board_interface.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstdio>
#include <cstring>
#include <vector>

std::uint32_t FindBoardInterface(const std::uint8_t board[8], std::string* seen) {
  const std::uint8_t wanted[6] = {board[0], board[1], board[2], board[5], board[6], board[7]};
  ULONG size = 0;
  if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return 0;
  std::vector<unsigned char> buffer(size);
  auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
  if (GetAdaptersInfo(first, &size) != NO_ERROR) return 0;
  for (IP_ADAPTER_INFO* a = first; a; a = a->Next) {
    char line[96];
    std::snprintf(line, sizeof line, "%02x:%02x:%02x:%02x:%02x:%02x %s; ", a->Address[0], a->Address[1],
                  a->Address[2], a->Address[3], a->Address[4], a->Address[5], a->IpAddressList.IpAddress.String);
    *seen += line;
    if (a->AddressLength != 6 || std::memcmp(a->Address, wanted, 6) != 0) continue;
    for (IP_ADDR_STRING* ip = &a->IpAddressList; ip; ip = ip->Next) {
      const unsigned long address = inet_addr(ip->IpAddress.String);
      if (address != INADDR_NONE && address != 0) return static_cast<std::uint32_t>(address);
    }
  }
  return 0;
}
