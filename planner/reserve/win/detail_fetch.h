// The detail file fetch through the internet session functions, bounded in
// time (kDetailTimeoutMs for the whole fetch) and size (kMaxDetailBytes).
// The fetch runs on a thread of its own. With keepPainting the calling window
// thread keeps painting meanwhile and drops the user's input until the fetch
// ends; without it (work in the middle of a guide update, when the views may
// not be paintable) the thread just waits.
#pragma once
#include "planner/reserve/program_detail.h"

constexpr unsigned long kDetailTimeoutMs = 10000;

class WinInetDetailFetcher : public DetailFetcher {
 public:
  explicit WinInetDetailFetcher(bool keepPainting = false) : keepPainting_(keepPainting) {}
  bool Fetch(const std::string& url, std::string* body) override;

 private:
  bool keepPainting_;
};
