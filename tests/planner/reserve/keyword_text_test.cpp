// Folding and matching of keyword texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "planner/reserve/keyword_text.h"

namespace {

std::string Cp(const char* utf8) { return Utf8ToCp932(utf8); }

FoldedText Fold(const char* utf8, bool upper = true) { return NormaliseText(Cp(utf8), upper); }

FoldedText Codes(std::initializer_list<std::uint16_t> codes) { return FoldedText(codes); }

// Each full-width katakana with its hiragana (empty where there is none) and the
// half-width kana every form must fold to. Written out by hand, apart from the
// table in the code.
struct KanaCase {
  const char* katakana;
  const char* hiragana;
  const char* halfWidth;
};

const KanaCase kKanaCases[] = {
    {u8"ァ", u8"ぁ", u8"ｧ"}, {u8"ア", u8"あ", u8"ｱ"}, {u8"ィ", u8"ぃ", u8"ｨ"}, {u8"イ", u8"い", u8"ｲ"},
    {u8"ゥ", u8"ぅ", u8"ｩ"}, {u8"ウ", u8"う", u8"ｳ"}, {u8"ェ", u8"ぇ", u8"ｪ"}, {u8"エ", u8"え", u8"ｴ"},
    {u8"ォ", u8"ぉ", u8"ｫ"}, {u8"オ", u8"お", u8"ｵ"}, {u8"カ", u8"か", u8"ｶ"}, {u8"ガ", u8"が", u8"ｶ"},
    {u8"キ", u8"き", u8"ｷ"}, {u8"ギ", u8"ぎ", u8"ｷ"}, {u8"ク", u8"く", u8"ｸ"}, {u8"グ", u8"ぐ", u8"ｸ"},
    {u8"ケ", u8"け", u8"ｹ"}, {u8"ゲ", u8"げ", u8"ｹ"}, {u8"コ", u8"こ", u8"ｺ"}, {u8"ゴ", u8"ご", u8"ｺ"},
    {u8"サ", u8"さ", u8"ｻ"}, {u8"ザ", u8"ざ", u8"ｻ"}, {u8"シ", u8"し", u8"ｼ"}, {u8"ジ", u8"じ", u8"ｼ"},
    {u8"ス", u8"す", u8"ｽ"}, {u8"ズ", u8"ず", u8"ｽ"}, {u8"セ", u8"せ", u8"ｾ"}, {u8"ゼ", u8"ぜ", u8"ｾ"},
    {u8"ソ", u8"そ", u8"ｿ"}, {u8"ゾ", u8"ぞ", u8"ｿ"}, {u8"タ", u8"た", u8"ﾀ"}, {u8"ダ", u8"だ", u8"ﾀ"},
    {u8"チ", u8"ち", u8"ﾁ"}, {u8"ヂ", u8"ぢ", u8"ﾁ"}, {u8"ッ", u8"っ", u8"ｯ"}, {u8"ツ", u8"つ", u8"ﾂ"},
    {u8"ヅ", u8"づ", u8"ﾂ"}, {u8"テ", u8"て", u8"ﾃ"}, {u8"デ", u8"で", u8"ﾃ"}, {u8"ト", u8"と", u8"ﾄ"},
    {u8"ド", u8"ど", u8"ﾄ"}, {u8"ナ", u8"な", u8"ﾅ"}, {u8"ニ", u8"に", u8"ﾆ"}, {u8"ヌ", u8"ぬ", u8"ﾇ"},
    {u8"ネ", u8"ね", u8"ﾈ"}, {u8"ノ", u8"の", u8"ﾉ"}, {u8"ハ", u8"は", u8"ﾊ"}, {u8"バ", u8"ば", u8"ﾊ"},
    {u8"パ", u8"ぱ", u8"ﾊ"}, {u8"ヒ", u8"ひ", u8"ﾋ"}, {u8"ビ", u8"び", u8"ﾋ"}, {u8"ピ", u8"ぴ", u8"ﾋ"},
    {u8"フ", u8"ふ", u8"ﾌ"}, {u8"ブ", u8"ぶ", u8"ﾌ"}, {u8"プ", u8"ぷ", u8"ﾌ"}, {u8"ヘ", u8"へ", u8"ﾍ"},
    {u8"ベ", u8"べ", u8"ﾍ"}, {u8"ペ", u8"ぺ", u8"ﾍ"}, {u8"ホ", u8"ほ", u8"ﾎ"}, {u8"ボ", u8"ぼ", u8"ﾎ"},
    {u8"ポ", u8"ぽ", u8"ﾎ"}, {u8"マ", u8"ま", u8"ﾏ"}, {u8"ミ", u8"み", u8"ﾐ"}, {u8"ム", u8"む", u8"ﾑ"},
    {u8"メ", u8"め", u8"ﾒ"}, {u8"モ", u8"も", u8"ﾓ"}, {u8"ャ", u8"ゃ", u8"ｬ"}, {u8"ヤ", u8"や", u8"ﾔ"},
    {u8"ュ", u8"ゅ", u8"ｭ"}, {u8"ユ", u8"ゆ", u8"ﾕ"}, {u8"ョ", u8"ょ", u8"ｮ"}, {u8"ヨ", u8"よ", u8"ﾖ"},
    {u8"ラ", u8"ら", u8"ﾗ"}, {u8"リ", u8"り", u8"ﾘ"}, {u8"ル", u8"る", u8"ﾙ"}, {u8"レ", u8"れ", u8"ﾚ"},
    {u8"ロ", u8"ろ", u8"ﾛ"}, {u8"ヮ", u8"ゎ", u8"ﾜ"}, {u8"ワ", u8"わ", u8"ﾜ"}, {u8"ヰ", u8"ゐ", u8"ｲ"},
    {u8"ヱ", u8"ゑ", u8"ｴ"}, {u8"ヲ", u8"を", u8"ｦ"}, {u8"ン", u8"ん", u8"ﾝ"}, {u8"ヴ", "", u8"ｳ"},
    {u8"ヵ", "", u8"ｶ"},     {u8"ヶ", "", u8"ｹ"},
};

TEST(NormaliseText, EveryKatakanaAndHiraganaFoldsToItsHalfWidthKana) {
  for (const KanaCase& c : kKanaCases) {
    const std::string half = Cp(c.halfWidth);
    ASSERT_EQ(half.size(), 1u) << c.halfWidth;
    const FoldedText expected = Codes({static_cast<unsigned char>(half[0])});
    EXPECT_EQ(Fold(c.katakana), expected) << c.katakana;
    if (*c.hiragana) {
      EXPECT_EQ(Fold(c.hiragana), expected) << c.hiragana;
    }
    EXPECT_EQ(Fold(c.halfWidth), expected) << c.halfWidth;
  }
}

TEST(NormaliseText, TheKanaCaseTableCoversTheWholeKatakanaRow) {
  // ァ (0x8340) to ヶ (0x8396) without 0x7F: 86 characters, each listed once.
  EXPECT_EQ(sizeof kKanaCases / sizeof kKanaCases[0], 86u);
  int nonZero = 0;
  for (int i = 0; i < kKanaTableSize; ++i) nonZero += KanaTableEntry(i) != 0;
  EXPECT_EQ(nonZero, 86);
}

struct AsciiCase {
  const char* fullWidth;
  char ascii;
};

const AsciiCase kSymbolCases[] = {
    {u8"，", ','}, {u8"．", '.'}, {u8"：", ':'}, {u8"；", ';'}, {u8"？", '?'}, {u8"！", '!'}, {u8"＾", '^'},
    {u8"＿", '_'}, {u8"ー", '-'}, {u8"―", '-'}, {u8"／", '/'}, {u8"｜", '|'}, {u8"‘", '`'}, {u8"’", '\''},
    {u8"”", '"'},  {u8"（", '('}, {u8"）", ')'}, {u8"［", '['}, {u8"］", ']'}, {u8"｛", '{'}, {u8"｝", '}'},
    {u8"＋", '+'}, {u8"－", '-'}, {u8"×", '*'}, {u8"÷", '/'}, {u8"＝", '='}, {u8"＜", '<'}, {u8"＞", '>'},
    {u8"￥", '\\'}, {u8"＄", '$'}, {u8"％", '%'}, {u8"＃", '#'}, {u8"＆", '&'}, {u8"＊", '*'}, {u8"＠", '@'},
};

const AsciiCase kNumeralCases[] = {
    {u8"①", '1'}, {u8"②", '2'}, {u8"③", '3'}, {u8"④", '4'}, {u8"⑤", '5'}, {u8"⑥", '6'},
    {u8"⑦", '7'}, {u8"⑧", '8'}, {u8"⑨", '9'}, {u8"Ⅰ", '1'}, {u8"Ⅱ", '2'}, {u8"Ⅲ", '3'},
    {u8"Ⅳ", '4'}, {u8"Ⅴ", '5'}, {u8"Ⅵ", '6'}, {u8"Ⅶ", '7'}, {u8"Ⅷ", '8'}, {u8"Ⅸ", '9'},
};

void ExpectAscii(const AsciiCase* cases, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::string cp = Cp(cases[i].fullWidth);
    ASSERT_EQ(cp.size(), 2u) << cases[i].fullWidth;
    EXPECT_EQ(NormaliseText(cp, true), Codes({static_cast<std::uint16_t>(cases[i].ascii)})) << cases[i].fullWidth;
    EXPECT_EQ(NormaliseText(cp, false), Codes({static_cast<std::uint16_t>(cases[i].ascii)})) << cases[i].fullWidth;
  }
}

