#include "planner/shell/win/shell_doc_hooks.h"

#include <windows.h>

#include "common/debug_log.h"
#include "planner/reserve/reservation_files.h"
#include "planner/reserve/win/reserve_actions.h"
#include "planner/reserve/win/unit_link.h"
#include "planner/shell/win/message_dialog.h"
#include "planner/shell/win/settings_commands.h"
#include "planner/shell/win/tavora_app.h"

bool CShellDocHooks::LoadReservationsAndResults() {
  // At load only the files are read in (the list is empty anyway).
  RebuildAndCollect(false);
  const bool reserved = RunKeywordReservation();
  return reserved || !TheApp().reservations.Empty();
}

void CShellDocHooks::ReloadResults() {
  // After a guide update the programs are new records: the list is rebuilt on them.
  RebuildAndCollect(true);
}

bool CShellDocHooks::RescanReservations() {
  RebuildAndCollect(true);
  DebugPrintf("Tavora: redisplay: %zu reservations", TheApp().reservations.Size());
  return false;
}

bool CShellDocHooks::RunKeywordReservation() {
  const bool reserved = RunKeywordSearch();
  if (reserved) RebuildAndCollect(false);
  return reserved;
}

void CShellDocHooks::NotifyUnit() { WakeUnit(TheApp().programFolder); }

void CShellDocHooks::LayOutReservationLanes() {
  CTavoraApp& app = TheApp();
  app.reservations.LayOutLanes();
  app.SyncReservationMarks();
}

void CShellDocHooks::RedrawAllViews() {
  if (views_) views_->RedrawAllViews();
  if (HWND frame = TheApp().mainFrame) RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CShellDocHooks::PostToMainFrame(int command) {
  if (HWND frame = TheApp().mainFrame) PostMessageW(frame, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

void CShellDocHooks::WaitCursor(bool on) {
  // Messages keep flowing during a fetch: the frame's WM_SETCURSOR keeps the
  // wait cursor up while the count is above 0.
  CTavoraApp& app = TheApp();
  if (on) {
    if (app.waitCursor++ == 0) savedCursor_ = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
  } else if (app.waitCursor > 0 && --app.waitCursor == 0) {
    SetCursor(savedCursor_ ? savedCursor_ : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
  }
}

bool CShellDocHooks::ShowServerFailure() { return ShowServerFailureMessage(TheApp().mainFrame); }
