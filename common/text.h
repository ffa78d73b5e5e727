// Code page 932 text: the programs keep every text as cp932 bytes in std::string
// and convert only at the edges (Win32 W calls, UTF-8 output of the tools).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// First byte of a double-byte cp932 character (0x81-0x9F, 0xE0-0xFC).
bool IsLeadByte(unsigned char c);

// Position of needle in text inside [from, end), or std::string::npos. `from`
// must lie on a character boundary; a match never starts on the trail byte of a
// double-byte character (0x5C and '<' are valid trail bytes) and lies wholly
// inside the range, so a missing needle costs the range, never the whole text.
std::size_t FindText(const std::string& text, const std::string& needle, std::size_t from = 0,
                     std::size_t end = std::string::npos);

// Length of the longest prefix of text that is at most maxBytes long and does not
// end inside a double-byte character.
std::size_t FitToBytes(const std::string& text, std::size_t maxBytes);

// Upper-cases the ASCII letters of a cp932 text, leaving double-byte characters
// (whose trail bytes may look like letters) as they are.
std::string AsciiUpper(std::string text);

// Conversions; code page 932 is always named explicitly, never the system's ANSI
// page. Characters that do not exist in the target become '?'.
std::wstring Cp932ToWide(const std::string& text);
std::string WideToCp932(const std::wstring& text);
std::string Cp932ToUtf8(const std::string& text);
std::string Utf8ToCp932(const std::string& text);

// The one way source code writes a Japanese literal: J(u8"受信中") gives cp932 bytes.
// Conversions are cached, so calling it in a loop is cheap.
const std::string& J(const char* utf8Literal);
#if defined(__cpp_char8_t)
const std::string& J(const char8_t* utf8Literal);
#endif

// Copies text into a fixed-width record field of `width` bytes: at most maxBytes
// (default: the whole width) are copied, cut on a character boundary; the copy is
// NUL-terminated when it is shorter than the field, and the rest of the field is
// zero-filled.
void PutField(std::uint8_t* field, std::size_t width, const std::string& text, std::size_t maxBytes = SIZE_MAX);

// Reads a fixed-width text field: up to the first NUL, or the whole field when
// it has no terminator.
std::string GetField(const std::uint8_t* field, std::size_t width);
