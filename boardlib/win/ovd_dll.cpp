// OVD.DLL: the library frame of each process (load and unload), the state
// shared by all processes in a shared section, and the exports, which forward
// to the portable library.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "boardlib/ovd_library.h"
#include "boardlib/win/status_window.h"
#include "boardlib/win/win_board_host.h"
#include "common/debug_log.h"
#include "common/settings.h"

// One instance for every process that has the library loaded (the section is
// marked shared: Wine honours that as Windows does).
__attribute__((section(".shared"), shared)) SharedState gShared = OVD_SHARED_STATE_INIT;

namespace {
struct Frame {
  std::unique_ptr<BoardDriver> driver = CreateBoardDriver();
  WinBoardClock clock;
  std::unique_ptr<Settings> settings = CreatePlatformSettings();
  WinLibraryHost host;
  OvdLibrary library{LibraryEnv{*driver, clock, *settings, host, gShared}};
  std::unique_ptr<StatusWindow> window;
};
Frame* gFrame = nullptr;

constexpr std::int32_t kOvdFail = -1;

void Attach(HINSTANCE instance) {
  gFrame = new Frame;
  gFrame->library.Load();
  DebugPrintf("Ovd: loaded in process %lu, board %s, %d processes", GetCurrentProcessId(),
              gFrame->library.Usable() ? "found" : "missing", static_cast<int>(gShared.processCount));
  gFrame->window = std::make_unique<StatusWindow>(instance, gFrame->library);
  if (!gFrame->window->Create()) gFrame->window.reset();
}

void Detach(bool processEnding) {
  if (!gFrame) return;
  // A window left to its thread still names its object: that stays behind.
  if (gFrame->window && !gFrame->window->CloseOnUnload(processEnding)) (void)gFrame->window.release();
  gFrame->window.reset();
  gFrame->library.Unload();
  DebugPrintf("Ovd: unloaded in process %lu, %d processes, driver %s", GetCurrentProcessId(),
              static_cast<int>(gShared.processCount), gShared.deviceHandle ? "open" : "closed");
  delete gFrame;
  gFrame = nullptr;
}

OvdLibrary* Lib() { return gFrame ? &gFrame->library : nullptr; }
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    Attach(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    // reserved is set when the process ends: its other threads are gone then.
    Detach(reserved != nullptr);
  }
  return TRUE;
}

#define OVD_LIB_OR(fail) \
  OvdLibrary* lib = Lib(); \
  if (!lib) return fail

extern "C" {
// ---- RO* family (standard calling convention) ----
std::int32_t WINAPI ROInit() { OVD_LIB_OR(ro::kNoBoard); return lib->ROInit(); }
std::int32_t WINAPI ROClose() { OVD_LIB_OR(ro::kNoBoard); return lib->ROClose(); }
std::int32_t WINAPI ROReset() { OVD_LIB_OR(ro::kNoBoard); return lib->ROReset(); }
std::int32_t WINAPI ROSetStream(std::uint16_t type, const std::uint8_t* stream) {
  OVD_LIB_OR(ro::kNoBoard);
  return lib->ROSetStream(type, stream);
}
std::int32_t WINAPI ROGetStream(std::uint16_t* type, std::uint8_t* stream) {
  OVD_LIB_OR(ro::kNoBoard);
  return lib->ROGetStream(type, stream);
}
std::int32_t WINAPI ROSetIRDOpt(std::uint32_t option, std::uint32_t value) {
  OVD_LIB_OR(ro::kNoBoard);
  return lib->ROSetIRDOpt(option, value);
}
std::int32_t WINAPI ROGetIRDOpt(std::uint32_t option, std::uint32_t* value) {
  OVD_LIB_OR(ro::kNoBoard);
  return lib->ROGetIRDOpt(option, value);
}
std::int32_t WINAPI ROGetTime(std::uint16_t* fields) { OVD_LIB_OR(ro::kNoBoard); return lib->ROGetTime(fields); }
std::int32_t WINAPI ROGetROInfo(std::uint8_t* info) { return OvdLibrary::ROGetROInfo(info); }
std::int32_t WINAPI ROGetIRDInfo(std::uint8_t* info) { OVD_LIB_OR(ro::kNoBoard); return lib->ROGetIRDInfo(info); }
std::int32_t WINAPI ROGetROStatus(std::uint32_t, std::uint32_t item, std::uint32_t* value) {
  OVD_LIB_OR(ro::kNoBoard);
  return lib->ROGetROStatus(item, value);
}
std::int32_t WINAPI ROSetFilter(std::uint32_t, std::uint32_t, std::uint32_t) {
  OVD_LIB_OR(ro::kNoBoard);
  return lib->ROSetFilter();
}
std::int32_t WINAPI ROGetSI(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t* out) {
  if (!Lib()) {
    if (out) *out = 0;
    return ro::kNoBoard;
  }
  return Lib()->ROGetSI(out);
}
std::int32_t WINAPI ROGetCaInfo(std::uint32_t, std::uint32_t) { return ro::kNotProvided; }
// ROSetOpt, ROGetOpt, ROGetCaRequest, ROGetCardParm, ROGetEmmMessage, ROGetViewInfo.
std::int32_t WINAPI RONotProvided(std::uint32_t) { return ro::kNotProvided; }

// ---- Ovd* family (caller removes the arguments) ----
std::int32_t __cdecl OvdInit() { OVD_LIB_OR(kOvdFail); return lib->OvdInit(); }
std::int32_t __cdecl OvdClose() { OVD_LIB_OR(kOvdFail); return lib->OvdClose(); }
std::int32_t __cdecl OvdGetSid(std::uint16_t* sid) { OVD_LIB_OR(kOvdFail); return lib->OvdGetSid(sid); }
std::int32_t __cdecl OvdGetSid2(std::uint16_t* sid, std::uint16_t* tagId) {
  OVD_LIB_OR(kOvdFail);
  return lib->OvdGetSid2(sid, tagId);
}
std::int32_t __cdecl OvdSetSid(std::uint16_t sid) { OVD_LIB_OR(kOvdFail); return lib->OvdSetSid(sid); }
std::int32_t __cdecl OvdSetSid2(std::uint16_t sid, std::uint16_t tagId) {
  OVD_LIB_OR(kOvdFail);
  return lib->OvdSetSid2(sid, tagId);
}
std::int32_t __cdecl OvdGetTagId(std::uint16_t* tagId) { OVD_LIB_OR(kOvdFail); return lib->OvdGetTagId(tagId); }
std::int32_t __cdecl OvdSetTagId(std::uint16_t tagId) { OVD_LIB_OR(kOvdFail); return lib->OvdSetTagId(tagId); }
std::int32_t __cdecl OvdGetMacAddress(std::uint8_t* address) {
  OVD_LIB_OR(kOvdFail);
  return lib->OvdGetMacAddress(address);
}
// Also exported as ROGetCardError.
std::int32_t __cdecl OvdSetMacAddress() { return kOvdFail; }
std::int32_t __cdecl OvdGetIcCardNum(std::uint8_t* number) {
  OVD_LIB_OR(kOvdFail);
  return lib->OvdGetIcCardNum(number);
}
}
