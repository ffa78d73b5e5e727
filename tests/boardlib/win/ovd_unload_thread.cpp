// Loads OVD.DLL on this thread, where its status window lives, lets the window
// tick, then frees the library from a second thread while this one either
// keeps handling messages ("pump") or waits for that thread without handling
// any ("block"), and afterwards handles messages for a while: a window left
// with its procedure in the freed library would crash at its next timer tick.
//   ovd_unload_thread DLL pump|block
// With LV_DEBUG_LOG set, the unload waits until the library's debug output
// says the window shows the tray icon.
// exit: 0 done; 2 usage; 3 the library did not load; 4 no status window (or no icon);
// 5 the unload did not finish; 6 the window outlived an unload that could
// reach its thread.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
const wchar_t kTitle[] = L"ソラネクボード情報";

BOOL CALLBACK FindTitle(HWND hwnd, LPARAM out) {
  wchar_t text[64] = {};
  GetWindowTextW(hwnd, text, 64);
  if (std::wcscmp(text, kTitle) == 0) {
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND StatusWindowOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindTitle, reinterpret_cast<LPARAM>(&found));
  return found;
}

void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool LogSays(const char* path, const char* text) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  std::string content;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) content.append(buffer, n);
  std::fclose(f);
  return content.find(text) != std::string::npos;
}

DWORD WINAPI Unload(LPVOID module) {
  FreeLibrary(static_cast<HMODULE>(module));
  return 0;
}

// Ends at once: a thread stuck inside the loader would keep an ordinary exit waiting.
[[noreturn]] void Fail(int code, const char* what) {
  std::printf("ovd_unload_thread: %s\n", what);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  for (;;) Sleep(1000);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[2], "pump") != 0 && std::strcmp(argv[2], "block") != 0)) {
    std::fprintf(stderr, "usage: ovd_unload_thread DLL pump|block\n");
    return 2;
  }
  const bool pump = std::strcmp(argv[2], "pump") == 0;
  HMODULE module = LoadLibraryA(argv[1]);
  if (!module) Fail(3, "the library did not load");
  // The window takes the icon at a timer tick and then polls the driver.
  if (const char* log = std::getenv("LV_DEBUG_LOG")) {
    for (int i = 0; i < 200 && !LogSays(log, "tray icon shown by process"); ++i) Pump(100);
    if (!LogSays(log, "tray icon shown by process")) Fail(4, "the status window did not take the icon");
  }
  Pump(1500);
  HWND window = StatusWindowOfThisThread();
  if (!window) Fail(4, "no status window on the loading thread");

  HANDLE thread = CreateThread(nullptr, 0, &Unload, module, 0, nullptr);
  if (!thread) Fail(5, "no thread");
  bool done = false;
  if (pump) {
    const DWORD start = GetTickCount();
    while (!done && GetTickCount() - start < 20000) {
      if (MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) done = true;
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  } else {
    done = WaitForSingleObject(thread, 20000) == WAIT_OBJECT_0;
  }
  if (!done) Fail(5, "the unload on the second thread did not finish");
  CloseHandle(thread);
  if (GetModuleHandleA("OVD.DLL")) Fail(5, "the library is still loaded");
  if (pump && IsWindow(window)) Fail(6, "the status window outlived the unload");

  // Timer ticks and messages for a window that may still stand.
  PostMessageW(window, 0x0400, 1, 0x0203);
  Pump(3000);
  std::printf("ovd_unload_thread: %s: unloaded, window %s\n", argv[2], IsWindow(window) ? "left hidden" : "gone");
  return 0;
}
