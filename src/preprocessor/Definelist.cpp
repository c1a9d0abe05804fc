#include "preprocessor/Definelist.h"

#include <algorithm>

#include "preprocessor/Freestanding.h"

// Note [substitution candidates]
// Applying every entry to every statement would cost (entries x rows) searches in each table
// walk. A symbol without separators (':', tab, ',', blank, CR, LF) stands free only where it
// fills a whole run between separators, so the only entries that can change a text are those
// whose symbol equals one of its runs, and those whose symbol holds a separator (rare; always
// tried). Applying, again and again, the lowest-numbered such entry behind the one applied last
// gives the same text as applying all entries in list order: the others find nothing.

namespace {

constexpr NameBoundaries kSymbolBoundaries{":\t, ", ",\r\n\t ", true, true};

// Every character of every statement is asked: a comparison each, not a search.
bool IsSeparator(char c) {
  return c == ':' || c == '\t' || c == ',' || c == ' ' || c == '\r' || c == '\n';
}

}  // namespace

void DefineList::Append(std::string_view symbol, std::string_view value) {
  std::string entry;
  entry.append(symbol).append(1, '=').append(value);
  const size_t split = entry.find('=');
  const int index = Count();
  std::vector<int>& sameSymbol = entriesBySymbol_[entry.substr(0, split)];
  sameSymbol.push_back(index);
  entries_.push_back(Entry{entry.substr(0, split), entry.substr(split + 1), sameSymbol.front()});
  const std::string& added = entries_.back().Symbol;
  if (std::any_of(added.begin(), added.end(), IsSeparator)) {
    separatorSymbols_.push_back(index);
  } else if (!added.empty()) {
    symbolStarts_[static_cast<unsigned char>(added[0])] = true;
  }
}

const std::string* DefineList::LookUp(std::string_view symbol) const {
  const auto found = entriesBySymbol_.find(symbol);
  if (found == entriesBySymbol_.end()) return nullptr;
  return &entries_[found->second.front()].Value;
}

// Most runs of a statement (mnemonics, registers, numbers) begin with a byte that no symbol
// begins with: one look at each byte settles them, and only the others are looked up.
int DefineList::NextCandidate(std::string_view text, int after) const {
  int next = -1;
  auto consider = [&next, after](int index) {
    if (index > after && (next < 0 || index < next)) next = index;
  };
  for (size_t start = 0; start < text.size(); ++start) {
    if (!symbolStarts_[static_cast<unsigned char>(text[start])]) continue;
    if (start > 0 && !IsSeparator(text[start - 1])) continue;  // inside a run
    size_t end = start + 1;  // a byte that begins a symbol is no separator
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    const std::string_view run = text.substr(start, end - start);
    const auto found = entriesBySymbol_.find(run);
    if (found != entriesBySymbol_.end()) {
      for (int index : found->second) {
        if (entries_[index].Symbol == run) consider(index);
      }
    }
    start = end;
  }
  for (int index : separatorSymbols_) consider(index);
  return next;
}

DefineList::Outcome DefineList::Substitute(std::string_view text, size_t limit,
                                           std::string& result) const {
  int index = NextCandidate(text, -1);
  if (index < 0) return Outcome::Unchanged;  // most texts
  bool changed = false;
  std::string replaced;
  for (; index >= 0;
       index = NextCandidate(changed ? std::string_view(result) : text, index)) {
    const Entry& entry = entries_[index];
    const std::string& value = entries_[entry.ValueSource].Value;
    const std::string_view current = changed ? std::string_view(result) : text;
    switch (ReplaceFreeStanding(current, entry.Symbol, value, kSymbolBoundaries, limit, replaced)) {
      case Replaced::Nothing:
        break;
      case Replaced::TooLong:
        return Outcome::TooLarge;
      case Replaced::Something:
        result.swap(replaced);
        changed = true;
        break;
    }
  }
  // A value may put back the very text it replaced.
  return changed && result != text ? Outcome::Changed : Outcome::Unchanged;
}
