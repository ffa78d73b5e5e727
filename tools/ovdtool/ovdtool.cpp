// ovdtool: the receiver card's diagnostic tool for support staff. It loads
// OVD.DLL by name as applications do and calls its exports; several commands
// run one after another in one process. Each prints "EXPORT = CODE" and then
// its outputs.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
const char kUsage[] =
    "usage: ovdtool COMMAND...\n"
    "commands (run in order, in one process):\n"
    "  info                  RO info, MAC address, IC card number, current sid and tag id, driver active\n"
    "  mac | iccard          the board address / the IC card number\n"
    "  ro-init | ro-close | ro-reset\n"
    "  ro-set-stream TYPE SID TAG | ro-get-stream | ro-get-time | ro-irdopt N\n"
    "  ro-set-irdopt N VALUE | ro-status ITEM | ro-irdinfo | ro-get-si\n"
    "  init | close | set-sid N | set-sid2 N TAG | set-tag N | get-sid\n"
    "  wait MS               loads OVD.DLL and handles its window messages for MS milliseconds\n"
    "  unload                unloads OVD.DLL (the next command loads it again)\n"
    "numbers are decimal or 0x-hex. exit status: 0 done, 1 OVD.DLL missing, 2 usage\n";

using Fn0 = std::int32_t(WINAPI*)();
using FnP = std::int32_t(WINAPI*)(void*);
using FnPP = std::int32_t(WINAPI*)(void*, void*);
using FnUU = std::int32_t(WINAPI*)(std::uint32_t, std::uint32_t);
using FnUP = std::int32_t(WINAPI*)(std::uint32_t, void*);
using FnStream = std::int32_t(WINAPI*)(std::uint16_t, const void*);
using FnStatus = std::int32_t(WINAPI*)(std::uint32_t, std::uint32_t, void*);
using FnSI = std::int32_t(WINAPI*)(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, void*);
using FnC0 = std::int32_t(__cdecl*)();
using FnCP = std::int32_t(__cdecl*)(void*);
using FnCPP = std::int32_t(__cdecl*)(void*, void*);
using FnC16 = std::int32_t(__cdecl*)(std::uint16_t);
using FnC1616 = std::int32_t(__cdecl*)(std::uint16_t, std::uint16_t);

HMODULE gLibrary = nullptr;

bool Load() {
  if (!gLibrary) gLibrary = LoadLibraryA("OVD.DLL");
  return gLibrary != nullptr;
}

template <class F>
F Get(const char* name) {
  F f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(gLibrary, name)));
  if (!f) {
    std::fprintf(stderr, "ovdtool: OVD.DLL has no export %s\n", name);
    std::exit(1);
  }
  return f;
}

void Result(const char* name, std::int32_t code) { std::printf("%s = %ld\n", name, static_cast<long>(code)); }

bool Number(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t* out) {
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 0);
  if (text.empty() || *end || v < low || v > high) return false;
  *out = v;
  return true;
}

void PrintMac() {
  std::uint8_t mac[8] = {};
  const std::int32_t rc = Get<FnCP>("OvdGetMacAddress")(mac);
  Result("OvdGetMacAddress", rc);
  if (rc == 0)
    std::printf("mac: %02X-%02X-%02X-%02X-%02X-%02X-%02X-%02X\n", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5], mac[6], mac[7]);
}

void PrintIcCard() {
  std::uint8_t ic[6] = {};
  const std::int32_t rc = Get<FnCP>("OvdGetIcCardNum")(ic);
  Result("OvdGetIcCardNum", rc);
  if (rc != 0) return;
  unsigned long long n = 0;
  for (std::uint8_t b : ic) n = n << 8 | b;
  std::printf("iccard: %02X-%02X-%02X-%02X-%02X-%02X (%llu)\n", ic[0], ic[1], ic[2], ic[3], ic[4], ic[5], n);
}

void PrintSid() {
  std::uint16_t sid = 0, tag = 0;
  const std::int32_t rc = Get<FnCPP>("OvdGetSid2")(&sid, &tag);
  Result("OvdGetSid2", rc);
  if (rc == 0) std::printf("sid: %u\ntag: %u\n", sid, tag);
}

void PrintRoInfo() {
  std::uint8_t info[64] = {};
  const std::int32_t rc = Get<FnP>("ROGetROInfo")(info);
  Result("ROGetROInfo", rc);
  if (rc == 0) std::printf("roinfo: %u %u \"%.19s\" %u\n", info[0], info[1], reinterpret_cast<char*>(info + 2), info[22]);
}

