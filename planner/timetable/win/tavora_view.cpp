// CTavoraView: the grid of programs.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>
#include "common/debug_log.h"
#include "common/text.h"
#include "common/win/dpi.h"
#include "common/win/scoped_win.h"
#include "planner/guide/guide_program.h"
#include "planner/timetable/cell_text.h"
#include "planner/timetable/tavora_doc.h"
#include "planner/timetable/timetable_model.h"
#include "planner/timetable/win/timetable_host.h"
#include "planner/timetable/win/timetable_windows.h"
#include "planner/timetable/win/timetable_resource.h"
#include "planner/timetable/win/timetable_views.h"

namespace {

// Pixels at 96 dpi; Scaled() gives them on the screen.
constexpr int kCellInset = 2;
constexpr int kTextLeft = 2;
constexpr int kButtonLeft = 5;
constexpr std::uint32_t kScrollIdleMs = 50;
constexpr int kBubbleTicks = 15;
constexpr int kMouseSlack = 5;
// Drawn size of a cell button (its bitmaps are this size at 96 dpi and are
// stretched on a denser screen).
constexpr int kButtonWidth = 32;
constexpr int kButtonHeight = 14;

HCURSOR Cursor(int id) {
  HCURSOR c = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
  if (c) return c;
  return LoadCursorW(nullptr, MAKEINTRESOURCEW(id == IDC_CUR_DRAG ? 32646 : id == IDC_CUR_BUTTON ? 32649 : 32512));
}

// Client-relative rectangle of a grid rectangle.
RECT ToClient(const PixelRect& r, std::int32_t sx, std::int32_t sy) {
  return RECT{r.left - sx, r.top - sy, r.right - sx, r.bottom - sy};
}

// The text's character extents in the font selected into dc, measured once.
TextExtents MeasureText(HDC dc, const std::string& cp932) {
  const std::wstring wide = Cp932ToWide(cp932);
  std::vector<int> ends(wide.size());
  SIZE size = {};
  if (!wide.empty() &&
      !GetTextExtentExPointW(dc, wide.c_str(), static_cast<int>(wide.size()), 0, nullptr, ends.data(), &size))
    ends.clear();
  return TextExtents(cp932, std::vector<std::int32_t>(ends.begin(), ends.end()));
}

void DrawTextLine(HDC dc, int x, int y, const std::string& cp932, const RECT& clip) {
  const std::wstring w = Cp932ToWide(cp932);
  ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, w.c_str(), static_cast<UINT>(w.size()), nullptr);
}

// The button's bitmap blitted into the part of `r` inside `clip`.
void DrawButton(HDC dc, HDC memory, const RECT& r, CellButton kind, bool pressed, const RECT& clip) {
  const int id = kind == CellButton::Reserve ? (pressed ? IDB_RESERVE_PRESSED : IDB_RESERVE)
                                             : (pressed ? IDB_OPEN_PRESSED : IDB_OPEN);
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_SHARED));
  if (bitmap) {
    RECT part;
    if (!IntersectRect(&part, &r, &clip)) return;
    HGDIOBJ old = SelectObject(memory, bitmap);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w == kButtonWidth && h == kButtonHeight) {
      BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, memory, part.left - r.left,
             part.top - r.top, SRCCOPY);
    } else {
      // The visible part of the button, taken from the same part of the bitmap.
      const int sx = (part.left - r.left) * kButtonWidth / w, sy = (part.top - r.top) * kButtonHeight / h;
      const int sw = (part.right - r.left) * kButtonWidth / w - sx, sh = (part.bottom - r.top) * kButtonHeight / h - sy;
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, memory, sx, sy, sw, sh,
                 SRCCOPY);
    }
    SelectObject(memory, old);
    return;
  }
  const int save = SaveDC(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  RECT b = r;
  DrawFrameControl(dc, &b, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  RestoreDC(dc, save);
}

}  // namespace

