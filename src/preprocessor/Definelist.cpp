#include "preprocessor/Definelist.h"

#include <algorithm>
#include <functional>
#include <queue>

#include "support/Textutils.h"

// Note [substitution candidates]
// Applying every entry to every statement would cost (entries x rows) searches in each table
// walk. An entry whose symbol holds none of the separator characters (':', tab, ',', blank, CR,
// LF) can only be free-standing where it fills a whole run of non-separator characters of the
// text. So the entries worth applying to a text are those whose symbol equals one of its runs,
// those whose symbol holds a separator (rare; always tried), and, once an entry has inserted
// its value, those whose symbol equals a run of that value (a later entry may replace inside
// it). Entries are then applied in list order exactly as if all of them were tried; the others
// would not have changed anything.

namespace {

// As a table: every character of every row is tested in each walk.
constexpr std::array<bool, 256> kSeparators = [] {
  std::array<bool, 256> separators{};
  for (const char c : std::string_view(":\t, \r\n")) {
    separators[static_cast<unsigned char>(c)] = true;
  }
  return separators;
}();

bool IsSeparator(char c) {
  return kSeparators[static_cast<unsigned char>(c)];
}

bool HasSeparator(std::string_view text) {
  for (char c : text) {
    if (IsSeparator(c)) return true;
  }
  return false;
}

uint64_t LengthBit(size_t length) {
  return uint64_t{1} << std::min<size_t>(length, 63);
}

bool MayPrecede(char c) {
  return c == ':' || c == '\t' || c == ',' || c == ' ';
}
bool MayFollow(char c) {
  return c == ',' || c == '\r' || c == '\n' || c == '\t' || c == ' ';
}

}  // namespace

namespace {

// FoldCase, inline: hashing a symbol folds each of its bytes.
char Folded(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// FNV-1a over the bytes with A-Z folded. The low bits of an FNV product depend only on the low
// bits of the bytes, and slots are chosen by the low bits: the high half is folded in.
uint64_t FoldedHash(std::string_view text) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash = (hash ^ static_cast<unsigned char>(Folded(c))) * 1099511628211ull;
  }
  return hash ^ (hash >> 32);
}

bool FoldedEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Folded(a[i]) != Folded(b[i])) return false;
  }
  return true;
}

}  // namespace

size_t DefineList::FindSlot(std::string_view symbol, uint64_t hash) const {
  const size_t mask = slots_.size() - 1;
  const uint32_t tag = static_cast<uint32_t>(hash >> 32);
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    const SymbolSlot& slot = slots_[at];
    if (slot.first < 0) return at;
    if (slot.hashTag == tag && FoldedEqual(Symbol(slot.first), symbol)) return at;
  }
}

void DefineList::GrowIndex(size_t symbolCount) {
  if (2 * symbolCount <= slots_.size()) return;
  // Room for a few dozen symbols from the start: most programs never need more.
  size_t slotCount = 128;
  while (slotCount < 2 * symbolCount) slotCount *= 2;
  std::vector<SymbolSlot> old(slotCount);
  old.swap(slots_);
  for (const SymbolSlot& slot : old) {
    if (slot.first < 0) continue;
    const std::string_view symbol = Symbol(slot.first);
    slots_[FindSlot(symbol, FoldedHash(symbol))] = slot;
  }
}

void DefineList::Append(std::string entry) {
  const int index = Count();
  const size_t split = entry.find('=');
  GrowIndex(symbolCount_ + 1);
  entries_.push_back(Item{std::move(entry), split, index});
  const std::string_view symbol = Symbol(index);
  const uint64_t hash = FoldedHash(symbol);
  SymbolSlot& slot = slots_[FindSlot(symbol, hash)];
  if (slot.first < 0) {
    slot = SymbolSlot{index, index, static_cast<uint32_t>(hash >> 32)};
    ++symbolCount_;
  } else {
    entries_[slot.last].nextOfSymbol = index;
    slot.last = index;
    entries_.back().valueSource = slot.first;
  }
  if (symbol.empty()) return;  // never found in a text
  if (HasSeparator(symbol)) {
    entriesWithSeparators_.push_back(index);
  } else {
    beginsSymbol_[static_cast<unsigned char>(symbol[0])] = true;
    symbolLengths_ |= LengthBit(symbol.size());
  }
}

void DefineList::Append(std::string_view symbol, std::string_view value) {
  std::string entry;
  entry.reserve(symbol.size() + 1 + value.size());
  entry.append(symbol).append(1, '=').append(value);
  Append(std::move(entry));
}

std::string_view DefineList::Symbol(int index) const {
  const Item& item = entries_[index];
  return std::string_view(item.text).substr(0, item.split);
}

std::string_view DefineList::Value(int index) const {
  const Item& item = entries_[index];
  if (item.split == std::string::npos) return {};
  return std::string_view(item.text).substr(item.split + 1);
}

bool DefineList::LookUp(std::string_view symbol, std::string_view& value) const {
  if (slots_.empty()) return false;
  const SymbolSlot& slot = slots_[FindSlot(symbol, FoldedHash(symbol))];
  if (slot.first < 0) return false;
  value = Value(slot.first);
  return true;
}

