#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/Namemap.h"
#include "worktable/Worktableobject.h"

// One label declared by a row: a name written before a ":" in the row's ColLabels.
struct LabelDeclaration {
  int Row;
  std::string_view Name;  // a view into the row's ColLabels
};

// Every declaration of the table, in row order and within a row in the order written
// ("start:loop:" declares start, then loop). The names are views into the table's cells: they last
// until ColLabels of their row is changed or the table loses rows.
std::vector<LabelDeclaration> CollectLabelDeclarations(const TWorkTableObject& table);

// The label table of one label-resolution run: entries "label=address" in declaration order,
// duplicates included, the checksum label last. An entry's name is the text before its first
// "=" and its value the text after it.
//
// There are two look-ups and the difference is visible: the label test compares names exactly,
// while the address look-up ignores letter case (A-Z only) and takes the first matching entry, so
// a jump to "loop" lands on "Loop" when that one was declared first. Each has its own index: the
// label test, made for every jump operand, hashes and compares the text as it is, with no
// folding.
class LabelTable {
 public:
  // `addressBits` is the address as the work table carries it (ten binary digits); `address` is
  // the word address itself, kept so that addresses beyond ten bits can be refused.
  void Append(std::string_view label, std::string_view addressBits, int address);
  // Room for `count` entries in all.
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
  };
  std::vector<Entry> entries_;
  // The first entry of each name, as spelled and ignoring case.
  NameIndex<LetterCase::Exact> firstSpelledAlike_;
  NameIndex<LetterCase::Ignored> firstNamedAlike_;
  bool hasRepeatedName_ = false;
};
