// CReserveView: the reservation column at the right of the timetable grid.
// Each reservation is a bar in its lane on the grid's time axis; a double
// click cancels one, the right button shows its details in a bubble, the
// pointer highlights the bar under it, and pressing the left button at the
// top or bottom edge scrolls the time axis while it is held.
//
// The grid keeps the column on its vertical position with
//   SendMessageW(column, kMsgReserveSetTop, y, 0);
// and wheel and scroll-bar messages the column receives go to the grid.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include "common/win/window.h"

constexpr UINT kMsgReserveSetTop = WM_APP + 40;

class CBubble;

class CReserveView : public WindowImpl<CReserveView> {
 public:
  CReserveView();
  ~CReserveView() override;
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

  bool CreateView(HINSTANCE instance, HWND frame);
  void SetGrid(HWND grid) { grid_ = grid; }
  void Redraw();
  int Top() const { return top_; }

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
  LRESULT OnDoubleClick(WPARAM, LPARAM);
  LRESULT OnLeftDown(WPARAM, LPARAM);
  LRESULT OnLeftUp(WPARAM, LPARAM);
  LRESULT OnRightDown(WPARAM, LPARAM);
  LRESULT OnMouseMove(WPARAM, LPARAM);
  LRESULT OnSetCursor(WPARAM, LPARAM);
  LRESULT OnSetTop(WPARAM, LPARAM);
  LRESULT OnWheel(WPARAM, LPARAM);
  LRESULT OnVScroll(WPARAM, LPARAM);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnCaptureChanged(WPARAM, LPARAM);
  void OnTimerCommand();
  void DropHoverOffColumn();
  void OnUpdate();
  void OnPlaceTitles();
  void PaintTitles(HDC dc, int width, int height);

  int HitTest(int x, int y) const;
  void CloseBubble();
  void ScrollBy(int dy);

  HWND grid_ = nullptr;
  int top_ = 0;
  int hover_ = -1;
  int autoScroll_ = 0;  // -1 up, +1 down, 0 none
  std::unique_ptr<CBubble> bubble_;
  // Each bar's name inset (by program numbers), kept while the grid scrolls
  // and recomputed when scrolling has paused (command 32805); without any
  // scrolling since, every paint computes them afresh.
  std::map<std::pair<std::int32_t, std::int32_t>, std::int32_t> titleInsets_;
  int insetsTop_ = 0;          // the position they were computed at
  bool reportTitles_ = false;  // the next paint reports where the names went
};
