#include "support/Textutils.h"

#include <gtest/gtest.h>

namespace {

TEST(TrimmedView, RemovesCodesUpTo32FromBothEndsWithoutCopying) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"", ""},
      {" ", ""},
      {"\t\r\n\x01 ", ""},
      {"a", "a"},
      {"  a b  ", "a b"},
      {std::string("\0x\0", 3), "x"},  // NUL has code 0
      {"\x7f"
       "a\x80",
       "\x7f"
       "a\x80"},  // DEL and high bytes stay
      {" \x21 ", "\x21"},
  };
  for (const Case& c : cases) {
    const std::string_view view = TrimmedView(c.text);
    EXPECT_EQ(view, c.expected);
    EXPECT_EQ(Trim(c.text), c.expected);
    if (!view.empty()) {
      EXPECT_GE(view.data(), c.text.data());
      EXPECT_LE(view.data() + view.size(), c.text.data() + c.text.size());
    }
  }
}

TEST(SplitAtLastColon, LabelsRunUpToTheLastColon) {
  struct Case {
    std::string text;
    std::string labels;
    std::string statement;
  };
  const Case cases[] = {
      {"", "", ""},
      {"nop", "", "nop"},
      {" mov a, b ", "", " mov a, b "},
      {"a:", "a:", ""},
      {"a: nop", "a:", " nop"},
      {" a : b: mov a, b ", " a : b:", " mov a, b "},
      {"mov a, b:c", "mov a, b:", "c"},
      {":", ":", ""},
      {"x::", "x::", ""},
  };
  for (const Case& c : cases) {
    const LabelsAndStatement split = SplitAtLastColon(c.text);
    EXPECT_EQ(split.Labels, c.labels) << c.text;
    EXPECT_EQ(split.Statement, c.statement) << c.text;
  }
}

TEST(EqualsIgnoreCase, FoldsOnlyTheLettersAToZ) {
  struct Case {
    const char* a;
    const char* b;
    bool equal;
  };
  const Case cases[] = {
      {"", "", true},
      {"Loop", "loop", true},
      {"LOOP", "lOoP", true},
      {"loop", "loops", false},
      {"[a]", "{A}", false},
      {"@", "`", false},
      {"\xc4x", "\xe4x", false},
      {"a_1", "A_1", true},
      {"a", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EqualsIgnoreCase(c.a, c.b), c.equal) << c.a << " " << c.b;
    EXPECT_EQ(EqualsIgnoreCase(c.b, c.a), c.equal) << c.b << " " << c.a;
  }
}

TEST(HexDigits, WritesCapitalsPaddedToTheWidth) {
  EXPECT_EQ(HexDigits(0x3fe, 1), "3FE");
  EXPECT_EQ(HexDigits(0xab, 4), "00AB");
  EXPECT_EQ(HexDigits(0xffffffff, 6), "FFFFFFFF");
}

}  // namespace
