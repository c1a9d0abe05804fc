#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iosfwd>
#include <string_view>

#include "support/Textutils.h"

// One row of the work table: eight text cells kept in one block, one blank between each two:
// the row's line in a table dump, so that a dump copies each row in one piece (Line). A row is
// a single 128-byte object, so the table is one array without a heap block per cell, and moving
// a row is one copy. Nearly every row's text fits inside the object; a longer one moves to the
// heap.
//
// A view of a cell lasts until the row is next changed: writing a cell moves the cells behind
// it, and a row that outgrows its room moves all of them. Built with MQ71_MOVE_ROWS_ON_WRITE (the
// sanitizer build), every row keeps its text on the heap and every write moves it to a new block,
// so that a view used after a write is reported as a use after free.
class TWorkTableRow {
 public:
  static constexpr int CellCount = 8;

  TWorkTableRow() noexcept { std::memset(inline_, ' ', CellCount - 1); }
  // Cells in column order; the cells not given stay empty.
  TWorkTableRow(std::initializer_list<std::string_view> cells);
  TWorkTableRow(const TWorkTableRow& other);
  TWorkTableRow(TWorkTableRow&& other) noexcept;
  TWorkTableRow& operator=(const TWorkTableRow& other);
  TWorkTableRow& operator=(TWorkTableRow&& other) noexcept;
  ~TWorkTableRow() { delete[] heap_; }

  // The column is not checked: the table checks it before it asks.
  // A const view, so that assigning to it, meant as writing the cell, does not compile.
  const std::string_view operator[](int column) const {
    const uint32_t start = Start(column);
    return {Text() + start, ends_[column] - start};
  }
  // The cells joined by single blanks, as a table dump shows the row (without the line end).
  std::string_view Line() const { return {Text(), LineSize()}; }
  // Replaces one cell; `text` may be a view of this row's own cells. Inline, because passes
  // write cells by the thousand: most writes fit the row's room and need only two short moves.
  void Set(int column, std::string_view text) {
#ifdef MQ71_MOVE_ROWS_ON_WRITE
    return SetElsewhere(column, text);
#endif
    const uint32_t start = Start(column);
    const uint32_t end = ends_[column];
    const size_t total = LineSize();
    const size_t newEnd = start + text.size();
    char* data = Text();
    // A text outside the row, or in a cell in front of this one, stays where it is while the
    // cells behind this one move.
    const uintptr_t offset =
        reinterpret_cast<uintptr_t>(text.data()) - reinterpret_cast<uintptr_t>(data);
    const bool inRow = offset < Capacity();
    // A part of the cell itself, as when a cell is trimmed.
    if (inRow && offset >= start && offset + text.size() <= end) {
      return Narrow(column, offset, text.size());
    }
    const bool staysPut = !inRow || offset + text.size() <= start;
    if (!staysPut || total - end + newEnd > Capacity()) return SetElsewhere(column, text);
    if (newEnd != end) MoveShortText(data + newEnd, data + end, total - end);
    MoveShortText(data + start, text.data(), text.size());
    ShiftEnds(column, static_cast<uint32_t>(newEnd) - end);
  }
  // Replaces all cells at once; the texts may be views of this row's own cells.
  void Assign(const std::array<std::string_view, CellCount>& cells);
  // Assign with the first three cells given and each cell behind them the one character `fill`,
  // as a row read from a source file is: written without the general case's copy per cell.
  void AssignHeadAndFill(std::string_view first, std::string_view second, std::string_view third,
                         char fill);
  // The length of all cells together.
  size_t TextSize() const {
    return LineSize() - (CellCount - 1);
  }

  friend bool operator==(const TWorkTableRow& a, const TWorkTableRow& b);
  // The cells in braces, for test messages.
  friend std::ostream& operator<<(std::ostream& out, const TWorkTableRow& row);

 private:
  static constexpr size_t InlineCapacity = 80;

  // Where the cell begins: behind the blank that ends the cell in front of it.
  uint32_t Start(int column) const {
    return column == 0 ? 0 : ends_[column - 1] + 1;
  }
  // The length of the text, blanks included.
  size_t LineSize() const {
    return ends_[CellCount - 1];
  }
  void MakeEmpty();

  const char* Text() const {
    return heap_ != nullptr ? heap_ : inline_;
  }
  char* Text() {
    return heap_ != nullptr ? heap_ : inline_;
  }
  size_t Capacity() const {
    return heap_ != nullptr ? capacity_ : InlineCapacity;
  }
  bool Holds(std::string_view text) const;
  void Grow(size_t needed);
  // Set for a text of this row's own cells or one that needs more room.
  void SetElsewhere(int column, std::string_view text);
  // Adds `change` to the end of the cell and of every cell behind it, which move with it.
  void ShiftEnds(int column, uint32_t change) {
    for (int c = 0; c < CellCount; ++c) ends_[c] += c >= column ? change : 0;
  }
  // Keeps `length` characters of the cell, from `offset` in the text, as the whole cell.
  void Narrow(int column, size_t offset, size_t length) {
    const uint32_t start = Start(column);
    const uint32_t end = ends_[column];
    char* data = Text();
    MoveShortText(data + start, data + offset, length);
    MoveShortText(data + start + length, data + end, LineSize() - end);
    ShiftEnds(column, static_cast<uint32_t>(start + length - end));
  }
  void SetCopyOf(int column, std::string_view text);
  // AssignHeadAndFill for a row with text or a long one.
  void AssignHeadAndFillElsewhere(std::string_view first, std::string_view second,
                                  std::string_view third, char fill);
  // Writes a cell of a new row's head inside the row at `start`, and the blank behind it;
  // returns where the next cell starts.
  size_t WriteHeadCell(int column, size_t start, std::string_view text) {
    MoveShortText(inline_ + start, text.data(), text.size());
    const size_t end = start + text.size();
    ends_[column] = static_cast<uint32_t>(end);
    inline_[end] = ' ';
    return end + 1;
  }
  void JoinCells(const std::array<std::string_view, CellCount>& cells, char* to);
  void TakeFrom(TWorkTableRow& other) noexcept;

  char* heap_ = nullptr;  // the text when it does not fit inline_
  // Where each cell's text ends; the blank behind it, if any, is at that place.
  uint32_t ends_[CellCount] = {0, 1, 2, 3, 4, 5, 6, 7};
  uint32_t capacity_ = 0;  // the size of heap_
  char inline_[InlineCapacity];
};

static_assert(sizeof(TWorkTableRow) == 128);
