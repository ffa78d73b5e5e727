// Resizable history dialogs: the list follows the window's size, the controls
// under it keep their distance to the bottom (and, when asked, the right) edge;
// the size is kept in the registry with the column widths.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "planner/history/history_texts.h"

class PlannerSettings;

class DialogLayout {
 public:
  // Records the current places; `list` grows, `rightAnchored` controls move with
  // the right edge, every other control with the bottom edge.
  void Capture(HWND dialog, int listId, const std::vector<int>& rightAnchored);
  void Apply(HWND dialog);

 private:
  struct Placed {
    int id;
    RECT rect;
    bool right;
  };
  std::vector<Placed> controls_;
  int listId_ = 0;
  RECT list_{};
  SIZE client_{};
};

// Window size and column widths under `subKey` ("ReportSize", "LogViewSize").
void RestoreDialogSize(HWND dialog, const PlannerSettings& settings, const char* subKey);
void StoreDialogSize(HWND dialog, PlannerSettings& settings, const char* subKey);
void AddColumns(HWND list, const PlannerSettings& settings, const char* subKey, const std::vector<ColumnSpec>& columns);
void StoreColumnWidths(HWND list, PlannerSettings& settings, const char* subKey, const std::vector<ColumnSpec>& columns);
