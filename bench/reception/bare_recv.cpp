// The floor that bench/reception/run.sh measures the unit against: a Windows
// receiver that only takes the carousel's datagrams off the socket and counts
// them, in one of three shapes.
//   async   WSAAsyncSelect FD_READ to a window; each message reads one datagram
//           per recvfrom until WSAEWOULDBLOCK (the floor the unit is held to)
//   thread  a blocking recvfrom loop on a thread of its own
//   queue   a blocking recvfrom loop on a thread that only moves each datagram
//           into a locked queue, emptied by a 10 ms timer on the window's thread
//           (the unit's intake, without the unit's work)
// It ends once no datagram came for IDLE_MS after the first one (or none at all
// within 60 s) and prints "received N datagrams B bytes" on stdout.
//   bare-recv MODE GROUP PORT RCVBUF IDLE_MS
// Not shipped: built by the Windows tree for the benchmark only.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kDatagramMax = 4096;
constexpr UINT kSocketMessage = WM_APP + 1;
constexpr std::size_t kQueueBound = 20000;  // datagrams, as the unit's queue

SOCKET g_socket = INVALID_SOCKET;
volatile LONG64 g_count = 0;
volatile LONG64 g_bytes = 0;
volatile LONG64 g_dropped = 0;     // queue full
volatile DWORD g_lastTick = 0;     // of the last datagram
volatile LONG g_stop = 0;
DWORD g_idleMs = 2000;
DWORD g_startTick = 0;
char g_buffer[kDatagramMax];
LONG g_lagMin = 0x7FFFFFFF, g_lagMax = -0x7FFFFFFF;

// The queue variant: buffers move between the free list and the queue under one lock.
struct Slot {
  char data[kDatagramMax];
  int size;
};
CRITICAL_SECTION g_lock;
std::vector<Slot*> g_queue, g_free;

bool Done() {
  DWORD now = GetTickCount();
  if (g_count == 0) return now - g_startTick > 60000;
  return now - g_lastTick > g_idleMs;
}

void Count(int n) {
  g_count = g_count + 1;
  g_bytes = g_bytes + n;
  g_lastTick = GetTickCount();
}

