#include "worktable/Worktablerow.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <ostream>
#include <stdexcept>

#include "support/Textutils.h"

namespace {

size_t LineSize(const WorkTableRow::Cells& cells) {
  size_t size = WorkTableRow::CellCount - 1;  // the blanks
  for (std::string_view cell : cells) size += cell.size();
  if (size > std::numeric_limits<uint32_t>::max()) throw std::length_error("Row text too long");
  return size;
}

}  // namespace

WorkTableRow::WorkTableRow(const Cells& cells) {
  const size_t size = LineSize(cells);
  if (size > room_.size()) longLine_.reset(new char[size]);
  Join(cells, longLine_ ? longLine_.get() : room_.data());
}

void WorkTableRow::Assign(const Cells& cells) {
  // Put together aside: the cells may be views of this row's line.
  const size_t size = LineSize(cells);
  if (size > room_.size()) {
    std::unique_ptr<char[]> longLine(new char[size]);
    Join(cells, longLine.get());
    longLine_ = std::move(longLine);
    return;
  }
  std::array<char, sizeof room_> line;
  Join(cells, line.data());
  std::memcpy(room_.data(), line.data(), sizeof room_);
  longLine_.reset();
}

// The cells joined by blanks into `line`; sets where each cell ends.
void WorkTableRow::Join(const Cells& cells, char* line) {
  size_t end = 0;
  for (int c = 0; c < CellCount; ++c) {
    if (c > 0) line[end++] = ' ';
    // Cells are mostly a few characters, often one (a placeholder): copied without a library
    // call.
    if (cells[c].size() == 1) {
      line[end] = cells[c][0];
    } else {
      MoveShortText(line + end, cells[c].data(), cells[c].size());
    }
    end += cells[c].size();
    ends_[c] = static_cast<uint32_t>(end);
  }
}

WorkTableRow::WorkTableRow(std::initializer_list<std::string_view> cells)
    : WorkTableRow([&] {
        if (cells.size() > CellCount) throw std::invalid_argument("A row has eight cells");
        Cells all{};
        std::copy(cells.begin(), cells.end(), all.begin());
        return all;
      }()) {}

WorkTableRow::WorkTableRow(std::string_view line, const std::array<uint32_t, CellCount>& ends)
    : ends_(ends) {
  if (line.size() != ends[CellCount - 1]) throw std::invalid_argument("Row line and ends differ");
  if (line.size() > room_.size()) longLine_.reset(new char[line.size()]);
  std::memcpy(longLine_ ? longLine_.get() : room_.data(), line.data(), line.size());
}

WorkTableRow::WorkTableRow(const WorkTableRow& other) : ends_(other.ends_), origin_(other.origin_) {
  std::memcpy(room_.data(), other.room_.data(), sizeof room_);
  if (other.longLine_) {
    longLine_.reset(new char[ends_[CellCount - 1]]);
    std::memcpy(longLine_.get(), other.longLine_.get(), ends_[CellCount - 1]);
  }
}

// Set for a line that is or becomes long, or a text of this row's own line, which would move
// under its feet: the line is put together anew, from a copy of such a text.
void WorkTableRow::SetElsewhere(int column, std::string_view text) {
  const std::string_view line = Line();
  const std::less<const char*> before;
  if (!text.empty() && !before(text.data(), line.data()) &&
      before(text.data(), line.data() + line.size())) {
    const std::string copy(text);
    return SetElsewhere(column, copy);
  }
  const uint32_t start = column == 0 ? 0 : ends_[column - 1] + 1;
  const uint32_t end = ends_[column];
  const size_t size = line.size() - (end - start) + text.size();
  if (size > std::numeric_limits<uint32_t>::max()) throw std::length_error("Row text too long");
  // Into the room from a long line or within it, or into a new long line: the pieces are read
  // from the old line (or a text apart) while the new one is written.
  std::array<char, sizeof room_> shortLine;
  std::unique_ptr<char[]> longLine(size > room_.size() ? new char[size] : nullptr);
  char* const to = longLine ? longLine.get() : shortLine.data();
  std::memcpy(to, line.data(), start);
  if (!text.empty()) std::memcpy(to + start, text.data(), text.size());
  std::memcpy(to + start + text.size(), line.data() + end, line.size() - end);
  if (!longLine) std::memcpy(room_.data(), shortLine.data(), size);
  longLine_ = std::move(longLine);
  const uint32_t change = static_cast<uint32_t>(start + text.size()) - end;
  for (int c = column; c < CellCount; ++c) ends_[c] += change;
}

std::ostream& operator<<(std::ostream& out, const WorkTableRow& row) {
  out << '{';
  for (int c = 0; c < WorkTableRow::CellCount; ++c) {
    out << (c == 0 ? "\"" : ", \"") << row[c] << '"';
  }
  return out << '}';
}
