// The reception engine: socket intake into a queue, reassembly of the carousel's
// files with a write-behind buffer, completion and the figures of the window.
#include "unit/reception.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include "common/clock.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "common/path.h"
#include "common/safe_name.h"
#include "common/storage_folder.h"
#include "common/sockets.h"
#include "common/text.h"
#include "unit/datagram.h"
#include "unit/reception_state.h"

struct Reception::Buffer {
  std::uint8_t data[kDatagramMax];
  int size = 0;
  std::uint32_t tick = 0;
  std::uint16_t port = 0;
};

Reception::Reception(const ReceptionParams& params, FileSystem& fs, const Clock& clock, ReceptionView& view,
                     SocketFactory socketFactory)
    : params_(params), fs_(fs), clock_(clock), view_(view), socketFactory_(std::move(socketFactory)) {}

Reception::~Reception() {
  Shutdown();
  CloseCurrent();
  if (keepState_) return;  // the part files are the state's
  // A reception that ends without placement (cancelled, superseded, the unit
  // exiting) leaves nothing of itself in the storage folder, and its
  // reservation has no more use for a state.
  for (auto& item : files_) DiscardTemp(item.second);
  RemoveState();
}

void Reception::DiscardTemp(ReceivedFile& e) {
  if (!e.tempPath.empty()) fs_.Remove(e.tempPath);
  e.tempPath.clear();
}

Time32 Reception::CalibratedNow() const { return clock_.Now() + params_.timeError; }

void Reception::SetStatus(const std::string& s) {
  status_ = s;
  view_.SetStatus(s);
  statusChanged_ = true;
}

bool Reception::Start() {
  if (params_.address.empty() || params_.storageFolder.empty()) return false;
  view_.SetProgramName(params_.name);
  receptionStart_ = CalibratedNow();
  storageFolder_ = WithBackslash(params_.storageFolder);
  if (params_.sid == 0) {  // a stream program: nothing to receive
    finished_ = true;
    receptionEnd_ = receptionStart_;
    return true;
  }
  writeBuffer_.assign(kWriteBufferSize, 0);
  const std::uint64_t declared = params_.totalBytes > 0 ? static_cast<std::uint64_t>(params_.totalBytes) : 0;
  diskBudget_ = params_.boundByDeclaredSize ? declared + declared / kDiskMarginShare + kDiskMarginFixed
                                            : ~std::uint64_t{0};
  if (!params_.stateFolder.empty()) stateFolder_ = WithBackslash(params_.stateFolder);
  // A continued reception cleared its folder when it first started; what the
  // user put there since stays.
  const bool resumed = !stateFolder_.empty() && LoadState();
  if (params_.clearFolder && !resumed) ClearStorageFolder();

  socket_ = socketFactory_ ? socketFactory_() : CreateDatagramSocket();
  bool ok = socket_ && socket_->Bind(params_.port, params_.receiveBuffer);
  if (ok) {
    joined_ = socket_->Join(params_.address);
    if (!joined_) view_.ShowBindError(socket_->LastError());
    ok = joined_;
  }
  if (!ok) {
    DebugPrintf("Reception %s:%u cannot be received (socket error %d)\n", params_.address.c_str(),
                static_cast<unsigned>(params_.port), socket_ ? socket_->LastError() : -1);
    CloseSocket();
    unreceivable_ = true;
    SetStatus(J(u8"受信不可"));
    view_.Refresh();
    return true;
  }

  std::uint32_t now = clock_.TickMs();
  lastOpenTick_ = progressLastTick_ = lastPumpTick_ = lastStateTick_ = now;
  progressAccum_ = 0;
  if (!view_.StartTimer()) {
    unreceivable_ = true;
    SetStatus(J(u8"受信不可"));
    CloseSocket();
    view_.Refresh();
    return true;
  }
  timerRunning_ = true;

  std::int64_t total = params_.totalBytes > 0 ? params_.totalBytes : 0;
  std::int64_t d = total / 65536;
  divisor_ = d < 1023 ? 1024 : static_cast<int>(d + 1);
  progressRange_ = static_cast<int>(total / divisor_);
  view_.SetProgressRange(progressRange_);
  view_.SetProgressPos(0);
  SetStatus(J(u8"受信待ち"));
  if (resumed) {
    // The window shows where the reception stands, as it did before the restart.
    SetStatus(J(u8"受信中"));
    view_.SetProgressPos(static_cast<int>(receivedBytes_ / divisor_));
    view_.SetSizeText(SizeText());
    if (fileCount_ > 0) {
      shownRemaining_ = remainingFiles_;
      char text[64];
      std::snprintf(text, sizeof text, J(u8"あと %dﾌｧｲﾙ").c_str(), remainingFiles_);
      view_.SetRemainingText(text);
    }
  }
  view_.Refresh();
  // Every file was whole before the restart: nothing needs to arrive.
  if (resumed) TestCompletion();
  return true;
}

// The folder comes from a reservation file: it is emptied only when it lies
// strictly inside the data folder (never a drive root, never the data folder
// itself) and no link on the way there leads somewhere else. Links inside it
// are removed, not followed.
void Reception::ClearStorageFolder() {
  const std::string& folder = params_.storageFolder;
  const char* refusal = nullptr;
  if (params_.dataFolder.empty() || !IsInsideDataFolder(params_.dataFolder, folder))
    refusal = "it does not lie inside the data folder";
  else if (ReachedThroughLink(folder))
    refusal = "a link or junction leads there";
  if (refusal) {
    DebugPrintf("Storage folder %s not cleared: %s\n", folder.c_str(), refusal);
    return;
  }
  if (!ClearFolder(fs_, folder)) DebugPrintf("Storage folder %s not cleared completely\n", folder.c_str());
}

