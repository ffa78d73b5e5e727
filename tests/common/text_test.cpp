#include "common/text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const std::string kHyo = "\x95\x5C";  // 表: its trail byte is "\"
const std::string kSo = "\x83\x5C";   // ソ

TEST(Cp932Text, LeadBytesAreTheTwoRanges) {
  struct Case { unsigned char c; bool lead; };
  const Case cases[] = {{0x00, false}, {0x5C, false}, {0x7F, false}, {0x80, false}, {0x81, true},
                        {0x9F, true},  {0xA0, false}, {0xDF, false}, {0xE0, true},  {0xFC, true},
                        {0xFD, false}, {0xFF, false}};
  for (const Case& c : cases) EXPECT_EQ(IsLeadByte(c.c), c.lead) << int(c.c);
}

TEST(Cp932Text, FindNeverMatchesOnATrailByte) {
  EXPECT_EQ(FindText(kHyo + kSo, "\\"), std::string::npos);
  EXPECT_EQ(FindText(kHyo + "\\", "\\"), 2u);
  EXPECT_EQ(FindText("ab" + kSo + "ab", "ab", 1), 4u);
  // A needle that would start on the trail byte 0x5C of ソ followed by "x".
  EXPECT_EQ(FindText(kSo + "x", "\\x"), std::string::npos);
}

TEST(Cp932Text, FindWithALeadByteAtTheEndStops) {
  EXPECT_EQ(FindText("ab\x95", "\x95"), 2u);
  EXPECT_EQ(FindText("ab\x95", "c"), std::string::npos);
}

TEST(Cp932Text, AsciiUpperLeavesTrailBytesThatLookLikeLetters) {
  const std::string a = "\x82\x61";  // Ａ (full-width): its trail byte is 'a'
  EXPECT_EQ(AsciiUpper("info00001.rsv"), "INFO00001.RSV");
  EXPECT_EQ(AsciiUpper("pc" + a + "x"), "PC" + a + "X");
}

TEST(Cp932Text, FitNeverEndsInsideADoubleByteCharacter) {
  const std::string text = "a" + kHyo + kSo;  // 5 bytes
  struct Case { std::size_t max; std::size_t fit; };
  const Case cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 3}, {5, 5}, {99, 5}};
  for (const Case& c : cases) EXPECT_EQ(FitToBytes(text, c.max), c.fit) << c.max;
}

TEST(Cp932Text, PutFieldTerminatesAndZeroFillsWhenTheTextFits) {
  std::uint8_t field[8];
  std::memset(field, 0xAA, sizeof field);
  PutField(field, sizeof field, "abc");
  const std::uint8_t expected[8] = {'a', 'b', 'c', 0, 0, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(field, expected, sizeof field));
}

TEST(Cp932Text, PutFieldFillsTheWholeWidthWithoutTerminator) {
  std::uint8_t field[4];
  PutField(field, sizeof field, "abcdef");
  EXPECT_EQ(0, std::memcmp(field, "abcd", 4));
  EXPECT_EQ(GetField(field, sizeof field), "abcd");
}

TEST(Cp932Text, PutFieldCutsBeforeASplitCharacter) {
  std::uint8_t field[4];
  std::memset(field, 0xAA, sizeof field);
  PutField(field, sizeof field, "ab" + std::string("c") + kHyo);  // 表 would need bytes 3 and 4
  EXPECT_EQ(GetField(field, sizeof field), "abc");
  EXPECT_EQ(field[3], 0);
}

TEST(Cp932Text, PutFieldHonoursTheByteLimit) {
  std::uint8_t field[6];
  PutField(field, sizeof field, kHyo + kSo + kHyo, 5);
  EXPECT_EQ(GetField(field, sizeof field), kHyo + kSo);
  EXPECT_EQ(field[4], 0);
  EXPECT_EQ(field[5], 0);
}

TEST(Cp932Text, ConversionsRoundTripJapaneseWithBackslashTrailBytes) {
  const std::string utf8 = u8"表示ソフト\\予能 ABC";
  const std::string cp932 = Utf8ToCp932(utf8);
  EXPECT_EQ(cp932.substr(0, 2), kHyo);
  EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
  EXPECT_EQ(WideToCp932(Cp932ToWide(cp932)), cp932);
  EXPECT_EQ(Cp932ToWide(kHyo), std::wstring(1, wchar_t(0x8868)));
}

TEST(Cp932Text, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp932(u8"a\u00E9b"), "a?b");          // é has no cp932 form
  EXPECT_EQ(Cp932ToUtf8("a\x85\x40z"), "a?z");           // an unassigned code
  EXPECT_EQ(Cp932ToUtf8("ab\x95"), "ab?");               // a lead byte cut off
  EXPECT_EQ(WideToCp932(std::wstring(1, wchar_t(0x0E01))), "?");  // Thai
}

TEST(Cp932Text, EmptyTextsConvertToEmptyTexts) {
  EXPECT_EQ(Utf8ToCp932(""), "");
  EXPECT_EQ(Cp932ToUtf8(""), "");
  EXPECT_EQ(Cp932ToWide(""), L"");
}

TEST(Cp932Text, JapaneseLiteralsAreCp932AndCached) {
  const std::string& first = J(u8"受信状況表示");
  EXPECT_EQ(first, "\x8e\xf3\x90\x4d\x8f\xf3\x8b\xb5\x95\x5c\x8e\xa6");
  const char* literal = "\xe6\x88\x90\xe5\x8a\x9f";  // 成功
  EXPECT_EQ(&J(literal), &J(literal));
  EXPECT_EQ(J(literal), "\x90\xac\x8c\xf7");
  char buffer[16] = "\xe8\xa1\xa8";  // 表, then the same buffer holds ソ
  EXPECT_EQ(J(buffer), "\x95\x5C");
  std::memcpy(buffer, "\xe3\x82\xbd", 4);
  EXPECT_EQ(J(buffer), "\x83\x5C");
}

}  // namespace
