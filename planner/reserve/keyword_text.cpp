// The folding tables and the keyword matcher.
#include "planner/reserve/keyword_text.h"

#include <cstdio>

#include "common/text.h"

namespace {

// Index = katakana trail byte - 0x40 (ァ 0x8340 ... ヶ 0x8396). Each kana becomes
// the half-width kana of the same sound without voicing; small kana stay small.
// 0 marks trail 0x7F (no character) and the unused tail of the row.
const std::uint8_t kKana[kKanaTableSize] = {
    0xA7, 0xB1, 0xA8, 0xB2, 0xA9, 0xB3, 0xAA, 0xB4,  // ァアィイゥウェエ
    0xAB, 0xB5, 0xB6, 0xB6, 0xB7, 0xB7, 0xB8, 0xB8,  // ォオカガキギクグ
    0xB9, 0xB9, 0xBA, 0xBA, 0xBB, 0xBB, 0xBC, 0xBC,  // ケゲコゴサザシジ
    0xBD, 0xBD, 0xBE, 0xBE, 0xBF, 0xBF, 0xC0, 0xC0,  // スズセゼソゾタダ
    0xC1, 0xC1, 0xAF, 0xC2, 0xC2, 0xC3, 0xC3, 0xC4,  // チヂッツヅテデト
    0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCA,  // ドナニヌネノハバ
    0xCA, 0xCB, 0xCB, 0xCB, 0xCC, 0xCC, 0xCC, 0xCD,  // パヒビピフブプヘ
    0xCD, 0xCD, 0xCE, 0xCE, 0xCE, 0xCF, 0xD0, 0x00,  // ベペホボポマミ(7F)
    0xD1, 0xD2, 0xD3, 0xAC, 0xD4, 0xAD, 0xD5, 0xAE,  // ムメモャヤュユョ
    0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDC,  // ヨラリルレロヮワ
    0xB2, 0xB4, 0xA6, 0xDD, 0xB3, 0xB6, 0xB9, 0x00,  // ヰヱヲンヴヵヶ
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};

struct SymbolFold {
  unsigned char trail;
  char ascii;
};

// Full-width symbols of lead byte 0x81 and their ASCII forms.
const SymbolFold kSymbols[] = {
    {0x43, ','},  {0x44, '.'}, {0x46, ':'}, {0x47, ';'}, {0x48, '?'}, {0x49, '!'}, {0x4F, '^'},
    {0x51, '_'},  {0x5B, '-'}, {0x5C, '-'}, {0x5E, '/'}, {0x62, '|'}, {0x65, '`'}, {0x66, '\''},
    {0x68, '"'},  {0x69, '('}, {0x6A, ')'}, {0x6D, '['}, {0x6E, ']'}, {0x6F, '{'}, {0x70, '}'},
    {0x7B, '+'},  {0x7C, '-'}, {0x7E, '*'}, {0x80, '/'}, {0x81, '='}, {0x83, '<'}, {0x84, '>'},
    {0x8F, '\\'}, {0x90, '$'}, {0x93, '%'}, {0x94, '#'}, {0x95, '&'}, {0x96, '*'}, {0x97, '@'},
};

// Circled digits ①-⑨ (0x8740-0x8748) and Roman numerals Ⅰ-Ⅸ (0x8754-0x875C) of lead byte 0x87.
const SymbolFold kNumerals[] = {
    {0x40, '1'}, {0x41, '2'}, {0x42, '3'}, {0x43, '4'}, {0x44, '5'}, {0x45, '6'},
    {0x46, '7'}, {0x47, '8'}, {0x48, '9'}, {0x54, '1'}, {0x55, '2'}, {0x56, '3'},
    {0x57, '4'}, {0x58, '5'}, {0x59, '6'}, {0x5A, '7'}, {0x5B, '8'}, {0x5C, '9'},
};

template <std::size_t N>
std::uint16_t LookUp(const SymbolFold (&table)[N], unsigned char lead, unsigned char trail) {
  for (const SymbolFold& s : table) {
    if (s.trail == trail) return static_cast<unsigned char>(s.ascii);
  }
  return KeptCode(lead, trail);
}

std::uint16_t Upper(std::uint16_t code, bool upperCase) {
  return upperCase && code >= 'a' && code <= 'z' ? static_cast<std::uint16_t>(code - 'a' + 'A') : code;
}

// A kana index that the table does not cover keeps the character's own code:
// a 0 entry would otherwise end the folded text early.
std::uint16_t Kana(int index, unsigned char lead, unsigned char trail) {
  if (index < 0 || index >= kKanaTableSize || kKana[index] == 0) return KeptCode(lead, trail);
  return kKana[index];
}

std::uint16_t FoldDoubleByte(unsigned char lead, unsigned char trail, bool upperCase) {
  switch (lead) {
    case 0x82:
      if (trail >= 0x40 && trail < 0x9E) {  // full-width digits and Latin letters
        int code = trail - 0x1F;
        if (code > 0x5A) code = trail - 0x20;
        return Upper(static_cast<std::uint16_t>(code), upperCase);
      }
      if (trail >= 0x9F) {  // hiragana; 0x9E holds none and stays as it is
        int index = trail - 0x9F;
        if (index > 0x3E) index = trail - 0x9E;  // the katakana row skips 0x7F
        return Kana(index, lead, trail);
      }
      return KeptCode(lead, trail);
    case 0x83:
      if (trail >= 0x40 && trail < 0x97) return Kana(trail - 0x40, lead, trail);
      return KeptCode(lead, trail);
    case 0x81:
      return LookUp(kSymbols, lead, trail);
    case 0x87:
      return LookUp(kNumerals, lead, trail);
    default:
      return KeptCode(lead, trail);
  }
}

}  // namespace

