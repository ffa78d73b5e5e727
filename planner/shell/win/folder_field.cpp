#include "planner/shell/win/folder_field.h"

#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/message_box.h"
#include "planner/reserve/reservation_checks.h"
#include "planner/shell/win/data_folder_dialog.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/tavora_app.h"

void BrowseIntoFolderField(Dialog& dialog, int editId) {
  std::string chosen = dialog.ItemText(editId);
  if (ChooseFolder(dialog.Handle(), &chosen)) dialog.SetItemText(editId, chosen);
}

bool ReadFullFolderField(Dialog& dialog, int editId, std::string* folder) {
  const std::string text = dialog.ItemText(editId);
  if (!IsFullFolderPath(text)) {
    ShowMessageBox(dialog.Handle(), TheApp().String(IDS_FOLDER_NOT_ABSOLUTE), TheApp().String(IDS_APP_TITLE),
                   MB_OK | MB_ICONEXCLAMATION);
    SetFocus(dialog.Item(editId));
    return false;
  }
  *folder = text;
  return true;
}
