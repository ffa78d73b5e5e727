#include "common/win/list_view.h"

#include <vector>

#include "common/text.h"

namespace list_view {

void AddColumn(HWND list, int index, const std::string& textCp932, int width) {
  std::wstring text = Cp932ToWide(textCp932);
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = &text[0];
  column.cx = width;
  column.iSubItem = index;
  SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

int AddRow(HWND list, int index, const std::string& textCp932, int image, LPARAM data) {
  std::wstring text = Cp932ToWide(textCp932);
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = index;
  item.pszText = &text[0];
  item.iImage = image;
  item.lParam = data;
  return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetCellText(HWND list, int row, int column, const std::string& textCp932) {
  std::wstring text = Cp932ToWide(textCp932);
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = &text[0];
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void SetImage(HWND list, int row, int image) {
  LVITEMW item = {};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iImage = image;
  SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void SetSmallImages(HWND list, HIMAGELIST images) {
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

LPARAM RowData(HWND list, int row) {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}

static std::string RowText(HWND list, int row) {
  std::vector<wchar_t> buffer(512);
  LVITEMW item = {};
  item.iSubItem = 0;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  const LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return WideToCp932(std::wstring(buffer.data(), static_cast<std::size_t>(n)));
}

int FindRow(HWND list, LPARAM data, const std::string* textCp932) {
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    if (RowData(list, row) != data) continue;
    if (textCp932 && RowText(list, row) != *textCp932) continue;
    return row;
  }
  return -1;
}

int ClientWidth(HWND list) {
  RECT r;
  GetClientRect(list, &r);
  return r.right - r.left;
}

}  // namespace list_view
