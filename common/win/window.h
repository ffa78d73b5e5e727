// Plain windows of the programs (frames, panes, pop-ups), in the style of the
// dialogs: each class lists the messages and command ids it handles in two
// static tables ended by a zero entry, and derives from WindowImpl<CClass>:
//
//   const CMainFrame::MessageEntry CMainFrame::kMessages[] = {{WM_SIZE, &CMainFrame::OnSize}, {0, nullptr}};
//   const CMainFrame::CommandEntry CMainFrame::kCommands[] = {{32816, &CMainFrame::OnToggleColumn}, {0, nullptr}};
//
// Messages a class does not list go to DefWindowProcW.
#pragma once
#include <windows.h>

#include <string>

#include "common/win/message_table.h"
#include "common/win/timer_ids.h"

class Window {
 public:
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Registers the window class once per process (later calls do nothing).
  static bool Register(HINSTANCE instance, const wchar_t* className, UINT classStyle, HCURSOR cursor,
                       HBRUSH background, HICON icon = nullptr);
  // The window is created with this object attached; nullptr on failure.
  HWND Create(HINSTANCE instance, const wchar_t* className, const std::string& titleCp932, DWORD style,
              DWORD exStyle, const RECT& rect, HWND parent, HMENU menuOrId);
  HWND Handle() const { return hwnd_; }

  // A timer with the first free id of first ... last that SetTimer accepts; 0 when none.
  UINT_PTR StartTimer(UINT_PTR first, UINT_PTR last, UINT periodMs);
  void StopTimer(UINT_PTR id);
  void StopAllTimers();
  void PostCommand(int id) { PostMessageW(hwnd_, WM_COMMAND, static_cast<WPARAM>(id), 0); }

 protected:
  Window() = default;
  virtual bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;
  // The window is gone (WM_NCDESTROY): the handle is already cleared.
  virtual void Detached() {}
  // A WM_COMMAND id the class's table does not list; true when handled.
  virtual bool OtherCommand(int /*id*/) { return false; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  TimerIds timers_;
};

template <class T>
class WindowImpl : public Window {
 public:
  using MessageEntry = typename MessageTable<T, LRESULT>::MessageEntry;
  using CommandEntry = typename MessageTable<T, LRESULT>::CommandEntry;

 protected:
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (MessageTable<T, LRESULT>::Dispatch(*static_cast<T*>(this), T::kMessages, T::kCommands, message, wParam,
                                           lParam, 0, result))
      return true;
    if (message == WM_COMMAND && OtherCommand(LOWORD(wParam))) {
      *result = 0;
      return true;
    }
    return false;
  }
};

// Text drawing with cp932 texts.
void DrawCp932Text(HDC dc, const std::string& textCp932, RECT* rect, UINT format);
SIZE MeasureCp932Text(HDC dc, const std::string& textCp932);
