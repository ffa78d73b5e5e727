// The settings sheet, the keyword reservation pass, the refresh guard and the
// old content deletion in Tavora.exe.
#include "planner/shell/win/settings_commands.h"

#include <windows.h>

#include <memory>

#include "common/debug_log.h"
#include "common/files.h"
#include "common/settings.h"
#include "common/win/modal_loop.h"
#include "planner/guide/guide_program.h"
#include "planner/history/win/planner_history.h"
#include "planner/planner_values.h"
#include "planner/reserve/keyword_reserver.h"
#include "planner/reserve/keyword_search.h"
#include "planner/reserve/win/detail_fetch.h"
#include "planner/reserve/win/keyword_progress.h"
#include "planner/shell/settings_housekeeping.h"
#include "planner/shell/settings_refresh_guard.h"
#include "planner/shell/win/message_dialog.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/settings_folder_chooser.h"
#include "planner/shell/win/settings_history_link.h"
#include "planner/shell/win/settings_sheet.h"
#include "planner/shell/win/tavora_app.h"
#include "planner/timetable/tavora_doc.h"

namespace {

RefreshGuard g_refreshGuard;
// The history folder moved: the received list is collected from the new one
// as soon as no dialog is open (the list is never rebuilt inside a modal loop).
bool g_historyMoved = false;

void CollectMovedHistory() {
  if (!g_historyMoved || ModalLoop::IsOpen() || !TheApp().doc) return;
  g_historyMoved = false;
  CollectPlannerResults();
}

Time32 g_nextOldContentRun = 0;
// The question is modal: timer ticks go on while it waits and must not start
// a second run.
bool g_oldContentRunning = false;

// Nobody may be at the PC when the deletion runs: the question closes itself
// as declined when it is not answered in time.
bool AskOldContent(const std::string& question, std::uint32_t seconds) {
  CTavoraApp& app = TheApp();
  return MessageDialog(app.mainFrame, question, MB_OKCANCEL | MB_ICONQUESTION, static_cast<int>(seconds)) == IDOK;
}

void RunOldContent() {
  CTavoraApp& app = TheApp();
  if (!app.settings || !app.doc || g_oldContentRunning) return;
  const OldContentSettings s = LoadOldContentSettings(*app.settings);
  if (!OldContentEnabled(s)) return;
  std::unique_ptr<ContentHistory> history = MakePlannerContentHistory();
  g_oldContentRunning = true;
  const OldContentRun run = RunOldContentDeletion(
      *history, s, app.folders.data, app.doc->Now().Now(),
      [&s](const std::string& question) { return AskOldContent(question, s.askSeconds); });
  g_oldContentRunning = false;
  DebugPrintf("old content deletion: %d asked%s, %d deleted, %d outside the data folder left alone", run.asked,
              run.declined ? " and declined" : "", run.deleted, run.outsideDataFolder);
  if (run.deleted && app.mainFrame) PostMessageW(app.mainFrame, WM_COMMAND, ID_PANE_UPDATE, 0);
}

std::vector<std::string> Channels() {
  std::vector<std::string> names;
  if (TheApp().doc) {
    for (const std::string& n : TheApp().doc->Guide().Channels().Names()) names.push_back(n);
  }
  return names;
}

}  // namespace

