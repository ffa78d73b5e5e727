#include "selector/channel_selector.h"

namespace {
constexpr std::uint16_t kNoService = 0xFFFF;
}

// The host's calls that may show a message (a failed set) come last on every
// path: the session check runs again inside that message's loop, and what it
// decides there must not be overwritten by the rest of the outer check.

void ChannelSelector::Check(const std::vector<SessionRecord>* sessions, std::size_t recordCount) {
  if (!sessions) {
    lastMatched_ = false;
    currentName_.clear();
    return;
  }
  const MatchResult m = MatchSessions(table_, *sessions, current_);
  if (recordCount > previousCount_) {
    // A new session: the question, and a "no" given to it, are forgotten.
    questionPending_ = false;
    lastAsked_ = -1;
  }
  previousCount_ = recordCount;
  if (!m.found) {
    lastMatched_ = false;
    if (current_ != table_.defaultChannel) {
      current_ = table_.defaultChannel;
      channelName_ = table_.defaultName;
      ShowName(table_.defaultName);
      SetDefaultChannel();
      return;
    }
    ShowName(table_.defaultName);
    return;
  }
  const bool previousMatched = lastMatched_;
  lastMatched_ = true;
  // The board is still on the current channel, whatever a second without the
  // sessions showed.
  if (currentName_ != channelName_) ShowName(channelName_);
  if (!m.proposed) return;   // the first wanted session is on the current channel
  if (m.agree || !previousMatched || mode_ == SwitchMode::Automatic) {
    SwitchTo(m.proposal);
  } else if (mode_ == SwitchMode::Ask && !questionPending_) {
    questionPending_ = true;
    pending_ = m.proposal;
    host_.PostAskCommand();
  }
}

void ChannelSelector::ShowName(const std::string& name) {
  currentName_ = name;
  host_.ShowChannelName(currentName_);
}

void ChannelSelector::SetDefaultChannel() {
  bool ok;
  if (current_ < 0) {
    ok = host_.SetSid(kNoService);
  } else if (tagId_ < 0) {
    // Without a tag id the default is set like any other channel: a tag of
    // 0xFFFF would replace the board's own.
    ok = host_.SetSid(static_cast<std::uint16_t>(current_));
  } else {
    ok = host_.SetSidWithTag(static_cast<std::uint16_t>(current_), static_cast<std::uint16_t>(tagId_));
  }
  if (!ok) host_.ShowSetFailure();
}

void ChannelSelector::SwitchTo(const Proposal& p) {
  current_ = p.channel;
  channelName_ = p.name;
  questionPending_ = false;
  const std::uint16_t sid = static_cast<std::uint16_t>(p.channel);
  const bool ok = tagId_ < 0 ? host_.SetSid(sid) : host_.SetSidWithTag(sid, static_cast<std::uint16_t>(tagId_));
  ShowName(p.name);
  if (!ok) host_.ShowSetFailure();
}

bool ChannelSelector::BeginAsk() {
  if (asking_) return false;                           // one question at a time
  if (pending_.channel == lastAsked_) return false;   // stays pending until the count grows
  lastAsked_ = pending_.channel;
  asked_ = pending_;
  asking_ = true;
  return true;
}

void ChannelSelector::Answer(bool yes, bool dontAskAgain) {
  asking_ = false;
  questionPending_ = false;
  if (dontAskAgain) mode_ = yes ? SwitchMode::Automatic : SwitchMode::Never;
  if (yes && asked_.channel != current_) SwitchTo(asked_);
}

void ChannelSelector::Dismiss() {
  asking_ = false;
  questionPending_ = false;
}
