#include "planner/timetable/win/view_window.h"

bool ViewWindow::Create(HWND parent, const wchar_t* className, DWORD style, int id, HCURSOR cursor) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!Register(instance, className, CS_DBLCLKS, cursor, nullptr)) return false;
  const RECT rect = {0, 0, 10, 10};
  return Window::Create(instance, className, std::string(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, rect,
                        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}
