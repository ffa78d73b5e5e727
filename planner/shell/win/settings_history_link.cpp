// The old content deletion on the planner's received list: the rules choose,
// the history deletes (its content deletion and RsvData.log lines).
#include "planner/shell/win/settings_history_link.h"

#include <vector>

#include "planner/history/history_doc.h"
#include "planner/history/reception_history.h"
#include "planner/history/win/history_windows.h"
#include "planner/shell/win/tavora_app.h"
#include "planner/timetable/tavora_doc.h"

namespace {

// The received list as the old content deletion sees it; the deleting and
// the log lines are the history's own.
class PlannerContentHistory : public ContentHistory {
 public:
  std::vector<ReceptionResult> Items() const override {
    std::vector<ReceptionResult> items;
    for (const ReceivedEntry& e : PlannerReceptionHistory().Entries()) items.push_back(e.result);
    return items;
  }
  int DeleteContent(const std::vector<std::size_t>& indices) override {
    ReceptionHistory& history = PlannerReceptionHistory();
    std::vector<ReceivedEntry> chosen;
    for (std::size_t i : indices) {
      if (i < history.Entries().size()) chosen.push_back(history.Entries()[i]);
    }
    const int deleted = history.DeleteContent(chosen, TheApp().folders.history);
    if (TheApp().doc) {
      PublishResultMarks(history, *TheApp().doc);
      TheApp().doc->UpdateProgramMarks();
    }
    RefreshReceivedList();
    return deleted;
  }
};

}  // namespace

std::unique_ptr<ContentHistory> MakePlannerContentHistory() { return std::make_unique<PlannerContentHistory>(); }
