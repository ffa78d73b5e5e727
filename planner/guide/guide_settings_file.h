// The guide settings file the user may open in the planner: a "<Tavora Info>"
// block that sets the guide location and the seven parse-time rule values.
#pragma once
#include <string>

class FileSystem;
class PlannerSettings;

struct GuideSettingsImport {
  bool blockFound = false;
  std::string location;  // empty when the file sets none
};

// Applies the block of the file's text: "ScheduleURL" (this run only) and
// "DefaultScheduleURL" (also stored as "EpgURL") when they begin with "http:";
// the seven rule values are stored unless "SkipFilter" is non-zero.
GuideSettingsImport ImportGuideSettingsText(const std::string& text, PlannerSettings& settings);
// Reads the file first; a file that cannot be read imports nothing.
GuideSettingsImport ImportGuideSettingsFile(FileSystem& fs, const std::string& path, PlannerSettings& settings);
