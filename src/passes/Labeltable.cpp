#include "passes/Labeltable.h"

std::vector<LabelDeclaration> CollectLabelDeclarations(const TWorkTableObject& table) {
  std::vector<LabelDeclaration> declarations;
  for (int row = 0; row < table.RowCount(); ++row) {
    std::string_view labels = table.Cell(row, ColLabels);
    for (size_t colon = labels.find(':'); colon != std::string_view::npos;
         colon = labels.find(':')) {
      declarations.push_back({row, labels.substr(0, colon)});
      labels.remove_prefix(colon + 1);
    }
  }
  return declarations;
}

void LabelTable::Append(std::string_view label, std::string_view addressBits, int address) {
  const int number = Count();
  const size_t equals = label.find('=');
  std::string value(addressBits);
  if (equals != std::string_view::npos) {
    value = std::string(label.substr(equals + 1)).append("=").append(addressBits);
  }
  Entry& entry = entries_.emplace_back(std::string(label.substr(0, equals)), std::move(value),
                                       address, number);
  // Each index keeps the first entry of a name.
  if (!firstExact_.try_emplace(entry.Name, number).second) hasRepeatedName_ = true;
  entry.FirstIgnoringCase = firstIgnoringCase_.try_emplace(entry.Name, number).first->second;
}

void LabelTable::Reserve(size_t count) {
  entries_.reserve(count);
  firstExact_.reserve(count);
  firstIgnoringCase_.reserve(count);
}

int LabelTable::FindExact(std::string_view text) const {
  const auto found = firstExact_.find(text);
  return found == firstExact_.end() ? -1 : found->second;
}

int LabelTable::FindIgnoringCase(std::string_view text) const {
  const auto found = firstIgnoringCase_.find(text);
  return found == firstIgnoringCase_.end() ? -1 : found->second;
}
