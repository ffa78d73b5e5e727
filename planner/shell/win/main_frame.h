// CMainFrame: the planner's main window. Menu 128 with the recent guide
// settings files, the panes of the timetable and the reservation column laid
// out as a splitter whose two vertical bars the user drags, and the one 100 ms
// timer that drives everything periodic.
#pragma once
#include <windows.h>

#include <memory>
#include <set>
#include "common/win/window.h"
#include "planner/shell/frame_ticker.h"
#include "planner/shell/recent_files.h"
#include "planner/shell/splitter_layout.h"
#include "planner/shell/win/timetable_panes.h"

class CReserveView;
class CClockWindow;

class CMainFrame : public WindowImpl<CMainFrame> {
 public:
  CMainFrame();
  ~CMainFrame() override;
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

  // Creates the window at the stored placement; false on failure.
  bool CreateFrame(HINSTANCE instance, const std::string& titleCp932);
  const TimetablePanes& Panes() const { return panes_; }
  CReserveView* ReserveView() const { return reserveView_.get(); }
  // Re-lays the panes out (after the reservation column's width changed).
  void LayOutPanes();
  // Repaints every pane.
  void RedrawPanes();
  // The one-minute work: reservations and results re-read, lanes, marks, redraw.
  void MinuteRefresh();

 private:
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnTimer(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnQueryEndSession(WPARAM, LPARAM);
  LRESULT OnEndSession(WPARAM, LPARAM);
  LRESULT OnInitMenuPopup(WPARAM, LPARAM);
  LRESULT OnGetMinMaxInfo(WPARAM, LPARAM);
  LRESULT OnSetCursor(WPARAM, LPARAM);
  LRESULT OnNotify(WPARAM, LPARAM);
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnLeftDown(WPARAM, LPARAM);
  LRESULT OnMouseMove(WPARAM, LPARAM);
  LRESULT OnLeftUp(WPARAM, LPARAM);
  LRESULT OnCaptureChanged(WPARAM, LPARAM);
  void OnToggleToolbar();
  // Ids the table does not list: the timetable's, the document's, recent files.
  void OnOtherCommand(int id, UINT code);

  void OnActivateRequest();
  void OnToggleReserveColumn();
  void OnToggleReserveButtons();
  void OnToggleHover();
  void OnReceivedList();
  void OnSettings();
  void OnTimeCalibration();
  void OnClearReservations();
  void OnSetTimeError();
  void OnOpenGuideSettings();
  void OnExit();
  void OnAbout();
  void OnTestReserve();

  void PostToPanes(bool all);
  void StorePlacement();
  // What the exit writes: the part windows' values, the placement, the view settings.
  void SaveForExit();
  // A unit program that could not be started, told to the user outside any modal loop.
  void ReportUnitStartFailure();

  // The splitter: columns of the current client width, the inverted line of a drag.
  SplitterColumns Columns() const;
  int PanesTop() const;
  void InvertTracker(int left);
  void EndDrag();
  void DropBar(SplitterBar bar, int left);

  // The recent guide settings files under "番組表の切り替え".
  void OpenGuideSettingsFile(const std::string& path);
  void OpenRecent(std::size_t index);
  void RebuildRecentMenu();

  TimetablePanes panes_;
  HWND toolbar_ = nullptr;
  std::unique_ptr<CReserveView> reserveView_;
  std::unique_ptr<CClockWindow> clock_;
  FrameTicker ticker_;
  UINT_PTR timerId_ = 0;
  // Work that waits for the open modal loop to end: command ids, or kDeferredMinute.
  static constexpr int kDeferredMinute = -1;
  std::set<int> deferred_;
  bool DeferWhileModal(int work);
  void RunDeferred();

  int timeScaleWidth_ = kTimeScaleWidth;
  int reserveShownWidth_ = kDefaultReserveWidth;  // the column's width whenever it is shown
  SplitterBar dragBar_ = SplitterBar::None;
  int dragOffset_ = 0;    // pointer x minus the bar's left edge at the press
  int trackerLeft_ = -1;  // the inverted line's left edge while dragging
  RecentFiles recent_;
};
