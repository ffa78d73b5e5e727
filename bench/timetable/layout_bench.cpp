// Layout of the timetable after a guide update, natively: a week of 2,000
// programs a day (14,000) over 60 channels, for each title kind: title rows
// with the lanes, the grid geometry, and a screen of hit tests. Printed beside
// the plain sort of the same records, the floor any layout needs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>
#include "planner/guide/guide_program.h"
#include "planner/timetable/grid_geometry.h"
#include "planner/timetable/title_rows.h"

namespace {

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

template <class F>
double Best(int runs, F f) {
  double best = 1e18;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    f();
    best = std::min(best, Ms(std::chrono::steady_clock::now() - start));
  }
  return best;
}

}  // namespace

int main() {
  constexpr int kDays = 7, kPerDay = 2000, kChannels = 60;
  constexpr Time32 kStart = 1000000800;
  std::mt19937 rng(7);
  std::vector<std::unique_ptr<GuideProgram>> owned;
  std::vector<GuideProgram*> guide;
  for (int i = 0; i < kDays * kPerDay; ++i) {
    auto p = std::make_unique<GuideProgram>();
    p->programNumber = i;
    p->startTime = kStart + static_cast<Time32>(rng() % (kDays * 86400));
    p->endTime = p->startTime + 300 + static_cast<Time32>(rng() % 5400);
    p->channelName = "ch" + std::to_string(rng() % kChannels);
    p->seriesName = "series" + std::to_string(rng() % 400);
    p->categoryForSort = "cat" + std::to_string(rng() % 20);
    p->categoryForSearch = p->categoryForSort + ",extra";
    guide.push_back(p.get());
    owned.push_back(std::move(p));
  }
  auto less = [](const GuideProgram* a, const GuideProgram* b) {
    return a->startTime != b->startTime ? a->startTime < b->startTime : a->endTime < b->endTime;
  };
  std::vector<GuideProgram*> shuffled = guide;
  const double sortMs = Best(5, [&] {
    std::vector<GuideProgram*> copy = shuffled;
    std::stable_sort(copy.begin(), copy.end(), less);
  });
  std::stable_sort(guide.begin(), guide.end(), less);

  GridInput grid;
  grid.charWidth = grid.charHeight = 16;
  grid.periodStart = grid.firstDayStart = kStart;
  grid.periodEnd = kStart + kDays * 86400;
  std::printf("timetable layout, %d programs (%d days x %d), %d channels; best of 5, ms\n", kDays * kPerDay, kDays,
              kPerDay, kChannels);
  std::printf("  %-10s %10s %10s %10s %12s %10s\n", "kind", "rows", "geometry", "total", "hit x1000", "sort floor");
  const char* names[] = {"", "series", "channel", "category"};
  for (std::int32_t kind : {kTitleSeries, kTitleChannel, kTitleCategory}) {
    TitleRowInput in;
    in.kind = kind;
    std::vector<TitleRow> rows;
    const double rowsMs = Best(5, [&] { rows = BuildTitleRows(guide, in); });
    GridGeometry g;
    const double geoMs = Best(5, [&] { g = GridGeometry(grid, rows); });
    std::size_t found = 0;
    const double hitMs = Best(5, [&] {
      for (int i = 0; i < 1000; ++i) {
        PixelRect cell;
        if (g.ProgramAt(rows, static_cast<std::int32_t>(rng() % static_cast<unsigned>(g.totalWidth)),
                        static_cast<std::int32_t>(rng() % static_cast<unsigned>(g.totalHeight)), &cell))
          ++found;
      }
    });
    std::printf("  %-10s %10.2f %10.3f %10.2f %12.2f %10.2f   (%zu columns, %zu hits)\n", names[kind], rowsMs, geoMs,
                rowsMs + geoMs, hitMs, sortMs, rows.size(), found);
  }
  std::printf("target: layout after a guide update under 20 ms\n");
  return 0;
}
