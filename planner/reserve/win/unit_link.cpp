#include "planner/reserve/win/unit_link.h"

#include <windows.h>

#include "common/debug_log.h"
#include "common/peer_names.h"
#include "common/text.h"

namespace {
// Under load a starting unit takes well over the 100 ms a fixed wait would
// give it; the window is looked for again for this long.
constexpr int kStartWaitSteps = 50;
constexpr DWORD kStartWaitStepMs = 100;

HWND UnitWindow() { return FindWindowW(nullptr, Cp932ToWide(J(peer::kUnitTitle)).c_str()); }

// WinExec of the unit's program with SW_HIDE, through CreateProcessW so that
// the path is never converted with the system's code page.
bool StartUnit(const std::string& programFolder) {
  const std::wstring path = Cp932ToWide(programFolder + peer::kUnitProgramFile);
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    DebugOut("Tavora: cannot start " + programFolder + peer::kUnitProgramFile);
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}
}  // namespace

void WakeUnit(const std::string& programFolder) {
  if (HWND unit = UnitWindow()) {
    PostMessageW(unit, WM_COMMAND, peer::kCmdUnitRescan, 0);
    return;
  }
  StartUnit(programFolder);
}

void StartUnitTimeReceiver(const std::string& programFolder) {
  HWND unit = UnitWindow();
  if (!unit) {
    if (!StartUnit(programFolder)) return;
    for (int step = 0; step < kStartWaitSteps && !unit; ++step) {
      Sleep(kStartWaitStepMs);
      unit = UnitWindow();
    }
  }
  if (unit) PostMessageW(unit, WM_COMMAND, peer::kCmdUnitStartTime, 0);
}
