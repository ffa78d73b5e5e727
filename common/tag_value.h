// Field values of the guide, detail-file and settings-file mark-up.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Value between the first "<field>" and the first "</field>" at or after pos.
// Empty when either tag is missing or the closing tag comes first. When both are
// found, pos is set just behind the closing tag; otherwise pos is left alone.
// Tags never match starting on a trail byte of a double-byte character.
std::string GetTagValue(const std::string& text, const std::string& field, std::size_t& pos);
std::string GetTagValue(const std::string& text, const std::string& field);

// Leading decimal integer: optional leading blanks (space, tab, CR, LF, VT, FF),
// an optional sign, then digits up to the first other character; no digits give 0.
// Out of range values saturate at the int32 limits.
std::int32_t LeadingInt(const std::string& text);
