#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "worktable/Worktablerow.h"

// Column indices of a work-table row.
enum WorkTableColumn {
  ColFile = 0,
  ColLine = 1,
  ColText = 2,
  ColOperand1 = 3,
  ColOperand2 = 4,
  ColCommand = 5,
  ColLabels = 6,
  ColCode = 7,
};

// The program being assembled: one row per statement (from the data pass on, one row per
// 16-bit word, so a row index is a word address), eight text cells per row. Rows are stored
// whole, so the eight columns always have the same length.
class TWorkTableObject {
 public:
  static constexpr int ColumnCount = WorkTableRow::CellCount;
  using Row = WorkTableRow;

  TWorkTableObject() = default;
  TWorkTableObject(const TWorkTableObject&) = default;
  TWorkTableObject& operator=(const TWorkTableObject&) = default;
  virtual ~TWorkTableObject() = default;

  void AddRow(std::string_view file, std::string_view line, std::string_view text,
              std::string_view operand1, std::string_view operand2, std::string_view command,
              std::string_view labels, std::string_view code);
  // The row whose line is `line` and whose cells end at `ends`, for a caller that puts the
  // line together itself.
  void AddRow(std::string_view line, const std::array<uint32_t, ColumnCount>& ends) {
    rows_.emplace_back(line, ends);
  }
  // Room for `rowCount` rows in all, so that adding rows up to that count moves none. The room
  // grows at least twofold, so that reserving a little more again and again stays linear.
  void Reserve(int rowCount);
  int RowCount() const { return static_cast<int>(rows_.size()); }

  // A column outside 0..7 throws "GetItem() Index argument more then 7", a row outside the
  // table the list's own index error. A cell lasts until its row is next written or the table
  // adds or removes rows.
  std::string_view Cell(int row, int column) const {
    CheckCell(row, column);
    return rows_[row][column];
  }
  // `text` may be a view of a cell of the same row.
  void SetItem(int row, int column, std::string_view text) {
    CheckCell(row, column);
    rows_[row].Set(column, text);
  }
  // The whole row, to change several cells at once; the row is checked like Cell's.
  Row& MutableRow(int row) {
    CheckCell(row, 0);
    return rows_[row];
  }
  const std::vector<Row>& Rows() const { return rows_; }

  // Removes every row for which `isDoomed(row)` is true, in one sweep; rows are numbered as
  // before the call and asked in order.
  template <typename IsDoomed>
  void DeleteRowsIf(IsDoomed isDoomed);
  // Moves every row out, leaving the table empty, and back in: for a caller that rebuilds the
  // table as a whole.
  std::vector<Row> TakeRows();
  void ReplaceRows(std::vector<Row> rows) { rows_ = std::move(rows); }

  // The table as a dump file shows it: each row's line and CR LF.
  std::string DumpText() const;

 private:
  // Inline because passes call the cell accessors for every cell they read or write; the
  // throwing stays out of line.
  void CheckCell(int row, int column) const {
    if (column < 0 || column >= ColumnCount) ThrowColumnError();
    if (row < 0 || row >= RowCount()) ThrowRowError();
  }
  [[noreturn]] static void ThrowColumnError();
  [[noreturn]] static void ThrowRowError();

  std::vector<Row> rows_;
};

// Appends the row as a dump file shows it: its line and CR LF.
inline void AppendDumpLine(std::string& text, const WorkTableRow& row) {
  text.append(row.Line()).append("\r\n", 2);
}

template <typename IsDoomed>
void TWorkTableObject::DeleteRowsIf(IsDoomed isDoomed) {
  size_t kept = 0;
  for (size_t row = 0; row < rows_.size(); ++row) {
    if (isDoomed(static_cast<int>(row))) continue;
    if (kept != row) rows_[kept] = std::move(rows_[row]);
    ++kept;
  }
  rows_.resize(kept);
}
