#include "support/Namemap.h"

#include <cstdint>

// FNV-1a over the bytes with A-Z folded: names equal ignoring case hash alike, and no folded
// copy is made.
size_t FoldedNameHash::operator()(std::string_view name) const {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : name)
    hash = (hash ^ static_cast<unsigned char>(FoldCase(c))) * 1099511628211ull;
  return static_cast<size_t>(hash);
}
