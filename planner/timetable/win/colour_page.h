// The colour design page (287) of the settings sheet: font, margin, title bar,
// time bar and program colours, and the named schemes of "ColorSave.Dat". It
// keeps its own copy of every value; nothing reaches the document before OK.
#pragma once
#include <windows.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win/dialog.h"
#include "planner/timetable/colour_schemes.h"

class TimetableModel;
class TimetableHost;

class CColourPage : public DialogImpl<CColourPage> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  CColourPage(TimetableModel& model, TimetableHost& host);
  // The page for a property sheet; this object must outlive the sheet.
  PROPSHEETPAGEW Page();
  // The page as a modeless child of another sheet (hidden until shown).
  HWND CreateChild(HWND sheet);
  // Called after every change of a value (the sheet enables its "更新").
  std::function<void(HWND page)> onChanged;
  // The page's values differ from those it opened or last saved with.
  bool Changed() const;
  // Writes the values; true when written.
  bool Save();
  // True after OK wrote the values.
  bool Applied() const { return applied_; }

 private:
  INT_PTR OnInit(WPARAM, LPARAM);
  INT_PTR OnDrawItem(WPARAM, LPARAM);
  INT_PTR OnNotify(WPARAM, LPARAM);
  void OnBold();
  void OnItalic();
  void OnColourButton(int id, UINT);
  void OnApply();
  Colour* ColourOf(int buttonId);
  void PickColour(int buttonId);
  void PickFont();
  void ShowFont();
  void LoadScheme();
  void RegisterScheme();
  void DeleteScheme();
  void FillSchemes(const std::string& select);
  int Hour() const;
  int StateRow() const;
  std::string ChosenScheme() const;
  void ValueChanged();

  TimetableModel& model_;
  TimetableHost& host_;
  ColourTables colours_;
  FontChoice font_;
  Colour outsideAtOpen_ = 0;
  ColourTables savedColours_;
  FontChoice savedFont_;
  std::string savedScheme_;
  std::vector<std::string> schemeNames_;
  COLORREF custom_[16] = {};
  bool applied_ = false;
};
