// What wdrv asks of wdrvmenu.dll, loaded into the program under test: a menu
// belongs to the process that made it, and Wine reads menus of its own
// process only, so the item's state is read there, on the window's own thread
// by a WH_CALLWNDPROC hook when the driver sends it the probe message. No
// thread is started in the program: threads started in it from outside
// (CreateRemoteThread) could leave it deadlocked under Wine. The request lies
// in memory the driver wrote in that process; the message's lParam is its address.
#pragma once
#include <windows.h>

struct MenuProbe {
  HWND window;          // the top-level window whose menu bar is read
  UINT id;              // the item's command id, or 0 to find it by its text
  wchar_t text[256];    // the item's text, or its part before the tab
  UINT state;           // out: GetMenuState's flags
  int found;            // out: 1 found, 0 no such item, -1 no menu bar, -2 window does not answer
};

// The hook procedure, exported by that name, and the message it answers.
#define WDRV_MENU_HOOK "MenuHook"
#define WDRV_MENU_MESSAGE L"wdrv menu probe"