const CTavoraView::MessageEntry CTavoraView::kMessages[] = {
    {WM_PAINT, &CTavoraView::OnPaint},
    {WM_ERASEBKGND, &CTavoraView::OnEraseBackground},
    {WM_SIZE, &CTavoraView::OnSize},
    {WM_VSCROLL, &CTavoraView::OnVScroll},
    {WM_HSCROLL, &CTavoraView::OnHScroll},
    {WM_MOUSEWHEEL, &CTavoraView::OnWheel},
    {WM_LBUTTONDOWN, &CTavoraView::OnLButtonDown},
    {WM_LBUTTONUP, &CTavoraView::OnLButtonUp},
    {WM_LBUTTONDBLCLK, &CTavoraView::OnLButtonDblClk},
    {WM_RBUTTONDOWN, &CTavoraView::OnRButtonDown},
    {WM_MOUSEMOVE, &CTavoraView::OnMouseMove},
    {WM_SETCURSOR, &CTavoraView::OnSetCursor},
    {WM_CAPTURECHANGED, &CTavoraView::OnCaptureChanged},
    {WM_MOUSELEAVE, &CTavoraView::OnMouseLeave},
    {0, nullptr},
};

const CTavoraView::CommandEntry CTavoraView::kCommands[] = {
    {kCmdViewUpdate, &CTavoraView::Repaint},
    {kCmdViewActive, &CTavoraView::LowerHover},
    {kCmdViewTimer, &CTavoraView::OnTimer},
    {ID_TIMETABLE_DUMP_CELLS, &CTavoraView::DumpCells},
    {0, nullptr},
};

bool CScView::ScrollTo(std::int32_t nx, std::int32_t ny) {
  nx = std::max(0, std::min(nx, std::max(0, width - pageW)));
  ny = std::max(0, std::min(ny, std::max(0, height - pageH)));
  if (nx == x && ny == y) return false;
  x = nx;
  y = ny;
  return true;
}

void CScView::UpdateBars(HWND w) const {
  SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
  si.nMax = std::max(0, height - 1);
  si.nPage = static_cast<UINT>(std::max(0, pageH));
  si.nPos = y;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  si.nMax = std::max(0, width - 1);
  si.nPage = static_cast<UINT>(std::max(0, pageW));
  si.nPos = x;
  SetScrollInfo(w, SB_HORZ, &si, TRUE);
}

std::int32_t CScView::BarPosition(HWND w, int bar, WPARAM wParam, std::int32_t pos, std::int32_t page) const {
  switch (LOWORD(wParam)) {
    case SB_LINEUP: return pos - Scaled(kLine);
    case SB_LINEDOWN: return pos + Scaled(kLine);
    case SB_PAGEUP: return pos - page;
    case SB_PAGEDOWN: return pos + page;
    case SB_TOP: return 0;
    case SB_BOTTOM: return kMaxCoordinate;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si = {sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(w, bar, &si);
      return si.nTrackPos;
    }
    default: return pos;
  }
}

bool CTavoraView::Create(HWND parent) {
  return CreateChild(parent, L"TavoraGrid", WS_VSCROLL | WS_HSCROLL, 0, Cursor(IDC_CUR_CELL));
}

void CTavoraView::SetSizes(std::int32_t w, std::int32_t h) {
  width = w;
  height = h;
  RECT rc;
  GetClientRect(Handle(), &rc);
  pageW = rc.right;
  pageH = rc.bottom;
  ScrollTo(x, y);
  UpdateBars(Handle());
}

void CTavoraView::SetPosition(std::int32_t nx, std::int32_t ny) {
  const bool deep = panes_.DeepColour();
  MoveTo(AlignScroll(nx, deep, false), AlignScroll(ny, deep, false));
}

void CTavoraView::MoveTo(std::int32_t nx, std::int32_t ny) {
  const std::int32_t ox = x, oy = y;
  ScrollTo(nx, ny);
  UpdateBars(Handle());
  AfterScroll(ox, oy);
}

void CTavoraView::AfterScroll(std::int32_t ox, std::int32_t oy) {
  if (ox == x && oy == y) return;
  ShiftPixels(ox, oy);
  panes_.GridScrolled(oy != y, ox != x);
}

