// The settings seam on Windows: the registry through the W functions, with
// key paths, value names and texts converted from and to cp932.
#include "common/settings.h"

#include <windows.h>

#include "common/text.h"
#include "common/win/scoped_win.h"

namespace {

HKEY Root(Hive hive) { return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

ScopedRegKey OpenKey(Hive hive, const std::string& path, bool create, REGSAM access) {
  const std::wstring wide = Cp932ToWide(path);
  return create ? CreateRegKey(Root(hive), wide.c_str(), access) : OpenRegKey(Root(hive), wide.c_str(), access);
}

class RegistrySettings : public Settings {
 public:
  bool ReadDword(Hive hive, const std::string& key, const std::string& name, std::uint32_t* value) override {
    ScopedRegKey k = OpenKey(hive, key, false, KEY_READ);
    if (!k) return false;
    DWORD type = 0, data = 0, size = sizeof data;
    LONG r = RegQueryValueExW(k.Get(), Cp932ToWide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (r != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return false;
    *value = data;
    return true;
  }
  bool ReadWholeText(Hive hive, const std::string& key, const std::string& name, std::string* value) override {
    ScopedRegKey k = OpenKey(hive, key, false, KEY_READ);
    if (!k) return false;
    const std::wstring wideName = Cp932ToWide(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(k.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(k.Get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &got) != ERROR_SUCCESS)
      return false;
    data.resize(wcsnlen(data.c_str(), got / sizeof(wchar_t)));
    *value = WideToCp932(data);
    return true;
  }
  bool WriteDword(Hive hive, const std::string& key, const std::string& name, std::uint32_t value) override {
    ScopedRegKey k = OpenKey(hive, key, true, KEY_WRITE);
    if (!k) return false;
    DWORD data = value;
    return RegSetValueExW(k.Get(), Cp932ToWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
  }
  bool WriteText(Hive hive, const std::string& key, const std::string& name, const std::string& value) override {
    if (value.empty()) {
      DeleteValue(hive, key, name);
      return true;
    }
    ScopedRegKey k = OpenKey(hive, key, true, KEY_WRITE);
    if (!k) return false;
    std::wstring data = Cp932ToWide(value);
    return RegSetValueExW(k.Get(), Cp932ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  bool DeleteValue(Hive hive, const std::string& key, const std::string& name) override {
    ScopedRegKey k = OpenKey(hive, key, false, KEY_SET_VALUE);
    return k && RegDeleteValueW(k.Get(), Cp932ToWide(name).c_str()) == ERROR_SUCCESS;
  }
  std::vector<std::string> ValueNames(Hive hive, const std::string& key) override {
    std::vector<std::string> names;
    ScopedRegKey k = OpenKey(hive, key, false, KEY_READ);
    if (!k) return names;
    for (DWORD i = 0;; ++i) {
      wchar_t name[16384];
      DWORD length = sizeof name / sizeof name[0];
      if (RegEnumValueW(k.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.push_back(WideToCp932(std::wstring(name, length)));
    }
    return names;
  }
};

}  // namespace

std::unique_ptr<Settings> CreatePlatformSettings() { return std::make_unique<RegistrySettings>(); }
