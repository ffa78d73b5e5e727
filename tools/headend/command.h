// Sub-commands of the head-end simulator register themselves here, so that each
// lives in its own file (carousel.cpp, ntp.cpp, guide_server.cpp).
#pragma once
#include <string>
#include <vector>

#include "tools/options/options.h"

struct HeadendCommand {
  const char* name;
  const char* summary;                 // one line for the overview
  int (*run)(int argc, char** argv);   // argv[0] is the sub-command's name
};

std::vector<HeadendCommand>& HeadendCommands();

struct RegisterHeadendCommand {
  explicit RegisterHeadendCommand(HeadendCommand c) { HeadendCommands().push_back(c); }
};

// The steps every command's parse starts with: the options of its table,
// --help (the help text on stdout) and, unless it takes some, no argument.
// -1 when the command's own checks follow, else the exit code.
int ReadCommandOptions(const char* name, const std::vector<std::string>& args, const OptionTable& table,
                       const std::string& help, bool takesArguments, Options* opts);

// What every command does before its work: reads its arguments as cp932 and
// parses them into *o. -1 when the work should run, else the exit code.
template <class Opts>
int ParseCommand(const char* name, int argc, char** argv, int (*parse)(const std::vector<std::string>&, Opts*),
                 Opts* o) {
  std::vector<std::string> args;
  if (!StartTool(name, argc, argv, &args)) return 2;
  return parse(args, o);
}
