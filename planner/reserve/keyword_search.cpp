// The keyword reservation pass.
#include "planner/reserve/keyword_search.h"

#include <vector>

#include "common/reservation_file.h"
#include "common/debug_log.h"
#include "common/storage_folder.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/reserve/keyword_conditions.h"
#include "planner/reserve/keyword_text.h"

namespace {

struct ActiveCondition {
  KeywordCondition condition;
  KeywordList keywords;
};

// The conditions of this pass; apply-once conditions are disabled as they are read.
std::vector<ActiveCondition> TakeConditions(PlannerSettings& settings) {
  std::vector<ActiveCondition> active;
  for (int n = 0; n < kKeywordConditionCount; ++n) {
    KeywordCondition c = ReadKeywordCondition(settings, n);
    if (c.Active()) active.push_back({c, KeywordList(c.keyword)});
    if (c.ApplyOnce()) DisableKeywordCondition(settings, n);
  }
  return active;
}

std::string NameUpToBreak(const std::string& name) {
  std::size_t end = name.find_first_of("\r\n\t");
  return name.substr(0, end);
}

}  // namespace

std::string KeywordStorageFolder(const std::string& dataFolder, const GuideProgram& program) {
  std::string holder = program.holder.empty() ? NameUpToBreak(program.name) : program.holder;
  // The holder comes from the broadcaster's detail file (or from a title): it
  // may only name a place inside the data folder.
  std::string folder;
  const HolderProblem problem = StorageFolderForHolder(dataFolder, holder, &folder);
  if (problem != HolderProblem::None)
    DebugPrintf("Keyword reservation skipped: the holder \"%s\" of program %d %s\n", holder.c_str(),
                program.programNumber, HolderProblemText(problem));
  return folder;
}

bool ConditionPicks(const KeywordCondition& condition, const KeywordList& keywords, const GuideProgram& program) {
  if (!condition.channel.empty() && condition.channel != program.channelName) return false;
  if (condition.name == 1 && MatchAll(keywords, program.name)) return true;
  return condition.refer == 1 && MatchAll(keywords, program.digest);
}

namespace {

// Whether any active condition picks the program; each text is folded once
// per program, however many conditions try it.
bool Picked(const std::vector<ActiveCondition>& active, const GuideProgram& program) {
  FoldedText name, digest;
  bool nameFolded = false, digestFolded = false;
  for (const ActiveCondition& a : active) {
    const KeywordCondition& c = a.condition;
    if (!c.channel.empty() && c.channel != program.channelName) continue;
    if (c.name == 1) {
      if (!nameFolded) {
        name = NormaliseText(program.name, true);
        nameFolded = true;
      }
      if (MatchAll(a.keywords, name)) return true;
    }
    if (c.refer == 1) {
      if (!digestFolded) {
        digest = NormaliseText(program.digest, true);
        digestFolded = true;
      }
      if (MatchAll(a.keywords, digest)) return true;
    }
  }
  return false;
}

}  // namespace

bool ApplyKeywordSearch(PlannerSettings& settings, GuideList& guide, const KeywordSearchInput& input,
                        KeywordReserver& reserver, KeywordSearchReport* report) {
  KeywordSearchReport local;
  KeywordSearchReport& r = report ? *report : local;
  r = KeywordSearchReport();
  // No guide yet (a start before the first download): nothing is searched, and
  // an apply-once condition waits for a guide instead of being used up here.
  if (guide.Empty()) return false;
  const std::vector<ActiveCondition> active = TakeConditions(settings);
  if (active.empty()) return false;

  // First every program the conditions pick, then their details: the count of
  // details to complete is known before the first (maybe slow) one.
  std::vector<GuideProgram*> picked;
  for (GuideProgram* program : guide.Ordered()) {
    if (program->state != kStateNormal || program->endTime <= input.now) continue;
    if (!Picked(active, *program)) continue;
    if (input.receivedSuccessfully && input.receivedSuccessfully(program->programNumber, program->subNumber)) continue;
    picked.push_back(program);
  }
  int missing = 0;
  for (const GuideProgram* program : picked) missing += program->address.empty() ? 1 : 0;

  bool reserved = false;
  int checked = 0;
  for (GuideProgram* program : picked) {
    if (program->address.empty()) {
      reserver.Checking(++checked, missing);
      if (!reserver.CompleteDetail(*program) || program->address.empty()) {
        ++r.skippedNoDetail;
        continue;
      }
    }
    const std::string folder = KeywordStorageFolder(input.dataFolder, *program);
    if (folder.empty()) {
      ++r.skippedUnsafeHolder;
      continue;
    }
    const std::string fileName = KeywordReservationFileName(program->startTime, program->programNumber);
    if (!reserver.Reserve(*program, folder, fileName)) {
      ++r.skippedWriteFailed;
      continue;
    }
    ++r.reserved;
    reserved = true;
  }
  return reserved;
}
