#include "worktable/Worktableobject.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "support/Translatorerror.h"

void TWorkTableObject::AddRow(std::string_view file, std::string_view line, std::string_view text,
                              std::string_view operand1, std::string_view operand2,
                              std::string_view command, std::string_view labels,
                              std::string_view code) {
  rows_.emplace_back(Row::Cells{file, line, text, operand1, operand2, command, labels, code});
}

void TWorkTableObject::Reserve(int rowCount) {
  if (rowCount <= 0 || static_cast<size_t>(rowCount) <= rows_.capacity()) return;
  rows_.reserve(std::max(static_cast<size_t>(rowCount), 2 * rows_.capacity()));
}

std::vector<TWorkTableObject::Row> TWorkTableObject::TakeRows() {
  std::vector<Row> rows = std::move(rows_);
  rows_.clear();
  return rows;
}

std::string TWorkTableObject::DumpText() const {
  size_t size = 0;
  for (const Row& row : rows_) size += row.Line().size() + 2;
  std::string text;
  text.reserve(size);
  for (const Row& row : rows_) AppendDumpLine(text, row);
  return text;
}

void TWorkTableObject::ThrowColumnError() {
  throw TranslatorError("GetItem() Index argument more then 7");
}

void TWorkTableObject::ThrowRowError() {
  throw std::out_of_range("List index out of bounds");
}