// Whether a folder between the data folder and `folder` (or `folder` itself)
// is a link; the data folder is the user's own choice.
bool Reception::ReachedThroughLink(const std::string& folder) {
  const std::vector<std::string> parts = PathComponents(folder);
  const std::size_t below = PathComponents(params_.dataFolder).size();
  std::string path = folder.substr(0, PathRootLength(folder));
  for (std::size_t i = 0; i < parts.size(); ++i) {
    path = path.empty() ? parts[i] : JoinPath(path, parts[i]);
    if (i < below) continue;
    for (const FoundFile& f : fs_.Find(path))
      if (f.link) return true;
  }
  return false;
}

void Reception::CloseSocket() {
  if (socket_) {
    if (joined_) socket_->Leave();
    socket_->Close();
    socket_.reset();
  }
  joined_ = false;
  queue_.clear();
  suspended_ = false;
}

void Reception::Shutdown() {
  if (timerRunning_) {
    view_.StopTimer();
    timerRunning_ = false;
  }
  CloseSocket();
}

void Reception::OnSocketReady() { Pump(0); }

void Reception::Pump(int trace) {
  if (!socket_) return;
  std::uint32_t now = clock_.TickMs();
  if (suspended_) {
    if (queue_.size() >= kQueueResume) return;
    suspended_ = false;
  }
  if (pumped_ && now - lastPumpTick_ > 70) {
    DebugPrintf("Interval too long  %dms   %d %d\n", static_cast<int>(now - lastPumpTick_),
                static_cast<int>(queue_.size()), trace);
    if (queue_.size() > kQueueSuspend) suspended_ = true;
  }
  pumped_ = true;
  lastPumpTick_ = now;
  sincePump_ = 0;
  if (suspended_) return;
  // One receive per datagram until none is waiting. Empty, short and oversized
  // datagrams are read and dropped here or by the checks after the queue; the
  // bound keeps a flood of them from holding the window.
  for (int reads = 0; reads < kMaxReadsPerPump; ++reads) {
    // Memory stays bounded even when the sender outruns the disk: the system
    // drops what arrives meanwhile and a later cycle fills the gaps.
    if (queue_.size() > kQueueSuspend) {
      suspended_ = true;
      break;
    }
    std::unique_ptr<Buffer> b;
    if (!pool_.empty()) {
      b = std::move(pool_.back());
      pool_.pop_back();
    } else {
      b.reset(new Buffer);
    }
    const int n = socket_->Receive(b->data, kDatagramMax, &b->port);
    if (n <= 0) {
      pool_.push_back(std::move(b));
      if (EndsDrain(n)) break;
      continue;  // empty or oversized: nothing to keep
    }
    b->size = n;
    b->tick = now;
    queue_.push_back(std::move(b));
  }
}

void Reception::OnTimer() {
  if (!timerRunning_) return;
  tickBytes_ = 0;
  Pump(1);
  if (!Work()) return;  // complete: timer and socket are gone
  UpdateProgress();
  // The pumps between the steps of a tick keep the socket read while work takes
  // time; one right after another, with nothing done between, finds nothing.
  if (sincePump_ > 0) Pump(10);
  if (++tickCount_ % 100 == 0) CheckTimeLimits();
  if (stateDirty_ && !stateFolder_.empty() && clock_.TickMs() - lastStateTick_ >= kStateSaveIntervalMs) SaveState();
}

bool Reception::ProcessQueued() {
  if (!timerRunning_ || (queue_.empty() && !(current_ && current_->buffered > kFlushThreshold))) return false;
  tickBytes_ = 0;
  if (!Work()) return false;
  UpdateProgress();
  return !queue_.empty() || (current_ && current_->buffered > kFlushThreshold);
}

// One step of work: a write-behind flush, or up to 100 queued datagrams.
// False when the reception completed during it.
bool Reception::Work() {
  if (current_ && current_->buffered > kFlushThreshold) {
    if (sincePump_ > 0) Pump(2);
    FlushWriteBuffer();
    return true;
  }
  for (int i = 0; i < kDatagramsPerTick && !queue_.empty(); ++i) {
    if (sincePump_ >= 5) Pump(5);  // every 5 datagrams
    if (queue_.empty()) break;
    std::unique_ptr<Buffer> b = std::move(queue_.front());
    queue_.pop_front();
    bool stop = ProcessDatagram(*b);
    ++sincePump_;
    if (!suspended_) pool_.push_back(std::move(b));
    if (result_ == 1) return false;
    if (stop) break;
  }
  return true;
}

void Reception::FlushWriteBuffer() {
  ReceivedFile& e = *current_;
  std::size_t chunks = writeFill_ / kFlushChunk;
  std::uint64_t base = e.writePos - writeFill_;
  std::size_t done = 0;
  int unpumped = 0;
  for (std::size_t c = 0; c < chunks; ++c, done += kFlushChunk) {
    if (!e.file->Write(writeBuffer_.data() + done, kFlushChunk)) {
      DebugOut("Exception\n");
      // The blocks are not on disk: let a later cycle bring them again.
      UnmarkRange(e, base + done, base + done + kFlushChunk);
      e.file->Seek(base + done + kFlushChunk);
    }
    if (++unpumped >= kChunksPerPump || clock_.TickMs() != lastPumpTick_) {
      Pump(3);
      unpumped = 0;
    }
  }
  e.file->Flush();
  std::size_t rest = writeFill_ - done;
  std::memmove(writeBuffer_.data(), writeBuffer_.data() + done, rest);
  writeFill_ = e.buffered = rest;
}