void CTavoraView::ShiftPixels(std::int32_t ox, std::int32_t oy) {
  lastScrollTick = GetTickCount();
  insetsStale_ = true;
  // Only the uncovered strip is painted now; the text insets catch up when
  // scrolling has paused.
  ScrollWindowEx(Handle(), ox - x, oy - y, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
}

void CTavoraView::ShiftDayWindowIfNeeded() {
  CTavoraDoc& doc = panes_.doc;
  if (!doc.dayMode24) return;
  const GridGeometry& g = panes_.Geometry();
  std::int32_t ny = y;
  const std::int32_t offset = ShiftDayWindow(doc.firstHourOffset, doc.Hours(), g.slotHeight, height, pageH, &ny);
  if (offset == doc.firstHourOffset) return;
  doc.firstHourOffset = offset;
  panes_.RedrawAll();
  MoveTo(x, ny);
  Invalidate();
}

LRESULT CTavoraView::OnEraseBackground(WPARAM, LPARAM) { return 1; }

LRESULT CTavoraView::OnSize(WPARAM, LPARAM) {
  SetSizes(width, height);
  return 0;
}

LRESULT CTavoraView::OnVScroll(WPARAM wParam, LPARAM) {
  ClosePopup();
  MoveTo(x, AlignScroll(BarPosition(Handle(), SB_VERT, wParam, y, pageH), panes_.DeepColour(), false));
  if (LOWORD(wParam) != SB_THUMBTRACK) ShiftDayWindowIfNeeded();
  return 0;
}

LRESULT CTavoraView::OnHScroll(WPARAM wParam, LPARAM) {
  ClosePopup();
  MoveTo(AlignScroll(BarPosition(Handle(), SB_HORZ, wParam, x, pageW), panes_.DeepColour(), false), y);
  return 0;
}

LRESULT CTavoraView::OnWheel(WPARAM wParam, LPARAM) {
  ClosePopup();
  MoveTo(x, AlignScroll(y - GET_WHEEL_DELTA_WPARAM(wParam), panes_.DeepColour(), false));
  ShiftDayWindowIfNeeded();
  return 0;
}

LRESULT CTavoraView::OnPaint(WPARAM, LPARAM) {
  panes_.EnsureLayout();
  PaintDC paint(Handle());
  RECT client;
  GetClientRect(Handle(), &client);
  const RECT clip = paint.Clip();
  // The buffer covers the clip area only: a scroll step paints a strip.
  BackBuffer buffer(paint.Get(), clip.right - clip.left, clip.bottom - clip.top);
  HDC dc = buffer.Get();
  SetViewportOrgEx(dc, -clip.left, -clip.top, nullptr);
  panes_.SelectPalette(dc);
  const TimetableModel& model = panes_.model;
  ScopedBrush outside(CreateSolidBrush(model.Colours().outside));
  FillRect(dc, &clip, outside.Get());
  SetBkMode(dc, TRANSPARENT);

  const GridGeometry& g = panes_.Geometry();
  const std::vector<TitleRow>& rows = model.Rows();
  const bool recompute = GetTickCount() - lastScrollTick > kScrollIdleMs;
  static const WORD kPattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  ScopedBitmap patternBits(CreateBitmap(8, 8, 1, 1, kPattern));
  ScopedBrush pattern(CreatePatternBrush(patternBits.Get()));
  CellPaint shared(dc, pattern.Get(), recompute);
  // The minute font stays selected; a cell wide enough for its name switches
  // to the name font and back.
  SelectInDc smallFont(dc, panes_.Fonts().small.Get());
  const Time32 clipTop = g.TimeAt(clip.top + y) - 600;
  const Time32 clipBottom = g.TimeAt(clip.bottom + y) + 600;
  for (std::size_t c = 0; c < rows.size() && c < g.Columns(); ++c) {
    if (g.columnLeft[c + 1] - x < clip.left || g.columnLeft[c] - x >= clip.right) continue;
    const std::vector<GuideProgram*>& programs = rows[c].programs;
    auto end = std::upper_bound(programs.begin(), programs.end(), clipBottom,
                                [](Time32 t, const GuideProgram* p) { return t < p->startTime; });
    for (auto it = programs.begin(); it != end; ++it) {
      if ((*it)->endTime < clipTop) continue;
      PaintCell(shared, c, **it);
    }
  }
  if (recompute) insetsStale_ = false;
  SetViewportOrgEx(dc, 0, 0, nullptr);
  BitBlt(paint.Get(), clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, dc, 0, 0, SRCCOPY);
  return 0;
}

CTavoraView::CellPaint::CellPaint(HDC target, HBRUSH pattern, bool recompute)
    : dc(target), framePattern(pattern), recomputeInset(recompute) {
  std::fill(std::begin(minuteWidth), std::end(minuteWidth), -1);
}

HDC CTavoraView::CellPaint::ButtonDC() {
  if (!buttonDC) buttonDC.Reset(CreateCompatibleDC(dc));
  return buttonDC.Get();
}

// A cell: its background and frame, the start minute in its corner, the name
// wrapped beside it, and the button on the line below. A cell with no room
// for the name has no button to hit.
void CTavoraView::PaintCell(CellPaint& paint, std::size_t column, GuideProgram& p) {
  const int inset = Scaled(kCellInset);
  RECT cell = ToClient(panes_.Geometry().CellRect(column, p), x, y);
  InflateRect(&cell, -inset, -inset);
  p.cellRect = GuideRect();
  if (cell.right <= cell.left || cell.bottom <= cell.top) return;
  PaintCellBackground(paint, cell, p);
  const std::int32_t lineHeight = CellLineHeight(panes_.Fonts().charHeight, ScreenDpi());
  const std::int32_t textTop = NameTop(paint, cell, lineHeight, p);
  const std::int32_t nameLeft = cell.left + Scaled(kTextLeft) + PaintStartMinute(paint, cell, textTop, p) + Scaled(2);
  const std::int32_t nameWidth = cell.right - nameLeft - Scaled(1);
  // Too narrow for even part of a character: no name, and no measuring.
  if (nameWidth < panes_.Fonts().charWidth / 2) return;
  const std::int32_t lineY = PaintName(paint, cell, nameLeft, nameWidth, textTop, lineHeight, p);
  PaintCellButton(paint, cell, inset, lineY, p);
}

// The state's colours; the frame lines in a half-tone pattern; the text colour
// left selected for the minute and the name.
void CTavoraView::PaintCellBackground(CellPaint& paint, const RECT& cell, const GuideProgram& p) {
  HDC dc = paint.dc;
  const ColourTables& colours = panes_.model.Colours();
  const std::int32_t row = p.highlight + p.state;
  const COLORREF back = colours.Back(row, p.colourGroup);
  SetDCBrushColor(dc, back);
  FillRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, back);
  RECT frame = cell;
  InflateRect(&frame, 1, 1);
  FrameRect(dc, &frame, paint.framePattern);
  SetTextColor(dc, colours.Text(row, p.colourGroup));
}

