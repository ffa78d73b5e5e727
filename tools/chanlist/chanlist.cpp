#include "tools/chanlist/chanlist.h"

#include <cstdint>
#include <ctime>

#include "common/files.h"
#include "common/text.h"
#include "selector/channel_list.h"
#include "selector/session_match.h"
#include "tools/options/options.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  chanlist scramble IN OUT [--seed N] [--utf8] [--lenient]\n"
    "      writes the plain list IN as the scrambled container OUT (seed byte,\n"
    "      big-endian length, text XOR key stream); --utf8 converts a UTF-8 IN to\n"
    "      code page 932 first; a malformed line is an error unless --lenient\n"
    "  chanlist unscramble IN OUT [--utf8]\n"
    "      writes the plain text of the container IN to OUT (--utf8: as UTF-8)\n"
    "  chanlist show FILE [--plain]\n"
    "      prints default<TAB>CHANNEL<TAB>NAME, then one line per entry as the\n"
    "      selector stores it: index, network, mask, lowPort, highPort, channel,\n"
    "      name; skipped lines are reported as FILE:LINE on stderr (exit 1)\n"
    "  chanlist match FILE ADDR:PORT... [--plain] [--current N]\n"
    "      prints the channel the sessions map to, whether they agree, and the\n"
    "      selector's proposal for a board now on channel N (default -1)\n"
    "key stream: first key byte = seed * 0x9B (mod 256); each next key byte =\n"
    "previous * 0x3D (mod 256) with its two 4-bit halves swapped.\n"
    "names are printed as UTF-8.\n"
    "exit status: 0 done, 1 a file is bad or cannot be written, 2 usage\n";

const OptionTable kOptions = {
    {"seed", 0, "N", "scramble: the seed byte, 0 to 255 (default: from the clock)"},
    {"utf8", 0, nullptr, "scramble: IN is UTF-8; unscramble: write OUT as UTF-8"},
    {"lenient", 0, nullptr, "scramble: skip malformed lines instead of failing"},
    {"plain", 0, nullptr, "show, match: FILE is a plain list, not a container"},
    {"current", 0, "N", "match: the board's channel now (default -1)"},
};

std::string HelpText() { return kUsage + std::string("options:\n") + OptionHelp(kOptions); }

void Print(std::FILE* f, const std::string& utf8) { std::fwrite(utf8.data(), 1, utf8.size(), f); }

int Usage(std::FILE* err, const std::string& problem) {
  Print(err, "chanlist: " + problem + "\n" + HelpText());
  return 2;
}

bool ReadFile(const std::string& path, std::string* data, std::FILE* err) {
  if (PlatformFiles().ReadAll(path, data)) return true;
  Print(err, "chanlist: " + Cp932ToUtf8(path) + ": cannot be read\n");
  return false;
}

// The plain text of FILE: the container unless plain.
bool ListText(const std::string& path, bool plain, std::string* text, std::FILE* err) {
  std::string data;
  if (!ReadFile(path, &data, err)) return false;
  if (plain) {
    *text = data;
    return true;
  }
  std::string error;
  if (UnscrambleChannelList(data, text, &error)) return true;
  Print(err, "chanlist: " + Cp932ToUtf8(path) + ": " + error + "\n");
  return false;
}

void ReportSkipped(const std::string& path, const std::vector<SkippedLine>& skipped, std::FILE* err) {
  for (const SkippedLine& s : skipped)
    Print(err, "chanlist: " + Cp932ToUtf8(path) + ":" + std::to_string(s.number) + ": skipped: " + s.reason + "\n");
}

int Scramble(const Options& o, std::FILE* out, std::FILE* err) {
  std::string error;
  std::int64_t seed = 0;
  if (!o.Integer("seed", 0, 255, static_cast<std::int64_t>(std::time(nullptr) & 0xFF), &seed, &error))
    return Usage(err, error);
  const std::string& in = o.Positional()[1];
  std::string text;
  if (!ReadFile(in, &text, err)) return 1;
  if (o.Has("utf8")) text = Utf8ToCp932(text);
  if (text.size() > kMaxTextBytes) {
    Print(err, "chanlist: " + Cp932ToUtf8(in) + ": " + std::to_string(text.size()) +
                   " bytes of text; a channel list holds at most 32768\n");
    return 1;
  }
  ChannelTable table;
  std::vector<SkippedLine> skipped;
  LoadChannelText(text, &table, &skipped);
  ReportSkipped(in, skipped, err);
  if (!skipped.empty() && !o.Has("lenient")) return 1;
  const std::string& outPath = o.Positional()[2];
  if (!PlatformFiles().WriteAll(outPath, ScrambleChannelList(text, static_cast<std::uint8_t>(seed)))) {
    Print(err, "chanlist: " + Cp932ToUtf8(outPath) + ": cannot be written\n");
    return 1;
  }
  Print(out, Cp932ToUtf8(outPath) + ": " + std::to_string(table.entries.size()) + " entries, seed " +
                 std::to_string(seed) + "\n");
  return 0;
}

