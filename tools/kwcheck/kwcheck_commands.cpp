// kwcheck: why did (or would) a keyword search reserve a program?
//   norm TEXT          the folded codes of TEXT
//   match EXPR TEXT    1 (exit 0) when EXPR matches TEXT, else 0 (exit 1)
//   guide ...          the programs of a cached guide that EXPR picks
#include "tools/kwcheck/kwcheck_commands.h"

#include <cstdio>

#include "common/files.h"
#include "common/text.h"
#include "common/time_text.h"
#include "planner/guide/guide_program.h"
#include "planner/guide/guide_store.h"
#include "planner/reserve/keyword_conditions.h"
#include "planner/reserve/keyword_search.h"
#include "planner/reserve/keyword_text.h"
#include "tools/guidecheck/guide_table.h"
#include "tools/options/options.h"

namespace {

const char kUsage[] =
    "usage: kwcheck norm TEXT\n"
    "       kwcheck match EXPR TEXT\n"
    "       kwcheck guide --cache DIR --first YYYY-MM-DD [--days N] [--day-start H]\n"
    "                     [--refer] [--channel NAME] EXPR\n"
    "norm prints the folded codes of TEXT as the keyword search compares them: one\n"
    "4-digit hex word per character (upper case folded in).\n"
    "match prints 1 and exits 0 when every part of EXPR (parts joined by \" & \")\n"
    "occurs in TEXT, else prints 0 and exits 1.\n"
    "guide loads N days (default 6) of cached guide files gd%y%m%d.dpn from DIR and\n"
    "prints the programs EXPR picks, one TSV line each: programNumber, subNumber,\n"
    "start, name. It searches titles, or descriptions with --refer, limited to one\n"
    "channel with --channel; reservations, history and end times are ignored.\n"
    "Arguments are UTF-8 (the active code page under Windows).\n";

const OptionTable kGuideOptions = {
    {"cache", 0, "DIR", "the guide cache folder (required)"},
    {"first", 0, "YYYY-MM-DD", "the first day (required)"},
    {"days", 0, "N", "days to load, 1 to 366 (default 6)"},
    {"day-start", 0, "H", "the hour a guide day starts (default 4)"},
    {"refer", 0, nullptr, "search the descriptions instead of the titles"},
    {"channel", 0, "NAME", "only the programs of this channel"},
};

std::string HelpText() { return kUsage + std::string("\nguide options:\n") + OptionHelp(kGuideOptions); }

KwcheckResult Usage(const std::string& error) {
  KwcheckResult r;
  r.exitCode = 2;
  r.err = "kwcheck: " + Cp932ToUtf8(error) + "\n" + HelpText();
  return r;
}

KwcheckResult Help() {
  KwcheckResult r;
  r.out = HelpText();
  return r;
}

KwcheckResult Norm(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage("norm takes one TEXT");
  KwcheckResult r;
  r.out = FoldedHex(NormaliseText(args[1], true)) + "\n";
  return r;
}

KwcheckResult Match(const std::vector<std::string>& args) {
  if (args.size() != 3) return Usage("match takes EXPR and TEXT");
  KwcheckResult r;
  const bool match = MatchAll(KeywordList(args[1]), args[2]);
  r.out = match ? "1\n" : "0\n";
  r.exitCode = match ? 0 : 1;
  return r;
}

bool ParseDate(const std::string& text, int* y, int* m, int* d) {
  char tail = 0;
  return std::sscanf(text.c_str(), "%4d-%2d-%2d%c", y, m, d, &tail) == 3 && *m >= 1 && *m <= 12 && *d >= 1 &&
         *d <= 31;
}

KwcheckResult Guide(const std::vector<std::string>& args) {
  Options options;
  std::string error;
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (!options.Parse(rest, kGuideOptions, &error)) return Usage(error);
  if (options.Help()) return Help();
  if (!options.Required("cache", &error) || !options.Required("first", &error)) return Usage(error);
  std::int64_t days = 0, dayStart = 0;
  if (!options.Integer("days", 1, 366, 6, &days, &error) || !options.Integer("day-start", 0, 23, 4, &dayStart, &error)) {
    return Usage(error);
  }
  int y = 0, m = 0, d = 0;
  if (!ParseDate(options.Text("first"), &y, &m, &d)) {
    return Usage("--first '" + options.Text("first") + "' is not a date YYYY-MM-DD");
  }
  if (options.Positional().size() != 1) return Usage("guide takes one EXPR");

  KeywordCondition condition;
  condition.keyword = options.Positional()[0];
  condition.use = 1;
  condition.refer = options.Has("refer") ? 1 : 0;
  condition.name = condition.refer ? 0 : 1;
  condition.channel = options.Text("channel");
  const KeywordList keywords(condition.keyword);

  KwcheckResult r;
  FileSystem& fs = PlatformFiles();
  if (!fs.IsFolder(options.Text("cache"))) {
    r.exitCode = 2;
    r.err = "kwcheck: the cache folder '" + Cp932ToUtf8(options.Text("cache")) + "' does not exist\n";
    return r;
  }
  GuideStore store(fs);
  const Time32 first = MakeLocalTime(y, m, d, static_cast<int>(dayStart), 0, 0);
  store.LoadGuideDays(std::string(), first, static_cast<int>(days), options.Text("cache"));
  int picked = 0;
  for (const GuideProgram* p : store.Guide().Ordered()) {
    if (!ConditionPicks(condition, keywords, *p)) continue;
    ++picked;
    r.out += std::to_string(p->programNumber) + "\t" + std::to_string(p->subNumber) + "\t" +
             FormatLocalTime(p->startTime, "%Y-%m-%d %H:%M") + "\t" + EscapeField(p->name) + "\n";
  }
  r.err = "kwcheck: " + std::to_string(picked) + " of " + std::to_string(store.Guide().Size()) +
          " programs picked\n";
  return r;
}

}  // namespace

KwcheckResult RunKwcheck(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("a command is needed");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") return Help();
  if (command == "norm") return Norm(args);
  if (command == "match") return Match(args);
  if (command == "guide") return Guide(args);
  return Usage("unknown command '" + command + "'");
}
