// Tavora.exe: start-up of the planner. One planner runs: a second start only
// brings the first one's window to the front (command 32785) and ends.
#include <windows.h>
#include <commctrl.h>
#include <winnetwk.h>

#include <cstdio>
#include <memory>
#include <string>
#include "common/clock.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/sockets.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/dpi.h"
#include "common/path.h"
#include "common/win/message_box.h"
#include "common/win/modal_loop.h"
#include "common/win/peers.h"
#include "planner/guide/http_get_socket.h"
#include "planner/history/win/history_windows.h"
#include "planner/history/win/planner_history.h"
#include "planner/planner_values.h"
#include "planner/shell/win/data_folder_dialog.h"
#include "planner/shell/win/main_frame.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/settings_commands.h"
#include "planner/shell/win/shell_doc_hooks.h"
#include "planner/shell/win/tavora_app.h"
#include "planner/timetable/tavora_doc.h"

// The installer ends a running planner with the menu's own exit command.
static_assert(ID_APP_EXIT == peer::kCmdPlannerExit, "the planner's exit command and the one posted to it differ");

namespace {
constexpr UINT kActivateTimeoutMs = 5000;

std::string ModulePath() {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  return WideToCp932(module);
}

std::string FolderOf(const std::string& path) {
  // A program folder such as "...\\番組表" ends in the byte of a separator.
  const std::size_t slash = LastSeparator(path);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// While the guide is downloaded the window keeps painting and the frame's timer
// and posted commands keep flowing; what a person types or clicks waits in the
// queue until the download ends (the wait cursor is up). It counts as a modal
// loop: a guide update or a list rebuild that arrives meanwhile waits for it.
void PumpDuringDownload() {
  ModalLoop loop;
  MSG msg;
  const UINT ranges[][2] = {{0, WM_NCMOUSEMOVE - 1},
                            {WM_NCXBUTTONDBLCLK + 1, WM_KEYFIRST - 1},
                            {WM_KEYLAST + 1, WM_MOUSEFIRST - 1},
                            {WM_MOUSELAST + 1, 0xFFFFFFFF}};
  for (const auto& range : ranges) {
    for (int i = 0; i < 64 && PeekMessageW(&msg, nullptr, range[0], range[1], PM_REMOVE); ++i) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

class StartQuestions : public FolderQuestions {
 public:
  bool AskDataFolder(std::string* folder) override { return ::AskDataFolder(nullptr, folder); }
  std::string ShareOfDrive(const std::string& drive) override {
    wchar_t remote[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (WNetGetConnectionW(Cp932ToWide(drive).c_str(), remote, &size) != NO_ERROR) return std::string();
    return WideToCp932(remote);
  }
};

std::string Formatted(const std::string& format, const std::string& value) {
  std::vector<char> text(format.size() + value.size() + 16);
  std::snprintf(text.data(), text.size(), format.c_str(), value.c_str());
  return text.data();
}

bool SettleWorkingFolders(CTavoraApp& app) {
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  StartQuestions questions;
  const FolderResult result = SettleFolders(*app.fs, *app.settings, WindowsDrive(WideToCp932(windows)), questions, &app.folders);
  if (result.failure == FolderFailure::None) return true;
  if (result.failure == FolderFailure::Cancelled) return false;
  const unsigned id = result.failure == FolderFailure::BlockedByFile ? IDS_FOLDER_IS_FILE : IDS_FOLDER_FAILED;
  ShowMessageBox(nullptr, Formatted(app.String(id), result.folder), app.String(IDS_APP_TITLE),
                 MB_OK | MB_ICONSTOP);
  return false;
}

void ReadApplicationSettings(CTavoraApp& app) {
  const StartValues start = ReadStartValues(*app.settings);
  app.dayStartHour = start.dayStartHour;
  app.display = start.display;
}

// For the start-up benchmark: the time since the process was created.
unsigned long MsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER a, b;
  a.LowPart = created.dwLowDateTime, a.HighPart = created.dwHighDateTime;
  b.LowPart = now.dwLowDateTime, b.HighPart = now.dwHighDateTime;
  return static_cast<unsigned long>((b.QuadPart - a.QuadPart) / 10000);
}

int MessageLoop(HWND frame, HACCEL accelerators) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsHistoryDialogMessage(&msg)) continue;
    if (accelerators && TranslateAcceleratorW(frame, accelerators, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  CTavoraApp& app = TheApp();
  app.instance = instance;
  if (!InitSockets()) {
    ShowMessageBox(nullptr, app.String(IDS_SOCKETS_FAILED), app.String(IDS_APP_TITLE), MB_OK | MB_ICONSTOP);
    return 1;
  }
  StartLock lock;
  if (!lock.Take()) return 0;  // another planner is starting
  if (HWND running = FindPlannerWindow()) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(running, WM_COMMAND, ID_PLANNER_ACTIVATE, 0, SMTO_ABORTIFHUNG, kActivateTimeoutMs, &ignored);
    return 0;
  }

  std::unique_ptr<Settings> store = CreatePlatformSettings();
  PlannerSettings settings(*store);
  app.store = store.get();
  app.settings = &settings;
  app.fs = &PlatformFiles();
  app.clock = &SystemClock();
  app.programFolder = FolderOf(ModulePath());
  if (!SettleWorkingFolders(app)) return 0;
  ReadApplicationSettings(app);

  SetHttpWaitPump(PumpDuringDownload);
  CShellDocHooks hooks;
  CTavoraDoc doc(settings, *app.fs, *app.clock, hooks);
  doc.dpi = ScreenDpi();
  doc.dayStartHour = app.dayStartHour;
  app.doc = &doc;
  CMainFrame frame;
  const std::string title = J(u8"Default ") + J(peer::kPlannerTitleMark);
  if (!frame.CreateFrame(instance, title)) return 0;
  hooks.SetViewHooks(frame.Panes().viewHooks);
  const DWORD loading = GetTickCount();
  const bool loaded = doc.OnNewDocument();
  DebugPrintf("Tavora: document loaded in %lu ms", static_cast<unsigned long>(GetTickCount() - loading));
  if (!loaded) {
    DestroyWindow(frame.Handle());
    return 0;
  }
  frame.LayOutPanes();

  ShowWindow(frame.Handle(), showCommand);
  UpdateWindow(frame.Handle());
  DebugPrintf("Tavora: main window shown %lu ms after the process started", MsSinceProcessStart());
  if (doc.Programs().Empty() && !doc.guideUrl.empty()) frame.PostCommand(ID_GUIDE_UPDATE);
  frame.PostCommand(ID_TIME_CALIBRATION);
  app.diskLimitMb = planner_values::Read(settings, planner_values::kDiskLimit);
  app.totalLimitMb = planner_values::Read(settings, planner_values::kTotalLimit);
  lock.Release();
  if (planner_values::Read(settings, planner_values::kWindowZoom) != 0) {
    SendMessageW(frame.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  }
  frame.PostCommand(ID_VIEW_NOW);
  ShowPlannerMissedPrograms();
  RunOldContentAtStart();

  const int code = MessageLoop(frame.Handle(), LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME)));
  SetHttpWaitPump(nullptr);
  doc.DeleteContents();
  app.doc = nullptr;
  return code;
}
