// The once-a-second decision of the selector: which channel the board should
// carry for the wanted sessions, and whether to switch, ask or hold. The
// window program supplies the board and the user interface through
// SelectorHost; everything here runs on its user-interface thread.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "selector/channel_list.h"
#include "selector/session_match.h"

enum class SwitchMode : std::uint32_t { Automatic = 0, Ask = 1, Never = 2 };

class SelectorHost {
 public:
  virtual ~SelectorHost() = default;
  virtual bool SetSid(std::uint16_t sid) = 0;                        // OvdSetSid
  virtual bool SetSidWithTag(std::uint16_t sid, std::uint16_t tag) = 0;  // OvdSetSid2, or OvdSetSid + OvdSetTagId
  virtual void ShowSetFailure() = 0;        // the running "006" message
  virtual void PostAskCommand() = 0;        // command 32773 to the own window
  virtual void ShowChannelName(const std::string& name) = 0;   // tray tip while receiving
};

class ChannelSelector {
 public:
  ChannelSelector(SelectorHost& host, SwitchMode mode, std::int32_t tagId) : host_(host), mode_(mode), tagId_(tagId) {}

  ChannelTable& Table() { return table_; }
  SwitchMode Mode() const { return mode_; }
  void SetMode(SwitchMode mode) { mode_ = mode; }
  void SetTagId(std::int32_t tagId) { tagId_ = tagId; }
  std::int32_t CurrentChannel() const { return current_; }
  const std::string& CurrentName() const { return currentName_; }
  bool QuestionPending() const { return questionPending_; }
  const Proposal& Pending() const { return pending_; }

  // One second's check. sessions is null when the routing driver's value could
  // not be read (no decision this second).
  void Check(const std::vector<SessionRecord>* sessions, std::size_t recordCount);

  // Command 32773: true when the question about Pending() is to be shown now.
  // From then until Answer or Dismiss the question is about Asked(), whatever
  // later seconds propose, and no second question is begun.
  bool BeginAsk();
  const Proposal& Asked() const { return asked_; }
  bool Asking() const { return asking_; }
  // The user's answer about Asked(); with dontAskAgain the mode becomes
  // Automatic (yes) or Never (no).
  void Answer(bool yes, bool dontAskAgain);
  // The question was closed without an answer: the channel and the mode stay.
  void Dismiss();

 private:
  void SetDefaultChannel();
  void SwitchTo(const Proposal& p);
  void ShowName(const std::string& name);

  SelectorHost& host_;
  SwitchMode mode_;
  std::int32_t tagId_;
  ChannelTable table_;
  std::int32_t current_ = -1;
  std::string currentName_;   // shown; empty after a second without the sessions
  std::string channelName_;   // the name of the channel last set
  Proposal pending_;
  Proposal asked_;
  std::int32_t lastAsked_ = -1;
  bool asking_ = false;
  bool questionPending_ = false;
  std::size_t previousCount_ = 0;
  bool lastMatched_ = false;
};
