// Any bytes as "ColorSave.Dat": every readable record re-encodes to itself
// modulo the fields the reader repairs, and reading never runs past the data.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "planner/timetable/colour_schemes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  for (std::size_t at = 0; at + kColourSchemeRecordSize <= input.size() || at == 0; at += kColourSchemeRecordSize) {
    ColourScheme s;
    const std::string record = input.substr(at, kColourSchemeRecordSize);
    if (!DecodeColourScheme(record, &s)) {
      if (at + kColourSchemeRecordSize > input.size()) break;
      continue;
    }
    if (s.name.size() > kSchemeNameMax || s.font.face.size() > kFontFaceMax) std::abort();
    if (s.font.size < 4 || s.font.size > 150) std::abort();
    ColourScheme again;
    if (!DecodeColourScheme(EncodeColourScheme(s), &again)) std::abort();
    if (again.name != s.name || again.font.face != s.font.face || again.font.size != s.font.size) std::abort();
    for (int r = 0; r < kColourRows; ++r)
      for (int g = 0; g < kColourGroups; ++g)
        if (again.colours.Back(r, g) != s.colours.Back(r, g) || (s.colours.Back(r, g) >> 24) != 0) std::abort();
  }
  return 0;
}