void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// Runs the command at args[*i] (consuming its arguments); false on a usage error.
bool Run(const std::vector<std::string>& args, std::size_t* i, std::string* error) {
  const std::string& c = args[*i];
  auto arg = [&](const char* what, std::int64_t low, std::int64_t high, std::int64_t* out) {
    if (*i + 1 >= args.size()) {
      *error = c + " needs " + what;
      return false;
    }
    const std::string& text = args[++*i];
    if (!Number(text, low, high, out)) {
      *error = c + ": " + what + " '" + text + "' is not a number from " + std::to_string(low) + " to " + std::to_string(high);
      return false;
    }
    return true;
  };
  if (c == "unload") {
    if (gLibrary) FreeLibrary(gLibrary);
    gLibrary = nullptr;
    std::printf("unloaded\n");
    return true;
  }
  if (!Load()) {
    std::fprintf(stderr, "ovdtool: cannot load OVD.DLL (error %lu)\n", GetLastError());
    std::exit(1);
  }
  std::int64_t a, b, t;
  if (c == "wait") {
    if (!arg("MS", 0, 600000, &a)) return false;
    Pump(static_cast<DWORD>(a));
  } else if (c == "info") {
    PrintRoInfo();
    PrintMac();
    PrintIcCard();
    PrintSid();
    std::uint32_t active = 0;
    const std::int32_t rc = Get<FnStatus>("ROGetROStatus")(0, 4, &active);
    Result("ROGetROStatus", rc);
    if (rc == 0) std::printf("active: %u\n", active);
  } else if (c == "mac") {
    PrintMac();
  } else if (c == "iccard") {
    PrintIcCard();
  } else if (c == "ro-init") {
    Result("ROInit", Get<Fn0>("ROInit")());
  } else if (c == "ro-close") {
    Result("ROClose", Get<Fn0>("ROClose")());
  } else if (c == "ro-reset") {
    Result("ROReset", Get<Fn0>("ROReset")());
  } else if (c == "ro-set-stream") {
    if (!arg("TYPE", 0, 65535, &t) || !arg("SID", 0, 65535, &a) || !arg("TAG", 0, 255, &b)) return false;
    const std::uint8_t stream[3] = {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(b)};
    Result("ROSetStream", Get<FnStream>("ROSetStream")(static_cast<std::uint16_t>(t), stream));
  } else if (c == "ro-get-stream") {
    std::uint16_t type = 0;
    std::uint8_t stream[3] = {};
    const std::int32_t rc = Get<FnPP>("ROGetStream")(&type, stream);
    Result("ROGetStream", rc);
    if (rc == 0) std::printf("stream: type %u sid %u tag %u\n", type, stream[0] | stream[1] << 8, stream[2]);
  } else if (c == "ro-get-time") {
    std::uint16_t f[8] = {};
    const std::int32_t rc = Get<FnP>("ROGetTime")(f);
    Result("ROGetTime", rc);
    if (rc != 100 && rc != 200 && rc != 207)
      std::printf("time: %04u-%02u-%02u %02u:%02u:%02u weekday %u\n", f[0], f[1], f[3], f[4], f[5], f[6], f[2]);
  } else if (c == "ro-irdopt") {
    if (!arg("N", 0, UINT32_MAX, &a)) return false;
    std::uint32_t value = 0;
    const std::int32_t rc = Get<FnUP>("ROGetIRDOpt")(static_cast<std::uint32_t>(a), &value);
    Result("ROGetIRDOpt", rc);
    if (rc == 0) std::printf("irdopt: %u\n", value);
  } else if (c == "ro-set-irdopt") {
    if (!arg("N", 0, UINT32_MAX, &a) || !arg("VALUE", 0, UINT32_MAX, &b)) return false;
    Result("ROSetIRDOpt", Get<FnUU>("ROSetIRDOpt")(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b)));
  } else if (c == "ro-status") {
    if (!arg("ITEM", 0, UINT32_MAX, &a)) return false;
    std::uint32_t value = 0;
    const std::int32_t rc = Get<FnStatus>("ROGetROStatus")(0, static_cast<std::uint32_t>(a), &value);
    Result("ROGetROStatus", rc);
    if (rc == 0) std::printf("status: %u\n", value);
  } else if (c == "ro-irdinfo") {
    std::uint8_t info[2] = {};
    const std::int32_t rc = Get<FnP>("ROGetIRDInfo")(info);
    Result("ROGetIRDInfo", rc);
    if (rc == 0) std::printf("irdinfo: %u %u\n", info[0], info[1]);
  } else if (c == "ro-get-si") {
    std::uint32_t out = 0xFFFFFFFFu;
    Result("ROGetSI", Get<FnSI>("ROGetSI")(0, 0, 0, 0, &out));
    std::printf("si: %u\n", out);
  } else if (c == "init") {
    Result("OvdInit", Get<FnC0>("OvdInit")());
  } else if (c == "close") {
    Result("OvdClose", Get<FnC0>("OvdClose")());
  } else if (c == "set-sid") {
    if (!arg("N", 0, 65535, &a)) return false;
    Result("OvdSetSid", Get<FnC16>("OvdSetSid")(static_cast<std::uint16_t>(a)));
  } else if (c == "set-sid2") {
    if (!arg("N", 0, 65535, &a) || !arg("TAG", 0, 65535, &b)) return false;
    Result("OvdSetSid2", Get<FnC1616>("OvdSetSid2")(static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b)));
  } else if (c == "set-tag") {
    if (!arg("N", 0, 65535, &a)) return false;
    Result("OvdSetTagId", Get<FnC16>("OvdSetTagId")(static_cast<std::uint16_t>(a)));
  } else if (c == "get-sid") {
    std::uint16_t sid = 0;
    const std::int32_t rc = Get<FnCP>("OvdGetSid")(&sid);
    Result("OvdGetSid", rc);
    if (rc == 0) std::printf("sid: %u\n", sid);
  } else if (c == "get-tag") {
    std::uint16_t tag = 0;
    const std::int32_t rc = Get<FnCP>("OvdGetTagId")(&tag);
    Result("OvdGetTagId", rc);
    if (rc == 0) std::printf("tag: %u\n", tag);
  } else {
    *error = "unknown command '" + c + "'";
    return false;
  }
  std::fflush(stdout);
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  std::string error;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!Run(args, &i, &error)) {
      std::fprintf(stderr, "ovdtool: %s\n%s", error.c_str(), kUsage);
      return 2;
    }
  }
  std::fflush(stdout);
  if (gLibrary) FreeLibrary(gLibrary);
  return 0;
}
