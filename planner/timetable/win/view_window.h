// Child windows of the timetable: plain windows of the framework
// (common/win/window.h) that list the window messages they handle in a static
// table ended by a zero entry, and derive from ViewImpl<T>.
#pragma once
#include <windows.h>

#include "common/win/message_table.h"
#include "common/win/window.h"

class ViewWindow : public Window {
 public:
  // Registers the class once per process and creates the child window.
  bool Create(HWND parent, const wchar_t* className, DWORD style, int id, HCURSOR cursor = nullptr);
  void Invalidate() const {
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
  }

 protected:
  ViewWindow() = default;
};

template <class T>
class ViewImpl : public ViewWindow {
 public:
  using MessageEntry = typename MessageTable<T, LRESULT>::MessageEntry;

 protected:
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    return MessageTable<T, LRESULT>::Dispatch(*static_cast<T*>(this), T::kMessages, nullptr, message, wParam, lParam,
                                              0, result);
  }
};
