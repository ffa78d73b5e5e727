// The settings seam: registry values on Windows, an in-memory store natively.
// Key paths, value names and texts are cp932; integers are REG_DWORD, texts REG_SZ.
#pragma once
#include "common/peer_names.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class Hive { CurrentUser, LocalMachine };

class Settings {
 public:
  virtual ~Settings() = default;
  // False when the key or value is missing or has another type.
  virtual bool ReadDword(Hive hive, const std::string& key, const std::string& name, std::uint32_t* value) = 0;
  // Texts as a read of 256 bytes keeps them: up to 255 bytes of cp932, cut at
  // a character boundary.
  bool ReadText(Hive hive, const std::string& key, const std::string& name, std::string* value);
  // The whole text, however long.
  virtual bool ReadWholeText(Hive hive, const std::string& key, const std::string& name, std::string* value) = 0;
  // Writes create missing keys. Writing an empty text deletes the value.
  virtual bool WriteDword(Hive hive, const std::string& key, const std::string& name, std::uint32_t value) = 0;
  virtual bool WriteText(Hive hive, const std::string& key, const std::string& name, const std::string& value) = 0;
  virtual bool DeleteValue(Hive hive, const std::string& key, const std::string& name) = 0;
  // Names of the values of a key (cp932), in the store's order.
  virtual std::vector<std::string> ValueNames(Hive hive, const std::string& key) = 0;
};

// The registry (Win32) or a process-local store (POSIX).
std::unique_ptr<Settings> CreatePlatformSettings();
// Always the in-memory store; for tests.
std::unique_ptr<Settings> CreateMemorySettings();

// The planner's key "Software\Lumivent\TavoraPlanner" under HKEY_CURRENT_USER,
// shared by the planner and the unit; sub-keys are given relative to it
// ("Environment", "Schedule", "Title\\3").
class PlannerSettings {
 public:
  explicit PlannerSettings(Settings& store) : store_(store) {}
  static const char* const kKey;

  // Missing or unreadable values give the default.
  std::int32_t Int(const std::string& subKey, const std::string& name, std::int32_t defaultValue) const;
  std::string Text(const std::string& subKey, const std::string& name, const std::string& defaultValue = std::string()) const;
  // Lists that may be longer than the 255 bytes Text keeps.
  std::string WholeText(const std::string& subKey, const std::string& name) const;
  // An integer of a settings page: a stored value outside low..high is taken
  // as the nearest bound.
  std::int32_t IntInRange(const std::string& subKey, const std::string& name, std::int32_t defaultValue,
                          std::int32_t low, std::int32_t high) const;
  bool SetInt(const std::string& subKey, const std::string& name, std::int32_t value);
  bool SetText(const std::string& subKey, const std::string& name, const std::string& value);
  Settings& Store() const { return store_; }

  // The folders, as stored ("Schedule"/"DataPath" etc.); empty when unset.
  std::string ScheduleFolder() const { return Text(peer::kScheduleSubKey, peer::kFolderValue); }
  std::string HistoryFolder() const { return Text(peer::kHistorySubKey, peer::kFolderValue); }
  std::string DataFolder() const { return Text(peer::kDataSubKey, peer::kFolderValue); }

 private:
  std::string FullKey(const std::string& subKey) const;
  Settings& store_;
};