TEST(NormaliseText, EverySymbolOfTheTableFoldsToAscii) {
  EXPECT_EQ(sizeof kSymbolCases / sizeof kSymbolCases[0], 35u);
  ExpectAscii(kSymbolCases, sizeof kSymbolCases / sizeof kSymbolCases[0]);
}

TEST(NormaliseText, EveryNumeralOfTheTableFoldsToItsDigit) {
  EXPECT_EQ(sizeof kNumeralCases / sizeof kNumeralCases[0], 18u);
  ExpectAscii(kNumeralCases, sizeof kNumeralCases / sizeof kNumeralCases[0]);
}

TEST(NormaliseText, SymbolsAndNumeralsOutsideTheTablesKeepTheirTwoBytes) {
  // 、 (0x8141), ⑩ (0x8749), Ⅹ (0x875D), 漢 (0x8ABF): lead byte low, trail byte high.
  EXPECT_EQ(Fold(u8"、"), Codes({0x4181}));
  EXPECT_EQ(Fold(u8"⑩"), Codes({0x4987}));
  EXPECT_EQ(Fold(u8"Ⅹ"), Codes({0x5D87}));
  EXPECT_EQ(Fold(u8"漢"), Codes({0xBF8A}));
}

TEST(NormaliseText, FullWidthDigitsAndLettersBecomeAscii) {
  EXPECT_EQ(Fold(u8"０９ＡＺ", false), Codes({'0', '9', 'A', 'Z'}));
  EXPECT_EQ(Fold(u8"ａｚ", false), Codes({'a', 'z'}));
  EXPECT_EQ(Fold(u8"ａｚ", true), Codes({'A', 'Z'}));
  EXPECT_EQ(Fold("abcXYZ", true), Codes({'A', 'B', 'C', 'X', 'Y', 'Z'}));
  EXPECT_EQ(Fold("abc", false), Codes({'a', 'b', 'c'}));
}

