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

void TLabelTable::Append(std::string_view label, std::string_view addressBits, int address) {
  std::string text;
  text.reserve(label.size() + 1 + addressBits.size());
  text.append(label).append("=").append(addressBits);
  const size_t nameLength = text.find('=');
  const int entry = Count();
  entries_.push_back({std::move(text), nameLength, address});
  const std::string_view name = Name(entry);
  firstExact_.try_emplace(std::string(name), entry);
  firstFolded_.try_emplace(ToLowerAscii(name), entry);
}

void TLabelTable::Reserve(size_t count) {
  entries_.reserve(count);
  firstExact_.reserve(count);
  firstFolded_.reserve(count);
}

std::string_view TLabelTable::Name(int entry) const {
  const Entry& e = entries_[entry];
  return std::string_view(e.Text).substr(0, e.NameLength);
}

std::string_view TLabelTable::Value(int entry) const {
  const Entry& e = entries_[entry];
  return std::string_view(e.Text).substr(e.NameLength + 1);
}

int TLabelTable::FindExact(std::string_view text) const {
  const auto found = firstExact_.find(text);
  return found == firstExact_.end() ? -1 : found->second;
}

int TLabelTable::FindIgnoringCase(std::string_view text) const {
  const auto found = firstFolded_.find(ToLowerAscii(text));
  return found == firstFolded_.end() ? -1 : found->second;
}
