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
  const std::string_view name = label.substr(0, equals);
  const auto [found, isNew] = groups_.try_emplace(std::string(name), NameGroup{number, {}});
  entries_.push_back({std::string(name), std::move(value), address, found->second.First});
  if (isNew) return;
  // A name met before ignoring case: a repetition if spelled like an earlier one, else the
  // first of its spelling.
  if (FirstSpelledAs(*found, name) >= 0) {
    hasRepeatedName_ = true;
  } else {
    found->second.FirstOfOtherSpellings.push_back(number);
  }
}

void LabelTable::Reserve(size_t count) {
  entries_.reserve(count);
  groups_.reserve(count);
}

int LabelTable::FindExact(std::string_view text) const {
  const auto found = groups_.find(text);
  return found == groups_.end() ? -1 : FirstSpelledAs(*found, text);
}

int LabelTable::FirstSpelledAs(const Group& group, std::string_view text) const {
  if (group.first == text) return group.second.First;
  for (const int entry : group.second.FirstOfOtherSpellings) {
    if (entries_[entry].Name == text) return entry;
  }
  return -1;
}

int LabelTable::FindIgnoringCase(std::string_view text) const {
  const auto found = groups_.find(text);
  return found == groups_.end() ? -1 : found->second.First;
}