// The name stays readable when the cell starts above the visible top: its
// first line is moved down into view (kept until the next layout).
std::int32_t CTavoraView::NameTop(const CellPaint& paint, const RECT& cell, std::int32_t lineHeight,
                                  GuideProgram& p) const {
  if (paint.recomputeInset) {
    p.textInset = cell.top < 0 && cell.bottom > 2 * lineHeight ? -cell.top + Scaled(5) : 0;
  }
  return cell.top + std::max(0, p.textInset);
}

// The start minute in the corner (the minute font is selected); its width,
// measured once per paint for each minute.
std::int32_t CTavoraView::PaintStartMinute(CellPaint& paint, const RECT& cell, std::int32_t textTop,
                                           const GuideProgram& p) {
  const std::int32_t minute = paint.minutes.Of(p.startTime);
  const wchar_t digits[2] = {static_cast<wchar_t>(L'0' + minute / 10), static_cast<wchar_t>(L'0' + minute % 10)};
  std::int32_t& minuteWidth = paint.minuteWidth[minute];
  if (minuteWidth < 0) {
    SIZE size = {};
    GetTextExtentPoint32W(paint.dc, digits, 2, &size);
    minuteWidth = size.cx;
  }
  ExtTextOutW(paint.dc, cell.left + Scaled(1), textTop, ETO_CLIPPED, &cell, digits, 2, nullptr);
  return minuteWidth;
}

// The name in the bold font, wrapped into the cell; the top of the line below it.
std::int32_t CTavoraView::PaintName(CellPaint& paint, const RECT& cell, std::int32_t nameLeft, std::int32_t nameWidth,
                                    std::int32_t textTop, std::int32_t lineHeight, const GuideProgram& p) {
  const TimetableFonts& fonts = panes_.Fonts();
  SelectInDc boldFont(paint.dc, fonts.bold.Get());
  const WrappedName wrapped = WrapName(nameWidth, cell.bottom - textTop, fonts.charWidth, fonts.charHeight,
                                       MeasureText(paint.dc, p.name), ScreenDpi());
  std::int32_t lineY = textTop;
  for (const std::string& line : wrapped.lines) {
    DrawTextLine(paint.dc, nameLeft, lineY, line, cell);
    lineY += lineHeight;
  }
  return lineY;
}