bool Reception::WriteOut(ReceivedFile& e) {
  bool ok = true;
  if (writeFill_ && e.file) {
    if (!e.file->Write(writeBuffer_.data(), writeFill_)) {
      DebugOut("Exception\n");
      UnmarkRange(e, e.writePos - writeFill_, e.writePos);
      ok = false;
    }
  }
  writeFill_ = 0;
  e.buffered = 0;
  return ok;
}

void Reception::CloseCurrent() {
  if (!current_) return;
  ReceivedFile& e = *current_;
  WriteOut(e);
  if (e.file) e.file->Close();
  e.file.reset();
  e.isOpen = false;
  current_ = nullptr;
}

void Reception::CloseOpenFile() { CloseCurrent(); }

// Numbers go up from the tick of the first one, so that two files started in
// the same millisecond never share a name and no name of this reception is
// met twice: one look at the disk per file (a name another reception left).
std::string Reception::TempPath() {
  if (!tempNumbered_) {
    nextTemp_ = clock_.TickMs();
    tempNumbered_ = true;
  }
  for (;;) {
    char name[32];
    std::snprintf(name, sizeof name, "~%d.tmp", static_cast<int>(nextTemp_++));
    std::string path = storageFolder_ + name;
    if (!fs_.Exists(path)) return path;
  }
}

// False when the image would break the bounds: the caller then writes the file
// to disk, or fails it when that is not possible either.
bool Reception::KeepInMemory(ReceivedFile& e) {
  std::uint64_t size = static_cast<std::uint64_t>(blockSize_) * e.blockCount;
  if (size > kMaxMemoryImage || memoryBytes_ + size > kMaxMemoryTotal) return false;
  // It reaches the disk at placement.
  if (Claim(e, size)) return false;
  e.tempPath.clear();
  e.memory.assign(static_cast<std::size_t>(size), 0);
  memoryBytes_ += static_cast<std::size_t>(size);
  e.inMemory = true;
  return true;
}

// Every file is assembled under a temporary name and reaches its own name only
// whole, at placement: a partial file never stands at a user's name.
void Reception::CreateEntryFile(ReceivedFile& e) {
  const std::string& path = e.tempPath;
  std::uint32_t now = clock_.TickMs();
  if (e.blockCount <= kMemoryFileBlocks && now - lastOpenTick_ < kMemoryFileGapMs && KeepInMemory(e)) return;
  Pump(8);
  // Part files lie in the state folder, or without one in the storage folder
  // itself: it is made once, and again only when it has gone meanwhile.
  MakePartFolder();
  e.file = fs_.Open(path, OpenMode::CreateReadWrite);
  if (!e.file && CreateFolderPath(fs_, PartFolder())) e.file = fs_.Open(path, OpenMode::CreateReadWrite);
  Pump(9);
  if (!e.file) {
    if (KeepInMemory(e)) {
      DebugPrintf("%s cannot be created; kept in memory\n", path.c_str());
    } else {
      Reject(e, "cannot be created and is too large to keep in memory");
    }
    return;
  }
  lastOpenTick_ = now;
  e.writePos = 0;
  e.isOpen = true;
  current_ = &e;
}

// The block map of a new file, within the reception's total, and a file no
// larger than a 32-bit size can name. False (the file failed) otherwise.
bool Reception::FitsBounds(ReceivedFile& e) {
  const std::uint64_t step = static_cast<std::uint64_t>(blockSize_ - kDatagramHeader);
  if (static_cast<std::uint64_t>(e.blockCount - 1) * step > kMaxFileBytes + e.headerSize) {
    Reject(e, "its block count reaches past the largest file a header can name");
    return false;
  }
  const std::size_t mapBytes = static_cast<std::size_t>(e.blockCount) + 10;
  if (blockMapBytes_ + mapBytes > kMaxBlockMapTotal) {
    Reject(e, "the block maps of this broadcast would take too much memory");
    return false;
  }
  e.blockMap.assign(mapBytes, 0);
  blockMapBytes_ += mapBytes;
  return true;
}

// Null when the file may take `extent` bytes of disk; else why not.
const char* Reception::Claim(ReceivedFile& e, std::uint64_t extent) {
  if (extent <= e.claimed) return nullptr;
  const std::uint64_t growth = extent - e.claimed;
  if (diskClaimed_ + growth > diskBudget_ || diskClaimed_ + growth < diskClaimed_)
    return "the broadcast would take more disk than its reservation declares";
  if (!VolumeHasRoom(growth)) return "the volume has no room for it";
  e.claimed = extent;
  diskClaimed_ += growth;
  return nullptr;
}

// The free space is asked at the first claim, again after every
// kFreeSpaceRecheck bytes of growth, and again before a claim is refused.
bool Reception::VolumeHasRoom(std::uint64_t growth) {
  if (!freeKnown_ || growth > freeLeft_ || growthSinceLook_ + growth > kFreeSpaceRecheck) {
    std::uint64_t free = 0;
    // A volume that does not say (some network shares) is bound by the
    // declared size alone until the next look.
    if (!fs_.FreeSpace(PartFolder(), &free)) free = ~std::uint64_t{0} / 2;
    freeKnown_ = true;
    freeLeft_ = free;
    growthSinceLook_ = 0;
  }
  if (growth > freeLeft_) return false;
  freeLeft_ -= growth;
  growthSinceLook_ += growth;
  return true;
}

void Reception::Unclaim(ReceivedFile& e, std::uint64_t keep) {
  if (e.claimed <= keep) return;
  diskClaimed_ -= e.claimed - keep;
  if (freeKnown_) freeLeft_ += e.claimed - keep;
  e.claimed = keep;
}

