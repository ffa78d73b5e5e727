// The planner's one-minute refresh on a full data set: 7 cached guide days of
// 2,000 programs each, 200 reservation files and 1,000 result records. Prints
// the document load, the first collection, and the refresh the frame timer
// runs every minute (reservation rebuild + result collection + marks) and the
// full refresh of command 32798, each against the 50 ms budget of one minute's
// work on the user-interface thread.
//
//   planner_bench              measures in a temporary folder
//   planner_bench --write DIR  only writes the data set into DIR/{sched,hist,data}
//                              (bench/planner/run.sh starts Tavora.exe on it)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include "common/clock.h"
#include "common/files.h"
#include "common/reception_result.h"
#include "common/reservation_file.h"
#include "common/settings.h"
#include "planner/guide/guide_store.h"
#include "planner/history/history_doc.h"
#include "planner/history/reception_history.h"
#include "planner/reserve/reservation_files.h"
#include "planner/timetable/tavora_doc.h"
#include "tests/planner/guide/guide_markup.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {
constexpr int kDays = 7;
constexpr int kProgramsPerDay = 2000;
constexpr int kReservations = 200;
constexpr int kResults = 1000;
constexpr double kBudgetMs = 50.0;

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string GuideText(Time32 t) { return FormatLocalTime(t, "%Y/%m/%d %H:%M"); }

struct DataSet {
  std::string sched, hist, data;
};

DataSet Folders(const std::string& root) {
  FileSystem& fs = PlatformFiles();
  DataSet d{root + "\\sched", root + "\\hist", root + "\\data"};
  for (const std::string& f : {d.sched, d.hist, d.data}) CreateFolderPath(fs, f);
  return d;
}

// Program i of day `day` starts at day start + (i * 37 mod 1380) minutes.
Time32 StartOf(Time32 firstDay, int day, int i) {
  return firstDay + day * 86400 + static_cast<Time32>((i * 37) % 1380) * 60;
}
int NumberOf(int day, int i) { return 100000 + day * kProgramsPerDay + i; }

void WriteDataSet(const DataSet& d, Time32 firstDay) {
  FileSystem& fs = PlatformFiles();
  for (int day = 0; day < kDays; ++day) {
    std::vector<MarkupProgram> programs(kProgramsPerDay);
    for (int i = 0; i < kProgramsPerDay; ++i) {
      MarkupProgram& p = programs[static_cast<std::size_t>(i)];
      p.programNumber = std::to_string(NumberOf(day, i));
      p.channel = "ch" + std::to_string(i % 12);
      p.series = "series" + std::to_string(i % 97);
      p.name = "program " + p.programNumber;
      p.digest = "a description of program " + p.programNumber;
      const Time32 start = StartOf(firstDay, day, i);
      p.schedules[0].start = GuideText(start);
      p.schedules[0].end = GuideText(start + (30 + i % 3 * 15) * 60);
    }
    fs.WriteAll(WithBackslash(d.hist) + GuideDayFileName(firstDay + day * 86400), DayMarkup(programs));
  }
  for (int r = 0; r < kReservations; ++r) {
    const int day = r % kDays, i = (r * 67) % kProgramsPerDay;
    GuideProgram p;
    p.programNumber = NumberOf(day, i);
    p.subNumber = 1;
    p.startTime = StartOf(firstDay, day, i);
    p.endTime = p.startTime + (30 + i % 3 * 15) * 60;
    p.name = "program " + std::to_string(p.programNumber);
    p.address = "239.192.1.1";
    p.port = 5000;
    p.sid = 1;
    WriteReservationFile(fs, d.sched, BuildReservationRecord(p, d.data + "\\r" + std::to_string(r), false, 1000 + r));
  }
  for (int n = 0; n < kResults; ++n) {
    ReceptionResult res;
    res.status = kResultSuccess;
    res.programNumber = NumberOf(n % kDays, (n * 13) % kProgramsPerDay);
    res.subNumber = 1;
    res.scheduledStart = StartOf(firstDay, n % kDays, (n * 13) % kProgramsPerDay) - 7 * 86400;
    res.scheduledEnd = res.scheduledStart + 1800;
    res.receivedFrom = res.scheduledStart + n;
    res.receivedUntil = res.scheduledEnd;
    res.name = "program";
    res.storageFolder = d.data + "\\f" + std::to_string(n);
    res.port = 5000;
    res.address = "239.192.1.1";
    fs.WriteAll(WithBackslash(d.hist) + ResultFileName(n), EncodeResult(res));
  }
}

