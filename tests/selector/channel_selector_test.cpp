#include "selector/channel_selector.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::uint32_t Addr(const char* dotted) {
  std::uint32_t a = 0;
  EXPECT_TRUE(ParseDottedAddress(dotted, &a)) << dotted;
  return a;
}

struct FakeHost : SelectorHost {
  std::vector<std::string> calls;
  bool fail = false;
  int asks = 0;
  std::string shown;
  bool SetSid(std::uint16_t sid) override {
    calls.push_back("sid " + std::to_string(sid));
    return !fail;
  }
  bool SetSidWithTag(std::uint16_t sid, std::uint16_t tag) override {
    calls.push_back("sid " + std::to_string(sid) + " tag " + std::to_string(tag));
    return !fail;
  }
  // The failure message is modal: its loop runs further session checks.
  std::function<void()> duringFailure;
  void ShowSetFailure() override {
    calls.push_back("failure");
    if (duringFailure) {
      auto nested = std::move(duringFailure);
      duringFailure = nullptr;
      nested();
    }
  }
  void PostAskCommand() override { ++asks; }
  void ShowChannelName(const std::string& name) override { shown = name; }
};

const char* const kList = "default 100 既定\n239.1.2.0/24:* 21 BS21\n239.1.3.0/24:* 22 BS22\n";

class SelectorTest : public ::testing::Test {
 protected:
  void Make(SwitchMode mode, std::int32_t tag = -1, const char* list = kList) {
    selector = std::make_unique<ChannelSelector>(host, mode, tag);
    LoadChannelText(list, &selector->Table());
  }
  void Check(std::vector<SessionRecord> records) { Check(records, records.size()); }
  void Check(const std::vector<SessionRecord>& records, std::size_t count) { selector->Check(&records, count); }
  const SessionRecord a21{Addr("239.1.2.1"), 5000};
  const SessionRecord a22{Addr("239.1.3.1"), 5000};
  const SessionRecord other{Addr("239.9.9.9"), 5000};
  FakeHost host;
  std::unique_ptr<ChannelSelector> selector;
};

TEST_F(SelectorTest, AgreeingSessionsSwitchInEveryMode) {
  for (SwitchMode mode : {SwitchMode::Automatic, SwitchMode::Ask, SwitchMode::Never}) {
    host.calls.clear();
    Make(mode);
    Check({a21});
    Check({a22});   // still agreeing (one session), previous second matched
    EXPECT_EQ(host.calls, (std::vector<std::string>{"sid 21", "sid 22"})) << static_cast<int>(mode);
    EXPECT_EQ(selector->CurrentChannel(), 22);
    EXPECT_EQ(host.asks, 0);
  }
}

// Disagreeing sessions after a second that already matched.
struct DecisionCase {
  SwitchMode mode;
  bool pendingBefore;
  const char* expectSet;   // "" = no set
  int asks;
};

class DecisionTest : public SelectorTest, public ::testing::WithParamInterface<DecisionCase> {};