void Reception::Reject(ReceivedFile& e, const char* why) {
  DebugPrintf("File %u of %s:%u dropped: %s\n", static_cast<unsigned>(e.fileId), params_.address.c_str(),
              static_cast<unsigned>(params_.port), why);
  if (current_ == &e) {
    writeFill_ = 0;
    e.buffered = 0;
    if (e.file) e.file->Close();
    e.file.reset();
    e.isOpen = false;
    current_ = nullptr;
  }
  if (!e.tempPath.empty()) fs_.Remove(e.tempPath);
  if (e.complete) SetComplete(e, false);
  Unclaim(e, 0);
  memoryBytes_ -= e.memory.size();
  blockMapBytes_ -= e.blockMap.size();
  e.rejected = true;
  e.tempPath.clear();
  e.destPath.clear();
  e.memory.clear();
  e.memory.shrink_to_fit();
  e.inMemory = false;
  e.blockMap.clear();
  e.blocksReceived = 0;
  stateDirty_ = true;
}

void Reception::SetComplete(ReceivedFile& e, bool complete) {
  if (e.complete == complete) return;
  e.complete = complete;
  if (complete) {
    ++completeCount_;
    --remainingFiles_;
  } else {
    --completeCount_;
    ++remainingFiles_;
  }
}

void Reception::MarkBlock(ReceivedFile& e, std::uint32_t block) {
  if (!e.blockMap[block]) {
    e.blockMap[block] = 1;
    ++e.blocksReceived;
    stateDirty_ = true;
  }
  e.verified = false;
  if (block == e.blockCount - 1 && e.blocksReceived == e.blockCount) SetComplete(e, true);
}

void Reception::UnmarkRange(ReceivedFile& e, std::uint64_t from, std::uint64_t to) {
  if (from >= to || e.blockMap.empty() || blockSize_ <= kDatagramHeader) return;
  std::uint64_t step = static_cast<std::uint64_t>(blockSize_ - kDatagramHeader);
  std::uint64_t first = (from + e.headerSize) / step;
  std::uint64_t last = (to - 1 + e.headerSize) / step;
  for (std::uint64_t b = first; b <= last && b < e.blockCount; ++b) {
    if (e.blockMap[b]) {
      e.blockMap[b] = 0;
      --e.blocksReceived;
    }
  }
  e.verified = false;
  stateDirty_ = true;
  SetComplete(e, false);
}

// Null when a file of this name may be placed (its path in destPath); else why not.
const char* Reception::NameFault(const std::string& name, std::string* destPath) const {
  if (!IsSafeRelativePath(name)) return "its name is unsafe (outside the storage folder, a device, or a wildcard)";
  // "/" separates folders on Windows too; the name is written with "\" only.
  std::string local;
  for (const std::string& part : PathComponents(name)) local = local.empty() ? part : JoinPath(local, part);
  // Windows cannot create a longer path; the file would fail at placement.
  // MAX_PATH counts characters: a double-byte character is one.
  if (PathCharacters(storageFolder_ + local) > kMaxPathChars) return "its full path would be longer than MAX_PATH";
  *destPath = storageFolder_ + local;
  return nullptr;
}

bool Reception::NameEntry(ReceivedFile& e, const std::string& name) {
  if (const char* why = NameFault(name, &e.destPath)) {
    Reject(e, why);
    return false;
  }
  return true;
}

// Where a datagram's payload lies in its file.
struct Reception::BlockPlace {
  bool withHeader = false;   // block 0 of a class that has a file header
  int headerSize = 0;
  int start = 0;             // the payload's first byte in the datagram
  std::int64_t step = 0;     // file bytes per block
  std::int64_t offset = 0;   // the payload's first byte in the file
};

// Returns true when no further datagram should be processed in this tick.
bool Reception::ProcessDatagram(Buffer& b) {
  ReceivedFile* e = nullptr;
  const Fate fate = Take(b, &e);
  if (fate == Fate::Dropped) ++dropped_;
  // A write buffer past its threshold is flushed before the next datagram.
  return fate == Fate::Stored && e->isOpen && e->buffered > kFlushThreshold;
}

Reception::Fate Reception::Take(Buffer& b, ReceivedFile** stored) {
  DatagramHeader h;
  if (!AcceptHeader(b, &h)) return Fate::Dropped;
  // Checks that the datagram fits the model of its file before anything is
  // created or stored for it.
  auto found = files_.find(h.fileId);
  ReceivedFile* e = found != files_.end() ? &found->second : nullptr;
  if (e && e->rejected) return Fate::Dropped;
  BlockPlace place;
  if (!LocateBlock(h, e, &place)) return Fate::Dropped;
  if (!(current_ && current_->fileId == h.fileId)) {
    if (current_) {
      Pump(6);
      CloseCurrent();
      Pump(7);
    }
    if (!e && !(e = NewEntry(h, place, b))) return Fate::Dropped;
  }

  if (e->complete) {
    TestCompletion();
    return Fate::Known;
  }
  if (!e->blockMap.empty() && e->blockMap[h.block]) {
    if (!e->verified) {
      e->verified = true;
      if (e->blocksReceived == e->blockCount) SetComplete(*e, true);
    }
    return Fate::Known;
  }
  if (place.withHeader && !TakeFileHeader(*e, place, b)) return Fate::Dropped;

  std::size_t n = static_cast<std::size_t>(h.length - place.start);
  // Bytes past the named size are padding at best: nothing past it is stored.
  if (e->sized) {
    const std::uint64_t end = e->fileSize;
    const auto offset = static_cast<std::uint64_t>(place.offset);
    n = offset >= end ? 0 : std::min<std::uint64_t>(n, end - offset);
  }
  if (!StorePayload(*e, static_cast<std::uint64_t>(place.offset), b.data + place.start, n)) return Fate::Dropped;
  MarkBlock(*e, h.block);
  receivedBytes_ += static_cast<std::int64_t>(n);
  *stored = e;
  return Fate::Stored;
}