LRESULT CALLBACK AsyncProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kSocketMessage) {
    // How far the notification's post time lies behind the clock the unit
    // compares it with (the unit passes over notifications older than a drain).
    LONG lag = static_cast<LONG>(GetTickCount() - static_cast<DWORD>(GetMessageTime()));
    if (lag < g_lagMin) g_lagMin = lag;
    if (lag > g_lagMax) g_lagMax = lag;
    for (;;) {
      sockaddr_in from{};
      int len = sizeof from;
      int n = recvfrom(g_socket, g_buffer, kDatagramMax, 0, reinterpret_cast<sockaddr*>(&from), &len);
      if (n == SOCKET_ERROR) {
        if (WSAGetLastError() == WSAEWOULDBLOCK) break;
        continue;  // an oversized datagram is read and dropped; the next may wait behind it
      }
      Count(n);
    }
    return 0;
  }
  if (msg == WM_TIMER) {
    if (Done()) PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The queue variant's 10 ms timer: takes the whole queue under the lock, counts
// it outside, and gives the buffers back.
void DrainQueue() {
  static std::vector<Slot*> taken;
  EnterCriticalSection(&g_lock);
  taken.swap(g_queue);
  LeaveCriticalSection(&g_lock);
  if (taken.empty()) return;
  for (Slot* s : taken) Count(s->size);
  EnterCriticalSection(&g_lock);
  g_free.insert(g_free.end(), taken.begin(), taken.end());
  LeaveCriticalSection(&g_lock);
  taken.clear();
}

LRESULT CALLBACK QueueProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    DrainQueue();
    if (Done()) PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

DWORD WINAPI BlockingLoop(void*) {
  while (!g_stop) {
    sockaddr_in from{};
    int len = sizeof from;
    int n = recvfrom(g_socket, g_buffer, kDatagramMax, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n == SOCKET_ERROR) {
      if (Done()) break;  // the receive timeout: look whether the stream ended
      continue;
    }
    Count(n);
  }
  return 0;
}

DWORD WINAPI QueueLoop(void*) {
  Slot* slot = nullptr;
  while (!g_stop) {
    if (!slot) {
      EnterCriticalSection(&g_lock);
      if (!g_free.empty()) {
        slot = g_free.back();
        g_free.pop_back();
      }
      LeaveCriticalSection(&g_lock);
      if (!slot) slot = new Slot;
    }
    sockaddr_in from{};
    int len = sizeof from;
    int n = recvfrom(g_socket, slot->data, kDatagramMax, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n == SOCKET_ERROR) continue;  // the receive timeout lets it see g_stop
    slot->size = n;
    bool queued = false;
    EnterCriticalSection(&g_lock);
    if (g_queue.size() < kQueueBound) {
      g_queue.push_back(slot);
      queued = true;
    }
    LeaveCriticalSection(&g_lock);
    if (queued) slot = nullptr; else g_dropped = g_dropped + 1;
  }
  return 0;
}

HWND MakeWindow(WNDPROC proc) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BareRecv";
  RegisterClassW(&wc);
  return CreateWindowW(L"BareRecv", L"bare-recv", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

void RunMessages() {
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
}

bool OpenSocket(const char* group, int port, int rcvbuf, bool blocking) {
  g_socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (g_socket == INVALID_SOCKET) return false;
  BOOL on = TRUE;
  setsockopt(g_socket, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
  setsockopt(g_socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&rcvbuf), sizeof rcvbuf);
  if (blocking) {
    DWORD timeout = 200;
    setsockopt(g_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  } else {
    u_long nonBlocking = 1;
    ioctlsocket(g_socket, FIONBIO, &nonBlocking);
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<u_short>(port));
  addr.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(g_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return false;
  ip_mreq req{};
  if (inet_pton(AF_INET, group, &req.imr_multiaddr) != 1) return false;
  req.imr_interface.s_addr = htonl(INADDR_ANY);
  return setsockopt(g_socket, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&req), sizeof req) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: bare-recv async|thread|queue GROUP PORT RCVBUF IDLE_MS\n");
    return 2;
  }
  const char* mode = argv[1];
  bool async = std::strcmp(mode, "async") == 0, thread = std::strcmp(mode, "thread") == 0,
       queue = std::strcmp(mode, "queue") == 0;
  if (!async && !thread && !queue) {
    std::fprintf(stderr, "bare-recv: unknown mode '%s'\n", mode);
    return 2;
  }
  g_idleMs = static_cast<DWORD>(std::atoi(argv[5]));
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
  if (!OpenSocket(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), !async)) {
    std::fprintf(stderr, "bare-recv: socket error %d\n", WSAGetLastError());
    return 1;
  }
  int granted = 0, size = sizeof granted;
  getsockopt(g_socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&granted), &size);
  std::fprintf(stderr, "bare-recv: %s, SO_RCVBUF %d: waiting for datagrams\n", mode, granted);
  g_startTick = GetTickCount();
  if (async) {
    HWND hwnd = MakeWindow(AsyncProc);
    WSAAsyncSelect(g_socket, hwnd, kSocketMessage, FD_READ);
    SetTimer(hwnd, 1, 100, nullptr);
    RunMessages();
  } else if (thread) {
    HANDLE t = CreateThread(nullptr, 0, BlockingLoop, nullptr, 0, nullptr);
    WaitForSingleObject(t, INFINITE);
  } else {
    InitializeCriticalSection(&g_lock);
    HWND hwnd = MakeWindow(QueueProc);
    HANDLE t = CreateThread(nullptr, 0, QueueLoop, nullptr, 0, nullptr);
    SetTimer(hwnd, 1, 10, nullptr);
    RunMessages();
    g_stop = 1;
    WaitForSingleObject(t, INFINITE);
    DrainQueue();
  }
  closesocket(g_socket);
  std::printf("received %lld datagrams %lld bytes dropped %lld\n", static_cast<long long>(g_count),
              static_cast<long long>(g_bytes), static_cast<long long>(g_dropped));
  if (async && g_count > 0) std::fprintf(stderr, "bare-recv: GetTickCount - GetMessageTime of the notifications: %ld to %ld ms\n", g_lagMin, g_lagMax);
  std::fflush(stdout);
  return 0;
}
