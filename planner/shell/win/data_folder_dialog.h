// Dialog 132: the folder for received contents, asked at the first start.
#pragma once
#include <windows.h>

#include <string>

// false when cancelled; *folder holds the proposal on entry and the answer.
bool AskDataFolder(HWND owner, std::string* folder);
// The folder chooser behind every "参照..." button (dialog 212), starting at
// *folder; false when cancelled.
bool ChooseFolder(HWND owner, std::string* folder);