// The datagram header, its flags and length, and the reception's block size.
bool Reception::AcceptHeader(const Buffer& b, DatagramHeader* h) {
  if (!ReadDatagramHeader(b.data, static_cast<std::size_t>(b.size), h) || !FlagsAccepted(h->flags) ||
      h->length > kDatagramMax || h->length > b.size)
    return false;
  // A broadcast that differs from the state it continues (another carousel
  // on the same reservation) leaves nothing of the state to trust.
  if (resumed_) {
    auto known = files_.find(h->fileId);
    if (const char* why = Disagreement(known == files_.end() ? nullptr : &known->second, *h, b.data))
      ForgetResumed(why);
  }
  if (blockSize_ == -1) {
    // A block size no datagram can carry would place blocks at offsets that no
    // datagram fills, and so claim disk that nothing ever writes.
    if (h->blockSize <= kDatagramHeader || h->blockSize > kDatagramMax) return false;
    blockSize_ = h->blockSize;
  } else if (h->blockSize != blockSize_) {
    return false;
  }
  tickBytes_ += h->length;
  return true;
}

// Where the block lies in its file (known entry `e`, or what its datagram
// says of a new one); false when it lies outside the file or its block.
bool Reception::LocateBlock(const DatagramHeader& h, const ReceivedFile* e, BlockPlace* place) const {
  const std::uint32_t blockCount = e ? e->blockCount : h.blockCount;
  place->headerSize = e ? e->headerSize : HeaderSizeOfClass(h.headerClass);
  place->withHeader = h.block == 0 && place->headerSize > 0;
  place->start = kDatagramHeader + (place->withHeader ? place->headerSize : 0);
  place->step = blockSize_ - kDatagramHeader;
  place->offset = h.block == 0 ? 0 : static_cast<std::int64_t>(h.block) * place->step - place->headerSize;
  const std::int64_t room = place->step - (h.block == 0 ? place->headerSize : 0);
  return h.blockCount != 0 && blockCount != 0 && h.block < blockCount && h.length >= place->start &&
         place->offset >= 0 && h.length - place->start <= room;
}

// The entry of a file's first datagram, its name taken when the datagram
// carries it and its part file made; null when the file is refused.
ReceivedFile* Reception::NewEntry(const DatagramHeader& h, const BlockPlace& place, const Buffer& b) {
  if (files_.empty()) SetStatus(J(u8"受信中"));
  ReceivedFile* e = &files_[h.fileId];
  e->fileId = h.fileId;
  e->blockCount = h.blockCount;
  e->headerSize = place.headerSize;
  if (place.withHeader && !NameEntry(*e, ReadFileHeader(b.data, place.headerSize).fileName)) return nullptr;
  // A state folder that cannot be made (a read-only schedule share) keeps
  // nothing for a restart; the reception itself goes on as without one.
  if (!stateFolder_.empty() && !MakePartFolder()) {
    DebugPrintf("Reception state folder %s cannot be made; nothing is kept for a restart\n", stateFolder_.c_str());
    stateFolder_.clear();
  }
  e->tempPath = stateFolder_.empty() ? TempPath() : PartPath(e->fileId);
  if (!FitsBounds(*e)) return nullptr;
  CreateEntryFile(*e);
  return e->rejected ? nullptr : e;
}

// Block 0's file header: the name (when the first datagram lacked it), the
// size and the broadcast's file count.
bool Reception::TakeFileHeader(ReceivedFile& e, const BlockPlace& place, const Buffer& b) {
  const FileHeader fh = ReadFileHeader(b.data, place.headerSize);
  if (e.destPath.empty() && !NameEntry(e, fh.fileName)) return false;
  // Every block must start inside the size the header names; a broadcast
  // whose blocks reach further would seek far into a new file.
  if (e.blockCount > 1 && static_cast<std::int64_t>(e.blockCount - 1) * place.step - place.headerSize >=
                              static_cast<std::int64_t>(fh.fileSize)) {
    Reject(e, "its blocks reach past the size its header names");
    return false;
  }
  e.fileSize = fh.fileSize;
  e.sized = true;
  if (e.inMemory) Unclaim(e, fh.fileSize);  // placement writes no more than that
  if (fileCount_ == 0) fileCount_ = remainingFiles_ = shownRemaining_ = fh.fileCount;
  return true;
}

bool Reception::StorePayload(ReceivedFile& e, std::uint64_t offset, const std::uint8_t* p, std::size_t n) {
  if (!e.isOpen && e.inMemory) {
    if (offset + n > e.memory.size()) return false;
    std::memcpy(e.memory.data() + offset, p, n);
    e.stored = std::max<std::uint64_t>(e.stored, offset + n);
    e.unsynced = true;
    return true;
  }
  if (const char* why = Claim(e, offset + n)) {
    Reject(e, why);
    return false;
  }
  if (!e.isOpen) {  // seen before and closed since
    const std::string& path = e.tempPath;
    if (path.empty()) return false;
    e.file = fs_.Open(path, OpenMode::ReadWrite);
    if (!e.file || !e.file->Seek(offset)) {
      e.file.reset();
      return false;  // this block is lost; a later cycle brings it again
    }
    e.isOpen = true;
    e.writePos = offset;
    e.buffered = 0;
    writeFill_ = 0;
    current_ = &e;
  }
  if (offset != e.writePos) {
    WriteOut(e);
    e.file->Seek(offset);
    e.writePos = offset;
  }
  if (writeFill_ + n > writeBuffer_.size()) WriteOut(e);
  std::memcpy(writeBuffer_.data() + writeFill_, p, n);
  writeFill_ += n;
  e.buffered += n;
  e.writePos += n;
  e.stored = std::max<std::uint64_t>(e.stored, offset + n);
  e.unsynced = true;
  return true;
}

