// Sub-commands of the head-end simulator register themselves here, so that each
// lives in its own file (carousel.cpp, ntp.cpp, guide_server.cpp).
#pragma once
#include <string>
#include <vector>

struct HeadendCommand {
  const char* name;
  const char* summary;                 // one line for the overview
  int (*run)(int argc, char** argv);   // argv[0] is the sub-command's name
};

std::vector<HeadendCommand>& HeadendCommands();

struct RegisterHeadendCommand {
  explicit RegisterHeadendCommand(HeadendCommand c) { HeadendCommands().push_back(c); }
};
