// The folder chooser "フォルダの選択" (dialog 212) behind every "参照..."
// button: drives, network places and folders in a tree, enumerated when a
// node is opened; the free space of the selected folder's volume.
#pragma once
#include <windows.h>

#include <string>

// True with the chosen folder (cp932) when the user pressed OK.
bool ChooseFolder(HINSTANCE instance, HWND owner, const std::string& initial, std::string* chosen);

// How long a network place may take to answer before it is shown as unavailable.
constexpr DWORD kNetworkAnswerMs = 3000;
