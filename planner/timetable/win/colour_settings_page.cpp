// The colour design page (287) as tab " 配色デザイン " of the settings sheet.
#include <windows.h>

#include <memory>
#include "planner/shell/win/settings_sheet.h"
#include "planner/timetable/win/colour_page.h"
#include "planner/timetable/win/timetable_instance.h"
#include "planner/timetable/win/timetable_windows.h"

namespace {

class CColourSettingsPage : public SettingsPageWindow {
 public:
  CColourSettingsPage() : page_(*CurrentTimetableModel(), *CurrentTimetableHost()) {
    page_.onChanged = [](HWND page) { NotifySheetChanged(page); };
  }
  HWND CreatePage(HINSTANCE, HWND sheet) override { return page_.CreateChild(sheet); }
  HWND PageWindow() const override { return page_.Handle(); }
  bool Changed() const override { return page_.Changed(); }
  bool Save() override {
    if (!page_.Save()) return false;
    if (TimetableWindows* w = CurrentTimetableWindows()) w->TakeColourPage();
    return true;
  }

 private:
  CColourPage page_;
};

}  // namespace

std::unique_ptr<SettingsPageWindow> MakeColourPage(SettingsContext&) {
  if (!CurrentTimetableModel()) return nullptr;
  return std::make_unique<CColourSettingsPage>();
}