bool RunKeywordSearch() {
  CTavoraApp& app = TheApp();
  if (!app.doc || !app.settings || !app.fs) return false;
  CTavoraDoc& doc = *app.doc;
  KeywordSearchInput input;
  input.now = doc.Now().Now();
  input.dataFolder = app.folders.data;
  input.receivedSuccessfully = [&doc](std::int32_t number, std::int32_t sub) {
    for (const ResultMark& r : doc.results) {
      if (r.status == 1 && r.programNumber == number && r.subNumber == sub) return true;
    }
    return false;
  };
  WinInetDetailFetcher fetcher;
  ListKeywordReserver::Folders folders{app.folders.schedule, app.folders.history, doc.guideUrl};
  ListKeywordReserver reserver(*app.fs, folders, &fetcher, app.reservations, [] { return GetTickCount(); });
  // Shown from the first detail the server must send, gone with the pass.
  KeywordProgress progress(app.mainFrame);
  reserver.OnFetch([&progress](int index, int total) { progress.Show(index, total); });
  KeywordSearchReport report;
  const bool reserved = ApplyKeywordSearch(*app.settings, doc.Guide().Guide(), input, reserver, &report);
  if (report.reserved || report.skippedNoDetail || report.skippedUnsafeHolder || report.skippedWriteFailed) {
    DebugPrintf("keyword search: %d reserved, %d without detail, %d unsafe holders, %d not written", report.reserved,
             report.skippedNoDetail, report.skippedUnsafeHolder, report.skippedWriteFailed);
  }
  if (reserved) {
    app.reservations.LayOutLanes();
    app.SyncReservationMarks();
  }
  return reserved;
}

void SettingsSecondTick() {
  CTavoraApp& app = TheApp();
  if (!app.fs || !app.doc) return;
  CollectMovedHistory();
  if (g_refreshGuard.Tick(*app.fs, app.folders.schedule)) FullRefresh();
  if (!app.settings) return;
  const Time32 now = app.doc->Now().Now();
  // The values are read again only after the sheet saved them.
  static OldContentSettings s;
  if (g_nextOldContentRun == 0) {
    s = LoadOldContentSettings(*app.settings);
    g_nextOldContentRun = NextOldContentRun(s, now);
    if (g_nextOldContentRun == 0) g_nextOldContentRun = -1;  // no daily run
  }
  if (g_nextOldContentRun > 0 && now >= g_nextOldContentRun) {
    // The next run is set before this one asks, so that the ticks during
    // the question do not find it due again.
    g_nextOldContentRun = NextOldContentRun(s, now);
    RunOldContent();
  }
}

void OpenSettings() {
  CTavoraApp& app = TheApp();
  if (!app.settings || !app.fs) return;
  SettingsContext context;
  context.instance = app.instance;
  context.mainFrame = app.mainFrame;
  context.settings = app.settings;
  context.fs = app.fs;
  context.channels = Channels();
  context.chooseFolder = [](HWND owner, const std::string& initial, std::string* chosen) {
    return ChooseFolder(TheApp().instance, owner, initial, chosen);
  };
  context.foldersSaved = [](const FolderSaveResult& saved) {
    CTavoraApp& a = TheApp();
    if (saved.historyChanged) g_historyMoved = true;
    a.folders.data = a.settings->DataFolder();
    a.folders.history = a.settings->HistoryFolder();
    a.diskLimitMb = planner_values::Read(*a.settings, planner_values::kDiskLimit);
    a.totalLimitMb = planner_values::Read(*a.settings, planner_values::kTotalLimit);
  };
  context.guideSaved = [](const GuidePageValues& v) {
    CTavoraApp& a = TheApp();
    a.dayStartHour = v.dayStart;
    if (a.doc) {
      a.doc->guideCheckInterval = v.epgUpdate * 60;
      a.doc->displayDays = v.displayDays;
      a.doc->showYesterday = v.yesterday;
      a.doc->dayStartHour = v.dayStart;
    }
  };
  context.oldContentSaved = [] { g_nextOldContentRun = 0; };
  context.redraw = [] {
    if (TheApp().mainFrame) PostMessageW(TheApp().mainFrame, WM_COMMAND, ID_PANE_UPDATE, 0);
  };
  if (OpenSettingsSheet(app.mainFrame, context)) app.display = ReadDisplaySwitches(*app.settings);
  CollectMovedHistory();
}

void RunOldContentAtStart() {
  if (TheApp().settings && LoadOldContentSettings(*TheApp().settings).execKind == kOldContentAtStart) RunOldContent();
}
