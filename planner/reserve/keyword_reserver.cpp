#include "planner/reserve/keyword_reserver.h"

#include "common/reservation_file.h"
#include "planner/guide/guide_program.h"
#include "planner/reserve/program_detail.h"
#include "planner/reserve/reservation_files.h"
#include "planner/reserve/reservation_list.h"

bool ListKeywordReserver::CompleteDetail(GuideProgram& program) {
  // A fetch can keep the window thread waiting up to its time limit, once per
  // matched program: a detail the history folder holds from an earlier fetch
  // of the same broadcast is taken first, and only the others are fetched.
  if (CompleteProgramDetail(program, std::string(), folders_.history, fs_, nullptr) != DetailOutcome::Unavailable)
    return true;
  if (!fetcher_ || folders_.guideLocation.empty()) return false;
  if (fetching_) fetching_(index_, total_);
  return CompleteProgramDetail(program, folders_.guideLocation, folders_.history, fs_, fetcher_) !=
         DetailOutcome::Unavailable;
}

bool ListKeywordReserver::Reserve(GuideProgram& program, const std::string& storageFolder, const std::string& fileName) {
  const ReservationRecord record = BuildReservationRecord(program, storageFolder, false, tickMs_ ? tickMs_() : 0);
  if (!WriteRecordFile(fs_, folders_.schedule, fileName, EncodeReservation(record))) return false;
  list_.Insert(EntryFrom(record, program));
  program.state = kStateReserved;
  return true;
}
