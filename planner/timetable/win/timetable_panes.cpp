// The timetable inside Tavora.exe: the panes the main frame lays out, the
// document's view hooks, the commands of the timetable in the frame's menu,
// and what the grid needs of the shell (reservation dialog, bubble, messages,
// the reservation column).
#include "planner/shell/win/timetable_panes.h"

#include <memory>
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/reserve/win/reserve_actions.h"
#include "planner/reserve/win/reserve_view.h"
#include "planner/shell/win/bubble.h"
#include "planner/shell/win/message_dialog.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/tavora_app.h"
#include "planner/timetable/tavora_doc.h"
#include "planner/timetable/timetable_model.h"
#include "planner/timetable/win/timetable_host.h"
#include "planner/timetable/win/timetable_instance.h"
#include "planner/timetable/win/timetable_views.h"
#include "planner/timetable/win/timetable_windows.h"

static_assert(ID_PANE_ACTIVE == kCmdViewActive, "the frame drops the grid's hover raise with this id");

namespace {

class ShellTimetableHost : public TimetableHost {
 public:
  HWND reserveColumn = nullptr;

  void OpenReservationDialog(HWND owner, GuideProgram& program) override { ReserveProgram(owner, program); }
  bool HasReservation(std::int32_t programNumber, std::int32_t subNumber) override {
    return TheApp().reservations.Find(programNumber, subNumber) >= 0;
  }
  bool ReservationsEnabled() override { return TheApp().display.reserveButtons; }
  bool HoverFeedback() override { return TheApp().display.hoverFeedback; }
  HWND ShowBubble(HWND owner, POINT screen, const std::string& textCp932) override {
    bubble_ = std::make_unique<CBubble>();
    if (!bubble_->Show(TheApp().instance, owner, textCp932, screen)) {
      bubble_.reset();
      return nullptr;
    }
    return bubble_->Handle();
  }
  void CloseBubble(HWND bubble) override {
    if (bubble_ && bubble_->Handle() == bubble) {
      DestroyWindow(bubble);
      bubble_.reset();
    }
  }
  void ShowMessage(HWND owner, int stringId) override {
    MessageDialog(owner, TheApp().String(static_cast<unsigned>(stringId)), MB_OK | MB_ICONINFORMATION);
  }
  bool FindResult(std::int32_t programNumber, std::int32_t subNumber, std::string* folder,
                  std::string* launchFile) override {
    const CTavoraDoc* doc = TheApp().doc;
    if (!doc) return false;
    for (const ResultMark& r : doc->results) {
      if (r.programNumber != programNumber || r.subNumber != subNumber) continue;
      *folder = r.storageFolder;
      *launchFile = r.launchFile;
      return true;
    }
    return false;
  }
  void SetReserveScroll(int y) override {
    if (reserveColumn) SendMessageW(reserveColumn, kMsgReserveSetTop, static_cast<WPARAM>(y), 0);
  }
  void SendToReserveView(int command) override {
    if (reserveColumn) PostMessageW(reserveColumn, WM_COMMAND, static_cast<WPARAM>(command), 0);
  }

