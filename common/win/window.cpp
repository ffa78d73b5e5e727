#include "common/win/window.h"

#include "common/text.h"

bool Window::Register(HINSTANCE instance, const wchar_t* className, UINT classStyle, HCURSOR cursor,
                      HBRUSH background, HICON icon, HICON smallIcon, const wchar_t* menu) {
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
  wc.hIconSm = smallIcon ? smallIcon : icon;
  wc.lpszMenuName = menu;
  wc.lpszClassName = className;
  return RegisterClassExW(&wc) != 0;
}

HWND Window::Create(HINSTANCE instance, const wchar_t* className, const std::string& titleCp932, DWORD style,
                    DWORD exStyle, const RECT& rect, HWND parent, HMENU menuOrId) {
  const bool systemPlaced = rect.left == CW_USEDEFAULT;
  const int width = systemPlaced ? rect.right : rect.right - rect.left;
  const int height = systemPlaced ? rect.bottom : rect.bottom - rect.top;
  return CreateWindowExW(exStyle, className, Cp932ToWide(titleCp932).c_str(), style, rect.left, rect.top, width,
                         height, parent, menuOrId, instance, this);
}

bool Window::CreateChild(HWND parent, const wchar_t* className, DWORD style, int id, HCURSOR cursor) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!Register(instance, className, CS_DBLCLKS, cursor, nullptr)) return false;
  const RECT rect = {0, 0, 10, 10};
  return Create(instance, className, std::string(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, rect, parent,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self;
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self) self->Attach(hwnd);
  } else {
    self = static_cast<Window*>(From(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  const bool handled = self->Dispatch(message, wParam, lParam, &result);
  if (message == WM_NCDESTROY) self->DetachAtDestroy();
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