bool DefineList::SubstituteSymbol(std::string& text, std::string_view symbol,
                                  std::string_view value) {
  if (symbol.empty()) return false;
  bool replaced = false;
  size_t start = 0;
  for (size_t at = text.find(symbol, start); at != std::string::npos;
       at = text.find(symbol, start)) {
    const size_t end = at + symbol.size();
    const bool freeStanding =
        (at == 0 || MayPrecede(text[at - 1])) && (end == text.size() || MayFollow(text[end]));
    if (freeStanding) {
      text.replace(at, symbol.size(), value);
      start = at + value.size();
      replaced = true;
    } else {
      start = end;
    }
  }
  return replaced;
}

template <typename Visit>
void DefineList::ForEachEntryFilling(std::string_view run, Visit visit) const {
  if (!MayBeSymbol(run)) return;  // also true of every run when there is no entry
  const SymbolSlot& slot = slots_[FindSlot(run, FoldedHash(run))];
  for (int index = slot.first; index >= 0; index = entries_[index].nextOfSymbol) {
    if (Symbol(index) == run) visit(index);
  }
}

// Only the runs that begin with such a byte are looked at further: the scan tests one byte
// against a table until it meets one, and most statements hold none.
template <typename Visit>
bool DefineList::AnyPossibleSymbol(std::string_view text, Visit visit) const {
  const char* at = text.data();
  const char* const end = at + text.size();
  for (; at != end; ++at) {
    if (!beginsSymbol_[static_cast<unsigned char>(*at)]) continue;
    // A byte that begins a symbol is no separator; a run begins here only after one.
    if (at != text.data() && !IsSeparator(at[-1])) continue;
    const char* const run = at;
    do {
      ++at;
    } while (at != end && !IsSeparator(*at));
    if (visit(std::string_view(run, static_cast<size_t>(at - run)))) return true;
    if (at == end) break;
  }
  return false;
}

void DefineList::CollectCandidates(std::string_view text, int after,
                                   std::vector<int>& candidates) const {
  CollectRunCandidates(text, after, candidates);
  for (int index : entriesWithSeparators_) {
    if (index > after) candidates.push_back(index);
  }
}

void DefineList::CollectRunCandidates(std::string_view text, int after,
                                      std::vector<int>& candidates) const {
  AnyPossibleSymbol(text, [&](std::string_view run) {
    ForEachEntryFilling(run, [&](int index) {
      if (index > after) candidates.push_back(index);
    });
    return false;
  });
}

bool DefineList::HoldsSeparatorSymbol(std::string_view text) const {
  for (int index : entriesWithSeparators_) {
    if (Contains(text, Symbol(index))) return true;
  }
  return false;
}

bool DefineList::MayChange(std::string_view text) const {
  if (HoldsSeparatorSymbol(text)) return true;
  return AnyPossibleSymbol(text, [&](std::string_view run) {
    bool fills = false;
    ForEachEntryFilling(run, [&](int) { fills = true; });
    return fills;
  });
}

void DefineList::Substitute(std::string& text) const {
  std::vector<int> found;
  CollectCandidates(text, -1, found);
  ApplyCandidates(text, std::move(found));
}

bool DefineList::Substituted(std::string_view text, std::string& result) const {
  // Most texts hold no symbol and most others one: both are settled without a list of
  // candidates. `first` is the first candidate found, `several` tells of another one.
  int first = -1;
  bool several = false;
  AnyPossibleSymbol(text, [&](std::string_view run) {
    ForEachEntryFilling(run, [&](int index) {
      if (first < 0) {
        first = index;
      } else if (index != first) {
        several = true;
      }
    });
    return several;
  });
  if (first < 0 && (entriesWithSeparators_.empty() || !HoldsSeparatorSymbol(text))) {
    return false;  // as MayChange
  }
  result.assign(text);
  if (several || !entriesWithSeparators_.empty()) {
    std::vector<int> found;
    CollectCandidates(text, -1, found);
    ApplyCandidates(result, std::move(found));
  } else {
    ApplyCandidate(result, first);
  }
  return true;
}

// ApplyCandidates with the one candidate `index`.
void DefineList::ApplyCandidate(std::string& text, int index) const {
  const std::string_view value = Value(entries_[index].valueSource);
  if (!SubstituteSymbol(text, Symbol(index), value)) return;
  std::vector<int> more;
  CollectCandidates(value, index, more);
  if (!more.empty()) ApplyCandidates(text, std::move(more));
}

// Applies the candidates and those that inserted values bring, in list order.
void DefineList::ApplyCandidates(std::string& text, std::vector<int> found) const {
  std::priority_queue<int, std::vector<int>, std::greater<int>> pending(std::greater<int>(),
                                                                        std::move(found));
  int applied = -1;
  while (!pending.empty()) {
    const int index = pending.top();
    pending.pop();
    if (index <= applied) continue;  // the same entry found in several runs
    applied = index;
    const std::string_view value = Value(entries_[index].valueSource);
    if (!SubstituteSymbol(text, Symbol(index), value)) continue;
    std::vector<int> more;
    CollectCandidates(value, index, more);
    for (int candidate : more) pending.push(candidate);
  }
}
