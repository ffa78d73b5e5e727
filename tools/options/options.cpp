#include "tools/options/options.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "common/text.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

const std::size_t kHelpWidth = 79;

std::string OptionLabel(const OptionSpec& o) {
  std::string label = o.alias ? std::string("  -") + o.alias + ", --" : std::string("      --");
  label += o.name;
  if (o.value) label += std::string(" ") + o.value;
  return label;
}

// text in lines of at most width characters (a longer word stands alone).
std::vector<std::string> Wrapped(const std::string& text, std::size_t width) {
  std::vector<std::string> lines;
  std::string line, word;
  auto flushWord = [&] {
    if (word.empty()) return;
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      lines.push_back(line);
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    word.clear();
  };
  for (char c : text) {
    if (c == ' ' || c == '\n') {
      flushWord();
      if (c == '\n') lines.push_back(line), line.clear();
    } else {
      word += c;
    }
  }
  flushWord();
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

std::string OptionHelp(const OptionTable& table) {
  OptionTable rows = table;
  rows.push_back({"help", 'h', nullptr, "this text"});
  std::size_t column = 0;
  for (const OptionSpec& o : rows) column = std::max(column, OptionLabel(o).size() + 2);
  const std::size_t width = kHelpWidth > column + 20 ? kHelpWidth - column : 20;
  std::string text;
  for (const OptionSpec& o : rows) {
    std::string label = OptionLabel(o);
    label.resize(column, ' ');
    bool first = true;
    for (const std::string& line : Wrapped(o.help, width)) {
      text += (first ? label : std::string(column, ' ')) + line + "\n";
      first = false;
    }
  }
  return text;
}

OptionTable JoinOptions(const OptionTable& a, const OptionTable& b) {
  OptionTable joined = a;
  joined.insert(joined.end(), b.begin(), b.end());
  return joined;
}

bool Options::Parse(const std::vector<std::string>& args, const OptionTable& table, std::string* error) {
  std::set<std::string> valued, flags;
  std::map<char, std::string> aliases;
  for (const OptionSpec& o : table) {
    (o.value ? valued : flags).insert(o.name);
    if (o.alias) aliases[o.alias] = o.name;
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string name;
    if (a == "--help" || a == "-h") {
      help_ = true;
      continue;
    }
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      name = a.substr(2);
    } else if (a.size() == 2 && a[0] == '-' && aliases.count(a[1])) {
      name = aliases.at(a[1]);
    } else if (a.size() >= 2 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
      *error = "unknown option " + a;
      return false;
    } else {
      positional_.push_back(a);
      continue;
    }
    if (Has(name)) {
      *error = "option --" + name + " is given twice";
      return false;
    }
    if (flags.count(name)) {
      flags_.insert(name);
    } else if (valued.count(name)) {
      if (i + 1 >= args.size()) {
        *error = "option --" + name + " needs a value";
        return false;
      }
      values_[name] = args[++i];
    } else {
      *error = "unknown option " + a;
      return false;
    }
  }
  return true;
}

std::string Options::Text(const std::string& name, const std::string& fallback) const {
  auto it = values_.find(name);
  return it == values_.end() ? fallback : it->second;
}

bool Options::Required(const std::string& name, std::string* error) const {
  if (values_.count(name)) return true;
  *error = "missing option --" + name;
  return false;
}

bool Options::Integer(const std::string& name, std::int64_t low, std::int64_t high, std::int64_t fallback,
                      std::int64_t* value, std::string* error) const {
  auto it = values_.find(name);
  if (it == values_.end()) {
    *value = fallback;
    return true;
  }
  if (ParseInteger(it->second, value) && *value >= low && *value <= high) return true;
  *error = "--" + name + ": '" + it->second + "' is not a number from " + std::to_string(low) + " to " +
           std::to_string(high);
  return false;
}

bool Options::Int(const std::string& name, int low, int high, int fallback, int* value, std::string* error) const {
  std::int64_t v = 0;
  if (!Integer(name, low, high, fallback, &v, error)) return false;
  *value = static_cast<int>(v);
  return true;
}

bool Options::Number(const std::string& name, double low, double high, double fallback, double* value,
                     std::string* error) const {
  auto it = values_.find(name);
  if (it == values_.end()) {
    *value = fallback;
    return true;
  }
  const char* text = it->second.c_str();
  char* end = nullptr;
  double v = std::strtod(text, &end);
  if (end != text && *end == '\0' && v >= low && v <= high) {
    *value = v;
    return true;
  }
  char range[64];
  std::snprintf(range, sizeof range, "%g to %g", low, high);
  *error = "--" + name + ": '" + it->second + "' is not a number from " + range;
  return false;
}

bool Options::LocalMinute(const std::string& name, Time32* value, std::string* error) const {
  if (!Required(name, error)) return false;
  if (ParseLocalMinute(values_.at(name), value)) return true;
  *error = "--" + name + ": '" + values_.at(name) + "' is not a local time \"YYYY-MM-DD HH:MM\"";
  return false;
}

bool ParseInteger(const std::string& text, std::int64_t* value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  std::int64_t v = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int d = c >= '0' && c <= '9' ? c - '0' : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
          : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0) return false;
    if (v > (INT64_MAX - d) / base) return false;
    v = v * base + d;
  }
  *value = negative ? -v : v;
  return true;
}

bool ParseLocalMinute(const std::string& text, Time32* value) {
  static const char kShape[] = "dddd-dd-dd dd:dd";
  if (text.size() != sizeof kShape - 1) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return false;
  }
  auto number = [&](std::size_t at, std::size_t n) { return std::stoi(text.substr(at, n)); };
  int year = number(0, 4), month = number(5, 2), day = number(8, 2), hour = number(11, 2), minute = number(14, 2);
  Time32 t = MakeLocalTime(year, month, day, hour, minute);
  // mktime carries 02-30 into March: such a date is not real.
  LocalTime check = BreakLocalTime(t);
  if (check.year != year || check.month != month || check.day != day || check.hour != hour || check.minute != minute)
    return false;
  *value = t;
  return true;
}

bool ToolArguments(int argc, char** argv, std::vector<std::string>* args, std::string* bad) {
  bad->clear();
#if defined(_WIN32)
  // The narrow argv is in the console's code page; the wide command line is
  // exact.
  (void)argc;
  (void)argv;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide && i < count; ++i) {
    std::string text = WideToCp932(wide[i]);
    if (Cp932ToWide(text) != wide[i] && bad->empty()) *bad = Cp932ToUtf8(text);
    args->push_back(text);
  }
  if (wide) LocalFree(wide);
#else
  for (int i = 1; i < argc; ++i) {
    std::string text = Utf8ToCp932(argv[i]);
    if (Cp932ToUtf8(text) != argv[i] && bad->empty()) *bad = argv[i];
    args->push_back(text);
  }
#endif
  return bad->empty();
}

bool StartTool(const std::string& tool, int argc, char** argv, std::vector<std::string>* args) {
#if defined(_WIN32)
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::string bad;
  if (ToolArguments(argc, argv, args, &bad)) return true;
  std::fprintf(stderr, "%s: the argument '%s' has characters that code page 932 cannot hold\n", tool.c_str(),
               bad.c_str());
  return false;
}

void PrintText(std::FILE* stream, const std::string& cp932) {
#if defined(_WIN32)
  std::fwrite(cp932.data(), 1, cp932.size(), stream);
#else
  const std::string utf8 = Cp932ToUtf8(cp932);
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
#endif
}

int UsageError(const std::string& tool, const std::string& error) {
  PrintText(stderr, tool + ": " + error + " (see " + tool + " --help)\n");
  return 2;
}
