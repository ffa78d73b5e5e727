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
#include "common/win/peers.h"
#include "resource.h"

namespace {
constexpr int kStartAttempts = 1002;
constexpr DWORD kStartRetryMs = 3000;

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
  StartLock lock;
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    if (HWND running = FindWindowW(nullptr, title.c_str())) {
      PostMessageW(running, WM_COMMAND, ID_SHOW_WINDOW, 0);
      return 0;
    }
    if (lock.Take()) {
      std::unique_ptr<Settings> settings = CreatePlatformSettings();
      CQuillonDlg dialog(instance, *settings, PlatformFiles(), SystemClock(), std::move(lock));
      dialog.RunModal(instance, IDD_QUILLON_DIALOG, nullptr);
      return 0;
    }
    Sleep(kStartRetryMs);
  }
  return 0;
}
