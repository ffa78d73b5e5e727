// Deletion of old received content, as the values under "Environment\DelExec"
// ask for it. Off unless the user turns it on. It only ever deletes content
// that the received list holds and whose storage folder lies inside the data
// folder; the deleting itself (the content's own file list, RsvData.log) is
// the reception history's.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "common/time_text.h"

class PlannerSettings;
struct ReceptionResult;

// ExecKind: when the deletion runs.
enum OldContentExecKind : std::uint32_t {
  kOldContentOff = 0,
  kOldContentAtStart = 1,  // once at every planner start
  kOldContentDaily = 2,    // every day at ExecHour
};

struct OldContentSettings {
  std::uint32_t overWrite = 0;  // 1: delete content superseded by a newer reception of the same program
  std::uint32_t errorProg = 0;  // 1: delete what failed or incomplete receptions left
  std::uint32_t oldProg = 0;    // 1: delete content received more than PastDay days ago
  std::uint32_t execKind = kOldContentOff;
  std::uint32_t pastDay = 10;   // days, 1..365
  std::uint32_t execHour = 0;   // 0..23
  // How long the question before a deletion waits for an answer; nobody
  // answering means nothing is deleted.
  std::uint32_t askSeconds = 30;
  bool operator==(const OldContentSettings& o) const {
    return overWrite == o.overWrite && errorProg == o.errorProg && oldProg == o.oldProg && execKind == o.execKind &&
           pastDay == o.pastDay && execHour == o.execHour && askSeconds == o.askSeconds;
  }
};
constexpr std::uint32_t kPastDayMin = 1, kPastDayMax = 365;
// Long enough to read the question, short enough that an unattended planner
// is not blocked for long.
constexpr std::uint32_t kAskSecondsMin = 5, kAskSecondsMax = 600;

OldContentSettings LoadOldContentSettings(const PlannerSettings& settings);
void SaveOldContentSettings(PlannerSettings& settings, const OldContentSettings& values);
// Whether any rule is on and a time is set.
bool OldContentEnabled(const OldContentSettings& s);

struct OldContentChoice {
  std::vector<std::size_t> indices;  // into the items, in list order
  int outsideDataFolder = 0;         // entries a rule picked but that lie outside the data folder
};

// Which entries the rules pick at `now` (calibrated), from the result records
// of the received list in list order.
OldContentChoice ChooseOldContent(const std::vector<ReceptionResult>& items, const OldContentSettings& settings,
                                  const std::string& dataFolder, Time32 now);

// The next run after `now`: for the daily kind the next ExecHour:00 (today's
// when it is still ahead); 0 when the deletion does not run by the clock.
Time32 NextOldContentRun(const OldContentSettings& settings, Time32 now);

// The received list as the deletion needs it (the history's list and its
// content deletion behind it).
class ContentHistory {
 public:
  virtual ~ContentHistory() = default;
  virtual std::vector<ReceptionResult> Items() const = 0;
  // Deletes the content of the chosen entries and retires them into the log;
  // returns how many were retired.
  virtual int DeleteContent(const std::vector<std::size_t>& indices) = 0;
};

// The question asked before deleting `count` entries (cp932): how many, and
// which rules picked them (the date before which "old" begins).
std::string OldContentQuestion(int count, const OldContentSettings& settings, Time32 now);

// Asks the question (cp932); true only when the user agreed.
using OldContentConfirm = std::function<bool(const std::string& question)>;

struct OldContentRun {
  int asked = 0;  // entries the question named (0: nothing to delete, nobody asked)
  bool declined = false;
  int deleted = 0;
  int outsideDataFolder = 0;
};
// Chooses, asks, and deletes only what the user agreed to: the list may
// change while the question is open (a collection runs meanwhile), so the
// entries are chosen again afterwards and only those that were named in the
// question and are still chosen are deleted.
OldContentRun RunOldContentDeletion(ContentHistory& history, const OldContentSettings& settings,
                                    const std::string& dataFolder, Time32 now, const OldContentConfirm& confirm);
