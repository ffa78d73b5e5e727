#include "planner/shell/win/main_frame.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <cstdio>
#include <set>
#include <cwchar>
#include <string>
#include <vector>

#include "common/debug_log.h"
#include "common/files.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/dpi.h"
#include "common/win/message_box.h"
#include "common/win/modal_loop.h"
#include "common/win/scoped_win.h"
#include "planner/history/win/planner_history.h"
#include "planner/planner_values.h"
#include "planner/reserve/reservation_files.h"
#include "planner/reserve/win/reserve_actions.h"
#include "planner/reserve/win/reserve_view.h"
#include "planner/reserve/win/unit_link.h"
#include "planner/shell/win/clock_window.h"
#include "planner/shell/win/frame_toolbar.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/settings_commands.h"
#include "planner/shell/win/tavora_app.h"
#include "planner/timetable/tavora_doc.h"
#include "common/win/modal_loop.h"

static_assert(ID_REDISPLAY == peer::kCmdPlannerRefresh, "the unit posts this id");
static_assert(ID_PLANNER_ACTIVATE == peer::kCmdPlannerActivate, "a second planner posts this id");
static_assert(ID_GUIDE_UPDATE == kCmdGuideUpdate && ID_SET_TIME_ERROR == kCmdSetTimeError, "document ids");

namespace {
const wchar_t kFrameClass[] = L"TavoraMainFrame";
const char* const kEnv = peer::kEnvironmentSubKey;
constexpr UINT_PTR kFirstTimer = 10;
constexpr UINT_PTR kLastTimer = 29;
// Pixels at 96 dpi; Scaled() gives them on the screen. The widths the user
// drags are stored at 96 dpi as well.
constexpr int kClockWidth = 110;

// Commands the document handles itself (enabled and checked states included).
bool IsDocumentCommand(int id) {
  switch (id) {
    case ID_GUIDE_UPDATE: case ID_FONT_BIGGER: case ID_FONT_SMALLER: case ID_HZOOM_IN: case ID_HZOOM_OUT:
    case ID_VZOOM_IN: case ID_VZOOM_OUT: case ID_REDISPLAY: case ID_TITLE_SERIES: case ID_TITLE_CHANNEL:
    case ID_TITLE_CATEGORY: case ID_DAY_MODE_24:
      return true;
    default:
      return false;
  }
}

void Place(HWND w, int x, int y, int width, int height) {
  if (w) MoveWindow(w, x, y, width < 0 ? 0 : width, height < 0 ? 0 : height, TRUE);
}
}  // namespace

namespace {
// Enabled and checked state of a frame command, for the menu and the tool bar.
void CommandState(HWND toolbar, int id, bool* enabled, bool* checked) {
  CTavoraApp& app = TheApp();
  *enabled = true;
  *checked = false;
  if (TimetableCommandState(id, enabled, checked)) return;
  if (id == ID_RECEIVED_LIST) {
    *enabled = CanOpenPlannerReceivedList();
  } else if (IsDocumentCommand(id)) {
    *enabled = app.doc && app.doc->IsEnabled(id);
    *checked = app.doc && app.doc->IsChecked(id);
  } else if (id == ID_RESERVE_COLUMN) {
    *checked = app.doc && app.doc->reservationColumnWidth > 0;
  } else if (id == ID_VIEW_RESERVE_BUTTONS) {
    *checked = app.display.reserveButtons;
  } else if (id == ID_VIEW_HOVER) {
    *checked = app.display.hoverFeedback;
  } else if (id == ID_RESERVE_CLEAR) {
    *enabled = !app.reservations.Empty();
  } else if (id == ID_VIEW_TOOLBAR) {
    *enabled = toolbar != nullptr;
    *checked = toolbar && IsWindowVisible(toolbar);
  } else {
    // Commands no part has connected yet are shown but cannot be chosen.
    *enabled = id == ID_TIME_CALIBRATION || id == ID_FILE_OPEN || id == ID_APP_EXIT || id == ID_APP_ABOUT ||
               id == ID_SETTINGS || (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4);
  }
}
}  // namespace

