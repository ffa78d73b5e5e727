// A schedule driver on a temporary folder with the real file seam, the
// in-memory settings, a manual clock and a host that records what it is asked.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/files.h"
#include "common/reception_result.h"
#include "common/reservation_file.h"
#include "common/settings.h"
#include "tests/support/temp_folder.h"
#include "unit/schedule_driver.h"

struct FakeReception : ReceptionHandle {
  struct State {
    bool finished = false;
    bool closeRequested = false;
    int result = 0;
    bool destroyed = false;
    int placed = 0;
    bool placeOk = true;   // what PlaceFiles answers
    int bindError = 0;     // what BindError answers
    bool kept = false;     // KeepForResume was asked
    std::function<void()> onPlace;
  };
  explicit FakeReception(std::shared_ptr<State> s) : state(std::move(s)) {}
  ~FakeReception() override { state->destroyed = true; }
  bool Finished() const override { return state->finished; }
  bool CloseRequested() const override { return state->closeRequested; }
  int Result() const override { return state->result; }
  Time32 ReceptionStart() const override { return 1000; }
  Time32 ReceptionEnd() const override { return 2000; }
  int BindError() const override { return state->bindError; }
  void KeepForResume() override { state->kept = true; }
  bool PlaceFiles() override {
    ++state->placed;
    if (state->onPlace) state->onPlace();
    return state->placeOk;
  }
  std::shared_ptr<State> state;
};

struct FakeTimeReceiver : ScheduleTimeReceiver {
  struct State {
    bool done = false;
    bool changed = false;
    std::int32_t lastError = 0;
    bool destroyed = false;
  };
  explicit FakeTimeReceiver(std::shared_ptr<State> s) : state(std::move(s)) {}
  ~FakeTimeReceiver() override { state->destroyed = true; }
  bool Done() const override { return state->done; }
  bool Changed() const override { return state->changed; }
  void ClearChanged() override { state->changed = false; }
  std::int32_t LastError() const override { return state->lastError; }
  std::shared_ptr<State> state;
};

struct FakeHost : ScheduleHost {
  struct Opened {
    ReceptionOrder order;
    std::shared_ptr<FakeReception::State> state;
  };
  std::vector<Opened> opened;
  std::vector<std::shared_ptr<FakeTimeReceiver::State>> timeReceivers;
  std::vector<int> posted;
  std::vector<std::pair<std::string, std::string>> autoruns;
  std::vector<std::string> removedRows;
  int notices = 0;
  int selectorChecks = 0;
  int listShown = 0;
  bool failOpen = false;
  std::function<void()> onSelectorCheck;
  std::function<void()> onOpen;  // runs inside OpenReception (something that dispatches inside a pass)
  int bindError = 0;             // the next window opened reports it
  std::vector<int> bindErrors;   // boxes shown
  std::function<void(int)> onBindError;  // runs while the box is up

  std::unique_ptr<ReceptionHandle> OpenReception(const ReceptionOrder& order) override;
  std::unique_ptr<ScheduleTimeReceiver> OpenTimeReceiver(std::int32_t timeError) override;
  void ShowPending(const std::list<Reservation>&) override { ++listShown; }
  void MarkReceiving(const Reservation&) override {}
  void RemoveRow(const Reservation& r) override { removedRows.push_back(r.record.name); }
  void PostCommand(int id) override { posted.push_back(id); }
  void NotifyPlanner() override { ++notices; }
  void CheckSelector() override {
    ++selectorChecks;
    if (onSelectorCheck) onSelectorCheck();
  }
  void ShowBindError(int code) override {
    bindErrors.push_back(code);
    if (onBindError) onBindError(code);
  }
  void OpenAutorun(const std::string& command, const std::string& folder) override {
    autoruns.emplace_back(command, folder);
  }
  std::string DefaultHistoryFolder() override { return defaultHistory; }
  std::string defaultHistory;
  int Count(int id) const;
};

class ScheduleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A reservation record starting `startIn` seconds from the clock's now.
  ReservationRecord Record(std::int32_t program, std::uint32_t id, Time32 startIn, Time32 length = 1800,
                           std::uint16_t sid = 3) const;
  // Writes a record (or raw bytes) into the schedule folder with a last-write time.
  std::string Put(const std::string& name, const ReservationRecord& r, Time32 lastWrite = 0);
  std::string PutRaw(const std::string& name, const std::string& bytes, Time32 lastWrite = 0);
  bool Exists(const std::string& name) const;
  std::vector<ReceptionResult> Results() const;
  // The history folder replaced by a file of its name (no record can be
  // written), and back.
  void BreakHistory();
  void RepairHistory();
  // Starts the driver on the one reservation `name` holds, lets its window
  // open and finish with `result` while no result record can be written.
  void FinishWithHistoryBroken(const std::string& name, const ReservationRecord& r, int result) {
    Put(name, r);
    ASSERT_TRUE(driver->Start());
    Pass();
    ASSERT_EQ(host.opened.size(), 1u);
    BreakHistory();
    host.opened[0].state->finished = true;
    host.opened[0].state->result = result;
  }
  void Passes(int n) {
    for (int i = 0; i < n; ++i) Pass();
  }
  void Pass() {
    driver->Pass();
    clock.Advance(300);
  }

  TempFolder temp;
  std::string root;
  std::string schedule;  // ends in "\"
  std::string history;   // ends in "\"
  ManualClock clock;
  std::unique_ptr<Settings> store;
  std::unique_ptr<PlannerSettings> settings;
  FakeHost host;
  std::unique_ptr<ScheduleDriver> driver;
};
