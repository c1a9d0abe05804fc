#include "cmdline/Generalinteger.h"

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Length of a hexadecimal prefix at the start of `text`, 0 when there is none.
size_t HexPrefixLength(std::string_view text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return 2;
  if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) return 1;
  return 0;
}

// A digit is refused once the value so far exceeds 0x0FFFFFFF, so at most eight significant
// digits fit (leading zeros are free).
std::optional<int32_t> ConvertHexDigits(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  uint32_t value = 0;
  for (char c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0 || value > 0x0FFFFFFFu) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(value);
}

std::optional<int32_t> ConvertDecimalDigits(std::string_view digits, bool negative) {
  constexpr int64_t kLargestMagnitude = 2147483648;  // of the most negative value
  if (digits.empty()) return std::nullopt;
  int64_t magnitude = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kLargestMagnitude) return std::nullopt;
  }
  if (!negative && magnitude == kLargestMagnitude) return std::nullopt;
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

std::optional<int32_t> ConvertGeneralInteger(std::string_view text) {
  size_t position = 0;
  while (position < text.size() && text[position] == ' ') ++position;
  bool hasSign = false;
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    hasSign = true;
    negative = text[position] == '-';
    ++position;
  }
  const std::string_view rest = text.substr(position);
  const size_t prefix = HexPrefixLength(rest);
  if (prefix > 0) {
    if (hasSign) return std::nullopt;
    return ConvertHexDigits(rest.substr(prefix));
  }
  return ConvertDecimalDigits(rest, negative);
}