TEST(NormaliseText, HalfWidthProlongedMarkAndVoicingMarks) {
  EXPECT_EQ(Fold(u8"ｰ"), Codes({'-'}));
  EXPECT_EQ(Fold(u8"ｶﾞﾊﾟ"), Codes({0xB6, 0xCA}));
  EXPECT_EQ(Fold(u8"ガ"), Fold(u8"ｶﾞ"));
  EXPECT_EQ(Fold(u8"が"), Fold(u8"カ"));
}

// Sound behaviour where the folding rules would read outside the kana table or
// end the text early.
TEST(NormaliseText, TrailBytesWithoutAKanaKeepTheirTwoBytes) {
  // Lead 0x82 trail 0x9E would give index -1; lead 0x83 trail 0x7F holds no kana.
  EXPECT_EQ(NormaliseText(std::string("\x82\x9E", 2), true), Codes({0x9E82}));
  EXPECT_EQ(NormaliseText(std::string("\x83\x7F" "A", 3), true), Codes({0x7F83, 'A'}));
  // Trail bytes beyond the table.
  EXPECT_EQ(NormaliseText(std::string("\x82\xFD", 2), true), Codes({0xFD82}));
  EXPECT_EQ(NormaliseText(std::string("\x83\x3F", 2), true), Codes({0x3F83}));
}

