// The settings sheet "環境設定" (dialog 152): six tabs, each a child dialog
// created the first time its tab is selected; OK and "更新" save the opened
// pages in tab order and, after a complete save, tell the reception unit to
// re-read its settings.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "planner/shell/settings_sheet_core.h"
#include "planner/shell/settings_values.h"

class FileSystem;
class PlannerSettings;

// What the pages use of the planner; filled by the caller.
struct SettingsContext {
  HINSTANCE instance = nullptr;
  HWND mainFrame = nullptr;
  PlannerSettings* settings = nullptr;
  FileSystem* fs = nullptr;
  // Channel names of the current guide (keyword page), cp932.
  std::vector<std::string> channels;
  // The folder chooser behind every "参照..." button.
  std::function<bool(HWND owner, const std::string& initial, std::string* chosen)> chooseFolder;
  // A page's saved values take effect in the planner at once.
  std::function<void(const FolderSaveResult&)> foldersSaved;
  std::function<void(const GuidePageValues&)> guideSaved;
  std::function<void()> oldContentSaved;
  // After a complete save (the unit has been told): redraw.
  std::function<void()> redraw;
};

// A page as the sheet holds it: the page's values (SettingsPageCore) and its window.
class SettingsPageWindow : public SettingsPageCore {
 public:
  virtual HWND CreatePage(HINSTANCE instance, HWND sheet) = 0;
  virtual HWND PageWindow() const = 0;
  bool Opened() const override { return PageWindow() != nullptr; }
};

// Command 32787: the modal sheet. True when something was saved.
bool OpenSettingsSheet(HWND owner, SettingsContext& context);
// Posts WM_COMMAND 1008 to the reception unit's window when it runs.
void TellUnitToReloadSettings();
// A page posts this to the sheet after every change of its values.
void NotifySheetChanged(HWND page);

// Page makers (settings_pages.cpp, settings_keyword_window.cpp, and the
// timetable's colour_settings_page.cpp).
std::unique_ptr<SettingsPageWindow> MakeFolderPage(SettingsContext& context);
// nullptr while the timetable has no model (its panes could not be made).
std::unique_ptr<SettingsPageWindow> MakeColourPage(SettingsContext& context);
std::unique_ptr<SettingsPageWindow> MakeReceptionPage(SettingsContext& context);
std::unique_ptr<SettingsPageWindow> MakeGuidePage(SettingsContext& context);
std::unique_ptr<SettingsPageWindow> MakeKeywordPage(SettingsContext& context);
std::unique_ptr<SettingsPageWindow> MakeOldContentPage(SettingsContext& context);
