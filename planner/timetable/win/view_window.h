// Child windows of the timetable: each class lists the window messages it
// handles in a static table ended by a zero entry, as the dialogs do
// (common/win/dialog.h), and derives from ViewImpl<T>.
#pragma once
#include <windows.h>

#include "common/win/message_table.h"

class ViewWindow {
 public:
  virtual ~ViewWindow();
  ViewWindow(const ViewWindow&) = delete;
  ViewWindow& operator=(const ViewWindow&) = delete;

  // Registers the class once per process and creates the child window.
  bool Create(HWND parent, const wchar_t* className, DWORD style, int id, HCURSOR cursor = nullptr);
  HWND Handle() const { return hwnd_; }
  void Invalidate() const {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
  }

 protected:
  ViewWindow() = default;
  // From the class's table; false when the message is not the class's.
  virtual bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
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
