#include "passes/Labeltable.h"

#include "support/Textutils.h"

std::vector<LabelDeclaration> CollectLabelDeclarations(const TWorkTableObject& table) {
  std::vector<LabelDeclaration> declarations;
  const std::vector<TWorkTableObject::Row>& rows = table.Rows();
  for (int row = 0; row < table.RowCount(); ++row) {
    std::string_view labels = rows[row][ColLabels];
    for (size_t colon = labels.find(':'); colon != std::string_view::npos;
         colon = labels.find(':')) {
      declarations.push_back({row, labels.substr(0, colon)});
      labels.remove_prefix(colon + 1);
    }
  }
  return declarations;
}

namespace {

// FNV-1a over the bytes, the second form over the bytes with A-Z folded: short names hash in a few
// instructions per character.
constexpr uint64_t kHashOffset = 14695981039346656037ull;
constexpr uint64_t kHashPrime = 1099511628211ull;

// The low bits of an FNV product depend only on the low bits of the bytes, and slots are chosen by
// the low bits: the high half is folded in so that every bit of every byte counts.
uint64_t Finish(uint64_t hash) {
  return hash ^ (hash >> 32);
}

uint64_t ExactHash(std::string_view text) {
  uint64_t hash = kHashOffset;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * kHashPrime;
  return Finish(hash);
}

uint64_t FoldedHash(std::string_view text) {
  uint64_t hash = kHashOffset;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(FoldCase(c))) * kHashPrime;
  return Finish(hash);
}

uint32_t HashTag(uint64_t hash) {
  return static_cast<uint32_t>(hash >> 32);
}

constexpr int kFreeSlot = -1;

}  // namespace

void TLabelTable::Append(std::string_view label, std::string_view addressBits, int address) {
  const int number = Count();
  GrowIndexes(entries_.size() + 1);
  const size_t equals = label.find('=');
  Entry& entry = entries_.emplace_back();  // filled in place
  entry.Name.assign(label.substr(0, equals));
  entry.Address = address;
  entry.FirstIgnoringCase = number;
  if (equals == std::string_view::npos) {
    entry.Value = addressBits;
  } else {
    const std::string_view rest = label.substr(equals + 1);
    entry.Value.reserve(rest.size() + 1 + addressBits.size());
    entry.Value.append(rest).append("=").append(addressBits);
  }
  entry.ExactHash = ExactHash(entry.Name);
  entry.FoldedHash = FoldedHash(entry.Name);
  if (!FileFirst(firstExact_[ExactSlot(entry.Name, entry.ExactHash)], number, entry.ExactHash)) {
    hasRepeatedName_ = true;
  }
  Slot& folded = firstFolded_[FoldedSlot(entry.Name, entry.FoldedHash)];
  if (!FileFirst(folded, number, entry.FoldedHash)) entry.FirstIgnoringCase = folded.Entry;
}

void TLabelTable::Reserve(size_t count) {
  entries_.reserve(count);
  GrowIndexes(count);
}

void TLabelTable::GrowIndexes(size_t entryCount) {
  if (2 * entryCount <= firstExact_.size()) return;
  size_t slotCount = 16;
  while (slotCount < 2 * entryCount) slotCount *= 2;
  firstExact_.assign(slotCount, Slot{kFreeSlot, 0});
  firstFolded_.assign(slotCount, Slot{kFreeSlot, 0});
  // Entries in order, so that each index again holds the first entry of every name.
  for (int number = 0; number < Count(); ++number) {
    const Entry& entry = entries_[number];
    FileFirst(firstExact_[ExactSlot(entry.Name, entry.ExactHash)], number, entry.ExactHash);
    FileFirst(firstFolded_[FoldedSlot(entry.Name, entry.FoldedHash)], number, entry.FoldedHash);
  }
}

bool TLabelTable::FileFirst(Slot& slot, int number, uint64_t hash) {
  if (slot.Entry != kFreeSlot) return false;
  slot = Slot{number, HashTag(hash)};
  return true;
}

// Inline: it runs for two operands of every jump.
template <typename Matches>
inline size_t TLabelTable::Probe(const Slots& slots, uint64_t hash, Matches matches) const {
  const size_t mask = slots.size() - 1;
  const uint32_t tag = HashTag(hash);
  for (size_t index = hash & mask;; index = (index + 1) & mask) {
    const Slot& slot = slots[index];
    if (slot.Entry == kFreeSlot) return index;
    if (slot.HashTag == tag && matches(entries_[slot.Entry].Name)) return index;
  }
}

size_t TLabelTable::ExactSlot(std::string_view text, uint64_t hash) const {
  return Probe(firstExact_, hash, [text](std::string_view name) { return name == text; });
}

size_t TLabelTable::FoldedSlot(std::string_view text, uint64_t hash) const {
  return Probe(firstFolded_, hash,
               [text](std::string_view name) { return EqualsIgnoreCase(name, text); });
}

int TLabelTable::FindExact(std::string_view text) const {
  if (firstExact_.empty()) return -1;
  return firstExact_[ExactSlot(text, ExactHash(text))].Entry;
}

int TLabelTable::FindIgnoringCase(std::string_view text) const {
  if (firstFolded_.empty()) return -1;
  return firstFolded_[FoldedSlot(text, FoldedHash(text))].Entry;
}
