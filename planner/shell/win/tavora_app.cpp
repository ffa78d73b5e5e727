#include "planner/shell/win/tavora_app.h"

#include "common/win/dialog.h"
#include "planner/timetable/tavora_doc.h"

CTavoraApp& TheApp() {
  static CTavoraApp app;
  return app;
}

std::string CTavoraApp::String(unsigned id) const { return LoadCp932String(instance, id); }

void CTavoraApp::SyncReservationMarks() {
  if (!doc) return;
  doc->reservations.clear();
  doc->reservations.reserve(reservations.Size());
  for (const ReservationEntry& e : reservations.Entries())
    doc->reservations.push_back(ReservationMark{e.startTime, e.endTime, e.record.programNumber, e.record.subNumber});
}
