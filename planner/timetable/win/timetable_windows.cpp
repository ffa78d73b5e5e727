#include "planner/timetable/win/timetable_windows.h"

#include <algorithm>
#include <vector>
#include "common/text.h"
#include "common/win/dpi.h"
#include "common/win/scoped_win.h"
#include "planner/guide/guide_program.h"
#include "planner/timetable/tavora_doc.h"
#include "planner/timetable/timetable_model.h"
#include "planner/timetable/win/timetable_dialogs.h"
#include "planner/timetable/win/timetable_host.h"
#include "planner/timetable/win/timetable_resource.h"
#include "planner/timetable/win/timetable_views.h"

namespace {
// Pixels at 96 dpi; Scaled() gives them on the screen.
constexpr std::int32_t kHeadingHeight = 20;
constexpr std::int32_t kTimeWidth = 20;
constexpr std::int32_t kReserveWidth = 100;
}  // namespace

void TimetableFonts::Build(const std::string& faceCp932, std::int32_t size, bool boldFace, bool italic) {
  const std::wstring face = Cp932ToWide(faceCp932);
  auto make = [](const std::wstring& f, int height, int weight, bool it) {
    return CreateFontW(-height, 0, 0, 0, weight, it, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, f.c_str());
  };
  // The stored size is the character height at 96 dpi.
  const int pixels = Scaled(size);
  main.Reset(make(face, pixels, boldFace ? 700 : 400, italic));
  bold.Reset(make(face, pixels, boldFace ? 900 : 700, italic));
  small.Reset(make(Cp932ToWide(J(u8"ＭＳ ゴシック")), Scaled(size * 90 / 100), 400, false));
  // The size of one full-width character decides the grid's units.
  WindowDC screen(nullptr);
  SelectInDc font(screen.Get(), main.Get());
  SIZE s = {};
  const std::wstring sample = Cp932ToWide(J(u8"亜"));
  if (GetTextExtentPoint32W(screen.Get(), sample.c_str(), static_cast<int>(sample.size()), &s) && s.cy > 0) {
    charWidth = s.cx;
    charHeight = s.cy;
  } else {
    charWidth = charHeight = pixels;
  }
}

TimetableWindows::TimetableWindows(CTavoraDoc& d, TimetableModel& m, TimetableHost& h) : doc(d), model(m), host(h) {}

TimetableWindows::~TimetableWindows() = default;

bool TimetableWindows::Create(HWND frame, HWND reserveView) {
  frame_ = frame;
  reserveView_ = reserveView;
  if (!fonts_.main) RebuildFonts();
  RebuildPalette();
  dayInfo_ = std::make_unique<CDayInfo>(*this);
  corner_ = std::make_unique<CTopTitleView>(*this, "");
  reserveHeading_ = std::make_unique<CTopTitleView>(*this, u8"予約状況");
  titles_ = std::make_unique<CTitleView>(*this);
  time_ = std::make_unique<CTimeView>(*this);
  grid_ = std::make_unique<CTavoraView>(*this);
  const bool ok = dayInfo_->Create(frame_) && corner_->Create(frame_) && reserveHeading_->Create(frame_) &&
                  titles_->Create(frame_) && time_->Create(frame_) && grid_->Create(frame_);
  if (!ok) return false;
  geometry_ = model.Layout(fonts_.charWidth, fonts_.charHeight);
  laidOut_ = Key();
  return true;
}

std::int32_t TimetableWindows::ReserveWidth() const { return doc.reservationColumnWidth > 0 ? Scaled(kReserveWidth) : 0; }

void TimetableWindows::Layout(const RECT& client) {
  client_ = client;
  placesWindows_ = true;
  Layout();
}

