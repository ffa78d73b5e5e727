// Sizes of the history dialogs.
#include "planner/history/win/dialog_layout.h"

#include <commctrl.h>

#include <algorithm>

#include "common/settings.h"
#include "common/text.h"
#include "common/dpi_scale.h"
#include "common/win/dpi.h"
#include "common/win/list_view.h"

void DialogLayout::Capture(HWND dialog, int listId, const std::vector<int>& rightAnchored) {
  RECT client;
  GetClientRect(dialog, &client);
  client_ = {client.right, client.bottom};
  listId_ = listId;
  controls_.clear();
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const int id = GetDlgCtrlID(child);
    if (id == listId) {
      list_ = r;
      continue;
    }
    controls_.push_back({id, r, std::find(rightAnchored.begin(), rightAnchored.end(), id) != rightAnchored.end()});
  }
}

void DialogLayout::Apply(HWND dialog) {
  RECT client;
  GetClientRect(dialog, &client);
  const int dx = client.right - client_.cx;
  const int dy = client.bottom - client_.cy;
  HWND list = GetDlgItem(dialog, listId_);
  if (list) {
    const int least = Scaled(40);
    MoveWindow(list, list_.left, list_.top, std::max<int>(least, list_.right - list_.left + dx),
               std::max<int>(least, list_.bottom - list_.top + dy), TRUE);
  }
  for (const Placed& p : controls_) {
    HWND child = GetDlgItem(dialog, p.id);
    if (!child || p.id == -1 || p.id == 0xFFFF) continue;
    SetWindowPos(child, nullptr, p.rect.left + (p.right ? dx : 0), p.rect.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(dialog, nullptr, TRUE);
}

void RestoreDialogSize(HWND dialog, const PlannerSettings& settings, const char* subKey) {
  const int width = settings.Int(subKey, kWindowWidthValue, 0);
  const int height = settings.Int(subKey, kWindowHeightValue, 0);
  // 0 keeps the size the resource gives; a size beyond any screen is not taken.
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return;
  SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void StoreDialogSize(HWND dialog, PlannerSettings& settings, const char* subKey) {
  RECT r;
  if (IsIconic(dialog) || !GetWindowRect(dialog, &r)) return;
  settings.SetInt(subKey, kWindowWidthValue, r.right - r.left);
  settings.SetInt(subKey, kWindowHeightValue, r.bottom - r.top);
}

void AddColumns(HWND list, const PlannerSettings& settings, const char* subKey,
                const std::vector<ColumnSpec>& columns) {
  // Widths are stored at 96 dpi, as the defaults are given.
  const std::vector<std::int32_t> widths = ReadColumnWidths(settings, subKey, columns);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    list_view::AddColumn(list, static_cast<int>(i), J(columns[i].title), Scaled(widths[i]));
  }
}

void StoreColumnWidths(HWND list, PlannerSettings& settings, const char* subKey,
                       const std::vector<ColumnSpec>& columns) {
  std::vector<std::int32_t> widths;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    widths.push_back(UnscaleForDpi(static_cast<std::int32_t>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0)), ScreenDpi()));
  }
  WriteColumnWidths(settings, subKey, columns, widths);
}
