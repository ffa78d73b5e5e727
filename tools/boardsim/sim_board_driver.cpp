// The driver port of the simulated-card build of OVD.DLL (never shipped):
// boardsim's named section stands for the physical memory (the card's
// registers act on the state kept there) and its mailbox for the board driver.
#include <windows.h>

#include <vector>

#include "boardlib/win/spin_lock.h"
#include "boardlib/win/win_board_host.h"
#include "tools/boardsim/sim_link.h"

namespace {
class LockedSimPort : public BoardPort {
 public:
  LockedSimPort(simlink::Shared& shared, std::uint32_t physical, std::uint32_t length)
      : shared_(shared), card_(shared.card), port_(card_, shared.card.config.address, physical, length) {}
  std::uint8_t Read8(std::uint32_t o) override {
    SpinLockHolder lock(&shared_.cardLock);
    return port_.Read8(o);
  }
  std::uint16_t Read16(std::uint32_t o) override {
    SpinLockHolder lock(&shared_.cardLock);
    return port_.Read16(o);
  }
  void Write8(std::uint32_t o, std::uint8_t v) override {
    SpinLockHolder lock(&shared_.cardLock);
    port_.Write8(o, v);
  }
  void Write16(std::uint32_t o, std::uint16_t v) override {
    SpinLockHolder lock(&shared_.cardLock);
    port_.Write16(o, v);
  }

 private:
  simlink::Shared& shared_;
  SimCard card_;
  SimWindowPort port_;
};

class SimBoardDriver : public BoardDriver {
 public:
  ~SimBoardDriver() override {
    Close();
    for (BoardPort* p : ports_) delete p;
    if (shared_) UnmapViewOfFile(shared_);
    for (HANDLE h : {section_, request_, reply_, mutex_})
      if (h) CloseHandle(h);
  }
  bool Open() override {
    if (open_) return true;
    simlink::Mailbox m{};
    m.op = simlink::kOpen;
    open_ = Call(&m) && m.ok;
    return open_;
  }
  bool IsOpen() const override { return open_; }
  std::int64_t Handle() const override { return open_ ? static_cast<std::int64_t>(GetCurrentProcessId()) << 8 | 1 : 0; }
  void Close() override {
    if (!open_) return;
    simlink::Mailbox m{};
    m.op = simlink::kClose;
    Call(&m);
    open_ = false;
  }
  bool Query(std::uint32_t selector, DriverRecord* record) override {
    if (!open_) return false;
    simlink::Mailbox m{};
    m.op = simlink::kQuery;
    m.selector = selector;
    m.record = *record;
    if (!Call(&m) || !m.ok) return false;
    *record = m.record;
    return true;
  }
  bool Command(const DriverRecord& record) override {
    if (!open_) return false;
    simlink::Mailbox m{};
    m.op = simlink::kCommand;
    m.record = record;
    return Call(&m) && m.ok;
  }
  bool PhysicalMemoryVisible() const override { return false; }
  bool OpenMapper() override { return Attach(); }
  void CloseMapper() override {}
  BoardPort* Map(std::uint32_t physical, std::uint32_t length) override {
    if (!Attach()) return nullptr;
    ports_.push_back(new LockedSimPort(*shared_, physical, length));
    return ports_.back();
  }
  void Unmap(BoardPort* port) override {
    for (auto it = ports_.begin(); it != ports_.end(); ++it) {
      if (*it == port) {
        delete *it;
        ports_.erase(it);
        return;
      }
    }
  }

 private:
  bool Attach() {
    if (shared_) return true;
    section_ = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, simlink::kSection);
    if (!section_) return false;
    shared_ = static_cast<simlink::Shared*>(MapViewOfFile(section_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(simlink::Shared)));
    request_ = OpenEventA(EVENT_ALL_ACCESS, FALSE, simlink::kRequestEvent);
    reply_ = OpenEventA(EVENT_ALL_ACCESS, FALSE, simlink::kReplyEvent);
    mutex_ = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, simlink::kMailboxMutex);
    if (!shared_ || shared_->magic != simlink::kMagic || !request_ || !reply_ || !mutex_) {
      if (shared_) UnmapViewOfFile(shared_);
      shared_ = nullptr;
      return false;
    }
    return true;
  }
  // One driver call answered by boardsim; false when it does not answer.
  bool Call(simlink::Mailbox* m) {
    if (!Attach()) return false;
    const DWORD got = WaitForSingleObject(mutex_, simlink::kReplyTimeoutMs);
    if (got != WAIT_OBJECT_0 && got != WAIT_ABANDONED) return false;
    m->pid = GetCurrentProcessId();
    shared_->mailbox = *m;
    ResetEvent(reply_);
    SetEvent(request_);
    const bool answered = WaitForSingleObject(reply_, simlink::kReplyTimeoutMs) == WAIT_OBJECT_0;
    if (answered) *m = shared_->mailbox;
    ReleaseMutex(mutex_);
    return answered;
  }

  bool open_ = false;
  HANDLE section_ = nullptr, request_ = nullptr, reply_ = nullptr, mutex_ = nullptr;
  simlink::Shared* shared_ = nullptr;
  std::vector<BoardPort*> ports_;
};
}  // namespace

std::unique_ptr<BoardDriver> CreateBoardDriver() { return std::make_unique<SimBoardDriver>(); }
