// CMainFrame: the planner's main window. Menu 128, the panes of the timetable
// and the reservation column laid out as a fixed splitter, and the one 100 ms
// timer that drives everything periodic.
#pragma once
#include <windows.h>

#include <memory>
#include "common/win/window.h"
#include "planner/shell/frame_ticker.h"
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
  LRESULT OnInitMenuPopup(WPARAM, LPARAM);
  LRESULT OnGetMinMaxInfo(WPARAM, LPARAM);
  LRESULT OnSetCursor(WPARAM, LPARAM);
  LRESULT OnNotify(WPARAM, LPARAM);
  void OnToggleToolbar();
  bool OtherCommand(int id) override;

  void OnActivateRequest();
  void OnToggleReserveColumn();
  void OnToggleReserveButtons();
  void OnToggleHover();
  void OnTimeCalibration();
  void OnClearReservations();
  void OnSetTimeError();
  void OnOpenGuideSettings();
  void OnExit();
  void OnAbout();
  void OnTestReserve();

  void PostToPanes(bool all);
  void StorePlacement();

  TimetablePanes panes_;
  HWND toolbar_ = nullptr;
  std::unique_ptr<CReserveView> reserveView_;
  std::unique_ptr<CClockWindow> clock_;
  FrameTicker ticker_;
  UINT_PTR timerId_ = 0;
};
