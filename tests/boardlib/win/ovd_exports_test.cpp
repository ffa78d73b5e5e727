// The export table of a built OVD.DLL, read from the image's export directory:
// exactly the names applications resolve (plain and decorated), each decorated
// name and each shared entry point on the function it stands for; every entry
// point that is not provided answers -1; the adapter class key is string 2
// of its string table.
//   ovd_exports_test [gtest options]   with OVD_UNDER_TEST = the library's path
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "common/peer_names.h"

namespace {
// Every exported name and the function it is (its own name when it is one).
const std::map<std::string, std::string> kExports = {
    {"ROInit", "ROInit"}, {"ROClose", "ROClose"}, {"ROReset", "ROReset"}, {"ROSetStream", "ROSetStream"},
    {"ROGetStream", "ROGetStream"}, {"ROSetIRDOpt", "ROSetIRDOpt"}, {"ROGetIRDOpt", "ROGetIRDOpt"},
    {"ROGetTime", "ROGetTime"}, {"ROGetROInfo", "ROGetROInfo"}, {"ROGetIRDInfo", "ROGetIRDInfo"},
    {"ROGetROStatus", "ROGetROStatus"}, {"ROSetFilter", "ROSetFilter"}, {"ROGetSI", "ROGetSI"},
    {"ROGetCaInfo", "ROGetCaInfo"},
    {"ROSetOpt", "ROSetOpt"}, {"ROGetOpt", "ROSetOpt"}, {"ROGetCaRequest", "ROSetOpt"},
    {"ROGetCardParm", "ROSetOpt"}, {"ROGetEmmMessage", "ROSetOpt"}, {"ROGetViewInfo", "ROSetOpt"},
    {"ROGetCardError", "OvdSetMacAddress"},
    {"_ROInit@0", "ROInit"}, {"_ROClose@0", "ROClose"}, {"_ROReset@0", "ROReset"},
    {"_ROSetStream@8", "ROSetStream"}, {"_ROGetStream@8", "ROGetStream"}, {"_ROSetIRDOpt@8", "ROSetIRDOpt"},
    {"_ROGetIRDOpt@8", "ROGetIRDOpt"}, {"_ROGetTime@4", "ROGetTime"}, {"_ROGetROInfo@4", "ROGetROInfo"},
    {"_ROGetIRDInfo@4", "ROGetIRDInfo"}, {"_ROGetROStatus@12", "ROGetROStatus"},
    {"_ROSetFilter@12", "ROSetFilter"}, {"_ROGetSI@20", "ROGetSI"}, {"_ROGetCaInfo@8", "ROGetCaInfo"},
    {"_ROSetOpt@4", "ROSetOpt"}, {"_ROGetOpt@4", "ROSetOpt"}, {"_ROGetCaRequest@4", "ROSetOpt"},
    {"_ROGetCardParm@4", "ROSetOpt"}, {"_ROGetEmmMessage@4", "ROSetOpt"}, {"_ROGetViewInfo@4", "ROSetOpt"},
    {"_ROGetCardError@0", "OvdSetMacAddress"},
    {"OvdInit", "OvdInit"}, {"OvdClose", "OvdClose"}, {"OvdGetSid", "OvdGetSid"}, {"OvdGetSid2", "OvdGetSid2"},
    {"OvdSetSid", "OvdSetSid"}, {"OvdSetSid2", "OvdSetSid2"}, {"OvdGetTagId", "OvdGetTagId"},
    {"OvdSetTagId", "OvdSetTagId"}, {"OvdGetMacAddress", "OvdGetMacAddress"},
    {"OvdSetMacAddress", "OvdSetMacAddress"}, {"OvdGetIcCardNum", "OvdGetIcCardNum"},
};

HMODULE gModule = nullptr;

// name -> RVA of its code, from the export directory of the loaded image.
std::map<std::string, std::uint32_t> ReadExportDirectory(HMODULE module, std::string* problem) {
  std::map<std::string, std::uint32_t> names;
  const auto* base = reinterpret_cast<const std::uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return *problem = "no MZ header", names;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
    return *problem = "no PE32+ header", names;
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (dir.VirtualAddress == 0) return *problem = "no export directory", names;
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
  const auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  const char* dllName = reinterpret_cast<const char*>(base + exports->Name);
  if (std::string(dllName) != "OVD.DLL") *problem = std::string("library name ") + dllName;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    const std::string name = reinterpret_cast<const char*>(base + nameRvas[i]);
    if (ordinals[i] >= exports->NumberOfFunctions) {
      *problem = name + ": ordinal outside the table";
      continue;
    }
    const DWORD rva = functions[ordinals[i]];
    if (rva >= dir.VirtualAddress && rva < dir.VirtualAddress + dir.Size) *problem = name + " is forwarded";
    if (!names.emplace(name, rva).second) *problem = name + " twice";
  }
  return names;
}

