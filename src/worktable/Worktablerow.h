#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "support/Textutils.h"

// One row of the work table: eight text cells. The row keeps them as one line, the cells joined
// by single blanks (the row as a dump or listing shows it), and notes where each cell ends. A
// cell is a view into that line and lasts until the row is next written.
//
// A line that fits into `room_` is kept inside the row, so that the table is one array of rows
// without a heap block for each; most lines fit. A longer line is kept in `longLine_`. The texts
// written may be views of the row's own cells.
class WorkTableRow {
 public:
  static constexpr int CellCount = 8;
  using Cells = std::array<std::string_view, CellCount>;

  // Eight empty cells.
  WorkTableRow() { MakeEmpty(); }
  explicit WorkTableRow(const Cells& cells);
  // The cells in column order; cells not given stay empty. More than eight throw
  // std::invalid_argument.
  WorkTableRow(std::initializer_list<std::string_view> cells);
  // The row whose line is `line` and whose cells end at `ends`: for a caller that puts the line
  // together itself. The last end must be the line's length.
  WorkTableRow(std::string_view line, const std::array<uint32_t, CellCount>& ends);
  WorkTableRow(const WorkTableRow& other);
  WorkTableRow& operator=(const WorkTableRow& other) {
    if (this != &other) *this = WorkTableRow(other);
    return *this;
  }
  // A row moved from is left with eight empty cells. Inline: the table moves rows by the
  // thousand when it closes up after deleting rows or opens room for an expansion.
  WorkTableRow(WorkTableRow&& other) noexcept
      : ends_(other.ends_),
        longLine_(std::move(other.longLine_)),
        room_(other.room_),
        origin_(other.origin_) {
    other.MakeEmpty();
  }
  WorkTableRow& operator=(WorkTableRow&& other) noexcept {
    if (this != &other) {
      ends_ = other.ends_;
      longLine_ = std::move(other.longLine_);
      room_ = other.room_;
      origin_ = other.origin_;
      other.MakeEmpty();
    }
    return *this;
  }

  // The column is not checked: the table checks it before it asks.
  std::string_view operator[](int column) const {
    const uint32_t start = column == 0 ? 0 : ends_[column - 1] + 1;
    return {LineData() + start, ends_[column] - start};
  }
  std::string_view Line() const { return {LineData(), ends_[CellCount - 1]}; }
  // Most writes keep the line in the room and take no text of the row itself: those are done
  // here, inline, as passes write cells by the thousand.
  void Set(int column, std::string_view text) {
    const uint32_t start = column == 0 ? 0 : ends_[column - 1] + 1;
    const uint32_t end = ends_[column];
    const uint32_t lineSize = ends_[CellCount - 1];
    if (longLine_ || lineSize - (end - start) + text.size() > room_.size() || InRoom(text)) {
      return SetElsewhere(column, text);
    }
    // The cells behind this one move, and the text goes in.
    MoveShortText(room_.data() + start + text.size(), room_.data() + end, lineSize - end);
    MoveShortText(room_.data() + start, text.data(), text.size());
    const uint32_t change = static_cast<uint32_t>(start + text.size()) - end;
    for (int c = column; c < CellCount; ++c) ends_[c] += change;
  }
  void Assign(const Cells& cells);

  // The macro call whose expansion gave this row, as a number the job gives each call; -1 for a
  // row of the source itself. Kept through every write, copy and move of the row.
  int Origin() const { return origin_; }
  void SetOrigin(int origin) { origin_ = origin; }

  friend bool operator==(const WorkTableRow& a, const WorkTableRow& b) {
    return a.ends_ == b.ends_ && a.Line() == b.Line();
  }
  // The cells in braces, for test messages.
  friend std::ostream& operator<<(std::ostream& out, const WorkTableRow& row);

 private:
  const char* LineData() const { return longLine_ ? longLine_.get() : room_.data(); }
  bool InRoom(std::string_view text) const {
    const std::less<const char*> before;
    return !text.empty() && !before(text.data(), room_.data()) &&
           before(text.data(), room_.data() + room_.size());
  }
  void SetElsewhere(int column, std::string_view text);
  void MakeEmpty() {
    ends_ = {0, 1, 2, 3, 4, 5, 6, 7};
    longLine_.reset();
    std::memcpy(room_.data(), "       ", CellCount - 1);  // the blanks between eight empty cells
  }
  void Join(const Cells& cells, char* line);

  // Where each cell ends in the line; the last end is the line's length.
  std::array<uint32_t, CellCount> ends_;
  std::unique_ptr<char[]> longLine_;  // the line when it does not fit into room_
  // The bytes behind the line are never read as text: copies take the room whole, as bytes.
  std::array<char, 84> room_;
  int32_t origin_ = -1;
};
