// The panes around the grid: date header, corner headings, time scale and
// column headings.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include "common/text.h"
#include "common/win/dpi.h"
#include "common/win/scoped_win.h"
#include "planner/guide/guide_program.h"
#include "planner/timetable/cell_text.h"
#include "planner/timetable/tavora_doc.h"
#include "planner/timetable/timetable_model.h"
#include "planner/timetable/win/timetable_windows.h"
#include "planner/timetable/win/timetable_resource.h"
#include "planner/timetable/win/timetable_views.h"
#include "common/win/modal_loop.h"

namespace {

void Fill(HDC dc, const RECT& r, COLORREF c) {
  SetDCBrushColor(dc, c);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void CentredText(HDC dc, const std::string& cp932, RECT r) {
  const std::wstring w = Cp932ToWide(cp932);
  DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// Pixels at 96 dpi a corner heading keeps clear between its text and each edge.
constexpr int kHeadingMargin = 3;

int TextWidth(HDC dc, const std::wstring& text) {
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The DC's font in the largest height at which the text fits `room` pixels;
// none when it fits as it is. The reservation column's heading is narrower
// than its four characters in the timetable's font, at every density.
ScopedFont FontToFit(HDC dc, const std::wstring& text, int room) {
  ScopedFont fitted;
  const int width = TextWidth(dc, text);
  LOGFONTW lf = {};
  if (width <= room || room <= 0 || !GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf)) return fitted;
  const int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  // Glyph widths do not scale exactly with the height: from the proportional
  // guess down until the text fits.
  for (int h = height * room / width; h > 0; --h) {
    lf.lfHeight = -h;
    lf.lfWidth = 0;
    fitted.Reset(CreateFontIndirectW(&lf));
    if (!fitted) break;
    SelectInDc trial(dc, fitted.Get());
    if (TextWidth(dc, text) <= room) break;
  }
  return fitted;
}

// The paint of a side pane: laid out first, drawn whole into a buffer of the
// client's size with the timetable's palette and main font, blitted at the end.
class PanePaint {
 public:
  PanePaint(HWND w, TimetableWindows& panes)
      : laidOut_(panes), paint_(w), client_(ClientOf(w)), buffer_(paint_.Get(), client_.right, client_.bottom) {
    panes.SelectPalette(buffer_.Get());
    font_ = SelectObject(buffer_.Get(), panes.Fonts().main.Get());
    SetBkMode(buffer_.Get(), TRANSPARENT);
  }
  ~PanePaint() {
    SelectObject(buffer_.Get(), font_);
    BitBlt(paint_.Get(), 0, 0, client_.right, client_.bottom, buffer_.Get(), 0, 0, SRCCOPY);
  }
  PanePaint(const PanePaint&) = delete;
  PanePaint& operator=(const PanePaint&) = delete;
  HDC Dc() const { return buffer_.Get(); }
  const RECT& Client() const { return client_; }

 private:
  static RECT ClientOf(HWND w) {
    RECT r;
    GetClientRect(w, &r);
    return r;
  }
  struct LaidOut {
    explicit LaidOut(TimetableWindows& panes) { panes.EnsureLayout(); }
  };
  LaidOut laidOut_;
  PaintDC paint_;
  RECT client_;
  BackBuffer buffer_;
  HGDIOBJ font_ = nullptr;
};

// The window text carries what a pane shows, for tools that read windows; it
// is set only when it changed.
void ShowInWindowText(HWND w, std::wstring& shown, const std::wstring& text) {
  if (text == shown) return;
  shown = text;
  SetWindowTextW(w, text.c_str());
}

}  // namespace

// --- CDayInfo ---

const CDayInfo::MessageEntry CDayInfo::kMessages[] = {
    {WM_PAINT, &CDayInfo::OnPaint},
    {WM_ERASEBKGND, &CDayInfo::OnEraseBackground},
    {0, nullptr},
};

bool CDayInfo::Create(HWND parent) { return CreateChild(parent, L"TavoraDayInfo", 0, 0); }

LRESULT CDayInfo::OnPaint(WPARAM, LPARAM) {
  PanePaint paint(Handle(), panes_);
  HDC dc = paint.Dc();
  RECT r = paint.Client();
  Fill(dc, r, GetSysColor(COLOR_BTNFACE));
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_BOTTOM);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  const std::wstring text = Cp932ToWide(DayInfoText(panes_.doc.topTime));
  ShowInWindowText(Handle(), shown_, text);
  r.left += Scaled(8);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  return 0;
}

// --- CTopTitleView ---

const CTopTitleView::MessageEntry CTopTitleView::kMessages[] = {
    {WM_PAINT, &CTopTitleView::OnPaint},
    {WM_ERASEBKGND, &CTopTitleView::OnEraseBackground},
    {0, nullptr},
};

bool CTopTitleView::Create(HWND parent) { return CreateChild(parent, L"TavoraTopTitle", 0, 0); }

LRESULT CTopTitleView::OnPaint(WPARAM, LPARAM) {
  PanePaint paint(Handle(), panes_);
  HDC dc = paint.Dc();
  RECT r = paint.Client();
  const ColourTables& c = panes_.model.Colours();
  Fill(dc, r, c.titleBack);
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  if (!text_.empty()) {
    SetTextColor(dc, c.titleText);
    const std::string text = J(text_.c_str());
    const ScopedFont fitted = FontToFit(dc, Cp932ToWide(text), r.right - 2 * Scaled(kHeadingMargin));
    SelectInDc font(dc, fitted.Get());
    CentredText(dc, text, r);
  }
  return 0;
}

// --- CTimeView ---

const CTimeView::MessageEntry CTimeView::kMessages[] = {
    {WM_PAINT, &CTimeView::OnPaint},
    {WM_ERASEBKGND, &CTimeView::OnEraseBackground},
    {0, nullptr},
};

const CTimeView::CommandEntry CTimeView::kCommands[] = {{kCmdViewTimer, &CTimeView::OnTimer}, {0, nullptr}};

bool CTimeView::Create(HWND parent) { return CreateChild(parent, L"TavoraTimeScale", 0, 0); }

std::int32_t CTimeView::NowY() const {
  return panes_.Geometry().YOf(panes_.doc.Now().Now()) - panes_.ScrollY();
}

void CTimeView::OnTimer() {
  const std::int32_t y = NowY();
  if (y == markY_) return;
  RECT r;
  GetClientRect(Handle(), &r);
  const int half = Scaled(6);
  RECT old = {0, markY_ - half, r.right, markY_ + half + 1};
  RECT now = {0, y - half, r.right, y + half + 1};
  InvalidateRect(Handle(), &old, FALSE);
  InvalidateRect(Handle(), &now, FALSE);
}

LRESULT CTimeView::OnPaint(WPARAM, LPARAM) {
  PanePaint paint(Handle(), panes_);
  HDC dc = paint.Dc();
  const RECT& client = paint.Client();
  CTavoraDoc& doc = panes_.doc;
  const GridGeometry& g = panes_.Geometry();
  const ColourTables& colours = panes_.model.Colours();
  const std::int32_t sy = panes_.ScrollY();
  Fill(dc, client, colours.outside);
  // The time at the top edge of the visible grid, for the date header.
  doc.topTime = static_cast<Time32>(doc.periodStartCopy + static_cast<std::int64_t>(sy) * 600 / g.slotHeight +
                                    g.ShiftHours() * 3600);
  // The window text is the height of ten minutes.
  ShowInWindowText(Handle(), shown_, std::to_wstring(g.slotHeight));
  const std::int32_t hourPx = g.slotHeight * 6;
  const std::int32_t first = std::max(0, sy / std::max(1, hourPx));
  for (std::int32_t h = first; h < g.hours; ++h) {
    RECT cell = {0, h * hourPx - sy, client.right, (h + 1) * hourPx - sy};
    if (cell.top >= client.bottom) break;
    const std::int32_t hour = HourLabel(doc.periodStartCopy, g.ShiftHours(), h);
    Fill(dc, cell, colours.timeBack[hour]);
    FrameRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    SetTextColor(dc, colours.timeText[hour]);
    char label[8];
    std::snprintf(label, sizeof label, "%d", hour);
    CentredText(dc, label, cell);
  }
  // The current time: a red triangle pointing at the grid.
  markY_ = NowY();
  const int reach = Scaled(6), back = Scaled(9), spread = Scaled(5);
  if (markY_ >= -reach && markY_ <= client.bottom + reach) {
    POINT tri[3] = {{client.right - 1, markY_}, {client.right - back, markY_ - spread},
                    {client.right - back, markY_ + spread}};
    SetDCBrushColor(dc, RGB(255, 0, 0));
    SetDCPenColor(dc, RGB(255, 0, 0));
    SelectInDc brush(dc, GetStockObject(DC_BRUSH));
    SelectInDc pen(dc, GetStockObject(DC_PEN));
    Polygon(dc, tri, 3);
  }
  return 0;
}

// --- CTitleView ---

const CTitleView::MessageEntry CTitleView::kMessages[] = {
    {WM_PAINT, &CTitleView::OnPaint},
    {WM_ERASEBKGND, &CTitleView::OnEraseBackground},
    {WM_LBUTTONDOWN, &CTitleView::OnLButtonDown},
    {WM_LBUTTONUP, &CTitleView::OnLButtonUp},
    {WM_LBUTTONDBLCLK, &CTitleView::OnLButtonDblClk},
    {WM_RBUTTONUP, &CTitleView::OnRButtonUp},
    {WM_MOUSEMOVE, &CTitleView::OnMouseMove},
    {WM_SETCURSOR, &CTitleView::OnSetCursor},
    {0, nullptr},
};

bool CTitleView::Create(HWND parent) { return CreateChild(parent, L"TavoraTitles", 0, 0); }

LRESULT CTitleView::OnPaint(WPARAM, LPARAM) {
  PanePaint paint(Handle(), panes_);
  HDC dc = paint.Dc();
  const RECT& client = paint.Client();
  const ColourTables& colours = panes_.model.Colours();
  const GridGeometry& g = panes_.Geometry();
  const std::vector<TitleRow>& rows = panes_.model.Rows();
  const std::int32_t sx = panes_.ScrollX();
  Fill(dc, client, colours.outside);
  SetTextColor(dc, colours.titleText);
  // The window text lists the headings.
  std::string all;
  for (std::size_t c = 0; c < rows.size(); ++c) all += (c ? "|" : "") + (rows[c].name.empty() ? J(u8"その他") : rows[c].name);
  ShowInWindowText(Handle(), shown_, Cp932ToWide(all));
  for (std::size_t c = 0; c < rows.size() && c < g.Columns(); ++c) {
    RECT r = {g.columnLeft[c] - sx, 0, g.columnLeft[c + 1] - sx, client.bottom};
    if (r.right < 0 || r.left > client.right) continue;
    Fill(dc, r, colours.titleBack);
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    const std::string& name = rows[c].name;
    CentredText(dc, name.empty() ? J(u8"その他") : name, r);
  }
  return 0;
}

std::size_t CTitleView::BorderAt(std::int32_t x) const {
  const GridGeometry& g = panes_.Geometry();
  const std::int32_t gx = x + panes_.ScrollX();
  for (std::size_t c = 0; c < g.Columns(); ++c) {
    if (std::abs(gx - g.columnLeft[c + 1]) <= Scaled(2)) return c;
  }
  return static_cast<std::size_t>(-1);
}

void CTitleView::InvertLine(std::int32_t x) {
  if (x < 0) return;
  WindowDC dc(Handle());
  RECT r;
  GetClientRect(Handle(), &r);
  const int width = Scaled(3);
  PatBlt(dc.Get(), x - width / 2, 0, width, r.bottom, DSTINVERT);
}

LRESULT CTitleView::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(lParam) != HTCLIENT) return DefWindowProcW(Handle(), WM_SETCURSOR, wParam, lParam);
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(Handle(), &pt);
  if (dragColumn_ != static_cast<std::size_t>(-1) || BorderAt(pt.x) != static_cast<std::size_t>(-1)) {
    HCURSOR c = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_CUR_COLUMN_WIDTH));
    SetCursor(c ? c : LoadCursorW(nullptr, MAKEINTRESOURCEW(32644)));
  } else {
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
  }
  return TRUE;
}

