// The timetable's colours: the tables the document keeps, their registry
// values, the derived hover and highlight rows, the palette and the category
// groups that pick a program's column of the tables.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct GuideProgram;
class PlannerSettings;

using Colour = std::uint32_t;  // COLORREF 0x00BBGGRR

constexpr int kStateRows = 5;      // normal, reserved, received (open), received, failed
constexpr int kColourRows = 20;    // + hover 5-9, highlight 10-14, highlight with hover 15-19
constexpr int kColourGroups = 16;  // 0 standard, 1-15 category groups
constexpr int kCategoryGroups = 15;

constexpr Colour kDefaultGrey = 0xC0C0C0;
// Backgrounds of the state rows 0-4 before the user chose any.
extern const Colour kDefaultStateBackground[kStateRows];
// Registry sub-keys of the state rows ("Environment\番組背景NML" ...), UTF-8.
extern const char* const kStateColourKeysUtf8[kStateRows];
// Names of the state rows as the colour page lists them, UTF-8.
extern const char* const kStateNamesUtf8[kStateRows];

struct ColourTables {
  Colour outside = kDefaultGrey;  // "予定表背景": the area outside the cells
  Colour titleBack = kDefaultGrey;
  Colour titleText = 0;
  std::array<Colour, 24> timeBack{};
  std::array<Colour, 24> timeText{};
  Colour programBack[kColourRows][kColourGroups] = {};
  Colour programText[kColourRows][kColourGroups] = {};

  ColourTables();
  // Rows 5-19 from rows 0-4.
  void DeriveRows();
  Colour Back(std::int32_t row, std::int32_t group) const;
  Colour Text(std::int32_t row, std::int32_t group) const;
};

// One brightening step of a background.
Colour Brighten(Colour c);
// The text colour of the highlight rows: each component to 0xFF above 0xBF, else 0.
Colour HighlightText(Colour c);

// Reads every value (missing ones give the defaults) and derives rows 5-19.
ColourTables ReadColourTables(const PlannerSettings& settings);
// Writes rows 0-4, the bars and the outside colour back.
void WriteColourTables(PlannerSettings& settings, const ColourTables& tables);

// Every distinct colour of the program rows, the title bar and the time bar,
// in that order, at most kMaxPaletteColours.
constexpr std::size_t kMaxPaletteColours = 501;
std::vector<Colour> PaletteColours(const ColourTables& tables);

// The category groups 1-15, each kept as ",a,b," (empty when the group lists
// nothing), from the text of "CategoryList.dat".
using CategoryGroups = std::array<std::string, kCategoryGroups>;
CategoryGroups ParseCategoryList(const std::string& text);
std::string FormatCategoryList(const CategoryGroups& groups);
// The categories of one group, in order.
std::vector<std::string> GroupItems(const std::string& group);
std::string GroupFromItems(const std::vector<std::string>& items);
// The first group 1-15 listing the category; 0 when none does.
std::uint16_t ColourGroupOf(const CategoryGroups& groups, const std::string& categoryForSort);
void AssignColourGroups(const CategoryGroups& groups, const std::vector<GuideProgram*>& guide);
