#include "planner/shell/settings_keyword_page.h"

#include "common/settings.h"

void KeywordPageModel::Load(const PlannerSettings& settings) {
  for (int n = 0; n < kKeywordConditionCount; ++n) working_[n] = AsShownOnPage(ReadKeywordCondition(settings, n));
  saved_ = working_;
  history_ = ReadKeywordHistory(settings);
  shown_ = 0;
  loaded_ = true;
}

void KeywordPageModel::Show(int n) {
  if (n >= 0 && n < kKeywordConditionCount) shown_ = n;
}

void KeywordPageModel::SetChannelLimit(bool on, const std::string& chosen, const std::vector<std::string>& channels) {
  if (!on) {
    Working().channel.clear();
  } else if (!chosen.empty()) {
    Working().channel = chosen;
  } else if (!channels.empty()) {
    Working().channel = channels.front();
  }
}

bool KeywordPageModel::Changed() const {
  for (int n = 0; n < kKeywordConditionCount; ++n) {
    if (working_[n] != saved_[n]) return true;
  }
  return false;
}

void KeywordPageModel::Save(PlannerSettings& settings) {
  for (int n = 0; n < kKeywordConditionCount; ++n) {
    // A condition the user left alone keeps the use the search pass gave it:
    // an apply-once condition a pass has used up is not switched on again, and
    // one a pass has not reached yet is not switched off by a second save.
    if (working_[n] == saved_[n]) working_[n].use = ReadKeywordCondition(settings, n).use;
    WriteKeywordCondition(settings, n, working_[n]);
  }
  history_ = UpdateKeywordHistory(history_, working_);
  WriteKeywordHistory(settings, history_);
  for (KeywordCondition& c : working_) {
    if (c.ApplyOnce()) c.use = 0;
  }
  saved_ = working_;
}
