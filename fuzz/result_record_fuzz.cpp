// Any bytes decode; a decoded record encodes back to one that decodes the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/reception_result.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  ReceptionResult r;
  if (!DecodeResult(input, &r)) return 0;
  ReceptionResult again;
  if (!DecodeResult(EncodeResult(r), &again)) std::abort();
  if (again.status != r.status || again.scheduledEnd != r.scheduledEnd || again.port != r.port ||
      again.receivedUntil != r.receivedUntil || again.name.size() > 51 || again.channelName.size() > 51)
    std::abort();
  if (r.name.size() <= 51 && again.name != r.name) std::abort();
  return 0;
}