std::string TempRoot() {
#ifdef _WIN32
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  std::string root = std::string(base) + "planner_bench";
  CreateDirectoryA(root.c_str(), nullptr);
  return root;
#else
  char name[] = "/tmp/planner_bench.XXXXXX";
  return mkdtemp(name);
#endif
}

Time32 FirstDay(Time32 now) {
  const LocalTime lt = BreakLocalTime(now);
  return MakeLocalTime(lt.year, lt.month, lt.day - (lt.hour < 4 ? 1 : 0), 4, 0, 0);
}
}  // namespace

int main(int argc, char** argv) {
  const Time32 now = SystemClock().Now();
  if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
    WriteDataSet(Folders(argv[2]), FirstDay(now));
    return 0;
  }
  const std::string root = TempRoot();
  const DataSet d = Folders(root);
  WriteDataSet(d, FirstDay(now));

  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings(*store);
  settings.SetText("Schedule", "DataPath", d.sched);
  settings.SetText("temp", "DataPath", d.hist);
  settings.SetInt("Environment", "Display days", kDays);
  PlannerDocHooks hooks;
  FileSystem& fs = PlatformFiles();
  CTavoraDoc doc(settings, fs, SystemClock(), hooks);
  ReceptionHistory history(fs, doc.Now());
  ReservationList list;

  auto t0 = std::chrono::steady_clock::now();
  doc.OnNewDocument();
  const double loadMs = Ms(std::chrono::steady_clock::now() - t0);
  t0 = std::chrono::steady_clock::now();
  RebuildReservations(fs, d.sched, doc.Guide().Guide(), doc.dayStartHour, list, true);
  CollectIntoDocument(history, doc);
  const double firstMs = Ms(std::chrono::steady_clock::now() - t0);

  auto refresh = [&](bool full) {
    RebuildReservations(fs, d.sched, doc.Guide().Guide(), doc.dayStartHour, list, full);
    CollectIntoDocument(history, doc);
    list.LayOutLanes();
    doc.reservations.clear();
    for (const ReservationEntry& e : list.Entries())
      doc.reservations.push_back(ReservationMark{e.startTime, e.endTime, e.record.programNumber, e.record.subNumber});
    doc.UpdateProgramMarks();
  };
  constexpr int kRuns = 20;
  double minuteBest = 1e9, fullBest = 1e9, minuteSum = 0, fullSum = 0;
  for (int r = 0; r < kRuns; ++r) {
    t0 = std::chrono::steady_clock::now();
    refresh(false);
    const double m = Ms(std::chrono::steady_clock::now() - t0);
    t0 = std::chrono::steady_clock::now();
    refresh(true);
    const double f = Ms(std::chrono::steady_clock::now() - t0);
    minuteBest = std::min(minuteBest, m), fullBest = std::min(fullBest, f);
    minuteSum += m, fullSum += f;
  }
  std::printf("planner_bench: %zu programs in %d days, %zu reservations listed, %zu received entries\n",
              doc.Programs().Size(), kDays, list.Size(), history.Entries().size());
#ifdef NDEBUG
  std::printf("build: Release (NDEBUG)\n");
#else
  std::printf("build: with debug checks (not a figure to quote; use bench/build.sh)\n");
#endif
  std::printf("document load (7 days parsed from the cache)   %8.1f ms\n", loadMs);
  std::printf("first rebuild + collection of 1000 records      %8.1f ms\n", firstMs);
  std::printf("one-minute refresh (timer)     best %6.2f ms  mean %6.2f ms  = %4.2f of the %.0f ms budget\n",
              minuteBest, minuteSum / kRuns, minuteSum / kRuns / kBudgetMs, kBudgetMs);
  std::printf("full refresh (command 32798)   best %6.2f ms  mean %6.2f ms  = %4.2f of the %.0f ms budget\n",
              fullBest, fullSum / kRuns, fullSum / kRuns / kBudgetMs, kBudgetMs);
  ClearFolder(fs, root);
  fs.RemoveFolder(root);
  return 0;
}
