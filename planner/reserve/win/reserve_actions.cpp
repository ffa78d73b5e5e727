#include "planner/reserve/win/reserve_actions.h"

#include <cstdio>
#include <string>
#include "common/computer_name.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/message_box.h"
#include "planner/guide/guide_program.h"
#include "planner/history/win/planner_history.h"
#include "planner/reserve/reservation_files.h"
#include "planner/reserve/win/unit_link.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/tavora_app.h"
#include "planner/timetable/tavora_doc.h"

namespace {
class CCancelDlg : public DialogImpl<CCancelDlg> {
 public:
  static const MessageEntry kMessages[];
  explicit CCancelDlg(const std::string& name) : name_(name) {}

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    SetItemText(IDC_CANCEL_NAME, name_);
    SetItemText(IDC_CANCEL_TEXT, TheApp().String(IDS_CANCEL_RESERVATION));
    return TRUE;
  }
  std::string name_;
};
const CCancelDlg::MessageEntry CCancelDlg::kMessages[] = {{WM_INITDIALOG, &CCancelDlg::OnInitDialog}, {0, nullptr}};

GuideProgram* ProgramOf(const ReservationEntry& e) {
  CTavoraDoc* doc = TheApp().doc;
  if (!doc) return nullptr;
  const ReservationRecord& r = e.record;
  for (GuideProgram* p : doc->Guide().Guide().Ordered())
    if (p->startTime == e.startTime && p->programNumber == r.programNumber && p->subNumber == r.subNumber) return p;
  return nullptr;
}

// The deletion request of one entry; false when it could not be written (the
// unit then keeps the reservation, the planner's list drops it all the same).
bool WithdrawEntry(const ReservationEntry& e) {
  CTavoraApp& app = TheApp();
  const ReservationRecord request = BuildDeletionRecord(e, app.folders.data);
  return WriteDeletionRequest(*app.fs, *app.settings, app.folders.schedule, DeletionComputerName(ComputerName()),
                              request);
}

void AfterListChange() {
  CTavoraApp& app = TheApp();
  app.reservations.LayOutLanes();
  app.SyncReservationMarks();
  if (app.doc) app.doc->UpdateProgramMarks();
  if (app.mainFrame) InvalidateRect(app.mainFrame, nullptr, TRUE);
}
}  // namespace

bool CancelReservation(HWND owner, std::size_t index) {
  CTavoraApp& app = TheApp();
  if (index >= app.reservations.Size()) return false;
  // The list may be rebuilt while the dialog is up (a refresh deferred to its
  // end, or one that runs anyway): the entry is found again by its key.
  const ReservationEntry asked = app.reservations.Entries()[index];
  CCancelDlg dialog(asked.name);
  if (dialog.RunModal(app.instance, IDD_RESERVE_CANCEL, owner) != IDOK) return false;
  const ReservationRecord& key = asked.record;
  const int now = app.reservations.Find(key.programNumber, key.subNumber, key.reservationId);
  if (now < 0) {
    DebugPrintf("Tavora: the reservation of %s went while dialog 151 was open", asked.name.c_str());
    return false;
  }
  const ReservationEntry entry = app.reservations.RemoveAt(static_cast<std::size_t>(now));
  WithdrawEntry(entry);
  WakeUnit(app.programFolder);
  if (GuideProgram* p = ProgramOf(entry)) p->state = 0;
  AfterListChange();
  return true;
}

void ClearAllReservations(HWND owner) {
  CTavoraApp& app = TheApp();
  if (ShowMessageBox(owner, app.String(IDS_CLEAR_RESERVATIONS), app.String(IDS_APP_TITLE),
                     MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
    return;
  ++app.waitCursor;
  HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
  while (!app.reservations.Empty()) {
    const ReservationEntry entry = app.reservations.RemoveAt(0);
    WithdrawEntry(entry);
    if (GuideProgram* p = ProgramOf(entry)) p->state = 0;
  }
  WakeUnit(app.programFolder);
  AfterListChange();
  --app.waitCursor;
  SetCursor(previous);
  if (app.mainFrame) PostMessageW(app.mainFrame, WM_COMMAND, ID_REDISPLAY, 0);
}

void RebuildAndCollect(bool full) {
  CTavoraApp& app = TheApp();
  if (!app.doc) return;
  const DWORD started = GetTickCount();
  RebuildReservations(*app.fs, app.folders.schedule, app.doc->Guide().Guide(), app.dayStartHour, app.reservations,
                      full);
  const DWORD rebuilt = GetTickCount();
  CollectPlannerResults();
  const DWORD collected = GetTickCount();
  AfterListChange();
  DebugPrintf("Tavora: reservations read in %lu ms, results in %lu ms, marks in %lu ms",
              static_cast<unsigned long>(rebuilt - started), static_cast<unsigned long>(collected - rebuilt),
              static_cast<unsigned long>(GetTickCount() - collected));
}
