#include "tools/rsvtool/options.h"

#include <climits>

bool Options::Parse(const std::vector<std::string>& args, const std::set<std::string>& valued,
                    const std::set<std::string>& flags, std::string* error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.compare(0, 2, "--") != 0) {
      positional_.push_back(a);
      continue;
    }
    const std::string name = a.substr(2);
    if (Has(name)) {
      *error = "option " + a + " is given twice";
      return false;
    }
    if (flags.count(name)) {
      flags_.insert(name);
    } else if (valued.count(name)) {
      if (i + 1 >= args.size()) {
        *error = "option " + a + " needs a value";
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