std::uint8_t KanaTableEntry(int index) {
  return index >= 0 && index < kKanaTableSize ? kKana[index] : 0;
}

FoldedText NormaliseText(const std::string& text, bool upperCase) {
  FoldedText out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    // The suite's one lead-byte test, so that no double-byte character (those
    // from 0xEF on included) is ever read as two single bytes. A lead byte at
    // the very end has no trail and counts alone.
    if (IsLeadByte(c) && i + 1 < text.size()) {
      out.push_back(FoldDoubleByte(c, static_cast<unsigned char>(text[++i]), upperCase));
      continue;
    }
    if (c == 0xB0) {
      out.push_back('-');  // half-width prolonged sound mark
    } else if (c == 0xDE || c == 0xDF) {
      continue;  // half-width voiced and semi-voiced marks
    } else {
      out.push_back(Upper(c, upperCase));
    }
  }
  return out;
}

KeywordList::KeywordList(const std::string& expression) {
  static const std::string kSeparator = " & ";
  std::size_t from = 0;
  for (;;) {
    std::size_t at = expression.find(kSeparator, from);
    std::string part = expression.substr(from, at == std::string::npos ? std::string::npos : at - from);
    while (!part.empty() && part.back() == ' ') part.pop_back();
    keywords_.push_back(NormaliseText(part, true));
    if (at == std::string::npos) break;
    from = at + kSeparator.size();
  }
}

bool MatchKeyword(const FoldedText& keyword, const FoldedText& text) {
  const std::size_t n = keyword.size();
  if (n == 0 || n > text.size()) return false;
  for (std::size_t start = 0; start + n <= text.size(); ++start) {
    if (text[start] != keyword[0]) continue;
    std::size_t k = 1;
    while (k < n && (keyword[k] == '?' || keyword[k] == text[start + k])) ++k;
    if (k == n) return true;
  }
  return false;
}

bool MatchAll(const KeywordList& keywords, const FoldedText& foldedText) {
  if (keywords.Empty()) return false;
  for (const FoldedText& k : keywords.Keywords()) {
    if (!MatchKeyword(k, foldedText)) return false;
  }
  return true;
}

bool MatchAll(const KeywordList& keywords, const std::string& text) {
  return MatchAll(keywords, NormaliseText(text, true));
}

std::string FoldedHex(const FoldedText& codes) {
  std::string out;
  char word[8];
  for (std::size_t i = 0; i < codes.size(); ++i) {
    std::snprintf(word, sizeof word, "%04x", codes[i]);
    if (i) out += ' ';
    out += word;
  }
  return out;
}
