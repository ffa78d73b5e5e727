// What the timetable shows beside the guide: the title rows, the display
// rules, the category groups, the colour tables and the font choice. The
// document's hooks for these steps forward here; the views read it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "planner/timetable/colour_schemes.h"
#include "planner/timetable/colour_tables.h"
#include "planner/timetable/grid_geometry.h"
#include "planner/timetable/title_rows.h"

class CTavoraDoc;
class FileSystem;
class PlannerSettings;

constexpr int kCmdFilterToggle = 32813;
constexpr int kCmdFilterEdit = 32815;
constexpr int kCmdTitleOrder = 32781;

class TimetableModel {
 public:
  // programFolder holds "CategoryList.dat" and "ColorSave.Dat".
  TimetableModel(CTavoraDoc& doc, PlannerSettings& settings, FileSystem& fs, std::string programFolder);

  // --- the document's hook steps ---
  void ReadCategoryGroups();
  void AssignColourGroups();
  void BuildTitleRows();
  void FreeTitleRows();
  void LoadColours();
  void BuildDisplayRules();
  void SaveDisplayRules();

  // --- commands ---
  bool IsEnabled(int command) const;
  bool IsChecked(int command) const;
  void ToggleFilter();
  // The filter dialog's OK: switches the filter as the menu promises and rebuilds.
  void ApplyFilter(DisplayRules rules);
  // The title order dialog's OK.
  void ApplyTitleOrder(const std::vector<std::string>& names);
  // Column heading actions.
  void ToggleWidened(std::size_t row);
  void SetWidthPercent(std::size_t row, std::int32_t percent);
  // The category editor's OK: the groups are kept and "CategoryList.dat" rewritten.
  bool SaveCategoryGroups(const CategoryGroups& groups);
  // The colour page's OK: tables and font written to the registry and taken.
  void ApplyColours(const ColourTables& colours, const FontChoice& font);

  // The grid for the current document state and font metrics.
  GridGeometry Layout(std::int32_t charWidth, std::int32_t charHeight) const;

  const std::vector<TitleRow>& Rows() const { return rows_; }
  const DisplayRules& Rules() const { return rules_; }
  const CategoryGroups& Groups() const { return groups_; }
  const ColourTables& Colours() const { return colours_; }
  const FontChoice& Font() const { return font_; }
  std::vector<Colour> Palette() const { return PaletteColours(colours_); }
  std::string CategoryListPath() const;
  std::string SchemePath() const;
  // Grows with every change of rows, widths or colours, so the views know when
  // to lay out again whoever caused the change.
  std::uint64_t Generation() const { return generation_; }
  CTavoraDoc& Doc() { return doc_; }
  PlannerSettings& Settings() { return settings_; }
  FileSystem& Files() { return fs_; }

 private:
  void SyncWidths();
  CTavoraDoc& doc_;
  PlannerSettings& settings_;
  FileSystem& fs_;
  std::string programFolder_;
  std::vector<TitleRow> rows_;
  DisplayRules rules_;
  CategoryGroups groups_;
  ColourTables colours_;
  FontChoice font_;
  std::uint64_t generation_ = 0;
};
