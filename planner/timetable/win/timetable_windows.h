// The timetable panes inside the main frame: the date header on top, then
// the corner, the column headings and the reservation heading, and below them
// the time scale, the grid and the reservation column (the shell's window).
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include "planner/timetable/grid_geometry.h"
#include "common/win/scoped_win.h"

class CTavoraDoc;
class TimetableModel;
class TimetableHost;
class CDayInfo;
class CTopTitleView;
class CTitleView;
class CTimeView;
class CTavoraView;

// The three fonts of the timetable and the size of "亜" in the main one.
struct TimetableFonts {
  ScopedFont main, bold, small;
  std::int32_t charWidth = 16;
  std::int32_t charHeight = 16;
  void Build(const std::string& faceCp932, std::int32_t size, bool bold, bool italic);
};

class TimetableWindows {
 public:
  // Usable before its windows exist: the document's font hooks run first.
  TimetableWindows(CTavoraDoc& doc, TimetableModel& model, TimetableHost& host);
  ~TimetableWindows();
  TimetableWindows(const TimetableWindows&) = delete;
  TimetableWindows& operator=(const TimetableWindows&) = delete;

  // The panes as children of the frame; the reservation column `reserveView`
  // (may be null) is placed at the right of the grid.
  bool Create(HWND frame, HWND reserveView);
  // Places the panes in the frame's client rectangle (WM_SIZE).
  void Layout(const RECT& client);
  void Layout();
  // After any document change: geometry, scroll sizes, every pane repainted.
  void RedrawAll();
  // The grid drops what it remembers of programs before the records go.
  void ForgetPrograms();
  // The frame's timer (command 32797), every 100 ms.
  void OnTimer();
  // Commands of the timetable; false when the command is not one of them.
  bool OnCommand(int id);
  // Menu state of the timetable's commands; false when not one of them.
  bool QueryCommand(int id, bool* enabled, bool* checked) const;
  // The frame's 32774 (now), 32777 / 32779 (a day back / on).
  void ScrollToNow();
  void ScrollDays(int days);
  // After the colour page's OK (on its own or in the settings sheet): the
  // fonts rebuilt and measured for the document, the palette, a repaint.
  void TakeColourPage();

  // Document hooks.
  std::int32_t MeasureCharHeight(std::int32_t fontSize);
  void RebuildFonts();
  bool DeepColour() const;
  void RebuildPalette();

  // --- shared by the panes ---
  CTavoraDoc& doc;
  TimetableModel& model;
  TimetableHost& host;
  HWND Frame() const { return frame_; }
  const GridGeometry& Geometry() const { return geometry_; }
  const TimetableFonts& Fonts() const { return fonts_; }
  void SelectPalette(HDC dc) const;
  std::int32_t ScrollX() const;
  std::int32_t ScrollY() const;
  // The grid scrolled: the time scale, headings and reservation column follow.
  void GridScrolled(bool vertical, bool horizontal);
  // Recomputes the geometry keeping the visible centre (after a scale change).
  void Relayout();
  // Lays out again when the document, rows or fonts changed since the last layout.
  void EnsureLayout();
  void RefreshDayInfo();
  CTavoraView& Grid() { return *grid_; }
  // The panes' windows, for a frame that places them itself.
  HWND DayInfoWindow() const;
  HWND CornerWindow() const;
  HWND TitlesWindow() const;
  HWND ReserveHeadingWindow() const;
  HWND TimeWindow() const;
  std::int32_t DayInfoHeight() const;
  void ShowColourPage();
  void ShowCategoryEditor();

 private:
  std::int32_t ReserveWidth() const;
  HWND frame_ = nullptr;
  HWND reserveView_ = nullptr;
  RECT client_ = {};
  bool placesWindows_ = false;  // Layout(client) was called: this object places the panes
  TimetableFonts fonts_;
  std::int32_t fontSizeBuilt_ = 0;
  ScopedPalette palette_;
  mutable int deepColour_ = -1;  // the screen's depth, asked once
  GridGeometry geometry_;
  struct LayoutKey {
    std::int64_t values[12];
    bool operator==(const LayoutKey& o) const;
  };
  LayoutKey Key() const;
  LayoutKey laidOut_ = {};
  std::unique_ptr<CDayInfo> dayInfo_;
  std::unique_ptr<CTopTitleView> corner_, reserveHeading_;
  std::unique_ptr<CTitleView> titles_;
  std::unique_ptr<CTimeView> time_;
  std::unique_ptr<CTavoraView> grid_;
};

// The seam the frame uses: creates the panes as children of `frame`; the
// reservation column `reserveView` is placed at the right of the grid.
std::unique_ptr<TimetableWindows> CreateTimetableWindows(HWND frame, HWND reserveView, CTavoraDoc& doc,
                                                     TimetableModel& model, TimetableHost& host);
