#include "planner/reserve/win/reserve_view.h"

#include <windowsx.h>

#include "common/win/dpi.h"
#include "common/debug_log.h"
#include "common/text.h"
#include "common/win/scoped_win.h"
#include "planner/reserve/reserve_column.h"
#include "planner/reserve/reservation_texts.h"
#include "planner/reserve/win/reserve_actions.h"
#include "planner/shell/win/bubble.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/tavora_app.h"
#include "planner/timetable/tavora_doc.h"
#include "planner/timetable/win/timetable_instance.h"
#include "planner/timetable/win/timetable_windows.h"

namespace {
const wchar_t kViewClass[] = L"TavoraReserveView";
// Pressing the left button this close to the top or bottom edge scrolls.
constexpr int kEdgeZone = 12;
constexpr int kAutoScrollStep = 8;

const COLORREF kBackground = RGB(255, 255, 255);
const COLORREF kHeader = RGB(232, 232, 232);
const COLORREF kBar = RGB(255, 176, 96);
const COLORREF kBarHover = RGB(255, 96, 64);
const COLORREF kFrame = RGB(96, 96, 96);
}  // namespace

const CReserveView::MessageEntry CReserveView::kMessages[] = {
    {WM_PAINT, &CReserveView::OnPaint},
    {WM_ERASEBKGND, &CReserveView::OnEraseBackground},
    {WM_LBUTTONDBLCLK, &CReserveView::OnDoubleClick},
    {WM_LBUTTONDOWN, &CReserveView::OnLeftDown},
    {WM_LBUTTONUP, &CReserveView::OnLeftUp},
    {WM_RBUTTONDOWN, &CReserveView::OnRightDown},
    {WM_MOUSEMOVE, &CReserveView::OnMouseMove},
    {WM_SETCURSOR, &CReserveView::OnSetCursor},
    {kMsgReserveSetTop, &CReserveView::OnSetTop},
    {WM_MOUSEWHEEL, &CReserveView::OnWheel},
    {WM_VSCROLL, &CReserveView::OnVScroll},
    {WM_SIZE, &CReserveView::OnSize},
    {WM_CAPTURECHANGED, &CReserveView::OnCaptureChanged},
    {0, nullptr},
};

const CReserveView::CommandEntry CReserveView::kCommands[] = {
    {ID_PANE_TIMER, &CReserveView::OnTimerCommand},
    {ID_PANE_UPDATE, &CReserveView::OnUpdate},
    {ID_RESERVE_TITLES, &CReserveView::OnPlaceTitles},
    {0, nullptr},
};

CReserveView::CReserveView() = default;
CReserveView::~CReserveView() = default;

bool CReserveView::CreateView(HINSTANCE instance, HWND frame) {
  Register(instance, kViewClass, CS_DBLCLKS, nullptr, nullptr);
  RECT r = {0, 0, 0, 0};
  return Create(instance, kViewClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, r, frame, nullptr) != nullptr;
}

