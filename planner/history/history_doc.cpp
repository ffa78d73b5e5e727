// The received list as the document's result marks.
#include "planner/history/history_doc.h"

#include "planner/history/reception_history.h"
#include "planner/timetable/tavora_doc.h"

void PublishResultMarks(const ReceptionHistory& history, CTavoraDoc& doc) {
  doc.results.clear();
  for (const ReceivedEntry& e : history.Entries()) {
    const ReceptionResult& r = e.result;
    doc.results.push_back(ResultMark{r.status, r.programNumber, r.subNumber, r.scheduledStart, r.scheduledEnd,
                                     r.autorun, r.storageFolder});
  }
}

bool CollectIntoDocument(ReceptionHistory& history, CTavoraDoc& doc) {
  if (!history.CollectResults(doc.HistoryFolder())) return false;
  PublishResultMarks(history, doc);
  doc.UpdateProgramMarks();
  return true;
}
