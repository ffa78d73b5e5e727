#include "planner/shell/win/data_folder_dialog.h"

#include "common/text.h"
#include "common/win/dialog.h"
#include "planner/shell/win/folder_field.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/settings_folder_chooser.h"
#include "planner/shell/win/tavora_app.h"

namespace {
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
  void OnBrowse() { BrowseIntoFolderField(*this, IDC_FOLDER_EDIT); }
  void OnOk() {
    if (ReadFullFolderField(*this, IDC_FOLDER_EDIT, &folder)) End(IDOK);
  }
};
const CDataFolderDlg::MessageEntry CDataFolderDlg::kMessages[] = {
    {WM_INITDIALOG, &CDataFolderDlg::OnInitDialog}, {0, nullptr}};
const CDataFolderDlg::CommandEntry CDataFolderDlg::kCommands[] = {
    {IDOK, &CDataFolderDlg::OnOk}, {IDC_FOLDER_BROWSE, &CDataFolderDlg::OnBrowse}, {0, nullptr}};
}  // namespace

bool AskDataFolder(HWND owner, std::string* folder) {
  CDataFolderDlg dialog(*folder);
  if (dialog.RunModal(TheApp().instance, IDD_DATA_FOLDER, owner) != IDOK) return false;
  *folder = dialog.folder;
  return true;
}

bool ChooseFolder(HWND owner, std::string* folder) {
  std::string chosen;
  if (!ChooseFolder(TheApp().instance, owner, *folder, &chosen)) return false;
  *folder = chosen;
  return true;
}
