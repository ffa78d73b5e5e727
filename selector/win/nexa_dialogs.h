// The selector's dialogs: the question before a switch, the settings and the
// about box. Each is modal, owned by the hidden main window.
#pragma once
#include <functional>
#include <string>

#include "common/win/dialog.h"

// "NEXA - チャンネル切り替え": はい / いいえ, and the box "次回からこのダイアログを出さない".
class CAskSwitchDlg : public DialogImpl<CAskSwitchDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  explicit CAskSwitchDlg(std::string question) : question_(std::move(question)) {}
  bool DontAskAgain() const { return dontAskAgain_; }

  INT_PTR OnInitDialog(WPARAM, LPARAM);
  void OnYes() { Finish(IDYES); }
  void OnNo() { Finish(IDNO); }
  // The close box (or Esc) answers nothing: IDCANCEL, and the box is not read.
  void OnClose() { End(IDCANCEL); }

 private:
  void Finish(int answer);
  std::string question_;
  bool dontAskAgain_ = false;
};

// "NEXA - 設定": the switching mode and the channel now received.
class CSettingsDlg : public DialogImpl<CSettingsDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  static constexpr UINT_PTR kRefreshTimer = 55;
  // channelName gives the current name (cp932), empty when none.
  CSettingsDlg(HINSTANCE instance, std::uint32_t mode, std::function<std::string()> channelName)
      : instance_(instance), mode_(mode), channelName_(std::move(channelName)) {}
  std::uint32_t Mode() const { return mode_; }

  INT_PTR OnInitDialog(WPARAM, LPARAM);
  INT_PTR OnTimer(WPARAM, LPARAM);
  void OnOk();
  void OnCancel() { End(IDCANCEL); }

 private:
  void ShowChannel();
  HINSTANCE instance_;
  std::uint32_t mode_;
  std::function<std::string()> channelName_;
  UINT_PTR refreshTimer_ = 0;
};

class CNexaAboutDlg : public DialogImpl<CNexaAboutDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  INT_PTR OnInitDialog(WPARAM, LPARAM);
  void OnOk() { End(IDOK); }
};
