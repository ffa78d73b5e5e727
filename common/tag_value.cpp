// GetTagValue and the leading-integer rule of the guide mark-up.
#include "common/tag_value.h"

#include <climits>

#include "common/text.h"

std::string GetTagValue(const std::string& text, const std::string& field, std::size_t& pos) {
  const std::string open = "<" + field + ">";
  const std::string close = "</" + field + ">";
  std::size_t start = FindText(text, open, pos);
  std::size_t end = FindText(text, close, pos);
  if (start == std::string::npos || end == std::string::npos) return std::string();
  pos = end + close.size();
  // In the wrong order, or overlapping (a field name with "</" in it).
  if (end < start + open.size()) return std::string();
  start += open.size();
  return text.substr(start, end - start);
}

std::string GetTagValue(const std::string& text, const std::string& field) {
  std::size_t pos = 0;
  return GetTagValue(text, field, pos);
}

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

std::int32_t LeadingInt(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  const long long limit = negative ? -static_cast<long long>(INT32_MIN) : INT32_MAX;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) value = limit;  // saturate, and keep the sum small
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}
