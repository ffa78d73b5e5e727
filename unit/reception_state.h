// What a running reception keeps beside its reservation so that a unit killed
// or a PC that lost power in the middle of a broadcast continues where it was:
// the broadcast's shape (block size, file count), each file's block map and
// the extent of its part file, and whose reservation it belongs to. The record
// is decoded field by field and every field is checked; anything that does not
// fit is refused whole, never trusted in part.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "common/time_text.h"

// The state folder: the reservation file's name with this extension, a folder
// beside it in the schedule folder (the scans and the planner never meet it).
constexpr const char* kStateFolderExt = ".RCV";
// Inside it: the record, and one part file per file of the broadcast.
constexpr const char* kStateRecordName = "state.dat";
// A state is written at most this often, and only when blocks came since.
constexpr std::uint32_t kStateSaveIntervalMs = 5000;
// No state of any reception the engine accepts is larger: 65536 files with
// their longest names and the block maps' bound as bits.
constexpr std::size_t kMaxStateBytes = 96u << 20;
constexpr std::size_t kMaxStateName = 1024;

struct ReceptionStateFile {
  std::uint16_t fileId = 0;
  int headerSize = 0;
  std::uint32_t blockCount = 0;
  bool sized = false;
  std::uint32_t fileSize = 0;
  std::uint64_t extent = 0;             // bytes of the part file the map relies on
  std::string name;                     // relative to the storage folder; empty until block 0
  std::vector<std::uint8_t> blockMap;   // blockCount bytes, 1 = on disk
};

struct ReceptionState {
  // Whose it is: the reservation and the broadcast it names.
  std::uint32_t reservationId = 0;
  std::int32_t programNumber = 0;
  std::int32_t subNumber = 0;
  Time32 scheduledStart = 0;
  Time32 scheduledEnd = 0;
  std::uint16_t port = 0;
  std::string address;
  // What the air told so far.
  int blockSize = 0;
  int fileCount = 0;                    // 0 until a file header named it
  std::int64_t receivedBytes = 0;
  Time32 receptionStart = 0;
  std::vector<ReceptionStateFile> files;  // ascending file ids
};

std::string EncodeReceptionState(const ReceptionState& state);
// False, with the reason, for anything but a whole record of this version
// whose every field lies within what the engine itself would accept.
bool DecodeReceptionState(const std::string& data, ReceptionState* state, std::string* why);
