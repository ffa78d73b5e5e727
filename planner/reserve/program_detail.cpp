#include "planner/reserve/program_detail.h"

#include "common/debug_log.h"
#include "common/detail_file.h"
#include "common/files.h"
#include "planner/guide/guide_program.h"

std::string DetailUrl(const std::string& location, const std::string& fileName) {
  if (!location.empty() && location.back() == '/') return location + fileName;
  return location + "/" + fileName;
}

namespace {
void Apply(const ProgramDetail& d, GuideProgram& p) {
  p.address = d.address;
  p.port = d.port;
  p.sid = d.sid;
  p.holder = d.holder;
  p.autorun = d.autorun;
}
}  // namespace

DetailOutcome CompleteProgramDetail(GuideProgram& program, const std::string& location,
                                    const std::string& historyFolder, FileSystem& fs, DetailFetcher* fetcher) {
  if (!program.address.empty()) return DetailOutcome::AlreadyKnown;
  const std::string fileName = DetailFileName(program.programNumber, program.subNumber);
  const std::string cachePath = WithBackslash(historyFolder) + fileName;
  ProgramDetail detail;
  if (!location.empty() && fetcher) {
    std::string body;
    const std::string url = DetailUrl(location, fileName);
    if (!fetcher->Fetch(url, &body)) {
      DebugOut("Tavora: detail file not fetched: " + url);
    } else if (body.size() > kMaxDetailBytes || !ParseProgramDetail(body, program.name, &detail)) {
      // An error page or anything else that is not a detail file never replaces the copy.
      DebugOut("Tavora: not a detail file: " + url);
    } else {
      if (!historyFolder.empty() && !fs.WriteAll(cachePath, body)) DebugOut("Tavora: cannot cache " + cachePath);
      Apply(detail, program);
      if (!program.address.empty()) return DetailOutcome::Fetched;
    }
  }
  std::string text;
  if (!historyFolder.empty() && fs.ReadAll(cachePath, &text) && text.size() <= kMaxDetailBytes &&
      ParseProgramDetail(text, program.name, &detail)) {
    Apply(detail, program);
    if (!program.address.empty()) return DetailOutcome::FromCache;
  }
  return DetailOutcome::Unavailable;
}
