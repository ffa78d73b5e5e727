// nexa.exe: start-up and end of the channel selector. One copy runs (event
// "NEXA_RUNNING"); each failed step of the start shows its numbered message
// and ends the program.
#include <winsock2.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "board_interface.h"
#include "common/clock.h"
#include "common/debug_log.h"
#include "common/peer_names.h"
#include "common/sockets.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/message_box.h"
#include "common/win/scoped_win.h"
#include "nexa_window.h"
#include "ovd_binding.h"
#include "resource.h"
#include "selector/announce_listener.h"
#include "selector_registry.h"

// The installer ends a running selector with the tray menu's own exit command.
static_assert(IDM_EXIT == peer::kCmdSelectorExit, "the selector's exit command and the one posted to it differ");

namespace {

class SocketsSession {
 public:
  bool Start() { return started_ = InitSockets(); }
  ~SocketsSession() {
    if (started_) WSACleanup();
  }

 private:
  bool started_ = false;
};

bool Silenced(const char* commandLine) {
  return std::strstr(commandLine, "/s") != nullptr || std::strstr(commandLine, "/S") != nullptr;
}

int Fail(HINSTANCE instance, UINT message) {
  DebugPrintf("nexa: start ends with message %u\n", message - IDS_MSG_001 + 1);
  ShowMessageBox(nullptr, LoadCp932String(instance, message), LoadCp932String(instance, IDS_APP_TITLE),
                 MB_OK | MB_ICONERROR);
  return 1;
}

std::string Dotted(std::uint32_t networkOrder) {
  return std::to_string(networkOrder & 0xFF) + "." + std::to_string((networkOrder >> 8) & 0xFF) + "." +
         std::to_string((networkOrder >> 16) & 0xFF) + "." + std::to_string(networkOrder >> 24);
}

struct Config {
  SwitchMode mode = SwitchMode::Ask;
  std::int32_t tagId = -1;
  std::string group = kDefaultAnnounceGroup;
  std::uint16_t port = kDefaultAnnouncePort;
};

bool ReadConfig(Config* c) {
  RegKey key;
  if (!key.Open(peer::kSelectorKey, KEY_READ)) return false;
  std::uint32_t value = 0;
  // Only 0-2 are modes: anything else (a text "0" reads as 0x30) keeps the
  // default, which is then what is written back at exit.
  if (key.ReadFourBytes(peer::kSelectorModeValue, &value)) {
    if (value <= static_cast<std::uint32_t>(SwitchMode::Never)) c->mode = static_cast<SwitchMode>(value);
    else DebugPrintf("nexa: Mode %u is no mode; %u is used\n", value, static_cast<unsigned>(c->mode));
  }
  if (key.ReadDword(peer::kSelectorTagIdValue, &value)) c->tagId = static_cast<std::int32_t>(value);
  if (c->tagId < -1 || c->tagId > 0xFFFF) c->tagId = -1;
  std::string group;
  if (key.ReadText(peer::kSelectorGroupValue, &group) && !group.empty()) c->group = group;
  if (key.ReadDword(peer::kSelectorPortValue, &value)) {
    if (value >= 1 && value <= 65535) c->port = static_cast<std::uint16_t>(value);
    else DebugPrintf("nexa: PORT %u is no port; %u is used\n", value, c->port);
  }
  return true;
}

int Run(HINSTANCE instance, const char* commandLine) {
  ScopedHandle running(CreateEventA(nullptr, FALSE, FALSE, peer::kSelectorRunningEvent));
  if (running.Get() && GetLastError() == ERROR_ALREADY_EXISTS) {
    if (!Silenced(commandLine))
      ShowMessageBox(nullptr, LoadCp932String(instance, IDS_ALREADY_RUNNING), LoadCp932String(instance, IDS_APP_TITLE),
                     MB_OK | MB_ICONERROR);
    return 0;
  }
  SocketsSession sockets;
  if (!sockets.Start()) return Fail(instance, IDS_MSG_001);
  OvdBinding ovd;
  if (!ovd.Bind()) return Fail(instance, IDS_MSG_002);

  const std::string title = LoadCp932String(instance, IDS_APP_TITLE);
  const std::string className = LoadCp932String(instance, IDC_NEXA);
  CNexaWnd::RegisterClass(instance, className);
  CNexaWnd window(instance, ovd, SystemClock());
  if (!window.Create(className, title)) return Fail(instance, IDS_MSG_003);

  // From here a failed start takes the window (and its icon) down before its message.
  const auto failAfterWindow = [&](UINT message) {
    window.Destroy();
    return Fail(instance, message);
  };
  std::uint8_t board[8] = {};
  if (!ovd.GetMacAddress(board)) return failAfterWindow(IDS_MSG_007);
  std::string seen;
  const std::uint32_t address = FindBoardInterface(board, &seen);
  DebugPrintf("nexa: board %02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x, interface %s (adapters: %s)\n", board[0],
              board[1], board[2], board[3], board[4], board[5], board[6], board[7], Dotted(address).c_str(),
              seen.c_str());
  if (address == 0) return failAfterWindow(IDS_MSG_004);

  Config config;
  if (!ReadConfig(&config)) return failAfterWindow(IDS_MSG_005);
  // The routing driver's key belongs to its setup: without it there is no
  // driver to tell the interface, and nexa must not make a key of its own.
  RegKey router;
  if (!router.Open(peer::kRouterKey, KEY_READ | KEY_WRITE)) return failAfterWindow(IDS_MSG_006);
  router.WriteDword(peer::kRouterInterfaceValue, address);
  window.Configure(config.mode, config.tagId);
  window.StartListener(address, config.group, config.port);
  ShowWindow(window.Handle(), SW_HIDE);

  const auto exitWrites = [&window, &router] {
    RegKey config2;
    if (config2.Open(peer::kSelectorKey, KEY_WRITE))
      config2.WriteFourBytes(peer::kSelectorModeValue, static_cast<std::uint32_t>(window.Mode()));
    router.WriteDword(peer::kRouterInterfaceValue, 0);
  };
  window.SetExitWrites(exitWrites);
  window.Run(LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_NEXA)));
  exitWrites();
  DebugPrintf("nexa: ended\n");
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) { return Run(instance, commandLine); }