TEST(OvdExportTable, HoldsExactlyTheNamesApplicationsResolve) {
  std::string problem;
  const auto table = ReadExportDirectory(gModule, &problem);
  EXPECT_EQ(problem, "");
  std::set<std::string> expected, found;
  for (const auto& e : kExports) expected.insert(e.first);
  for (const auto& e : table) found.insert(e.first);
  EXPECT_EQ(found, expected);
}

TEST(OvdExportTable, EveryAliasIsTheFunctionItStandsFor) {
  std::string problem;
  const auto table = ReadExportDirectory(gModule, &problem);
  for (const auto& e : kExports) {
    auto name = table.find(e.first), target = table.find(e.second);
    if (name == table.end() || target == table.end()) {
      ADD_FAILURE() << e.first << " or " << e.second << " missing";
      continue;
    }
    EXPECT_EQ(name->second, target->second) << e.first << " is not " << e.second;
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(gModule, e.first.c_str())),
              reinterpret_cast<void*>(GetProcAddress(gModule, e.second.c_str())))
        << e.first;
  }
  // Functions that are not shared have entry points of their own.
  std::set<std::uint32_t> plain;
  for (const auto& e : kExports) {
    if (e.first == e.second) {
      EXPECT_TRUE(plain.insert(table.at(e.first)).second) << e.first << " shares its code";
    }
  }
}

TEST(OvdExportTable, EntryPointsThatAreNotProvidedAnswerMinusOne) {
  using Fn0 = std::int32_t(WINAPI*)();
  using Fn1 = std::int32_t(WINAPI*)(std::uint32_t);
  using Fn2 = std::int32_t(WINAPI*)(std::uint32_t, std::uint32_t);
  for (const char* name : {"ROSetOpt", "ROGetOpt", "ROGetCaRequest", "ROGetCardParm", "ROGetEmmMessage",
                           "ROGetViewInfo", "_ROSetOpt@4", "_ROGetOpt@4", "_ROGetCaRequest@4", "_ROGetCardParm@4",
                           "_ROGetEmmMessage@4", "_ROGetViewInfo@4"}) {
    auto fn = reinterpret_cast<Fn1>(reinterpret_cast<void*>(GetProcAddress(gModule, name)));
    ASSERT_NE(fn, nullptr) << name;
    EXPECT_EQ(fn(0x12345678u), -1) << name;
  }
  for (const char* name : {"ROGetCaInfo", "_ROGetCaInfo@8"}) {
    auto fn = reinterpret_cast<Fn2>(reinterpret_cast<void*>(GetProcAddress(gModule, name)));
    ASSERT_NE(fn, nullptr) << name;
    EXPECT_EQ(fn(1, 2), -1) << name;
  }
  for (const char* name : {"ROGetCardError", "_ROGetCardError@0", "OvdSetMacAddress"}) {
    auto fn = reinterpret_cast<Fn0>(reinterpret_cast<void*>(GetProcAddress(gModule, name)));
    ASSERT_NE(fn, nullptr) << name;
    EXPECT_EQ(fn(), -1) << name;
  }
}
TEST(OvdResources, StringTwoIsTheAdapterClassKey) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(gModule, 2, reinterpret_cast<LPWSTR>(&text), 0);
  ASSERT_GT(length, 0) << "no string 2";
  char cp932[256] = {};
  WideCharToMultiByte(932, 0, text, length, cp932, sizeof cp932 - 1, nullptr, nullptr);
  EXPECT_STREQ(cp932, peer::kAdapterClassKey);
}
}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const char* path = std::getenv("OVD_UNDER_TEST");
  if (!path || !*path) {
    std::fprintf(stderr, "ovd_exports_test: set OVD_UNDER_TEST to the library's path\n");
    return 2;
  }
  gModule = LoadLibraryA(path);
  if (!gModule) {
    std::fprintf(stderr, "ovd_exports_test: cannot load %s (error %lu)\n", path, GetLastError());
    return 2;
  }
  std::printf("ovd_exports_test: %s\n", path);
  const int rc = RUN_ALL_TESTS();
  FreeLibrary(gModule);
  return rc;
}
