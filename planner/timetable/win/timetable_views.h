// The timetable's panes: CScView (the scrolling base of the grid),
// CTavoraView (the grid), CDayInfo (date header), CTimeView (time scale),
// CTitleView (column headings) and CTopTitleView (the corner headings).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include "planner/timetable/cell_text.h"
#include "planner/timetable/grid_geometry.h"
#include "common/win/scoped_win.h"
#include "common/win/window.h"

class TimetableWindows;
struct GuideProgram;

// Command ids the panes receive.
constexpr int kCmdViewUpdate = 32772;
constexpr int kCmdViewActive = 32784;
constexpr int kCmdViewTimer = 32797;
constexpr int kCmdDateHeader = 32804;
constexpr int kCmdReserveInsets = 32805;

// Scroll position and range of a pane with scroll bars.
class CScView {
 public:
  std::int32_t x = 0, y = 0;            // scroll position
  std::int32_t width = 0, height = 0;   // scroll sizes
  std::int32_t pageW = 0, pageH = 0;    // client size
  static constexpr std::int32_t kLine = 8;
  // Clamps the position into the range; true when it changed.
  bool ScrollTo(std::int32_t nx, std::int32_t ny);
  void UpdateBars(HWND w) const;
  // The new position for a scroll-bar message.
  std::int32_t BarPosition(HWND w, int bar, WPARAM wParam, std::int32_t pos, std::int32_t page) const;
};

class CTavoraView : public WindowImpl<CTavoraView>, public CScView {
 public:
  explicit CTavoraView(TimetableWindows& panes) : panes_(panes) {}
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  bool Create(HWND parent);
  // Sizes after a layout; the position is kept in range.
  void SetSizes(std::int32_t w, std::int32_t h);
  void SetPosition(std::int32_t nx, std::int32_t ny);
  void OnTimer();
  // The grid is drawn again now (after a change of what it shows).
  void Repaint();
  // The frame took the activation: a raised program goes back to its plain look.
  void LowerHover();
  void ClosePopup();
  // The guide records are about to be freed: nothing under the pointer or
  // under a pressed button is remembered (the next mouse move finds the new one).
  void ForgetPrograms();
  // Test hook: the visible programs' cells and buttons to the debug output.
  void DumpCells();
  std::uint32_t lastScrollTick = 0;

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnVScroll(WPARAM, LPARAM);
  LRESULT OnHScroll(WPARAM, LPARAM);
  LRESULT OnWheel(WPARAM, LPARAM);
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnLButtonUp(WPARAM, LPARAM);
  LRESULT OnLButtonDblClk(WPARAM, LPARAM);
  LRESULT OnRButtonDown(WPARAM, LPARAM);
  LRESULT OnMouseMove(WPARAM, LPARAM);
  LRESULT OnSetCursor(WPARAM, LPARAM);
  LRESULT OnCaptureChanged(WPARAM, LPARAM);
  // The pointer has left the grid (to another window, program or the desktop):
  // the program under it goes back to its plain look.
  LRESULT OnMouseLeave(WPARAM, LPARAM);
  void DropHoverOffGrid();

