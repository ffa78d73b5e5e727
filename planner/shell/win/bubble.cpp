#include "planner/shell/win/bubble.h"

#include "common/text.h"
#include "common/win/dpi.h"
#include "common/win/peers.h"
#include "common/win/scoped_win.h"
#include "planner/shell/win/resource.h"

namespace {
const wchar_t kBubbleClass[] = L"TavoraBubble";
const COLORREF kFill = RGB(255, 255, 225);

BubbleRect WorkArea() {
  const RECT r = DesktopWorkArea();
  return BubbleRect{r.left, r.top, r.right, r.bottom};
}

HRGN BubbleRegion(const BubblePlacement& p) {
  const int corner = Scaled(12);
  HRGN box = CreateRoundRectRgn(p.box.left, p.box.top, p.box.right + 1, p.box.bottom + 1, corner, corner);
  const int w = p.window.right - p.window.left;
  const int h = p.window.bottom - p.window.top;
  // The pointer: from the point's corner to two points on the box's near corner.
  POINT tri[3];
  tri[0] = {p.left ? w : 0, p.above ? h : 0};
  const int bx = p.left ? p.box.right - Scaled(18) : p.box.left + Scaled(6);
  const int by = p.above ? p.box.bottom - 1 : p.box.top + 1;
  tri[1] = {bx, by};
  tri[2] = {bx + Scaled(12), by};
  const ScopedGdi<HRGN> pointer(CreatePolygonRgn(tri, 3, WINDING));
  CombineRgn(box, box, pointer.Get(), RGN_OR);
  (void)h;
  return box;
}
}  // namespace

const CBubble::MessageEntry CBubble::kMessages[] = {
    {WM_PAINT, &CBubble::OnPaint},
    {WM_ACTIVATE, &CBubble::OnActivate},
    {WM_MOUSEACTIVATE, &CBubble::OnMouseActivate},
    {0, nullptr},
};
const CBubble::CommandEntry CBubble::kCommands[] = {
    {ID_BUBBLE_MOVE, &CBubble::OnMoveRequest},
    {0, nullptr},
};

bool CBubble::Show(HINSTANCE instance, HWND owner, const std::string& text, POINT pt) {
  owner_ = owner;
  text_ = text;
  last_ = pt;
  Register(instance, kBubbleClass, CS_SAVEBITS, nullptr, nullptr);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  font_.Reset(CreateFontIndirectW(&metrics.lfStatusFont));
  {
    WindowDC dc(owner);
    SelectInDc select(dc.Get(), font_.Get());
    RECT measure = {0, 0, Scaled(600), 0};
    DrawCp932Text(dc.Get(), text_, &measure, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    textWidth_ = measure.right;
    textHeight_ = measure.bottom;
  }
  placement_ = PlaceBubble(textWidth_, textHeight_, pt.x, pt.y, WorkArea(), ScreenDpi());
  const RECT r = {placement_.window.left, placement_.window.top, placement_.window.right, placement_.window.bottom};
  // The text is also the window's title: screen readers and tests find it there.
  // Owned by the planner's top-level window, the bubble stays above the planner
  // and goes behind with it when another program comes to the front; it is not
  // topmost over every program.
  HWND topLevel = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  if (!Create(instance, kBubbleClass, text_, WS_POPUP, WS_EX_TOOLWINDOW, r, topLevel, nullptr)) return false;
  SetWindowRgn(Handle(), BubbleRegion(placement_), FALSE);
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  return true;
}

void CBubble::OnMoveRequest() {
  POINT pt;
  GetCursorPos(&pt);
  if (!BubbleShouldMove(last_.x, last_.y, pt.x, pt.y, ScreenDpi())) return;
  last_ = pt;
  placement_ = PlaceBubble(textWidth_, textHeight_, pt.x, pt.y, WorkArea(), ScreenDpi());
  SetWindowRgn(Handle(), BubbleRegion(placement_), FALSE);
  MoveWindow(Handle(), placement_.window.left, placement_.window.top,
             placement_.window.right - placement_.window.left, placement_.window.bottom - placement_.window.top, TRUE);
}

LRESULT CBubble::OnActivate(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) != WA_INACTIVE && owner_) SetFocus(owner_);
  return 0;
}

LRESULT CBubble::OnPaint(WPARAM, LPARAM) {
  PaintDC paint(Handle());
  const HDC dc = paint.Get();
  ScopedBrush fill(CreateSolidBrush(kFill));
  ScopedBrush edge(CreateSolidBrush(RGB(0, 0, 0)));
  {
    const ScopedGdi<HRGN> region(BubbleRegion(placement_));
    FillRgn(dc, region.Get(), fill.Get());
    FrameRgn(dc, region.Get(), edge.Get(), 1, 1);
  }
  SelectInDc select(dc, font_.Get());
  SetBkMode(dc, TRANSPARENT);
  const int margin = Scaled(kBubbleMargin);
  RECT text = {placement_.box.left + margin, placement_.box.top + margin, placement_.box.right - margin,
               placement_.box.bottom - margin};
  DrawCp932Text(dc, text_, &text, DT_NOPREFIX | DT_EXPANDTABS);
  return 0;
}
