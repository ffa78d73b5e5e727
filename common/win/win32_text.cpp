// cp932 conversions on Windows, always naming code page 932 (never CP_ACP).
#include "common/text.h"

#include <windows.h>

namespace {

constexpr UINT kCp932 = 932;

std::wstring ToWide(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
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