// The button on the line below the name; its visible part is where a click hits it.
void CTavoraView::PaintCellButton(CellPaint& paint, const RECT& cell, int inset, std::int32_t lineY,
                                  GuideProgram& p) {
  const CellButton kind = ButtonFor(p, panes_.host.ReservationsEnabled());
  p.buttonTop = lineY + y;
  if (kind == CellButton::None) return;
  const int left = cell.left - inset + Scaled(kButtonLeft);
  RECT button = {left, lineY, left + Scaled(kButtonWidth), lineY + Scaled(kButtonHeight)};
  DrawButton(paint.dc, paint.ButtonDC(), button, kind, pressed_ == &p && pressedDown_, cell);
  RECT clipped;
  IntersectRect(&clipped, &button, &cell);
  p.cellRect = GuideRect{clipped.left + x, clipped.top + y, clipped.right + x, clipped.bottom + y};
}

GuideProgram* CTavoraView::ProgramAtClient(POINT pt, PixelRect* cell) const {
  panes_.EnsureLayout();
  return panes_.Geometry().ProgramAt(panes_.model.Rows(), pt.x + x, pt.y + y, cell);
}

static bool InButton(const GuideProgram* p, POINT pt, std::int32_t sx, std::int32_t sy) {
  if (!p) return false;
  const GuideRect& r = p->cellRect;
  const std::int32_t gx = pt.x + sx, gy = pt.y + sy;
  return r.right > r.left && gx >= r.left && gx < r.right && gy >= r.top && gy < r.bottom;
}

void CTavoraView::InvalidateProgram(const GuideProgram* p) {
  if (!p) return;
  const std::vector<TitleRow>& rows = panes_.model.Rows();
  const GridGeometry& g = panes_.Geometry();
  for (std::size_t c = 0; c < rows.size() && c < g.Columns(); ++c) {
    if (std::find(rows[c].programs.begin(), rows[c].programs.end(), p) == rows[c].programs.end()) continue;
    RECT r = ToClient(g.CellRect(c, *p), x, y);
    InvalidateRect(Handle(), &r, FALSE);
    return;
  }
}

void CTavoraView::SetHover(GuideProgram* p, bool raised) {
  if (hover_ && hoverRaised_ && hover_->state >= 5) hover_->state -= 5;
  if (hover_ != p || hoverRaised_ != raised) InvalidateProgram(hover_);
  hover_ = p;
  hoverRaised_ = p && raised;
  if (hoverRaised_ && p->state < 5) p->state += 5;
  InvalidateProgram(p);
}

void CTavoraView::ForgetPrograms() {
  ClosePopup();
  hover_ = nullptr;
  hoverRaised_ = false;
  overButton_ = false;
  pressed_ = nullptr;
  pressedDown_ = false;
  // A move of the resting mouse is needed before the new program raises.
  tick_ = 0;
}

void CTavoraView::ClosePopup() {
  if (popup_) panes_.host.CloseBubble(popup_);
  popup_ = nullptr;
}

LRESULT CTavoraView::OnLButtonDown(WPARAM, LPARAM lParam) {
  ClosePopup();
  SetFocus(Handle());
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  PixelRect cell;
  GuideProgram* p = ProgramAtClient(pt, &cell);
  SetCapture(Handle());
  if (p && InButton(p, pt, x, y)) {
    pressed_ = p;
    pressedDown_ = true;
    InvalidateProgram(p);
    return 0;
  }
  dragging_ = true;
  dragLast_ = pt;
  dragMoves_ = 0;
  SetCursor(Cursor(IDC_CUR_DRAG));
  return 0;
}

void CTavoraView::FollowDrag() {
  if (!dragPendingV_ && !dragPendingH_) return;
  panes_.GridScrolled(dragPendingV_, dragPendingH_);
  panes_.host.SendToReserveView(kCmdViewUpdate);
  dragPendingV_ = dragPendingH_ = false;
}

LRESULT CTavoraView::OnLButtonUp(WPARAM, LPARAM lParam) {
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  GuideProgram* p = pressed_;
  const bool act = p && pressedDown_ && InButton(p, pt, x, y);
  const bool dragged = dragging_ && dragMoves_ > 0;
  pressed_ = nullptr;
  pressedDown_ = false;
  dragging_ = false;
  if (GetCapture() == Handle()) ReleaseCapture();
  // A drag of fewer than three moves would leave the time scale and the
  // headings behind the grid; in 24-hour mode a drag to either end moves the
  // window on by whole hours, as the scroll bar does.
  if (dragged) {
    FollowDrag();
    ShiftDayWindowIfNeeded();
  }
  if (p) InvalidateProgram(p);
  if (act) {
    UpdateWindow(Handle());
    Activate(*p, true);
  }
  return 0;
}

