// kwcheck's three commands, apart from the console so that tests run them.
#pragma once
#include <string>
#include <vector>

struct KwcheckResult {
  int exitCode = 0;
  std::string out;  // UTF-8
  std::string err;  // UTF-8
};

// args: the command line after the program name, as cp932 texts.
KwcheckResult RunKwcheck(const std::vector<std::string>& args);
