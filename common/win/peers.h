// Finding the suite's other programs by their windows, the start-up lock that
// keeps two copies of one program from starting together, and the desktop's
// work area the programs place their windows in.
#pragma once
#include <windows.h>

#include <string>

#include "common/win/scoped_win.h"

// The planner's main window: the first top-level window whose title holds
// the planner's mark (its title also names the open guide); null when none.
HWND FindPlannerWindow();
// The unit's main window, by its exact title; null when the unit is not running.
HWND FindUnitWindow();

// Held from a program's start until its window exists: created for writing
// with other writers denied, in the temporary folder under the program's file
// name + ".lok", and deleted when released.
class StartLock {
 public:
  StartLock();
  ~StartLock() { Release(); }
  StartLock(StartLock&& other) noexcept = default;
  StartLock& operator=(StartLock&&) = delete;
  StartLock(const StartLock&) = delete;
  StartLock& operator=(const StartLock&) = delete;

  // Tries to take the lock; false while another copy holds it.
  bool Take();
  bool Held() const { return static_cast<bool>(handle_); }
  void Release();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;  // cp932
  ScopedFile handle_;
};

// The desktop's icon area (the screen without the task bar): the untitled
// view window of the program manager where there is one, else the whole screen.
RECT DesktopWorkArea();
