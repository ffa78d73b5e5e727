#include "planner/shell/win/clock_window.h"

#include <ctime>
#include <string>
#include "common/time_text.h"
#include "common/win/dpi.h"
#include "common/win/scoped_win.h"
#include "planner/shell/win/resource.h"

namespace {
const wchar_t kClockClass[] = L"TavoraClock";
// Each digit cell is 14 x 22 pixels at 96 dpi, scaled to the screen.
constexpr int kDigitWidth = 14;
constexpr int kDigitHeight = 22;

Time32 CalibratedNow(std::int32_t timeError) { return static_cast<Time32>(std::time(nullptr)) + timeError; }
}  // namespace

const CClockWindow::MessageEntry CClockWindow::kMessages[] = {
    {WM_PAINT, &CClockWindow::OnPaint},
    {WM_ERASEBKGND, &CClockWindow::OnEraseBackground},
    {0, nullptr},
};
const CClockWindow::CommandEntry CClockWindow::kCommands[] = {
    {ID_CLOCK_PLACE_A, &CClockWindow::OnPlaceA},
    {ID_CLOCK_PLACE_B, &CClockWindow::OnPlaceB},
    {0, nullptr},
};

bool CClockWindow::CreateClock(HINSTANCE instance, HWND parent, std::int32_t timeError) {
  timeError_ = timeError;
  Register(instance, kClockClass, 0, nullptr, nullptr);
  RECT r = {0, 0, 8 * Scaled(kDigitWidth), Scaled(kDigitHeight)};
  return Create(instance, kClockClass, "", WS_CHILD | WS_VISIBLE, 0, r, parent, nullptr) != nullptr;
}

void CClockWindow::SetTimeError(std::int32_t timeError) {
  timeError_ = timeError;
  shown_ = -1;
  InvalidateRect(Handle(), nullptr, FALSE);
}

void CClockWindow::Tick() {
  const long long now = CalibratedNow(timeError_);
  if (now == shown_) return;
  InvalidateRect(Handle(), nullptr, FALSE);
}

void CClockWindow::OnPlaceA() { rightAligned_ = true; InvalidateRect(Handle(), nullptr, FALSE); }
void CClockWindow::OnPlaceB() { rightAligned_ = false; InvalidateRect(Handle(), nullptr, FALSE); }

LRESULT CClockWindow::OnPaint(WPARAM, LPARAM) {
  PaintDC paint(Handle());
  const HDC dc = paint.Get();
  RECT rc;
  GetClientRect(Handle(), &rc);
  const Time32 now = CalibratedNow(timeError_);
  shown_ = now;
  const std::string text = FormatLocalTime(now, "%H:%M:%S");

  BackBuffer buffer(dc, rc.right, rc.bottom);
  const HDC memory = buffer.Get();
  ScopedBrush back(CreateSolidBrush(RGB(0, 0, 0)));
  FillRect(memory, &rc, back.Get());
  const int digitWidth = Scaled(kDigitWidth), digitHeight = Scaled(kDigitHeight);
  ScopedFont font(CreateFontW(Scaled(kDigitHeight - 2), Scaled(kDigitWidth - 4), 0, 0, FW_BOLD, 0, 0, 0,
                              DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH, L"Courier New"));
  SelectInDc selectFont(memory, font.Get());
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, RGB(0, 255, 96));
  const int width = static_cast<int>(text.size()) * digitWidth;
  int x = rightAligned_ ? rc.right - width - Scaled(2) : Scaled(2);
  for (char c : text) {
    RECT cell = {x, (rc.bottom - digitHeight) / 2, x + digitWidth, (rc.bottom + digitHeight) / 2};
    const wchar_t w = static_cast<wchar_t>(c);
    DrawTextW(memory, &w, 1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    x += digitWidth;
  }
  BitBlt(dc, 0, 0, rc.right, rc.bottom, memory, 0, 0, SRCCOPY);
  return 0;
}
