#include "planner/shell/frame_ticker.h"

TickWork FrameTicker::Tick(bool documentOpen) {
  TickWork work;
  if (!documentOpen) return work;
  work.hoverPanes = true;
  work.allPanes = count_ % kAllPanesEvery == 0;
  // The first tick is not a minute: the document has just been loaded.
  work.minute = count_ != 0 && count_ % kMinuteEvery == 0;
  ++count_;
  return work;
}

bool GuideUpdateDue(Time32 now, std::int32_t interval, Time32* nextGuideCheck, Time32* nextDailyReload) {
  bool due = false;
  if (now >= *nextGuideCheck) {
    due = true;
    // A PC that slept for hours checks once, not once per missed interval.
    *nextGuideCheck = now + (interval > 0 ? interval : 3600);
  }
  if (now >= *nextDailyReload) {
    due = true;
    const LocalTime lt = BreakLocalTime(*nextDailyReload);
    int days = 1;
    Time32 next = MakeLocalTime(lt.year, lt.month, lt.day + days, lt.hour, lt.minute, lt.second);
    while (next <= now && days < 10000) next = MakeLocalTime(lt.year, lt.month, lt.day + ++days, lt.hour, lt.minute, lt.second);
    *nextDailyReload = next;
  }
  return due;
}
