// What every page of the settings sheet shares: a modeless child dialog with
// its tables, number helpers, and the change notice to the sheet.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <string>
#include "common/text.h"
#include "common/win/dialog.h"
#include "planner/shell/win/settings_sheet.h"

template <class T>
class CSettingsPage : public DialogImpl<T>, public SettingsPageWindow {
 public:
  explicit CSettingsPage(SettingsContext& context) : context_(context) {}
  HWND CreatePage(HINSTANCE instance, HWND sheet) override {
    return this->CreateModeless(instance, T::kDialogId, sheet);
  }
  HWND PageWindow() const override { return this->Handle(); }

 protected:
  void SetNumber(int id, long value) { this->SetItemText(id, std::to_string(value)); }
  void SpinRange(int id, int low, int high) { SendMessageW(this->Item(id), UDM_SETRANGE32, low, high); }
  void NotifyChange() {
    if (this->Handle()) NotifySheetChanged(this->Handle());
  }
  // Loading fills controls, whose change notices must not count as edits.
  bool loading_ = false;
  SettingsContext& context_;
};
