// nexa's binding to the board library, loaded by name at run time. A missing
// library or entry point is no error: the call does nothing and succeeds, so
// the selector also runs where no board is installed.
#pragma once
#include <windows.h>

#include <cstdint>

#include "common/win/scoped_win.h"

class OvdBinding {
 public:
  static constexpr int kLevelBasic = 0;
  static constexpr int kLevelIcCard = 256;   // OvdGetIcCardNum exists
  static constexpr int kLevelSid2 = 512;     // OvdSetSid2 exists

  OvdBinding() = default;
  ~OvdBinding();
  OvdBinding(const OvdBinding&) = delete;
  OvdBinding& operator=(const OvdBinding&) = delete;

  // Loads "OVD.DLL" and resolves the names; at level 512 calls OvdInit. False
  // when OvdInit fails (message 002).
  bool Bind();
  bool Loaded() const { return static_cast<bool>(module_); }
  int Level() const { return level_; }

  bool SetSid(std::uint16_t sid);
  // OvdSetSid2 at level 512, else OvdSetSid then OvdSetTagId.
  bool SetSidWithTag(std::uint16_t sid, std::uint16_t tag);
  // Eight bytes; 0xAA bytes when the library has no OvdGetMacAddress.
  bool GetMacAddress(std::uint8_t address[8]);
  void Close();   // OvdClose at level 512

 private:
  using Void = int(__cdecl*)();
  using U16 = int(__cdecl*)(std::uint16_t);
  using U16U16 = int(__cdecl*)(std::uint16_t, std::uint16_t);
  using Ptr16 = int(__cdecl*)(std::uint16_t*);
  using Ptr16Ptr16 = int(__cdecl*)(std::uint16_t*, std::uint16_t*);
  using Bytes = int(__cdecl*)(std::uint8_t*);

  template <class F>
  F Resolve(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_.Get(), name)));
  }

  ScopedModule module_;  // freed after the destructor's last Close
  int level_ = kLevelBasic;
  bool ok_ = false;
  Bytes getIcCardNum_ = nullptr;
  Bytes getMacAddress_ = nullptr;
  Ptr16 getSid_ = nullptr;
  U16 setSid_ = nullptr;
  Ptr16 getTagId_ = nullptr;
  U16 setTagId_ = nullptr;
  Void init_ = nullptr;
  Void setMacAddress_ = nullptr;
  Ptr16Ptr16 getSid2_ = nullptr;
  U16U16 setSid2_ = nullptr;
  Void close_ = nullptr;
};
