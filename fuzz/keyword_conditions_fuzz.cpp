// Keyword conditions as any program (or hand) may leave them in the registry:
// texts of any bytes, flags of any value. The search pass, the folding and the
// keyword history must take them without reading outside their bytes, and a
// folded text must match itself.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/reserve/keyword_conditions.h"
#include "planner/reserve/keyword_search.h"
#include "planner/reserve/keyword_text.h"

namespace {

// Whether a cp932 path has a drive colon or a component that Windows reads as
// ".." (dots and blanks with two dots or more); trail bytes are no separators.
bool Climbs(const std::string& path) {
  std::string part;
  auto climbing = [](const std::string& p) {
    int dots = 0;
    for (char c : p) {
      if (c == '.') ++dots;
      else if (c != ' ') return false;
    }
    return dots >= 2;
  };
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(c) && i + 1 < path.size()) {
      part += path.substr(i++, 2);
    } else if (c == '\\' || c == '/') {
      if (climbing(part)) return true;
      part.clear();
    } else if (c == ':') {
      return true;
    } else {
      part += static_cast<char>(c);
    }
  }
  return climbing(part);
}

class CountingReserver : public KeywordReserver {
 public:
  bool CompleteDetail(GuideProgram& p) override {
    p.address = "239.0.0.1";
    return (p.programNumber & 1) == 0;
  }
  bool Reserve(GuideProgram& p, const std::string& folder, const std::string&) override {
    // Nothing outside the data folder: no climbing component may survive.
    if (folder.compare(0, 8, "C:\\DATA\\") != 0 || Climbs(folder.substr(8))) std::abort();
    p.state = kStateReserved;
    return true;
  }
};

// Splits the input at 0x00 bytes: the pieces feed texts in turn.
std::vector<std::string> Pieces(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) pieces.emplace_back();
    else pieces.back() += static_cast<char>(data[i]);
  }
  return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4 || size > 4096) return 0;
  const std::vector<std::string> pieces = Pieces(data + 4, size - 4);
  auto piece = [&](std::size_t i) -> const std::string& { return pieces[i % pieces.size()]; };

  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings(*store);
  for (int n = 0; n < kKeywordConditionCount; ++n) {
    const std::string number = std::to_string(n);
    settings.SetText("Search", "SearchKey" + number, piece(n * 2));
    settings.SetText("Search", "CheckChannel" + number, n % 3 == 0 ? piece(n * 2 + 1) : std::string());
    settings.SetInt("Search", "CheckUse" + number, static_cast<std::int32_t>(data[0] >> (n % 8) & 3) - 1);
    settings.SetInt("Search", "CheckLife" + number, data[1] >> (n % 8) & 1);
    settings.SetInt("Search", "CheckName" + number, data[2] >> (n % 8) & 1);
    settings.SetInt("Search", "CheckRefer" + number, data[3] >> (n % 8) & 1);
    settings.SetText("Search\\List", "Key0" + number, piece(n + 3));
  }

  for (const std::string& text : pieces) {
    const FoldedText folded = NormaliseText(text, true);
    if (folded.size() > text.size()) std::abort();
    if (!folded.empty() && !MatchKeyword(folded, folded)) std::abort();
    KeywordList list(text);
    MatchAll(list, piece(1));
  }

  GuideList guide;
  for (int i = 0; i < 6; ++i) {
    auto p = std::make_unique<GuideProgram>();
    p->programNumber = i;
    p->subNumber = 1;
    p->name = piece(i + 1);
    p->digest = piece(i + 2);
    p->holder = piece(i + 5);
    p->channelName = piece(1);
    p->startTime = 100;
    p->endTime = 200;
    guide.Add(std::move(p));
  }
  KeywordSearchInput input;
  input.now = 50;
  input.dataFolder = "C:\\DATA";
  CountingReserver reserver;
  ApplyKeywordSearch(settings, guide, input, reserver);
  for (int n = 0; n < kKeywordConditionCount; ++n) {
    if (ReadKeywordCondition(settings, n).life != 0 && ReadKeywordCondition(settings, n).use != 0) std::abort();
  }

  std::vector<std::string> history = UpdateKeywordHistory(ReadKeywordHistory(settings), ReadKeywordConditions(settings));
  if (history.size() > static_cast<std::size_t>(kKeywordHistoryLimit)) std::abort();
  WriteKeywordHistory(settings, history);
  return 0;
}
