// Result records "INFO%05d.RSV" and the split of an autorun command.
#include "unit/result_writer.h"

#include <set>
#include "common/debug_log.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"

namespace {

// Position just past the last separator of a cp932 path (0 when there is none).
std::size_t AfterLastSeparator(const std::string& path) {
  const std::size_t cut = LastSeparator(path);
  return cut == std::string::npos ? 0 : cut + 1;
}

}  // namespace

ResultWriter::ResultWriter(FileSystem& fs, std::string historyFolder, std::uint32_t counter)
    : fs_(fs), historyFolder_(std::move(historyFolder)), counter_(counter) {}

bool ResultWriter::Write(const ReceptionResult& result, std::string* path) {
  if (historyFolder_.empty() || !fs_.IsFolder(historyFolder_)) {
    DebugPrintf("Result record of %s not written: history folder %s does not exist\n", result.name.c_str(),
                historyFolder_.c_str());
    return false;
  }
  std::string folder = WithBackslash(historyFolder_);
  std::set<std::string> existing;
  for (const FoundFile& f : fs_.Find(folder + "INFO*.RSV")) existing.insert(AsciiUpper(f.name));
  const std::string data = EncodeResult(result);
  const std::uint32_t first = counter_;
  int failures = 0;
  for (int i = 0; i < kMaxNumbers; ++i) {
    std::uint32_t number = counter_;
    counter_ = (counter_ + 1) & 0xFFFF;
    std::string name = ResultFileName(static_cast<int>(number));
    // Any entry of that name is left alone: a record the planner has not yet
    // collected must never be overwritten.
    if (existing.count(AsciiUpper(name)) || fs_.Exists(folder + name)) continue;
    if (fs_.WriteAll(folder + name, data)) {
      if (path) *path = folder + name;
      return true;
    }
    // A record cut short (disk full) would reach the planner as a broken one.
    fs_.Remove(folder + name);
    if (++failures >= kMaxCreateFailures) break;
  }
  counter_ = first;
  DebugPrintf("Result record of %s could not be written in %s\n", result.name.c_str(), folder.c_str());
  return false;
}

AutorunCommand SplitAutorun(const std::string& command, const std::string& storageFolder) {
  AutorunCommand r;
  if (!command.empty() && command[0] == '"') {
    std::size_t q = command.find('"', 1);
    if (q == std::string::npos) {
      r.program = command.substr(1);
    } else {
      r.program = command.substr(1, q - 1);
      r.parameters = command.substr(q + 1);
    }
  } else {
    std::string text = command;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    std::size_t pos = 0;
    bool found = false;
    while (pos < text.size()) {
      std::size_t blank = text.find(' ', pos);
      std::size_t end = blank == std::string::npos ? text.size() : blank + 1;
      r.program += text.substr(pos, end - pos);
      pos = end;
      if (r.program.find('.', AfterLastSeparator(r.program)) != std::string::npos) {
        found = true;
        break;
      }
    }
    if (found) {
      if (!r.program.empty() && r.program.back() == ' ') r.program.pop_back();
      r.parameters = text.substr(pos);
    } else {
      r.program = text;
    }
  }
  if (r.program.find(':') == std::string::npos) r.program = WithBackslash(storageFolder) + r.program;
  return r;
}
