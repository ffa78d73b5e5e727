#include "nexa_window.h"

#include <cstdio>

#include "common/debug_log.h"
#include "common/files.h"
#include "common/peer_names.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/message_box.h"
#include "common/win/scoped_win.h"
#include "nexa_dialogs.h"
#include "ovd_binding.h"
#include "resource.h"
#include "selector_registry.h"

const CNexaWnd::MessageEntry CNexaWnd::kMessages[] = {
    {WM_CREATE, &CNexaWnd::OnCreate},
    {WM_TIMER, &CNexaWnd::OnTimer},
    {WM_ENTERIDLE, &CNexaWnd::OnEnterIdle},
    {WM_DESTROY, &CNexaWnd::OnDestroy},
    {WM_ENDSESSION, &CNexaWnd::OnEndSession},
    {0, nullptr},
};

const CNexaWnd::RegisteredEntry CNexaWnd::kRegistered[] = {
    {peer::kSelectorTrayMessage, &CNexaWnd::OnTray},
    {0, nullptr},
};

const CNexaWnd::CommandEntry CNexaWnd::kCommands[] = {
    {IDM_ABOUT, &CNexaWnd::OnAbout},
    {IDM_EXIT, &CNexaWnd::OnExit},
    {ID_SETTINGS, &CNexaWnd::OnSettings},
    {ID_ASK_SWITCH, &CNexaWnd::OnAskSwitch},
    {0, nullptr},
};

namespace {
constexpr UINT kTrayId = 1;
}

CNexaWnd::CNexaWnd(HINSTANCE instance, OvdBinding& ovd, const Clock& clock)
    : instance_(instance), ovd_(ovd), selector_(*this, SwitchMode::Ask, -1), listener_(clock) {}

CNexaWnd::~CNexaWnd() {
  // Normally done in WM_DESTROY; this covers a window that never came up.
  listener_.Stop();
  Destroy();
}

bool CNexaWnd::RegisterClass(HINSTANCE instance, const std::string& className) {
  return Register(instance, Cp932ToWide(className).c_str(), CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW),
                  reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), LoadIconW(instance, MAKEINTRESOURCEW(IDI_NEXA)),
                  LoadSmallIcon(instance, MAKEINTRESOURCEW(IDI_SMALL)), MAKEINTRESOURCEW(IDC_NEXA));
}

bool CNexaWnd::Create(const std::string& className, const std::string& title) {
  trayMessage_ = RegisterWindowMessageA(peer::kSelectorTrayMessage);
  const RECT systemPlaced = {CW_USEDEFAULT, 0, CW_USEDEFAULT, 0};
  return Window::Create(instance_, Cp932ToWide(className).c_str(), title, WS_OVERLAPPEDWINDOW, 0, systemPlaced,
                        nullptr, nullptr) != nullptr;
}

std::string CNexaWnd::Text(UINT id) const { return LoadCp932String(instance_, id); }

LRESULT CNexaWnd::OnCreate(WPARAM, LPARAM) {
  // A shell that refuses the icon fails the creation. At an early start there
  // may be no notification area yet: the icon then comes when it does.
  if (!tray_.Add(Handle(), kTrayId, trayMessage_, LoadSmallIcon(instance_, L"NEXOIcon1"), Text(IDS_TIP_CHECKING_START)) &&
      TrayIcon::NotificationAreaExists())
    return -1;
  StartTimer(kReloadTimer, kReloadTimer, kReloadMs);
  StartTimer(kCheckTimer, kCheckTimer, kCheckMs);
  ReloadChannelList();
  return 0;
}

void CNexaWnd::Configure(SwitchMode mode, std::int32_t tagId) {
  selector_.SetMode(mode);
  selector_.SetTagId(tagId);
  configured_ = true;
}