void Reception::TestCompletion() {
  // A reception ended by command 1 keeps storing, but its result stays 0.
  if (finished_) return;
  if (!AllFilesComplete()) return;
  // The blocks still in the write buffer count only once they are on disk: a
  // failed write-out unmarks them and the next cycle brings them again.
  CloseCurrent();
  if (!AllFilesComplete()) {
    DebugPrintf("Reception %s:%u: the last write-out failed; waiting for the next cycle\n",
                params_.address.c_str(), static_cast<unsigned>(params_.port));
    return;
  }
  Complete();
}

bool Reception::AllFilesComplete() const {
  return fileCount_ > 0 && files_.size() == static_cast<std::size_t>(fileCount_) &&
         completeCount_ == files_.size() && files_.rbegin()->first == fileCount_ - 1;
}

void Reception::Complete() {
  CloseCurrent();
  if (timerRunning_) {
    view_.StopTimer();
    timerRunning_ = false;
  }
  SetStatus(J(u8"受信終了"));
  finished_ = true;
  view_.SetRemainingText(std::string());
  view_.RelabelStopButton(J(u8"終了処理"));
  view_.SetSizeText(SizeText());
  view_.SetProgressPos(static_cast<int>(receivedBytes_ / divisor_));
  result_ = 1;
  receptionEnd_ = CalibratedNow();
  CloseSocket();
  view_.Refresh();
}

std::string Reception::SizeText() const {
  char text[64];
  std::snprintf(text, sizeof text, "%lld/%lld KByte", static_cast<long long>(receivedBytes_ / 1024),
                static_cast<long long>(params_.totalBytes / 1024));
  return text;
}

void Reception::UpdateProgress() {
  bool refreshed = false;
  if (tickBytes_ > 0) {
    std::uint32_t now = clock_.TickMs();
    progressAccum_ += now - progressLastTick_;
    progressLastTick_ = now;
    if (progressAccum_ > 1000) {
      view_.SetProgressPos(static_cast<int>(receivedBytes_ / divisor_));
      view_.SetSizeText(SizeText());
      if (remainingFiles_ != shownRemaining_) {
        shownRemaining_ = remainingFiles_;
        char text[64];
        std::snprintf(text, sizeof text, J(u8"あと %dﾌｧｲﾙ").c_str(), remainingFiles_);
        view_.SetRemainingText(text);
      }
      view_.Refresh();
      refreshed = true;
      progressAccum_ = 0;
    }
  }
  if (statusChanged_ && !refreshed) view_.Refresh();
  statusChanged_ = false;
}

void Reception::CheckTimeLimits() {
  Time32 now = CalibratedNow();
  if (receivedBytes_ == 0 && files_.empty() && now > receptionStart_ + params_.timeout) view_.PostStopCommand();
  if (params_.scheduledEnd < now - 60) view_.PostStopCommand();
}

void Reception::OnStopCommand() {
  if (!finished_) {
    finished_ = true;
    receptionEnd_ = CalibratedNow();
  } else {
    closeRequested_ = true;
  }
}

// Renames within the storage folder (one volume, no second copy of the data);
// a read-only or hidden file of that name is replaced as well. A part file of
// the state folder is renamed the same way; only when that cannot be done (the
// schedule folder lies on another volume) is it copied beside its destination
// first.
bool Reception::PutInPlace(const std::string& from, const std::string& to) {
  CreateParentFolders(fs_, to);
  if (fs_.Replace(from, to)) return true;
  if (!stateFolder_.empty() && IsPathInside(stateFolder_, from)) {
    const std::string near = TempPath();
    const bool ok = fs_.CopyTo(from, near, false) && PutInPlace(near, to);
    fs_.Remove(ok ? from : near);
    return ok;
  }
  return fs_.Exists(to) && fs_.Remove(to) && fs_.Rename(from, to);
}

int Reception::PlaceFiles() {
  CloseCurrent();
  // A broadcast of small files may have been held in memory only: the storage
  // folder was then never made, and the files are written out into it here.
  if (!storageReady_) storageReady_ = CreateFolderPath(fs_, storageFolder_);
  int failed = 0;
  for (auto& item : files_) {
    ReceivedFile& e = item.second;
    if (e.rejected) continue;
    if (!e.complete || e.destPath.empty()) {
      DebugPrintf("File %u not placed: %s\n", static_cast<unsigned>(e.fileId),
                  e.destPath.empty() ? "its name never arrived" : "incomplete");
      DiscardTemp(e);
      ++failed;
      continue;
    }
    bool ok;
    if (e.inMemory) {
      // The image holds blockSize x blockCount bytes; a larger size from the air
      // cannot be taken from it.
      std::size_t n = std::min<std::size_t>(e.fileSize, e.memory.size());
      e.tempPath = TempPath();
      ok = fs_.WriteAll(e.tempPath, std::string(e.memory.begin(), e.memory.begin() + n)) &&
           PutInPlace(e.tempPath, e.destPath);
    } else {
      ok = PutInPlace(e.tempPath, e.destPath);
    }
    if (ok) {
      e.tempPath.clear();
    } else {
      DebugOut(e.destPath + J(u8" ファイル作成失敗\n"));
      DiscardTemp(e);
      ++failed;
    }
  }
  files_.clear();
  completeCount_ = 0;
  blockMapBytes_ = 0;
  memoryBytes_ = 0;
  // The reception is over: nothing is left to continue.
  RemoveState();
  return failed;
}

