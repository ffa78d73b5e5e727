#include "bench/timetable/paint/default_host.h"

#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/message_box.h"
#include "common/win/scoped_win.h"

namespace {

// A plain pop-up with the text, for when no bubble of the shell is there.
LRESULT CALLBACK BubbleProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintDC paint(hwnd);
    const HDC dc = paint.Get();
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    wchar_t text[4096] = {};
    GetWindowTextW(hwnd, text, 4095);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    InflateRect(&r, -6, -4);
    DrawTextW(dc, text, -1, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
    return 0;
  }
  if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HWND DefaultTimetableHost::ShowBubble(HWND owner, POINT screen, const std::string& textCp932) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  if (!GetClassInfoW(instance, L"TavoraTimetableBubble", &wc)) {
    wc.lpfnWndProc = BubbleProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = L"TavoraTimetableBubble";
    RegisterClassW(&wc);
  }
  const std::wstring text = Cp932ToWide(textCp932);
  RECT r = {0, 0, 360, 0};
  {
    WindowDC dc(owner);
    SelectInDc font(dc.Get(), GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(dc.Get(), text.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
  }
  HWND bubble = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"TavoraTimetableBubble", text.c_str(), WS_POPUP,
                                screen.x + 10, screen.y + 10, r.right + 12, r.bottom + 8, owner, nullptr, instance,
                                nullptr);
  if (bubble) ShowWindow(bubble, SW_SHOWNOACTIVATE);
  return bubble;
}

void DefaultTimetableHost::CloseBubble(HWND bubble) {
  if (bubble && IsWindow(bubble)) DestroyWindow(bubble);
}

void DefaultTimetableHost::ShowMessage(HWND owner, int stringId) {
  const std::string text = LoadCp932String(GetModuleHandleW(nullptr), static_cast<UINT>(stringId));
  ShowMessageBox(owner, text, J(u8"受信予約プログラム"), MB_OK | MB_ICONINFORMATION);
}
