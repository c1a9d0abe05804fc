#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "support/Namemap.h"

// The #define entries read so far, in reading order. Entries are only appended; a symbol may
// occur more than once.
class DefineList {
 public:
  // Appends the entry "symbol=value". An entry's symbol is its text before the first '=' and its
  // value the text behind it, so a symbol holding '=' (an included file records one after
  // reporting it) gives the part behind its first '=' to the value.
  void Append(std::string_view symbol, std::string_view value);
  int Count() const { return static_cast<int>(entries_.size()); }
  std::string_view Symbol(int index) const { return entries_[index].Symbol; }
  std::string_view Value(int index) const { return entries_[index].Value; }

  // The value of the first entry whose symbol equals `symbol` ignoring the case of A-Z; null
  // when there is none.
  const std::string* LookUp(std::string_view symbol) const;

  enum class Outcome { Unchanged, Changed, TooLarge };
  // Applies every entry to `text` in list order: each free-standing occurrence of the entry's
  // symbol (found with letter case) is replaced by the value looked up for that symbol.
  // Free-standing: after the start, ':', tab, ',' or blank, and before the end, ',', CR, LF,
  // tab or blank. The search goes on behind an inserted value, so an entry never replaces in
  // its own value, but a later entry may. Changed: the new text is in `result`. TooLarge: the
  // text would grow beyond `limit` characters; `result` is then undefined.
  Outcome Substitute(std::string_view text, size_t limit, std::string& result) const;

 private:
  struct Entry {
    std::string Symbol;
    std::string Value;
    int ValueSource;  // the first entry whose symbol equals this one's ignoring case
  };
  // The first entry behind `after` that may replace something in `text`, -1 when there is
  // none; see Note [substitution candidates].
  int NextCandidate(std::string_view text, int after) const;

  std::vector<Entry> entries_;
  // The entries of each symbol, those whose symbols are equal ignoring case together, in list
  // order.
  FoldedNameMap<std::vector<int>> entriesBySymbol_;
  // The entries whose symbol holds a separator: candidates for every text.
  std::vector<int> separatorSymbols_;
  // The first bytes of the symbols without separators.
  std::array<bool, 256> symbolStarts_{};
};
