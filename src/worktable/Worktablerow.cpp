#include "worktable/Worktablerow.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

namespace {

// Cell offsets are 32-bit; a row longer than that cannot be held.
size_t CheckedTotal(size_t total) {
  if (total > std::numeric_limits<uint32_t>::max()) throw std::length_error("Row text too long");
  return total;
}

}  // namespace

TWorkTableRow::TWorkTableRow(std::initializer_list<std::string_view> cells) {
  if (cells.size() > CellCount) throw std::invalid_argument("A row has eight cells");
  std::array<std::string_view, CellCount> all{};
  std::copy(cells.begin(), cells.end(), all.begin());
  Assign(all);
}

TWorkTableRow::TWorkTableRow(const TWorkTableRow& other) {
  *this = other;
}

TWorkTableRow::TWorkTableRow(TWorkTableRow&& other) noexcept {
  TakeFrom(other);
}

TWorkTableRow& TWorkTableRow::operator=(const TWorkTableRow& other) {
  if (this == &other) return *this;
#ifdef MQ71_MOVE_ROWS_ON_WRITE
  std::array<std::string_view, CellCount> cells;
  for (int c = 0; c < CellCount; ++c) cells[c] = other[c];
  Assign(cells);
  return *this;
#endif
  const size_t total = other.LineSize();
  if (total > Capacity()) {
    // Only the text is kept, so nothing needs copying into the new room.
    char* block = new char[total];
    delete[] heap_;
    heap_ = block;
    capacity_ = static_cast<uint32_t>(total);
  }
  std::memcpy(Text(), other.Text(), total);
  std::memcpy(ends_, other.ends_, sizeof ends_);  // a fixed size: a few moves, no call
  return *this;
}

TWorkTableRow& TWorkTableRow::operator=(TWorkTableRow&& other) noexcept {
  if (this != &other) {
    delete[] heap_;
    TakeFrom(other);
  }
  return *this;
}

// Takes the other row's text and leaves it empty; this row holds no heap block.
void TWorkTableRow::TakeFrom(TWorkTableRow& other) noexcept {
  std::memcpy(ends_, other.ends_, sizeof ends_);  // a fixed size: a few moves, no call
  heap_ = other.heap_;
  capacity_ = other.capacity_;
  // The whole room, a fixed size the compiler copies in a few moves, rather than a call for
  // the text's length.
  if (heap_ == nullptr) std::memcpy(inline_, other.inline_, InlineCapacity);
  other.heap_ = nullptr;
  other.MakeEmpty();
}

// Eight empty cells, that is seven blanks, inside the row; the heap block, if any, is already
// released.
void TWorkTableRow::MakeEmpty() {
  capacity_ = 0;
  for (int c = 0; c < CellCount; ++c) ends_[c] = static_cast<uint32_t>(c);
  std::memset(inline_, ' ', CellCount - 1);
}

bool TWorkTableRow::Holds(std::string_view text) const {
  if (text.empty()) return false;
  const std::less<const char*> before;
  return !before(text.data(), Text()) && before(text.data(), Text() + Capacity());
}

void TWorkTableRow::Grow(size_t needed) {
  const size_t capacity = CheckedTotal(std::max(needed, 2 * Capacity()));
  char* block = new char[capacity];
  std::memcpy(block, Text(), LineSize());
  delete[] heap_;
  heap_ = block;
  capacity_ = static_cast<uint32_t>(capacity);
}

void TWorkTableRow::SetElsewhere(int column, std::string_view text) {
#ifdef MQ71_MOVE_ROWS_ON_WRITE
  std::array<std::string_view, CellCount> cells;
  for (int c = 0; c < CellCount; ++c) cells[c] = c == column ? text : (*this)[c];
  return Assign(cells);
#endif
  const uint32_t start = Start(column);
  const uint32_t end = ends_[column];
  if (Holds(text)) {
    const size_t offset = static_cast<size_t>(text.data() - Text());
    // A part of the cell itself, as when a cell is trimmed: it moves to the cell's start.
    if (offset >= start && offset + text.size() <= end) return Narrow(column, offset, text.size());
    // Another cell of this row would move under its own copy.
    return SetCopyOf(column, text);
  }
  const size_t total = LineSize();
  const size_t newEnd = start + text.size();
  const size_t newTotal = CheckedTotal(total - end + newEnd);
  if (newTotal > Capacity()) Grow(newTotal);
  char* data = Text();
  if (newEnd != end) MoveShortText(data + newEnd, data + end, total - end);
  MoveShortText(data + start, text.data(), text.size());
  ShiftEnds(column, static_cast<uint32_t>(newEnd) - end);
}

