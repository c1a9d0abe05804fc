#pragma once

#include <string.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

// Text helpers shared by every subsystem. Texts are byte strings; nothing here converts
// character sets, and letter case folds the ASCII letters A-Z only.

// Removes every character with a code of 32 or less from both ends.
std::string Trim(std::string_view text);
// The same, as a view into `text`: no copy. Inline: nearly every pass trims every row's text.
inline std::string_view TrimmedView(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return std::string_view(text.data() + begin, end - begin);
}

// Inline: hashing and comparing names folds every character.
inline char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string ToLowerAscii(std::string_view text);
// Inline: name look-ups compare the names they find with the one asked for. Those are mostly
// spelled alike, so characters are folded only where they differ.
inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

// A statement's labels are everything up to and including its last ':' (empty when it has none);
// the statement proper is what follows. Neither part is trimmed.
struct LabelsAndStatement {
  std::string_view Labels;
  std::string_view Statement;
};
// Inline, and memrchr rather than rfind, which goes byte by byte: every row is split.
inline LabelsAndStatement SplitAtLastColon(std::string_view text) {
  const char* lastColon = static_cast<const char*>(memrchr(text.data(), ':', text.size()));
  if (lastColon == nullptr) return {{}, text};
  const size_t labelsEnd = static_cast<size_t>(lastColon - text.data()) + 1;
  return {text.substr(0, labelsEnd), text.substr(labelsEnd)};
}
// `value` in capital hexadecimal digits, at least `width` of them.
std::string HexDigits(uint32_t value, int width);

bool Contains(std::string_view text, std::string_view part);
bool Contains(std::string_view text, char c);
bool StartsWith(std::string_view text, std::string_view prefix);

// Fills "%s" and "%i" in a message pattern with the arguments, in order. Arguments are
// inserted literally and never read as patterns themselves.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

template <size_t Size>
void MoveHeadAndTail(char* to, const char* from, size_t count) {
  char head[Size];
  char tail[Size];
  std::memcpy(head, from, Size);
  std::memcpy(tail, from + count - Size, Size);
  std::memcpy(to, head, Size);
  std::memcpy(to + count - Size, tail, Size);
}

// memmove for the few bytes that a cell mostly holds, without a library call: the first and the
// last bytes of the range are read as two blocks that may overlap, then written.
inline void MoveShortText(char* to, const char* from, size_t count) {
  // Tested from the shortest up: most cells are a placeholder or a few characters.
  if (count < 4) {
    if (count == 0) return;
    const char first = from[0];
    const char middle = from[count / 2];
    const char last = from[count - 1];
    to[0] = first;
    to[count / 2] = middle;
    to[count - 1] = last;
  } else if (count < 8) {
    MoveHeadAndTail<4>(to, from, count);
  } else if (count < 16) {
    MoveHeadAndTail<8>(to, from, count);
  } else if (count <= 32) {
    MoveHeadAndTail<16>(to, from, count);
  } else {
    std::memmove(to, from, count);
  }
}
