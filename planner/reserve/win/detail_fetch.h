// The detail file fetch through the internet session functions, bounded in
// time (kDetailTimeoutMs for the whole fetch) and size (kMaxDetailBytes).
#pragma once
#include "planner/reserve/program_detail.h"

constexpr unsigned long kDetailTimeoutMs = 10000;

class WinInetDetailFetcher : public DetailFetcher {
 public:
  bool Fetch(const std::string& url, std::string* body) override;
};
