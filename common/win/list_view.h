// Report-style list view helpers with cp932 texts.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <string>

namespace list_view {
void AddColumn(HWND list, int index, const std::string& textCp932, int width);
// Index of the new row, -1 on failure.
int AddRow(HWND list, int index, const std::string& textCp932, int image, LPARAM data);
void SetCellText(HWND list, int row, int column, const std::string& textCp932);
void SetImage(HWND list, int row, int image);
// The list view owns `images` from here on and destroys them with itself (the
// programs' lists have no LVS_SHAREIMAGELISTS): the caller must not destroy them.
void SetSmallImages(HWND list, HIMAGELIST images);
// First row whose item data is `data` and, when given, whose text is textCp932.
int FindRow(HWND list, LPARAM data, const std::string* textCp932 = nullptr);
LPARAM RowData(HWND list, int row);
int ClientWidth(HWND list);
}  // namespace list_view
