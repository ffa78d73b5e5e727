// kwcheck: the support tool for "why did my search not reserve this program".
#include <cstdio>
#include <string>
#include <vector>

#include "common/text.h"
#include "tools/kwcheck/kwcheck_commands.h"
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

// The arguments as cp932: UTF-8 natively, the active code page under Windows.
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
#ifdef _WIN32
    std::string arg = argv[i];
    if (GetACP() != 932) {
      int n = MultiByteToWideChar(CP_ACP, 0, arg.c_str(), -1, nullptr, 0);
      std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
      if (n > 1) MultiByteToWideChar(CP_ACP, 0, arg.c_str(), -1, &wide[0], n);
      arg = WideToCp932(wide);
    }
    args.push_back(arg);
#else
    args.push_back(Utf8ToCp932(argv[i]));
#endif
  }
  return args;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  KwcheckResult r = RunKwcheck(Arguments(argc, argv));
  std::fwrite(r.out.data(), 1, r.out.size(), stdout);
  std::fwrite(r.err.data(), 1, r.err.size(), stderr);
  return r.exitCode;
}
