// The bubble: a borderless pop-up with a text in a rounded box and a pointer
// toward a point (usually the cursor). Its owner destroys it on the next mouse
// action; activation hands the focus back to the owner.
#pragma once
#include <windows.h>

#include <string>

#include "common/win/scoped_win.h"
#include "common/win/window.h"
#include "planner/shell/bubble_layout.h"

class CBubble : public WindowImpl<CBubble> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

  bool Show(HINSTANCE instance, HWND owner, const std::string& textCp932, POINT screenPoint);

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnActivate(WPARAM, LPARAM);
  LRESULT OnMouseActivate(WPARAM, LPARAM) { return MA_NOACTIVATE; }
  void OnMoveRequest();

  HWND owner_ = nullptr;
  std::string text_;
  BubblePlacement placement_;
  POINT last_ = {0, 0};
  ScopedFont font_;
  int textWidth_ = 0, textHeight_ = 0;
};
