// lvclose.dll, the package's custom action CloseRunningPrograms: run before
// the installer checks which files are in use, on install, upgrade and
// uninstall. Each running program of the suite is asked to end by its own exit
// command, in the order that keeps one from starting another again (the
// planner starts the unit), and the installer goes on only when every one of
// them has ended, so no program file stays locked.
//
// A program that does not end within LV_CLOSE_WAIT seconds (property, default
// 30) is named in the installer's error message: with a user watching it offers
// "再試行" and "キャンセル"; a silent install logs it and stops. Stopping here
// leaves the machine as it was: nothing has been changed yet.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <cwchar>
#include <string>
#include <vector>

#include "common/peer_names.h"
#include "common/text.h"

namespace {

// How long one program gets to end after its exit command. The unit asks first
// when receptions are reserved, so a watching user needs time to answer.
constexpr DWORD kDefaultWaitSeconds = 30;

struct Program {
  const char* displayNameUtf8;  // named in the message when it does not end
  int exitCommand;
  std::vector<HWND> (*find)();
};

std::vector<HWND> PlannerWindows() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND w, LPARAM out) -> BOOL {
        wchar_t title[512] = {};
        GetWindowTextW(w, title, 511);
        if (FindText(WideToCp932(title), J(peer::kPlannerTitleMark)) != std::string::npos)
          reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> UnitWindows() {
  HWND w = FindWindowW(nullptr, Cp932ToWide(J(peer::kUnitTitle)).c_str());
  return w ? std::vector<HWND>{w} : std::vector<HWND>{};
}

std::vector<HWND> SelectorWindows() {
  HWND w = FindWindowA(peer::kSelectorClassName, peer::kSelectorWindowName);
  return w ? std::vector<HWND>{w} : std::vector<HWND>{};
}

// The planner first: while it runs it starts the unit again whenever it misses it.
const Program kPrograms[] = {
    {u8"受信予約プログラム (Tavora.exe)", peer::kCmdPlannerExit, PlannerWindows},
    {u8"データ受信ユニット (Quillon.exe)", peer::kCmdUnitExit, UnitWindows},
    {u8"NEXA (nexa.exe)", peer::kCmdSelectorExit, SelectorWindows},
};

// Posts the exit command to every window of the program and waits until their
// processes have ended (the window alone going away does not free the file).
bool AskToEnd(const Program& program, DWORD waitMs) {
  const DWORD start = GetTickCount();
  for (HWND w : program.find()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(w, WM_COMMAND, program.exitCommand, 0);
    const DWORD spent = GetTickCount() - start;
    const DWORD left = spent < waitMs ? waitMs - spent : 0;
    if (process) {
      const DWORD waited = WaitForSingleObject(process, left);
      CloseHandle(process);
      if (waited != WAIT_OBJECT_0) return false;
    } else {
      while (IsWindow(w) && GetTickCount() - start < waitMs) Sleep(100);
      if (IsWindow(w)) return false;
    }
  }
  return program.find().empty();
}

class Record {
 public:
  explicit Record(unsigned fields) : handle_(MsiCreateRecord(fields)) {}
  ~Record() { MsiCloseHandle(handle_); }
  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;
  MSIHANDLE Get() const { return handle_; }

 private:
  MSIHANDLE handle_;
};

// A line in the installer's log.
void Log(MSIHANDLE install, const std::string& textCp932) {
  Record record(0);
  MsiRecordSetStringW(record.Get(), 0, Cp932ToWide(J(u8"lvclose: ") + textCp932).c_str());
  MsiProcessMessage(install, INSTALLMESSAGE_INFO, record.Get());
}

// True when the user chose to try again; a silent install answers no.
bool AskUserToRetry(MSIHANDLE install, const Program& program) {
  const std::string text = J(u8"「") + J(program.displayNameUtf8) +
                           J(u8"」が終了しませんでした。\nプログラムを終了してから［再試行］を押してください。\n"
                             u8"［キャンセル］を押すとインストールを中止します（何も変更されていません）。");
  Record record(0);
  MsiRecordSetStringW(record.Get(), 0, Cp932ToWide(text).c_str());
  const int answer = MsiProcessMessage(
      install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_RETRYCANCEL | MB_ICONEXCLAMATION), record.Get());
  return answer == IDRETRY;
}

DWORD WaitSeconds(MSIHANDLE install) {
  wchar_t value[32] = {};
  DWORD size = 32;
  if (MsiGetPropertyW(install, L"LV_CLOSE_WAIT", value, &size) != ERROR_SUCCESS || !value[0])
    return kDefaultWaitSeconds;
  return static_cast<DWORD>(std::wcstoul(value, nullptr, 10));
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall CloseRunningPrograms(MSIHANDLE install) {
  const DWORD waitMs = WaitSeconds(install) * 1000;
  for (const Program& program : kPrograms) {
    if (program.find().empty()) continue;
    Log(install, J(u8"asking ") + J(program.displayNameUtf8) + " to end");
    while (!AskToEnd(program, waitMs)) {
      Log(install, J(program.displayNameUtf8) + " did not end");
      if (!AskUserToRetry(install, program)) return ERROR_INSTALL_FAILURE;
    }
  }
  return ERROR_SUCCESS;
}
