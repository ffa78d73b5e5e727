// headend: the broadcaster's side on a test network. It sends file carousels and
// network time by multicast and serves the program guide over HTTP.
#include <cstdio>
#include <cstring>
#include "tools/headend/command.h"

std::vector<HeadendCommand>& HeadendCommands() {
  static std::vector<HeadendCommand> commands;
  return commands;
}

int ReadCommandOptions(const char* name, const std::vector<std::string>& args, const OptionTable& table,
                       const std::string& help, bool takesArguments, Options* opts) {
  std::string e;
  if (!opts->Parse(args, table, &e)) return UsageError(name, e);
  if (opts->Help()) {
    PrintText(stdout, help);
    return 0;
  }
  if (!takesArguments && !opts->Positional().empty())
    return UsageError(name, "unexpected argument '" + opts->Positional()[0] + "'");
  return -1;
}

static void Usage(FILE* out) {
  std::fprintf(out, "usage: headend COMMAND [options]   (headend COMMAND --help for its options)\n\ncommands:\n");
  for (const auto& c : HeadendCommands()) std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
}

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    Usage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  for (const auto& c : HeadendCommands()) {
    if (!std::strcmp(argv[1], c.name)) return c.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "headend: unknown command '%s'\n", argv[1]);
  Usage(stderr);
  return 2;
}
