// Waiting for a datagram socket to become readable, for console loops.
#pragma once
#include <cstdint>

// True when the socket has data within `ms` milliseconds.
bool WaitReadable(std::uintptr_t handle, int ms);
// CPU seconds (user + system) this process has used.
double ProcessCpuSeconds();
// Sleeps for ms milliseconds.
void SleepMs(int ms);
