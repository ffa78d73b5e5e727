#include "planner/shell/win/folder_field.h"

#include "common/text.h"
#include "common/win/message_box.h"
#include "planner/reserve/reservation_checks.h"
#include "planner/shell/win/data_folder_dialog.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/tavora_app.h"

std::string DialogItemText(HWND dialog, int id) {
  const int length = GetWindowTextLengthW(GetDlgItem(dialog, id));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetDlgItemTextW(dialog, id, &text[0], length + 1);
  text.resize(static_cast<std::size_t>(length));
  return WideToCp932(text);
}

void BrowseIntoFolderField(HWND dialog, int editId) {
  std::string chosen = DialogItemText(dialog, editId);
  if (ChooseFolder(dialog, &chosen)) SetDlgItemTextW(dialog, editId, Cp932ToWide(chosen).c_str());
}

bool ReadFullFolderField(HWND dialog, int editId, std::string* folder) {
  const std::string text = DialogItemText(dialog, editId);
  if (!IsFullFolderPath(text)) {
    ShowMessageBox(dialog, TheApp().String(IDS_FOLDER_NOT_ABSOLUTE), TheApp().String(IDS_APP_TITLE),
                   MB_OK | MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(dialog, editId));
    return false;
  }
  *folder = text;
  return true;
}
