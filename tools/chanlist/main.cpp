// chanlist: scrambles, unscrambles, shows and tries out channel list files.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/chanlist/chanlist.h"

int main(int argc, char** argv) {
  // Paths and numbers only: ASCII arguments are the same in cp932.
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunChanlist(args, stdout, stderr);
}
