#include "planner/shell/settings_sheet_core.h"

SheetSaveResult SaveSettingsPages(const std::vector<SettingsPageCore*>& pages, const std::function<void()>& afterSave) {
  SheetSaveResult r;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    SettingsPageCore* page = pages[i];
    if (!page || !page->Opened()) continue;
    if (!page->Save()) {
      r.refusedTab = static_cast<int>(i);
      return r;
    }
  }
  r.complete = true;
  if (afterSave) afterSave();
  return r;
}

bool AnySettingsPageChanged(const std::vector<SettingsPageCore*>& pages) {
  for (SettingsPageCore* page : pages) {
    if (page && page->Opened() && page->Changed()) return true;
  }
  return false;
}