bool CNexaWnd::StartListener(std::uint32_t interfaceAddress, const std::string& group, std::uint16_t port) {
  const bool started = listener_.Start(interfaceAddress, group, port);
  DebugPrintf("nexa: listener on %s:%u %s%s\n", group.c_str(), port, listener_.Running() ? "running" : "not running: ",
              listener_.Running() ? "" : listener_.Fault().c_str());
  return started;
}

void CNexaWnd::ReloadChannelList() {
  RegKey key;
  std::string path, error;
  if (!key.Open(peer::kSelectorKey, KEY_READ) || !key.ReadText(peer::kSelectorPathValue, &path)) {
    DebugPrintf("nexa: no channel list path; the table stays as it was\n");
    return;
  }
  if (!::ReloadChannelList(PlatformFiles(), path, &selector_.Table(), &error)) {
    DebugOut("nexa: channel list not reloaded: " + error + "\n");
    return;
  }
  DebugPrintf("nexa: channel list: %zu entries, default %d\n", selector_.Table().entries.size(),
              static_cast<int>(selector_.Table().defaultChannel));
}

LRESULT CNexaWnd::OnTimer(WPARAM id, LPARAM) {
  if (id == kReloadTimer) ReloadChannelList();
  if (id == kCheckTimer) CheckSessions();
  return 0;
}

void CNexaWnd::CheckSessions() {
  const int status = static_cast<int>(listener_.Status());
  if (status != lastStatus_) {
    lastStatus_ = status;
    DebugPrintf("nexa: listener status %d\n", status);
    UpdateTray();
  }
  // Nothing is switched before the selector's own settings are read.
  if (!configured_) return;
  std::string value;
  if (!ReadRouterSessions(&value)) {
    selector_.Check(nullptr, 0);
    return;
  }
  std::size_t count = 0;
  const std::vector<SessionRecord> sessions = DecodeSessions(value, &count);
  selector_.Check(&sessions, count);
}

void CNexaWnd::UpdateTray() {
  const bool receiving = lastStatus_ == static_cast<int>(ListenerStatus::Receiving);
  const std::string tip = receiving ? selector_.CurrentName() : Text(IDS_TIP_CHECKING);
  tray_.Modify(LoadSmallIcon(instance_, receiving ? L"NEXOIcon" : L"NEXOIcon1"), tip.substr(0, FitToBytes(tip, 120)));
}

bool CNexaWnd::SetSid(std::uint16_t sid) { return ovd_.SetSid(sid); }

bool CNexaWnd::SetSidWithTag(std::uint16_t sid, std::uint16_t tag) { return ovd_.SetSidWithTag(sid, tag); }

void CNexaWnd::ShowSetFailure() {
  DebugPrintf("nexa: setting the channel failed\n");
  // The check goes on under the message box; one box at a time.
  if (failureShown_) return;
  failureShown_ = true;
  ShowMessageBox(Handle(), Text(IDS_MSG_006_SET), Text(IDS_APP_TITLE), MB_OK | MB_ICONERROR);
  failureShown_ = false;
}

void CNexaWnd::PostAskCommand() { PostCommand(ID_ASK_SWITCH); }

void CNexaWnd::ShowChannelName(const std::string& name) {
  DebugOut("nexa: channel " + std::to_string(selector_.CurrentChannel()) + " \"" + name + "\"\n");
  if (lastStatus_ == static_cast<int>(ListenerStatus::Receiving)) UpdateTray();
}

LRESULT CNexaWnd::OnEnterIdle(WPARAM source, LPARAM dialog) {
  HWND w = reinterpret_cast<HWND>(dialog);
  if (source == MSGF_DIALOGBOX && w && GetForegroundWindow() != w) {
    SetForegroundWindow(w);
    SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  return 0;
}

LRESULT CNexaWnd::OnTray(WPARAM, LPARAM event) {
  switch (LOWORD(event)) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: ShowTrayMenu(); break;
    case WM_LBUTTONDBLCLK: PostCommand(ID_SETTINGS); break;
    default: break;
  }
  return 0;
}

