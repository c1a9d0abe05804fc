#include "worktable/Worktableobject.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/Translatorerror.h"

namespace {

using Texts = std::vector<std::string>;

TWorkTableObject TableOf(const Texts& texts) {
  TWorkTableObject table;
  int line = 0;
  for (const std::string& text : texts) {
    table.AddRow("f.asm", std::to_string(line++), text, "$", "$", "$", "$", "$");
  }
  return table;
}

Texts TextsOf(const TWorkTableObject& table) {
  Texts texts;
  for (int r = 0; r < table.RowCount(); ++r) texts.emplace_back(table.Cell(r, ColText));
  return texts;
}

TEST(WorkTable, NewTableIsEmpty) {
  EXPECT_EQ(TWorkTableObject().RowCount(), 0);
  EXPECT_EQ(TWorkTableObject().DumpText(), "");
}

TEST(WorkTable, AddRowPutsArgumentsInColumnOrder) {
  TWorkTableObject table;
  table.AddRow("0", "1", "2", "3", "4", "5", "6", "7");
  for (int column = 0; column < 8; ++column) {
    EXPECT_EQ(table.Cell(0, column), std::to_string(column));
  }
}

TEST(WorkTable, DeleteRowsIfKeepsTheOrderOfTheRest) {
  struct Case {
    std::vector<int> doomed;
    Texts expected;
  };
  const Case cases[] = {
      {{}, {"a", "b", "c", "d", "e"}},
      {{0}, {"b", "c", "d", "e"}},
      {{2}, {"a", "b", "d", "e"}},
      {{4}, {"a", "b", "c", "d"}},
      {{0, 2}, {"b", "d", "e"}},
      {{1, 2, 3}, {"a", "e"}},
      {{0, 1, 2, 3, 4}, {}},
  };
  for (const Case& c : cases) {
    TWorkTableObject table = TableOf({"a", "b", "c", "d", "e"});
    std::vector<int> asked;
    table.DeleteRowsIf([&](int row) {
      asked.push_back(row);
      return std::find(c.doomed.begin(), c.doomed.end(), row) != c.doomed.end();
    });
    EXPECT_EQ(TextsOf(table), c.expected);
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 2, 3, 4})) << "every row asked once, in order";
  }
}

TEST(WorkTable, MutableRowEditsTheRowInPlace) {
  TWorkTableObject table = TableOf({"a", "b"});
  table.MutableRow(1).Set(ColText, "bc");
  table.MutableRow(0).Set(ColCode, "");
  EXPECT_EQ(table.Rows()[1][ColText], "bc");
  EXPECT_EQ(table.Cell(0, ColCode), "");
  EXPECT_EQ(table.Cell(1, ColCode), "$");
}

TEST(WorkTable, SetItemTakesAViewOfTheSameRow) {
  TWorkTableObject table = TableOf({"  mov a, b  "});
  table.SetItem(0, ColText, table.Cell(0, ColText).substr(2, 8));
  table.SetItem(0, ColCode, table.Cell(0, ColText));
  table.SetItem(0, ColFile, table.Cell(0, ColCode).substr(4));
  EXPECT_EQ(table.Rows()[0],
            (TWorkTableObject::Row{"a, b", "0", "mov a, b", "$", "$", "$", "$", "mov a, b"}));
}

TEST(WorkTable, ColumnOutsideRangeThrowsTheSameMessageForReadAndWrite) {
  TWorkTableObject table = TableOf({"a"});
  const auto expectMessage = [](auto&& action) {
    try {
      action();
      ADD_FAILURE() << "no exception";
    } catch (const TranslatorError& error) {
      EXPECT_STREQ(error.what(), "GetItem() Index argument more then 7");
    }
  };
  expectMessage([&] { table.Cell(0, 8); });
  expectMessage([&] { table.Cell(0, -1); });
  expectMessage([&] { table.SetItem(0, -1, "x"); });
  expectMessage([&] { table.SetItem(0, 8, "x"); });
  expectMessage([&] { table.Cell(5, 8); });  // the column is checked first
}

TEST(WorkTable, RowOutsideTableThrows) {
  TWorkTableObject table = TableOf({"a"});
  EXPECT_THROW(table.Cell(1, 0), std::out_of_range);
  EXPECT_THROW(table.SetItem(-1, 0, "x"), std::out_of_range);
  EXPECT_THROW(table.MutableRow(-1), std::out_of_range);
  EXPECT_THROW(table.MutableRow(1), std::out_of_range);
}

TEST(WorkTable, DumpTextJoinsCellsWithSingleBlanksAndEndsRowsWithCrLf) {
  TWorkTableObject blanks;
  blanks.AddRow("", "", "", "", "", "", "", "");
  EXPECT_EQ(blanks.DumpText(), "       \r\n");
  EXPECT_EQ(TableOf({"mov a, b", ""}).DumpText(),
            "f.asm 0 mov a, b $ $ $ $ $\r\nf.asm 1  $ $ $ $ $\r\n");
  TWorkTableObject table;
  std::string expected;
  for (int r = 0; r < 300; ++r) {
    const std::string text(static_cast<size_t>(r * 7 % 90), static_cast<char>('a' + r % 26));
    table.AddRow("file" + std::to_string(r), std::to_string(r), text, "", "x", "", "yy", "z");
    expected += "file" + std::to_string(r) + " " + std::to_string(r) + " " + text + "  x  yy z\r\n";
  }
  EXPECT_EQ(table.DumpText(), expected);
}

TEST(WorkTable, ReserveKeepsRowsAndRoomReservedIsUsedWithoutMovingThem) {
  TWorkTableObject table = TableOf({"a", "b"});
  for (int rowCount : {-1, 0, 1, 2, 3, 1000, 5}) {
    table.Reserve(rowCount);
    EXPECT_EQ(TextsOf(table), (Texts{"a", "b"})) << rowCount;
  }
  const TWorkTableObject::Row* first = &table.Rows()[0];
  for (int i = 0; i < 998; ++i) table.AddRow("g", "1", "c", "", "", "", "", "");
  EXPECT_EQ(&table.Rows()[0], first) << "adding within the reserved room moved the rows";
}

TEST(WorkTable, TakeRowsEmptiesTheTableAndReplaceRowsRefillsIt) {
  TWorkTableObject table = TableOf({"a", "b"});
  std::vector<TWorkTableObject::Row> rows = table.TakeRows();
  EXPECT_EQ(table.RowCount(), 0);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1][ColText], "b");
  table.AddRow("g.asm", "9", "c", "", "", "", "", "");
  EXPECT_EQ(TextsOf(table), Texts{"c"});
  table.ReplaceRows(std::move(rows));
  EXPECT_EQ(TextsOf(table), (Texts{"a", "b"}));
}

}  // namespace
