// chanlist: scrambles, unscrambles, shows and tries out channel list files.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/chanlist/chanlist.h"
#include "tools/options/options.h"

int main(int argc, char** argv) {
  std::vector<std::string> args;
  if (!StartTool("chanlist", argc, argv, &args)) return 2;
  return RunChanlist(args, stdout, stderr);
}
