// The keyword reservation pass: every stored condition is applied to the guide
// and each program it matches is reserved as a manual reservation would be,
// without dialogs or capacity questions.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "common/time_text.h"

class GuideList;
class PlannerSettings;
struct GuideProgram;

// What a keyword reservation needs of the manual reservation's code.
class KeywordReserver {
 public:
  virtual ~KeywordReserver() = default;
  // Completes the program's transmission details from its detail file (server,
  // then the cached copy); true when the program has an address afterwards.
  virtual bool CompleteDetail(GuideProgram& program) = 0;
  // Writes the reservation (clear-folder off) as fileName into the schedule
  // folder and lists it: the entry is inserted in order, the reserved total
  // grows and the program's state becomes 1. False when the file could not be
  // created; nothing changes then.
  virtual bool Reserve(GuideProgram& program, const std::string& storageFolder, const std::string& fileName) = 0;
  // Told before each CompleteDetail: the pass is at the index-th (from 1) of
  // the total picked programs whose detail is still missing, so that a long
  // run of fetches can show how far it has come.
  virtual void Checking(int /*index*/, int /*total*/) {}
};

struct KeywordSearchInput {
  Time32 now = 0;          // calibrated: system time + TimeError
  std::string dataFolder;  // root of the storage folders
  // True when the received list holds a successful reception of the program.
  std::function<bool(std::int32_t programNumber, std::int32_t subNumber)> receivedSuccessfully;
};

struct KeywordSearchReport {
  int reserved = 0;
  int skippedUnsafeHolder = 0;  // holder that would leave the data folder
  int skippedNoDetail = 0;
  int skippedWriteFailed = 0;
};

// The storage folder of a keyword reservation: data folder + "\" + holder, an
// empty holder replaced by the name up to its first CR, LF or TAB. Empty when
// the holder would lead outside the data folder (absolute, a drive, "..").
std::string KeywordStorageFolder(const std::string& dataFolder, const GuideProgram& program);

// Whether a condition (already known to be active) picks the program: channel
// limit, then the title, then the description.
class KeywordList;
struct KeywordCondition;
bool ConditionPicks(const KeywordCondition& condition, const KeywordList& keywords, const GuideProgram& program);

// One pass over the guide. Apply-once conditions are consumed (CheckUse 0)
// whether or not they match; over an empty guide there is no pass and nothing
// is consumed. True when at least one reservation was made.
bool ApplyKeywordSearch(PlannerSettings& settings, GuideList& guide, const KeywordSearchInput& input,
                        KeywordReserver& reserver, KeywordSearchReport* report = nullptr);
