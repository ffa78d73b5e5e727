// The keyword reservation pass over generated guides of 1k, 10k and 100k
// programs with ten active conditions that match nothing (the worst case:
// every condition is tried on every title and description). Printed beside
// it: folding every title and description once, the floor of any pass, and
// how the pass grows with the guide (linear: about 10-fold per step).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/reserve/keyword_conditions.h"
#include "planner/reserve/keyword_search.h"
#include "planner/reserve/keyword_text.h"

namespace {

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

class NoReserver : public KeywordReserver {
 public:
  bool CompleteDetail(GuideProgram&) override { return false; }
  bool Reserve(GuideProgram&, const std::string&, const std::string&) override { return false; }
};

void Fill(GuideList& guide, int n) {
  const std::string words[] = {J(u8"ニュース"), J(u8"天気"), J(u8"スポーツ"), J(u8"ドラマ"), J(u8"音楽"), "ABC", J(u8"ｱﾆﾒ")};
  for (int i = 0; i < n; ++i) {
    auto p = std::make_unique<GuideProgram>();
    p->programNumber = i;
    p->subNumber = 1;
    p->name = words[i % 7] + J(u8"特集 第") + std::to_string(i) + J(u8"回（再）");
    p->digest = J(u8"今日の") + words[(i + 3) % 7] + J(u8"をお届けします。ゲストはＡＢＣの皆さんです。") + std::to_string(i);
    p->channelName = "ch" + std::to_string(i % 12);
    p->startTime = 1000 + i;
    p->endTime = 100000000;
    guide.Add(std::move(p));
  }
  guide.Ordered();
}

}  // namespace

int main() {
  std::printf("keyword search pass, ten conditions matching nothing (native Release tree expected)\n");
  std::printf("%8s %12s %12s %10s %10s\n", "programs", "pass ms", "fold ms", "pass/fold", "growth");
  double previous = 0;
  for (int n : {1000, 10000, 100000}) {
    GuideList guide;
    Fill(guide, n);
    std::unique_ptr<Settings> store = CreateMemorySettings();
    PlannerSettings settings(*store);
    for (int c = 0; c < kKeywordConditionCount; ++c) {
      KeywordCondition k;
      k.keyword = J(u8"存在しない") + std::to_string(c) + " & ABC";
      k.use = 1;
      k.name = 1;
      k.refer = 1;
      WriteKeywordCondition(settings, c, k);
    }
    KeywordSearchInput input;
    input.dataFolder = "C:\\DATA";
    NoReserver reserver;
    double pass = 1e9, fold = 1e9;
    for (int run = 0; run < 3; ++run) {
      auto start = std::chrono::steady_clock::now();
      ApplyKeywordSearch(settings, guide, input, reserver);
      pass = std::min(pass, Seconds(std::chrono::steady_clock::now() - start));
      std::size_t codes = 0;
      start = std::chrono::steady_clock::now();
      for (const GuideProgram* p : guide.Ordered()) {
        codes += NormaliseText(p->name, true).size() + NormaliseText(p->digest, true).size();
      }
      fold = std::min(fold, Seconds(std::chrono::steady_clock::now() - start));
      if (codes == 0) std::printf("no codes\n");
    }
    std::printf("%8d %12.2f %12.2f %10.1f %10s\n", n, pass * 1e3, fold * 1e3, pass / fold,
                previous > 0 ? std::to_string(pass / previous).substr(0, 5).c_str() : "-");
    previous = pass;
  }
  return 0;
}
