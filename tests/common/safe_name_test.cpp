// Names from the air: what stays inside its folder and what does not.
#include "common/safe_name.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace {

struct NameCase {
  const char* name;
  bool safe;
};

TEST(SafeRelativePath, RefusesEveryWayOutOfTheFolder) {
  const NameCase cases[] = {
      {"file.txt", true},
      {"sub\\file.txt", true},
      {"a\\b\\c\\d.bin", true},
      {"sub/file.txt", true},
      {".hidden", true},
      {"a.b.c", true},
      {"CONFIG.SYS", true},       // only the device itself, not names that begin like one
      {"COM10", true},
      {"LPT0.txt", true},
      {"console\\x", true},
      {"", false},
      {"\\file.txt", false},
      {"/etc/passwd", false},
      {"\\\\host\\share\\x", false},
      {"C:\\x.txt", false},
      {"C:x.txt", false},
      {"a:b", false},             // an alternate data stream
      {"..", false},
      {"..\\x", false},
      {"a\\..\\..\\x", false},
      {"a/../x", false},
      {"...\\x", false},
      {". .\\x", false},
      {".. \\x", false},
      {"a\\\\b", false},
      {"a\\", false},
      {"a\tb", false},
      {"a\nb", false},
      {"a\x7F", false},
      {"*.txt", false},
      {"a?.txt", false},
      {"a\"b", false},
      {"a<b", false},
      {"a>b", false},
      {"a|b", false},
      {"CON", false},
      {"con.txt", false},
      {"sub\\NUL", false},
      {"aux .log", false},
      {"PRN", false},
      {"COM1", false},
      {"lpt9.doc", false},
      {"CONOUT$", false},
      {"conin$.x", false},
  };
  for (const NameCase& c : cases) EXPECT_EQ(IsSafeRelativePath(c.name), c.safe) << "\"" << c.name << "\"";
}

TEST(SafeRelativePath, TrailByteBackslashIsNoSeparator) {
  // 表 is 0x95 0x5C: its trail byte is "\" but the name is one component.
  EXPECT_TRUE(IsSafeRelativePath("\x95\x5C.txt"));
  EXPECT_TRUE(IsSafeRelativePath("\x95\x5C\\x.txt"));
  // A component that ends in 表 followed by "..": no climbing, since "表.." is a name.
  EXPECT_TRUE(IsSafeRelativePath("\x95\x5C..\\x"));
  // A lead byte with no trail byte at the end.
  EXPECT_FALSE(IsSafeRelativePath("abc\x95"));
  EXPECT_TRUE(IsSafeRelativePath(J(u8"番組\\データ.txt")));
}

}  // namespace
