// Registry values other programs write for the card's adapter ("DeviceVxDs",
// "IcCardNumber"): any text is either recognised or refused, the IC card
// number is written only on success and never past its six bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "boardlib/board_identity.h"
#include "boardlib/ovd_library.h"
#include "common/peer_names.h"
#include "common/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::uint8_t out[8];
  std::memset(out, 0xEE, sizeof out);
  const bool ok = IcCardBytes(text, out);
  if (out[6] != 0xEE || out[7] != 0xEE) std::abort();
  if (!ok) {
    for (int i = 0; i < 6; ++i)
      if (out[i] != 0xEE) std::abort();
  }
  auto settings = CreateMemorySettings();
  settings->WriteText(Hive::LocalMachine, std::string(peer::kAdapterClassKey) + "\\0005", peer::kAdapterDriverValue, text);
  const std::string found = DiscoverAdapter(*settings);
  if (!found.empty() && found != "0005") std::abort();
  return 0;
}
