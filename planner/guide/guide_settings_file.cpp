#include "planner/guide/guide_settings_file.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "common/settings.h"
#include "common/tag_value.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/guide/http_get_socket.h"
#include "planner/planner_values.h"

namespace {
// A location with blanks or line breaks would change the request line.
bool IsHttp(const std::string& value) {
  return value.compare(0, 5, "http:") == 0 && CHttpGetSocket::IsSendable(value);
}
}  // namespace

GuideSettingsImport ImportGuideSettingsText(const std::string& text, PlannerSettings& settings) {
  GuideSettingsImport result;
  static const std::string kOpen = "<Tavora Info>";
  static const std::string kClose = "</Tavora Info>";
  std::size_t openAt = FindText(text, kOpen);
  if (openAt == std::string::npos) return result;
  result.blockFound = true;
  std::size_t begin = openAt + kOpen.size();
  std::size_t closeAt = FindText(text, kClose, begin);
  const std::string block = text.substr(begin, closeAt == std::string::npos ? std::string::npos : closeAt - begin);

  std::string url = GetTagValue(block, "ScheduleURL");
  if (IsHttp(url)) result.location = url;
  url = GetTagValue(block, "DefaultScheduleURL");
  if (IsHttp(url)) {
    result.location = url;
    settings.SetText(peer::kEnvironmentSubKey, planner_values::kGuideUrl, url);
  }
  if (LeadingInt(GetTagValue(block, "SkipFilter")) == 0) {
    for (const char* name : kGuideRuleValueNames) {
      settings.SetText(peer::kEnvironmentSubKey, name, GetTagValue(block, name));
    }
  }
  return result;
}

GuideSettingsImport ImportGuideSettingsFile(FileSystem& fs, const std::string& path, PlannerSettings& settings) {
  std::string text;
  if (!fs.ReadAll(path, &text)) {
    DebugPrintf("guide: cannot read the guide settings file %s\n", path.c_str());
    return GuideSettingsImport();
  }
  return ImportGuideSettingsText(text, settings);
}