const CMainFrame::MessageEntry CMainFrame::kMessages[] = {
    {WM_CREATE, &CMainFrame::OnCreate},
    {WM_SIZE, &CMainFrame::OnSize},
    {WM_TIMER, &CMainFrame::OnTimer},
    {WM_DESTROY, &CMainFrame::OnDestroy},
    {WM_QUERYENDSESSION, &CMainFrame::OnQueryEndSession},
    {WM_ENDSESSION, &CMainFrame::OnEndSession},
    {WM_INITMENUPOPUP, &CMainFrame::OnInitMenuPopup},
    {WM_GETMINMAXINFO, &CMainFrame::OnGetMinMaxInfo},
    {WM_SETCURSOR, &CMainFrame::OnSetCursor},
    {WM_NOTIFY, &CMainFrame::OnNotify},
    {WM_PAINT, &CMainFrame::OnPaint},
    {WM_LBUTTONDOWN, &CMainFrame::OnLeftDown},
    {WM_MOUSEMOVE, &CMainFrame::OnMouseMove},
    {WM_LBUTTONUP, &CMainFrame::OnLeftUp},
    {WM_CAPTURECHANGED, &CMainFrame::OnCaptureChanged},
    {0, nullptr},
};

const CMainFrame::CommandEntry CMainFrame::kCommands[] = {
    {ID_PLANNER_ACTIVATE, &CMainFrame::OnActivateRequest},
    {ID_RESERVE_COLUMN, &CMainFrame::OnToggleReserveColumn},
    {ID_TIME_CALIBRATION, &CMainFrame::OnTimeCalibration},
    {ID_RESERVE_CLEAR, &CMainFrame::OnClearReservations},
    {ID_SET_TIME_ERROR, &CMainFrame::OnSetTimeError},
    {ID_FILE_OPEN, &CMainFrame::OnOpenGuideSettings},
    {ID_APP_EXIT, &CMainFrame::OnExit},
    {ID_APP_ABOUT, &CMainFrame::OnAbout},
    {ID_TEST_RESERVE, &CMainFrame::OnTestReserve},
    {ID_VIEW_TOOLBAR, &CMainFrame::OnToggleToolbar},
    {ID_VIEW_RESERVE_BUTTONS, &CMainFrame::OnToggleReserveButtons},
    {ID_VIEW_HOVER, &CMainFrame::OnToggleHover},
    {ID_RECEIVED_LIST, &CMainFrame::OnReceivedList},
    {ID_SETTINGS, &CMainFrame::OnSettings},
    {kAnyCommand, &CMainFrame::OnOtherCommand},
    {0, nullptr},
};

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

bool CMainFrame::CreateFrame(HINSTANCE instance, const std::string& title) {
  CTavoraApp& app = TheApp();
  Register(instance, kFrameClass, CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1),
           LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME)));
  namespace pv = planner_values;
  const PlannerSettings& s = *app.settings;
  RECT r;
  r.left = pv::Read(s, pv::kWindowLeft);
  r.top = pv::Read(s, pv::kWindowTop);
  // The stored size is the window's own on this screen, as it was left.
  const int defaultWidth = Scaled(pv::kWindowWidth.fallback), defaultHeight = Scaled(pv::kWindowHeight.fallback);
  int width = pv::Read(s, pv::kWindowWidth, defaultWidth);
  int height = pv::Read(s, pv::kWindowHeight, defaultHeight);
  if (width <= 0 || height <= 0) width = defaultWidth, height = defaultHeight;
  r.right = r.left + width;
  r.bottom = r.top + height;
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
  return Create(instance, kFrameClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, r, nullptr, menu) != nullptr;
}

LRESULT CMainFrame::OnCreate(WPARAM, LPARAM) {
  CTavoraApp& app = TheApp();
  app.mainFrame = Handle();
  reserveShownWidth_ = StoredReserveWidth(app.settings->Int(kEnv, frame_values::kReserveWidth, 0));
  timeScaleWidth_ = StoredTimeScaleWidth(app.settings->Int(kEnv, frame_values::kTimeScaleWidth, 0), kTimeScaleWidth);
  app.doc->reservationColumnWidth = reserveShownWidth_;
  recent_ = RecentFiles::Load(*app.settings);
  RebuildRecentMenu();
  toolbar_ = CreateFrameToolbar(app.instance, Handle());
  reserveView_ = std::make_unique<CReserveView>();
  reserveView_->CreateView(app.instance, Handle());
  panes_ = CreateTimetablePanes(Handle(), *app.doc, reserveView_->Handle());
  reserveView_->SetGrid(panes_.grid);
  clock_ = std::make_unique<CClockWindow>();
  clock_->CreateClock(app.instance, Handle(), app.doc->Now().TimeError());
  timerId_ = StartTimer(kFirstTimer, kLastTimer, FrameTicker::kPeriodMs);
  return 0;
}