TEST(NormaliseText, DoubleByteCharactersFromEfOnAreNeverSplit) {
  // 0xEF-0xFC lead bytes (user-defined and IBM extensions): one code each.
  EXPECT_EQ(NormaliseText(std::string("\xEF\x41" "a", 3), true), Codes({0x41EF, 'A'}));
  EXPECT_EQ(NormaliseText(std::string("\xFA\x40", 2), true), Codes({0x40FA}));
  EXPECT_EQ(NormaliseText(std::string("\xFC\x61", 2), true), Codes({0x61FC}));
}

TEST(NormaliseText, LeadByteAtTheEndCountsAlone) {
  EXPECT_EQ(NormaliseText(std::string("A\x82", 2), true), Codes({'A', 0x82}));
}

TEST(KeywordMatch, FoldingAndChainEdgeCases) {
  struct Case {
    const char* keyword;
    const char* text;
    bool match;
  } cases[] = {
      {u8"ﾆｭｰｽ", u8"今日のニュース", true},
      {u8"ﾆｭｰｽ", u8"にゅーす特集", true},
      {u8"ニュース", u8"ﾆｭｰｽ", true},
      {u8"ＡＢＣ", "abc", true},
      {"abc", u8"ＡＢＣ", true},
      {u8"ガイド", u8"かいと", true},
      {u8"天気 & 予報", u8"天気予報", true},
      {u8"天気 & 予報", u8"天気だけ", false},
      {u8"天気 & 予報", u8"予報だけ", false},
      {u8"天気 & ", u8"天気予報", false},
      {u8"天気 &  ", u8"天気予報", false},
      {u8"天気 &  & 予報", u8"天気予報", false},
      {u8"天気    ", u8"天気予報", true},
      {u8" 天気", u8"天気予報", false},
      {u8" 天気", u8"明日の 天気", true},
      {"A?C", "xxABCxx", true},
      {"A?C", "xxAC", false},
      {u8"A？C", "AZC", true},
      {"?BC", "ABC", false},
      {"?BC", "x?BC", true},
      {"ABCD", "ABC", false},
      {"", "ABC", false},
      {"   ", "ABC", false},
      {u8"第①回", u8"第1回", true},
      {u8"Ⅲ", "3", true},
      {u8"（再）", "(sai)", false},
      {u8"（再）", u8"ドラマ(再)", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchAll(KeywordList(Cp(c.keyword)), Cp(c.text)), c.match) << c.keyword << " / " << c.text;
  }
}

TEST(KeywordList, SplitsAtSpaceAmpersandSpaceAndTrimsTrailingSpacesOnly) {
  KeywordList list(Cp(" ab  & cd & ef"));
  ASSERT_EQ(list.Keywords().size(), 3u);
  EXPECT_EQ(list.Keywords()[0], Codes({' ', 'A', 'B'}));
  EXPECT_EQ(list.Keywords()[1], Codes({'C', 'D'}));
  EXPECT_EQ(list.Keywords()[2], Codes({'E', 'F'}));
  EXPECT_EQ(KeywordList(Cp("a&b")).Keywords().size(), 1u);
}

TEST(KeywordMatch, EmptyChainMatchesNothing) {
  EXPECT_FALSE(MatchAll(KeywordList(), Cp("abc")));
}

TEST(FoldedHex, FourDigitLowerCaseWords) {
  EXPECT_EQ(FoldedHex(Fold(u8"ﾆｭｰｽA漢")), "00c6 00ad 002d 00bd 0041 bf8a");
  EXPECT_EQ(FoldedHex(FoldedText()), "");
}

}  // namespace
