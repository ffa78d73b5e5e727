#include "boardlib/win/status_window.h"

#include "boardlib/ovd_library.h"
#include "boardlib/win/resource.h"
#include "common/debug_log.h"
#include "common/peer_names.h"
#include "common/text.h"
#include "common/win/peers.h"

namespace {
constexpr UINT kTrayMessage = 0x0400;
constexpr UINT kTrayId = 1;
constexpr UINT kDoubleClick = 0x0203;
constexpr UINT_PTR kFirstTimer = 10, kLastTimer = 19;
constexpr UINT kPollMs = 1000;
// Sent by an unload on another thread: destroy the window on its own thread.
constexpr UINT kDestroyRequest = WM_APP + 1;
// How long an unload on another thread waits for the window's thread.
constexpr UINT kOwnerAnswerMs = 5000;

std::uint64_t WindowValue(HWND hwnd) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hwnd)); }
}  // namespace

const StatusWindow::MessageEntry StatusWindow::kMessages[] = {
    {WM_INITDIALOG, &StatusWindow::OnInitDialog},
    {WM_TIMER, &StatusWindow::OnTimer},
    {kTrayMessage, &StatusWindow::OnTray},
    {WM_CLOSE, &StatusWindow::OnClose},
    {WM_DESTROY, &StatusWindow::OnDestroy},
    {kDestroyRequest, &StatusWindow::OnDestroyRequest},
    {0, nullptr},
};
const StatusWindow::CommandEntry StatusWindow::kCommands[] = {
    {IDC_RECONNECT, &StatusWindow::OnReconnect},
    // The window lives as long as the library: Enter and Escape leave it.
    {IDOK, &StatusWindow::KeepOpen},
    {IDCANCEL, &StatusWindow::KeepOpen},
    {0, nullptr},
};

StatusWindow::StatusWindow(HINSTANCE instance, OvdLibrary& library)
    : instance_(instance), library_(library), monitor_(GetTickCount()) {}

StatusWindow::~StatusWindow() { Close(); }

bool StatusWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  if (tray_.OwnerMessage(message, wParam)) {
    *result = TRUE;
    return true;
  }
  return DialogImpl<StatusWindow>::Dispatch(message, wParam, lParam, result);
}

bool StatusWindow::Create() { return CreateModeless(instance_, IDD_BOARD_STATUS, nullptr) != nullptr; }

void StatusWindow::Close() {
  if (Handle()) Destroy();
}

bool StatusWindow::CloseOnUnload(bool processEnding) {
  HWND hwnd = Handle();
  if (!hwnd) return true;
  if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
    Destroy();
    return true;
  }
  DWORD_PTR answer = 0;
  if (!processEnding &&
      SendMessageTimeoutW(hwnd, kDestroyRequest, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kOwnerAnswerMs, &answer) &&
      !Handle())
    return true;
  // Its thread is blocked (perhaps waiting for this very unload) or gone. A
  // window of another thread can be neither destroyed nor have its timer
  // killed from here, but its dialog procedure can be taken away: the dialog
  // class's own procedure then answers every message, timer ticks included.
  SetWindowLongPtrW(hwnd, DWLP_DLGPROC, 0);
  SetWindowLongPtrW(hwnd, DWLP_USER, 0);
  ShowWindowAsync(hwnd, SW_HIDE);
  ReleaseTheIcon();
  DebugPrintf("Ovd: status window of thread %lu left without its library", GetWindowThreadProcessId(hwnd, nullptr));
  return false;
}

INT_PTR StatusWindow::OnInitDialog(WPARAM, LPARAM) {
  SetTitle(J(peer::kBoardStatusTitleUtf8));
  SetItemText(IDC_STATUS, StatusText(ReceptionState::BoardReleased));
  Place();
  timer_ = StartTimer(kFirstTimer, kLastTimer, kPollMs);
  return TRUE;
}

