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
// first entry of each name.
class TLabelTable {
 public:
  // `addressBits` is the address as the work table carries it (ten binary digits); `address` is
  // the word address itself, kept so that addresses beyond ten bits can be refused.
  void Append(std::string_view label, std::string_view addressBits, int address);
  // Room for `count` entries, so that filling the table never rehashes its indexes.
  void Reserve(size_t count);

  int Count() const { return static_cast<int>(entries_.size()); }
  std::string_view Name(int entry) const;
  std::string_view Value(int entry) const;
  int Address(int entry) const { return entries_[entry].Address; }

  // Label test: the first entry whose name equals `text` exactly, or -1.
  int FindExact(std::string_view text) const;
  // Address look-up: the first entry whose name equals `text` ignoring letter case, or -1.
  int FindIgnoringCase(std::string_view text) const;

 private:
  struct Entry {
    std::string Text;
    size_t NameLength;
    int Address;
  };
  // Looks names up as views, without making a key text for every look-up.
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  using NameIndex = std::unordered_map<std::string, int, NameHash, std::equal_to<>>;

  std::vector<Entry> entries_;
  NameIndex firstExact_;
  NameIndex firstFolded_;
};
