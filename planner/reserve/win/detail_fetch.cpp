#include "planner/reserve/win/detail_fetch.h"

#include <windows.h>
#include <wininet.h>

#include "common/debug_log.h"

namespace {
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET h) : h_(h) {}
  ~InternetHandle() {
    if (h_) InternetCloseHandle(h_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET Get() const { return h_; }

 private:
  HINTERNET h_;
};
}  // namespace

bool WinInetDetailFetcher::Fetch(const std::string& url, std::string* body) {
  const DWORD started = GetTickCount();
  InternetHandle session(InternetOpenA("Tavora", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session.Get()) return false;
  DWORD timeout = kDetailTimeoutMs;
  InternetSetOptionA(session.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionA(session.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionA(session.Get(), INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
  InternetHandle request(InternetOpenUrlA(session.Get(), url.c_str(), nullptr, 0,
                                          INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                              INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI,
                                          0));
  if (!request.Get()) return false;
  DWORD status = 0;
  DWORD size = sizeof status;
  if (HttpQueryInfoA(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
      status != 200) {
    DebugPrintf("Tavora: %s answered %lu", url.c_str(), static_cast<unsigned long>(status));
    return false;
  }
  body->clear();
  char buffer[4096];
  for (;;) {
    if (GetTickCount() - started > kDetailTimeoutMs) {
      DebugOut("Tavora: detail file took too long: " + url);
      return false;
    }
    DWORD read = 0;
    if (!InternetReadFile(request.Get(), buffer, sizeof buffer, &read)) return false;
    if (read == 0) return true;
    if (body->size() + read > kMaxDetailBytes) {
      DebugOut("Tavora: detail file too large: " + url);
      return false;
    }
    body->append(buffer, read);
  }
}