void TWorkTableRow::SetCopyOf(int column, std::string_view text) {
  if (text.size() <= InlineCapacity) {
    char copy[InlineCapacity];
    std::memcpy(copy, text.data(), text.size());
    Set(column, std::string_view(copy, text.size()));
  } else {
    Set(column, std::string(text));
  }
}

void TWorkTableRow::Assign(const std::array<std::string_view, CellCount>& cells) {
  size_t total = CellCount - 1;  // the blanks
  for (std::string_view cell : cells) total += cell.size();
  CheckedTotal(total);
#ifdef MQ71_MOVE_ROWS_ON_WRITE
  const bool onHeap = true;
#else
  const bool onHeap = total > InlineCapacity;
#endif
  if (onHeap) {
    // A new block: the texts, which may be of the old one, are all read before it goes.
    const size_t capacity = CheckedTotal(total + 1);
    std::unique_ptr<char[]> block(new char[capacity]);
    JoinCells(cells, block.get());
    delete[] heap_;
    heap_ = block.release();
    capacity_ = static_cast<uint32_t>(capacity);
    return;
  }
  // The text is put together aside, as the texts may be of this row's own cells, and then copied
  // in whole: a fixed-size copy, done in a few moves, costs less than finding out whether any
  // text is this row's own. The room behind the text takes the blank after the last cell.
  char joined[InlineCapacity + 1];
  JoinCells(cells, joined);
  std::memcpy(inline_, joined, InlineCapacity);
  delete[] heap_;
  heap_ = nullptr;
  capacity_ = 0;
}

// The cells joined by blanks into `to`, which has room for one more byte behind them; sets ends_.
void TWorkTableRow::JoinCells(const std::array<std::string_view, CellCount>& cells, char* to) {
  size_t end = 0;
  for (int c = 0; c < CellCount; ++c) {
    MoveShortText(to + end, cells[c].data(), cells[c].size());
    end += cells[c].size();
    ends_[c] = static_cast<uint32_t>(end);
    to[end++] = ' ';
  }
}

// The general case is a separate function, so that the common one needs little set-up: every
// source line becomes a row this way.
void TWorkTableRow::AssignHeadAndFill(std::string_view first, std::string_view second,
                                      std::string_view third, char fill) {
  constexpr int HeadCount = 3;
  // The texts, a blank between each two cells, one character in each cell behind the head.
  const size_t total =
      first.size() + second.size() + third.size() + (CellCount - 1) + (CellCount - HeadCount);
  // A row with text of its own may be given views of it, and a long one needs the heap: both
  // are left to the general case.
#ifdef MQ71_MOVE_ROWS_ON_WRITE
  constexpr bool everyWriteMoves = true;
#else
  constexpr bool everyWriteMoves = false;
#endif
  if (everyWriteMoves || total > InlineCapacity || TextSize() > 0 || heap_ != nullptr) {
    return AssignHeadAndFillElsewhere(first, second, third, fill);
  }
  // The cells behind the head are the same for every row: one short copy of their joined
  // text, and their ends two apart.
  constexpr size_t TailSize = 2 * (CellCount - HeadCount) - 1;
  const char tail[TailSize] = {fill, ' ', fill, ' ', fill, ' ', fill, ' ', fill};
  static_assert(TailSize == 9, "the tail above spells out five one-character cells");
  size_t end = 0;
  end = WriteHeadCell(0, end, first);
  end = WriteHeadCell(1, end, second);
  end = WriteHeadCell(2, end, third);
  std::memcpy(inline_ + end, tail, TailSize);
  for (int column = HeadCount; column < CellCount; ++column) {
    ends_[column] = static_cast<uint32_t>(end + 1 + 2 * (column - HeadCount));
  }
}

void TWorkTableRow::AssignHeadAndFillElsewhere(std::string_view first, std::string_view second,
                                               std::string_view third, char fill) {
  const std::string_view cell(&fill, 1);
  Assign({first, second, third, cell, cell, cell, cell, cell});
}

bool operator==(const TWorkTableRow& a, const TWorkTableRow& b) {
  return std::equal(std::begin(a.ends_), std::end(a.ends_), std::begin(b.ends_)) &&
         std::memcmp(a.Text(), b.Text(), a.LineSize()) == 0;
}

std::ostream& operator<<(std::ostream& out, const TWorkTableRow& row) {
  out << '{';
  for (int c = 0; c < TWorkTableRow::CellCount; ++c) {
    out << (c == 0 ? "\"" : ", \"") << row[c] << '"';
  }
  return out << '}';
}