 private:
  std::unique_ptr<CBubble> bubble_;
};

// The document's view hooks: title rows, colours and fonts of the timetable.
class TimetableDocHooks : public PlannerDocHooks {
 public:
  TimetableModel* model = nullptr;
  TimetableWindows* windows = nullptr;
  void ReadCategoryGroups() override { model->ReadCategoryGroups(); }
  void AssignColourGroups() override { model->AssignColourGroups(); }
  void BuildTitleRows() override { model->BuildTitleRows(); }
  void FreeTitleRows() override {
    // Title rows are freed only when the records they list may go.
    if (windows) windows->ForgetPrograms();
    model->FreeTitleRows();
  }
  void LoadColours() override {
    model->LoadColours();
    windows->RebuildPalette();
  }
  void BuildDisplayRules() override { model->BuildDisplayRules(); }
  void SaveDisplayRules() override { model->SaveDisplayRules(); }
  int MeasureCharHeight(int fontSize) override { return windows->MeasureCharHeight(fontSize); }
  bool DeepColour() override { return windows->DeepColour(); }
  void RebuildFonts() override { windows->RebuildFonts(); }
  void RedrawAllViews() override { windows->RedrawAll(); }
};

struct Timetable {
  std::unique_ptr<TimetableModel> model;
  ShellTimetableHost host;
  std::unique_ptr<TimetableWindows> windows;
  TimetableDocHooks hooks;
};

Timetable& TheTimetable() {
  static Timetable timetable;
  return timetable;
}

TimetableWindows* Windows() { return TheTimetable().windows.get(); }

// The commands the timetable's windows answer themselves, enabled and checked
// states included.
bool IsWindowsCommand(int id) {
  switch (id) {
    case kCmdFilterToggle: case kCmdFilterEdit: case kCmdTitleOrder: case ID_TIMETABLE_COLOURS:
    case ID_TIMETABLE_CATEGORIES: case ID_TIMETABLE_DUMP_CELLS:
      return true;
    default:
      return false;
  }
}

bool IsScrollCommand(int id) { return id == ID_VIEW_NOW || id == ID_VIEW_PREV_DAY || id == ID_VIEW_NEXT_DAY; }

}  // namespace

TimetableModel* CurrentTimetableModel() { return TheTimetable().model.get(); }
TimetableHost* CurrentTimetableHost() { return TheTimetable().model ? &TheTimetable().host : nullptr; }
TimetableWindows* CurrentTimetableWindows() { return TheTimetable().windows.get(); }

bool TimetableCommandState(int id, bool* enabled, bool* checked) {
  if (IsScrollCommand(id)) {
    *enabled = true;
    *checked = false;
    return true;
  }
  if (!IsWindowsCommand(id)) return false;
  bool windowsEnabled = true, windowsChecked = false;
  const bool answered = Windows() && Windows()->QueryCommand(id, &windowsEnabled, &windowsChecked);
  *enabled = !answered || windowsEnabled;
  *checked = answered && windowsChecked;
  return true;
}

bool RunTimetableCommand(int id) {
  bool enabled = false, checked = false;
  if (!TimetableCommandState(id, &enabled, &checked)) return false;
  if (!enabled || !Windows()) return true;
  if (id == ID_VIEW_NOW)
    Windows()->ScrollToNow();
  else if (id == ID_VIEW_PREV_DAY || id == ID_VIEW_NEXT_DAY)
    Windows()->ScrollDays(id == ID_VIEW_NEXT_DAY ? +1 : -1);
  else
    Windows()->OnCommand(id);
  return true;
}

TimetablePanes CreateTimetablePanes(HWND frame, CTavoraDoc& doc, HWND reserveColumn) {
  Timetable& t = TheTimetable();
  CTavoraApp& app = TheApp();
  t.model = std::make_unique<TimetableModel>(doc, *app.settings, *app.fs, app.programFolder);
  t.host.reserveColumn = reserveColumn;
  t.windows = std::make_unique<TimetableWindows>(doc, *t.model, t.host);
  t.hooks.model = t.model.get();
  t.hooks.windows = t.windows.get();
  TimetablePanes panes;
  if (!t.windows->Create(frame, nullptr)) return panes;
  panes.dayInfo = t.windows->DayInfoWindow();
  panes.corner = t.windows->CornerWindow();
  panes.titles = t.windows->TitlesWindow();
  panes.reserveHeading = t.windows->ReserveHeadingWindow();
  panes.timeScale = t.windows->TimeWindow();
  panes.grid = t.windows->Grid().Handle();
  panes.dayInfoHeight = t.windows->DayInfoHeight();
  panes.viewHooks = &t.hooks;
  return panes;
}
