// PlannerSettings and the in-memory store that stands in for the registry.
#include "common/settings.h"

#include <map>
#include <utility>

#include "common/text.h"

const char* const PlannerSettings::kKey = peer::kPlannerKey;

namespace {

// Registry names compare without regard to ASCII case; trail bytes stay as they are.
std::string FoldCase(const std::string& text) {
  std::string folded = text;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(folded[i]);
    if (IsLeadByte(c)) {
      ++i;
    } else if (c >= 'A' && c <= 'Z') {
      folded[i] = static_cast<char>(c - 'A' + 'a');
    }
  }
  return folded;
}

class MemorySettings : public Settings {
 public:
  bool ReadDword(Hive hive, const std::string& key, const std::string& name, std::uint32_t* value) override {
    const Value* v = Find(hive, key, name);
    if (!v || !v->isDword) return false;
    *value = v->dword;
    return true;
  }
  bool ReadWholeText(Hive hive, const std::string& key, const std::string& name, std::string* value) override {
    const Value* v = Find(hive, key, name);
    if (!v || v->isDword) return false;
    *value = v->text;
    return true;
  }
  bool WriteDword(Hive hive, const std::string& key, const std::string& name, std::uint32_t value) override {
    Value& v = Slot(hive, key, name);
    v.isDword = true;
    v.dword = value;
    return true;
  }
  bool WriteText(Hive hive, const std::string& key, const std::string& name, const std::string& value) override {
    if (value.empty()) {
      DeleteValue(hive, key, name);
      return true;
    }
    Value& v = Slot(hive, key, name);
    v.isDword = false;
    v.text = value;
    return true;
  }
  bool DeleteValue(Hive hive, const std::string& key, const std::string& name) override {
    auto k = keys_.find(KeyId(hive, key));
    if (k == keys_.end()) return false;
    for (auto it = k->second.begin(); it != k->second.end(); ++it) {
      if (FoldCase(it->name) == FoldCase(name)) {
        k->second.erase(it);
        return true;
      }
    }
    return false;
  }
  std::vector<std::string> ValueNames(Hive hive, const std::string& key) override {
    std::vector<std::string> names;
    auto k = keys_.find(KeyId(hive, key));
    if (k != keys_.end())
      for (const Value& v : k->second) names.push_back(v.name);
    return names;
  }

 private:
  struct Value {
    std::string name;
    bool isDword = false;
    std::uint32_t dword = 0;
    std::string text;
  };
  using KeyIdType = std::pair<Hive, std::string>;

  static KeyIdType KeyId(Hive hive, const std::string& key) { return {hive, FoldCase(key)}; }

  const Value* Find(Hive hive, const std::string& key, const std::string& name) {
    auto k = keys_.find(KeyId(hive, key));
    if (k == keys_.end()) return nullptr;
    for (const Value& v : k->second)
      if (FoldCase(v.name) == FoldCase(name)) return &v;
    return nullptr;
  }
  Value& Slot(Hive hive, const std::string& key, const std::string& name) {
    if (const Value* v = Find(hive, key, name)) return const_cast<Value&>(*v);
    auto& values = keys_[KeyId(hive, key)];
    values.emplace_back();
    values.back().name = name;
    return values.back();
  }

  std::map<KeyIdType, std::vector<Value>> keys_;
};

}  // namespace

bool Settings::ReadText(Hive hive, const std::string& key, const std::string& name, std::string* value) {
  // What a REG_SZ read of 256 bytes can hold.
  constexpr std::size_t kTextReadLimit = 255;
  std::string text;
  if (!ReadWholeText(hive, key, name, &text)) return false;
  *value = text.substr(0, FitToBytes(text, kTextReadLimit));
  return true;
}

std::unique_ptr<Settings> CreateMemorySettings() { return std::make_unique<MemorySettings>(); }

std::string PlannerSettings::FullKey(const std::string& subKey) const {
  return subKey.empty() ? std::string(kKey) : std::string(kKey) + "\\" + subKey;
}

std::int32_t PlannerSettings::Int(const std::string& subKey, const std::string& name, std::int32_t defaultValue) const {
  std::uint32_t value = 0;
  if (!store_.ReadDword(Hive::CurrentUser, FullKey(subKey), name, &value)) return defaultValue;
  return static_cast<std::int32_t>(value);
}

std::string PlannerSettings::Text(const std::string& subKey, const std::string& name, const std::string& defaultValue) const {
  std::string value;
  if (!store_.ReadText(Hive::CurrentUser, FullKey(subKey), name, &value)) return defaultValue;
  return value;
}

std::string PlannerSettings::WholeText(const std::string& subKey, const std::string& name) const {
  std::string value;
  if (!store_.ReadWholeText(Hive::CurrentUser, FullKey(subKey), name, &value)) return std::string();
  return value;
}

std::int32_t PlannerSettings::IntInRange(const std::string& subKey, const std::string& name, std::int32_t defaultValue,
                                         std::int32_t low, std::int32_t high) const {
  std::int32_t value = Int(subKey, name, defaultValue);
  return value < low ? low : value > high ? high : value;
}

bool PlannerSettings::SetInt(const std::string& subKey, const std::string& name, std::int32_t value) {
  return store_.WriteDword(Hive::CurrentUser, FullKey(subKey), name, static_cast<std::uint32_t>(value));
}

bool PlannerSettings::SetText(const std::string& subKey, const std::string& name, const std::string& value) {
  return store_.WriteText(Hive::CurrentUser, FullKey(subKey), name, value);
}
