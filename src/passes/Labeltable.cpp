#include "passes/Labeltable.h"

#include "worktable/Textutils.h"

std::vector<LabelDeclaration> CollectLabelDeclarations(const TWorkTableObject& table) {
  std::vector<LabelDeclaration> declarations;
  for (int row = 0; row < table.RowCount(); ++row) {
    std::string_view labels = table.Cell(row, ColLabels);
    for (size_t colon = labels.find(':'); colon != std::string_view::npos;
         colon = labels.find(':')) {
      declarations.push_back({row, std::string(labels.substr(0, colon))});
      labels.remove_prefix(colon + 1);
    }
  }
  return declarations;
}

namespace {

// FNV-1a over the bytes, the second form over the bytes with A-Z folded: short names hash in a few
// instructions per character.
constexpr size_t kHashOffset = 14695981039346656037ull;
constexpr size_t kHashPrime = 1099511628211ull;

// The low bits of an FNV product depend only on the low bits of the bytes, and slots are chosen by
// the low bits: the high half is folded in so that every bit of every byte counts.
size_t Finish(size_t hash) {
  return hash ^ (hash >> 32);
}

size_t ExactHash(std::string_view text) {
  size_t hash = kHashOffset;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * kHashPrime;
  return Finish(hash);
}

size_t FoldedHash(std::string_view text) {
  size_t hash = kHashOffset;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(FoldCase(c))) * kHashPrime;
  return Finish(hash);
}

constexpr int kFreeSlot = -1;

}  // namespace

void TLabelTable::Append(std::string_view label, std::string_view addressBits, int address) {
  const int number = Count();
  const size_t equals = label.find('=');
  Entry entry{std::string(label.substr(0, equals)), {}, address, number, 0, 0};
  if (equals == std::string_view::npos) {
    entry.Value = addressBits;
  } else {
    const std::string_view rest = label.substr(equals + 1);
    entry.Value.reserve(rest.size() + 1 + addressBits.size());
    entry.Value.append(rest).append("=").append(addressBits);
  }
  entry.ExactHash = ExactHash(entry.Name);
  entry.FoldedHash = FoldedHash(entry.Name);
  GrowIndexes(entries_.size() + 1);

  const size_t exact = ExactSlot(firstExact_, entry.Name, entry.ExactHash);
  if (firstExact_[exact] == kFreeSlot) {
    firstExact_[exact] = number;
  } else {
    hasRepeatedName_ = true;
  }
  const size_t folded = FoldedSlot(firstFolded_, entry.Name, entry.FoldedHash);
  if (firstFolded_[folded] == kFreeSlot) {
    firstFolded_[folded] = number;
  } else {
    entry.FirstIgnoringCase = firstFolded_[folded];
  }
  entries_.push_back(std::move(entry));
}

void TLabelTable::Reserve(size_t count) {
  entries_.reserve(count);
  GrowIndexes(count);
}

void TLabelTable::GrowIndexes(size_t entryCount) {
  if (2 * entryCount <= firstExact_.size()) return;
  size_t slotCount = 16;
  while (slotCount < 2 * entryCount) slotCount *= 2;
  firstExact_.assign(slotCount, kFreeSlot);
  firstFolded_.assign(slotCount, kFreeSlot);
  // Entries in order, so that each index again holds the first entry of every name.
  for (int number = 0; number < Count(); ++number) {
    const Entry& entry = entries_[number];
    const size_t exact = ExactSlot(firstExact_, entry.Name, entry.ExactHash);
    if (firstExact_[exact] == kFreeSlot) firstExact_[exact] = number;
    const size_t folded = FoldedSlot(firstFolded_, entry.Name, entry.FoldedHash);
    if (firstFolded_[folded] == kFreeSlot) firstFolded_[folded] = number;
  }
}

template <typename Matches>
size_t TLabelTable::Probe(const Slots& slots, size_t hash, Matches matches) const {
  const size_t mask = slots.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    if (slots[slot] == kFreeSlot || matches(entries_[slots[slot]].Name)) return slot;
  }
}

size_t TLabelTable::ExactSlot(const Slots& slots, std::string_view text, size_t hash) const {
  return Probe(slots, hash, [text](std::string_view name) { return name == text; });
}

size_t TLabelTable::FoldedSlot(const Slots& slots, std::string_view text, size_t hash) const {
  return Probe(slots, hash, [text](std::string_view name) { return EqualsIgnoreCase(name, text); });
}

int TLabelTable::FindExact(std::string_view text) const {
  if (firstExact_.empty()) return -1;
  return firstExact_[ExactSlot(firstExact_, text, ExactHash(text))];
}

int TLabelTable::FindIgnoringCase(std::string_view text) const {
  if (firstFolded_.empty()) return -1;
  return firstFolded_[FoldedSlot(firstFolded_, text, FoldedHash(text))];
}
