#include "planner/shell/win/data_folder_dialog.h"

#include <shlobj.h>

#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/message_box.h"
#include "planner/reserve/reservation_checks.h"
#include "planner/shell/win/planner_plugins.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/tavora_app.h"

namespace {
std::string ItemText(HWND dialog, int id) {
  const int length = GetWindowTextLengthW(GetDlgItem(dialog, id));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetDlgItemTextW(dialog, id, &text[0], length + 1);
  text.resize(static_cast<std::size_t>(length));
  return WideToCp932(text);
}

class CDataFolderDlg : public DialogImpl<CDataFolderDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  explicit CDataFolderDlg(std::string folder) : folder(std::move(folder)) {}
  std::string folder;

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    SetItemText(IDC_FOLDER_EDIT, folder);
    return TRUE;
  }
  void OnBrowse() {
    std::string chosen = ItemText(Handle(), IDC_FOLDER_EDIT);
    if (ChooseFolder(Handle(), &chosen)) SetItemText(IDC_FOLDER_EDIT, chosen);
  }
  void OnOk() {
    const std::string text = ItemText(Handle(), IDC_FOLDER_EDIT);
    if (!IsFullFolderPath(text)) {
      ShowMessageBox(Handle(), TheApp().String(IDS_FOLDER_NOT_ABSOLUTE), TheApp().String(IDS_APP_TITLE),
                     MB_OK | MB_ICONEXCLAMATION);
      SetFocus(Item(IDC_FOLDER_EDIT));
      return;
    }
    folder = text;
    End(IDOK);
  }
  void OnCancel() { End(IDCANCEL); }
};
const CDataFolderDlg::MessageEntry CDataFolderDlg::kMessages[] = {
    {WM_INITDIALOG, &CDataFolderDlg::OnInitDialog}, {0, nullptr}};
const CDataFolderDlg::CommandEntry CDataFolderDlg::kCommands[] = {
    {IDOK, &CDataFolderDlg::OnOk}, {IDCANCEL, &CDataFolderDlg::OnCancel},
    {IDC_FOLDER_BROWSE, &CDataFolderDlg::OnBrowse}, {0, nullptr}};
}  // namespace

bool AskDataFolder(HWND owner, std::string* folder) {
  CDataFolderDlg dialog(*folder);
  if (dialog.RunModal(TheApp().instance, IDD_DATA_FOLDER, owner) != IDOK) return false;
  *folder = dialog.folder;
  return true;
}

bool ChooseFolder(HWND owner, std::string* folder) {
  if (Plugins().chooseFolder) return Plugins().chooseFolder(owner, folder);
  BROWSEINFOW bi{};
  bi.hwndOwner = owner;
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&bi);
  if (!list) return false;
  wchar_t path[MAX_PATH] = {};
  const bool ok = SHGetPathFromIDListW(list, path) != 0;
  CoTaskMemFree(list);
  if (ok) *folder = WideToCp932(path);
  return ok;
}
