// The reception engine of one reserved broadcast: binds the broadcast's port,
// joins its group, queues the carousel's datagrams and reassembles its files in
// the storage folder. It has no window: a view shows what it reports, and the
// owner drives it with a 10 ms timer and socket notifications (the Win32 dialog)
// or with a plain loop (tests, carousel-recv, the benchmark).
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "common/time_text.h"
#include "unit/received_file.h"

class Clock;
class DatagramSocket;
class FileSystem;
struct DatagramHeader;
struct ReceptionState;

constexpr std::size_t kWriteBufferSize = 0x60000;   // write-behind buffer
constexpr std::size_t kFlushThreshold = 0x40000;    // flush once more than this waits
constexpr std::size_t kFlushChunk = 8192;
// A flush pumps the socket after a chunk once the clock has moved since the last
// pump, and after this many chunks at the latest: a write into the system's
// cache takes microseconds, and a pump after each found nothing (under Wine a
// wineserver round trip each); a slow disk still gets a pump after every chunk.
constexpr int kChunksPerPump = 8;
constexpr std::size_t kQueueSuspend = 20000;        // stop reading the socket above this
constexpr std::size_t kQueueResume = 15000;         // and resume below this
// Receives per pump at most: datagrams that are dropped at once (empty, too long)
// never fill the queue, so the queue bound alone would not end a flood of them.
constexpr int kMaxReadsPerPump = 25000;
constexpr int kDatagramsPerTick = 100;
constexpr int kReceiveBuffer = 0x20000;             // SO_RCVBUF of the data socket
constexpr std::uint32_t kMemoryFileBlocks = 10;     // files this small may stay in memory
constexpr std::uint32_t kMemoryFileGapMs = 1000;    // while files come faster than this
// Bounds on what datagrams can claim. One datagram names a block count of up to
// 2^24 for any of 65536 file ids: without a total the block maps alone could ask
// for a terabyte. A file that breaks a bound fails (a debug line), never the process.
constexpr std::size_t kMaxBlockMapTotal = 32u << 20;   // block maps of one reception
constexpr std::size_t kMaxMemoryImage = 64u << 20;     // one file kept in memory
constexpr std::size_t kMaxMemoryTotal = 128u << 20;    // all files kept in memory
// The file header's size field has 32 bits: no block may lie beyond that, and
// once the header has named the size, nothing beyond the size is stored.
constexpr std::uint64_t kMaxFileBytes = 0xFFFFFFFFull;
// Disk a reception may take: what its reservation declares (totalKbyte) plus a
// share and a fixed margin (the guide rounds, files are padded to blocks). A
// file that would go beyond it, or beyond the free space of the volume, fails
// and what it wrote is removed.
constexpr std::uint64_t kDiskMarginFixed = 64u << 20;
constexpr std::uint64_t kDiskMarginShare = 8;        // one eighth of the declared size
// The free space is asked again after this much growth (other programs write too).
constexpr std::uint64_t kFreeSpaceRecheck = 64u << 20;

struct ReceptionParams {
  std::uint16_t sid = 0;              // 0: stream program, nothing is received
  std::uint16_t port = 0;
  std::string address;                // multicast group, dotted
  std::string storageFolder;          // cp932
  std::string name;                   // program name
  std::int64_t totalBytes = 0;        // totalKbyte * 1024
  Time32 scheduledEnd = 0;
  bool clearFolder = false;
  // "path"/"DataPath": a folder is cleared only when it lies inside this one.
  std::string dataFolder;             // cp932
  std::int32_t timeError = 0;         // seconds, added to the clock
  std::int32_t timeout = 300;         // "Timeout", seconds without any datagram
  std::int32_t messagePosition = 0;   // "受信メッセージ位置", for the window's placement
  int receiveBuffer = kReceiveBuffer; // SO_RCVBUF; the benchmark tries others
  // Bound the disk by totalBytes; a console receiver without a declared size
  // is bound by the free space only.
  bool boundByDeclaredSize = true;
  // The reception's state folder (outside the storage folder): its part files
  // and its state, so that a unit started again within the broadcast continues
  // from them. Empty: nothing is kept, and files are assembled under temporary
  // names in the storage folder itself.
  std::string stateFolder;            // cp932
  // Whose reception it is: a state of another reservation is never taken.
  std::uint32_t reservationId = 0;
  std::int32_t programNumber = 0;
  std::int32_t subNumber = 0;
  Time32 scheduledStart = 0;
};

