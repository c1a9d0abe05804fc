#include "worktable/Worktablerow.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <utility>

namespace {

using Cells = std::array<std::string, TWorkTableRow::CellCount>;

Cells CellsOf(const TWorkTableRow& row) {
  Cells cells;
  for (int c = 0; c < TWorkTableRow::CellCount; ++c) cells[c] = std::string(row[c]);
  return cells;
}

TWorkTableRow RowOf(const Cells& cells) {
  TWorkTableRow row;
  row.Assign({cells[0], cells[1], cells[2], cells[3], cells[4], cells[5], cells[6], cells[7]});
  return row;
}

const std::string kLong(200, 'L');  // more than a row holds inside itself

std::string Joined(const Cells& cells) {
  std::string line = cells[0];
  for (int c = 1; c < TWorkTableRow::CellCount; ++c) line += " " + cells[c];
  return line;
}

TEST(WorkTableRow, NewRowHasEightEmptyCells) {
  const TWorkTableRow row;
  EXPECT_EQ(CellsOf(row), Cells{});
  EXPECT_EQ(row.TextSize(), 0u);
}

TEST(WorkTableRow, ListConstructorFillsCellsInOrderAndLeavesTheRestEmpty) {
  const TWorkTableRow row{"f.asm", "12", "nop"};
  EXPECT_EQ(CellsOf(row), (Cells{"f.asm", "12", "nop", "", "", "", "", ""}));
  EXPECT_THROW((TWorkTableRow{"1", "2", "3", "4", "5", "6", "7", "8", "9"}), std::invalid_argument);
}

// Every cell written with texts of every length class, growing and shrinking, inside the row
// and on the heap, against a plain array of strings.
TEST(WorkTableRow, SetAgreesWithAnArrayOfStrings) {
  const std::string texts[] = {"",
                               "x",
                               "abc",
                               "four",
                               "eight ch",
                               "a text of twenty-one",
                               kLong,
                               std::string(79, 'm'),
                               std::string(81, 'n')};
  std::mt19937 random(7);
  Cells expected;
  TWorkTableRow row;
  for (int step = 0; step < 3000; ++step) {
    const int column = static_cast<int>(random() % TWorkTableRow::CellCount);
    const std::string& text = texts[random() % std::size(texts)];
    row.Set(column, text);
    expected[column] = text;
    ASSERT_EQ(CellsOf(row), expected) << "step " << step;
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
      {"earlier cell, growing past the room", 7, 6, 0, 200},
      {"later cell, growing past the room", 0, 6, 0, 200},
  };
  for (const Case& c : cases) {
    const Cells start = {"f.asm", "3", "  mov a  ", "$", "$", "cmd", kLong, "code"};
    TWorkTableRow row = RowOf(start);
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
    TWorkTableRow row = RowOf(start);
    row.Assign({row[7], row[6], row[5], row[4], row[3], row[2], row[1], row[0]});
    EXPECT_EQ(CellsOf(row), (Cells{start[7], start[6], start[5], start[4], start[3], start[2],
                                   start[1], start[0]}));
  }
}

TEST(WorkTableRow, CopiesAreIndependentAndMovesLeaveAnEmptyRow) {
  for (const std::string& text : {std::string("short"), kLong}) {
    TWorkTableRow original{"f", "1", text};
    TWorkTableRow copy = original;
    copy.Set(2, "changed");
    EXPECT_EQ(original[2], text);
    copy = original;
    EXPECT_EQ(copy, original);

    TWorkTableRow moved = std::move(original);
    EXPECT_EQ(moved[2], text);
    EXPECT_EQ(original.TextSize(), 0u);  // NOLINT: the moved-from row is reset on purpose
    original = std::move(moved);
    EXPECT_EQ(original[2], text);
    original = TWorkTableRow{"x"};
    EXPECT_EQ(CellsOf(original), (Cells{"x", "", "", "", "", "", "", ""}));
  }
}

TEST(WorkTableRow, EqualityComparesCellsNotJustTheirJoinedText) {
  EXPECT_EQ((TWorkTableRow{"ab", "c"}), (TWorkTableRow{"ab", "c"}));
  EXPECT_NE((TWorkTableRow{"ab", "c"}), (TWorkTableRow{"a", "bc"}));
  EXPECT_NE((TWorkTableRow{"ab", "c"}), (TWorkTableRow{"ab", "d"}));
}

// The line a dump shows must follow every kind of write: cells set from outside and from the
// row itself, narrowed, grown onto the heap, assigned, copied and moved.
TEST(WorkTableRow, LineIsTheCellsJoinedByBlanksAfterEveryWrite) {
  EXPECT_EQ(TWorkTableRow().Line(), "       ");
  const std::string texts[] = {"", "x", "ab c", "eight ch", std::string(75, 'm'), kLong};
  std::mt19937 random(11);
  TWorkTableRow row;
  for (int step = 0; step < 4000; ++step) {
    const int column = static_cast<int>(random() % TWorkTableRow::CellCount);
    switch (random() % 6) {
      case 0:
      case 1:
        row.Set(column, texts[random() % std::size(texts)]);
        break;
      case 2: {
        const std::string_view own = row[random() % TWorkTableRow::CellCount];
        row.Set(column, own.substr(0, random() % (own.size() + 1)));
        break;
      }
      case 3:
        row.Assign(
            {row[1], texts[random() % std::size(texts)], row[0], "$", row[7], "", "$", row[3]});
        break;
      case 4: {
        const TWorkTableRow copy = row;
        row = copy;
        break;
      }
      default: {
        TWorkTableRow moved = std::move(row);
        ASSERT_EQ(row.Line(), "       ") << "step " << step;  // NOLINT: reset on purpose
        row = std::move(moved);
        break;
      }
    }
    const Cells cells = CellsOf(row);
    ASSERT_EQ(row.Line(), Joined(cells)) << "step " << step;
    ASSERT_EQ(row.TextSize(), Joined(cells).size() - 7) << "step " << step;
  }
}

// The source-row form must give the same row as the general assignment, around the size that
// still fits inside the row, on new rows and on rows with text (also given as views of it).
TEST(WorkTableRow, AssignHeadAndFillEqualsAssignWithTheFillInEveryLaterCell) {
  for (size_t length = 0; length <= 75; length += 1) {
    const std::string text(length, 't');
    for (const bool fresh : {true, false}) {
      TWorkTableRow row;
      TWorkTableRow expected;
      if (!fresh) row.Assign({"old", "1", kLong, "x", "", "", "", "y"});
      row.AssignHeadAndFill("file.asm", "12", text, '$');
      expected.Assign({"file.asm", "12", text, "$", "$", "$", "$", "$"});
      ASSERT_EQ(row, expected) << length << (fresh ? " new row" : " row with text");
      ASSERT_EQ(row.Line(), "file.asm 12 " + text + " $ $ $ $ $");
    }
  }
  TWorkTableRow row{"f.asm", "7", "a statement"};
  row.AssignHeadAndFill(row[2], row[1], row[0], '#');
  EXPECT_EQ(CellsOf(row), (Cells{"a statement", "7", "f.asm", "#", "#", "#", "#", "#"}));
}

}  // namespace
