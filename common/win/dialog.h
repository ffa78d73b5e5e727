// Dialogs of the programs: each class lists the window messages, registered
// messages and command ids it handles in static tables ended by a zero entry
// (common/win/message_table.h; each table is optional):
//
//   const CMainDlg::MessageEntry CMainDlg::kMessages[] = {{WM_TIMER, &CMainDlg::OnTimer}, {0, nullptr}};
//   const CMainDlg::CommandEntry CMainDlg::kCommands[] = {{1004, &CMainDlg::OnRescan}, {0, nullptr}};
//
// and derives from DialogImpl<CMainDlg>. IDOK and IDCANCEL a class does not
// list end a modal dialog with that id and destroy a modeless one; a child
// dialog (a page) leaves them to its parent. Texts are cp932 and reach the W
// calls converted with code page 932.
#pragma once
#include <windows.h>
#include <prsht.h>

#include <string>

#include "common/win/message_table.h"
#include "common/win/window_base.h"

class Dialog : public WindowBase {
 public:
  INT_PTR RunModal(HINSTANCE instance, int resourceId, HWND parent);
  HWND CreateModeless(HINSTANCE instance, int resourceId, HWND parent);
  // The dialog as a page of a property sheet; this object must outlive the
  // sheet. `title` must outlive it too.
  PROPSHEETPAGEW SheetPage(HINSTANCE instance, int resourceId, const wchar_t* title);
  void End(INT_PTR result);          // modal dialogs
  HWND Item(int id) const { return GetDlgItem(Handle(), id); }

  // The controls by id: cp932 text, numbers, check state, enabled state.
  std::string ItemText(int id) const;
  void SetItemText(int id, const std::string& cp932);
  // The unsigned number the item shows; false when it shows none.
  bool ItemNumber(int id, UINT* value) const;
  void SetItemNumber(int id, UINT value);
  bool Checked(int id) const { return IsDlgButtonChecked(Handle(), id) == BST_CHECKED; }
  void Check(int id, bool on) { CheckDlgButton(Handle(), id, on ? BST_CHECKED : BST_UNCHECKED); }
  void Enable(int id, bool on) { EnableWindow(Item(id), on ? TRUE : FALSE); }
  void SetTitle(const std::string& cp932);

 protected:
  Dialog() : WindowBase(DWLP_USER) {}
  // For a table entry of IDOK or IDCANCEL that must leave the dialog as it is.
  void KeepOpen() {}
  // From the class's tables; false when the message is not the class's.
  virtual bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) = 0;

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR Run(Dialog* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool DefaultCommand(WPARAM wParam);
  bool modal_ = false;
};

template <class T>
class DialogImpl : public Dialog, public OptionalTables<T, INT_PTR> {
 public:
  // Handlers return the dialog procedure's result (TRUE: handled).
  using typename OptionalTables<T, INT_PTR>::MessageEntry;
  using typename OptionalTables<T, INT_PTR>::RegisteredEntry;
  using typename OptionalTables<T, INT_PTR>::CommandEntry;

 protected:
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override {
    return OptionalTables<T, INT_PTR>::DispatchTables(*static_cast<T*>(this), message, wParam, lParam, TRUE, result);
  }
};

// A string of the program's string table, as cp932.
std::string LoadCp932String(HINSTANCE instance, UINT id);
