#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "support/Textutils.h"

// Hashing and equality of names that ignore the letter case of A-Z, with look-up by a view, so
// that asking for a name makes no copy of it.
struct FoldedNameHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const;
};

struct FoldedNameEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return EqualsIgnoreCase(a, b); }
};

// The one map type for names looked up ignoring letter case (#define symbols, labels).
template <typename Value>
using FoldedNameMap = std::unordered_map<std::string, Value, FoldedNameHash, FoldedNameEqual>;
