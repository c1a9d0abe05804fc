#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Text helpers shared by every subsystem. Texts are byte strings; nothing here converts
// character sets, and letter case folds the ASCII letters A-Z only.

// Removes every character with a code of 32 or less from both ends.
std::string Trim(std::string_view text);
// The same, as a view into `text`: no copy.
std::string_view TrimmedView(std::string_view text);

// Inline: hashing and comparing names folds every character.
inline char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string ToLowerAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

bool Contains(std::string_view text, std::string_view part);
bool Contains(std::string_view text, char c);
bool StartsWith(std::string_view text, std::string_view prefix);

// Fills "%s" and "%i" in a message pattern with the arguments, in order. Arguments are
// inserted literally and never read as patterns themselves.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);
