#include "boardlib/ovd_library.h"

#include <cstdio>
#include <cstring>

#include "boardlib/board_identity.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/text.h"

namespace {
constexpr std::uint32_t kBusyWaitMs = 120;
constexpr std::uint16_t kInitialTagId = 8;
constexpr std::int32_t kOvdFail = -1;
// The cached time served while the driver owns the stream.
constexpr std::int32_t kCachedTimeResult = 1;

class SharedLock {
 public:
  SharedLock(LibraryHost& host, SharedState& state) : host_(host), state_(state) { host_.Lock(state_); }
  ~SharedLock() { host_.Unlock(state_); }

 private:
  LibraryHost& host_;
  SharedState& state_;
};

std::string AdapterKeyPath(const std::string& adapter) { return std::string(peer::kAdapterClassKey) + "\\" + adapter; }

void ClearDeviceMark(SharedState& s) {
  s.deviceHandle = 0;
  s.deviceOwnerPid = 0;
  s.deviceOwnerStarted = 0;
}
}  // namespace

std::string DiscoverAdapter(Settings& settings) {
  for (int i = 0; i <= 9; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "%04d", i);
    std::string driver;
    if (settings.ReadText(Hive::LocalMachine, AdapterKeyPath(name), peer::kAdapterDriverValue, &driver) &&
        AsciiUpper(driver) == peer::kBoardDriverName)
      return name;
  }
  return std::string();
}

OvdLibrary::OvdLibrary(const LibraryEnv& env) : env_(env), board_(env.driver, env.clock) {}

OvdLibrary::~OvdLibrary() {
  if (loaded_) Unload();
}

void OvdLibrary::PruneLocked() {
  SharedState& s = env_.shared;
  int count = 0;
  for (ProcessSlot& slot : s.slots) {
    if (slot.pid && !env_.host.ProcessAlive(slot.pid, slot.started)) {
      slot.pid = 0;
      slot.started = 0;
    }
    if (slot.pid) ++count;
  }
  s.processCount = count;
  if (s.trayOwner && !env_.host.WindowAlive(s.trayOwner)) {
    s.trayOwner = 0;
    s.trayOwnerPid = 0;
  }
  // A handle dies with the process that opened it.
  if (s.deviceHandle != 0 && s.deviceHandle != -1 && s.deviceOwnerPid &&
      !env_.host.ProcessAlive(s.deviceOwnerPid, s.deviceOwnerStarted))
    ClearDeviceMark(s);
  if (count == 0) ClearDeviceMark(s);
}

void OvdLibrary::Load() {
  if (loaded_) return;
  loaded_ = true;
  SharedState& s = env_.shared;
  std::string key;
  std::uint32_t remembered = 0;
  {
    SharedLock lock(env_.host, s);
    PruneLocked();
    key.assign(s.adapterKey, strnlen(s.adapterKey, sizeof s.adapterKey));
    remembered = s.windowAddress;
  }
  bool first = key.empty();
  if (first) key = DiscoverAdapter(env_.settings);
  if (!key.empty() && board_.FindMemoryWindow(&remembered)) {
    usable_ = true;
    adapterKey_ = key;
    SharedLock lock(env_.host, s);
    if (s.adapterKey[0] == 0) {
      std::snprintf(s.adapterKey, sizeof s.adapterKey, "%s", key.c_str());
      s.windowAddress = remembered;
      ClearDeviceMark(s);
      first = true;
    } else {
      first = false;
    }
  }
  serviceWord_ = 0;
  tagId_ = 0;
  cachedTime_ = 0;
  if (usable_ && first) {
    tagId_ = kInitialTagId;
    cachedTime_ = board_.ReadBroadcastTime();
  }
  SharedLock lock(env_.host, s);
  const std::uint32_t pid = env_.host.CurrentProcessId();
  const std::uint32_t started = env_.host.CurrentProcessStarted();
  // A slot still under this id belongs to an earlier process that died
  // without unloading: the pruning above has freed it.
  for (ProcessSlot& slot : s.slots) {
    if (slot.pid == 0) {
      slot.pid = pid;
      slot.started = started;
      break;
    }
  }
  PruneLocked();
}

