#include "selector/channel_selector.h"

namespace {
constexpr std::uint16_t kNoService = 0xFFFF;
}

void ChannelSelector::Check(const std::vector<SessionRecord>* sessions, std::size_t recordCount) {
  if (!sessions) {
    lastMatched_ = false;
    currentName_.clear();
    return;
  }
  const MatchResult m = MatchSessions(table_, *sessions, current_);
  if (recordCount > previousCount_) questionPending_ = false;
  previousCount_ = recordCount;
  if (!m.found) {
    if (current_ != table_.defaultChannel) {
      current_ = table_.defaultChannel;
      SetDefaultChannel();
    }
    currentName_ = table_.defaultName;
    host_.ShowChannelName(currentName_);
    lastMatched_ = false;
    return;
  }
  const bool previousMatched = lastMatched_;
  lastMatched_ = true;
  if (!m.proposed) return;   // the first wanted session is on the current channel
  if (m.agree || !previousMatched || mode_ == SwitchMode::Automatic) {
    SwitchTo(m.proposal);
  } else if (mode_ == SwitchMode::Ask && !questionPending_) {
    // The question is about this proposal, even if later seconds propose
    // another one while the dialog is up.
    questionPending_ = true;
    pending_ = m.proposal;
    host_.PostAskCommand();
  }
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
  const std::uint16_t sid = static_cast<std::uint16_t>(p.channel);
  const bool ok = tagId_ < 0 ? host_.SetSid(sid) : host_.SetSidWithTag(sid, static_cast<std::uint16_t>(tagId_));
  if (!ok) host_.ShowSetFailure();
  currentName_ = p.name;
  host_.ShowChannelName(currentName_);
  questionPending_ = false;
}

bool ChannelSelector::BeginAsk() {
  if (pending_.channel == lastAsked_) return false;   // stays pending until the count grows
  lastAsked_ = pending_.channel;
  return true;
}

void ChannelSelector::Answer(bool yes, bool dontAskAgain) {
  if (dontAskAgain) mode_ = yes ? SwitchMode::Automatic : SwitchMode::Never;
  if (yes) SwitchTo(pending_);
  questionPending_ = false;
}