int Unscramble(const Options& o, std::FILE* err) {
  std::string text;
  if (!ListText(o.Positional()[1], false, &text, err)) return 1;
  if (o.Has("utf8")) text = Cp932ToUtf8(text);
  if (!PlatformFiles().WriteAll(o.Positional()[2], text)) {
    Print(err, "chanlist: " + Cp932ToUtf8(o.Positional()[2]) + ": cannot be written\n");
    return 1;
  }
  return 0;
}

int Show(const Options& o, std::FILE* out, std::FILE* err) {
  const std::string& path = o.Positional()[1];
  std::string text;
  if (!ListText(path, o.Has("plain"), &text, err)) return 1;
  ChannelTable table;
  std::vector<SkippedLine> skipped;
  LoadChannelText(text, &table, &skipped);
  Print(out, "default\t" + std::to_string(table.defaultChannel) + "\t" + Cp932ToUtf8(table.defaultName) + "\n");
  for (std::size_t i = 0; i < table.entries.size(); ++i) {
    const ChannelEntry& e = table.entries[i];
    Print(out, std::to_string(i) + "\t" + DottedAddress(e.network) + "\t" + DottedAddress(e.mask) + "\t" +
                   std::to_string(e.lowPort) + "\t" + std::to_string(e.highPort) + "\t" + std::to_string(e.channel) +
                   "\t" + Cp932ToUtf8(e.name) + "\n");
  }
  ReportSkipped(path, skipped, err);
  return skipped.empty() ? 0 : 1;
}

bool ParseSession(const std::string& text, SessionRecord* r) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || !ParseDottedAddress(text.substr(0, colon), &r->address)) return false;
  std::int64_t port = 0;
  if (!ParseInteger(text.substr(colon + 1), &port) || port < 0 || port > 0xFFFFFFFFLL) return false;
  r->port = static_cast<std::uint32_t>(port);
  return true;
}

int Match(const Options& o, std::FILE* out, std::FILE* err) {
  std::string error;
  std::int64_t current = -1;
  if (!o.Integer("current", -1, 65535, -1, &current, &error)) return Usage(err, error);
  std::vector<SessionRecord> sessions;
  for (std::size_t i = 2; i < o.Positional().size(); ++i) {
    SessionRecord r;
    if (!ParseSession(o.Positional()[i], &r)) return Usage(err, "bad session '" + o.Positional()[i] + "' (ADDR:PORT)");
    sessions.push_back(r);
  }
  if (sessions.empty()) return Usage(err, "match needs at least one ADDR:PORT");
  std::string text;
  if (!ListText(o.Positional()[1], o.Has("plain"), &text, err)) return 1;
  ChannelTable table;
  LoadChannelText(text, &table);
  const MatchResult m = MatchSessions(table, sessions, static_cast<std::int32_t>(current));
  Print(out, "found\t" + (m.found ? std::to_string(m.foundChannel) : std::string("none")) + "\n");
  Print(out, std::string("agree\t") + (m.agree ? "yes" : "no") + "\n");
  if (!m.found) {
    Print(out, "proposal\tdefault\t" + std::to_string(table.defaultChannel) + "\t" + Cp932ToUtf8(table.defaultName) +
                   "\n");
  } else if (!m.proposed) {
    Print(out, "proposal\tcurrent\t" + std::to_string(current) + "\n");
  } else {
    Print(out, "proposal\t" + std::to_string(m.proposal.channel) + "\t" + Cp932ToUtf8(m.proposal.name) + "\t" +
                   DottedAddress(m.proposal.address) + ":" + std::to_string(m.proposal.port) + "\n");
  }
  return 0;
}

}  // namespace

int RunChanlist(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  if (args.empty()) return Usage(err, "no command");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    Print(out, HelpText());
    return 0;
  }
  Options o;
  std::string error;
  if (!o.Parse(args, kOptions, &error)) return Usage(err, error);
  if (o.Help()) {
    Print(out, HelpText());
    return 0;
  }
  if (o.Positional().empty()) return Usage(err, "no command");
  const std::string& command = o.Positional()[0];
  const std::size_t n = o.Positional().size();
  if (command == "scramble" && n == 3) return Scramble(o, out, err);
  if (command == "unscramble" && n == 3) return Unscramble(o, err);
  if (command == "show" && n == 2) return Show(o, out, err);
  if (command == "match" && n >= 2) return Match(o, out, err);
  return Usage(err, "unknown command or wrong number of arguments: " + command);
}
