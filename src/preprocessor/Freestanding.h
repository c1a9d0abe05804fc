#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Replacement of names that stand free in a text: #define symbols in a statement, macro
// parameters in a body.

// Where a name stands free: one of `before` right in front of it (or the text's start, when
// `startCounts`) and one of `after` right behind it (or the text's end, when `endCounts`).
struct NameBoundaries {
  std::string_view before;
  std::string_view after;
  bool startCounts = true;
  bool endCounts = true;
};

enum class Replaced { Nothing, Something, TooLong };

// Replaces each free-standing occurrence of `name` in `text` by `replacement`, into `result`,
// equivalent to replacing in place: the search goes on right behind an inserted replacement or
// an occurrence left alone, and the character in front of an occurrence is read from the text
// as replaced so far. Nothing: no occurrence stands free (or `name` is empty), and `result` is
// untouched. TooLong: the result grew beyond `limit` characters; `result` is then incomplete.
Replaced ReplaceFreeStanding(std::string_view text, std::string_view name,
                             std::string_view replacement, const NameBoundaries& boundaries,
                             size_t limit, std::string& result);
