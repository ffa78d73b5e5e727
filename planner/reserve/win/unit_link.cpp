#include "planner/reserve/win/unit_link.h"

#include <windows.h>

#include "common/debug_log.h"
#include "common/peer_names.h"
#include "common/text.h"
#include "common/win/peers.h"
#include "planner/shell/frame_unit_wait.h"

namespace {
// A unit the planner started and whose window is not there yet, and what was
// asked of it meanwhile. A second start in that time would only bring the
// first copy's window up.
UnitWindowWait g_starting;
bool g_calibrationWanted = false;
bool g_rescanWanted = false;
std::string g_unreportedFailure;
bool g_failureReported = false;

HWND UnitWindow() { return FindUnitWindow(); }

// WinExec of the unit's program with SW_HIDE, through CreateProcessW so that
// the path is never converted with the system's code page.
bool StartUnit(const std::string& programFolder) {
  const std::string program = programFolder + peer::kUnitProgramFile;
  const std::wstring path = Cp932ToWide(program);
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    DebugPrintf("Tavora: cannot start %s (error %lu)", program.c_str(), static_cast<unsigned long>(GetLastError()));
    // Without the unit nothing reserved is received: the user is told, once.
    if (!g_failureReported) g_unreportedFailure = program;
    return false;
  }
  g_failureReported = false;
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
  // A starting unit may have scanned the folder before this write.
  if (g_starting.Waiting()) {
    g_rescanWanted = true;
    return;
  }
  if (StartUnit(programFolder)) g_starting.Begin();
}

void StartUnitTimeReceiver(const std::string& programFolder) {
  if (HWND unit = UnitWindow()) {
    PostMessageW(unit, WM_COMMAND, peer::kCmdUnitStartTime, 0);
    return;
  }
  if (!g_starting.Waiting()) {
    if (!StartUnit(programFolder)) return;
    g_starting.Begin();
  }
  DebugOut("Tavora: the time calibration waits for the starting unit's window");
  g_calibrationWanted = true;
}

void UnitLinkTick() {
  if (!g_starting.Waiting()) return;
  HWND unit = UnitWindow();
  switch (g_starting.Tick(unit != nullptr)) {
    case UnitWindowWait::Step::Send:
      if (g_calibrationWanted) {
        DebugOut("Tavora: the started unit's window is there: time calibration sent");
        PostMessageW(unit, WM_COMMAND, peer::kCmdUnitStartTime, 0);
      }
      if (g_rescanWanted) PostMessageW(unit, WM_COMMAND, peer::kCmdUnitRescan, 0);
      g_calibrationWanted = g_rescanWanted = false;
      break;
    case UnitWindowWait::Step::GiveUp:
      DebugOut("Tavora: the started unit showed no window in time");
      g_calibrationWanted = g_rescanWanted = false;
      break;
    default:
      break;
  }
}

std::string TakeUnitStartFailure() {
  if (g_unreportedFailure.empty()) return std::string();
  g_failureReported = true;
  std::string failed;
  failed.swap(g_unreportedFailure);
  return failed;
}