LRESULT CTavoraView::OnMouseLeave(WPARAM, LPARAM) {
  DropHoverOffGrid();
  return 0;
}

void CTavoraView::DropHoverOffGrid() {
  if (hover_) SetHover(nullptr, false);
  overButton_ = false;
}

LRESULT CTavoraView::OnCaptureChanged(WPARAM, LPARAM) {
  FollowDrag();
  if (pressed_) InvalidateProgram(pressed_);
  pressed_ = nullptr;
  pressedDown_ = false;
  dragging_ = false;
  return 0;
}

LRESULT CTavoraView::OnLButtonDblClk(WPARAM, LPARAM lParam) {
  ClosePopup();
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  GuideProgram* p = ProgramAtClient(pt, nullptr);
  if (p && !InButton(p, pt, x, y)) Activate(*p, false);
  return 0;
}

void CTavoraView::Activate(GuideProgram& p, bool fromButton) {
  if (fromButton) {
    if (ButtonFor(p, panes_.host.ReservationsEnabled()) == CellButton::Open)
      OpenReceived(p);
    else
      ReserveFromGrid(p);
    return;
  }
  std::string folder, launch;
  if (panes_.host.FindResult(p.programNumber, p.subNumber, &folder, &launch) && !launch.empty())
    OpenReceived(p);
  else
    ReserveFromGrid(p);
}

void CTavoraView::ReserveFromGrid(GuideProgram& p) {
  if (p.startTime <= panes_.doc.Now().Now()) {
    panes_.host.ShowMessage(Handle(), IDS_ALREADY_SENT);
  } else if (panes_.host.HasReservation(p.programNumber, p.subNumber)) {
    panes_.host.ShowMessage(Handle(), IDS_RESERVED_ALREADY);
  } else {
    panes_.host.OpenReservationDialog(Handle(), p);
  }
}

void CTavoraView::OpenReceived(const GuideProgram& p) {
  std::string folder, launch;
  if (!panes_.host.FindResult(p.programNumber, p.subNumber, &folder, &launch)) return;
  const std::string path = LaunchPath(folder, launch);
  if (path.empty()) return;
  ShellExecuteW(Handle(), L"open", Cp932ToWide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT CTavoraView::OnRButtonDown(WPARAM, LPARAM lParam) {
  ClosePopup();
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  GuideProgram* p = ProgramAtClient(pt, nullptr);
  if (!p) return 0;
  std::string folder, launch;
  const bool haveResult = panes_.host.FindResult(p->programNumber, p->subNumber, &folder, &launch);
  POINT screen = pt;
  ClientToScreen(Handle(), &screen);
  popup_ = panes_.host.ShowBubble(Handle(), screen, DetailText(*p, haveResult, folder, launch));
  return 0;
}

LRESULT CTavoraView::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (pressed_) {
    const bool inside = InButton(pressed_, pt, x, y);
    if (inside != pressedDown_) {
      pressedDown_ = inside;
      InvalidateProgram(pressed_);
    }
    return 0;
  }
  if (dragging_ && (wParam & MK_LBUTTON)) {
    const std::int32_t ox = x, oy = y;
    const bool deep = panes_.DeepColour();
    ScrollTo(AlignScroll(x - (pt.x - dragLast_.x), deep, true), AlignScroll(y - (pt.y - dragLast_.y), deep, true));
    dragLast_ = pt;
    UpdateBars(Handle());
    if (ox != x || oy != y) {
      ShiftPixels(ox, oy);
      dragPendingV_ = dragPendingV_ || oy != y;
      dragPendingH_ = dragPendingH_ || ox != x;
      // The neighbours follow on every third move only.
      if (++dragMoves_ % 3 == 0) FollowDrag();
    }
    return 0;
  }
  if (!panes_.host.HoverFeedback()) return 0;
  // Asked again at every move: a move that did not come from the pointer (one
  // posted while the pointer is elsewhere) may end the tracking unreported.
  TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, Handle(), 0};
  TrackMouseEvent(&track);
  PixelRect cell;
  GuideProgram* p = ProgramAtClient(pt, &cell);
  const bool onButton = InButton(p, pt, x, y);
  if (p != hover_ || onButton != hoverRaised_) SetHover(p, onButton);
  overButton_ = onButton;
  SetCursor(Cursor(onButton ? IDC_CUR_BUTTON : p ? IDC_CUR_CELL : 0));
  if (!p) SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
  return 0;
}

