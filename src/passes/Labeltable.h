#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "worktable/Worktableobject.h"

// One label declared by a row: a name written before a ":" in the row's ColLabels.
struct LabelDeclaration {
  int Row;
  std::string Name;
};

// Every declaration of the table, in row order and within a row in the order written
// ("start:loop:" declares start, then loop).
std::vector<LabelDeclaration> CollectLabelDeclarations(const TWorkTableObject& table);

// The label table of one label-resolution run: entries "label=address" in declaration order,
// duplicates included, the checksum label last. An entry's name is the text before its first
// "=" and its value the text after it.
//
// There are two look-ups and the difference is visible: the label test compares names exactly,
// while the address look-up ignores letter case (A-Z only) and takes the first matching entry, so
// a jump to "loop" lands on "Loop" when that one was declared first. Both are hash indexes over the
// first entry of each name. They are open-addressing tables of entry numbers, so that a look-up
// makes no key text and a new entry makes no index node: label resolution looks up two operands of
// every jump.
class TLabelTable {
 public:
  // `addressBits` is the address as the work table carries it (ten binary digits); `address` is
  // the word address itself, kept so that addresses beyond ten bits can be refused.
  void Append(std::string_view label, std::string_view addressBits, int address);
  // Room for `count` entries, so that filling the table never rehashes its indexes.
  void Reserve(size_t count);

  int Count() const { return static_cast<int>(entries_.size()); }
  std::string_view Name(int entry) const { return entries_[entry].Name; }
  std::string_view Value(int entry) const { return entries_[entry].Value; }
  int Address(int entry) const { return entries_[entry].Address; }

  // Label test: the first entry whose name equals `text` exactly, or -1.
  int FindExact(std::string_view text) const;
  // Address look-up: the first entry whose name equals `text` ignoring letter case, or -1.
  int FindIgnoringCase(std::string_view text) const;
  // FindIgnoringCase(Name(entry)), known since the entry was appended.
  int FirstIgnoringCase(int entry) const { return entries_[entry].FirstIgnoringCase; }
  // True when some name was appended more than once (compared exactly).
  bool HasRepeatedName() const { return hasRepeatedName_; }

 private:
  struct Entry {
    std::string Name;
    std::string Value;
    int Address;
    int FirstIgnoringCase;
    size_t ExactHash;
    size_t FoldedHash;
  };

  // Slots hold entry numbers, -1 when free; the slot count is a power of two, at least twice the
  // number of entries, so that probes stay short.
  using Slots = std::vector<int>;

  void GrowIndexes(size_t entryCount);
  // The slot holding the first entry whose name matches `text`, or the free slot where it belongs.
  template <typename Matches>
  size_t Probe(const Slots& slots, size_t hash, Matches matches) const;
  size_t ExactSlot(const Slots& slots, std::string_view text, size_t hash) const;
  size_t FoldedSlot(const Slots& slots, std::string_view text, size_t hash) const;

  std::vector<Entry> entries_;
  Slots firstExact_;
  Slots firstFolded_;
  bool hasRepeatedName_ = false;
};