void CNexaWnd::ShowTrayMenu() {
  const ScopedMenu menu(LoadMenuW(instance_, L"PopupMenu"));
  if (!menu) return;
  HMENU popup = GetSubMenu(menu.Get(), 0);
  SetMenuDefaultItem(popup, ID_SETTINGS, FALSE);
  POINT at;
  GetCursorPos(&at);
  // Foreground first, or the menu stays open after a click elsewhere.
  SetForegroundWindow(Handle());
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(
      popup, TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_CENTERALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr));
  PostMessageW(Handle(), WM_NULL, 0, 0);
  if (chosen) PostCommand(static_cast<int>(chosen));
}

void CNexaWnd::OnAbout() {
  if (aboutOpen_) return;
  aboutOpen_ = true;
  CNexaAboutDlg dialog;
  dialog.RunModal(instance_, IDD_ABOUTBOX, Handle());
  aboutOpen_ = false;
}

void CNexaWnd::OnSettings() {
  if (settingsOpen_) return;
  settingsOpen_ = true;
  CSettingsDlg dialog(instance_, static_cast<std::uint32_t>(selector_.Mode()),
                      [this] { return selector_.CurrentName(); });
  if (dialog.RunModal(instance_, IDD_SETTINGS, Handle()) == IDOK) {
    selector_.SetMode(static_cast<SwitchMode>(dialog.Mode()));
    DebugPrintf("nexa: mode %u\n", dialog.Mode());
  }
  settingsOpen_ = false;
}

void CNexaWnd::OnAskSwitch() {
  if (!selector_.BeginAsk()) return;
  // The dialog's loop runs the session check: the question stays about this
  // proposal, and the selector begins no other until it is answered.
  const Proposal asked = selector_.Asked();
  char question[1400];
  std::snprintf(question, sizeof question, Text(IDS_ASK_QUESTION).c_str(), asked.name.c_str());
  DebugOut("nexa: asking about channel " + std::to_string(asked.channel) + "\n");
  CAskSwitchDlg dialog(question);
  const INT_PTR answer = dialog.RunModal(instance_, IDD_ASK_SWITCH, Handle());
  if (!Handle()) return;   // the program ended under the dialog
  if (answer != IDYES && answer != IDNO) {
    DebugPrintf("nexa: question closed without an answer\n");
    selector_.Dismiss();
    return;
  }
  DebugPrintf("nexa: answer %s%s\n", answer == IDYES ? "yes" : "no", dialog.DontAskAgain() ? ", do not ask again" : "");
  selector_.Answer(answer == IDYES, dialog.DontAskAgain());
}

void CNexaWnd::OnExit() { Destroy(); }

void CNexaWnd::Run(HACCEL accelerators) {
  running_ = true;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!TranslateAcceleratorW(Handle(), accelerators, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  running_ = false;
}

void CNexaWnd::ShutDown() {
  if (shutDown_) return;
  shutDown_ = true;
  StopTimer(kReloadTimer);
  StopTimer(kCheckTimer);
  // The listener ends before the window and the sockets go.
  listener_.Stop();
  tray_.Remove();
  ovd_.Close();
}

LRESULT CNexaWnd::OnDestroy(WPARAM, LPARAM) {
  ShutDown();
  // A window that fails in its creation, or a start that fails later, is
  // destroyed before the start's message is shown: a WM_QUIT then would close
  // that message box at once.
  if (running_) PostQuitMessage(0);
  return 0;
}

// The session ends (logoff, shutdown): the process may be ended as soon as
// this returns, so the exit's work and writes are done now.
LRESULT CNexaWnd::OnEndSession(WPARAM ending, LPARAM) {
  if (!ending || !running_) return 0;
  DebugPrintf("nexa: the session ends\n");
  ShutDown();
  if (exitWrites_) exitWrites_();
  return 0;
}
