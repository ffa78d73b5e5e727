#include "planner/guide/guide_store.h"
#include "common/clock.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_parser.h"

std::string GuideDayFileName(Time32 day) { return FormatLocalTime(day, "gd%y%m%d.dpn"); }

namespace {

bool ReadFromServer(const std::string& url, const GuideFetchOptions& options, std::string* text, bool* unreachable) {
  CHttpGetSocket http(ProcessHostTable(), options.limits, SystemClock(), options.createSocket);
  if (!http.OpenUrl(url)) {
    *unreachable = http.Unreachable();
    return false;
  }
  const std::int32_t n = http.DeclaredLength();
  text->clear();
  if (n != 0) {
    text->assign(static_cast<std::size_t>(n), '\0');
    std::int32_t got = http.ReadBody(&(*text)[0], n);
    text->resize(static_cast<std::size_t>(got));
    // A body cut short of its declared length, cut by the time limit, or filling
    // the whole 2 MiB allowed without a declared length is not known to be the
    // day's guide: it must not replace a complete cached copy.
    // A body without a declared length that brings nothing is no answer either.
    bool cut = http.HasContentLength() ? got < n : (got >= n || got == 0);
    if (cut || http.TimedOut()) {
      DebugPrintf("guide: %s: body incomplete (%d of %d bytes)\n", url.c_str(), got, n);
      http.Close();
      return false;
    }
  }
  http.Close();
  return true;
}

}  // namespace

GuideDayText FetchGuideDay(FileSystem& fs, const std::string& fileName, const std::string& location,
                           const std::string& cacheFolder, const GuideFetchOptions& options) {
  GuideDayText day;
  const std::string cachePath = WithBackslash(cacheFolder) + fileName;
  if (!location.empty() && !options.skipServer) {
    std::string url = location;
    if (url.back() != '/') url += '/';
    url += fileName;
    std::string text;
    if (ReadFromServer(url, options, &text, &day.unreachable)) {
      if (text.empty()) {
        // "Content-Length: 0": an empty day; the cache is neither written nor read.
        day.haveText = true;
        return day;
      }
      if (FindText(text, "<program_number>", 0, text.size()) != std::string::npos) {
        // A full disk must not cost the good cached copy.
        if (!fs.WriteAllReplacing(cachePath, text))
          DebugPrintf("guide: cannot write the cache file %s; the old copy stays\n", cachePath.c_str());
        day.haveText = true;
        day.text = std::move(text);
        return day;
      }
      DebugPrintf("guide: %s is not a guide day (no <program_number>)\n", url.c_str());
    }
    day.fetchFailed = true;
  }
  if (fs.ReadAll(cachePath, &day.text)) {
    day.haveText = true;
    day.fromCache = true;
  } else {
    day.text.clear();
  }
  return day;
}

void GuideStore::ReadRules(const PlannerSettings& settings) {
  std::string values[7];
  // Rule lists grow past the 255 bytes a plain text read keeps.
  for (int kind = 0; kind < 7; ++kind) {
    values[kind] = settings.WholeText(peer::kEnvironmentSubKey, kGuideRuleValueNames[kind]);
  }
  rules_ = BuildGuideRules(values);
}

bool GuideStore::LoadGuideFile(const std::string& fileName, const std::string& location, const std::string& folder) {
  GuideFetchOptions options = fetchOptions_;
  options.skipServer = options.skipServer || serverUnreachable_;
  GuideDayText day = FetchGuideDay(fs_, fileName, location, folder, options);
  if (day.fetchFailed) lastFetchFailed_ = true;
  // A server that cannot be reached for one day is not asked again in the same
  // load: the other days go straight to their cached files.
  if (day.unreachable) serverUnreachable_ = true;
  if (!day.haveText || day.text.empty()) return false;
  return ParseGuideText(day.text, rules_, incoming_, channels_);
}

bool GuideStore::LoadGuideDays(const std::string& location, Time32 firstDay, int dayCount,
                               const std::string& cacheFolder) {
  incoming_.Clear();
  lastFetchFailed_ = false;
  serverUnreachable_ = false;
  bool any = false;
  Time32 day = firstDay;
  for (int i = 0; i < dayCount; ++i) {
    if (progress) progress(i, dayCount);
    if (LoadGuideFile(GuideDayFileName(day), location, cacheFolder)) any = true;
    day += 24 * 60 * 60;
  }
  if (any) {
    guide_ = std::move(incoming_);
    incoming_ = GuideList();
  }
  return any;
}

void GuideStore::OfferFailureMessage(const std::string& location) {
  if (!showFailure || !failureMessage_.ShouldShow(location, lastFetchFailed_)) return;
  // Offered once per load, however often it is asked for.
  lastFetchFailed_ = false;
  failureMessage_.Answered(showFailure());
}

void GuideStore::Clear() {
  guide_.Clear();
  incoming_.Clear();
  channels_.Clear();
}
