// guidecheck: the broadcaster's check of a guide before publishing it. Loads
// the days exactly as the planner would (server first when a location is
// given, the cache folder as fallback, the seven parse-time rules) and prints
// the resulting guide list as TSV, or the channel name list.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>
#include "common/files.h"
#include "common/text.h"
#include "common/time_text.h"
#include "planner/guide/guide_program.h"
#include "planner/guide/guide_store.h"
#include "tools/guidecheck/guide_table.h"
#include "tools/options/options.h"

namespace {

const char* const kRuleOptions[7] = {
    "--exclusive-channel", "--except-series",      "--except-category",  "--highlight-channel",
    "--highlight-series",  "--highlight-category", "--highlight-program",
};

const OptionTable kOptions = {
    {"cache", 0, "DIR", "the guide cache folder (required)"},
    {"first", 0, "YYYY-MM-DD", "the first day (required)"},
    {"days", 0, "N", "days to load, 1 to 366 (default 6)"},
    {"day-start", 0, "H", "the hour a guide day starts (default 4)"},
    {"location", 0, "URL", "the guide server; the cache is then updated as the planner does"},
    {"channels", 0, nullptr, "print the channel name list instead, one per line"},
    {"idle-limit", 0, "MS", "bound on a body that stops (default 30000)"},
    {"body-limit", 0, "MS", "bound on a body that never ends (default 120000)"},
    // The rules, comma-separated lists as the planner's settings hold them;
    // kRuleOptions names them in the same order.
    {"exclusive-channel", 0, "LIST", "the exclusive-channel rule's list"},
    {"except-series", 0, "LIST", "the except-series rule's list"},
    {"except-category", 0, "LIST", "the except-category rule's list"},
    {"highlight-channel", 0, "LIST", "the highlight-channel rule's list"},
    {"highlight-series", 0, "LIST", "the highlight-series rule's list"},
    {"highlight-category", 0, "LIST", "the highlight-category rule's list"},
    {"highlight-program", 0, "LIST", "the highlight-program rule's list"},
};

std::string HelpText() {
  return "usage: guidecheck --cache DIR --first YYYY-MM-DD [--days N] [--day-start H]\n"
         "                  [--location URL] [--channels] [rule options]\n"
         "Loads N days (default 6) of guide files gd%y%m%d.dpn from the first day on: from\n"
         "URL when given (the cache is then updated as the planner does), else from DIR.\n"
         "Prints one TSV line per program in guide order: programNumber, subNumber,\n"
         "start, end, receiverVersion, speed, totalKbyte, highlight, channelName,\n"
         "seriesName, categoryForSort, categoryForSearch, name, digest.\n"
         "Rule options take comma-separated lists, as the planner's settings hold them.\n\n" +
         OptionHelp(kOptions);
}

bool ParseDate(const std::string& text, int* y, int* m, int* d) {
  return std::sscanf(text.c_str(), "%d-%d-%d", y, m, d) == 3 && *m >= 1 && *m <= 12 && *d >= 1 && *d <= 31;
}

void Write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

struct CheckOptions {
  std::string cache, location;
  std::string rules[7];
  int days = 6;
  Time32 firstDay = 0;
  HttpLimits limits;
  bool channels = false;
};

// The options; -1 when they are good, else the exit code.
int ParseCommandLine(const std::vector<std::string>& args, CheckOptions* o) {
  Options opts;
  std::string e;
  if (!opts.Parse(args, kOptions, &e)) return UsageError("guidecheck", e);
  if (opts.Help()) {
    PrintText(stdout, HelpText());
    return 0;
  }
  if (!opts.Positional().empty()) return UsageError("guidecheck", "unexpected argument '" + opts.Positional()[0] + "'");
  int dayStart = 4;
  if (!opts.Required("cache", &e) || !opts.Required("first", &e) || !opts.Int("days", 1, 366, 6, &o->days, &e) ||
      !opts.Int("day-start", 0, 23, 4, &dayStart, &e) ||
      !opts.Int("idle-limit", 1, 86400000, o->limits.idleMs, &o->limits.idleMs, &e) ||
      !opts.Int("body-limit", 1, 86400000, o->limits.bodyMs, &o->limits.bodyMs, &e))
    return UsageError("guidecheck", e);
  int y = 0, m = 0, d = 0;
  if (!ParseDate(opts.Text("first"), &y, &m, &d))
    return UsageError("guidecheck", "--first: '" + opts.Text("first") + "' is not a date YYYY-MM-DD");
  o->firstDay = MakeLocalTime(y, m, d, dayStart, 0, 0);
  if (o->firstDay == kNoTime) return UsageError("guidecheck", "--first: '" + opts.Text("first") + "' is outside 1970..2037");
  o->cache = opts.Text("cache");
  o->location = opts.Text("location");
  o->channels = opts.Has("channels");
  for (int k = 0; k < 7; ++k) o->rules[k] = opts.Text(kRuleOptions[k] + 2);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  if (!StartTool("guidecheck", argc, argv, &args)) return 2;
  CheckOptions o;
  const int parsed = ParseCommandLine(args, &o);
  if (parsed >= 0) return parsed;

  GuideStore store(PlatformFiles());
  store.SetRules(BuildGuideRules(o.rules));
  store.FetchOptions().limits = o.limits;
  store.progress = [&](int day, int count) {
    std::fprintf(stderr, "guidecheck: day %d of %d\n", day + 1, count);
  };
  bool loaded = store.LoadGuideDays(o.location, o.firstDay, o.days, o.cache);
  Write(o.channels ? ChannelTable(store.Channels()) : GuideTable(store.Guide()));
  std::fprintf(stderr, "guidecheck: %zu programs from %d days%s\n", store.Guide().Size(), o.days,
               store.LastLoadFetchFailed() ? " (the server failed for some days; their cached files were used)" : "");
  return loaded ? 0 : 1;
}