SplitterColumns CMainFrame::Columns() const {
  RECT rc;
  GetClientRect(Handle(), &rc);
  const CTavoraDoc* doc = TheApp().doc;
  return LayOutColumns(rc.right, Scaled(timeScaleWidth_), doc ? Scaled(doc->reservationColumnWidth) : 0, ScreenDpi());
}

int CMainFrame::PanesTop() const { return ToolbarHeight(toolbar_) + panes_.dayInfoHeight; }

void CMainFrame::LayOutPanes() {
  RECT rc;
  GetClientRect(Handle(), &rc);
  const int width = rc.right;
  const int height = rc.bottom;
  const int bar = ToolbarHeight(toolbar_);
  if (toolbar_ && bar) MoveWindow(toolbar_, 0, 0, width, bar, TRUE);
  const int top = bar + panes_.dayInfoHeight;
  const int rowHeight = Scaled(kTitleRowHeight);
  const int clockWidth = Scaled(kClockWidth);
  const int gridTop = top + rowHeight;
  const SplitterColumns c = Columns();
  Place(panes_.dayInfo, 0, bar, width - clockWidth, panes_.dayInfoHeight);
  if (clock_) Place(clock_->Handle(), width - clockWidth, bar, clockWidth, panes_.dayInfoHeight);
  Place(panes_.corner, 0, top, c.timeScaleWidth, rowHeight);
  Place(panes_.titles, c.gridLeft, top, c.gridWidth, rowHeight);
  Place(panes_.reserveHeading, c.reserveLeft, top, c.reserveWidth, rowHeight);
  Place(panes_.timeScale, 0, gridTop, c.timeScaleWidth, height - gridTop);
  Place(panes_.grid, c.gridLeft, gridTop, c.gridWidth, height - gridTop);
  if (reserveView_) Place(reserveView_->Handle(), c.reserveLeft, gridTop, c.reserveWidth, height - gridTop);
  // The bars are the frame's own background between the panes.
  InvalidateRect(Handle(), nullptr, TRUE);
}

void CMainFrame::RedrawPanes() {
  for (HWND w : {panes_.dayInfo, panes_.corner, panes_.titles, panes_.reserveHeading, panes_.timeScale, panes_.grid})
    if (w) InvalidateRect(w, nullptr, TRUE);
  if (reserveView_) reserveView_->Redraw();
}

LRESULT CMainFrame::OnSize(WPARAM, LPARAM) {
  LayOutPanes();
  return 0;
}

void CMainFrame::PostToPanes(bool all) {
  const WPARAM timer = ID_PANE_TIMER;
  if (panes_.grid) PostMessageW(panes_.grid, WM_COMMAND, timer, 0);
  if (reserveView_) PostMessageW(reserveView_->Handle(), WM_COMMAND, timer, 0);
  if (!all) return;
  for (HWND w : {panes_.dayInfo, panes_.corner, panes_.titles, panes_.reserveHeading, panes_.timeScale})
    if (w) PostMessageW(w, WM_COMMAND, timer, 0);
  if (clock_) clock_->Tick();
}

LRESULT CMainFrame::OnTimer(WPARAM id, LPARAM) {
  if (id != timerId_) return 0;
  CTavoraApp& app = TheApp();
  RunDeferred();
  UnitLinkTick();
  ReportUnitStartFailure();
  const TickWork work = ticker_.Tick(app.doc != nullptr && !app.doc->notInitialised);
  if (work.hoverPanes) PostToPanes(work.allPanes);
  if (work.minute) MinuteRefresh();
  if (work.allPanes) SettingsSecondTick();
  if (work.allPanes) {
    UpdateToolbarButtons(toolbar_, [this](int command) {
      bool enabled, checked;
      CommandState(toolbar_, command, &enabled, &checked);
      return enabled;
    });
  }
  if (work.allPanes && app.doc) {
    CTavoraDoc& doc = *app.doc;
    if (GuideUpdateDue(doc.Now().Now(), doc.guideCheckInterval, &doc.nextGuideCheck, &doc.nextDailyReload))
      PostCommand(ID_GUIDE_UPDATE);
  }
  return 0;
}