void OvdLibrary::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  if (usable_ && DriverOpen()) SendCommand(cmd::kHello);
  SharedState& s = env_.shared;
  {
    SharedLock lock(env_.host, s);
    const std::uint32_t pid = env_.host.CurrentProcessId();
    const std::uint32_t started = env_.host.CurrentProcessStarted();
    for (ProcessSlot& slot : s.slots) {
      if (slot.pid == pid && slot.started == started) {
        slot.pid = 0;
        slot.started = 0;
      }
    }
    if (s.deviceOwnerPid == pid) {
      s.deviceOwnerPid = 0;
      s.deviceOwnerStarted = 0;
    }
    PruneLocked();  // the last process leaves the driver closed
    if (s.trayOwnerPid == pid) {
      s.trayOwner = 0;
      s.trayOwnerPid = 0;
    }
  }
  env_.driver.Close();
  board_.Release();
  usable_ = false;
}

bool OvdLibrary::DriverOpen() {
  SharedState& s = env_.shared;
  SharedLock lock(env_.host, s);
  // Every export asks this, several times: only the opener's liveness decides
  // the answer. The look at every slot is for load, unload and the tray.
  if (s.deviceHandle != 0 && s.deviceHandle != -1 && s.deviceOwnerPid &&
      s.deviceOwnerPid != env_.host.CurrentProcessId() &&
      !env_.host.ProcessAlive(s.deviceOwnerPid, s.deviceOwnerStarted))
    ClearDeviceMark(s);
  return s.deviceHandle != 0 && s.deviceHandle != -1;
}

// Another process may have opened the driver: this process then reaches it
// through a handle of its own, opened on first use.
bool OvdLibrary::OwnHandle() { return env_.driver.IsOpen() || env_.driver.Open(); }

bool OvdLibrary::Query(std::uint32_t selector, DriverRecord* record) {
  if (!DriverOpen() || !OwnHandle()) return false;
  return env_.driver.Query(selector, record);
}

bool OvdLibrary::DriverActive() {
  DriverRecord r;
  return Query(1, &r) && r.word[0] != 0;
}

void OvdLibrary::SendCommand(std::uint32_t number, const std::uint32_t* word2, const std::uint32_t* word3) {
  if (!OwnHandle()) return;
  DriverRecord r;
  env_.driver.Query(1, &r);
  if (r.word[1] != 0) env_.clock.SleepMs(kBusyWaitMs);
  r.word[1] = number;
  if (word2) r.word[2] = *word2;
  if (word3) r.word[3] = *word3;
  env_.driver.Command(r);
}

void OvdLibrary::OpenDriver() {
  const bool opened = env_.driver.IsOpen() || env_.driver.Open();
  {
    SharedLock lock(env_.host, env_.shared);
    env_.shared.deviceHandle = opened ? env_.driver.Handle() : -1;
    env_.shared.deviceOwnerPid = opened ? env_.host.CurrentProcessId() : 0;
    env_.shared.deviceOwnerStarted = opened ? env_.host.CurrentProcessStarted() : 0;
  }
  if (opened) SendCommand(cmd::kHello);
}

void OvdLibrary::CloseDriver() {
  env_.driver.Close();
  SharedLock lock(env_.host, env_.shared);
  ClearDeviceMark(env_.shared);
}

void OvdLibrary::SendStream() {
  if (!DriverOpen()) return;
  const std::uint32_t word = serviceWord_;
  const std::uint32_t tag = tagId_;
  SendCommand((word & 0xC000) ? cmd::kSetStreamHigh : cmd::kSetStream, &word, &tag);
}

std::int32_t OvdLibrary::RoChecks() {
  if (!usable_) return ro::kNoBoard;
  if (!DriverOpen()) return ro::kNotOpen;
  return ro::kOk;
}

// ---- RO* ----

