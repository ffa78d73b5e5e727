// Parses and orders generated guides of 1k, 10k and 100k programs and prints
// the time, the throughput and how the time grows with the size (a quadratic
// list build would grow 100-fold per step; n log n grows a little over 10-fold).
// Beside it, the walk-from-the-head insertion for the sizes where it finishes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "planner/guide/guide_parser.h"
#include "planner/guide/guide_program.h"
#include "tests/planner/guide/guide_markup.h"

namespace {

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Best of `runs` parse-and-order passes over text.
double TimeParse(const std::string& text, int runs, std::size_t* records) {
  double best = 1e9;
  for (int r = 0; r < runs; ++r) {
    GuideList list;
    ChannelNameList channels;
    auto start = std::chrono::steady_clock::now();
    ParseGuideText(text, GuideRules(), list, channels);
    *records = list.Ordered().size();
    best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
  }
  return best;
}

// The list built by walking from the head for every record.
double TimeHeadWalk(const std::string& text) {
  GuideList parsed;
  ChannelNameList channels;
  ParseGuideText(text, GuideRules(), parsed, channels);
  std::vector<const GuideProgram*> arrivals;
  for (const GuideProgram* p : parsed.Ordered()) arrivals.push_back(p);
  auto start = std::chrono::steady_clock::now();
  std::vector<const GuideProgram*> list;
  for (const GuideProgram* r : arrivals) {
    auto it = list.begin();
    while (it != list.end() && !((*it)->startTime > r->startTime ||
                                 ((*it)->startTime == r->startTime && (*it)->endTime > r->endTime) ||
                                 ((*it)->startTime == r->startTime && (*it)->endTime == r->endTime &&
                                  (*it)->programNumber > r->programNumber)))
      ++it;
    list.insert(it, r);
  }
  return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  const int largest = argc > 1 ? std::atoi(argv[1]) : 100000;
  std::printf("%10s %12s %10s %10s %8s %13s %8s\n", "programs", "bytes", "seconds", "MB/s", "growth", "head-walk s",
              "growth");
  double previous = 0, previousWalk = 0;
  bool ok = true;
  double last = 0;
  for (int n = 1000; n <= largest; n *= 10) {
    const std::string text = GeneratedDay(n);
    std::size_t records = 0;
    double t = TimeParse(text, n >= 100000 ? 3 : 5, &records);
    if (records != static_cast<std::size_t>(n)) {
      std::printf("expected %d records, got %zu\n", n, records);
      ok = false;
    }
    char growth[32] = "-";
    if (previous > 0) std::snprintf(growth, sizeof growth, "x%.1f", t / previous);
    char walk[32] = "(not run)", walkGrowth[32] = "-";
    if (n <= 10000) {
      double w = TimeHeadWalk(text);
      std::snprintf(walk, sizeof walk, "%.4f", w);
      if (previousWalk > 0) std::snprintf(walkGrowth, sizeof walkGrowth, "x%.1f", w / previousWalk);
      previousWalk = w;
    }
    std::printf("%10d %12zu %10.4f %10.1f %8s %13s %8s\n", n, text.size(), t, text.size() / t / 1e6, growth, walk,
                walkGrowth);
    previous = t;
    last = t;
  }
  std::printf("target: 100000 programs parsed and ordered in under 0.3 s: %s (%.3f s)\n",
              last < 0.3 ? "met" : "NOT met", last);
  return ok ? 0 : 1;
}