HWND TimetableWindows::DayInfoWindow() const { return dayInfo_ ? dayInfo_->Handle() : nullptr; }
HWND TimetableWindows::CornerWindow() const { return corner_ ? corner_->Handle() : nullptr; }
HWND TimetableWindows::TitlesWindow() const { return titles_ ? titles_->Handle() : nullptr; }
HWND TimetableWindows::ReserveHeadingWindow() const { return reserveHeading_ ? reserveHeading_->Handle() : nullptr; }
HWND TimetableWindows::TimeWindow() const { return time_ ? time_->Handle() : nullptr; }
std::int32_t TimetableWindows::DayInfoHeight() const {
  return std::max<std::int32_t>(Scaled(kHeadingHeight), 2 * fonts_.charHeight);
}

void TimetableWindows::Layout() {
  if (!grid_) return;
  if (!placesWindows_) {
    grid_->SetSizes(geometry_.totalWidth, geometry_.totalHeight);
    GridScrolled(true, true);
    return;
  }
  const RECT& c = client_;
  const std::int32_t dayHeight = DayInfoHeight();
  const std::int32_t headHeight = std::max<std::int32_t>(Scaled(kHeadingHeight), fonts_.charHeight + Scaled(6));
  const std::int32_t timeWidth = std::max<std::int32_t>(Scaled(kTimeWidth), fonts_.charWidth * 2 + Scaled(4));
  const std::int32_t reserve = reserveView_ ? ReserveWidth() : 0;
  const std::int32_t width = c.right - c.left, height = c.bottom - c.top;
  const std::int32_t gridLeft = c.left + timeWidth;
  const std::int32_t gridWidth = std::max(0, width - timeWidth - reserve);
  const std::int32_t top = c.top + dayHeight + headHeight;
  const std::int32_t below = std::max(0, height - dayHeight - headHeight);
  HDWP dwp = BeginDeferWindowPos(7);
  auto place = [&dwp](HWND w, int x, int y, int cx, int cy, bool show = true) {
    if (!w || !dwp) return;
    dwp = DeferWindowPos(dwp, w, nullptr, x, y, cx, cy,
                         SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  };
  place(dayInfo_->Handle(), c.left, c.top, width, dayHeight);
  place(corner_->Handle(), c.left, c.top + dayHeight, timeWidth, headHeight);
  place(titles_->Handle(), gridLeft, c.top + dayHeight, gridWidth, headHeight);
  place(reserveHeading_->Handle(), gridLeft + gridWidth, c.top + dayHeight, reserve, headHeight, reserve > 0);
  place(time_->Handle(), c.left, top, timeWidth, below);
  place(grid_->Handle(), gridLeft, top, gridWidth, below);
  place(reserveView_, gridLeft + gridWidth, top, reserve, below, reserve > 0);
  if (dwp) EndDeferWindowPos(dwp);
  grid_->SetSizes(geometry_.totalWidth, geometry_.totalHeight);
  GridScrolled(true, true);
}

void TimetableWindows::Relayout() {
  if (!grid_) return;
  // Keep the time and column at the centre of the visible grid.
  const GridGeometry old = geometry_;
  CTavoraView& g = *grid_;
  const std::int32_t cy = g.y + g.pageH / 2, cx = g.x + g.pageW / 2;
  const Time32 centreTime = old.slotHeight > 0 && old.totalHeight > 0 ? old.TimeAt(cy) : doc.topTime;
  std::size_t column = old.ColumnAt(cx);
  std::int32_t columnShare = 0;
  if (column != static_cast<std::size_t>(-1) && old.ColumnWidth(column) > 0)
    columnShare = (cx - old.columnLeft[column]) * 1000 / old.ColumnWidth(column);
  geometry_ = model.Layout(fonts_.charWidth, fonts_.charHeight);
  laidOut_ = Key();
  g.width = geometry_.totalWidth;
  g.height = geometry_.totalHeight;
  std::int32_t nx = g.x;
  if (column != static_cast<std::size_t>(-1) && column < geometry_.Columns())
    nx = geometry_.columnLeft[column] + geometry_.ColumnWidth(column) * columnShare / 1000 - g.pageW / 2;
  const std::int32_t ny = old.totalHeight > 0 ? geometry_.YOf(centreTime) - g.pageH / 2 : g.y;
  g.ScrollTo(nx, ny);
  g.UpdateBars(g.Handle());
}

bool TimetableWindows::LayoutKey::operator==(const LayoutKey& o) const {
  return std::equal(std::begin(values), std::end(values), std::begin(o.values));
}

TimetableWindows::LayoutKey TimetableWindows::Key() const {
  return LayoutKey{{doc.vZoom, doc.hZoom, doc.dayMode24, doc.firstHourOffset, doc.periodStartCopy, doc.firstDayStart,
                    doc.periodEnd, fonts_.charWidth, fonts_.charHeight, static_cast<std::int64_t>(model.Generation()),
                    doc.FontSize(), static_cast<std::int64_t>(model.Rows().size())}};
}

void TimetableWindows::EnsureLayout() {
  if (!grid_) return;
  if (doc.FontSize() != fontSizeBuilt_) MeasureCharHeight(doc.FontSize());
  if (Key() == laidOut_) return;
  Relayout();
  grid_->SetSizes(geometry_.totalWidth, geometry_.totalHeight);
  for (Window* v : std::initializer_list<Window*>{titles_.get(), time_.get(), grid_.get(), dayInfo_.get()})
    v->Invalidate();
}

void TimetableWindows::RedrawAll() {
  if (!grid_) return;
  Relayout();
  Layout();
  for (Window* v : std::initializer_list<Window*>{dayInfo_.get(), corner_.get(), reserveHeading_.get(),
                                                          titles_.get(), time_.get(), grid_.get()})
    v->Invalidate();
  if (reserveView_) InvalidateRect(reserveView_, nullptr, FALSE);
}

std::int32_t TimetableWindows::ScrollX() const { return grid_ ? grid_->x : 0; }
std::int32_t TimetableWindows::ScrollY() const { return grid_ ? grid_->y : 0; }

void TimetableWindows::GridScrolled(bool vertical, bool horizontal) {
  if (vertical) {
    time_->Invalidate();
    UpdateWindow(time_->Handle());  // sets the document's top time
    host.SetReserveScroll(grid_->y);
    host.SendToReserveView(kCmdViewUpdate);
    dayInfo_->Invalidate();
  }
  if (horizontal) titles_->Invalidate();
}

void TimetableWindows::RefreshDayInfo() {
  if (dayInfo_) dayInfo_->Invalidate();
}

void TimetableWindows::ForgetPrograms() {
  if (grid_) grid_->ForgetPrograms();
}

void TimetableWindows::OnTimer() {
  if (!grid_) return;
  grid_->OnTimer();
  time_->OnTimer();
}

void TimetableWindows::ScrollToNow() {
  if (!grid_) return;
  const Time32 now = doc.Now().Now();
  if (doc.dayMode24) {
    const std::int32_t hoursToNow = static_cast<std::int32_t>((now - doc.firstDayStart) / 3600);
    doc.firstHourOffset = std::max(0, std::min(hoursToNow - 6, doc.Hours() - 24));
    Relayout();
  }
  // Half an hour of the past stays in view above the current time; a view that
  // already shows it that way is left where it is.
  const std::int32_t margin = geometry_.slotHeight * 3;
  const std::int32_t nowY = geometry_.YOf(now);
  CTavoraView& g = *grid_;
  if (nowY < g.y + margin || nowY >= g.y + g.pageH - margin) g.SetPosition(g.x, nowY - margin);
  RedrawAll();
}

void TimetableWindows::ScrollDays(int days) {
  if (!grid_) return;
  if (doc.dayMode24) {
    doc.firstHourOffset = std::max(0, std::min(doc.firstHourOffset + 24 * days, doc.Hours() - 24));
    RedrawAll();
    return;
  }
  grid_->SetPosition(grid_->x, grid_->y + days * 24 * 6 * geometry_.slotHeight);
}

bool TimetableWindows::OnCommand(int id) {
  switch (id) {
    case kCmdViewUpdate:
      if (grid_) grid_->Repaint();
      return true;
    case kCmdViewActive:
      if (grid_) grid_->LowerHover();
      return true;
    case kCmdViewTimer:
      if (grid_) grid_->OnTimer();
      return true;
    case ID_TIMETABLE_DUMP_CELLS:
      if (grid_) grid_->DumpCells();
      return true;
    case kCmdDateHeader: RefreshDayInfo(); return true;
    case kCmdFilterToggle:
      model.ToggleFilter();
      RedrawAll();
      return true;
    case kCmdFilterEdit:
      if (RunFilterDialog(frame_, model)) RedrawAll();
      return true;
    case kCmdTitleOrder:
      if (RunTitleOrderDialog(frame_, model)) RedrawAll();
      return true;
    case ID_TIMETABLE_COLOURS: ShowColourPage(); return true;
    case ID_TIMETABLE_CATEGORIES: ShowCategoryEditor(); return true;
    default: return false;
  }
}

bool TimetableWindows::QueryCommand(int id, bool* enabled, bool* checked) const {
  switch (id) {
    case kCmdFilterToggle:
    case kCmdFilterEdit:
    case kCmdTitleOrder:
    case ID_TIMETABLE_COLOURS:
    case ID_TIMETABLE_CATEGORIES:
      *enabled = model.IsEnabled(id);
      *checked = model.IsChecked(id);
      return true;
    default: return false;
  }
}

void TimetableWindows::ShowColourPage() {
  if (RunColourPageDialog(frame_, model, host)) TakeColourPage();
}

void TimetableWindows::TakeColourPage() {
  RebuildPalette();
  // The reservation column and the height limit work from the document's
  // character height: the document rebuilds the fonts, measures them and
  // switches to 24-hour mode when the new face makes the days too tall.
  doc.FontChanged();
  RedrawAll();
}

void TimetableWindows::ShowCategoryEditor() {
  if (RunCategoryEditor(frame_, model)) RedrawAll();
}

std::int32_t TimetableWindows::MeasureCharHeight(std::int32_t fontSize) {
  if (fontSize != fontSizeBuilt_ || !fonts_.main) {
    const FontChoice& f = model.Font();
    fonts_.Build(f.face, fontSize, f.bold != 0, f.italic != 0);
    fontSizeBuilt_ = fontSize;
  }
  return fonts_.charHeight;
}

void TimetableWindows::RebuildFonts() {
  fontSizeBuilt_ = 0;
  MeasureCharHeight(doc.FontSize());
}

bool TimetableWindows::DeepColour() const {
  if (deepColour_ < 0) {
    WindowDC screen(nullptr);
    deepColour_ = GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES) > 8 ? 1 : 0;
  }
  return deepColour_ != 0;
}

void TimetableWindows::RebuildPalette() {
  const std::vector<Colour> colours = model.Palette();
  std::vector<BYTE> memory(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
  LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(memory.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(colours.size());
  for (std::size_t i = 0; i < colours.size(); ++i) {
    PALETTEENTRY& e = lp->palPalEntry[i];
    e.peRed = GetRValue(colours[i]);
    e.peGreen = GetGValue(colours[i]);
    e.peBlue = GetBValue(colours[i]);
    e.peFlags = 0;
  }
  palette_.Reset(colours.empty() ? nullptr : CreatePalette(lp));
}

void TimetableWindows::SelectPalette(HDC dc) const {
  if (!palette_) return;
  ::SelectPalette(dc, palette_.Get(), FALSE);
  RealizePalette(dc);
}

std::unique_ptr<TimetableWindows> CreateTimetableWindows(HWND frame, HWND reserveView, CTavoraDoc& doc,
                                                     TimetableModel& model, TimetableHost& host) {
  auto panes = std::make_unique<TimetableWindows>(doc, model, host);
  if (!panes->Create(frame, reserveView)) return nullptr;
  RECT client;
  GetClientRect(frame, &client);
  panes->Layout(client);
  return panes;
}