// ---- the state a restart continues from -----------------------------------

std::string Reception::PartPath(std::uint16_t fileId) const {
  char name[32];
  std::snprintf(name, sizeof name, "%05u.part", static_cast<unsigned>(fileId));
  return stateFolder_ + name;
}

bool Reception::MakePartFolder() {
  if (stateFolder_.empty()) {
    if (!storageReady_) storageReady_ = CreateFolderPath(fs_, storageFolder_);
    return storageReady_;
  }
  if (!stateReady_) stateReady_ = CreateFolderPath(fs_, stateFolder_);
  return stateReady_;
}

// The bytes a file's map relies on reach the disk before the map does: the
// open file's buffer is written out and every file stored to since the last
// save is flushed (a file kept in memory is written to its part file). False
// when that failed: the file is then left out of this state.
bool Reception::SyncForState(ReceivedFile& e, std::uint64_t* extent) {
  if (e.inMemory) {
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(e.stored, e.memory.size()));
    if (e.sized) n = std::min<std::size_t>(n, e.fileSize);
    *extent = n;
    if (!e.unsynced) return true;
    // Truncated and written whole: a part file is placed as it is, so it may
    // hold nothing past the image.
    auto f = fs_.Open(PartPath(e.fileId), OpenMode::CreateReadWrite);
    if (!f || !f->Write(e.memory.data(), n) || !f->Flush()) return false;
  } else {
    if (&e == current_) {
      if (!WriteOut(e)) return false;
      if (!e.file->Flush()) return false;
    } else if (e.unsynced) {
      auto f = fs_.Open(e.tempPath, OpenMode::ReadWrite);
      if (!f || !f->Flush()) return false;
    }
    *extent = e.claimed;
  }
  e.unsynced = false;
  return true;
}

void Reception::SaveState() {
  stateDirty_ = false;
  lastStateTick_ = clock_.TickMs();
  if (!MakePartFolder()) return;
  ReceptionState s;
  s.reservationId = params_.reservationId;
  s.programNumber = params_.programNumber;
  s.subNumber = params_.subNumber;
  s.scheduledStart = params_.scheduledStart;
  s.scheduledEnd = params_.scheduledEnd;
  s.port = params_.port;
  s.address = params_.address;
  s.blockSize = blockSize_;
  s.fileCount = fileCount_;
  s.receivedBytes = receivedBytes_;
  s.receptionStart = receptionStart_;
  for (auto& item : files_) {
    ReceivedFile& e = item.second;
    if (e.rejected || e.blockMap.empty()) continue;
    Pump(11);
    std::uint64_t extent = 0;
    if (!SyncForState(e, &extent)) {
      DebugPrintf("File %u of %s:%u not kept for a restart: its data could not be written out\n",
                  static_cast<unsigned>(e.fileId), params_.address.c_str(), static_cast<unsigned>(params_.port));
      e.unsynced = true;
      continue;
    }
    ReceptionStateFile f;
    f.fileId = e.fileId;
    f.headerSize = e.headerSize;
    f.blockCount = e.blockCount;
    f.sized = e.sized;
    f.fileSize = e.sized ? e.fileSize : 0;
    f.extent = extent;
    if (!e.destPath.empty()) f.name = e.destPath.substr(storageFolder_.size());
    f.blockMap.assign(e.blockMap.begin(), e.blockMap.begin() + e.blockCount);
    s.files.push_back(std::move(f));
  }
  Pump(11);
  const std::string path = stateFolder_ + kStateRecordName;
  // A state without files would continue nothing: an older one must not stay.
  if (s.files.empty() || blockSize_ <= 0) {
    if (fs_.Exists(path)) fs_.Remove(path);
    return;
  }
  // A new name first, then one rename: a kill while writing leaves the old state.
  if (!fs_.WriteAllReplacing(path, EncodeReceptionState(s)))
    DebugPrintf("Reception state %s cannot be written\n", path.c_str());
  Pump(12);
}

void Reception::KeepForResume() {
  if (stateFolder_.empty() || finished_ || files_.empty()) return;
  // A continued reception that could not join its group received nothing
  // since: the state it started from stays as it is.
  if (!unreceivable_) SaveState();
  keepState_ = true;
}

// A state found at the start: taken only whole and only when it is this
// reservation's; anything else is removed with a debug line.
bool Reception::LoadState() {
  const std::string path = stateFolder_ + kStateRecordName;
  std::vector<FoundFile> found = fs_.Find(path);
  if (found.empty() || found[0].isFolder) {
    // Part files of a run killed before its first save.
    RemoveState();
    return false;
  }
  std::string why;
  std::string data;
  ReceptionState state;
  if (found[0].size > kMaxStateBytes) {
    why = "larger than any state";
  } else if (!fs_.ReadAll(path, &data)) {
    why = "cannot be read";
  } else if (DecodeReceptionState(data, &state, &why) && Resume(state, &why)) {
    DebugPrintf("Reception %s:%u continues from its state: %u files, %d complete, %lld bytes\n",
                params_.address.c_str(), static_cast<unsigned>(params_.port),
                static_cast<unsigned>(files_.size()), static_cast<int>(completeCount_),
                static_cast<long long>(receivedBytes_));
    return true;
  }
  DebugPrintf("Reception state %s discarded: %s\n", path.c_str(), why.c_str());
  RemoveState();
  return false;
}

