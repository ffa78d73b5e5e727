// Natively the "registry" is one in-memory store shared by the whole process.
#include "common/settings.h"

namespace {

class SharedSettings : public Settings {
 public:
  explicit SharedSettings(Settings& store) : store_(store) {}
  bool ReadDword(Hive h, const std::string& k, const std::string& n, std::uint32_t* v) override { return store_.ReadDword(h, k, n, v); }
  bool ReadWholeText(Hive h, const std::string& k, const std::string& n, std::string* v) override {
    return store_.ReadWholeText(h, k, n, v);
  }
  bool WriteDword(Hive h, const std::string& k, const std::string& n, std::uint32_t v) override { return store_.WriteDword(h, k, n, v); }
  bool WriteText(Hive h, const std::string& k, const std::string& n, const std::string& v) override { return store_.WriteText(h, k, n, v); }
  bool DeleteValue(Hive h, const std::string& k, const std::string& n) override { return store_.DeleteValue(h, k, n); }
  std::vector<std::string> ValueNames(Hive h, const std::string& k) override { return store_.ValueNames(h, k); }

 private:
  Settings& store_;
};

}  // namespace

std::unique_ptr<Settings> CreatePlatformSettings() {
  static Settings* process = CreateMemorySettings().release();
  return std::make_unique<SharedSettings>(*process);
}
