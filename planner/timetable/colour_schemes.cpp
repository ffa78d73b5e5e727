#include "planner/timetable/colour_schemes.h"
#include <cstring>
#include "common/debug_log.h"
#include "common/files.h"
#include "common/peer_names.h"
#include "common/record_bytes.h"
#include "common/settings.h"
#include "common/text.h"

namespace {

enum : std::size_t {
  kMagic = 0, kName = 4, kFace = 132, kSize = 178, kBold = 182, kItalic = 186, kOutside = 190,
  kTitleBack = 194, kTitleText = 198, kTimeBack = 202, kTimeText = 298, kProgramBack = 394, kProgramText = 714,
};
enum : std::size_t { kNameWidth = 128, kFaceWidth = 46 };
const char kSchemeMagic[4] = {'C', 'L', 'S', 'T'};
// The font's values under "Environment" (source text; stored in cp932).
constexpr const char* kFaceValue = u8"予定表FONT";
constexpr const char* kSizeValue = u8"予定表FONT Size";
constexpr const char* kBoldValue = u8"予定表FONT Bold";
constexpr const char* kItalicValue = u8"予定表FONT Italic";
constexpr const char* kDefaultFace = u8"ＭＳ Ｐゴシック";

std::int32_t SaneFontSize(std::int32_t size) {
  return size >= kFontSizeMin && size <= kFontSizeMax ? size : kDefaultFontSize;
}

}  // namespace

FontChoice ReadFontChoice(const PlannerSettings& s) {
  const char* env = peer::kEnvironmentSubKey;
  FontChoice f;
  f.face = s.Text(env, J(kFaceValue), J(kDefaultFace));
  f.size = ReadFontSize(s);
  f.bold = s.Int(env, J(kBoldValue), 0) ? 1 : 0;
  f.italic = s.Int(env, J(kItalicValue), 0) ? 1 : 0;
  return f;
}

std::int32_t ReadFontSize(const PlannerSettings& s) {
  return SaneFontSize(s.Int(peer::kEnvironmentSubKey, J(kSizeValue), kDefaultFontSize));
}

void WriteFontChoice(PlannerSettings& s, const FontChoice& f) {
  const char* env = peer::kEnvironmentSubKey;
  s.SetText(env, J(kFaceValue), f.face);
  s.SetInt(env, J(kSizeValue), f.size);
  s.SetInt(env, J(kBoldValue), f.bold);
  s.SetInt(env, J(kItalicValue), f.italic);
}

std::string EncodeColourScheme(const ColourScheme& s) {
  std::uint8_t b[kColourSchemeRecordSize] = {};
  std::memcpy(b + kMagic, kSchemeMagic, 4);
  PutField(b + kName, kNameWidth, s.name, kSchemeNameMax);
  PutField(b + kFace, kFaceWidth, s.font.face, kFontFaceMax);
  PutU32(b, kSize, static_cast<std::uint32_t>(s.font.size));
  PutU32(b, kBold, static_cast<std::uint32_t>(s.font.bold));
  PutU32(b, kItalic, static_cast<std::uint32_t>(s.font.italic));
  const ColourTables& c = s.colours;
  PutU32(b, kOutside, c.outside);
  PutU32(b, kTitleBack, c.titleBack);
  PutU32(b, kTitleText, c.titleText);
  for (int h = 0; h < 24; ++h) {
    PutU32(b, kTimeBack + 4 * h, c.timeBack[h]);
    PutU32(b, kTimeText + 4 * h, c.timeText[h]);
  }
  for (int r = 0; r < kStateRows; ++r) {
    for (int g = 0; g < kColourGroups; ++g) {
      const std::size_t at = 4 * (r * kColourGroups + g);
      PutU32(b, kProgramBack + at, c.programBack[r][g]);
      PutU32(b, kProgramText + at, c.programText[r][g]);
    }
  }
  return std::string(reinterpret_cast<const char*>(b), sizeof b);
}

