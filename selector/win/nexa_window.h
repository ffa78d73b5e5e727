// CNexaWnd: the selector's hidden main window "NEXA". It owns the tray icon,
// the channel list reload (timer 1123) and the session check (timer 1124),
// the liveness listener, and acts on the board through the library binding.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/win/tray_icon.h"
#include "common/win/window.h"
#include "selector/announce_listener.h"
#include "selector/channel_selector.h"

class Clock;
class OvdBinding;

class CNexaWnd : public WindowImpl<CNexaWnd>, public SelectorHost {
 public:
  static const MessageEntry kMessages[];
  static const RegisteredEntry kRegistered[];
  static const CommandEntry kCommands[];
  static constexpr UINT_PTR kReloadTimer = 1123;
  static constexpr UINT kReloadMs = 180000;
  static constexpr UINT_PTR kCheckTimer = 1124;
  static constexpr UINT kCheckMs = 1000;

  CNexaWnd(HINSTANCE instance, OvdBinding& ovd, const Clock& clock);
  ~CNexaWnd() override;
  CNexaWnd(const CNexaWnd&) = delete;
  CNexaWnd& operator=(const CNexaWnd&) = delete;

  static bool RegisterClass(HINSTANCE instance, const std::string& className);
  // Creates the hidden window; false when the tray icon could not be added.
  // A start that fails after this ends the window with Destroy(): the icon
  // goes before the message is shown, and no WM_QUIT is left to close that
  // message.
  bool Create(const std::string& className, const std::string& title);
  // The message loop of a start that succeeded; from here on the window's
  // end ends the loop.
  void Run(HACCEL accelerators);
  // What the end of the program writes; also run when the session ends, as
  // the process may then be ended without its loop returning.
  void SetExitWrites(std::function<void()> writes) { exitWrites_ = std::move(writes); }

  // After the settings are read: the session check starts deciding.
  void Configure(SwitchMode mode, std::int32_t tagId);
  SwitchMode Mode() const { return selector_.Mode(); }
  bool StartListener(std::uint32_t interfaceAddress, const std::string& group, std::uint16_t port);

  // SelectorHost
  bool SetSid(std::uint16_t sid) override;
  bool SetSidWithTag(std::uint16_t sid, std::uint16_t tag) override;
  void ShowSetFailure() override;
  void PostAskCommand() override;
  void ShowChannelName(const std::string& name) override;

 private:
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnTimer(WPARAM, LPARAM);
  LRESULT OnEnterIdle(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnEndSession(WPARAM, LPARAM);
  void ShutDown();
  LRESULT OnTray(WPARAM, LPARAM);
  void OnAbout();
  void OnExit();
  void OnSettings();
  void OnAskSwitch();

  void ReloadChannelList();
  void CheckSessions();
  void UpdateTray();
  void ShowTrayMenu();
  std::string Text(UINT id) const;

  HINSTANCE instance_;
  OvdBinding& ovd_;
  UINT trayMessage_ = 0;
  // The tip keeps the 64-character limit (with its end) of older shells.
  TrayIcon tray_{63};
  ChannelSelector selector_;
  AnnounceListener listener_;
  bool configured_ = false;
  bool running_ = false;
  bool shutDown_ = false;
  std::function<void()> exitWrites_;
  int lastStatus_ = -1;
  bool settingsOpen_ = false;
  bool aboutOpen_ = false;
  bool failureShown_ = false;
};