// What the reception window shows and does. Every operation has a harmless
// default so that a console loop overrides only what it needs.
class ReceptionView {
 public:
  virtual ~ReceptionView() = default;
  virtual void SetProgramName(const std::string& /*cp932*/) {}    // control 1003
  virtual void SetStatus(const std::string& /*cp932*/) {}         // control 1005
  virtual void SetRemainingText(const std::string& /*cp932*/) {}  // control 1007
  virtual void SetSizeText(const std::string& /*cp932*/) {}       // control 1010
  virtual void SetProgressRange(int /*upper*/) {}
  virtual void SetProgressPos(int /*pos*/) {}
  virtual void RelabelStopButton(const std::string& /*cp932*/) {} // button 1
  virtual void Refresh() {}
  // The 10 ms timer (first free id of 10 ... 99); false when no id can be had.
  virtual bool StartTimer() { return true; }
  virtual void StopTimer() {}
  // Posts command 1 ("受信中断") to the window itself; the owner then calls
  // Reception::OnStopCommand.
  virtual void PostStopCommand() {}
  // The group could not be joined: the owner shows "Bind error %d" (a box with
  // an OK button), outside anything that must not dispatch messages.
  virtual void ShowBindError(int /*code*/) {}
};

using SocketFactory = std::function<std::unique_ptr<DatagramSocket>()>;

class Reception {
 public:
  // socketFactory defaults to the platform's CreateDatagramSocket.
  Reception(const ReceptionParams& params, FileSystem& fs, const Clock& clock, ReceptionView& view,
            SocketFactory socketFactory = SocketFactory());
  ~Reception();
  Reception(const Reception&) = delete;
  Reception& operator=(const Reception&) = delete;

  // Window start. Returns false when address or storage folder is empty (the
  // window then destroys itself at once).
  bool Start();
  void OnTimer();          // every 10 ms while the timer runs
  void OnSocketReady();    // the socket reported incoming data
  // The work of a tick (a flush, or up to 100 queued datagrams) without the
  // tick's time keeping. An owner that has nothing else to do may call it
  // between ticks so that a fast stream does not wait for the 10 ms timer;
  // returns true while queued work remains.
  bool ProcessQueued();
  // Command 1: the first press ends the reception, a press on a finished
  // reception asks the owner to collect it.
  void OnStopCommand();
  // Writes out the write buffer and closes the open file (before placement).
  void CloseOpenFile();
  // Stops the timer, leaves the group and closes the socket (window destruction).
  void Shutdown();
  // The unit ends while the broadcast goes on and the reservation stays: the
  // state is written once more and, with the part files, outlives the engine
  // for the next start. Otherwise destroying the engine removes the state
  // folder (the reservation ended).
  void KeepForResume();
  // The reception continued from the state a previous run left.
  bool Resumed() const { return resumed_; }

  bool Finished() const { return finished_; }
  bool CloseRequested() const { return closeRequested_; }
  bool Unreceivable() const { return unreceivable_; }   // "受信不可"
  int Result() const { return result_; }                 // 1 when every file completed
  Time32 ReceptionStart() const { return receptionStart_; }
  Time32 ReceptionEnd() const { return receptionEnd_; }
  const ReceptionParams& Params() const { return params_; }
  const std::map<std::uint16_t, ReceivedFile>& Files() const { return files_; }
  // Moves every complete file to its final name: files kept in memory are
  // written, temporary files are renamed over their destination. Incomplete
  // files and files whose name never arrived are removed. The entries are
  // freed; returns the number of files that are not whole at their final name
  // (each reported on the debug output). Destroying the engine without it
  // removes every temporary file.
  int PlaceFiles();
  DatagramSocket* Socket() { return socket_.get(); }     // null when none
  const std::string& StorageFolder() const { return storageFolder_; }  // ends in "\"

  // Figures of the display.
  int FileCount() const { return fileCount_; }
  int RemainingFiles() const { return remainingFiles_; }
  std::int64_t ReceivedBytes() const { return receivedBytes_; }
  int Divisor() const { return divisor_; }
  int ProgressRange() const { return progressRange_; }
  int BlockSize() const { return blockSize_; }
  std::size_t QueueLength() const { return queue_.size(); }
  std::uint64_t DroppedDatagrams() const { return dropped_; }
  // Memory that datagrams made the engine take: block maps and in-memory files.
  std::size_t BlockMapBytes() const { return blockMapBytes_; }
  std::size_t MemoryImageBytes() const { return memoryBytes_; }
  // Disk the files take or will take at placement, and the most they may take.
  std::uint64_t DiskClaimed() const { return diskClaimed_; }
  std::uint64_t DiskBudget() const { return diskBudget_; }
  const std::string& Status() const { return status_; }

