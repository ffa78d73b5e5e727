// GetTagValue on any text: the value lies inside the text, the position only
// moves forward, and a found value is followed by its closing tag.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/tag_value.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte chooses the field name's length; the name follows.
  std::size_t nameLength = data[0] % 8 + 1;
  if (size < 1 + nameLength) return 0;
  const std::string field(reinterpret_cast<const char*>(data + 1), nameLength);
  const std::string text(reinterpret_cast<const char*>(data + 1 + nameLength), size - 1 - nameLength);
  std::size_t pos = 0;
  for (int i = 0; i < 64; ++i) {
    std::size_t before = pos;
    std::string value = GetTagValue(text, field, pos);
    if (pos < before || pos > text.size()) std::abort();
    if (!value.empty() && text.find(value + "</" + field + ">") == std::string::npos) std::abort();
    if (pos == before) break;
  }
  LeadingInt(text);
  return 0;
}
