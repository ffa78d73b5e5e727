// rsvtool: the operator's view of what lies in a schedule or history folder.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/computer_name.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "tools/options/options.h"
#include "tools/rsvtool/dump.h"
#include "tools/rsvtool/make.h"


namespace {

const char kDumpUsage[] =
    "  rsvtool dump FILE...\n"
    "      prints each reservation file (RSV*.SDL), deletion request (*.SDD) or\n"
    "      result record (INFO*.RSV) field by field; FILE may hold * and ?\n";
const char kNotes[] =
    "numbers are decimal or 0x-hex; times are local; texts become code page 932.\n"
    "exit status: 0 done, 1 a file is not a whole record or cannot be written, 2 usage\n";

std::string Usage() {
  return std::string("usage:\n") + kDumpUsage + kMakeUsage + kMakeDeleteUsage +
         "  rsvtool make --help, rsvtool make-delete --help\n"
         "      the options of make and make-delete\n" +
         kNotes;
}

// Paths as the user gives them natively ("/"), in seam form inside.
std::string Shown(const std::string& path) {
#if defined(_WIN32)
  return path;
#else
  std::string shown = path;
  for (std::size_t cut = LastSeparator(shown); cut != std::string::npos; cut = LastSeparator(shown.substr(0, cut)))
    shown[cut] = '/';
  return shown;
#endif
}

// The Windows command line leaves "RSV*.SDL" to the program: patterns are
// expanded here (in name order), so that both builds take the same arguments.
std::vector<std::string> Expand(const std::vector<std::string>& args, int* status) {
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    if (arg.find_first_of("*?") == std::string::npos) {
      files.push_back(arg);
      continue;
    }
    std::size_t cut = LastSeparator(arg);
    const std::string folder = cut == std::string::npos ? std::string() : arg.substr(0, cut + 1);
    std::vector<std::string> names;
    for (const FoundFile& f : PlatformFiles().Find(arg))
      if (!f.isFolder) names.push_back(folder + f.name);
    if (names.empty()) {
      PrintText(stderr, "rsvtool: no file matches " + Shown(arg) + "\n");
      *status = 1;
    }
    std::sort(names.begin(), names.end());
    files.insert(files.end(), names.begin(), names.end());
  }
  return files;
}

int Dump(const std::vector<std::string>& args) {
  if (args.empty()) {
    PrintText(stderr, "rsvtool dump: no file given\n");
    return 2;
  }
  int status = 0;
  const std::vector<std::string> files = Expand(args, &status);
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string data;
    if (i > 0) PrintText(stdout, "\n");
    if (!PlatformFiles().ReadAll(files[i], &data)) {
      PrintText(stderr, "rsvtool: cannot read " + Shown(files[i]) + "\n");
      status = 1;
      continue;
    }
    DumpResult result = DumpRecord(Shown(files[i]), data);
    PrintText(stdout, result.text);
    if (!result.ok) {
      PrintText(stderr, "rsvtool: " + Shown(files[i]) + " is not a whole record\n");
      status = 1;
    }
  }
  return status;
}

int Make(const std::string& command, const std::vector<std::string>& args) {
  MakeOutcome out = command == "make" ? MakeReservationFile(args, PlatformFiles(), SystemClock())
                                      : MakeDeletionRequest(args, PlatformFiles(), SystemClock(), ComputerName());
  if (!out.help.empty()) {
    PrintText(stdout, out.help + kNotes);
    return 0;
  }
  if (!out.ok) {
    PrintText(stderr, "rsvtool " + command + ": " + Shown(out.error) + "\n");
    return out.path.empty() ? 2 : 1;
  }
  PrintText(stdout, Shown(out.path) + "\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  if (!StartTool("rsvtool", argc, argv, &args)) return 2;
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintText(args.empty() ? stderr : stdout, Usage());
    return args.empty() ? 2 : 0;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "dump") return Dump(args);
  if (command == "make" || command == "make-delete") return Make(command, args);
  PrintText(stderr, "rsvtool: unknown command '" + command + "'\n" + Usage());
  return 2;
}
