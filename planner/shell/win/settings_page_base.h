// What every page of the settings sheet shares: a modeless child dialog with
// its tables, text and number helpers, and the change notice to the sheet.
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
  std::string Text(int id) const {
    HWND w = this->Item(id);
    int n = GetWindowTextLengthW(w);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(w, &text[0], n + 1);
    text.resize(static_cast<std::size_t>(n));
    return WideToCp932(text);
  }
  void SetNumber(int id, long value) { this->SetItemText(id, std::to_string(value)); }
  bool Checked(int id) const { return IsDlgButtonChecked(this->Handle(), id) == BST_CHECKED; }
  void Check(int id, bool on) { CheckDlgButton(this->Handle(), id, on ? BST_CHECKED : BST_UNCHECKED); }
  void Enable(int id, bool on) { EnableWindow(this->Item(id), on ? TRUE : FALSE); }
  void SpinRange(int id, int low, int high) { SendMessageW(this->Item(id), UDM_SETRANGE32, low, high); }
  void NotifyChange() {
    if (this->Handle()) NotifySheetChanged(this->Handle());
  }
  // Loading fills controls, whose change notices must not count as edits.
  bool loading_ = false;
  SettingsContext& context_;
};
