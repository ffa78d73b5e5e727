#include "planner/timetable/timetable_model.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "common/settings.h"
#include "planner/planner_values.h"
#include "planner/timetable/tavora_doc.h"

namespace {
namespace pv = planner_values;
// A category list beyond this is not one a user wrote.
constexpr std::size_t kMaxCategoryListBytes = 1 << 20;
}  // namespace

TimetableModel::TimetableModel(CTavoraDoc& doc, PlannerSettings& settings, FileSystem& fs, std::string programFolder)
    : doc_(doc), settings_(settings), fs_(fs), programFolder_(std::move(programFolder)) {
  // The fonts are built (and the grid measured) when the windows are made,
  // before the document loads the colours: the stored font is known from here.
  font_ = ReadFontChoice(settings_);
}

std::string TimetableModel::CategoryListPath() const { return WithBackslash(programFolder_) + "CategoryList.dat"; }
std::string TimetableModel::SchemePath() const { return WithBackslash(programFolder_) + "ColorSave.Dat"; }

void TimetableModel::ReadCategoryGroups() {
  groups_ = CategoryGroups();
  std::string text;
  if (!fs_.ReadAll(CategoryListPath(), &text)) return;
  if (text.size() > kMaxCategoryListBytes) {
    DebugPrintf("%s: %zu bytes is not a category list; ignored", CategoryListPath().c_str(), text.size());
    return;
  }
  groups_ = ParseCategoryList(text);
}

void TimetableModel::AssignColourGroups() { ::AssignColourGroups(groups_, doc_.Programs().Ordered()); }

void TimetableModel::BuildTitleRows() {
  TitleRowInput in;
  in.kind = doc_.titleKind;
  in.sortTitle = doc_.sortTitle;
  in.hideTitle = doc_.hideTitle;
  in.filterOn = doc_.filterOn != 0;
  in.rules = &rules_;
  const std::string key = pv::TitleKey(doc_.titleKind);
  in.storedWidth = [this, &key](const std::string& title) { return settings_.Int(key, title, pv::kTitleWidth); };
  rows_ = ::BuildTitleRows(doc_.Programs().Ordered(), in);
  SyncWidths();
}

void TimetableModel::FreeTitleRows() {
  for (GuideProgram* p : doc_.Programs().Ordered()) p->nextInRow = nullptr;
  rows_.clear();
  ++generation_;
}

void TimetableModel::LoadColours() {
  colours_ = ReadColourTables(settings_);
  font_ = ReadFontChoice(settings_);
  ++generation_;
}

void TimetableModel::BuildDisplayRules() { rules_ = ReadDisplayRules(settings_); }
void TimetableModel::SaveDisplayRules() { WriteDisplayRules(settings_, rules_); }

void TimetableModel::SyncWidths() {
  ++generation_;
  doc_.titleWidths.clear();
  for (const TitleRow& r : rows_) doc_.titleWidths.push_back(TitleWidth{r.name, r.widthPercent});
}

bool TimetableModel::IsEnabled(int command) const {
  if (command == kCmdFilterToggle) return !rules_.empty();
  return true;
}

bool TimetableModel::IsChecked(int command) const { return command == kCmdFilterToggle && doc_.filterOn; }

void TimetableModel::ToggleFilter() {
  if (!IsEnabled(kCmdFilterToggle)) return;
  doc_.filterOn = doc_.filterOn ? 0 : 1;
  BuildTitleRows();
}

void TimetableModel::ApplyFilter(DisplayRules rules) {
  const bool wasEmpty = rules_.empty();
  rules_ = std::move(rules);
  if (rules_.empty()) doc_.filterOn = 0;
  else if (wasEmpty) doc_.filterOn = 1;
  BuildTitleRows();
}

void TimetableModel::ApplyTitleOrder(const std::vector<std::string>& names) {
  const std::string key = pv::TitleKey(doc_.titleKind);
  doc_.sortTitle = SortTitleFrom(names);
  doc_.hideTitle.clear();
  settings_.SetText(key, pv::kSortTitle, doc_.sortTitle);
  settings_.SetText(key, pv::kHideTitle, doc_.hideTitle);
  for (const TitleRow& r : rows_) settings_.SetInt(key, r.name, r.widthPercent);
  FreeTitleRows();
  BuildTitleRows();
}

void TimetableModel::ToggleWidened(std::size_t row) {
  if (row >= rows_.size()) return;
  ::ToggleWidened(rows_[row]);
  SyncWidths();
}

void TimetableModel::SetWidthPercent(std::size_t row, std::int32_t percent) {
  if (row >= rows_.size()) return;
  rows_[row].widthPercent = SaneWidthPercent(percent);
  rows_[row].widened = rows_[row].widthPercent != pv::kTitleWidth ? 1 : 0;
  SyncWidths();
}

bool TimetableModel::SaveCategoryGroups(const CategoryGroups& groups) {
  groups_ = groups;
  AssignColourGroups();
  return ReplaceFileContents(fs_, CategoryListPath(), FormatCategoryList(groups_));
}

void TimetableModel::ApplyColours(const ColourTables& colours, const FontChoice& font) {
  // The margin colour is read once at start-up; the new one is stored for then.
  const Colour outside = colours_.outside;
  colours_ = colours;
  colours_.DeriveRows();
  font_ = font;
  WriteColourTables(settings_, colours_);
  WriteFontChoice(settings_, font_);
  colours_.outside = outside;
  ++generation_;
}

GridGeometry TimetableModel::Layout(std::int32_t charWidth, std::int32_t charHeight) const {
  GridInput in;
  in.charWidth = charWidth;
  in.charHeight = charHeight;
  in.vZoom = doc_.vZoom;
  in.hZoom = doc_.hZoom;
  in.dayMode24 = doc_.dayMode24 != 0;
  in.firstHourOffset = doc_.firstHourOffset;
  in.periodStart = doc_.periodStartCopy;
  in.firstDayStart = doc_.firstDayStart;
  in.periodEnd = doc_.periodEnd;
  in.dpi = doc_.dpi;
  return GridGeometry(in, rows_);
}
