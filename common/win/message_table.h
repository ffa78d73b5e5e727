// The one dispatcher over a class's static tables of window messages and
// command ids, each ended by a zero entry. Windows, panes and dialogs differ only
// in what a handler returns (LRESULT for a window procedure, INT_PTR for a
// dialog procedure) and in the result a listed command gives back:
//
//   const CView::MessageEntry CView::kMessages[] = {{WM_PAINT, &CView::OnPaint}, {0, nullptr}};
//   const CView::CommandEntry CView::kCommands[] = {{32816, &CView::OnToggle}, {0, nullptr}};
#pragma once
#include <windows.h>

template <class T, class Result>
struct MessageTable {
  struct MessageEntry {
    UINT message;
    Result (T::*handler)(WPARAM wParam, LPARAM lParam);
  };
  struct CommandEntry {
    UINT id;
    void (T::*handler)();
  };

  // The first entry of `messages` listing the message handles it; else, for
  // WM_COMMAND, the first entry of `commands` (may be null) listing the low word
  // of wParam, which gives `commandResult`. False when neither lists it.
  static bool Dispatch(T& self, const MessageEntry* messages, const CommandEntry* commands, UINT message,
                       WPARAM wParam, LPARAM lParam, Result commandResult, Result* result) {
    for (const MessageEntry* e = messages; e && e->handler; ++e) {
      if (e->message == message) {
        *result = (self.*e->handler)(wParam, lParam);
        return true;
      }
    }
    if (message != WM_COMMAND || !commands) return false;
    for (const CommandEntry* e = commands; e->handler; ++e) {
      if (e->id == LOWORD(wParam)) {
        (self.*e->handler)();
        *result = commandResult;
        return true;
      }
    }
    return false;
  }
};
