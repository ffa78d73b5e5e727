// The reservation list and the schedule folder: writing reservation files and
// deletion requests, and rebuilding the list from what lies in the folder.
#pragma once
#include <cstdint>
#include <string>
#include "common/reservation_file.h"
#include "planner/reserve/reservation_list.h"

class FileSystem;
class GuideList;
class PlannerSettings;
struct GuideProgram;

// The record of a manual reservation of `program` into `storageFolder`.
ReservationRecord BuildReservationRecord(const GuideProgram& program, const std::string& storageFolder,
                                         bool clearFolder, std::uint32_t tickMs);
// The deletion request that withdraws `entry`: the unit pairs it with its
// reservation by ids, port and the record's own start and duration (not the
// guide's, which may have moved). It names the data folder as the unit's copy
// of the reservation no longer matters for placement.
ReservationRecord BuildDeletionRecord(const ReservationEntry& entry, const std::string& dataFolder);

// Writes bytes to folder\name through a temporary name in the same folder and
// a rename, so that a reader scanning the folder never meets half a record.
// The temporary name matches neither "RSV*.SDL" nor "*.SDD".
bool WriteRecordFile(FileSystem& fs, const std::string& folder, const std::string& name, const std::string& bytes);

// Writes the reservation file; false when it could not be written.
bool WriteReservationFile(FileSystem& fs, const std::string& scheduleFolder, const ReservationRecord& record,
                          std::string* writtenName = nullptr);

// Writes one deletion request named computer name + "%06ld.SDD" of the
// "Counter" value, and raises the counter only when the file was written. A
// name still taken by an earlier request that the unit has not read yet is
// skipped rather than overwritten. The written name goes to *writtenName.
bool WriteDeletionRequest(FileSystem& fs, PlannerSettings& settings, const std::string& scheduleFolder,
                          const std::string& computerName, const ReservationRecord& request,
                          std::string* writtenName = nullptr);

// The computer name as deletion request names carry it: upper case, at most 20 bytes.
std::string DeletionComputerName(const std::string& systemName);

// Rebuilds the list from the schedule folder. `full` first drops every entry
// (the programs go back to normal); without it only files not yet listed are
// added. Reservation files with foreign magic and duplicates of a listed
// broadcast with another reservation id are deleted; a reservation file with
// a pending deletion request does not enter the list. Programs of listed
// entries get state 1. Returns true when the list changed.
bool RebuildReservations(FileSystem& fs, const std::string& scheduleFolder, GuideList& guide, int dayStartHour,
                         ReservationList& list, bool full);
