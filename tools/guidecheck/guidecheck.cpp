// guidecheck: the broadcaster's check of a guide before publishing it. Loads
// the days exactly as the planner would (server first when a location is
// given, the cache folder as fallback, the seven parse-time rules) and prints
// the resulting guide list as TSV, or the channel name list.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "common/files.h"
#include "common/text.h"
#include "common/time_text.h"
#include "planner/guide/guide_program.h"
#include "planner/guide/guide_store.h"
#include "tools/guidecheck/guide_table.h"
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

const char* const kRuleOptions[7] = {
    "--exclusive-channel", "--except-series",      "--except-category",  "--highlight-channel",
    "--highlight-series",  "--highlight-category", "--highlight-program",
};

void Usage(FILE* out) {
  std::fprintf(out,
               "usage: guidecheck --cache DIR --first YYYY-MM-DD [--days N] [--day-start H]\n"
               "                  [--location URL] [--channels] [rule options]\n"
               "Loads N days (default 6) of guide files gd%%y%%m%%d.dpn from the first day on: from\n"
               "URL when given (the cache is then updated as the planner does), else from DIR.\n"
               "Prints one TSV line per program in guide order: programNumber, subNumber,\n"
               "start, end, receiverVersion, speed, totalKbyte, highlight, channelName,\n"
               "seriesName, categoryForSort, categoryForSearch, name, digest.\n"
               "--channels prints the channel name list instead, one per line.\n"
               "--idle-limit MS and --body-limit MS bound a body that stops or never ends\n"
               "(defaults 30000 and 120000).\n"
               "Rule options (comma-separated lists, as the planner's settings hold them):\n");
  for (const char* o : kRuleOptions) std::fprintf(out, "  %s LIST\n", o);
}

// Arguments as cp932 texts, whatever the console's code page.
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  (void)argv;
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  for (int i = 0; wide && i < n; ++i) args.push_back(WideToCp932(wide[i]));
  if (wide) LocalFree(wide);
  if (args.empty()) args.assign(1, "guidecheck");
  (void)argc;
#else
  for (int i = 0; i < argc; ++i) args.push_back(Utf8ToCp932(argv[i]));
#endif
  return args;
}

bool ParseDate(const std::string& text, int* y, int* m, int* d) {
  return std::sscanf(text.c_str(), "%d-%d-%d", y, m, d) == 3 && *m >= 1 && *m <= 12 && *d >= 1 && *d <= 31;
}

void Write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::vector<std::string> args = Arguments(argc, argv);
  std::string cache, first, location;
  std::string rules[7];
  int days = 6, dayStart = 4;
  HttpLimits limits;
  bool channels = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "guidecheck: %s needs a value\n", a.c_str());
        std::exit(2);
      }
      return args[++i];
    };
    bool rule = false;
    for (int k = 0; k < 7; ++k) {
      if (a == kRuleOptions[k]) {
        rules[k] = value();
        rule = true;
      }
    }
    if (rule) continue;
    if (a == "--cache") cache = value();
    else if (a == "--first") first = value();
    else if (a == "--days") days = std::atoi(value().c_str());
    else if (a == "--day-start") dayStart = std::atoi(value().c_str());
    else if (a == "--location") location = value();
    else if (a == "--channels") channels = true;
    else if (a == "--idle-limit") limits.idleMs = std::atoi(value().c_str());
    else if (a == "--body-limit") limits.bodyMs = std::atoi(value().c_str());
    else if (a == "--help" || a == "-h") { Usage(stdout); return 0; }
    else {
      std::fprintf(stderr, "guidecheck: unknown option '%s'\n", a.c_str());
      Usage(stderr);
      return 2;
    }
  }
  int y = 0, m = 0, d = 0;
  if (cache.empty() || !ParseDate(first, &y, &m, &d)) {
    std::fprintf(stderr, "guidecheck: --cache DIR and --first YYYY-MM-DD are required\n");
    Usage(stderr);
    return 2;
  }
  if (days < 1 || days > 366 || dayStart < 0 || dayStart > 23 || limits.idleMs <= 0 || limits.bodyMs <= 0) {
    std::fprintf(stderr, "guidecheck: --days must be 1..366, --day-start 0..23 and the limits above 0\n");
    return 2;
  }

  GuideStore store(PlatformFiles());
  store.SetRules(BuildGuideRules(rules));
  store.FetchOptions().limits = limits;
  store.progress = [&](int day, int count) {
    std::fprintf(stderr, "guidecheck: day %d of %d\n", day + 1, count);
  };
  const Time32 firstDay = MakeLocalTime(y, m, d, dayStart, 0, 0);
  bool loaded = store.LoadGuideDays(location, firstDay, days, cache);
  Write(channels ? ChannelTable(store.Channels()) : GuideTable(store.Guide()));
  std::fprintf(stderr, "guidecheck: %zu programs from %d days%s\n", store.Guide().Size(), days,
               store.LastLoadFetchFailed() ? " (the server failed for some days; their cached files were used)" : "");
  return loaded ? 0 : 1;
}