LRESULT CTitleView::OnLButtonDown(WPARAM, LPARAM lParam) {
  const std::int32_t x = GET_X_LPARAM(lParam);
  dragColumn_ = BorderAt(x);
  if (dragColumn_ == static_cast<std::size_t>(-1)) return 0;
  SetCapture(Handle());
  dragX_ = x;
  InvertLine(dragX_);
  return 0;
}

LRESULT CTitleView::OnMouseMove(WPARAM, LPARAM lParam) {
  if (dragColumn_ == static_cast<std::size_t>(-1)) return 0;
  InvertLine(dragX_);
  dragX_ = GET_X_LPARAM(lParam);
  InvertLine(dragX_);
  return 0;
}

LRESULT CTitleView::OnLButtonUp(WPARAM, LPARAM lParam) {
  if (dragColumn_ == static_cast<std::size_t>(-1)) return 0;
  InvertLine(dragX_);
  if (GetCapture() == Handle()) ReleaseCapture();
  const GridGeometry& g = panes_.Geometry();
  const std::size_t column = dragColumn_;
  dragColumn_ = static_cast<std::size_t>(-1);
  dragX_ = -1;
  if (column >= g.Columns()) return 0;
  const std::int32_t release = GET_X_LPARAM(lParam) + panes_.ScrollX();
  panes_.model.SetWidthPercent(column, DraggedWidthPercent(release, g.columnLeft[column], g.columnUnit));
  panes_.RedrawAll();
  return 0;
}