void FullRefresh() {
  RebuildAndCollect(true);
  if (HWND frame = TheApp().mainFrame) RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// A guide update, a redisplay (32798) or the minute's refresh frees or rebuilds
// what an open dialog, message box or menu may be showing: while any modal loop
// runs, it waits and runs once when the loop has ended.
bool CMainFrame::DeferWhileModal(int work) {
  if (!ModalLoop::IsOpen()) return false;
  if (deferred_.insert(work).second) DebugPrintf("Tavora: %d waits for the open dialog to close", work);
  return true;
}

void CMainFrame::RunDeferred() {
  if (deferred_.empty() || ModalLoop::IsOpen()) return;
  const std::set<int> due = std::move(deferred_);
  deferred_.clear();
  CTavoraApp& app = TheApp();
  // The minute's refresh first: a guide update rebuilds the lists again anyway.
  for (int work : {kDeferredMinute, static_cast<int>(ID_REDISPLAY), static_cast<int>(ID_GUIDE_UPDATE)}) {
    if (!due.count(work)) continue;
    DebugPrintf("Tavora: %d runs now that the dialog has closed", work);
    if (work == kDeferredMinute) {
      MinuteRefresh();
    } else if (app.doc) {
      app.doc->OnCommand(work);
      RedrawPanes();
    }
  }
}

void CMainFrame::MinuteRefresh() {
  CTavoraApp& app = TheApp();
  if (!app.doc) return;
  if (DeferWhileModal(kDeferredMinute)) return;
  RebuildReservations(*app.fs, app.folders.schedule, app.doc->Guide().Guide(), app.dayStartHour, app.reservations,
                      false);
  CollectPlannerResults();
  app.reservations.LayOutLanes();
  app.SyncReservationMarks();
  app.doc->UpdateProgramMarks();
  RedrawPanes();
}

LRESULT CMainFrame::OnDestroy(WPARAM, LPARAM) {
  ClosePlannerHistory();
  StopAllTimers();
  timerId_ = 0;
  StorePlacement();
  TheApp().mainFrame = nullptr;
  PostQuitMessage(0);
  return 0;
}

// The planner never holds a logoff or a shutdown up: what its exit would write
// is written at WM_ENDSESSION.
LRESULT CMainFrame::OnQueryEndSession(WPARAM, LPARAM) { return TRUE; }

// The process ends when this returns, without WM_DESTROY and without the
// document's clearing: what the exit writes is written now. Nothing is freed,
// as a dialog may still be open over the lists.
LRESULT CMainFrame::OnEndSession(WPARAM endsNow, LPARAM) {
  if (!endsNow) return 0;
  DebugOut("Tavora: the session ends: placement and view settings saved");
  SaveForExit();
  return 0;
}

void CMainFrame::SaveForExit() {
  ClosePlannerHistory();
  StorePlacement();
  if (TheApp().doc) TheApp().doc->SaveViewSettings();
}

void CMainFrame::ReportUnitStartFailure() {
  if (ModalLoop::IsOpen()) return;
  const std::string program = TakeUnitStartFailure();
  if (program.empty()) return;
  CTavoraApp& app = TheApp();
  const std::string format = app.String(IDS_UNIT_START_FAILED);
  std::vector<char> text(format.size() + program.size() + 16);
  std::snprintf(text.data(), text.size(), format.c_str(), program.c_str());
  ShowMessageBox(Handle(), text.data(), app.String(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
}

void CMainFrame::StorePlacement() {
  PlannerSettings& s = *TheApp().settings;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(Handle(), &wp);
  const bool iconic = IsIconic(Handle()) != 0;
  namespace pv = planner_values;
  pv::Write(s, pv::kWindowIconic, iconic ? 1 : 0);
  pv::Write(s, pv::kWindowZoom, IsZoomed(Handle()) ? 1 : 0);
  if (iconic) return;
  // The restored rectangle, also while maximised: the next start restores to it.
  const RECT& r = wp.rcNormalPosition;
  pv::Write(s, pv::kWindowLeft, r.left);
  pv::Write(s, pv::kWindowTop, r.top);
  pv::Write(s, pv::kWindowWidth, r.right - r.left);
  pv::Write(s, pv::kWindowHeight, r.bottom - r.top);
}

LRESULT CMainFrame::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  // Child windows ask their parent first: during long work every pane shows the wait cursor.
  if (TheApp().waitCursor > 0) {
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
    return TRUE;
  }
  if (reinterpret_cast<HWND>(wParam) == Handle() && LOWORD(lParam) == HTCLIENT) {
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(Handle(), &pt);
    if (dragBar_ != SplitterBar::None || (pt.y >= PanesTop() && BarAt(Columns(), pt.x) != SplitterBar::None)) {
      SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32644)));  // IDC_SIZEWE
      return TRUE;
    }
  }
  return DefWindowProcW(Handle(), WM_SETCURSOR, wParam, lParam);
}

