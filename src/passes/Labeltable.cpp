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
  const int entry = Count();
  const size_t equals = label.find('=');
  std::string value(addressBits);
  if (equals != std::string_view::npos) {
    value = std::string(label.substr(equals + 1)).append("=").append(addressBits);
  }
  const std::string_view name = label.substr(0, equals);
  if (!firstSpelledAlike_.Insert(name, entry).second) hasRepeatedName_ = true;
  const int firstIgnoringCase = firstNamedAlike_.Insert(name, entry).first;
  entries_.push_back({std::string(name), std::move(value), address, firstIgnoringCase});
}

void LabelTable::Reserve(size_t count) {
  entries_.reserve(count);
  firstSpelledAlike_.Reserve(count);
  firstNamedAlike_.Reserve(count);
}

int LabelTable::FindExact(std::string_view text) const {
  return firstSpelledAlike_.Find(text);
}

int LabelTable::FindIgnoringCase(std::string_view text) const {
  return firstNamedAlike_.Find(text);
}