LRESULT CTitleView::OnLButtonDblClk(WPARAM, LPARAM lParam) {
  const std::size_t column = panes_.Geometry().ColumnAt(GET_X_LPARAM(lParam) + panes_.ScrollX());
  if (column == static_cast<std::size_t>(-1)) return 0;
  panes_.model.ToggleWidened(column);
  panes_.RedrawAll();
  return 0;
}

LRESULT CTitleView::OnRButtonUp(WPARAM, LPARAM lParam) {
  const ScopedMenu owned(CreatePopupMenu());
  if (!owned) return 0;
  const HMENU menu = owned.Get();
  const std::int32_t kind = panes_.doc.titleKind;
  auto add = [menu](UINT id, const char* utf8, bool checked) {
    AppendMenuW(menu, MF_STRING | (checked ? MF_CHECKED : 0), id, Cp932ToWide(J(utf8)).c_str());
  };
  add(kCmdTitleChannel, u8"チャンネル別表示", kind == kTitleChannel);
  add(kCmdTitleSeries, u8"シリーズ別表示", kind == kTitleSeries);
  add(kCmdTitleCategory, u8"番組カテゴリー別表示", kind == kTitleCategory);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  add(kCmdTitleOrder, u8"番組表タイトルの並び替え", false);
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(Handle(), &pt);
  UINT chosen = 0;
  {
    ModalLoop loop;
    chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, Handle(), nullptr));
  }
  // The frame routes the command as if it came from its menu.
  if (chosen) PostMessageW(panes_.Frame(), WM_COMMAND, chosen, 0);
  return 0;
}
