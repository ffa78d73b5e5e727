#include "planner/reserve/win/detail_fetch.h"

#include <windows.h>
#include <wininet.h>

#include <memory>

#include "common/debug_log.h"
#include "common/win/scoped_win.h"

namespace {
// Closing the session handle from outside ends a read that the server keeps
// waiting (the session's receive time-out is not honoured by every
// implementation), so the fetch runs on a thread of its own and the caller
// closes the session when the time is up. The caller and the thread each hold
// a share of the job: a thread still blocked when the caller gives up frees it
// when it ends.
struct FetchJob {
  std::string url;
  std::string body;
  bool ok = false;
  HINTERNET session = nullptr;  // the caller's
};
using FetchShare = std::shared_ptr<FetchJob>;

bool ReadBody(FetchJob& job, HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
      status != 200) {
    DebugPrintf("Tavora: %s answered %lu", job.url.c_str(), static_cast<unsigned long>(status));
    return false;
  }
  // A declared length beyond the bound is refused before anything is read; a
  // declared length also tells an end of the body from a pause of the server.
  DWORD declared = 0;
  size = sizeof declared;
  const bool haveLength =
      HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &declared, &size, nullptr) != FALSE;
  if (haveLength && declared > kMaxDetailBytes) {
    DebugPrintf("Tavora: detail file declared %lu bytes: %s", static_cast<unsigned long>(declared), job.url.c_str());
    return false;
  }
  char buffer[4096];
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(request, buffer, sizeof buffer, &read)) return false;
    if (read == 0) {
      if (!haveLength || job.body.size() >= declared) return true;
      Sleep(50);  // nothing yet: the server is slow, not done
      continue;
    }
    if (job.body.size() + read > kMaxDetailBytes) {
      DebugOut("Tavora: detail file too large: " + job.url);
      return false;
    }
    job.body.append(buffer, read);
  }
}

// Waits for the fetch thread at most `ms` while this thread's windows keep
// painting and answering messages other programs send them. Input is held off
// (dropped: the user clicked while the wait cursor was up); posted messages and
// timers wait in the queue, because their work could change the guide under
// the program being reserved. True when the thread ended in time.
bool WaitPainting(HANDLE thread, DWORD ms) {
  const DWORD started = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - started;
    if (spent >= ms) return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, ms - spent, QS_PAINT | QS_SENDMESSAGE | QS_INPUT);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke == WAIT_TIMEOUT) return false;
    if (woke == WAIT_FAILED) return WaitForSingleObject(thread, ms - spent) == WAIT_OBJECT_0;
    MSG msg;
    // Any peek also delivers the messages sent from other threads.
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
    }
    // Bounded: a window that never validates would otherwise keep this loop busy.
    for (int i = 0; i < 64 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) DispatchMessageW(&msg);
  }
}

DWORD WINAPI FetchThread(void* parameter) {
  const std::unique_ptr<FetchShare> share(static_cast<FetchShare*>(parameter));
  FetchJob& job = **share;
  const ScopedInternet request(InternetOpenUrlA(job.session, job.url.c_str(), nullptr, 0,
                                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                    INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI,
                                                0));
  if (request) job.ok = ReadBody(job, request.Get());
  return 0;
}
}  // namespace

bool WinInetDetailFetcher::Fetch(const std::string& url, std::string* body) {
  ScopedInternet session(InternetOpenA("Tavora", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return false;
  DWORD timeout = kDetailTimeoutMs;
  InternetSetOptionA(session.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionA(session.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionA(session.Get(), INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
  const auto job = std::make_shared<FetchJob>();
  job->url = url;
  job->session = session.Get();
  const DWORD started = GetTickCount();
  auto threadShare = std::make_unique<FetchShare>(job);
  const ScopedHandle thread(CreateThread(nullptr, 0, &FetchThread, threadShare.get(), 0, nullptr));
  if (!thread) return false;
  threadShare.release();  // the thread's now
  const bool ended = keepPainting_ ? WaitPainting(thread.Get(), kDetailTimeoutMs)
                                    : WaitForSingleObject(thread.Get(), kDetailTimeoutMs) == WAIT_OBJECT_0;
  if (!ended) {
    DebugPrintf("Tavora: detail file took too long (%lu ms): %s", GetTickCount() - started, url.c_str());
    // Closing the session ends the blocked call where the system allows it;
    // either way the thread finishes on its own with its share of the job.
    session.Reset();
    return false;
  }
  const bool ok = job->ok;
  if (ok) *body = job->body;
  else DebugPrintf("Tavora: detail file not fetched after %lu ms: %s", GetTickCount() - started, url.c_str());
  return ok;
}
