// Plain windows of the programs (frames, panes, pop-ups), in the style of the
// dialogs: each class lists the messages, registered messages and command ids
// it handles in static tables ended by a zero entry (common/win/message_table.h;
// each table is optional), and derives from WindowImpl<CClass>:
//
//   const CMainFrame::MessageEntry CMainFrame::kMessages[] = {{WM_SIZE, &CMainFrame::OnSize}, {0, nullptr}};
//   const CMainFrame::CommandEntry CMainFrame::kCommands[] = {{32816, &CMainFrame::OnToggleColumn}, {0, nullptr}};
//
// Messages a class does not list go to DefWindowProcW.
#pragma once
#include <windows.h>

#include <string>

#include "common/win/message_table.h"
#include "common/win/window_base.h"

class Window : public WindowBase {
 public:
  // Registers the window class once per process (later calls do nothing).
  static bool Register(HINSTANCE instance, const wchar_t* className, UINT classStyle, HCURSOR cursor,
                       HBRUSH background, HICON icon = nullptr, HICON smallIcon = nullptr,
                       const wchar_t* menu = nullptr);
  // The window is created with this object attached; nullptr on failure. A
  // rect whose left is CW_USEDEFAULT leaves the place to the system: its right
  // and bottom are then the width and height as CreateWindowEx takes them.
  HWND Create(HINSTANCE instance, const wchar_t* className, const std::string& titleCp932, DWORD style,
              DWORD exStyle, const RECT& rect, HWND parent, HMENU menuOrId);
  // A visible child of `parent` of a class registered here (double clicks on).
  bool CreateChild(HWND parent, const wchar_t* className, DWORD style, int id, HCURSOR cursor = nullptr);

 protected:
  Window() : WindowBase(GWLP_USERDATA) {}
  virtual bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

template <class T>
class WindowImpl : public Window, public OptionalTables<T, LRESULT> {
 public:
  using typename OptionalTables<T, LRESULT>::MessageEntry;
  using typename OptionalTables<T, LRESULT>::RegisteredEntry;
  using typename OptionalTables<T, LRESULT>::CommandEntry;

 protected:
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    return OptionalTables<T, LRESULT>::DispatchTables(*static_cast<T*>(this), message, wParam, lParam, 0, result);
  }
};

// Text drawing with cp932 texts.
void DrawCp932Text(HDC dc, const std::string& textCp932, RECT* rect, UINT format);
SIZE MeasureCp932Text(HDC dc, const std::string& textCp932);
