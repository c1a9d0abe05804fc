#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The "symbol=value" texts of every #define read so far, in reading order. Entries are only
// appended; a symbol may occur more than once. The symbol of an entry is its text before the
// first '=', the value its text after it.
//
// One index keeps substitution near-linear: the symbols ignoring letter case, each with the
// first entry of that symbol (the look-up of a value) and a chain of all its entries in list
// order (among them the candidates for one statement text, see Note [substitution candidates]).
// The index is an open-addressing table of entry numbers, so that a look-up makes no key text and
// a new symbol makes no node: every run of every statement that may be a symbol is looked up.
class DefineList {
 public:
  void Append(std::string entry);
  // Appends the entry "symbol=value".
  void Append(std::string_view symbol, std::string_view value);
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& Entry(int index) const { return entries_[index].text; }
  std::string_view Symbol(int index) const;
  std::string_view Value(int index) const;

  // The value of the first entry whose symbol equals `symbol` ignoring the case of A-Z;
  // false when there is none.
  bool LookUp(std::string_view symbol, std::string_view& value) const;

  // Replaces, entry by entry in list order, every free-standing occurrence of the entry's
  // symbol in `text` by the symbol's looked-up value. Free-standing: after the start, ':',
  // tab, ',' or blank, and before the end, ',', CR, LF, tab or blank. The search resumes
  // behind an inserted value, and behind an occurrence that was left alone.
  void Substitute(std::string& text) const;

  // False when Substitute would certainly leave `text` as it is: no symbol fills a run of it
  // (see Note [substitution candidates]) and no symbol holding a separator occurs in it. Lets a
  // caller skip copying a text that stays unchanged; true does not promise a change.
  bool MayChange(std::string_view text) const;

  // Substitute on a copy of `text`, for a caller that keeps `text` as it is: false, and
  // `result` untouched, when MayChange(text) is false; otherwise `result` is the substituted
  // text (which may equal `text`). Looks at the text once for both.
  bool Substituted(std::string_view text, std::string& result) const;

  // One entry's pass over `text`; true when something was replaced.
  static bool SubstituteSymbol(std::string& text, std::string_view symbol, std::string_view value);

 private:
  struct Item {
    std::string text;
    size_t split;           // position of the first '='
    int valueSource;        // the first entry whose symbol equals this one's ignoring case
    int nextOfSymbol = -1;  // the next entry whose symbol equals this one's ignoring case
  };
  // A slot of the index: the first and the last entry of a symbol ignoring case; first is -1
  // in a free slot.
  struct SymbolSlot {
    int first = -1;
    int last = -1;
    uint32_t hashTag = 0;  // the high half of the symbol's hash: most other symbols differ in it
  };
  // The slot of the symbol equal to `symbol` ignoring the case of A-Z, or the free slot where it
  // belongs.
  size_t FindSlot(std::string_view symbol, uint64_t hash) const;
  // Room for `symbolCount` symbols, keeping the slot count at least twice that.
  void GrowIndex(size_t symbolCount);
  // The entries worth applying to `text` after entry `after`: those whose symbol fills one of
  // its runs, and those whose symbol holds a separator.
  void CollectCandidates(std::string_view text, int after, std::vector<int>& candidates) const;
  // The first kind only.
  void CollectRunCandidates(std::string_view text, int after, std::vector<int>& candidates) const;
  bool HoldsSeparatorSymbol(std::string_view text) const;
  void ApplyCandidates(std::string& text, std::vector<int> found) const;
  void ApplyCandidate(std::string& text, int index) const;
  // False when no entry's symbol can equal `run`, a non-empty run of non-separator characters.
  bool MayBeSymbol(std::string_view run) const {
    return beginsSymbol_[static_cast<unsigned char>(run[0])] &&
           (symbolLengths_ & (uint64_t{1} << std::min<size_t>(run.size(), 63))) != 0;
  }

  // Calls `visit` with every maximal run of non-separator characters of `text` whose first
  // byte begins some symbol without separators, in order, until it returns true; true when it
  // did. The other runs can fill no symbol.
  template <typename Visit>
  bool AnyPossibleSymbol(std::string_view text, Visit visit) const;
  // Calls `visit` with every entry whose symbol is `run` as written, in list order.
  template <typename Visit>
  void ForEachEntryFilling(std::string_view run, Visit visit) const;

  std::vector<Item> entries_;
  std::vector<SymbolSlot> slots_;  // a power of two of them, or none before the first entry
  size_t symbolCount_ = 0;
  // Necessary conditions for a run to be a symbol without separators, far cheaper than hashing
  // it: its first byte begins some such symbol, and its length (above 63 counted as 63) is
  // some such symbol's.
  std::array<bool, 256> beginsSymbol_{};
  uint64_t symbolLengths_ = 0;
  // Entries whose symbol holds a separator character: candidates for every text.
  std::vector<int> entriesWithSeparators_;
};