 private:
  struct Buffer;
  void Pump(int trace);
  bool Work();
  void FlushWriteBuffer();
  struct BlockPlace;
  // What became of a datagram: dropped (a fault, counted), already known, or stored.
  enum class Fate { Dropped, Known, Stored };
  bool ProcessDatagram(Buffer& b);
  Fate Take(Buffer& b, ReceivedFile** stored);
  bool AcceptHeader(const Buffer& b, DatagramHeader* h);
  bool LocateBlock(const DatagramHeader& h, const ReceivedFile* e, BlockPlace* place) const;
  ReceivedFile* NewEntry(const DatagramHeader& h, const BlockPlace& place, const Buffer& b);
  bool TakeFileHeader(ReceivedFile& e, const BlockPlace& place, const Buffer& b);
  void CreateEntryFile(ReceivedFile& e);
  void DiscardTemp(ReceivedFile& e);
  bool PutInPlace(const std::string& from, const std::string& to);
  bool AllFilesComplete() const;
  bool KeepInMemory(ReceivedFile& e);
  bool FitsBounds(ReceivedFile& e);
  const char* Claim(ReceivedFile& e, std::uint64_t extent);
  bool VolumeHasRoom(std::uint64_t growth);
  void Unclaim(ReceivedFile& e, std::uint64_t keep);
  bool StorePayload(ReceivedFile& e, std::uint64_t offset, const std::uint8_t* p, std::size_t n);
  bool WriteOut(ReceivedFile& e);
  void CloseCurrent();
  void MarkBlock(ReceivedFile& e, std::uint32_t block);
  void SetComplete(ReceivedFile& e, bool complete);
  void UnmarkRange(ReceivedFile& e, std::uint64_t from, std::uint64_t to);
  const char* NameFault(const std::string& name, std::string* destPath) const;
  bool NameEntry(ReceivedFile& e, const std::string& name);
  void Reject(ReceivedFile& e, const char* why);
  void TestCompletion();
  void Complete();
  void UpdateProgress();
  void CheckTimeLimits();
  void SetStatus(const std::string& s);
  std::string SizeText() const;
  std::string TempPath();
  void CloseSocket();
  void ClearStorageFolder();
  bool MakePartFolder();
  const std::string& PartFolder() const { return stateFolder_.empty() ? storageFolder_ : stateFolder_; }
  std::string PartPath(std::uint16_t fileId) const;
  void SaveState();
  bool SyncForState(ReceivedFile& e, std::uint64_t* extent);
  bool LoadState();
  bool Resume(const ReceptionState& state, std::string* why);
  const char* Disagreement(const ReceivedFile* e, const DatagramHeader& h, const std::uint8_t* data) const;
  void ForgetResumed(const char* why);
  void RemoveState();
  bool ReachedThroughLink(const std::string& folder);
  Time32 CalibratedNow() const;

  ReceptionParams params_;
  FileSystem& fs_;
  const Clock& clock_;
  ReceptionView& view_;
  SocketFactory socketFactory_;
  std::string storageFolder_;

  std::unique_ptr<DatagramSocket> socket_;
  bool joined_ = false;
  bool timerRunning_ = false;
  std::deque<std::unique_ptr<Buffer>> queue_;
  std::vector<std::unique_ptr<Buffer>> pool_;
  bool suspended_ = false;
  std::uint32_t lastPumpTick_ = 0;
  bool pumped_ = false;
  // Datagrams processed since the last pump: a pump right after another, with
  // nothing done between, cannot find anything.
  int sincePump_ = 0;

  int blockSize_ = -1;
  int fileCount_ = 0;
  int remainingFiles_ = 0;
  int shownRemaining_ = 0;
  std::int64_t receivedBytes_ = 0;
  std::map<std::uint16_t, ReceivedFile> files_;
  std::size_t completeCount_ = 0;
  ReceivedFile* current_ = nullptr;
  std::vector<std::uint8_t> writeBuffer_;
  std::size_t writeFill_ = 0;
  std::uint32_t lastOpenTick_ = 0;
  Time32 receptionStart_ = 0;
  Time32 receptionEnd_ = 0;
  std::uint32_t progressLastTick_ = 0;
  std::uint32_t progressAccum_ = 0;
  int divisor_ = 1024;
  int progressRange_ = 0;
  std::uint64_t tickCount_ = 0;
  std::int64_t tickBytes_ = 0;
  bool statusChanged_ = false;
  int result_ = 0;
  bool finished_ = false;
  bool closeRequested_ = false;
  bool unreceivable_ = false;
  std::uint64_t dropped_ = 0;
  std::size_t blockMapBytes_ = 0;
  std::size_t memoryBytes_ = 0;
  std::uint64_t diskClaimed_ = 0;
  std::uint64_t diskBudget_ = 0;
  bool freeKnown_ = false;
  std::uint64_t freeLeft_ = 0;       // free space at the last look, less the growth since
  std::uint64_t growthSinceLook_ = 0;
  std::uint32_t nextTemp_ = 0;       // number of the next temporary name
  bool tempNumbered_ = false;
  bool storageReady_ = false;        // the storage folder was made (or found)
  std::string stateFolder_;          // ends in "\"; empty when none is kept
  bool stateReady_ = false;          // the state folder was made (or found)
  bool stateDirty_ = false;          // blocks came (or went) since the last save
  std::uint32_t lastStateTick_ = 0;
  bool keepState_ = false;           // KeepForResume: the state outlives the engine
  bool resumed_ = false;             // the files came from a state: the air must agree with it
  std::string status_;
};