bool Reception::Resume(const ReceptionState& s, std::string* why) {
  if (s.reservationId != params_.reservationId || s.programNumber != params_.programNumber ||
      s.subNumber != params_.subNumber || s.scheduledStart != params_.scheduledStart ||
      s.scheduledEnd != params_.scheduledEnd) {
    *why = "it belongs to another reservation";
    return false;
  }
  if (s.port != params_.port || s.address != params_.address) {
    *why = "it was received from another group or port";
    return false;
  }
  // Every file is checked before any is taken.
  std::map<std::uint16_t, ReceivedFile> files;
  std::uint64_t claims = 0;
  std::size_t maps = 0;
  for (const ReceptionStateFile& f : s.files) {
    ReceivedFile e;
    e.fileId = f.fileId;
    e.blockCount = f.blockCount;
    e.headerSize = f.headerSize;
    e.sized = f.sized;
    e.fileSize = f.fileSize;
    if (!f.name.empty()) {
      if (const char* fault = NameFault(f.name, &e.destPath)) {
        *why = std::string("a file's name: ") + fault;
        return false;
      }
    } else if (f.sized) {
      *why = "a file with a header but without a name";
      return false;
    }
    e.tempPath = PartPath(f.fileId);
    std::vector<FoundFile> part = fs_.Find(e.tempPath);
    if (part.empty() || part[0].isFolder || part[0].link) {
      *why = "a part file is missing";
      return false;
    }
    if (part[0].size < f.extent) {
      *why = "a part file is shorter than its map says";
      return false;
    }
    e.blockMap = f.blockMap;
    e.blockMap.resize(static_cast<std::size_t>(f.blockCount) + 10, 0);
    for (std::uint32_t b = 0; b < f.blockCount; ++b) e.blocksReceived += e.blockMap[b];
    e.claimed = e.stored = f.extent;
    e.resumed = true;
    claims += f.extent;
    maps += e.blockMap.size();
    files.emplace(f.fileId, std::move(e));
  }
  if (claims > diskBudget_) {
    *why = "its files take more disk than the reservation declares";
    return false;
  }
  if (maps > kMaxBlockMapTotal) {
    *why = "its block maps take more memory than a reception may";
    return false;
  }
  files_ = std::move(files);
  blockSize_ = s.blockSize;
  fileCount_ = remainingFiles_ = shownRemaining_ = s.fileCount;
  receivedBytes_ = s.receivedBytes;
  receptionStart_ = s.receptionStart;
  diskClaimed_ = claims;
  blockMapBytes_ = maps;
  completeCount_ = 0;
  for (auto& item : files_)
    if (item.second.blocksReceived == item.second.blockCount) SetComplete(item.second, true);
  stateReady_ = true;
  resumed_ = true;
  return true;
}

// Why a datagram of the air contradicts the state the reception continues;
// null when it agrees (or says nothing the state holds).
const char* Reception::Disagreement(const ReceivedFile* e, const DatagramHeader& h, const std::uint8_t* data) const {
  // What the engine drops anyway says nothing about the broadcast.
  if (h.blockSize <= kDatagramHeader || h.blockSize > kDatagramMax || h.blockCount == 0 || h.block >= h.blockCount)
    return nullptr;
  if (h.blockSize != blockSize_) return "the broadcast's block size differs";
  const int headerSize = e ? e->headerSize : HeaderSizeOfClass(h.headerClass);
  if (e && e->resumed) {
    if (h.blockCount != e->blockCount) return "a file's block count differs";
    if (HeaderSizeOfClass(h.headerClass) != e->headerSize) return "a file's header class differs";
  }
  if (h.block != 0 || headerSize == 0 || h.length < kDatagramHeader + headerSize) return nullptr;
  const FileHeader fh = ReadFileHeader(data, headerSize);
  if (fileCount_ > 0 && fh.fileCount != fileCount_) return "the broadcast's file count differs";
  if (!e || !e->resumed) return nullptr;
  if (e->sized && fh.fileSize != e->fileSize) return "a file's size differs";
  std::string dest;
  if (!e->destPath.empty() && (NameFault(fh.fileName, &dest) || dest != e->destPath)) return "a file's name differs";
  return nullptr;
}

// The state said one thing and the air another: everything taken from the
// state goes and the reception starts from nothing.
void Reception::ForgetResumed(const char* why) {
  DebugPrintf("Reception state of %s:%u discarded: %s\n", params_.address.c_str(),
              static_cast<unsigned>(params_.port), why);
  if (current_) {
    writeFill_ = 0;
    current_->buffered = 0;
    if (current_->file) current_->file->Close();
    current_->file.reset();
    current_->isOpen = false;
    current_ = nullptr;
  }
  files_.clear();
  ClearFolder(fs_, stateFolder_);
  resumed_ = false;
  blockSize_ = -1;
  fileCount_ = remainingFiles_ = shownRemaining_ = 0;
  completeCount_ = 0;
  receivedBytes_ = 0;
  blockMapBytes_ = 0;
  memoryBytes_ = 0;
  diskClaimed_ = 0;
  freeKnown_ = false;
  stateDirty_ = false;
}

void Reception::RemoveState() {
  if (stateFolder_.empty() || !fs_.IsFolder(stateFolder_)) return;
  ClearFolder(fs_, stateFolder_);
  fs_.RemoveFolder(WithoutTrailingSeparator(stateFolder_));
  stateReady_ = false;
}
