// The dispatcher every window, pane and dialog class goes through.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/win/message_table.h"

namespace {

template <class Result>
class Recorder {
 public:
  using Table = MessageTable<Recorder, Result>;
  Result OnPaint(WPARAM w, LPARAM l) { return Log("paint", w, l, 11); }
  Result OnFirstTimer(WPARAM w, LPARAM l) { return Log("timer1", w, l, 21); }
  Result OnSecondTimer(WPARAM w, LPARAM l) { return Log("timer2", w, l, 22); }
  Result OnCommandMessage(WPARAM w, LPARAM l) { return Log("command-message", w, l, 31); }
  void OnSave() { calls.push_back("save"); }
  void OnQuit() { calls.push_back("quit"); }
  void OnEdit(UINT code) { calls.push_back("edit " + std::to_string(code)); }
  void OnChosen() { calls.push_back("chosen"); }
  void OnPicked(int id, UINT code) { calls.push_back("picked " + std::to_string(id) + " " + std::to_string(code)); }
  void OnOther(int id, UINT code) { calls.push_back("other " + std::to_string(id) + " " + std::to_string(code)); }
  Result OnRegistered(WPARAM w, LPARAM l) { return Log("registered", w, l, 41); }
  std::vector<std::string> calls;

 private:
  Result Log(const char* what, WPARAM w, LPARAM l, Result r) {
    calls.push_back(std::string(what) + " " + std::to_string(w) + " " + std::to_string(l));
    return r;
  }
};

template <class Result>
const typename Recorder<Result>::Table::MessageEntry kMessages[] = {
    {WM_PAINT, &Recorder<Result>::OnPaint},
    {WM_TIMER, &Recorder<Result>::OnFirstTimer},
    {WM_TIMER, &Recorder<Result>::OnSecondTimer},
    {0, nullptr},
};
template <class Result>
const typename Recorder<Result>::Table::MessageEntry kCommandMessage[] = {
    {WM_COMMAND, &Recorder<Result>::OnCommandMessage},
    {0, nullptr},
};
template <class Result>
const typename Recorder<Result>::Table::CommandEntry kCommands[] = {
    {32816, &Recorder<Result>::OnSave},
    {2, &Recorder<Result>::OnQuit},
    {0, nullptr},
};

// A list's selection change only, a range of buttons with one handler, and a
// catch-all at the end.
template <class Result>
const typename Recorder<Result>::Table::CommandEntry kNotifiedCommands[] = {
    {1001, &Recorder<Result>::OnEdit},
    {1002, CBN_SELCHANGE, &Recorder<Result>::OnChosen},
    {1003, &Recorder<Result>::OnPicked},
    {1004, &Recorder<Result>::OnPicked},
    {kAnyCommand, &Recorder<Result>::OnOther},
    {0, nullptr},
};
template <class Result>
const typename Recorder<Result>::Table::RegisteredEntry kRegistered[] = {
    {"LumiventTableTestMessage", &Recorder<Result>::OnRegistered},
    {0, nullptr},
};

// LRESULT and INT_PTR are one type on x86-64; the windows' tables are the case.
using R = LRESULT;

TEST(MessageTable, AListedMessageReachesTheFirstHandlerListingItWithItsArguments) {
  using T = Recorder<R>;
  auto owned = std::make_unique<T>();  // on the heap: GCC misreads member-pointer calls on a local
  T& r = *owned;
  R result = -1;
  ASSERT_TRUE(T::Table::Dispatch(r, kMessages<R>, nullptr, kCommands<R>, WM_TIMER, 7, 9, 1, &result));
  EXPECT_EQ(result, 21);
  ASSERT_TRUE(T::Table::Dispatch(r, kMessages<R>, nullptr, kCommands<R>, WM_PAINT, 0, 3, 1, &result));
  EXPECT_EQ(result, 11);
  EXPECT_EQ(r.calls, (std::vector<std::string>{"timer1 7 9", "paint 0 3"}));
}

TEST(MessageTable, ACommandIsFoundByTheLowWordAndGivesTheCommandResult) {
  using T = Recorder<R>;
  struct Case {
    WPARAM wParam;
    bool handled;
    const char* call;
  };
  const Case cases[] = {
      {32816, true, "save"},
      {MAKEWPARAM(2, BN_CLICKED), true, "quit"},     // a button's notification in the high word
      {MAKEWPARAM(32816, 1), true, "save"},          // an accelerator
      {32817, false, nullptr},
      {0, false, nullptr},                           // the end entry's id is no command
  };
  for (const Case& c : cases) {
    auto owned = std::make_unique<T>();  // on the heap: GCC misreads member-pointer calls on a local
    T& r = *owned;
    R result = -1;
    EXPECT_EQ(T::Table::Dispatch(r, kMessages<R>, nullptr, kCommands<R>, WM_COMMAND, c.wParam, 0, 5, &result),
              c.handled)
        << c.wParam;
    EXPECT_EQ(result, c.handled ? 5 : -1) << c.wParam;
    EXPECT_EQ(r.calls, c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{}) << c.wParam;
  }
}

TEST(MessageTable, AWmCommandHandlerInTheMessagesComesBeforeTheCommandTable) {
  using T = Recorder<R>;
  auto owned = std::make_unique<T>();  // on the heap: GCC misreads member-pointer calls on a local
  T& r = *owned;
  R result = -1;
  ASSERT_TRUE(T::Table::Dispatch(r, kCommandMessage<R>, nullptr, kCommands<R>, WM_COMMAND, 32816, 4, 5, &result));
  EXPECT_EQ(result, 31);
  EXPECT_EQ(r.calls, std::vector<std::string>{"command-message 32816 4"});
}

TEST(MessageTable, UnlistedMessagesAndCommandsWithoutATableAreLeftAlone) {
  using T = Recorder<R>;
  auto owned = std::make_unique<T>();  // on the heap: GCC misreads member-pointer calls on a local
  T& r = *owned;
  R result = -1;
  EXPECT_FALSE(T::Table::Dispatch(r, kMessages<R>, nullptr, kCommands<R>, WM_SIZE, 1, 2, 5, &result));
  EXPECT_FALSE(T::Table::Dispatch(r, kMessages<R>, nullptr, nullptr, WM_COMMAND, 32816, 0, 5, &result));
  EXPECT_FALSE(T::Table::Dispatch(r, nullptr, nullptr, nullptr, WM_PAINT, 0, 0, 5, &result));
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(r.calls.empty());
}

TEST(MessageTable, ACommandHandlerSeesTheNotificationCodeAndTheIdWhenItAsks) {
  using T = Recorder<R>;
  struct Case {
    WPARAM wParam;
    const char* call;
  };
  const Case cases[] = {
      {MAKEWPARAM(1001, EN_CHANGE), "edit 768"},
      {MAKEWPARAM(1001, EN_KILLFOCUS), "edit 512"},
      {MAKEWPARAM(1002, CBN_SELCHANGE), "chosen"},
      // Another notification of 1002 is not the selection's: it falls to the catch-all.
      {MAKEWPARAM(1002, CBN_DROPDOWN), "other 1002 7"},
      {MAKEWPARAM(1003, BN_CLICKED), "picked 1003 0"},
      {MAKEWPARAM(1004, BN_DOUBLECLICKED), "picked 1004 5"},
      {MAKEWPARAM(40000, 1), "other 40000 1"},
  };
  for (const Case& c : cases) {
    auto owned = std::make_unique<T>();  // on the heap: GCC misreads member-pointer calls on a local
    T& r = *owned;
    R result = -1;
    EXPECT_TRUE(T::Table::Dispatch(r, nullptr, nullptr, kNotifiedCommands<R>, WM_COMMAND, c.wParam, 0, 5, &result));
    EXPECT_EQ(result, 5);
    EXPECT_EQ(r.calls, std::vector<std::string>{c.call}) << c.call;
  }
}

TEST(MessageTable, ARegisteredMessageReachesItsHandlerByTheNameItWasRegisteredWith) {
  using T = Recorder<R>;
  auto owned = std::make_unique<T>();  // on the heap: GCC misreads member-pointer calls on a local
  T& r = *owned;
  const UINT listed = RegisterWindowMessageA("LumiventTableTestMessage");
  const UINT other = RegisterWindowMessageA("LumiventTableTestOther");
  ASSERT_NE(listed, 0u);
  ASSERT_NE(other, listed);
  R result = -1;
  // Twice: the second time the value comes from what the first asked.
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(T::Table::Dispatch(r, kMessages<R>, kRegistered<R>, kCommands<R>, listed, 3, 4, 5, &result));
    EXPECT_EQ(result, 41);
  }
  EXPECT_FALSE(T::Table::Dispatch(r, kMessages<R>, kRegistered<R>, kCommands<R>, other, 3, 4, 5, &result));
  // A message below the registered range is never looked up by name.
  EXPECT_FALSE(T::Table::Dispatch(r, kMessages<R>, kRegistered<R>, kCommands<R>, WM_APP + 1, 3, 4, 5, &result));
  EXPECT_EQ(r.calls, (std::vector<std::string>{"registered 3 4", "registered 3 4"}));
}

}  // namespace
