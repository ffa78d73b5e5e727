#include "planner/shell/win/frame_toolbar.h"

#include <commctrl.h>

#include "common/text.h"
#include "common/win/dpi.h"
#include "planner/shell/win/resource.h"

namespace {
struct ToolButton {
  int image;  // index in the standard or view image list, after its offset
  int id;
  bool view;  // from the view image list
};
// Guide settings file, guide update, redisplay, reservation column, received
// list, settings: what the user reaches for every day.
const ToolButton kButtons[] = {
    {STD_FILEOPEN, ID_FILE_OPEN, false},
    {STD_REDOW, ID_GUIDE_UPDATE, false},
    {VIEW_DETAILS, ID_REDISPLAY, true},
    {VIEW_LIST, ID_RESERVE_COLUMN, true},
    {VIEW_LARGEICONS, ID_RECEIVED_LIST, true},
    {STD_PROPERTIES, ID_SETTINGS, false},
};
}  // namespace

HWND CreateFrameToolbar(HINSTANCE instance, HWND frame) {
  HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                             WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NORESIZE |
                                 CCS_NODIVIDER,
                             0, 0, 0, 0, frame, nullptr, instance, nullptr);
  if (!bar) return nullptr;
  SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // The system's 24-pixel images from 120 dpi on (16 scaled by 1.5 at 144).
  const bool large = Scaled(16) >= 20;
  if (large) SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(24, 24));
  const LRESULT stdBase = SendMessageW(bar, TB_LOADIMAGES, large ? IDB_STD_LARGE_COLOR : IDB_STD_SMALL_COLOR,
                                       reinterpret_cast<LPARAM>(HINST_COMMCTRL));
  const LRESULT viewBase = SendMessageW(bar, TB_LOADIMAGES, large ? IDB_VIEW_LARGE_COLOR : IDB_VIEW_SMALL_COLOR,
                                        reinterpret_cast<LPARAM>(HINST_COMMCTRL));
  TBBUTTON buttons[sizeof kButtons / sizeof kButtons[0]] = {};
  for (std::size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i) {
    buttons[i].iBitmap = static_cast<int>((kButtons[i].view ? viewBase : stdBase) + kButtons[i].image);
    buttons[i].idCommand = kButtons[i].id;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = BTNS_BUTTON;
  }
  SendMessageW(bar, TB_ADDBUTTONSW, sizeof kButtons / sizeof kButtons[0], reinterpret_cast<LPARAM>(buttons));
  SendMessageW(bar, TB_AUTOSIZE, 0, 0);
  return bar;
}

int ToolbarHeight(HWND toolbar) {
  if (!toolbar || !IsWindowVisible(toolbar)) return 0;
  const DWORD size = static_cast<DWORD>(SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0));
  return HIWORD(size) + Scaled(4);
}

void UpdateToolbarButtons(HWND toolbar, const std::function<bool(int id)>& enabled) {
  if (!toolbar) return;
  for (const ToolButton& b : kButtons)
    SendMessageW(toolbar, TB_ENABLEBUTTON, b.id, MAKELPARAM(enabled(b.id) ? TRUE : FALSE, 0));
}
