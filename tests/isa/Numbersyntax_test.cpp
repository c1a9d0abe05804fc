#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "isa/Mq71r04_asmparserobject.h"

namespace {

constexpr int32_t Invalid = TMq71R04_ASMParserObject::InvalidNumber;

int32_t Parse(std::string_view text) {
  OutputSink sink;
  return TMq71R04_ASMParserObject::Bare(sink).ParseNumber(text);
}

struct NumberCase {
  std::string text;
  int32_t expected;
};

TEST(ParseNumber, InvalidNumberIsTwentyEightOneBits) {
  EXPECT_EQ(Invalid, 0x0FFFFFFF);
}

TEST(ParseNumber, ReadsEveryNotation) {
  const NumberCase cases[] = {
      // suffixes and prefixes
      {"10h", 16},
      {"1bh", 27},
      {"0FFh", 255},
      {"7fffffffh", INT32_MAX},
      {"1b", 1},
      {"10b", 2},
      {"101b", 5},
      {"17o", 15},
      {"777o", 511},
      {"0x1F", 31},
      {"0x00000000000000ff", 255},
      {"0xFFFFFFFF", -1},
      {"0x80000000", INT32_MIN},
      {"$1F", 31},
      {"x1F", 31},
      {"X1f", 31},
      {"0X1F", 31},
      // decimal: no octal meaning of a leading zero, signs, leading spaces
      {"010", 10},
      {"0", 0},
      {"-5", -5},
      {"+7", 7},
      {"-0", 0},
      {"   42", 42},
      {" 0x10", 16},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"0000000000000000000000000000000000000000000000005", 5},
      // the lone suffix letters b and o stand for an empty digit string
      {"b", 0},
      {"o", 0},
  };
  for (const NumberCase& c : cases) EXPECT_EQ(Parse(c.text), c.expected) << '"' << c.text << '"';
}

// Short decimal texts are read at once; the answers must be those of the full decimal reading,
// whatever the length, and a character other than a digit must leave the text to the notations.
TEST(ParseNumber, DecimalDigitsOfEveryLengthUpToTheLimit) {
  const NumberCase cases[] = {
      {"7", 7},
      {"99", 99},
      {"000000007", 7},
      {"999999999", 999999999},
      {"1000000000", 1000000000},
      {"4294967295", Invalid},
      {"2147483648", Invalid},
      {"12/", Invalid},
      {"1:", Invalid},
      {"11b", 3},
      {"11o", 9},
      {"11h", 17},
      {"1 ", Invalid},
      {"0x7", 7},
  };
  for (const NumberCase& c : cases) EXPECT_EQ(Parse(c.text), c.expected) << c.text;
}

