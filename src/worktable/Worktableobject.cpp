#include "worktable/Worktableobject.h"


#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "support/Textutils.h"
#include "support/Translatorerror.h"

namespace {

using Row = TWorkTableObject::Row;

// Writes the line of a row, with `text` as its ColText cell, to `out`, which has room for it.
// The row holds its cells as its line: one copy, or three when the text is another one.
void PutRowText(char* out, const Row& row, std::string_view text) {
  const std::string_view line = row.Line();
  const std::string_view cell = row[ColText];
  if (text.data() == cell.data() && text.size() == cell.size()) {
    std::memcpy(out, line.data(), line.size());
    out += line.size();
  } else {
    const size_t head = static_cast<size_t>(cell.data() - line.data());
    const size_t tail = head + cell.size();
    std::memcpy(out, line.data(), head);
    out += head;
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
    out += text.size();
    std::memcpy(out, line.data() + tail, line.size() - tail);
    out += line.size() - tail;
  }
  out[0] = '\r';
  out[1] = '\n';
}

}  // namespace

void TWorkTableObject::AddRow(std::string_view file, std::string_view line, std::string_view text,
                              std::string_view operand1, std::string_view operand2,
                              std::string_view command, std::string_view labels,
                              std::string_view code) {
  rows_.emplace_back().Assign({file, line, text, operand1, operand2, command, labels, code});
}

void TWorkTableObject::AddRow(Row row) {
  rows_.push_back(std::move(row));
}

void TWorkTableObject::Reserve(int rowCount) {
  if (rowCount <= 0 || static_cast<size_t>(rowCount) <= rows_.capacity()) return;
  // At least doubling, so that reserving a little more again and again stays linear.
  rows_.reserve(std::max(static_cast<size_t>(rowCount), 2 * rows_.capacity()));
}

std::vector<TWorkTableObject::Row> TWorkTableObject::TakeRows() {
  std::vector<Row> rows = std::move(rows_);
  rows_.clear();
  return rows;
}

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

void TWorkTableObject::ThrowColumnError() {
  throw TranslatorError("GetItem() Index argument more then 7");
}

void TWorkTableObject::ThrowRowError() {
  throw std::out_of_range("List index out of bounds");
}

void TWorkTableObject::DeleteRowsWhere(const std::vector<bool>& doomed) {
  const int flagged = static_cast<int>(doomed.size());
  DeleteRowsIf([&doomed, flagged](int row) { return row < flagged && doomed[row]; });
}

std::string TWorkTableObject::DumpText() const {
  size_t size = 0;
  for (const Row& row : rows_) size += TableDumpWriter::RowTextSize(row);
  std::string text(size, '\0');
  char* out = text.data();
  for (const Row& row : rows_) {
    PutRowText(out, row, row[ColText]);
    out += TableDumpWriter::RowTextSize(row);
  }
  return text;
}

void TWorkTableObject::SaveToFile(RunFiles& files, const std::string& fileName) const {
  TableDumpWriter writer(files, fileName);
  size_t size = 0;
  for (const Row& row : rows_) size += TableDumpWriter::RowTextSize(row);
  writer.Reserve(size);
  for (const Row& row : rows_) writer.Append(row);
  writer.Finish();
}

TableDumpWriter::TableDumpWriter(RunFiles& files, const std::string& fileName)
    : file_(files.CreateDump(fileName)) {}

TableDumpWriter::~TableDumpWriter() = default;

size_t TableDumpWriter::RowTextSize(const Row& row) {
  return row.TextSize() + TWorkTableObject::ColumnCount - 1 + 2;
}

void TableDumpWriter::Reserve(size_t bytes) {
  if (bytes <= capacity_) return;
  std::unique_ptr<char[]> block(new char[bytes]);
  if (filled_ > 0) std::memcpy(block.get(), block_.get(), filled_);
  block_ = std::move(block);
  capacity_ = bytes;
}

// `bytes` more of the text, taken from the room; the room grows at least twofold when it runs
// out, so that a writer not told the size up front still copies its text a bounded number of
// times.
char* TableDumpWriter::Room(size_t bytes) {
  const size_t needed = filled_ + bytes;
  if (needed > capacity_) Reserve(std::max(needed, 2 * capacity_));
  char* room = block_.get() + filled_;
  filled_ = needed;
  return room;
}

void TableDumpWriter::Append(const TWorkTableObject::Row& row) {
  // The row's own line, without the search for its text cell: most dumps are written so.
  const std::string_view line = row.Line();
  char* out = Room(line.size() + 2);
  std::memcpy(out, line.data(), line.size());
  out[line.size()] = '\r';
  out[line.size() + 1] = '\n';
}

void TableDumpWriter::Append(const TWorkTableObject::Row& row, std::string_view text) {
  const size_t size = RowTextSize(row) - row[ColText].size() + text.size();
  PutRowText(Room(size), row, text);
}

void TableDumpWriter::AppendDumpText(std::string_view text) {
  dumpText_ = text;
}

void TableDumpWriter::Finish() {
  file_->Write(Text());
  file_->Write(dumpText_);
  file_->Commit();
}