bool DecodeColourScheme(const std::string& record, ColourScheme* s) {
  if (record.size() < kColourSchemeRecordSize || std::memcmp(record.data(), kSchemeMagic, 4) != 0) return false;
  const std::uint8_t* b = reinterpret_cast<const std::uint8_t*>(record.data());
  // A field without its terminator is cut where a terminated one would end.
  s->name = GetField(b + kName, kNameWidth);
  s->name.resize(FitToBytes(s->name, kSchemeNameMax));
  s->font.face = GetField(b + kFace, kFaceWidth);
  s->font.face.resize(FitToBytes(s->font.face, kFontFaceMax));
  s->font.size = SaneFontSize(static_cast<std::int32_t>(GetU32(b, kSize)));
  s->font.bold = GetU32(b, kBold) ? 1 : 0;
  s->font.italic = GetU32(b, kItalic) ? 1 : 0;
  ColourTables& c = s->colours;
  auto colour = [b](std::size_t at) { return GetU32(b, at) & 0x00FFFFFF; };
  c.outside = colour(kOutside);
  c.titleBack = colour(kTitleBack);
  c.titleText = colour(kTitleText);
  for (int h = 0; h < 24; ++h) {
    c.timeBack[h] = colour(kTimeBack + 4 * h);
    c.timeText[h] = colour(kTimeText + 4 * h);
  }
  for (int r = 0; r < kStateRows; ++r) {
    for (int g = 0; g < kColourGroups; ++g) {
      const std::size_t at = 4 * (r * kColourGroups + g);
      c.programBack[r][g] = colour(kProgramBack + at);
      c.programText[r][g] = colour(kProgramText + at);
    }
  }
  c.DeriveRows();
  return true;
}

bool ReplaceFileContents(FileSystem& fs, const std::string& path, const std::string& data) {
  const std::string temp = path + ".tmp";
  fs.Remove(temp);
  std::string check;
  // The old file is replaced in one step, and only by a complete new one.
  if (!fs.WriteAll(temp, data) || !fs.ReadAll(temp, &check) || check != data || !fs.Replace(temp, path)) {
    fs.Remove(temp);
    return false;
  }
  return true;
}

bool ColourSchemeFile::ReadRecords(std::vector<std::string>* records) const {
  records->clear();
  std::string data;
  if (!fs_.ReadAll(path_, &data)) return false;
  if (data.size() > kMaxSchemeRecords * kColourSchemeRecordSize) {
    DebugPrintf("%s: %zu bytes is more than a scheme file holds; not read", path_.c_str(), data.size());
    return false;
  }
  const std::size_t whole = data.size() / kColourSchemeRecordSize;
  for (std::size_t i = 0; i < whole; ++i)
    records->push_back(data.substr(i * kColourSchemeRecordSize, kColourSchemeRecordSize));
  if (data.size() % kColourSchemeRecordSize != 0)
    DebugPrintf("%s: last record cut off after %zu bytes; skipped", path_.c_str(),
                data.size() % kColourSchemeRecordSize);
  return true;
}

bool ColourSchemeFile::WriteRecords(const std::vector<std::string>& records) {
  std::string data;
  data.reserve(records.size() * kColourSchemeRecordSize);
  for (const std::string& r : records) data += r;
  return ReplaceFileContents(fs_, path_, data);
}

std::vector<ColourScheme> ColourSchemeFile::Load() const {
  std::vector<ColourScheme> schemes;
  std::vector<std::string> records;
  if (!ReadRecords(&records)) return schemes;
  for (std::size_t i = 0; i < records.size(); ++i) {
    ColourScheme s;
    if (DecodeColourScheme(records[i], &s))
      schemes.push_back(std::move(s));
    else
      DebugPrintf("%s: record %zu has no CLST mark; skipped", path_.c_str(), i + 1);
  }
  return schemes;
}

bool ColourSchemeFile::Register(const ColourScheme& scheme) {
  std::vector<std::string> records;
  // A file that exists but cannot be read must not be replaced by one record.
  if (!ReadRecords(&records) && fs_.Exists(path_)) return false;
  const std::string record = EncodeColourScheme(scheme);
  ColourScheme stored;
  DecodeColourScheme(record, &stored);  // the name as the record holds it (cut to its field)
  for (std::string& r : records) {
    ColourScheme s;
    if (DecodeColourScheme(r, &s) && s.name == stored.name) {
      r = record;
      return WriteRecords(records);
    }
  }
  records.push_back(record);
  return WriteRecords(records);
}

bool ColourSchemeFile::Remove(const std::string& name) {
  std::vector<std::string> records;
  if (!ReadRecords(&records)) return false;
  for (auto it = records.begin(); it != records.end(); ++it) {
    ColourScheme s;
    if (DecodeColourScheme(*it, &s) && s.name == name) {
      records.erase(it);
      return WriteRecords(records);
    }
  }
  return false;
}