LRESULT CTavoraView::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(lParam) != HTCLIENT) return DefWindowProcW(Handle(), WM_SETCURSOR, wParam, lParam);
  if (dragging_) {
    SetCursor(Cursor(IDC_CUR_DRAG));
  } else if (!panes_.host.HoverFeedback()) {
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
  } else if (overButton_) {
    SetCursor(Cursor(IDC_CUR_BUTTON));
  } else if (hover_) {
    SetCursor(Cursor(IDC_CUR_CELL));
  } else {
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
  }
  return TRUE;
}

void CTavoraView::Repaint() {
  ClosePopup();
  Invalidate();
  UpdateWindow(Handle());
}

void CTavoraView::LowerHover() {
  if (hover_ && hoverRaised_) SetHover(hover_, false);
}

void CTavoraView::OnTimer() {
  ++tick_;
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(Handle(), &pt);
  const int slack = Scaled(kMouseSlack);
  if (std::abs(pt.x - tickMouse_.x) > slack || std::abs(pt.y - tickMouse_.y) > slack) {
    tick_ = 0;
    tickMouse_ = pt;
    ClosePopup();
  }
  if (tick_ == kBubbleTicks && !popup_ && panes_.host.HoverFeedback()) {
    RECT client;
    GetClientRect(Handle(), &client);
    PixelRect cell;
    GuideProgram* p = PtInRect(&client, pt) ? ProgramAtClient(pt, &cell) : nullptr;
    if (p) {
      const TimetableFonts& fonts = panes_.Fonts();
      WindowDC wdc(Handle());
      SelectInDc bold(wdc.Get(), fonts.bold.Get());
      const std::int32_t inset = Scaled(kCellInset);
      const std::int32_t width = cell.right - cell.left - 2 * inset - Scaled(kTextLeft) - 2 * fonts.charWidth;
      const WrappedName w = WrapName(width, cell.bottom - cell.top - 2 * inset, fonts.charWidth, fonts.charHeight,
                                     MeasureText(wdc.Get(), p->name), ScreenDpi());
      if (p->endTime - p->startTime < 600 || (!w.wrapped && !w.fits)) {
        POINT screen = pt;
        ClientToScreen(Handle(), &screen);
        popup_ = panes_.host.ShowBubble(Handle(), screen, p->name);
        DebugPrintf("timetable: name bubble for %d-%d", p->programNumber, p->subNumber);
      }
    }
  }
  if (insetsStale_ && GetTickCount() - lastScrollTick > kScrollIdleMs) {
    insetsStale_ = false;
    Invalidate();
    panes_.host.SendToReserveView(kCmdReserveInsets);
    panes_.RefreshDayInfo();
  }
}

void CTavoraView::DumpCells() {
  const std::vector<TitleRow>& rows = panes_.model.Rows();
  const GridGeometry& g = panes_.Geometry();
  RECT client;
  GetClientRect(Handle(), &client);
  const TimetableFonts& fonts = panes_.Fonts();
  DebugPrintf("cells scroll %d %d size %ld %ld slot %d unit %d hours %d char %d %d mode24 %d zoom %d %d offset %d", x,
              y, client.right, client.bottom, g.slotHeight, g.columnUnit, g.hours, fonts.charWidth, fonts.charHeight,
              panes_.doc.dayMode24, panes_.doc.vZoom, panes_.doc.hZoom, g.ShiftHours());
  for (std::size_t c = 0; c < rows.size() && c < g.Columns(); ++c) {
    for (const GuideProgram* p : rows[c].programs) {
      RECT r = ToClient(g.CellRect(c, *p), x, y);
      RECT shown;
      if (!IntersectRect(&shown, &r, &client)) continue;
      const GuideRect& b = p->cellRect;
      DebugPrintf("cell %d %d column %zu state %d rect %ld %ld %ld %ld button %d %d %d %d", p->programNumber,
                  p->subNumber, c, p->state, r.left, r.top, r.right, r.bottom, b.left - x, b.top - y, b.right - x,
                  b.bottom - y);
    }
  }
  // The reader waits for this line, not for a pause, to know it has them all.
  DebugPrintf("cells end");
}
