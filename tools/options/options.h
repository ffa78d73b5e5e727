// The command line of the operator and test tools: "--name VALUE" options,
// "--flag" switches, one-letter aliases ("-p 5000"), positional arguments and
// "--help" (or "-h"), which every tool knows. The readers check numbers and
// times and name the option and the value in their errors. Each tool lists its
// options once, in an OptionTable: the parser and the --help text both come
// from it, so that the help never offers what the parser refuses.
#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/time_text.h"

// One option of a tool: "--name VALUE" or, without a value name, a flag.
struct OptionSpec {
  const char* name;   // without the "--"
  char alias;         // the one-letter form ("-p"), 0 when there is none
  const char* value;  // the value's name in the help ("N", "ADDR"); nullptr for a flag
  const char* help;   // wrapped to the help's column; "\n" forces a break
};
using OptionTable = std::vector<OptionSpec>;

// The rows of a --help text, one per option in table order and "-h, --help"
// last, the help texts aligned in one column.
std::string OptionHelp(const OptionTable& table);

// a's options, then b's (tools whose commands share options).
OptionTable JoinOptions(const OptionTable& a, const OptionTable& b);

class Options {
 public:
  // Fails (with *error set) on an option the table lacks, a missing value or
  // a repeated option. Values are cp932.
  bool Parse(const std::vector<std::string>& args, const OptionTable& table, std::string* error);
  bool Help() const { return help_; }
  bool Has(const std::string& name) const { return values_.count(name) > 0 || flags_.count(name) > 0; }
  std::string Text(const std::string& name, const std::string& fallback = std::string()) const;
  const std::vector<std::string>& Positional() const { return positional_; }

  // Each reader returns false with *error naming the option and the value.
  bool Integer(const std::string& name, std::int64_t low, std::int64_t high, std::int64_t fallback,
               std::int64_t* value, std::string* error) const;
  // The same for an int.
  bool Int(const std::string& name, int low, int high, int fallback, int* value, std::string* error) const;
  // A decimal number such as "12.5".
  bool Number(const std::string& name, double low, double high, double fallback, double* value,
              std::string* error) const;
  bool LocalMinute(const std::string& name, Time32* value, std::string* error) const;
  bool Required(const std::string& name, std::string* error) const;

 private:
  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
  std::vector<std::string> positional_;
  bool help_ = false;
};

// "123", "-5" or "0x1F"; false on anything else or on overflow.
bool ParseInteger(const std::string& text, std::int64_t* value);
// "YYYY-MM-DD HH:MM" in local time; false when malformed or not a real date.
bool ParseLocalMinute(const std::string& text, Time32* value);

// The arguments after the program name, as cp932 texts whatever the console's
// code page (the wide command line on Windows, UTF-8 natively); false, with
// *bad the argument, when one holds a character that code page 932 lacks.
bool ToolArguments(int argc, char** argv, std::vector<std::string>* args, std::string* bad);

// What every tool does first: stdout takes bytes as they are (no CR added on
// Windows), and the arguments are read as cp932; false, with the problem
// told on stderr, when one cannot be (the caller exits with 2).
bool StartTool(const std::string& tool, int argc, char** argv, std::vector<std::string>* args);

// Writes cp932 text to a console stream: as it is on Windows, UTF-8 natively.
void PrintText(std::FILE* stream, const std::string& cp932);

// Prints "tool: error" (cp932) and where the options are described to
// stderr; the exit code of a usage error (2).
int UsageError(const std::string& tool, const std::string& error);
