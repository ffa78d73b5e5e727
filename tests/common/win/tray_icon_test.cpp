// The notification-area icon: only a shown icon is changed or removed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/win/tray_icon.h"

namespace {

TEST(TrayIcon, OnlyAShownIconTakesANewIconAndTip) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
  ASSERT_NE(owner, nullptr);
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
  {
    TrayIcon tray(63);
    EXPECT_FALSE(tray.Modify(icon, "before"));
    ASSERT_TRUE(tray.Add(owner, 1, WM_APP, icon, "tip"));
    EXPECT_TRUE(tray.Shown());
    // A tip longer than the shell's holds is cut, not refused.
    EXPECT_TRUE(tray.Modify(icon, std::string(300, 'x')));
    tray.Remove();
    EXPECT_FALSE(tray.Shown());
    EXPECT_FALSE(tray.Modify(icon, "after"));
  }
  DestroyWindow(owner);
}

// The shell would keep the icon of a window that is gone until the mouse
// passes over it: the icon goes with its window.
TEST(TrayIcon, GoesWithItsWindow) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
  ASSERT_NE(owner, nullptr);
  TrayIcon tray(63);
  ASSERT_TRUE(tray.Add(owner, 1, WM_APP, LoadIconW(nullptr, MAKEINTRESOURCEW(32512)), "tip"));
  DestroyWindow(owner);
  EXPECT_FALSE(tray.Shown());
  EXPECT_FALSE(tray.Wanted());
}

}  // namespace
