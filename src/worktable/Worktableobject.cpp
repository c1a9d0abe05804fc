#include "worktable/Worktableobject.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "worktable/Translatorerror.h"

namespace {

using Row = TWorkTableObject::Row;

// One row of a dump: the eight cells joined by single blanks, then CR LF.
size_t RowTextSize(const Row& row) {
  size_t size = TWorkTableObject::ColumnCount - 1 + 2;
  for (const std::string& cell : row) size += cell.size();
  return size;
}

// Grows `text` by the row's size once and copies the cells into place: dumps of large tables
// are written often enough that appending cell by cell showed in profiles.
void AppendRowText(std::string& text, const Row& row) {
  size_t at = text.size();
  text.resize(at + RowTextSize(row));
  char* out = text.data();
  for (int column = 0; column < TWorkTableObject::ColumnCount; ++column) {
    if (column > 0) out[at++] = ' ';
    const std::string& cell = row[column];
    std::memcpy(out + at, cell.data(), cell.size());
    at += cell.size();
  }
  out[at++] = '\r';
  out[at] = '\n';
}

}  // namespace

void TWorkTableObject::AddRow(std::string file, std::string line, std::string text,
                              std::string operand1, std::string operand2, std::string command,
                              std::string labels, std::string code) {
  rows_.push_back(Row{std::move(file), std::move(line), std::move(text), std::move(operand1),
                      std::move(operand2), std::move(command), std::move(labels), std::move(code)});
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
  for (const Row& row : rows_) size += RowTextSize(row);
  std::string text;
  text.reserve(size);
  for (const Row& row : rows_) AppendRowText(text, row);
  return text;
}

void TWorkTableObject::SaveToFile(const std::string& fileName) const {
  TableDumpWriter writer(fileName);
  for (const Row& row : rows_) writer.Append(row);
  writer.Finish();
}

namespace {
constexpr size_t DumpBlockSize = 1 << 14;  // a few pages: enough to make writes few
}  // namespace

TableDumpWriter::TableDumpWriter(const std::string& fileName)
    : fileName_(fileName), fd_(::open(fileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666)) {
  if (fd_ < 0) throw TranslatorError("Cannot create file " + fileName);
  block_.reserve(DumpBlockSize);
}

TableDumpWriter::~TableDumpWriter() {
  if (fd_ >= 0) ::close(fd_);
}

void TableDumpWriter::Append(const TWorkTableObject::Row& row) {
  AppendRowText(block_, row);
  if (block_.size() >= DumpBlockSize) WriteBlock();
}

void TableDumpWriter::Finish() {
  WriteBlock();
  // Cut off what is left of a longer earlier file. Only regular files have a length to cut.
  struct stat status {};
  if (::fstat(fd_, &status) != 0) Fail();
  if (S_ISREG(status.st_mode) && status.st_size > written_ && ::ftruncate(fd_, written_) != 0) {
    Fail();
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail();
}

void TableDumpWriter::WriteBlock() {
  const char* data = block_.data();
  size_t left = block_.size();
  while (left > 0) {
    const ssize_t count = ::write(fd_, data, left);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) Fail();
    data += count;
    left -= static_cast<size_t>(count);
    written_ += count;
  }
  block_.clear();
}

void TableDumpWriter::Fail() {
  // Leave what was written, as a file truncated at opening would hold it, not the tail of the
  // earlier contents behind it.
  if (fd_ >= 0) {
    if (::ftruncate(fd_, written_) != 0) {
      // Nothing more can be done; the write error is what gets reported.
    }
    ::close(fd_);
    fd_ = -1;
  }
  throw TranslatorError("Cannot write file " + fileName_);
}
