#include "worktable/Worktablerow.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <utility>

namespace {

using Cells = std::array<std::string, WorkTableRow::CellCount>;

Cells CellsOf(const WorkTableRow& row) {
  Cells cells;
  for (int c = 0; c < WorkTableRow::CellCount; ++c) cells[c] = std::string(row[c]);
  return cells;
}

WorkTableRow RowOf(const Cells& cells) {
  return WorkTableRow{cells[0], cells[1], cells[2], cells[3], cells[4], cells[5], cells[6],
                      cells[7]};
}

std::string Joined(const Cells& cells) {
  std::string line = cells[0];
  for (int c = 1; c < WorkTableRow::CellCount; ++c) line += " " + cells[c];
  return line;
}

const std::string kLong(200, 'L');  // a line too long to be kept inside the row

TEST(WorkTableRow, NewRowHasEightEmptyCells) {
  const WorkTableRow row;
  EXPECT_EQ(CellsOf(row), Cells{});
  EXPECT_EQ(row.Line(), "       ");
}

TEST(WorkTableRow, CellsGivenFillColumnsInOrderAndTheRestStayEmpty) {
  const WorkTableRow row{"f.asm", "12", "nop"};
  EXPECT_EQ(CellsOf(row), (Cells{"f.asm", "12", "nop", "", "", "", "", ""}));
  EXPECT_THROW((WorkTableRow{"1", "2", "3", "4", "5", "6", "7", "8", "9"}), std::invalid_argument);
}

// Every cell written with texts of every length, growing and shrinking, with lines inside the
// row, just filling it, and beyond it, against a plain array of strings.
TEST(WorkTableRow, SetAgreesWithAnArrayOfStrings) {
  const std::string texts[] = {"",
                               "x",
                               "abc",
                               "a text of twenty-one",
                               std::string(50, 'm'),
                               std::string(57, 'n'),
                               std::string(58, 'o'),
                               kLong};
  std::mt19937 random(7);
  Cells expected;
  WorkTableRow row;
  for (int step = 0; step < 3000; ++step) {
    const int column = static_cast<int>(random() % WorkTableRow::CellCount);
    const std::string& text = texts[random() % std::size(texts)];
    row.Set(column, text);
    expected[column] = text;
    ASSERT_EQ(CellsOf(row), expected) << "step " << step;
    ASSERT_EQ(row.Line(), Joined(expected)) << "step " << step;
  }
}

TEST(WorkTableRow, SetTakesViewsOfTheRowsOwnCells) {
  struct Case {
    const char* name;
    int column;
    int sourceColumn;
    size_t offset;
    size_t length;
  };
  const Case cases[] = {
      {"part of the cell itself", 2, 2, 2, 3},
      {"whole cell itself", 2, 2, 0, 9},
      {"earlier cell", 5, 2, 0, 9},
      {"later cell", 1, 7, 1, 4},
      {"earlier cell, the line growing long", 7, 6, 0, 200},
      {"later cell, the line growing long", 0, 6, 0, 200},
  };
  for (const Case& c : cases) {
    const Cells start = {"f.asm", "3", "  mov a  ", "$", "$", "cmd", kLong, "code"};
    WorkTableRow row = RowOf(start);
    const std::string source = start[c.sourceColumn].substr(c.offset, c.length);
    row.Set(c.column, row[c.sourceColumn].substr(c.offset, c.length));
    Cells expected = start;
    expected[c.column] = source;
    EXPECT_EQ(CellsOf(row), expected) << c.name;
  }
}

TEST(WorkTableRow, AssignTakesViewsOfTheRowsOwnCells) {
  for (const Cells& start : {Cells{"a", "bb", "ccc", "", "d", "", "e", "f"},
                             Cells{"a", kLong, "ccc", "", "d", "", "e", "f"}}) {
    WorkTableRow row = RowOf(start);
    row.Assign({row[7], row[6], row[5], row[4], row[3], row[2], row[1], row[0]});
    EXPECT_EQ(CellsOf(row), (Cells{start[7], start[6], start[5], start[4], start[3], start[2],
                                   start[1], start[0]}));
  }
}

TEST(WorkTableRow, CopiesAreIndependentAndMovesLeaveAnEmptyRow) {
  for (const std::string& text : {std::string("short"), kLong}) {
    WorkTableRow original{"f", "1", text};
    original.SetOrigin(7);
    WorkTableRow copy = original;
    copy.Set(2, "changed");
    copy.Assign({"g", "2", "other"});
    EXPECT_EQ(original[2], text);
    EXPECT_EQ(copy.Origin(), 7);  // writes keep the macro call the row came from
    copy = original;
    EXPECT_EQ(copy, original);

    WorkTableRow moved = std::move(original);
    EXPECT_EQ(moved[2], text);
    EXPECT_EQ(moved.Origin(), 7);
    EXPECT_EQ(original.Line(), "       ");  // NOLINT: a row moved from is empty by contract
    original = std::move(moved);
    EXPECT_EQ(original[2], text);
    EXPECT_EQ(moved.Line(), "       ");  // NOLINT
    original = WorkTableRow{"x"};
    EXPECT_EQ(CellsOf(original), (Cells{"x", "", "", "", "", "", "", ""}));
  }
}

TEST(WorkTableRow, EqualityComparesCellsNotJustTheirJoinedText) {
  EXPECT_EQ((WorkTableRow{"ab", "c"}), (WorkTableRow{"ab", "c"}));
  EXPECT_NE((WorkTableRow{"ab", "c"}), (WorkTableRow{"a", "bc"}));
  EXPECT_NE((WorkTableRow{"ab", "c"}), (WorkTableRow{"ab", "d"}));
}

// The line a dump shows must follow every kind of write: cells set from outside and from the
// row itself, the line moving between the row and the heap, assigned, copied and moved.
TEST(WorkTableRow, LineIsTheCellsJoinedByBlanksAfterEveryWrite) {
  const std::string texts[] = {"", "x", "ab c", "eight ch", std::string(54, 'm'), kLong};
  std::mt19937 random(11);
  WorkTableRow row;
  for (int step = 0; step < 4000; ++step) {
    const int column = static_cast<int>(random() % WorkTableRow::CellCount);
    switch (random() % 6) {
      case 0:
      case 1:
        row.Set(column, texts[random() % std::size(texts)]);
        break;
      case 2: {
        const std::string_view own = row[random() % WorkTableRow::CellCount];
        row.Set(column, own.substr(0, random() % (own.size() + 1)));
        break;
      }
      case 3:
        row.Assign(
            {row[1], texts[random() % std::size(texts)], row[0], "$", row[7], "", "$", row[3]});
        break;
      case 4: {
        const WorkTableRow copy = row;
        row = copy;
        break;
      }
      default: {
        WorkTableRow moved = std::move(row);
        row = std::move(moved);
        break;
      }
    }
    ASSERT_EQ(row.Line(), Joined(CellsOf(row))) << "step " << step;
  }
}

}  // namespace