void CReserveView::Redraw() {
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

int CReserveView::HitTest(int x, int y) const {
  const CTavoraApp& app = TheApp();
  if (!app.doc) return -1;
  RECT rc;
  GetClientRect(Handle(), &rc);
  return HitTestColumn(app.reservations.Entries(), AxisOf(*app.doc, top_), rc.right, x, y);
}

LRESULT CReserveView::OnPaint(WPARAM, LPARAM) {
  PaintDC paint(Handle());
  const HDC dc = paint.Get();
  RECT rc;
  GetClientRect(Handle(), &rc);
  {
    BackBuffer buffer(dc, rc.right, rc.bottom);
    const HDC memory = buffer.Get();
    ScopedBrush background(CreateSolidBrush(kBackground));
    ScopedBrush header(CreateSolidBrush(kHeader));
    ScopedBrush bar(CreateSolidBrush(kBar));
    ScopedBrush barHover(CreateSolidBrush(kBarHover));
    ScopedPen frame(CreatePen(PS_SOLID, 1, kFrame));
    FillRect(memory, &rc, background.Get());
    RECT head = {0, 0, HeaderWidth(rc.right), rc.bottom};
    FillRect(memory, &head, header.Get());
    const CTavoraApp& app = TheApp();
    if (app.doc) {
      const ColumnAxis axis = AxisOf(*app.doc, top_);
      SelectInDc selectPen(memory, frame.Get());
      const auto& entries = app.reservations.Entries();
      for (std::size_t i = 0; i < entries.size(); ++i) {
        const BarRect b = BarOf(entries[i], axis, rc.right);
        if (b.bottom < 0 || b.top > rc.bottom) continue;
        SelectInDc selectBrush(memory, static_cast<int>(i) == hover_ ? barHover.Get() : bar.Get());
        Rectangle(memory, b.left, b.top, b.right, b.bottom + 1);
      }
      PaintTitles(memory, rc.right, rc.bottom);
    }
    BitBlt(dc, 0, 0, rc.right, rc.bottom, memory, 0, 0, SRCCOPY);
  }
  return 0;
}

namespace {
std::int32_t LineHeightOf(HDC dc, HFONT font) {
  SelectInDc select(dc, font);
  SIZE size = {};
  GetTextExtentPoint32W(dc, L"\x4e9c", 1, &size);  // "亜", as the timetable measures
  return size.cy + Scaled(2);
}
}  // namespace

// Each bar's program name in the timetable's normal font, or its small one
// where the lane or the bar is too small for it.
void CReserveView::PaintTitles(HDC dc, int width, int height) {
  const CTavoraApp& app = TheApp();
  const TimetableWindows* timetable = CurrentTimetableWindows();
  if (!app.doc || !timetable) return;
  const TimetableFonts& fonts = timetable->Fonts();
  const std::int32_t normalLine = LineHeightOf(dc, fonts.main.Get());
  const std::int32_t smallLine = LineHeightOf(dc, fonts.small.Get());
  const ColumnAxis axis = AxisOf(*app.doc, top_);
  if (top_ == insetsTop_) titleInsets_.clear();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  for (const ReservationEntry& e : app.reservations.Entries()) {
    const BarRect bar = BarOf(e, axis, width);
    const TitleFont font = ChooseTitleFont(bar, fonts.charWidth, normalLine, ScreenDpi());
    const std::int32_t line = font == TitleFont::Normal ? normalLine : smallLine;
    const auto key = std::make_pair(e.record.programNumber, e.record.subNumber);
    auto inset = titleInsets_.find(key);
    if (inset == titleInsets_.end()) inset = titleInsets_.emplace(key, TitleInset(bar, line, ScreenDpi())).first;
    const TitlePlace place = PlaceTitle(bar, inset->second, height, ScreenDpi());
    if (!place.shown) continue;
    SelectInDc select(dc, font == TitleFont::Normal ? fonts.main.Get() : fonts.small.Get());
    const RECT clip = {place.clip.left, place.clip.top, place.clip.right, place.clip.bottom};
    const std::wstring name = Cp932ToWide(e.name);
    ExtTextOutW(dc, place.x, place.y, ETO_CLIPPED, &clip, name.c_str(), static_cast<UINT>(name.size()), nullptr);
    if (reportTitles_) {
      DebugPrintf("reserve title %d-%d bar %d %d %d %d at %d %d font %s", e.record.programNumber, e.record.subNumber,
                  bar.left, bar.top, bar.right, bar.bottom, place.x, place.y,
                  font == TitleFont::Normal ? "normal" : "small");
    }
  }
  if (reportTitles_) DebugPrintf("reserve titles placed, top %d", top_);
  reportTitles_ = false;
}

void CReserveView::OnPlaceTitles() {
  titleInsets_.clear();
  insetsTop_ = top_;
  reportTitles_ = true;
  Redraw();
}

void CReserveView::CloseBubble() { bubble_.reset(); }

LRESULT CReserveView::OnDoubleClick(WPARAM, LPARAM lParam) {
  CloseBubble();
  const int index = HitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  if (index < 0) return 0;
  hover_ = -1;
  CancelReservation(GetParent(Handle()), static_cast<std::size_t>(index));
  Redraw();
  return 0;
}

LRESULT CReserveView::OnLeftDown(WPARAM, LPARAM lParam) {
  CloseBubble();
  RECT rc;
  GetClientRect(Handle(), &rc);
  const int y = GET_Y_LPARAM(lParam);
  const int zone = Scaled(kEdgeZone);
  autoScroll_ = y < zone ? -1 : (y >= rc.bottom - zone ? 1 : 0);
  if (autoScroll_) SetCapture(Handle());
  return 0;
}

LRESULT CReserveView::OnLeftUp(WPARAM, LPARAM) {
  if (autoScroll_) {
    autoScroll_ = 0;
    ReleaseCapture();
  }
  return 0;
}

LRESULT CReserveView::OnCaptureChanged(WPARAM, LPARAM) {
  autoScroll_ = 0;
  return 0;
}

LRESULT CReserveView::OnRightDown(WPARAM, LPARAM lParam) {
  CloseBubble();
  const int index = HitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  if (index < 0) return 0;
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(Handle(), &pt);
  bubble_ = std::make_unique<CBubble>();
  bubble_->Show(TheApp().instance, Handle(),
                ReservationBubbleText(TheApp().reservations.Entries()[static_cast<std::size_t>(index)]), pt);
  return 0;
}

LRESULT CReserveView::OnMouseMove(WPARAM, LPARAM lParam) {
  const int index = HitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  if (index != hover_) {
    hover_ = index;
    Redraw();
  }
  return 0;
}

LRESULT CReserveView::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  // DefWindowProc asks the frame first, which shows the wait cursor during long work.
  if (LOWORD(lParam) != HTCLIENT || TheApp().waitCursor > 0) return DefWindowProcW(Handle(), WM_SETCURSOR, wParam, lParam);
  if (autoScroll_) {
    // The scrolling cursor is the timetable's drag cursor (resource 150) once its resources are in.
#ifdef IDC_CUR_DRAG
    SetCursor(LoadCursorW(TheApp().instance, MAKEINTRESOURCEW(IDC_CUR_DRAG)));
#else
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32645)));  // IDC_SIZENS
#endif
    return TRUE;
  }
  SetCursor(LoadCursorW(nullptr, hover_ >= 0 ? MAKEINTRESOURCEW(32649) /* IDC_HAND */
                                            : MAKEINTRESOURCEW(32512) /* IDC_ARROW */));
  return TRUE;
}

