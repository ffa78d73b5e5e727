// The selector's registry access (HKEY_LOCAL_MACHINE): its own key, read at
// start, and the routing driver's key with the wanted sessions and the board
// interface. Key handles are owned by ScopedRegKey, so every path closes them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win/scoped_win.h"

class RegKey {
 public:
  bool Open(const std::string& path, REGSAM access);      // HKLM, cp932 path
  void Close() { key_.Reset(); }
  bool IsOpen() const { return static_cast<bool>(key_); }

  // REG_SZ, or REG_EXPAND_SZ with its %NAME% parts expanded; cp932.
  bool ReadText(const std::string& name, std::string* value) const;
  bool ReadDword(const std::string& name, std::uint32_t* value) const;    // REG_DWORD
  // A four-byte value of any type (the selector's "Mode" is stored as binary).
  bool ReadFourBytes(const std::string& name, std::uint32_t* value) const;
  // REG_BINARY only, up to maxBytes (the rest of a longer value is dropped).
  bool ReadBinary(const std::string& name, std::size_t maxBytes, std::string* value) const;
  bool WriteDword(const std::string& name, std::uint32_t value) const;
  bool WriteFourBytes(const std::string& name, std::uint32_t value) const;  // REG_BINARY

 private:
  ScopedRegKey key_;
};

// The wanted sessions; false when the value is missing or not binary.
bool ReadRouterSessions(std::string* value);
