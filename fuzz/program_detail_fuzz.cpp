// Detail files of any content parse without faults; the stream rule holds.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/detail_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string name = input.substr(0, 40);
  ProgramDetail d;
  if (!ParseProgramDetail(input, name, &d)) return 0;
  if (d.address == "Dummy" && d.sid != 0 && input.find("<ip_address>Dummy</ip_address>") == std::string::npos)
    std::abort();
  // An empty holder falls back to the name's first line.
  if (d.holder.empty() && !name.empty() && name[0] != '\r' && name[0] != '\n' && name[0] != '\t') std::abort();
  return 0;
}
