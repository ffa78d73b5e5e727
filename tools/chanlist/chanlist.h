// chanlist: the service operator's tool for channel list files. The command
// runs on arguments already in cp932 and writes to the given streams, so that
// the tests run it in-process.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

// Exit status: 0 done, 1 a file is bad or cannot be written (or, for show,
// lines were skipped), 2 usage.
int RunChanlist(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
