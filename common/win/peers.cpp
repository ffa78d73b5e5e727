#include "common/win/peers.h"

#include "common/path.h"
#include "common/peer_names.h"
#include "common/text.h"

namespace {
std::string ThisProgramFileName() {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::string path = WideToCp932(module);
  return LeafName(path);
}
}  // namespace

HWND FindPlannerWindow() {
  const std::wstring mark = Cp932ToWide(J(peer::kPlannerTitleMark));
  for (HWND w = FindWindowW(nullptr, nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    wchar_t title[512] = {};
    GetWindowTextW(w, title, 511);
    if (std::wstring(title).find(mark) != std::wstring::npos) return w;
  }
  return nullptr;
}

HWND FindUnitWindow() { return FindWindowW(nullptr, Cp932ToWide(J(peer::kUnitTitle)).c_str()); }

StartLock::StartLock() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  path_ = WithTrailingSeparator(WideToCp932(temp)) + ThisProgramFileName() + ".lok";
}

bool StartLock::Take() {
  if (Held()) return true;
  handle_.Reset(CreateFileW(Cp932ToWide(path_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  return Held();
}

void StartLock::Release() {
  if (!Held()) return;
  handle_.Reset();
  DeleteFileW(Cp932ToWide(path_).c_str());
}

RECT DesktopWorkArea() {
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (HWND progman = FindWindowW(L"Progman", nullptr)) {
    for (HWND child = GetWindow(progman, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (GetWindowTextLengthW(child) != 0) continue;
      RECT r;
      if (GetWindowRect(child, &r) && !IsRectEmpty(&r)) area = r;
      break;
    }
  }
  return area;
}
