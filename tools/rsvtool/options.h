// Command-line options of rsvtool: "--name value" pairs and "--flag" switches,
// with the strict number and time readers that name the bad value.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/time_text.h"

class Options {
 public:
  // Fails (with *error set) on an unknown option, a missing value or a
  // repeated option. Values are cp932.
  bool Parse(const std::vector<std::string>& args, const std::set<std::string>& valued,
             const std::set<std::string>& flags, std::string* error);
  bool Has(const std::string& name) const { return values_.count(name) > 0 || flags_.count(name) > 0; }
  std::string Text(const std::string& name, const std::string& fallback = std::string()) const;
  const std::vector<std::string>& Positional() const { return positional_; }

  // Each reader returns false with *error naming the option and the value.
  bool Integer(const std::string& name, std::int64_t low, std::int64_t high, std::int64_t fallback,
               std::int64_t* value, std::string* error) const;
  bool LocalMinute(const std::string& name, Time32* value, std::string* error) const;
  bool Required(const std::string& name, std::string* error) const;

 private:
  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
  std::vector<std::string> positional_;
};

// "123", "-5" or "0x1F"; false on anything else or on overflow.
bool ParseInteger(const std::string& text, std::int64_t* value);
// "YYYY-MM-DD HH:MM" in local time; false when malformed or not a real date.
bool ParseLocalMinute(const std::string& text, Time32* value);
