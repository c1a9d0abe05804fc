#include "isa/Mq71r04_asmparserobject.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

namespace {

struct IntegerCase {
  std::string text;
  std::optional<int32_t> expected;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

class IntegerConversionTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerConversionTest, ConvertsOrRefuses) {
  int32_t value = 0;
  const bool converted = TMq71R04_ASMParserObject::ConvertInteger(GetParam().text, value);
  EXPECT_EQ(converted ? std::optional<int32_t>(value) : std::nullopt, GetParam().expected);
}

const std::optional<int32_t> kRefused = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Decimal, IntegerConversionTest,
    ::testing::Values(IntegerCase{"0", 0}, IntegerCase{"12", 12}, IntegerCase{"+12", 12},
                      IntegerCase{"-5", -5}, IntegerCase{"010", 10},  // no octal
                      IntegerCase{"   12", 12},                       // leading spaces skipped
                      IntegerCase{"2147483647", INT_MAX}, IntegerCase{"-2147483648", INT_MIN},
                      IntegerCase{"+0", 0}, IntegerCase{"0000000000002147483647", INT_MAX}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, IntegerConversionTest,
    ::testing::Values(IntegerCase{"$200", 512}, IntegerCase{"x1F", 31}, IntegerCase{"X1f", 31},
                      IntegerCase{"0x1F", 31}, IntegerCase{"0X1f", 31}, IntegerCase{"  $10", 16},
                      IntegerCase{"0xFFFFFFFF", -1}, IntegerCase{"$80000000", INT_MIN},
                      IntegerCase{"$fffffff0", -16},
                      IntegerCase{"0x0000000000FFFFFFFF", -1},  // leading zeros are free
                      IntegerCase{"$7fffffff", INT_MAX}));

INSTANTIATE_TEST_SUITE_P(
    NotIntegers, IntegerConversionTest,
    ::testing::Values(
        IntegerCase{"", kRefused}, IntegerCase{" ", kRefused}, IntegerCase{"+", kRefused},
        IntegerCase{"-", kRefused}, IntegerCase{"abc", kRefused}, IntegerCase{"12 ", kRefused},
        IntegerCase{"1 2", kRefused}, IntegerCase{"\t12", kRefused},  // tab is no space
        IntegerCase{"12a", kRefused}, IntegerCase{"2147483648", kRefused},
        IntegerCase{"-2147483649", kRefused}, IntegerCase{"99999999999999999999999", kRefused},
        IntegerCase{"0x", kRefused}, IntegerCase{"$", kRefused}, IntegerCase{"x", kRefused},
        IntegerCase{"0x100000000", kRefused}, IntegerCase{"$123456789", kRefused},
        IntegerCase{"0x1G", kRefused}, IntegerCase{"+0x10", kRefused},
        IntegerCase{"+$10", kRefused}, IntegerCase{"+x10", kRefused}, IntegerCase{"-0x5", kRefused},
        IntegerCase{"0x 1", kRefused}, IntegerCase{"1FH", kRefused}, IntegerCase{"- 5", kRefused},
        IntegerCase{std::string("1\0", 2), kRefused}));

}  // namespace
