// The history's modal dialogs and shared pieces, inside planner/history/win.
#pragma once
#include <windows.h>

#include <commctrl.h>

struct HistoryHost;
struct ReceivedEntry;

// Small icons of the history lists: 0 with a start file, 1 without, 2 failed;
// for list_view::SetSmallImages, which hands them to the list.
HIMAGELIST LoadHistoryIcons(HINSTANCE instance);
// Dialog 141 for one entry.
void ShowReceptionDetail(HWND owner, HistoryHost& host, const ReceivedEntry& entry);
