#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/Runfiles.h"
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
// 16-bit word, so a row index is a word address), eight text cells per row.
//
// Rows are stored whole, so that the eight columns always have the same length. Besides the
// one-row operations, the table offers one-sweep forms (DeleteRowsWhere, ReplaceRows) so that a
// pass that removes many rows stays linear.
class TWorkTableObject {
 public:
  static constexpr int ColumnCount = 8;
  using Row = TWorkTableRow;

  TWorkTableObject() = default;
  TWorkTableObject(const TWorkTableObject&) = default;
  TWorkTableObject& operator=(const TWorkTableObject&) = default;
  virtual ~TWorkTableObject() = default;

  void AddRow(std::string_view file, std::string_view line, std::string_view text,
              std::string_view operand1, std::string_view operand2, std::string_view command,
              std::string_view labels, std::string_view code);
  void AddRow(Row row);
  // Appends a row of empty cells and returns it, to be filled in place without temporary
  // texts. The reference lasts until the next operation that adds or removes rows.
  Row& AppendRow() { return rows_.emplace_back(); }
  // Room for `rowCount` rows in all, so that appending up to that many moves no row. Grows the
  // room at least twofold, so that many small reservations stay linear.
  void Reserve(int rowCount);
  // Inserts all rows of `source` so that source row i becomes row `row` + i.
  void InsertTable(const TWorkTableObject& source, int row);
  void DeleteRow(int row);
  int RowCount() const { return static_cast<int>(rows_.size()); }
  void Clear() { rows_.clear(); }

  // Copies of cells; a column outside 0..7 throws "GetItem() Index argument more then 7", a
  // row outside the table throws the list's own index error.
  std::string GetItem(int row, int column) const { return std::string(Cell(row, column)); }
  // `text` may be a view of a cell of the same row.
  void SetItem(int row, int column, std::string_view text) {
    CheckCell(row, column);
    rows_[row].Set(column, text);
  }

  // Read access without a copy, for hot loops; same checks as GetItem. The view lasts until
  // the row is changed or the table adds or removes rows.
  std::string_view Cell(int row, int column) const {
    CheckCell(row, column);
    return rows_[row][column];
  }
  // The whole row, to change several cells at once; same row check as GetItem. The reference
  // lasts until the next operation that adds or removes rows.
  Row& MutableRow(int row) {
    CheckCell(row, 0);
    return rows_[row];
  }

  // Removes every row whose flag is set, in one sweep; `doomed` has one flag per row, and rows
  // beyond its end are kept.
  void DeleteRowsWhere(const std::vector<bool>& doomed);
  // Removes every row for which `isDoomed(row)` is true, in one sweep; rows are numbered as before
  // the call and asked in order. A template so that the test costs no call per row.
  template <typename IsDoomed>
  void DeleteRowsIf(IsDoomed isDoomed);
  const std::vector<Row>& Rows() const { return rows_; }
  void ReplaceRows(std::vector<Row> rows) { rows_ = std::move(rows); }
  // Moves every row out, leaving the table empty; the counterpart of ReplaceRows.
  std::vector<Row> TakeRows();

  // The eight cells of each row joined by single blanks, CR LF after each row.
  std::string DumpText() const;
  // Writes DumpText() to the named dump file, replacing it. A file that cannot be created
  // throws "Cannot create file <name>", a failed write "Cannot write file <name>".
  void SaveToFile(RunFiles& files, const std::string& fileName) const;

 private:
  // The cell accessors are inline because passes call them for every cell they read or write;
  // the throwing stays out of line.
  void CheckCell(int row, int column) const {
    if (column < 0 || column >= ColumnCount) ThrowColumnError();
    if (row < 0 || row >= RowCount()) ThrowRowError();
  }
  [[noreturn]] static void ThrowColumnError();
  [[noreturn]] static void ThrowRowError();

  std::vector<Row> rows_;
};

template <typename IsDoomed>
void TWorkTableObject::DeleteRowsIf(IsDoomed isDoomed) {
  const size_t count = rows_.size();
  // Rows in front of the first doomed one stay where they are.
  size_t kept = 0;
  while (kept < count && !isDoomed(static_cast<int>(kept))) ++kept;
  if (kept == count) return;
  for (size_t row = kept + 1; row < count; ++row) {
    if (!isDoomed(static_cast<int>(row))) rows_[kept++] = std::move(rows_[row]);
  }
  rows_.resize(kept);
}

// Writes rows to a file in the form of TWorkTableObject::DumpText, so that a dump can be made of
// rows that stand in several places without first copying them into one table. The text is put
// together in memory and goes out at Finish, which replaces the dump file whole. A file that
// cannot be created throws "Cannot create file <name>", a failed write "Cannot write file <name>".
class TableDumpWriter {
 public:
  TableDumpWriter(RunFiles& files, const std::string& fileName);
  TableDumpWriter(const TableDumpWriter&) = delete;
  TableDumpWriter& operator=(const TableDumpWriter&) = delete;
  ~TableDumpWriter();

  // Room for `bytes` of text in all, so that a writer told the size up front allocates once.
  void Reserve(size_t bytes);
  void Append(const TWorkTableObject::Row& row);
  // The row with `text` in place of its ColText cell.
  void Append(const TWorkTableObject::Row& row, std::string_view text);
  // Text already in dump form, written behind the appended rows without being copied: it must
  // stay valid until Finish, and nothing may be appended after it.
  void AppendDumpText(std::string_view text);
  // The text of the rows appended so far (without the text of AppendDumpText); it stays
  // available after Finish, for a caller that reuses part of it in a later dump.
  std::string_view Text() const { return std::string_view(block_.get(), filled_); }
  void Finish();

  // The size of a row's line in a dump: its cells, seven blanks and CR LF.
  static size_t RowTextSize(const TWorkTableObject::Row& row);

 private:
  char* Room(size_t bytes);

  std::unique_ptr<OutputFile> file_;
  // The text in its first filled_ bytes, then room. Not a std::string, which would clear the
  // room before it is written.
  std::unique_ptr<char[]> block_;
  size_t capacity_ = 0;
  size_t filled_ = 0;
  std::string_view dumpText_;
};
