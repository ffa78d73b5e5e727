// The received list as the document's result marks.
#include "planner/history/history_doc.h"

#include "planner/history/reception_history.h"
#include "planner/timetable/tavora_doc.h"

void PublishResultMarks(const ReceptionHistory& history, CTavoraDoc& doc) {
  doc.results.clear();
  for (const ReceivedEntry& e : history.Entries()) {
    doc.results.push_back(
        ResultMark{e.status, e.programNumber, e.subNumber, e.scheduledStart, e.scheduledEnd, e.autorun,
                   e.storageFolder});
  }
}

bool CollectIntoDocument(ReceptionHistory& history, CTavoraDoc& doc) {
  if (!history.CollectResults(doc.HistoryFolder())) return false;
  PublishResultMarks(history, doc);
  doc.UpdateProgramMarks();
  return true;
}
