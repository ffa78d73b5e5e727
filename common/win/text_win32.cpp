// cp932 conversions on Windows, always naming code page 932 (never CP_ACP).
#include "common/text.h"

#include <windows.h>

namespace {

constexpr UINT kCp932 = 932;

// Bytes of the character at i: cp932 lead bytes take two, UTF-8 its sequence.
std::size_t CharBytes(UINT codePage, const std::string& text, std::size_t i) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  std::size_t n = 1;
  if (codePage == kCp932) n = IsLeadByte(c) ? 2 : 1;
  else if (c >= 0xF0) n = 4;
  else if (c >= 0xE0) n = 3;
  else if (c >= 0xC0) n = 2;
  return i + n <= text.size() ? n : text.size() - i;
}

std::wstring ToWideStrict(UINT codePage, const char* data, int size) {
  int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, data, size, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(n, L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, data, size, &out[0], n);
  return out;
}

// Bytes that are no character become '?' one character at a time, as they do
// natively, rather than the system's substitute character.
std::wstring ToWide(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  std::wstring out = ToWideStrict(codePage, text.data(), static_cast<int>(text.size()));
  if (!out.empty()) return out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = CharBytes(codePage, text, i);
    std::wstring one = ToWideStrict(codePage, text.data() + i, static_cast<int>(n));
    out += one.empty() ? std::wstring(1, L'?') : one;
    i += n;
  }
  return out;
}

std::string FromWide(UINT codePage, const std::wstring& text) {
  if (text.empty()) return std::string();
  // The default character may only be given for code pages other than UTF-8.
  // No best fit either: "é" becomes "?", not "e", as it does natively.
  const char* fallback = codePage == CP_UTF8 ? nullptr : "?";
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, fallback, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), &out[0], n, fallback, nullptr);
  return out;
}

}  // namespace

std::wstring Cp932ToWide(const std::string& text) { return ToWide(kCp932, text); }
std::string WideToCp932(const std::wstring& text) { return FromWide(kCp932, text); }
std::string Cp932ToUtf8(const std::string& text) { return FromWide(CP_UTF8, ToWide(kCp932, text)); }
std::string Utf8ToCp932(const std::string& text) { return FromWide(kCp932, ToWide(CP_UTF8, text)); }
