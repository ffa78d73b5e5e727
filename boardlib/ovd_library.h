// The library of one process: discovery at load, the shared state, the driver
// channel and the logic of every RO* and Ovd* export. The Windows layer only
// forwards the exports here; tests call it with a simulated card in-process.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "boardlib/board_port.h"
#include "boardlib/ovd_board.h"
#include "boardlib/shared_state.h"

class Settings;

// Result codes of the RO* family.
namespace ro {
constexpr std::int32_t kOk = 0;
constexpr std::int32_t kOpenFailed = 1;  // also: ROGetStream, driver not active
constexpr std::int32_t kNoBoard = 100;
constexpr std::int32_t kAlreadyOpen = 101;
constexpr std::int32_t kNotOpen = 200;
constexpr std::int32_t kBadStreamType = 201;
constexpr std::int32_t kBadOption = 202;
constexpr std::int32_t kDriverActive = 203;
constexpr std::int32_t kNoReceiverInfo = 205;
constexpr std::int32_t kNotSupported = 207;
constexpr std::int32_t kNotProvided = -1;
}  // namespace ro

// Driver command numbers.
namespace cmd {
constexpr std::uint32_t kHello = 0xFF010222;  // after open, before close, at unload
constexpr std::uint32_t kReset = 0xFF010201;
constexpr std::uint32_t kOption8 = 0xFF010235;
constexpr std::uint32_t kSetStream = 0xFF010221;
constexpr std::uint32_t kSetStreamHigh = 0xFF010223;  // service id word with bit 14 or 15
}  // namespace cmd

struct LibraryEnv {
  BoardDriver& driver;
  BoardClock& clock;
  Settings& settings;
  LibraryHost& host;
  SharedState& shared;
};

// The first adapter key "0000".."0009" whose "DeviceVxDs" names the board
// driver (any case); empty when none.
std::string DiscoverAdapter(Settings& settings);

class OvdLibrary {
 public:
  explicit OvdLibrary(const LibraryEnv& env);
  ~OvdLibrary();

  void Load();
  void Unload();
  bool Usable() const { return usable_; }

  // RO* family (Part of the receiver interface).
  std::int32_t ROInit();
  std::int32_t ROClose();
  std::int32_t ROReset();
  std::int32_t ROSetStream(std::uint16_t type, const std::uint8_t* stream);
  std::int32_t ROGetStream(std::uint16_t* type, std::uint8_t* stream);
  std::int32_t ROSetIRDOpt(std::uint32_t option, std::uint32_t value);
  std::int32_t ROGetIRDOpt(std::uint32_t option, std::uint32_t* value);
  std::int32_t ROGetTime(std::uint16_t* fields);
  static std::int32_t ROGetROInfo(std::uint8_t* info);
  std::int32_t ROGetIRDInfo(std::uint8_t* info);
  std::int32_t ROGetROStatus(std::uint32_t item, std::uint32_t* value);
  std::int32_t ROSetFilter();
  std::int32_t ROGetSI(std::uint32_t* out);

  // Ovd* family.
  std::int32_t OvdInit();
  std::int32_t OvdClose();
  std::int32_t OvdGetSid(std::uint16_t* sid);
  std::int32_t OvdGetSid2(std::uint16_t* sid, std::uint16_t* tagId);
  std::int32_t OvdSetSid(std::uint16_t sid);
  std::int32_t OvdSetSid2(std::uint16_t sid, std::uint16_t tagId);
  std::int32_t OvdGetTagId(std::uint16_t* tagId);
  std::int32_t OvdSetTagId(std::uint16_t tagId);
  std::int32_t OvdGetMacAddress(std::uint8_t* address);
  std::int32_t OvdGetIcCardNum(std::uint8_t* number);

  // For the status window.
  bool DriverOpen();
  bool DriverActive();
  bool Query(std::uint32_t selector, DriverRecord* record);
  void SendStream();  // "再接続": the current service id word and tag id again
  SharedState& Shared() { return env_.shared; }
  LibraryHost& Host() { return env_.host; }
  // Drops the slots of processes that ended without unloading and the marks
  // they left (tray owner, open driver); the caller holds the lock.
  void PruneLocked();

  std::uint16_t ServiceWord() const { return serviceWord_; }
  std::uint16_t TagId() const { return tagId_; }
  Time32 CachedTime() const { return cachedTime_; }
  OvdBoard& Board() { return board_; }

 private:
  bool OwnHandle();
  void OpenDriver();
  void CloseDriver();
  void SendCommand(std::uint32_t number, const std::uint32_t* word2 = nullptr, const std::uint32_t* word3 = nullptr);
  std::int32_t RoChecks();

  LibraryEnv env_;
  OvdBoard board_;
  bool usable_ = false;
  bool loaded_ = false;
  std::string adapterKey_;
  std::uint16_t serviceWord_ = 0;
  std::uint16_t tagId_ = 0;
  Time32 cachedTime_ = 0;
};