std::int32_t OvdLibrary::ROInit() {
  if (!usable_) return ro::kNoBoard;
  if (DriverOpen()) return ro::kAlreadyOpen;
  OpenDriver();
  return DriverOpen() ? ro::kOk : ro::kOpenFailed;
}

std::int32_t OvdLibrary::ROClose() {
  if (!usable_) return ro::kNoBoard;
  if (DriverOpen()) {
    const std::uint32_t zero = 0;
    SendCommand(cmd::kOption8, &zero);
    SendCommand(cmd::kHello);
  }
  CloseDriver();
  return ro::kOk;
}

std::int32_t OvdLibrary::ROReset() {
  if (!usable_) return ro::kNoBoard;
  if (!DriverOpen()) return ROInit();
  SendCommand(cmd::kReset);
  return ro::kOk;
}

std::int32_t OvdLibrary::ROSetStream(std::uint16_t type, const std::uint8_t* stream) {
  if (std::int32_t rc = RoChecks()) return rc;
  if (type != 1) return ro::kBadStreamType;
  if (!stream) return ro::kNotSupported;
  serviceWord_ = static_cast<std::uint16_t>(stream[0] | stream[1] << 8);
  tagId_ = stream[2];
  SendStream();
  return ro::kOk;
}

std::int32_t OvdLibrary::ROGetStream(std::uint16_t* type, std::uint8_t* stream) {
  if (type) *type = 0;
  if (std::int32_t rc = RoChecks()) return rc;
  if (!type || !stream) return ro::kNotSupported;
  if (!DriverActive()) return ro::kOpenFailed;
  const std::uint16_t sid = board_.ReadCurrentSid();
  stream[0] = static_cast<std::uint8_t>(sid);
  stream[1] = static_cast<std::uint8_t>(sid >> 8);
  stream[2] = static_cast<std::uint8_t>(tagId_);
  *type = 1;
  return ro::kOk;
}

std::int32_t OvdLibrary::ROSetIRDOpt(std::uint32_t option, std::uint32_t value) {
  if (std::int32_t rc = RoChecks()) return rc;
  if (option <= 2) return ro::kOk;
  if (option == 8) {
    SendCommand(cmd::kOption8, &value);
    return ro::kOk;
  }
  return ro::kBadOption;
}

std::int32_t OvdLibrary::ROGetIRDOpt(std::uint32_t option, std::uint32_t* value) {
  if (std::int32_t rc = RoChecks()) return rc;
  if (option > 2) return ro::kBadOption;
  if (!value) return ro::kNotSupported;
  if (option == 0) {
    if (DriverActive()) *value = board_.ReadCurrentSid() != 0 ? 1 : 0;
    else *value = board_.FlowingTest() ? 1 : 0;
  } else if (option == 1) {
    *value = 0;
  } else {
    *value = DriverActive() ? 0 : board_.ServiceTypeBits();
  }
  return ro::kOk;
}

std::int32_t OvdLibrary::ROGetTime(std::uint16_t* fields) {
  if (std::int32_t rc = RoChecks()) return rc;
  if (!fields) return ro::kNotSupported;
  std::int32_t result = ro::kOk;
  if (!DriverActive()) cachedTime_ = board_.ReadBroadcastTime();
  else result = kCachedTimeResult;
  const LocalTime t = BreakLocalTime(cachedTime_);
  const int values[8] = {t.year, t.month, t.weekday + 1, t.day, t.hour, t.minute, t.second, 0};
  for (int i = 0; i < 8; ++i) fields[i] = static_cast<std::uint16_t>(values[i]);
  return result;
}

std::int32_t OvdLibrary::ROGetROInfo(std::uint8_t* info) {
  if (!info) return ro::kNotSupported;
  static const char kText[] = "VIvuzivi v00";
  info[0] = 1;
  info[1] = 0;
  std::memcpy(info + 2, kText, sizeof kText);  // 13 bytes with the terminator
  for (std::size_t i = 2 + sizeof kText; i < 22; ++i) info[i] = 0;
  info[22] = 20;
  return ro::kOk;
}

