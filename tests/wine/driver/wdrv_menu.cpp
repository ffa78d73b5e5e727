// wdrvmenu.dll: hooked by wdrv into the program under test's window thread to
// read one menu bar item's state there (see menu_probe.h). It does what
// opening the item's popup does first: each popup on the way gets
// WM_INITMENUPOPUP on the window's own thread, so items the program sets there
// show as they are now.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "menu_probe.h"

namespace {

// The popups from the bar down to the item: each menu with the position of
// the item that opens the next one (the last: the item's own position).
using MenuPath = std::vector<std::pair<HMENU, int>>;

bool SameText(HMENU menu, int position, const wchar_t* wanted) {
  wchar_t text[512] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 511, MF_BYPOSITION);
  const std::wstring item = text;
  return item == wanted || item.substr(0, item.find(L'\t')) == wanted;
}

bool Find(HMENU menu, const MenuProbe& probe, MenuPath* path) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    path->emplace_back(menu, i);
    HMENU sub = GetSubMenu(menu, i);
    const bool match = probe.id ? !sub && GetMenuItemID(menu, i) == probe.id : SameText(menu, i, probe.text);
    if (match || (sub && Find(sub, probe, path))) return true;
    path->pop_back();
  }
  return false;
}

}  // namespace

namespace {

void ReadState(MenuProbe& probe) {
  probe.found = -1;
  HMENU bar = GetMenu(probe.window);
  if (!bar) return;
  probe.found = 0;
  MenuPath path;
  if (!Find(bar, probe, &path)) return;
  // path[k] opens the popup path[k + 1].first, at its position in path[k].first.
  // On the window's thread: the frame's handler runs as for a popup opening.
  for (std::size_t k = 0; k + 1 < path.size(); ++k)
    SendMessageW(probe.window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(path[k + 1].first),
                 MAKELPARAM(path[k].second, FALSE));
  probe.state = GetMenuState(path.back().first, static_cast<UINT>(path.back().second), MF_BYPOSITION);
  probe.found = 1;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT probeMessage = RegisterWindowMessageW(WDRV_MENU_MESSAGE);
  if (code == HC_ACTION) {
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (m->message == probeMessage && m->lParam) ReadState(*reinterpret_cast<MenuProbe*>(m->lParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
