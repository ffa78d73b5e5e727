// kwcheck: the support tool for "why did my search not reserve this program".
#include <cstdio>
#include <string>
#include <vector>

#include "common/text.h"
#include "tools/kwcheck/kwcheck_commands.h"
#include "tools/options/options.h"

int main(int argc, char** argv) {
  std::vector<std::string> args;
  if (!StartTool("kwcheck", argc, argv, &args)) return 2;
  KwcheckResult r = RunKwcheck(args);
  std::fwrite(r.out.data(), 1, r.out.size(), stdout);
  std::fwrite(r.err.data(), 1, r.err.size(), stderr);
  return r.exitCode;
}
