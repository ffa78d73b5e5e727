// The settings sheet's page contract and its save: the opened pages save in
// tab order, stopping at the first that refuses; after a complete save the
// reception unit is told to re-read its settings.
#pragma once
#include <functional>
#include <vector>

// One page as the sheet sees it.
class SettingsPageCore {
 public:
  virtual ~SettingsPageCore() = default;
  virtual bool Opened() const = 0;   // created (its tab was selected once)
  virtual bool Changed() const = 0;  // differs from the values it was opened (or last saved) with
  virtual bool Save() = 0;           // validates and writes; false keeps the sheet open on this page
};

// The sheet's tabs in order; this is also the save order.
enum SettingsTab { kTabFolder, kTabColour, kTabReception, kTabGuide, kTabKeyword, kTabOldContent, kTabCount };

struct SheetSaveResult {
  bool complete = false;
  int refusedTab = -1;  // the page that refused, to be shown
};

// Saves every opened page in order; on a complete save `afterSave` runs once
// (tell the unit, disable "更新", redraw).
SheetSaveResult SaveSettingsPages(const std::vector<SettingsPageCore*>& pagesInTabOrder,
                                  const std::function<void()>& afterSave);
// "更新" is enabled while any opened page differs from its values.
bool AnySettingsPageChanged(const std::vector<SettingsPageCore*>& pages);
