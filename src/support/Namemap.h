#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "support/Textutils.h"

enum class LetterCase { Exact, Ignored };

// FNV-1a over the bytes of a name. When case is ignored every byte is hashed with its 0x20 bit
// set: that makes A-Z hash like a-z, so names equal ignoring case hash alike, and no folded copy
// is made. (It also pairs a few other characters, such as "[" and "{", which only costs a
// comparison when two names differ in those alone.) Inline: every look-up hashes.
template <LetterCase Case>
size_t NameHash(std::string_view name) {
  constexpr unsigned char CaseBit = Case == LetterCase::Ignored ? 0x20 : 0;
  uint64_t hash = 14695981039346656037ull;
  for (const char c : name) {
    hash = (hash ^ (static_cast<unsigned char>(c) | CaseBit)) * 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

// Hashing and equality of names that ignore the letter case of A-Z, with look-up by a view, so
// that asking for a name makes no copy of it.
struct FoldedNameHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const { return NameHash<LetterCase::Ignored>(name); }
};

struct FoldedNameEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return EqualsIgnoreCase(a, b); }
};

// The one map type for names looked up ignoring letter case (#define symbols).
template <typename Value>
using FoldedNameMap = std::unordered_map<std::string, Value, FoldedNameHash, FoldedNameEqual>;

// Files one number under each distinct name, the first one given for it. With LetterCase::Ignored
// names that differ only in the case of A-Z are one name.
//
// The names are found through an open-addressing table of slots that hold a name's hash, where
// the name is kept and the number. A look-up that misses mostly stops at an empty slot without
// reading any name, and no look-up allocates.
template <LetterCase Case>
class NameIndex {
 public:
  static constexpr int NotFound = -1;

  // Room for `count` names, so that filing that many grows no table.
  void Reserve(size_t count) {
    names_.reserve(count);
    MakeRoom(count);
  }

  // The number filed under `name`, or NotFound.
  int Find(std::string_view name) const {
    if (slots_.empty()) return NotFound;
    return slots_[SlotOf(name, Hash(name))].Number;
  }

  // Files `number` (not NotFound) under `name` unless a number is filed under it already.
  // Returns the number filed under `name`, and true when it is `number`, filed now.
  std::pair<int, bool> Insert(std::string_view name, int number) {
    MakeRoom(names_.size() + 1);
    const size_t hash = Hash(name);
    Slot& slot = slots_[SlotOf(name, hash)];
    if (slot.Number != NotFound) return {slot.Number, false};
    slot = {hash, static_cast<int>(names_.size()), number};
    names_.emplace_back(name);
    return {number, true};
  }

 private:
  struct Slot {
    size_t Hash = 0;
    int Name = 0;           // where in names_
    int Number = NotFound;  // NotFound: the slot is empty
  };

  static size_t Hash(std::string_view name) { return NameHash<Case>(name); }
  static bool Same(std::string_view a, std::string_view b) {
    if constexpr (Case == LetterCase::Ignored) return EqualsIgnoreCase(a, b);
    return a == b;
  }

  // The slot that holds `name`, or the empty slot where it would go: linear probing from the
  // slot the hash picks. The hash is compared before the name, so a name is read only when it
  // is most likely the one asked for.
  size_t SlotOf(std::string_view name, size_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.Number == NotFound) return at;
      if (slot.Hash == hash && Same(names_[static_cast<size_t>(slot.Name)], name)) return at;
    }
  }

  // Keeps the table at most half full, so that probe runs stay short.
  void MakeRoom(size_t nameCount) {
    if (2 * nameCount <= slots_.size()) return;
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::bit_ceil(std::max<size_t>(2 * nameCount, 16)), Slot());
    const size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.Number == NotFound) continue;
      size_t at = slot.Hash & mask;
      while (slots_[at].Number != NotFound) at = (at + 1) & mask;
      slots_[at] = slot;
    }
  }

  std::vector<std::string> names_;
  std::vector<Slot> slots_;  // a power of two of them, or none
};
