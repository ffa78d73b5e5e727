// The reception history's windows in the planner: the received-programs dialog
// (136, modeless, one at a time) with its detail (141) and past records (143),
// and the missed-programs notice (144).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

class CTavoraDoc;
class FileSystem;
class PlannerSettings;
class ReceptionHistory;

// What the dialogs use of the planner; filled by the main frame.
struct HistoryHost {
  HINSTANCE instance = nullptr;
  CTavoraDoc* doc = nullptr;
  ReceptionHistory* history = nullptr;
  PlannerSettings* settings = nullptr;
  FileSystem* fs = nullptr;
  // The frame's bubble window over a hovered row; cp932 text.
  std::function<void(HWND owner, POINT screen, const std::string& text)> showBubble;
  std::function<void()> closeBubble;
  // All views repainted after the received list changed.
  std::function<void()> redrawViews;
};

// The planner's one received list (Tavora.exe), made once the document exists;
// old content deletion works on it too.
ReceptionHistory& PlannerReceptionHistory();

// Command 32810: opens the dialog, or brings the open one to the front.
void OpenReceivedList(HWND frame, HistoryHost& host);
// After a collection changed the list: the open dialog rebuilds its rows.
void RefreshReceivedList();
// For the frame's message loop: keys of the modeless dialog.
bool IsHistoryDialogMessage(MSG* msg);
// Before the frame is destroyed.
void CloseHistoryWindows();
// The received-programs dialog's window, or nullptr.
HWND ReceivedListWindow();

// Once after the document's first load: when the unit counted missed programs,
// the count is reset and dialog 144 shows it.
void ShowMissedProgramsNotice(HWND frame, HistoryHost& host);

// Modal dialogs, also opened from elsewhere.
void ShowPastRecords(HWND owner, HistoryHost& host);
