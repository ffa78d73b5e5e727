// The one dispatcher over a class's static tables: window messages, registered
// messages (RegisterWindowMessage names, whose values are known only at run
// time) and command ids, each ended by a zero entry. Windows, panes and dialogs
// differ only in what a handler returns (LRESULT for a window procedure,
// INT_PTR for a dialog procedure) and in the result a listed command gives back:
//
//   const CView::MessageEntry CView::kMessages[] = {{WM_PAINT, &CView::OnPaint}, {0, nullptr}};
//   const CView::RegisteredEntry CView::kRegistered[] = {{"TaskbarCreated", &CView::OnTaskbarCreated}, {0, nullptr}};
//   const CView::CommandEntry CView::kCommands[] = {
//       {32816, &CView::OnToggle},                      // void OnToggle()
//       {1001, &CView::OnEdit},                         // void OnEdit(UINT code): sees the notification
//       {1002, CBN_SELCHANGE, &CView::OnChosen},        // only that notification of 1002
//       {kAnyCommand, &CView::OnOther},                 // void OnOther(int id, UINT code): every id not listed above
//       {0, nullptr}};
//
// The first entry that matches takes the message. Every table is optional: a
// class that lists none of one kind does not define that table.
#pragma once
#include <windows.h>

#include <cstddef>
#include <vector>

// A command entry with this id takes every id (ids are 16 bits).
constexpr UINT kAnyCommand = 0x10000;
// A command entry with this code takes every notification code.
constexpr UINT kAnyNotification = 0xFFFFFFFFu;

template <class T, class Result>
struct MessageTable {
  using Handler = Result (T::*)(WPARAM wParam, LPARAM lParam);
  struct MessageEntry {
    UINT message;
    Handler handler;
  };
  struct RegisteredEntry {
    const char* name;
    Handler handler;
  };
  struct CommandEntry {
    using Plain = void (T::*)();
    using WithCode = void (T::*)(UINT code);
    using WithId = void (T::*)(int id, UINT code);
    constexpr CommandEntry(UINT i, std::nullptr_t) : id(i) {}
    constexpr CommandEntry(UINT i, Plain h) : id(i), plain(h) {}
    constexpr CommandEntry(UINT i, WithCode h) : id(i), withCode(h) {}
    constexpr CommandEntry(UINT i, WithId h) : id(i), withId(h) {}
    constexpr CommandEntry(UINT i, UINT c, Plain h) : id(i), code(c), plain(h) {}
    constexpr CommandEntry(UINT i, UINT c, WithId h) : id(i), code(c), withId(h) {}
    bool Last() const { return !plain && !withCode && !withId; }
    bool Takes(UINT commandId, UINT notification) const {
      return (id == kAnyCommand || id == commandId) && (code == kAnyNotification || code == notification);
    }
    void Call(T& self, UINT commandId, UINT notification) const {
      if (plain) (self.*plain)();
      else if (withCode) (self.*withCode)(notification);
      else (self.*withId)(static_cast<int>(commandId), notification);
    }
    UINT id;
    UINT code = kAnyNotification;
    Plain plain = nullptr;
    WithCode withCode = nullptr;
    WithId withId = nullptr;
  };

  // The first entry of `messages` listing the message handles it; then a
  // registered message of `registered`; else, for WM_COMMAND, the first entry
  // of `commands` that takes the low word (id) and high word (notification) of
  // wParam, which gives `commandResult`. Any table may be null. False when no
  // table lists the message.
  static bool Dispatch(T& self, const MessageEntry* messages, const RegisteredEntry* registered,
                       const CommandEntry* commands, UINT message, WPARAM wParam, LPARAM lParam, Result commandResult,
                       Result* result) {
    for (const MessageEntry* e = messages; e && e->handler; ++e) {
      if (e->message == message) {
        *result = (self.*e->handler)(wParam, lParam);
        return true;
      }
    }
    if (registered && message >= 0xC000 && message <= 0xFFFF) {
      const std::vector<UINT>& values = RegisteredValues(registered);
      for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] == message) {
          *result = (self.*registered[i].handler)(wParam, lParam);
          return true;
        }
      }
    }
    if (message != WM_COMMAND || !commands) return false;
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    for (const CommandEntry* e = commands; !e->Last(); ++e) {
      if (e->Takes(id, code)) {
        e->Call(self, id, code);
        *result = commandResult;
        return true;
      }
    }
    return false;
  }

 private:
  // A name's value is the same for the whole session: asked once per class.
  static const std::vector<UINT>& RegisteredValues(const RegisteredEntry* registered) {
    static std::vector<UINT> values;
    static const RegisteredEntry* resolved = nullptr;
    if (resolved != registered) {
      values.clear();
      for (const RegisteredEntry* e = registered; e->handler; ++e) values.push_back(RegisterWindowMessageA(e->name));
      resolved = registered;
    }
    return values;
  }
};

// The tables a class leaves out: its own, when it declares them, hide these.
template <class T, class Result>
struct OptionalTables {
  using MessageEntry = typename MessageTable<T, Result>::MessageEntry;
  using RegisteredEntry = typename MessageTable<T, Result>::RegisteredEntry;
  using CommandEntry = typename MessageTable<T, Result>::CommandEntry;
  static constexpr const MessageEntry* kMessages = nullptr;
  static constexpr const RegisteredEntry* kRegistered = nullptr;
  static constexpr const CommandEntry* kCommands = nullptr;

  static bool DispatchTables(T& self, UINT message, WPARAM wParam, LPARAM lParam, Result commandResult,
                             Result* result) {
    return MessageTable<T, Result>::Dispatch(self, T::kMessages, T::kRegistered, T::kCommands, message, wParam,
                                             lParam, commandResult, result);
  }
};
