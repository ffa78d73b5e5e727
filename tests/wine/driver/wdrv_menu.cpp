// wdrvmenu.dll: loaded by wdrv into the program under test to read one menu
// bar item's state there (see menu_probe.h). It does what opening the item's
// popup does first: each popup on the way gets WM_INITMENUPOPUP from the
// window's own thread, so items the program sets there show as they are now.
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

extern "C" __declspec(dllexport) DWORD WINAPI MenuItemState(void* parameter) {
  MenuProbe& probe = *static_cast<MenuProbe*>(parameter);
  probe.found = -1;
  HMENU bar = GetMenu(probe.window);
  if (!bar) return 0;
  probe.found = 0;
  MenuPath path;
  if (!Find(bar, probe, &path)) return 0;
  // path[k] opens the popup path[k + 1].first, at its position in path[k].first.
  for (std::size_t k = 0; k + 1 < path.size(); ++k) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(probe.window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(path[k + 1].first),
                             MAKELPARAM(path[k].second, FALSE), SMTO_ABORTIFHUNG, 5000, &r)) {
      probe.found = -2;
      return 0;
    }
  }
  probe.state = GetMenuState(path.back().first, static_cast<UINT>(path.back().second), MF_BYPOSITION);
  probe.found = 1;
  return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
