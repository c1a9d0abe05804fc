#include "support/Textutils.h"

#include <cstdio>

std::string Trim(std::string_view text) {
  return std::string(TrimmedView(text));
}

std::string ToLowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = FoldCase(c);
  return result;
}

std::string HexDigits(uint32_t value, int width) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%0*X", width, static_cast<unsigned>(value));
  return digits;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool Contains(std::string_view text, char c) {
  return text.find(c) != std::string_view::npos;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string result;
  result.reserve(pattern.size() + 32);
  auto next = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    const bool placeholder = pattern[i] == '%' && i + 1 < pattern.size() &&
                             (pattern[i + 1] == 's' || pattern[i + 1] == 'i');
    if (placeholder && next != args.end()) {
      result += *next++;
      ++i;
    } else {
      result += pattern[i];
    }
  }
  return result;
}
