// post_command.exe: lets the Wine tests talk to the programs the way the
// planner does, by window title.
//   post_command TITLE ID      post WM_COMMAND ID to the window; exit 1 if none
//   post_command --find TITLE  exit 0 when a window with that title exists
//   post_command --visible TITLE  exit 0 when it exists and is visible
//   post_command --count TEXT  print how many top-level windows have TEXT in their title
//   post_command --hold TITLE SECONDS  keep a window with that title for a while
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {
int CountTitles(const std::wstring& part) {
  int n = 0;
  for (HWND w = FindWindowW(nullptr, nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    wchar_t title[512] = {};
    GetWindowTextW(w, title, 511);
    if (std::wcsstr(title, part.c_str())) ++n;
  }
  return n;
}
// Stands in for another program's window (the channel selector's "nexa").
int HoldWindow(const wchar_t* title, unsigned seconds) {
  HWND w = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW, 600, 500, 200, 80, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (!w) return 1;
  ShowWindow(w, SW_SHOWNOACTIVATE);
  const DWORD end = GetTickCount() + seconds * 1000;
  while (GetTickCount() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
  DestroyWindow(w);
  return 0;
}
}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc == 4 && std::wstring(argv[1]) == L"--hold") return HoldWindow(argv[2], std::wcstoul(argv[3], nullptr, 10));
  if (argc != 3) {
    std::fprintf(stderr, "usage: post_command TITLE ID | --find TITLE | --visible TITLE | --count TEXT | --hold TITLE S\n");
    return 2;
  }
  const std::wstring first = argv[1];
  if (first == L"--count") {
    std::printf("%d\n", CountTitles(argv[2]));
    return 0;
  }
  if (first == L"--find") return FindWindowW(nullptr, argv[2]) ? 0 : 1;
  if (first == L"--visible") {
    HWND w = FindWindowW(nullptr, argv[2]);
    return w && IsWindowVisible(w) ? 0 : 1;
  }
  HWND w = FindWindowW(nullptr, argv[1]);
  if (!w) {
    std::fprintf(stderr, "post_command: no window with that title\n");
    return 1;
  }
  PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(std::wcstoul(argv[2], nullptr, 10)), 0);
  return 0;
}
