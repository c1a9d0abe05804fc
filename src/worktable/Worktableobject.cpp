#include "worktable/Worktableobject.h"

#include <fstream>
#include <stdexcept>

#include "worktable/Translatorerror.h"

void TWorkTableObject::AddRow(std::string file, std::string line, std::string text,
                              std::string operand1, std::string operand2, std::string command,
                              std::string labels, std::string code) {
  rows_.push_back(Row{std::move(file), std::move(line), std::move(text), std::move(operand1),
                      std::move(operand2), std::move(command), std::move(labels),
                      std::move(code)});
}

void TWorkTableObject::AddRow(Row row) { rows_.push_back(std::move(row)); }

void TWorkTableObject::InsertTable(const TWorkTableObject& source, int row) {
  if (row < 0 || row > RowCount()) throw std::out_of_range("List index out of bounds");
  // Copy first: the source may be this table itself.
  std::vector<Row> inserted = source.rows_;
  rows_.insert(rows_.begin() + row, std::make_move_iterator(inserted.begin()),
               std::make_move_iterator(inserted.end()));
}

void TWorkTableObject::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) throw std::out_of_range("List index out of bounds");
  rows_.erase(rows_.begin() + row);
}

void TWorkTableObject::CheckColumn(int column) {
  if (column < 0 || column >= ColumnCount) {
    throw TranslatorError("GetItem() Index argument more then 7");
  }
}

const std::string& TWorkTableObject::Cell(int row, int column) const {
  CheckColumn(column);
  if (row < 0 || row >= RowCount()) throw std::out_of_range("List index out of bounds");
  return rows_[row][column];
}

std::string TWorkTableObject::GetItem(int row, int column) const { return Cell(row, column); }

void TWorkTableObject::SetItem(int row, int column, std::string text) {
  CheckColumn(column);
  if (row < 0 || row >= RowCount()) throw std::out_of_range("List index out of bounds");
  rows_[row][column] = std::move(text);
}

void TWorkTableObject::DeleteRowsWhere(const std::vector<bool>& doomed) {
  size_t kept = 0;
  for (size_t r = 0; r < rows_.size(); ++r) {
    if (r < doomed.size() && doomed[r]) continue;
    if (kept != r) rows_[kept] = std::move(rows_[r]);
    ++kept;
  }
  rows_.resize(kept);
}

std::string TWorkTableObject::DumpText() const {
  std::string text;
  for (const Row& row : rows_) {
    for (int column = 0; column < ColumnCount; ++column) {
      if (column > 0) text += ' ';
      text += row[column];
    }
    text += "\r\n";
  }
  return text;
}

void TWorkTableObject::SaveToFile(const std::string& fileName) const {
  const std::string text = DumpText();
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  if (!file) throw TranslatorError("Cannot create file " + fileName);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.flush();
  if (!file) throw TranslatorError("Cannot write file " + fileName);
}
