// Finds the IPv4 address of the board's network interface from the board
// address the library reports: the interface's hardware address is bytes 0,
// 1, 2, 5, 6 and 7 of it. The adapter table (GetAdaptersInfo) gives the same
// address as the SNMP interface and address tables would.
#pragma once
#include <cstdint>
#include <string>

// The address in network byte order, or 0 when no adapter has that hardware
// address with an IPv4 address; *seen lists the adapters looked at.
std::uint32_t FindBoardInterface(const std::uint8_t boardAddress[8], std::string* seen);
