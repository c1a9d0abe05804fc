// Number syntax of the instruction set object: the four notations of ParseNumber, the general
// conversion beneath them and the fixed-width binary texts that carry fields and addresses.

#include <algorithm>
#include <string>

#include "isa/Mq71r04_asmparserobject.h"

namespace {

bool IsDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

// Value of a hexadecimal digit in either case, or -1.
int HexDigitValue(char c) {
  if (IsDecimalDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Length of a hexadecimal prefix ("$", "x", "X", "0x", "0X") at the start of `text`, or 0.
size_t HexPrefixLength(std::string_view text) {
  if (text.empty()) return 0;
  if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') return 1;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return 2;
  return 0;
}

// One or more hexadecimal digits as a 32-bit pattern. A digit is taken in only while the value
// so far is at most 0x0FFFFFFF, which keeps eight significant digits and lets leading zeros
// through.
bool ConvertHexDigits(std::string_view digits, int32_t& value) {
  if (digits.empty()) return false;
  uint32_t pattern = 0;
  for (char c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0 || pattern > 0x0FFFFFFFu) return false;
    pattern = pattern * 16 + static_cast<uint32_t>(digit);
  }
  value = static_cast<int32_t>(pattern);
  return true;
}

// One or more decimal digits within -2147483648 .. 2147483647 once the sign is applied.
bool ConvertDecimalDigits(std::string_view digits, bool negative, int32_t& value) {
  if (digits.empty()) return false;
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  int64_t magnitude = 0;
  for (char c : digits) {
    if (!IsDecimalDigit(c)) return false;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return false;
  }
  value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}

// Horner's rule in unsigned 32-bit arithmetic yields exactly the low 32 bits of the sum of digit
// times base to the power of its place, however long the text is. A base of at most 10 admits
// the digits 0 to base - 1 only; any other character fails.
template <uint32_t Base>
bool DigitsToIntInBase(std::string_view digits, int32_t& value) {
  static_assert(Base >= 2 && Base <= 10);
  uint32_t result = 0;
  for (char c : digits) {
    // Characters below '0' wrap around to large values and fail the same test.
    const uint32_t digit = static_cast<uint32_t>(static_cast<unsigned char>(c)) - '0';
    if (digit >= Base) return false;
    result = result * Base + digit;
  }
  value = static_cast<int32_t>(result);
  return true;
}

// True when `letter` ends a non-empty text and occurs nowhere earlier in it. The last character
// is looked at first: most texts fail there without a search.
bool EndsWithOnlyOccurrence(std::string_view text, char letter) {
  return !text.empty() && text.back() == letter && text.find(letter) == text.size() - 1;
}

}  // namespace

bool TMq71R04_ASMParserObject::ConvertInteger(std::string_view text, int32_t& value) {
  size_t position = 0;
  while (position < text.size() && text[position] == ' ') ++position;
  text.remove_prefix(position);
  if (text.empty()) return false;

  if (text[0] == '-' || text[0] == '+') {
    // A sign admits decimal digits only: "-0x5" fails at its "x".
    return ConvertDecimalDigits(text.substr(1), text[0] == '-', value);
  }
  const size_t prefix = HexPrefixLength(text);
  if (prefix > 0) return ConvertHexDigits(text.substr(prefix), value);
  return ConvertDecimalDigits(text, false, value);
}

bool TMq71R04_ASMParserObject::BinaryToInt(std::string_view digits, int32_t& value) {
  return DigitsToIntInBase<2>(digits, value);
}

// The notations are tried in a fixed order and the first that applies decides: "0x" prefix,
// then the suffixes h, b and o (lower case only, and only when the letter occurs nowhere
// earlier), then plain decimal or "$"/"x" hexadecimal.
int32_t TMq71R04_ASMParserObject::ParseNumber(std::string_view text) const {
  if (text.empty()) return InvalidNumber;
  int32_t value = InvalidNumber;
  bool converted = false;
  const std::string_view withoutSuffix = text.substr(0, text.size() - 1);
  if (text.starts_with("0x")) {
    converted = ConvertInteger(text, value);
  } else if (EndsWithOnlyOccurrence(text, 'h')) {
    // Read as if "0x" stood in front: the hexadecimal digits alone, nothing else admitted.
    converted = ConvertHexDigits(withoutSuffix, value);
  } else if (EndsWithOnlyOccurrence(text, 'b')) {
    converted = BinaryToInt(withoutSuffix, value);
  } else if (EndsWithOnlyOccurrence(text, 'o')) {
    converted = DigitsToIntInBase<8>(withoutSuffix, value);
  } else {
    converted = ConvertInteger(text, value);
  }
  return converted ? value : InvalidNumber;
}

size_t TMq71R04_ASMParserObject::BitCount(int width) {
  constexpr int LongestBitField = 13;
  return static_cast<size_t>(std::clamp(width, 0, LongestBitField));
}

char* TMq71R04_ASMParserObject::WriteBits(int32_t value, int width, char* to) {
  const size_t count = BitCount(width);
  // The least significant bit is the last character: written from there backwards, each bit is
  // the lowest of what is left.
  uint32_t bits = static_cast<uint32_t>(value);
  for (size_t i = count; i > 0; --i) {
    to[i - 1] = static_cast<char>('0' + (bits & 1));
    bits >>= 1;
  }
  return to + count;
}

std::string TMq71R04_ASMParserObject::IntToBits(int32_t value, int width) {
  std::string bits(BitCount(width), '0');
  WriteBits(value, width, bits.data());
  return bits;
}