  // What the cells of one paint share, so each is measured or made once per
  // paint rather than once per cell.
  struct CellPaint {
    CellPaint(HDC target, HBRUSH pattern, bool recompute);
    CellPaint(const CellPaint&) = delete;
    CellPaint& operator=(const CellPaint&) = delete;
    HDC ButtonDC();
    HDC dc;
    HBRUSH framePattern;
    bool recomputeInset;
    LocalMinutes minutes;
    std::int32_t minuteWidth[60];  // pixel width of "00".."59"; -1 until measured
    ScopedMemoryDC buttonDC;       // what the button bitmaps are blitted from; made for the first
  };
  void PaintCell(CellPaint& paint, std::size_t column, GuideProgram& p);
  void PaintCellBackground(CellPaint& paint, const RECT& cell, const GuideProgram& p);
  std::int32_t NameTop(const CellPaint& paint, const RECT& cell, std::int32_t lineHeight, GuideProgram& p) const;
  std::int32_t PaintStartMinute(CellPaint& paint, const RECT& cell, std::int32_t textTop, const GuideProgram& p);
  std::int32_t PaintName(CellPaint& paint, const RECT& cell, std::int32_t nameLeft, std::int32_t nameWidth,
                         std::int32_t textTop, std::int32_t lineHeight, const GuideProgram& p);
  void PaintCellButton(CellPaint& paint, const RECT& cell, int inset, std::int32_t lineY, GuideProgram& p);
  void InvalidateProgram(const GuideProgram* p);
  GuideProgram* ProgramAtClient(POINT pt, PixelRect* cell) const;
  void Press(GuideProgram* p);
  void Activate(GuideProgram& p, bool fromButton);
  void ReserveFromGrid(GuideProgram& p);
  void OpenReceived(const GuideProgram& p);
  void SetHover(GuideProgram* p, bool raised);
  // Scrolls to a position already aligned: bars, uncovered strip, panes.
  void MoveTo(std::int32_t nx, std::int32_t ny);
  void AfterScroll(std::int32_t oldX, std::int32_t oldY);
  void ShiftPixels(std::int32_t oldX, std::int32_t oldY);
  void ShiftDayWindowIfNeeded();
  // The time scale, headings and reservation column catch up with a drag.
  void FollowDrag();

  TimetableWindows& panes_;
  GuideProgram* pressed_ = nullptr;
  bool pressedDown_ = false;
  bool dragging_ = false;
  POINT dragLast_ = {};
  int dragMoves_ = 0;
  // Scrolled by dragging since the neighbour panes last followed.
  bool dragPendingV_ = false, dragPendingH_ = false;
  GuideProgram* hover_ = nullptr;
  bool hoverRaised_ = false;
  bool overButton_ = false;
  HWND popup_ = nullptr;
  int tick_ = 0;
  POINT tickMouse_ = {};
  bool insetsStale_ = false;
};

class CDayInfo : public WindowImpl<CDayInfo> {
 public:
  explicit CDayInfo(TimetableWindows& panes) : panes_(panes) {}
  static const MessageEntry kMessages[];
  bool Create(HWND parent);

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
  TimetableWindows& panes_;
  std::wstring shown_;
};

class CTopTitleView : public WindowImpl<CTopTitleView> {
 public:
  CTopTitleView(TimetableWindows& panes, std::string textUtf8) : panes_(panes), text_(std::move(textUtf8)) {}
  static const MessageEntry kMessages[];
  bool Create(HWND parent);

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
  TimetableWindows& panes_;
  std::string text_;
};

class CTimeView : public WindowImpl<CTimeView> {
 public:
  explicit CTimeView(TimetableWindows& panes) : panes_(panes) {}
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  bool Create(HWND parent);
  // Moves the current-time mark when it moved.
  void OnTimer();

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
  std::int32_t NowY() const;
  TimetableWindows& panes_;
  std::int32_t markY_ = -1000;
  std::wstring shown_;
};

class CTitleView : public WindowImpl<CTitleView> {
 public:
  explicit CTitleView(TimetableWindows& panes) : panes_(panes) {}
  static const MessageEntry kMessages[];
  bool Create(HWND parent);

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnLButtonUp(WPARAM, LPARAM);
  LRESULT OnLButtonDblClk(WPARAM, LPARAM);
  LRESULT OnRButtonUp(WPARAM, LPARAM);
  LRESULT OnMouseMove(WPARAM, LPARAM);
  LRESULT OnSetCursor(WPARAM, LPARAM);
  // The column whose right border is under client x, or npos.
  std::size_t BorderAt(std::int32_t x) const;
  void InvertLine(std::int32_t x);
  TimetableWindows& panes_;
  std::wstring shown_;
  std::size_t dragColumn_ = static_cast<std::size_t>(-1);
  std::int32_t dragX_ = -1;
};
