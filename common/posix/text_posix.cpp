// cp932 conversions natively, through iconv. Code points are the meeting
// point: wchar_t holds UTF-32 here, and UTF-8 is written by hand.
#include "common/text.h"

#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <cstring>

static_assert(sizeof(wchar_t) == 4, "native wchar_t holds UTF-32");

namespace {

// Converts with one iconv descriptor; an input unit that cannot be converted
// becomes `replacement` and is skipped by skip(bytes left) bytes.
template <typename Skip>
std::string Convert(const char* to, const char* from, const std::string& input,
                    const std::string& replacement, Skip skip) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string out;
  char buffer[1024];
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    char* o = buffer;
    std::size_t oLeft = sizeof buffer;
    std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buffer, o - buffer);
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += replacement;
      std::size_t n = std::min(inLeft, skip(in, inLeft));
      in += n;
      inLeft -= n;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

std::u32string Cp932ToCodePoints(const std::string& text) {
  const char32_t question = U'?';
  std::string bytes = Convert("UTF-32LE", "CP932", text, std::string(reinterpret_cast<const char*>(&question), 4),
                              [](const char* p, std::size_t left) -> std::size_t {
                                return IsLeadByte(static_cast<unsigned char>(*p)) && left > 1 ? 2 : 1;
                              });
  std::u32string points(bytes.size() / 4, U'\0');
  std::memcpy(&points[0], bytes.data(), points.size() * 4);
  return points;
}

std::string CodePointsToCp932(const std::u32string& points) {
  std::string bytes(reinterpret_cast<const char*>(points.data()), points.size() * 4);
  return Convert("CP932", "UTF-32LE", bytes, "?", [](const char*, std::size_t) -> std::size_t { return 4; });
}

void AppendUtf8(std::string* out, char32_t c) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// One code point from UTF-8 at i; malformed input gives '?' and moves one byte.
char32_t NextUtf8(const std::string& s, std::size_t* i) {
  unsigned char c = static_cast<unsigned char>(s[*i]);
  int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0 || *i + extra >= s.size()) {
    ++*i;
    return U'?';
  }
  char32_t value = extra == 0 ? c : c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    unsigned char t = static_cast<unsigned char>(s[*i + k]);
    if ((t & 0xC0) != 0x80) {
      ++*i;
      return U'?';
    }
    value = (value << 6) | (t & 0x3F);
  }
  *i += extra + 1;
  return value;
}

}  // namespace

std::wstring Cp932ToWide(const std::string& text) {
  std::u32string points = Cp932ToCodePoints(text);
  return std::wstring(points.begin(), points.end());
}

std::string WideToCp932(const std::wstring& text) {
  return CodePointsToCp932(std::u32string(text.begin(), text.end()));
}

std::string Cp932ToUtf8(const std::string& text) {
  std::string out;
  for (char32_t c : Cp932ToCodePoints(text)) AppendUtf8(&out, c);
  return out;
}

std::string Utf8ToCp932(const std::string& text) {
  std::u32string points;
  for (std::size_t i = 0; i < text.size();) points += NextUtf8(text, &i);
  return CodePointsToCp932(points);
}
