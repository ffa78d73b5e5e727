#include "planner/shell/settings_housekeeping.h"

#include <map>
#include <set>
#include <tuple>

#include "common/reception_result.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/shell/settings_folder_rules.h"

namespace {

const char* const kDelExecKey = "Environment\\DelExec";
// Its values, one per field of OldContentSettings (whose defaults they take).
constexpr const char* kOverWriteValue = "OverWrite";
constexpr const char* kErrorProgValue = "ErrorProg";
constexpr const char* kOldProgValue = "OldProg";
constexpr const char* kExecKindValue = "ExecKind";
constexpr const char* kPastDayValue = "PastDay";
constexpr const char* kExecHourValue = "ExecHour";
constexpr const char* kAskSecondsValue = "AskSeconds";
constexpr Time32 kDay = 24 * 3600;

std::uint32_t Read(const PlannerSettings& s, const char* name, std::uint32_t def) {
  return static_cast<std::uint32_t>(s.Int(kDelExecKey, name, static_cast<std::int32_t>(def)));
}
void Write(PlannerSettings& s, const char* name, std::uint32_t value) {
  s.SetInt(kDelExecKey, name, static_cast<std::int32_t>(value));
}

std::uint32_t Clamp(std::uint32_t v, std::uint32_t low, std::uint32_t high) { return v < low ? low : v > high ? high : v; }

// Content whose reception ended before this is old.
Time32 OldestKept(const OldContentSettings& s, Time32 now) {
  return now - static_cast<Time32>(Clamp(s.pastDay, kPastDayMin, kPastDayMax)) * kDay;
}

// What names one reception across two readings of the list.
using ItemKey = std::tuple<std::string, std::int32_t, std::int32_t, std::int32_t, Time32>;
ItemKey KeyOf(const ReceptionResult& i) {
  return {i.storageFolder, i.programNumber, i.subNumber, i.status, i.receivedUntil};
}

}  // namespace

OldContentSettings LoadOldContentSettings(const PlannerSettings& settings) {
  const OldContentSettings d;
  OldContentSettings s;
  s.overWrite = Read(settings, kOverWriteValue, d.overWrite) != 0;
  s.errorProg = Read(settings, kErrorProgValue, d.errorProg) != 0;
  s.oldProg = Read(settings, kOldProgValue, d.oldProg) != 0;
  s.execKind = Read(settings, kExecKindValue, d.execKind);
  if (s.execKind > kOldContentDaily) s.execKind = kOldContentOff;
  s.pastDay = Clamp(Read(settings, kPastDayValue, d.pastDay), kPastDayMin, kPastDayMax);
  s.execHour = Read(settings, kExecHourValue, d.execHour) % 24;
  s.askSeconds = Clamp(Read(settings, kAskSecondsValue, d.askSeconds), kAskSecondsMin, kAskSecondsMax);
  return s;
}

void SaveOldContentSettings(PlannerSettings& settings, const OldContentSettings& v) {
  Write(settings, kOverWriteValue, v.overWrite);
  Write(settings, kErrorProgValue, v.errorProg);
  Write(settings, kOldProgValue, v.oldProg);
  Write(settings, kExecKindValue, v.execKind);
  Write(settings, kPastDayValue, v.pastDay);
  Write(settings, kExecHourValue, v.execHour);
  Write(settings, kAskSecondsValue, v.askSeconds);
}

bool OldContentEnabled(const OldContentSettings& s) {
  return s.execKind != kOldContentOff && (s.overWrite || s.errorProg || s.oldProg);
}

OldContentChoice ChooseOldContent(const std::vector<ReceptionResult>& items, const OldContentSettings& s,
                                  const std::string& dataFolder, Time32 now) {
  OldContentChoice choice;
  if (!OldContentEnabled(s) || dataFolder.empty()) return choice;
  // The newest successful reception of each program number supersedes older ones.
  std::map<std::int32_t, Time32> newest;
  for (const ReceptionResult& item : items) {
    if (item.status != 1) continue;
    auto it = newest.find(item.programNumber);
    if (it == newest.end() || item.receivedUntil > it->second) newest[item.programNumber] = item.receivedUntil;
  }
  const Time32 oldest = OldestKept(s, now);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const ReceptionResult& item = items[i];
    const bool failed = item.status != 1;
    const bool picked = (s.errorProg && failed) || (s.oldProg && !failed && item.receivedUntil < oldest) ||
                        (s.overWrite && !failed && item.receivedUntil < newest[item.programNumber]);
    if (!picked) continue;
    if (!IsInsideFolder(dataFolder, item.storageFolder)) {
      ++choice.outsideDataFolder;
      continue;
    }
    choice.indices.push_back(i);
  }
  return choice;
}

Time32 NextOldContentRun(const OldContentSettings& s, Time32 now) {
  if (s.execKind != kOldContentDaily || !OldContentEnabled(s)) return 0;
  LocalTime t = BreakLocalTime(now);
  Time32 next = MakeLocalTime(t.year, t.month, t.day, static_cast<int>(s.execHour), 0, 0);
  if (next <= now) next = MakeLocalTime(t.year, t.month, t.day + 1, static_cast<int>(s.execHour), 0, 0);
  return next;
}

std::string OldContentQuestion(int count, const OldContentSettings& s, Time32 now) {
  std::string text = J(u8"受信済み番組 ") + std::to_string(count) + J(u8" 件のコンテンツを削除します。\n");
  if (s.oldProg) {
    text += J(u8"・") + FormatLocalTime(OldestKept(s, now), "%Y/%m/%d %H:%M") + J(u8" より前に受信した番組\n");
  }
  if (s.errorProg) text += J(u8"・受信に失敗した番組\n");
  if (s.overWrite) text += J(u8"・同じ番組を新しく受信して古くなったコンテンツ\n");
  text += J(u8"よろしいですか？（応答がないときは削除しません）");
  return text;
}

OldContentRun RunOldContentDeletion(ContentHistory& history, const OldContentSettings& settings,
                                    const std::string& dataFolder, Time32 now, const OldContentConfirm& confirm) {
  OldContentRun run;
  const std::vector<ReceptionResult> before = history.Items();
  const OldContentChoice choice = ChooseOldContent(before, settings, dataFolder, now);
  run.outsideDataFolder = choice.outsideDataFolder;
  if (choice.indices.empty()) return run;
  run.asked = static_cast<int>(choice.indices.size());
  if (!confirm || !confirm(OldContentQuestion(run.asked, settings, now))) {
    run.declined = true;
    return run;
  }
  std::set<ItemKey> named;
  for (std::size_t i : choice.indices) named.insert(KeyOf(before[i]));
  const std::vector<ReceptionResult> after = history.Items();
  std::vector<std::size_t> agreed;
  for (std::size_t i : ChooseOldContent(after, settings, dataFolder, now).indices) {
    if (named.count(KeyOf(after[i]))) agreed.push_back(i);
  }
  if (!agreed.empty()) run.deleted = history.DeleteContent(agreed);
  return run;
}
