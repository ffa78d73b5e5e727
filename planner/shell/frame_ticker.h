// The work of the main frame's 100 ms timer, tick by tick: every tick the two
// hover panes get the timer command, every 10th tick all panes, every 600th
// (one minute) the reservations and results are re-read; a guide update is
// due when the check interval or the daily 04:10 reload has passed.
#pragma once
#include <cstdint>
#include "common/time_text.h"

struct TickWork {
  bool hoverPanes = false;  // timetable grid and reservation column
  bool allPanes = false;    // every further pane too (once a second)
  bool minute = false;      // rebuild, collect, lanes, marks, redraw
};

class FrameTicker {
 public:
  static constexpr std::uint32_t kPeriodMs = 100;
  static constexpr std::uint32_t kAllPanesEvery = 10;
  static constexpr std::uint32_t kMinuteEvery = 600;

  // Nothing happens (and the counter stands) while no document is open.
  TickWork Tick(bool documentOpen);
  std::uint32_t Count() const { return count_; }

 private:
  std::uint32_t count_ = 0;
};

// Whether a guide update is due at `now`; moves the check times past now.
// nextGuideCheck advances by the interval, nextDailyReload by whole days.
bool GuideUpdateDue(Time32 now, std::int32_t intervalSeconds, Time32* nextGuideCheck, Time32* nextDailyReload);
