// Fixtures of the engine tests: a carousel encoder written from the datagram
// format (independent of the engine's reader) and a view that records what it
// is told.
#pragma once
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include "common/files.h"
#include "common/sockets.h"
#include "tests/support/fake_sockets.h"
#include "tests/support/temp_folder.h"
#include "unit/reception.h"

namespace enginetest {

struct CarouselFile {
  std::string name;   // cp932, "\" separated
  std::string data;
};

struct DatagramFields {
  std::uint16_t flags = 0;        // 0: 0x0100 | class << 4
  int headerClass = 1;
  std::uint16_t blockSize = 1024;
  std::uint32_t block = 0;
  std::uint32_t blockCount = 1;
  std::uint16_t fileId = 0;
  std::uint16_t fileCount = 1;
  std::uint32_t fileSize = 0;
  std::string name;               // block 0 only, when the class is not 0
  std::string payload;
  int lengthDelta = 0;            // added to the length field
};

std::string EncodeDatagram(const DatagramFields& d);

// Header size and block count of a file in a carousel of the given block size.
int HeaderBytes(int headerClass);
std::uint32_t BlocksOf(std::size_t size, std::uint16_t blockSize, int headerClass);
// Every datagram of file `id`, block 0 first.
std::vector<std::string> FileDatagrams(const std::vector<CarouselFile>& files, std::size_t id,
                                       std::uint16_t blockSize, int headerClass);
// One cycle: every file in turn.
std::vector<std::string> Cycle(const std::vector<CarouselFile>& files, std::uint16_t blockSize, int headerClass);

std::string RandomBytes(std::mt19937& rng, std::size_t size);

class RecordingView : public ReceptionView {
 public:
  void SetProgramName(const std::string& s) override { programName = s; }
  void SetStatus(const std::string& s) override { status = s; }
  void SetRemainingText(const std::string& s) override { remaining = s; }
  void SetSizeText(const std::string& s) override { sizeText = s; }
  void SetProgressRange(int upper) override { range = upper; }
  void SetProgressPos(int pos) override { position = pos; }
  void RelabelStopButton(const std::string& s) override { stopLabel = s; }
  void Refresh() override { ++refreshes; }
  bool StartTimer() override {
    timerRunning = timerAvailable;
    return timerAvailable;
  }
  void StopTimer() override { timerRunning = false; }
  void PostStopCommand() override { ++stopPosts; }
  void ShowBindError(int code) override { bindError = code; }

  std::string programName, status, remaining, sizeText, stopLabel;
  int range = -1, position = -1, refreshes = 0, stopPosts = 0, bindError = 0;
  bool timerAvailable = true, timerRunning = false;
};

}  // namespace enginetest
