#include "common/win/window.h"

#include "common/text.h"

Window::~Window() {
  // An object that dies before its window must not be called back.
  if (hwnd_) {
    StopAllTimers();
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
}

bool Window::Register(HINSTANCE instance, const wchar_t* className, UINT classStyle, HCURSOR cursor,
                      HBRUSH background, HICON icon) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, className, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = classStyle;
  wc.lpfnWndProc = &Window::Proc;
  wc.hInstance = instance;
  wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.lpszClassName = className;
  return RegisterClassExW(&wc) != 0;
}

HWND Window::Create(HINSTANCE instance, const wchar_t* className, const std::string& titleCp932, DWORD style,
                    DWORD exStyle, const RECT& rect, HWND parent, HMENU menuOrId) {
  return CreateWindowExW(exStyle, className, Cp932ToWide(titleCp932).c_str(), style, rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent, menuOrId, instance, this);
}

UINT_PTR Window::StartTimer(UINT_PTR first, UINT_PTR last, UINT periodMs) {
  return timers_.Start(hwnd_, first, last, periodMs);
}

void Window::StopTimer(UINT_PTR id) { timers_.Stop(hwnd_, id); }

void Window::StopAllTimers() { timers_.StopAll(hwnd_); }

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self;
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  const bool handled = self->Dispatch(message, wParam, lParam, &result);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->timers_.Forget();
    self->hwnd_ = nullptr;
    self->Detached();
  }
  return handled ? result : DefWindowProcW(hwnd, message, wParam, lParam);
}

void DrawCp932Text(HDC dc, const std::string& textCp932, RECT* rect, UINT format) {
  const std::wstring w = Cp932ToWide(textCp932);
  DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), rect, format);
}

SIZE MeasureCp932Text(HDC dc, const std::string& textCp932) {
  SIZE size = {0, 0};
  const std::wstring w = Cp932ToWide(textCp932);
  GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
  return size;
}
