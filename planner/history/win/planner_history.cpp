// The reception history in Tavora.exe: the received list collected by the frame,
// command 32810, the missed-programs notice after start-up, and the received
// contents for the reservation dialog's total check.
#include "planner/history/win/planner_history.h"

#include <windows.h>

#include <memory>

#include "common/files.h"
#include "planner/history/history_doc.h"
#include "planner/history/reception_history.h"
#include "planner/history/win/history_windows.h"
#include "planner/shell/win/bubble.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/tavora_app.h"
#include "planner/timetable/tavora_doc.h"

ReceptionHistory& PlannerReceptionHistory() {
  static std::unique_ptr<ReceptionHistory> history;
  if (!history) history = std::make_unique<ReceptionHistory>(*TheApp().fs, TheApp().doc->Now());
  return *history;
}

namespace {

ReceptionHistory& History() { return PlannerReceptionHistory(); }

std::unique_ptr<CBubble> g_bubble;

HistoryHost& Host() {
  static HistoryHost host;
  CTavoraApp& app = TheApp();
  host.instance = app.instance;
  host.doc = app.doc;
  host.history = &History();
  host.settings = app.settings;
  host.fs = app.fs;
  host.showBubble = [](HWND owner, POINT screen, const std::string& text) {
    g_bubble = std::make_unique<CBubble>();
    if (!g_bubble->Show(TheApp().instance, owner, text, screen)) g_bubble.reset();
  };
  host.closeBubble = [] { g_bubble.reset(); };
  host.redrawViews = [] {
    if (HWND frame = TheApp().mainFrame) RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  };
  return host;
}

}  // namespace

bool CollectPlannerResults() {
  if (!TheApp().doc) return false;
  const bool changed = CollectIntoDocument(History(), *TheApp().doc);
  if (changed) RefreshReceivedList();
  return changed;
}

std::vector<ReceivedFolder> PlannerReceivedFolders() {
  std::vector<ReceivedFolder> folders;
  for (const ReceivedEntry& e : History().Entries()) folders.push_back({e.result.storageFolder, e.contentBytes});
  return folders;
}

std::int32_t PlannerReceivedKbyte() { return static_cast<std::int32_t>(History().ReceivedKbyte()); }

bool CanOpenPlannerReceivedList() { return TheApp().doc && History().CanShowHistory(); }

void OpenPlannerReceivedList() { OpenReceivedList(TheApp().mainFrame, Host()); }

void ShowPlannerMissedPrograms() { ShowMissedProgramsNotice(TheApp().mainFrame, Host()); }

void ClosePlannerHistory() {
  g_bubble.reset();
  CloseHistoryWindows();
}