TEST_P(DecisionTest, DisagreeingSessions) {
  const DecisionCase& c = GetParam();
  // A question can be pending in any mode: the settings dialog may change
  // the mode while the question is up.
  Make(c.pendingBefore ? SwitchMode::Ask : c.mode);
  Check({a21});                     // on 21, this second matched
  if (c.pendingBefore) {
    Check({a22, a21}, 2);           // asks
    ASSERT_TRUE(selector->QuestionPending());
    selector->SetMode(c.mode);
  }
  host.calls.clear();
  host.asks = 0;
  Check({a22, a21}, 2);
  EXPECT_EQ(host.asks, c.asks);
  if (*c.expectSet) {
    EXPECT_EQ(host.calls, std::vector<std::string>{c.expectSet});
  } else {
    EXPECT_TRUE(host.calls.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DecisionTest,
    ::testing::Values(DecisionCase{SwitchMode::Automatic, false, "sid 22", 0},
                      DecisionCase{SwitchMode::Ask, false, "", 1},
                      DecisionCase{SwitchMode::Never, false, "", 0},
                      DecisionCase{SwitchMode::Automatic, true, "sid 22", 0},
                      DecisionCase{SwitchMode::Ask, true, "", 0},   // a question is already pending
                      DecisionCase{SwitchMode::Never, true, "", 0}));

TEST_F(SelectorTest, FirstMatchAfterASecondWithoutOneSwitchesEvenInModeTwo) {
  Make(SwitchMode::Never);
  Check({a21});
  selector->Check(nullptr, 0);
  host.calls.clear();
  Check({a22, a21});
  EXPECT_EQ(host.calls, std::vector<std::string>{"sid 22"});
}

TEST_F(SelectorTest, AskedOnceAndNotAgainForTheSameProposal) {
  Make(SwitchMode::Ask);
  Check({a21});
  Check({a22, a21});
  ASSERT_EQ(host.asks, 1);
  ASSERT_TRUE(selector->BeginAsk());
  EXPECT_EQ(selector->Pending().channel, 22);
  Check({a22, a21});                  // pending: holds, no second question
  EXPECT_EQ(host.asks, 1);
  selector->Answer(false, false);     // "いいえ"
  EXPECT_EQ(selector->CurrentChannel(), 21);
  EXPECT_FALSE(selector->QuestionPending());
  host.calls.clear();
  Check({a22, a21});                  // asked again by the check ...
  EXPECT_EQ(host.asks, 2);
  EXPECT_FALSE(selector->BeginAsk()); // ... but the dialog is not shown again
  EXPECT_TRUE(selector->QuestionPending());
  Check({a22, a21, other});           // the count grows: the flag is cleared
  EXPECT_EQ(host.asks, 3);
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(selector->CurrentChannel(), 21);
  // ... and the "no" with it: a new session may bring the same question again.
  EXPECT_TRUE(selector->BeginAsk());
  EXPECT_EQ(selector->Asked().channel, 22);
}

TEST_F(SelectorTest, YesSwitchesToWhatTheUserWasAskedAbout) {
  Make(SwitchMode::Ask);
  Check({a21});
  Check({a22, a21});
  ASSERT_TRUE(selector->BeginAsk());
  host.calls.clear();
  selector->Answer(true, false);
  EXPECT_EQ(host.calls, std::vector<std::string>{"sid 22"});
  EXPECT_EQ(selector->CurrentName(), "BS22");
  EXPECT_EQ(selector->Mode(), SwitchMode::Ask);
}

TEST_F(SelectorTest, TickedBoxSetsTheMode) {
  Make(SwitchMode::Ask);
  selector->Answer(true, true);
  EXPECT_EQ(selector->Mode(), SwitchMode::Automatic);
  selector->Answer(false, true);
  EXPECT_EQ(selector->Mode(), SwitchMode::Never);
}

TEST_F(SelectorTest, NoMatchSetsTheDefaultChannelOnce) {
  Make(SwitchMode::Automatic);
  Check({other});
  Check({other});
  EXPECT_EQ(host.calls, std::vector<std::string>{"sid 100"});
  EXPECT_EQ(selector->CurrentName(), "既定");
  EXPECT_EQ(host.shown, "既定");
}

TEST_F(SelectorTest, WithoutADefaultLineServiceIdFFFFIsSetAfterAMatch) {
  Make(SwitchMode::Automatic, -1, "239.1.2.0/24:* 21 BS21\n");
  Check({other});                     // current -1 is already the default
  EXPECT_TRUE(host.calls.empty());
  Check({a21});
  Check({other});
  EXPECT_EQ(host.calls, (std::vector<std::string>{"sid 21", "sid 65535"}));
  EXPECT_EQ(selector->CurrentChannel(), -1);
}

TEST_F(SelectorTest, TagIdGoesWithEverySetWhenPresent) {
  Make(SwitchMode::Automatic, 8);
  Check({a21});
  Check({other});
  EXPECT_EQ(host.calls, (std::vector<std::string>{"sid 21 tag 8", "sid 100 tag 8"}));
}

TEST_F(SelectorTest, FailedSetIsShownAndTheChannelStillChanges) {
  Make(SwitchMode::Automatic);
  host.fail = true;
  Check({a21});
  EXPECT_EQ(host.calls, (std::vector<std::string>{"sid 21", "failure"}));
  EXPECT_EQ(selector->CurrentChannel(), 21);
}

TEST_F(SelectorTest, MissingValueMakesNoDecisionAndClearsTheName) {
  Make(SwitchMode::Automatic);
  Check({a21});
  host.calls.clear();
  selector->Check(nullptr, 0);
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(selector->CurrentName(), "");
  EXPECT_EQ(selector->CurrentChannel(), 21);
}

// The question dialog's loop runs the session check: a new session while it
// is up proposes another channel, but no second question opens, and "はい"
// switches to the channel the user was shown.
TEST_F(SelectorTest, OneQuestionAtATimeAndYesMeansTheChannelShown) {
  Make(SwitchMode::Ask, -1, "239.1.2.0/24:* 21 BS21\n239.1.3.0/24:* 22 BS22\n239.1.4.0/24:* 23 BS23\n");
  const SessionRecord a23{Addr("239.1.4.1"), 5000};
  Check({a21});
  Check({a22, a21});
  ASSERT_TRUE(selector->BeginAsk());
  ASSERT_EQ(selector->Asked().channel, 22);
  Check({a23, a22, a21});             // under the dialog: the count grows, 23 is proposed
  EXPECT_EQ(host.asks, 2);
  EXPECT_FALSE(selector->BeginAsk()); // the second command opens nothing
  host.calls.clear();
  selector->Answer(true, false);
  EXPECT_EQ(host.calls, std::vector<std::string>{"sid 22"});
  EXPECT_EQ(selector->CurrentChannel(), 22);
  EXPECT_EQ(selector->CurrentName(), "BS22");
  EXPECT_FALSE(selector->Asking());
}

TEST_F(SelectorTest, ClosingTheQuestionChangesNeitherChannelNorMode) {
  Make(SwitchMode::Ask);
  Check({a21});
  Check({a22, a21});
  ASSERT_TRUE(selector->BeginAsk());
  host.calls.clear();
  selector->Dismiss();
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(selector->CurrentChannel(), 21);
  EXPECT_EQ(selector->Mode(), SwitchMode::Ask);
  EXPECT_FALSE(selector->QuestionPending());
  EXPECT_FALSE(selector->Asking());
}

// A failed set shows a modal message, and the check that runs under it may
// switch again: the board's channel and the shown name stay in step.
TEST_F(SelectorTest, ASwitchUnderTheFailureMessageKeepsChannelAndNameInStep) {
  Make(SwitchMode::Automatic);
  host.fail = true;
  host.duringFailure = [this] {
    host.fail = false;
    Check({a22});
  };
  Check({a21});
  EXPECT_EQ(host.calls, (std::vector<std::string>{"sid 21", "failure", "sid 22"}));
  EXPECT_EQ(selector->CurrentChannel(), 22);
  EXPECT_EQ(selector->CurrentName(), "BS22");
  EXPECT_EQ(host.shown, "BS22");
}

TEST_F(SelectorTest, ASwitchUnderTheDefaultsFailureMessageKeepsChannelAndNameInStep) {
  Make(SwitchMode::Never);
  Check({a21});
  host.fail = true;
  host.duringFailure = [this] {
    host.fail = false;
    Check({a22});                     // first match after a second without one
  };
  host.calls.clear();
  Check({other});
  EXPECT_EQ(host.calls, (std::vector<std::string>{"sid 100", "failure", "sid 22"}));
  EXPECT_EQ(selector->CurrentChannel(), 22);
  EXPECT_EQ(selector->CurrentName(), "BS22");
  // The outer check did not mark the second as unmatched after the inner one
  // matched: disagreeing sessions now ask in mode 1 / hold in mode 2.
  host.calls.clear();
  Check({a21, a22});
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(SelectorTest, TheNameComesBackWhenTheSessionsDo) {
  Make(SwitchMode::Automatic);
  Check({a21});
  selector->Check(nullptr, 0);
  ASSERT_EQ(selector->CurrentName(), "");
  host.calls.clear();
  Check({a21});
  EXPECT_TRUE(host.calls.empty());    // still on 21: nothing set
  EXPECT_EQ(selector->CurrentName(), "BS21");
  EXPECT_EQ(host.shown, "BS21");
}

}  // namespace
