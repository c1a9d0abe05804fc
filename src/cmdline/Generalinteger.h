#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The general integer conversion shared by option values and numbers in sources:
//   [spaces] [+|-] decimal digits           within -2147483648 .. 2147483647
//   [spaces] ($|x|X|0x|0X) hexadecimal digits  at most 32 significant bits, taken as the bit
//                                             pattern, so "0xFFFFFFFF" is -1
// Only the space character is skipped, and only in front; a sign before a hexadecimal prefix,
// a missing digit or anything after the digits is not an integer.
std::optional<int32_t> ConvertGeneralInteger(std::string_view text);