// Bottom right corner on the bottom right of the desktop's icon area.
void StatusWindow::Place() {
  const RECT area = DesktopWorkArea();
  RECT self;
  GetWindowRect(Handle(), &self);
  SetWindowPos(Handle(), nullptr, area.right - (self.right - self.left), area.bottom - (self.bottom - self.top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool StatusWindow::Owner() {
  SharedState& s = library_.Shared();
  library_.Host().Lock(s);
  const bool mine = s.trayOwner == WindowValue(Handle());
  library_.Host().Unlock(s);
  return mine;
}

INT_PTR StatusWindow::OnTimer(WPARAM id, LPARAM) {
  if (id != timer_) return FALSE;
  if (Owner()) Poll();
  TryToOwnTheIcon();
  return TRUE;
}

void StatusWindow::Poll() {
  const bool open = library_.DriverOpen();
  SharedState& s = library_.Shared();
  std::uint32_t base = s.counterBase;
  const StatusView v = monitor_.Tick(
      GetTickCount(), open, [this](std::uint32_t selector, DriverRecord* r) { return library_.Query(selector, r); }, &base);
  s.counterBase = base;
  SetItemText(IDC_STATUS, v.statusText);
  SetItemText(IDC_AMOUNT, v.amount);
  SetItemText(IDC_RATE, v.rate);
  SetItemText(IDC_ERROR_TEXT, v.errorText);
  SetItemText(IDC_ELAPSED, std::to_string(v.elapsedSeconds));
  if (v.stateChanged) Enable(IDC_RECONNECT, v.reconnectEnabled);
  if (v.action == WindowAction::Show) ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  if (v.action == WindowAction::Hide) ShowWindow(Handle(), SW_HIDE);
}

void StatusWindow::TryToOwnTheIcon() {
  if (!library_.Usable() || Owner()) return;
  SharedState& s = library_.Shared();
  bool take = false;
  library_.Host().Lock(s);
  library_.PruneLocked();
  if (s.trayOwner == 0) {
    s.trayOwner = WindowValue(Handle());
    s.trayOwnerPid = GetCurrentProcessId();
    take = true;
  }
  library_.Host().Unlock(s);
  if (!take) return;
  // Shared: the one handle of the library's icon, however often the icon
  // comes back to this window; the system frees it with the module.
  HICON icon = LoadSmallIcon(instance_, MAKEINTRESOURCEW(IDI_BOARD));
  const bool added = tray_.Add(Handle(), kTrayId, kTrayMessage, icon, J(u8"ソラネクボード"));
  DebugPrintf("Ovd: tray icon shown by process %lu%s", GetCurrentProcessId(), added ? "" : " (the notification area refused it)");
}

void StatusWindow::ReleaseTheIcon() {
  tray_.Remove();
  SharedState& s = library_.Shared();
  library_.Host().Lock(s);
  const bool mine = s.trayOwner == WindowValue(Handle());
  if (mine) {
    s.trayOwner = 0;
    s.trayOwnerPid = 0;
  }
  library_.Host().Unlock(s);
  if (mine) DebugPrintf("Ovd: tray icon removed by process %lu", GetCurrentProcessId());
}

INT_PTR StatusWindow::OnTray(WPARAM, LPARAM lParam) {
  if (static_cast<UINT>(lParam) == kDoubleClick) {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    monitor_.UserShown();
  }
  return TRUE;
}

INT_PTR StatusWindow::OnClose(WPARAM, LPARAM) {
  ShowWindow(Handle(), SW_HIDE);
  monitor_.UserClosed();
  return TRUE;
}

INT_PTR StatusWindow::OnDestroy(WPARAM, LPARAM) {
  StopAllTimers();
  timer_ = 0;
  ReleaseTheIcon();
  return FALSE;
}

INT_PTR StatusWindow::OnDestroyRequest(WPARAM, LPARAM) {
  Destroy();
  return TRUE;
}

void StatusWindow::OnReconnect() { library_.SendStream(); }
