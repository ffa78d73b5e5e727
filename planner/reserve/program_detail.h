// Completing a broadcast's transmission details (group, port, service,
// holder folder, autorun) from its detail file "%d-%d.spn": from the guide's
// web location when there is one, else from the copy in the history folder.
#pragma once
#include <cstddef>
#include <string>

class FileSystem;
struct GuideProgram;

// A detail file is a few hundred bytes of mark-up; a body larger than this is
// not one (a wrong URL answered with something big) and is refused unread.
constexpr std::size_t kMaxDetailBytes = 64 * 1024;

// Fetches one URL's body. Implementations bound the time and the size
// (kMaxDetailBytes) and return false on any failure.
class DetailFetcher {
 public:
  virtual ~DetailFetcher() = default;
  virtual bool Fetch(const std::string& url, std::string* body) = 0;
};

enum class DetailOutcome {
  AlreadyKnown,  // the program had its address already
  Fetched,       // from the web location (and cached)
  FromCache,     // from the history folder's copy
  Unavailable,   // neither gave a usable detail file: the reservation is refused
};

// location + "/" + file name (no second "/" when the location ends in one).
std::string DetailUrl(const std::string& location, const std::string& fileName);

DetailOutcome CompleteProgramDetail(GuideProgram& program, const std::string& guideLocation,
                                    const std::string& historyFolder, FileSystem& fs, DetailFetcher* fetcher);