LRESULT CReserveView::OnSetTop(WPARAM wParam, LPARAM) {
  top_ = static_cast<int>(wParam);
  Redraw();
  return 0;
}

LRESULT CReserveView::OnWheel(WPARAM wParam, LPARAM lParam) {
  CloseBubble();
  // The grid owns the vertical position: it scrolls and brings this column along.
  if (grid_) SendMessageW(grid_, WM_MOUSEWHEEL, wParam, lParam);
  return 0;
}

LRESULT CReserveView::OnVScroll(WPARAM wParam, LPARAM) {
  CloseBubble();
  if (grid_) SendMessageW(grid_, WM_VSCROLL, wParam, 0);
  return 0;
}

LRESULT CReserveView::OnSize(WPARAM, LPARAM) {
  Redraw();
  return 0;
}

void CReserveView::ScrollBy(int dy) {
  if (grid_) {
    // The grid owns the vertical position: it scrolls and sets ours.
    SendMessageW(grid_, WM_VSCROLL, MAKEWPARAM(dy < 0 ? SB_LINEUP : SB_LINEDOWN, 0), 0);
  } else {
    top_ += dy;
    if (top_ < 0) top_ = 0;
    Redraw();
  }
}

void CReserveView::OnTimerCommand() {
  if (autoScroll_ && (GetKeyState(VK_LBUTTON) & 0x8000)) ScrollBy(autoScroll_ * Scaled(kAutoScrollStep));
  DropHoverOffColumn();
}

// No mouse message comes once the pointer has left the column: the frame's
// timer finds it gone, and the highlighted bar goes back to normal.
void CReserveView::DropHoverOffColumn() {
  if (hover_ < 0 || autoScroll_) return;
  POINT p;
  if (!GetCursorPos(&p) || WindowFromPoint(p) == Handle()) return;
  hover_ = -1;
  Redraw();
}

void CReserveView::OnUpdate() {
  CloseBubble();
  Redraw();
}