// --- splitter ----------------------------------------------------------------

// The frame's own client area is the two bars between the panes: raised
// strips in the button face colour, as splitter bars look.
LRESULT CMainFrame::OnPaint(WPARAM, LPARAM) {
  PaintDC paint(Handle());
  const HDC dc = paint.Get();
  RECT rc;
  GetClientRect(Handle(), &rc);
  const SplitterColumns c = Columns();
  const int top = PanesTop();
  for (int left : {c.TimeBarLeft(), c.reserveBarLeft}) {
    if (left < 0) continue;
    RECT bar = {left, top, left + c.barWidth, rc.bottom};
    FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &bar, EDGE_RAISED, BF_LEFT | BF_RIGHT);
  }
  return 0;
}

void CMainFrame::InvertTracker(int left) {
  if (left < 0) return;
  RECT rc;
  GetClientRect(Handle(), &rc);
  const int top = PanesTop();
  // Over the panes as well: the line is drawn without the children clipped out.
  HDC dc = GetDCEx(Handle(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!dc) return;
  PatBlt(dc, left, top, Scaled(kSplitterBar), rc.bottom - top, DSTINVERT);
  ReleaseDC(Handle(), dc);
}

LRESULT CMainFrame::OnLeftDown(WPARAM, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  if (dragBar_ != SplitterBar::None || y < PanesTop()) return 0;
  const SplitterColumns c = Columns();
  const SplitterBar bar = BarAt(c, x);
  if (bar == SplitterBar::None) return 0;
  const int left = bar == SplitterBar::TimeScale ? c.TimeBarLeft() : c.reserveBarLeft;
  dragBar_ = bar;
  dragOffset_ = x - left;
  trackerLeft_ = left;
  SetCapture(Handle());
  InvertTracker(trackerLeft_);
  return 0;
}

LRESULT CMainFrame::OnMouseMove(WPARAM, LPARAM lParam) {
  if (dragBar_ == SplitterBar::None) return 0;
  RECT rc;
  GetClientRect(Handle(), &rc);
  const int left = ClampBarLeft(dragBar_, GET_X_LPARAM(lParam) - dragOffset_, rc.right, Columns(), ScreenDpi());
  if (left == trackerLeft_) return 0;
  InvertTracker(trackerLeft_);
  trackerLeft_ = left;
  InvertTracker(trackerLeft_);
  return 0;
}

LRESULT CMainFrame::OnLeftUp(WPARAM, LPARAM lParam) {
  if (dragBar_ == SplitterBar::None) return 0;
  OnMouseMove(0, lParam);
  const SplitterBar bar = dragBar_;
  const int left = trackerLeft_;
  EndDrag();
  DropBar(bar, left);
  return 0;
}

LRESULT CMainFrame::OnCaptureChanged(WPARAM, LPARAM) {
  // Capture taken away (another window, Esc in a menu): the drag is abandoned.
  EndDrag();
  return 0;
}

void CMainFrame::EndDrag() {
  if (dragBar_ == SplitterBar::None) return;
  InvertTracker(trackerLeft_);
  dragBar_ = SplitterBar::None;
  trackerLeft_ = -1;
  if (GetCapture() == Handle()) ReleaseCapture();
}

void CMainFrame::DropBar(SplitterBar bar, int left) {
  CTavoraApp& app = TheApp();
  RECT rc;
  GetClientRect(Handle(), &rc);
  if (bar == SplitterBar::TimeScale) {
    timeScaleWidth_ = UnscaleForDpi(TimeScaleWidthAt(left, ScreenDpi()), ScreenDpi());
    app.settings->SetInt(kEnv, frame_values::kTimeScaleWidth, timeScaleWidth_);
  } else if (bar == SplitterBar::Reserve && app.doc) {
    const int width = UnscaleForDpi(ReserveWidthAt(left, rc.right, ScreenDpi()), ScreenDpi());
    // Narrower than the minimum hides the column; its last width comes back with 32816.
    app.doc->reservationColumnWidth = width;
    if (width > 0) {
      reserveShownWidth_ = width;
      app.settings->SetInt(kEnv, frame_values::kReserveWidth, width);
    }
  }
  LayOutPanes();
  RedrawPanes();
}

LRESULT CMainFrame::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMinTrackSize.x = 200;
  info->ptMinTrackSize.y = 150;
  return 0;
}


