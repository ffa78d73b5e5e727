// Code page 932 helpers that need no platform: character walking, field copies
// and the cache of Japanese literals. The conversions live in the platform files.
#include "common/text.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string_view>
#include <unordered_map>

bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

namespace {

// Bytes of the character that starts at i; a lead byte at the very end counts alone.
std::size_t CharLength(const std::string& text, std::size_t i) {
  return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

}  // namespace

namespace {

// Whether `at` starts a character, counting from the known start `from`. A byte
// that cannot lead always ends a character, so only the run of lead-valued bytes
// just before `at` matters: they pair up from its start.
bool OnBoundary(const std::string& text, std::size_t from, std::size_t at) {
  std::size_t run = 0;
  while (at - run > from && IsLeadByte(static_cast<unsigned char>(text[at - run - 1]))) ++run;
  return run % 2 == 0;
}

}  // namespace

std::size_t FindText(const std::string& text, const std::string& needle, std::size_t from, std::size_t end) {
  end = std::min(end, text.size());
  if (from > end) return std::string::npos;
  if (needle.empty()) return from;
  if (end - from < needle.size()) return std::string::npos;
  std::string_view range(text.data() + from, end - from);
  for (std::size_t at = 0; (at = range.find(needle, at)) != std::string_view::npos; ++at) {
    if (OnBoundary(text, from, from + at)) return from + at;
  }
  return std::string::npos;
}

std::size_t FitToBytes(const std::string& text, std::size_t maxBytes) {
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t next = end + CharLength(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return end;
}

std::string AsciiUpper(std::string text) {
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    char& c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

void PutField(std::uint8_t* field, std::size_t width, const std::string& text, std::size_t maxBytes) {
  std::size_t n = FitToBytes(text, std::min(width, maxBytes));
  std::memcpy(field, text.data(), n);
  std::memset(field + n, 0, width - n);
}

std::string GetField(const std::uint8_t* field, std::size_t width) {
  const void* nul = std::memchr(field, 0, width);
  std::size_t n = nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - field) : width;
  return std::string(reinterpret_cast<const char*>(field), n);
}

namespace {

// The programs have one user-interface thread, but the selector adds a listener
// thread: a spin lock keeps the cache safe without std::mutex (win32 threads).
class SpinLock {
 public:
  explicit SpinLock(std::atomic_flag& flag) : flag_(flag) {
    while (flag_.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~SpinLock() { flag_.clear(std::memory_order_release); }

 private:
  std::atomic_flag& flag_;
};

std::atomic_flag literalLock = ATOMIC_FLAG_INIT;

}  // namespace

const std::string& J(const char* utf8Literal) {
  // Keyed by the text, not its address, so that a caller's buffer reused for
  // another text never gets a stale answer; entries never move or go away.
  static auto* cache = new std::unordered_map<std::string, std::string>();
  SpinLock lock(literalLock);
  auto it = cache->find(utf8Literal);
  if (it == cache->end()) it = cache->emplace(utf8Literal, Utf8ToCp932(utf8Literal)).first;
  return it->second;
}

#if defined(__cpp_char8_t)
const std::string& J(const char8_t* utf8Literal) {
  return J(reinterpret_cast<const char*>(utf8Literal));
}
#endif
