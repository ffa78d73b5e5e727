// The keyword page's model (dialog 290): a working copy of the ten conditions
// and the copy they were opened (or last saved) with, the condition shown, and
// the save with its history update.
#pragma once
#include <string>
#include <vector>
#include "planner/reserve/keyword_conditions.h"

class PlannerSettings;

class KeywordPageModel {
 public:
  void Load(const PlannerSettings& settings);
  bool Loaded() const { return loaded_; }

  int Shown() const { return shown_; }
  // Switching keeps the edited values of the shown condition (they are stored
  // into the working copy as they change).
  void Show(int n);
  KeywordCondition& Working() { return working_[shown_]; }
  const KeywordConditions& WorkingAll() const { return working_; }

  void SetKeyword(const std::string& keyword) { Working().keyword = keyword; }
  void SetUse(bool on) { Working().use = on ? 1 : 0; }
  void SetApplyOnce(bool once) { Working().life = once ? 1 : 0; }
  // The two search radios are exclusive.
  void SetSearchTitle(bool title) {
    Working().name = title ? 1 : 0;
    Working().refer = title ? 0 : 1;
  }
  // Checked: the chosen channel (the first of the list when none is chosen);
  // unchecked: every channel.
  void SetChannelLimit(bool on, const std::string& chosen, const std::vector<std::string>& channels);

  // Any of use, life, name, refer, keyword, channel differs for any condition.
  bool Changed() const;
  // Writes all ten conditions and the updated history; apply-once conditions
  // are then shown disabled (the search pass that follows consumes them).
  void Save(PlannerSettings& settings);
  const std::vector<std::string>& History() const { return history_; }

 private:
  bool loaded_ = false;
  int shown_ = 0;
  KeywordConditions working_;
  KeywordConditions saved_;
  std::vector<std::string> history_;
};