LRESULT CMainFrame::OnInitMenuPopup(WPARAM wParam, LPARAM) {
  HMENU menu = reinterpret_cast<HMENU>(wParam);
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const UINT id = GetMenuItemID(menu, i);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;
    bool enabled, checked;
    CommandState(toolbar_, static_cast<int>(id), &enabled, &checked);
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
  return 0;
}

LRESULT CMainFrame::OnNotify(WPARAM, LPARAM lParam) {
  NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
  if (header->code != TTN_GETDISPINFOW) return 0;
  // A button's tip is its menu item's text without the accelerator mark.
  NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
  static wchar_t tip[128];
  tip[0] = 0;
  GetMenuStringW(GetMenu(Handle()), static_cast<UINT>(header->idFrom), tip, 127, MF_BYCOMMAND);
  std::wstring text = tip;
  const std::size_t mark = text.find(L"(&");
  if (mark != std::wstring::npos) text.erase(mark, text.find(L')', mark) - mark + 1);
  const std::size_t tab = text.find(L'\t');
  if (tab != std::wstring::npos) text.erase(tab);
  wcsncpy(tip, text.c_str(), 127);
  info->lpszText = tip;
  return 0;
}

void CMainFrame::OnToggleToolbar() {
  if (!toolbar_) return;
  ShowWindow(toolbar_, IsWindowVisible(toolbar_) ? SW_HIDE : SW_SHOW);
  LayOutPanes();
}

void CMainFrame::OnOtherCommand(int id, UINT) {
  if (RunTimetableCommand(id)) return;
  CTavoraApp& app = TheApp();
  if (IsDocumentCommand(id) && app.doc) {
    if (DeferWhileModal(id)) return;
    app.doc->OnCommand(id);
    RedrawPanes();
    return;
  }
  if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4) {
    OpenRecent(static_cast<std::size_t>(id - ID_FILE_MRU_FILE1));
    return;
  }
  if (id == ID_RESERVE_TITLES) {
    // Re-positioning the names is the column's; the frame passes it on.
    if (reserveView_) PostMessageW(reserveView_->Handle(), WM_COMMAND, ID_RESERVE_TITLES, 0);
    return;
  }
}

void CMainFrame::OnActivateRequest() {
  DebugOut("Tavora: brought to the front by a second start");
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
}

void CMainFrame::OnToggleReserveColumn() {
  CTavoraDoc* doc = TheApp().doc;
  if (!doc) return;
  doc->reservationColumnWidth = doc->reservationColumnWidth > 0 ? 0 : reserveShownWidth_;
  LayOutPanes();
  RedrawPanes();
}

void CMainFrame::OnToggleReserveButtons() {
  CTavoraApp& app = TheApp();
  app.display.reserveButtons = !app.display.reserveButtons;
  WriteDisplaySwitches(*app.settings, app.display);
  RedrawPanes();
}

void CMainFrame::OnToggleHover() {
  CTavoraApp& app = TheApp();
  app.display.hoverFeedback = !app.display.hoverFeedback;
  WriteDisplaySwitches(*app.settings, app.display);
  // A program raised under the pointer goes back to its plain look at once.
  if (!app.display.hoverFeedback && panes_.grid) SendMessageW(panes_.grid, WM_COMMAND, ID_PANE_ACTIVE, 0);
  RedrawPanes();
}