TEST(ParseNumber, BinaryAndOctalKeepTheLowThirtyTwoBitsOfLongDigitStrings) {
  const NumberCase cases[] = {
      {std::string(32, '1') + "b", -1},
      {std::string(33, '1') + "b", -1},
      {"1" + std::string(32, '0') + "b", 0},
      {"1" + std::string(31, '0') + "b", INT32_MIN},
      {"11" + std::string(32, '0') + "1b", 1},
      {"37777777777o", -1},
      {"40000000000o", 0},
      {"40000000001o", 1},
      {std::string(200, '7') + "o", -1},
  };
  for (const NumberCase& c : cases) EXPECT_EQ(Parse(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ParseNumber, RejectsWhatIsNotANumber) {
  const std::string notNumbers[] = {
      "",
      "12b",   // 2 is no binary digit
      "18o",   // 8 is no octal digit
      "0x",    // prefix without digits
      "h",     // becomes "0x"
      "-0x5",  // sign before a hexadecimal prefix
      "+$5",
      "-x5",
      "2147483648",   // above the signed range
      "-2147483649",  // below it
      "99999999999999999999999999",
      "0x100000000",  // a ninth significant digit
      "$123456789",
      "1FH",  // suffixes count in lower case only
      "101B",
      "17O",
      "5 ",  // nothing may follow the digits
      "0x1F ",
      "\t5",  // only spaces are skipped
      "bb",   // b occurs before the end: read as decimal
      "1b0b",
      "x1b",  // b suffix: "x1" has a non-digit
      "$",
      "x",
      "+",
      "-",
      " ",
      "1.5",
      "0xG",
      "-5h",  // becomes "0x-5"
      " 5h",  // becomes "0x 5"
      std::string("1\0", 2),
      "1 2",
      "b2",
  };
  for (const std::string& text : notNumbers) EXPECT_EQ(Parse(text), Invalid) << '"' << text << '"';
}

// The h suffix reads the text before it as if "0x" stood in front: hexadecimal digits only, eight
// significant ones at most, leading zeros free.
TEST(ParseNumber, HexadecimalSuffixAdmitsDigitsOnly) {
  const NumberCase cases[] = {
      {"0h", 0},
      {"000000001h", 1},
      {"0000000000ffffffffh", -1},
      {"80000000h", INT32_MIN},
      {"aBcDeFh", 0xabcdef},
      {"100000000h", Invalid},  // a ninth significant digit
      {"+5h", Invalid},
      {"$5h", Invalid},
      {"x5h", Invalid},
      {"0X5h", Invalid},  // only a lower-case "0x" prefix is read as one
      {"5 h", Invalid},
      {"5\th", Invalid},
      {"5gh", Invalid},
      {std::string("5\0h", 3), Invalid},
  };
  for (const NumberCase& c : cases) EXPECT_EQ(Parse(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ParseNumber, TheInvalidValueItselfIsIndistinguishableFromAFailure) {
  EXPECT_EQ(Parse("268435455"), Invalid);
  EXPECT_EQ(Parse("0xFFFFFFF"), Invalid);
}

TEST(ConvertInteger, LeavesTheValueUnchangedOnFailure) {
  int32_t value = 77;
  EXPECT_FALSE(TMq71R04_ASMParserObject::ConvertInteger("12 ", value));
  EXPECT_EQ(value, 77);
  EXPECT_FALSE(TMq71R04_ASMParserObject::ConvertInteger("", value));
  EXPECT_EQ(value, 77);
}

TEST(ConvertInteger, KnowsNoSuffixes) {
  int32_t value = 0;
  EXPECT_FALSE(TMq71R04_ASMParserObject::ConvertInteger("10h", value));
  EXPECT_FALSE(TMq71R04_ASMParserObject::ConvertInteger("1b", value));
  EXPECT_TRUE(TMq71R04_ASMParserObject::ConvertInteger("  0x1b", value));
  EXPECT_EQ(value, 27);
  EXPECT_TRUE(TMq71R04_ASMParserObject::ConvertInteger("-12", value));
  EXPECT_EQ(value, -12);
}

TEST(IntToBits, WritesTheLowBitsMostSignificantFirst) {
  struct Case {
    int32_t value;
    int width;
    std::string expected;
  };
  const Case cases[] = {
      {5, 10, "0000000101"},
      {1024, 10, "0000000000"},  // bits above the width are dropped
      {291, 10, "0100100011"},
      {-1, 4, "1111"},
      {300, 8, "00101100"},
      {1, 1, "1"},
      {2, 1, "0"},
      {0x1FFF, 13, "1111111111111"},
      {0, 0, ""},
      {7, -3, ""},
      {-1, 16, "1111111111111"},  // at most thirteen characters
      {0x2000, 14, "0000000000000"},
      {INT32_MIN, 13, "0000000000000"},
      {5, 3, "101"},
      {5, INT_MIN, ""},
      {5, INT_MAX, "0000000000101"},
      {0x1555, 13, "1010101010101"},
      {-2, 2, "10"},
  };
  OutputSink sink;
  const auto parser = TMq71R04_ASMParserObject::Bare(sink);
  for (const Case& c : cases) {
    EXPECT_EQ(parser.IntToBits(c.value, c.width), c.expected) << c.value << " width " << c.width;
    // Written in place, the same bits and nothing beyond them.
    std::string written(16, '-');
    ASSERT_EQ(TMq71R04_ASMParserObject::BitCount(c.width), c.expected.size());
    const char* end = TMq71R04_ASMParserObject::WriteBits(c.value, c.width, written.data());
    EXPECT_EQ(std::string_view(written.data(), end), c.expected);
    EXPECT_EQ(written.substr(c.expected.size()), std::string(16 - c.expected.size(), '-'));
  }
}

}  // namespace
