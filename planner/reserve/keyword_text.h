// Keyword text folding and matching: titles and keywords are compared after a
// folding that makes full-width and half-width forms, hiragana and katakana,
// voiced and unvoiced kana and upper and lower case equal.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One 16-bit code per character of a folded text. A single-byte character is
// its byte; a double-byte character that no table folds keeps both bytes, the
// lead byte in the low 8 bits and the trail byte in the high 8 bits.
using FoldedText = std::vector<std::uint16_t>;

// Folds a cp932 text (see keyword_text.cpp for the rules). With upperCase the
// ASCII letters (also those folded from full-width letters) are upper-cased.
FoldedText NormaliseText(const std::string& text, bool upperCase);

// The two-byte code of a double-byte character that is kept as it is.
constexpr std::uint16_t KeptCode(unsigned char lead, unsigned char trail) {
  return static_cast<std::uint16_t>(lead | (trail << 8));
}

// The kana table: half-width code of the katakana with trail byte 0x40 + index,
// voicing removed; 0 where the row holds no katakana.
constexpr int kKanaTableSize = 96;
std::uint8_t KanaTableEntry(int index);

// A parsed keyword expression: the parts between " & " separators with their
// trailing spaces removed, each folded with upper case. Every part must occur.
class KeywordList {
 public:
  KeywordList() = default;
  explicit KeywordList(const std::string& expression);
  const std::vector<FoldedText>& Keywords() const { return keywords_; }
  bool Empty() const { return keywords_.empty(); }

 private:
  std::vector<FoldedText> keywords_;
};

// Whether keyword occurs in text as a contiguous run of codes; a '?' in the
// keyword anywhere but first matches any one code. An empty keyword never matches.
bool MatchKeyword(const FoldedText& keyword, const FoldedText& text);

// True when every keyword of the chain occurs in text (folded here with upper
// case), checked in chain order, stopping at the first that does not. An empty
// chain matches nothing.
bool MatchAll(const KeywordList& keywords, const std::string& text);
bool MatchAll(const KeywordList& keywords, const FoldedText& foldedText);

// The codes as 4-digit lower-case hex words separated by spaces (kwcheck norm).
std::string FoldedHex(const FoldedText& codes);
