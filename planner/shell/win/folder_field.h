// The folder edit of a dialog with its "参照..." button: dialog 132 (data
// folder) and dialog 150 (storage folder) read, browse and check the field the
// same way.
#pragma once
#include <windows.h>

#include <string>

class Dialog;

// "参照...": the folder chooser starts at the field's text; a choice replaces it.
void BrowseIntoFolderField(Dialog& dialog, int editId);
// The field's folder when it is a full path (drive or machine name first);
// otherwise STR 5029 is shown, the focus goes back to the field and false is
// returned.
bool ReadFullFolderField(Dialog& dialog, int editId, std::string* folder);
