#include "planner/timetable/win/view_window.h"

ViewWindow::~ViewWindow() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    HWND w = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(w);
  }
}

bool ViewWindow::Create(HWND parent, const wchar_t* className, DWORD style, int id, HCURSOR cursor) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  if (!GetClassInfoExW(instance, className, &wc)) {
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &ViewWindow::Proc;
    wc.hInstance = instance;
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = className;
    if (!RegisterClassExW(&wc)) return false;
  }
  hwnd_ = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 10, 10, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
  return hwnd_ != nullptr;
}

LRESULT CALLBACK ViewWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewWindow* self;
  if (message == WM_NCCREATE) {
    self = static_cast<ViewWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<ViewWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (self) {
    LRESULT result = 0;
    if (self->Dispatch(message, wParam, lParam, &result)) return result;
    if (message == WM_NCDESTROY) self->hwnd_ = nullptr;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
