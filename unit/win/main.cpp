// Quillon.exe: start-up of the reception unit. One copy runs: a second copy
// shows the first one's window and ends; while the first is still starting
// (lock file held, window not there yet) the second retries every 3 s.
#include "quillon_dialog.h"  // first: see reception_dialog.h

#include <windows.h>
#include <commctrl.h>

#include "common/clock.h"
#include "common/files.h"
#include "common/settings.h"
#include "common/sockets.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/message_box.h"
#include "resource.h"

namespace {
constexpr int kStartAttempts = 1002;
constexpr DWORD kStartRetryMs = 3000;

std::string LockFilePath() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring exe = module;
  const std::size_t slash = exe.find_last_of(L"\\/");
  if (slash != std::wstring::npos) exe.erase(0, slash + 1);
  return WithBackslash(WideToCp932(temp)) + WideToCp932(exe) + ".lok";
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  if (!InitSockets()) {
    ShowMessageBox(nullptr, LoadCp932String(instance, IDS_SOCKETS_FAILED), LoadCp932String(instance, IDS_UNIT_TITLE),
                   MB_OK | MB_ICONSTOP);
    return 1;
  }
  const std::wstring title = Cp932ToWide(LoadCp932String(instance, IDS_UNIT_TITLE));
  const std::string lockPath = LockFilePath();
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    if (HWND running = FindWindowW(nullptr, title.c_str())) {
      PostMessageW(running, WM_COMMAND, ID_SHOW_WINDOW, 0);
      return 0;
    }
    HANDLE lock = CreateFileW(Cp932ToWide(lockPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (lock != INVALID_HANDLE_VALUE) {
      std::unique_ptr<Settings> settings = CreatePlatformSettings();
      CQuillonDlg dialog(instance, *settings, PlatformFiles(), SystemClock(), lock, lockPath);
      dialog.RunModal(instance, IDD_QUILLON_DIALOG, nullptr);
      return 0;
    }
    Sleep(kStartRetryMs);
  }
  return 0;
}
