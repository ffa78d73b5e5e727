// The guide as the planner holds it: the current and incoming lists, the
// channel names and the parse-time rules, with the multi-day load and the fetch
// of one day (server first, the cached copy as fallback).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "common/time_text.h"
#include "planner/guide/guide_program.h"
#include "planner/guide/http_get_socket.h"

class FileSystem;
class PlannerSettings;

// The cache file name of the day that contains t: "gd%y%m%d.dpn".
std::string GuideDayFileName(Time32 day);

// The text of one day and how it was obtained.
struct GuideDayText {
  bool haveText = false;     // false: neither the server nor the cache gave one
  std::string text;
  bool fetchFailed = false;  // the server was asked and failed (the cache was used)
  bool unreachable = false;  // the failure was the connection itself
  bool fromCache = false;
};

struct GuideFetchOptions {
  HttpLimits limits;
  bool skipServer = false;   // go straight to the cache (the server was unreachable)
  StreamSocketFactory createSocket;  // unset: the platform's sockets
};

// The fetch step: location + "/" + fileName from the server (status 200 and a
// body that holds "<program_number>", or an empty body), stored in the cache
// folder; otherwise the cached file of that name. The cached file is replaced
// only by a complete write of the new one.
GuideDayText FetchGuideDay(FileSystem& fs, const std::string& fileName, const std::string& location,
                           const std::string& cacheFolder, const GuideFetchOptions& options = GuideFetchOptions());

// Whether the server-failure message may be shown: on at start, off for the
// rest of the process once the user ticks its check box.
class ServerFailureMessage {
 public:
  bool ShouldShow(const std::string& location, bool anyFetchFailed) const {
    return !location.empty() && anyFetchFailed && enabled_;
  }
  // After OK: the message stays allowed only when the box was not ticked.
  void Answered(bool checkBoxTicked) { enabled_ = !checkBoxTicked; }
  bool Enabled() const { return enabled_; }

 private:
  bool enabled_ = true;
};

class GuideStore {
 public:
  explicit GuideStore(FileSystem& fs) : fs_(fs) {}

  // Rules from the seven "Environment" values.
  void ReadRules(const PlannerSettings& settings);
  void SetRules(GuideRules rules) { rules_ = std::move(rules); }
  const GuideRules& Rules() const { return rules_; }

  // Loads dayCount days from firstDay (24 hours apart) into the incoming list;
  // when at least one day produced a record it becomes the guide list.
  bool LoadGuideDays(const std::string& location, Time32 firstDay, int dayCount, const std::string& cacheFolder);
  // The server-failure message of the last load, offered once through
  // `showFailure`. Its box is a modal loop that repaints the timetable, so the
  // caller offers it only once everything that points into the new guide has
  // been rebuilt.
  void OfferFailureMessage(const std::string& location);
  // One day: fetch (or cache), parse into the incoming list.
  bool LoadGuideFile(const std::string& fileName, const std::string& location, const std::string& folder);

  const GuideList& Guide() const { return guide_; }
  GuideList& Guide() { return guide_; }
  const ChannelNameList& Channels() const { return channels_; }
  void Clear();

  // Whether any day of the last load failed at the server.
  bool LastLoadFetchFailed() const { return lastFetchFailed_; }
  GuideFetchOptions& FetchOptions() { return fetchOptions_; }
  ServerFailureMessage& FailureMessage() { return failureMessage_; }
  // Shows the message and returns whether its check box was ticked. Unset:
  // nothing is shown (the message stays allowed).
  std::function<bool()> showFailure;
  // Progress of a load: day index (from 0), day count.
  std::function<void(int, int)> progress;

 private:
  FileSystem& fs_;
  GuideList guide_;
  GuideList incoming_;
  ChannelNameList channels_;
  GuideRules rules_;
  GuideFetchOptions fetchOptions_;
  ServerFailureMessage failureMessage_;
  bool lastFetchFailed_ = false;
  bool serverUnreachable_ = false;
};
