// Fixtures of the engine tests: a carousel encoder written from the datagram
// format (independent of the engine's reader), a socket fed by the test, a view
// that records what it is told, and a scratch folder on the real file system.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include "common/files.h"
#include "common/sockets.h"
#include "unit/reception.h"

namespace enginetest {

struct CarouselFile {
  std::string name;   // cp932, "\" separated
  std::string data;
};

struct DatagramSpec {
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

std::string EncodeDatagram(const DatagramSpec& d);

// Header size and block count of a file in a carousel of the given block size.
int HeaderBytes(int headerClass);
std::uint32_t BlocksOf(std::size_t size, std::uint16_t blockSize, int headerClass);
// Every datagram of file `id`, block 0 first.
std::vector<std::string> FileDatagrams(const std::vector<CarouselFile>& files, std::size_t id,
                                       std::uint16_t blockSize, int headerClass);
// One cycle: every file in turn.
std::vector<std::string> Cycle(const std::vector<CarouselFile>& files, std::uint16_t blockSize, int headerClass);

std::string RandomBytes(std::mt19937& rng, std::size_t size);

struct FakeNet {
  std::deque<std::string> inbox;
  bool bindOk = true;
  bool joinOk = true;
  int boundPort = -1;
  int receiveBuffer = -1;
  std::string group;
  bool left = false;
  bool closed = false;
};

class FakeSocket : public DatagramSocket {
 public:
  explicit FakeSocket(std::shared_ptr<FakeNet> net) : net_(std::move(net)) {}
  bool Bind(std::uint16_t port, int receiveBuffer) override;
  bool Join(const std::string& group) override;
  bool Leave() override;
  int Pending() override;
  int Receive(void* buffer, int size, std::uint16_t* sourcePort) override;
  int LastError() const override { return 10049; }
  std::uintptr_t Handle() const override { return 0; }
  void Close() override { net_->closed = true; }

 private:
  std::shared_ptr<FakeNet> net_;
};

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

// A folder of its own under the system's temporary folder, removed afterwards.
// Paths are in the seam's form ("\" separated).
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return WithBackslash(path_) + name; }
  std::string Read(const std::string& name) const;   // empty when missing
  bool Has(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace enginetest