void CMainFrame::OnReceivedList() {
  if (CanOpenPlannerReceivedList()) OpenPlannerReceivedList();
}

void CMainFrame::OnSettings() { OpenSettings(); }

void CMainFrame::OnTimeCalibration() { StartUnitTimeReceiver(TheApp().programFolder); }

void CMainFrame::OnClearReservations() { ClearAllReservations(Handle()); }

void CMainFrame::OnSetTimeError() {
  if (clock_ && TheApp().doc) clock_->SetTimeError(TheApp().doc->Now().TimeError());
}

void CMainFrame::OnOpenGuideSettings() {
  wchar_t file[MAX_PATH] = {};
  const std::wstring title = Cp932ToWide(J(u8"番組表設定ﾌｧｲﾙを選択"));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Handle();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  {
    ModalLoop loop;
    if (!GetOpenFileNameW(&ofn)) return;
  }
  OpenGuideSettingsFile(WideToCp932(file));
}

void CMainFrame::OpenGuideSettingsFile(const std::string& path) {
  CTavoraApp& app = TheApp();
  if (!app.doc) return;
  app.reservations.Clear();
  const bool opened = app.doc->OnOpenDocument(path);
  RebuildAndCollect(true);
  RedrawPanes();
  DebugPrintf("Tavora: guide settings file %s %s", path.c_str(), opened ? "opened" : "could not be opened");
  if (!opened) return;
  recent_.Add(path);
  recent_.Save(*app.settings);
  RebuildRecentMenu();
}

void CMainFrame::OpenRecent(std::size_t index) {
  if (index >= recent_.Paths().size()) return;
  CTavoraApp& app = TheApp();
  const std::string path = recent_.Paths()[index];
  if (app.fs->Exists(path) && !app.fs->IsFolder(path)) {
    OpenGuideSettingsFile(path);
    return;
  }
  // Gone since it was opened: it leaves the list, and the user is told which one.
  recent_.Remove(path);
  recent_.Save(*app.settings);
  RebuildRecentMenu();
  const std::string format = app.String(IDS_RECENT_MISSING);
  std::vector<char> text(format.size() + path.size() + 16);
  std::snprintf(text.data(), text.size(), format.c_str(), path.c_str());
  ShowMessageBox(Handle(), text.data(), app.String(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
}

void CMainFrame::RebuildRecentMenu() {
  HMENU file = GetSubMenu(GetMenu(Handle()), 0);
  if (!file) return;
  for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id) DeleteMenu(file, static_cast<UINT>(id), MF_BYCOMMAND);
  int position = 0;
  const int count = GetMenuItemCount(file);
  while (position < count && GetMenuItemID(file, position) != ID_FILE_OPEN) ++position;
  const std::vector<std::string>& paths = recent_.Paths();
  for (std::size_t i = 0; i < paths.size(); ++i) {
    InsertMenuW(file, static_cast<UINT>(position + 1 + static_cast<int>(i)), MF_BYPOSITION | MF_STRING,
                static_cast<UINT_PTR>(ID_FILE_MRU_FILE1 + static_cast<int>(i)),
                Cp932ToWide(RecentFiles::MenuText(i, paths[i])).c_str());
  }
  // The File menu as it now reads, for the tests and for anyone reading the log.
  const int items = GetMenuItemCount(file);
  for (int i = 0; i < items; ++i) {
    wchar_t text[MAX_PATH + 16] = {};
    GetMenuStringW(file, static_cast<UINT>(i), text, MAX_PATH + 15, MF_BYPOSITION);
    DebugPrintf("Tavora: file menu %d %u %s", i, GetMenuItemID(file, i), WideToCp932(text).c_str());
  }
}

void CMainFrame::OnExit() { DestroyWindow(Handle()); }

namespace {
// OK and Cancel end it.
class CAboutDlg : public DialogImpl<CAboutDlg> {};
}  // namespace

void CMainFrame::OnAbout() {
  CAboutDlg about;
  about.RunModal(TheApp().instance, IDD_ABOUTBOX, Handle());
}

void CMainFrame::OnTestReserve() { OpenTestReservation(Handle()); }
