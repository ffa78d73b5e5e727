#include "planner/timetable/colour_tables.h"
#include <algorithm>
#include <unordered_set>
#include "common/debug_log.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"

const Colour kDefaultStateBackground[kStateRows] = {0xC0C0C0, 0xD0D0D0, 0xB2B2B2, 0xD0D0D0, 0x808080};
const char* const kStateColourKeysUtf8[kStateRows] = {
    u8"Environment\\番組背景NML", u8"Environment\\番組背景RES", u8"Environment\\番組背景DWN",
    u8"Environment\\番組背景ING", u8"Environment\\番組背景BUY",
};
const char* const kStateNamesUtf8[kStateRows] = {
    u8"通常時", u8"予約済み時", u8"受信済み（起動可）", u8"受信済み（起動不可）", u8"受信失敗",
};

namespace {

const char* const kTimeBarKeyUtf8 = u8"Environment\\タイムバー";

int R(Colour c) { return static_cast<int>(c & 0xFF); }
int G(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
int B(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }
Colour Rgb(int r, int g, int b) {
  auto clamp = [](int v) { return static_cast<Colour>(std::min(v, 255)); };
  return clamp(r) | (clamp(g) << 8) | (clamp(b) << 16);
}

// A stored DWORD as a colour: the top byte means nothing to a COLORREF here.
Colour ReadColour(const PlannerSettings& s, const std::string& key, const std::string& name, Colour def) {
  return static_cast<Colour>(s.Int(key, name, static_cast<std::int32_t>(def))) & 0x00FFFFFF;
}

std::string Indexed(const char* prefix, int i) { return prefix + std::to_string(i); }

}  // namespace

Colour Brighten(Colour c) {
  const int m = std::max({R(c), G(c), B(c)});
  for (int s = 3; s >= 0; --s) {
    if ((m >> s) > 30) return Rgb(R(c) + (R(c) >> s), G(c) + (G(c) >> s), B(c) + (B(c) >> s));
  }
  return Rgb(R(c) + 0x22, G(c) + 0x22, B(c) + 0x22);
}

Colour HighlightText(Colour c) {
  auto bit = [](int v) { return v > 0xBF ? 0xFF : 0; };
  return Rgb(bit(R(c)), bit(G(c)), bit(B(c)));
}

ColourTables::ColourTables() {
  timeBack.fill(kDefaultGrey);
  timeText.fill(0);
  for (int r = 0; r < kStateRows; ++r)
    for (int g = 0; g < kColourGroups; ++g) programBack[r][g] = kDefaultStateBackground[r];
  DeriveRows();
}

void ColourTables::DeriveRows() {
  for (int g = 0; g < kColourGroups; ++g) {
    for (int r = 0; r < kStateRows; ++r) {
      Colour c = programBack[r][g];
      for (int step = 1; step <= 3; ++step) {
        c = Brighten(c);
        programBack[r + 5 * step][g] = c;
      }
      programText[r + 5][g] = programText[r][g];
      programText[r + 10][g] = programText[r + 15][g] = HighlightText(programText[r][g]);
    }
  }
}

Colour ColourTables::Back(std::int32_t row, std::int32_t group) const {
  if (row < 0 || row >= kColourRows || group < 0 || group >= kColourGroups) return programBack[0][0];
  return programBack[row][group];
}

Colour ColourTables::Text(std::int32_t row, std::int32_t group) const {
  if (row < 0 || row >= kColourRows || group < 0 || group >= kColourGroups) return programText[0][0];
  return programText[row][group];
}

ColourTables ReadColourTables(const PlannerSettings& s) {
  const char* env = peer::kEnvironmentSubKey;
  ColourTables t;
  t.outside = ReadColour(s, env, J(u8"予定表背景"), kDefaultGrey);
  t.titleBack = ReadColour(s, env, J(u8"チャンネル背景"), kDefaultGrey);
  t.titleText = ReadColour(s, env, J(u8"チャンネルFONT"), 0);
  const std::string& bar = J(kTimeBarKeyUtf8);
  for (int h = 0; h < 24; ++h) {
    t.timeBack[h] = ReadColour(s, bar, Indexed("Color", h), kDefaultGrey);
    t.timeText[h] = ReadColour(s, bar, Indexed("Font", h), 0);
  }
  for (int r = 0; r < kStateRows; ++r) {
    const std::string& key = J(kStateColourKeysUtf8[r]);
    for (int g = 0; g < kColourGroups; ++g) {
      t.programBack[r][g] = ReadColour(s, key, Indexed("Color", g), kDefaultStateBackground[r]);
      t.programText[r][g] = ReadColour(s, key, Indexed("Font", g), 0);
    }
  }
  t.DeriveRows();
  return t;
}

void WriteColourTables(PlannerSettings& s, const ColourTables& t) {
  const char* env = peer::kEnvironmentSubKey;
  auto put = [&s](const std::string& key, const std::string& name, Colour c) {
    s.SetInt(key, name, static_cast<std::int32_t>(c));
  };
  put(env, J(u8"予定表背景"), t.outside);
  put(env, J(u8"チャンネル背景"), t.titleBack);
  put(env, J(u8"チャンネルFONT"), t.titleText);
  const std::string& bar = J(kTimeBarKeyUtf8);
  for (int h = 0; h < 24; ++h) {
    put(bar, Indexed("Color", h), t.timeBack[h]);
    put(bar, Indexed("Font", h), t.timeText[h]);
  }
  for (int r = 0; r < kStateRows; ++r) {
    const std::string& key = J(kStateColourKeysUtf8[r]);
    for (int g = 0; g < kColourGroups; ++g) {
      put(key, Indexed("Color", g), t.programBack[r][g]);
      put(key, Indexed("Font", g), t.programText[r][g]);
    }
  }
}

std::vector<Colour> PaletteColours(const ColourTables& t) {
  std::vector<Colour> out;
  std::unordered_set<Colour> seen;
  auto add = [&](Colour c) {
    if (out.size() < kMaxPaletteColours && seen.insert(c).second) out.push_back(c);
  };
  for (int r = 0; r < kColourRows; ++r)
    for (int g = 0; g < kColourGroups; ++g) add(t.programBack[r][g]);
  for (int r = 0; r < kColourRows; ++r)
    for (int g = 0; g < kColourGroups; ++g) add(t.programText[r][g]);
  add(t.titleBack);
  add(t.titleText);
  for (Colour c : t.timeBack) add(c);
  for (Colour c : t.timeText) add(c);
  return out;
}

std::vector<std::string> GroupItems(const std::string& group) {
  std::vector<std::string> items;
  std::size_t begin = 0;
  while (begin <= group.size()) {
    std::size_t comma = group.find(',', begin);
    if (comma == std::string::npos) comma = group.size();
    if (comma > begin) items.push_back(group.substr(begin, comma - begin));
    begin = comma + 1;
  }
  return items;
}

std::string GroupFromItems(const std::vector<std::string>& items) {
  // An empty group must match nothing, not the programs without a category.
  if (items.empty()) return std::string();
  std::string text = ",";
  for (const std::string& i : items) text += i + ",";
  return text;
}

CategoryGroups ParseCategoryList(const std::string& text) {
  CategoryGroups groups;
  std::size_t pos = 0;
  for (int g = 0; g < kCategoryGroups && pos < text.size(); ++g) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    if (line.find('\0') != std::string::npos) {
      // Not a text line: the group stays empty rather than matching by accident.
      DebugPrintf("CategoryList.dat: line %d holds binary bytes; group left empty", g + 1);
    } else {
      groups[g] = GroupFromItems(GroupItems(line));
    }
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    pos = end + 1;
  }
  return groups;
}

std::string FormatCategoryList(const CategoryGroups& groups) {
  std::string text;
  for (const std::string& g : groups) {
    std::vector<std::string> items = GroupItems(g);
    for (std::size_t i = 0; i < items.size(); ++i) text += (i ? "," : "") + items[i];
    text += "\r\n";
  }
  return text;
}

std::uint16_t ColourGroupOf(const CategoryGroups& groups, const std::string& categoryForSort) {
  const std::string key = "," + categoryForSort + ",";
  for (int g = 0; g < kCategoryGroups; ++g) {
    if (!groups[g].empty() && groups[g].find(key) != std::string::npos) return static_cast<std::uint16_t>(g + 1);
  }
  return 0;
}

void AssignColourGroups(const CategoryGroups& groups, const std::vector<GuideProgram*>& guide) {
  for (GuideProgram* p : guide) p->colourGroup = ColourGroupOf(groups, p->categoryForSort);
}