std::int32_t OvdLibrary::ROGetIRDInfo(std::uint8_t* info) {
  if (std::int32_t rc = RoChecks()) return rc;
  if (!info) return ro::kNotSupported;
  const int value = board_.ReadReceiverInfo();
  if (value >= OvdBoard::kNoReceiverInfo) return ro::kNoReceiverInfo;
  info[0] = static_cast<std::uint8_t>(value);
  info[1] = 1;
  return ro::kOk;
}

std::int32_t OvdLibrary::ROGetROStatus(std::uint32_t item, std::uint32_t* value) {
  if (std::int32_t rc = RoChecks()) return rc;
  if (item != 4 && item != 7) return ro::kNotSupported;
  if (!value) return ro::kNotSupported;
  if (item == 4) {
    *value = DriverActive() ? 1 : 0;
    return ro::kOk;
  }
  if (DriverActive()) return ro::kDriverActive;
  *value = board_.FlowingTest() ? 1 : 0;
  return ro::kOk;
}

std::int32_t OvdLibrary::ROSetFilter() {
  if (std::int32_t rc = RoChecks()) return rc;
  return ro::kNotSupported;
}

std::int32_t OvdLibrary::ROGetSI(std::uint32_t* out) {
  if (out) *out = 0;
  if (std::int32_t rc = RoChecks()) return rc;
  return ro::kNotSupported;
}

// ---- Ovd* ----

std::int32_t OvdLibrary::OvdInit() {
  if (!usable_ || DriverOpen()) return kOvdFail;
  OpenDriver();
  return 0;
}

std::int32_t OvdLibrary::OvdClose() {
  if (!usable_) return kOvdFail;
  if (DriverOpen()) SendCommand(cmd::kHello);
  CloseDriver();
  return 0;
}

std::int32_t OvdLibrary::OvdGetSid(std::uint16_t* sid) {
  if (!usable_ || !sid) return kOvdFail;
  *sid = board_.ReadCurrentSid();
  return 0;
}

std::int32_t OvdLibrary::OvdGetSid2(std::uint16_t* sid, std::uint16_t* tagId) {
  if (!usable_ || !sid || !tagId) return kOvdFail;
  *sid = board_.ReadCurrentSid();
  *tagId = tagId_;
  return 0;
}

std::int32_t OvdLibrary::OvdSetSid(std::uint16_t sid) {
  if (!usable_ || !DriverOpen()) return kOvdFail;
  serviceWord_ = static_cast<std::uint16_t>(sid | 0x4000);
  SendStream();
  return 0;
}

std::int32_t OvdLibrary::OvdSetSid2(std::uint16_t sid, std::uint16_t tagId) {
  if (!usable_ || !DriverOpen()) return kOvdFail;
  tagId_ = tagId;
  serviceWord_ = static_cast<std::uint16_t>(sid | 0x4000);
  SendStream();
  return 0;
}

std::int32_t OvdLibrary::OvdGetTagId(std::uint16_t* tagId) {
  if (!usable_ || !tagId) return kOvdFail;
  *tagId = tagId_;
  return 0;
}

std::int32_t OvdLibrary::OvdSetTagId(std::uint16_t tagId) {
  if (!usable_ || !DriverOpen()) return kOvdFail;
  tagId_ = tagId;
  SendStream();
  return 0;
}

std::int32_t OvdLibrary::OvdGetMacAddress(std::uint8_t* address) {
  if (!usable_ || !address) return kOvdFail;
  BoardAddress(board_.Identity(), address);
  return 0;
}

std::int32_t OvdLibrary::OvdGetIcCardNum(std::uint8_t* number) {
  if (!usable_ || !number) return kOvdFail;
  std::string text;
  if (!env_.settings.ReadText(Hive::LocalMachine, AdapterKeyPath(adapterKey_), peer::kAdapterIcCardValue, &text))
    return kOvdFail;
  // The adapter's value holds at most 100 bytes; a longer one is not the
  // number the card was registered with.
  if (text.size() > 100) return kOvdFail;
  return IcCardBytes(text, number) ? 0 : kOvdFail;
}
