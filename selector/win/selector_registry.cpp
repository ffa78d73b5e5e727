#include "selector_registry.h"

#include <vector>

#include "common/peer_names.h"
#include "common/text.h"
#include "selector/session_match.h"

bool RegKey::Open(const std::string& path, REGSAM access) {
  key_ = OpenRegKey(HKEY_LOCAL_MACHINE, Cp932ToWide(path).c_str(), access);
  return IsOpen();
}

bool RegKey::ReadText(const std::string& name, std::string* value) const {
  DWORD type = 0, size = 0;
  const std::wstring wide = Cp932ToWide(name);
  if (!key_ || RegQueryValueExW(key_.Get(), wide.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key_.Get(), wide.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS)
    return false;
  text.back() = L'\0';
  if (type == REG_EXPAND_SZ) {
    // "%SystemRoot%\\..." and the like: the type says the names are to be expanded.
    const DWORD need = ExpandEnvironmentStringsW(text.data(), nullptr, 0);
    if (need == 0) return false;
    std::vector<wchar_t> expanded(need + 1, L'\0');
    if (ExpandEnvironmentStringsW(text.data(), expanded.data(), need + 1) == 0) return false;
    expanded.back() = L'\0';
    *value = WideToCp932(expanded.data());
    return true;
  }
  *value = WideToCp932(text.data());
  return true;
}

bool RegKey::ReadDword(const std::string& name, std::uint32_t* value) const {
  DWORD type = 0, data = 0, size = sizeof data;
  if (!key_ || RegQueryValueExW(key_.Get(), Cp932ToWide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                                &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof data)
    return false;
  *value = data;
  return true;
}

bool RegKey::ReadFourBytes(const std::string& name, std::uint32_t* value) const {
  DWORD type = 0, size = 4;
  BYTE data[4] = {};
  if (!key_ ||
      RegQueryValueExW(key_.Get(), Cp932ToWide(name).c_str(), nullptr, &type, data, &size) != ERROR_SUCCESS || size != 4)
    return false;
  *value = static_cast<std::uint32_t>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24);
  return true;
}

bool RegKey::ReadBinary(const std::string& name, std::size_t maxBytes, std::string* value) const {
  DWORD type = 0, size = 0;
  const std::wstring wide = Cp932ToWide(name);
  if (!key_ || RegQueryValueExW(key_.Get(), wide.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_BINARY)
    return false;
  // Asking for less than the whole value gives nothing at all: read it whole,
  // then keep what lies within the bound.
  std::string data(size, '\0');
  if (size > 0 && RegQueryValueExW(key_.Get(), wide.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
                      ERROR_SUCCESS)
    return false;
  data.resize(size < maxBytes ? size : maxBytes);
  *value = std::move(data);
  return true;
}

bool RegKey::WriteDword(const std::string& name, std::uint32_t value) const {
  const DWORD data = value;
  return key_ && RegSetValueExW(key_.Get(), Cp932ToWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                sizeof data) == ERROR_SUCCESS;
}

bool RegKey::WriteFourBytes(const std::string& name, std::uint32_t value) const {
  const BYTE data[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                        static_cast<BYTE>(value >> 24)};
  return key_ && RegSetValueExW(key_.Get(), Cp932ToWide(name).c_str(), 0, REG_BINARY, data, 4) == ERROR_SUCCESS;
}

bool ReadRouterSessions(std::string* value) {
  RegKey key;
  return key.Open(peer::kRouterKey, KEY_READ) && key.ReadBinary(peer::kRouterSessionsValue, kMaxSessionBytes, value);
}
