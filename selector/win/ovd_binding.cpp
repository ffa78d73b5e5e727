#include "ovd_binding.h"

#include <cstring>

#include "common/debug_log.h"

OvdBinding::~OvdBinding() {
  // Once more as the process ends, then the library goes.
  Close();
}

bool OvdBinding::Bind() {
  module_.Reset(LoadLibraryA("OVD.DLL"));
  if (!module_) {
    DebugPrintf("nexa: OVD.DLL not found (error %lu): running without the board\n", GetLastError());
    ok_ = true;
    return true;
  }
  getIcCardNum_ = Resolve<Bytes>("OvdGetIcCardNum");
  getMacAddress_ = Resolve<Bytes>("OvdGetMacAddress");
  getSid_ = Resolve<Ptr16>("OvdGetSid");
  setSid_ = Resolve<U16>("OvdSetSid");
  getTagId_ = Resolve<Ptr16>("OvdGetTagId");
  setTagId_ = Resolve<U16>("OvdSetTagId");
  init_ = Resolve<Void>("OvdInit");
  setMacAddress_ = Resolve<Void>("OvdSetMacAddress");
  getSid2_ = Resolve<Ptr16Ptr16>("OvdGetSid2");
  setSid2_ = Resolve<U16U16>("OvdSetSid2");
  close_ = Resolve<Void>("OvdClose");
  level_ = setSid2_ ? kLevelSid2 : getIcCardNum_ ? kLevelIcCard : kLevelBasic;
  ok_ = level_ < kLevelSid2 || !init_ || init_() == 0;
  DebugPrintf("nexa: OVD.DLL level %d, %s\n", level_, ok_ ? "ready" : "OvdInit failed");
  return ok_;
}

bool OvdBinding::SetSid(std::uint16_t sid) {
  const int result = setSid_ ? setSid_(sid) : 0;
  DebugPrintf("nexa: OvdSetSid(%u) = %d\n", sid, result);
  return result == 0;
}

bool OvdBinding::SetSidWithTag(std::uint16_t sid, std::uint16_t tag) {
  if (level_ >= kLevelSid2) {
    const int result = setSid2_ ? setSid2_(sid, tag) : 0;
    DebugPrintf("nexa: OvdSetSid2(%u, %u) = %d\n", sid, tag, result);
    return result == 0;
  }
  if (!SetSid(sid)) return false;
  const int result = setTagId_ ? setTagId_(tag) : 0;
  DebugPrintf("nexa: OvdSetTagId(%u) = %d\n", tag, result);
  return result == 0;
}

bool OvdBinding::GetMacAddress(std::uint8_t address[8]) {
  if (!getMacAddress_) {
    std::memset(address, 0xAA, 8);
    return true;
  }
  return getMacAddress_(address) == 0;
}

void OvdBinding::Close() {
  if (level_ >= kLevelSid2 && close_) close_();
}
