#include "worktable/Worktableobject.h"

#include <gtest/gtest.h>

#include "support/Testsupport.h"
#include "worktable/Translatorerror.h"

namespace {

TWorkTableObject TableOf(std::initializer_list<std::string> texts) {
  TWorkTableObject table;
  int line = 0;
  for (const std::string& text : texts) {
    table.AddRow("f.asm", std::to_string(line++), text, "$", "$", "$", "$", "$");
  }
  return table;
}

std::vector<std::string> Texts(const TWorkTableObject& table) {
  std::vector<std::string> texts;
  for (int r = 0; r < table.RowCount(); ++r) texts.push_back(table.GetItem(r, ColText));
  return texts;
}

TEST(WorkTable, NewTableIsEmpty) { EXPECT_EQ(TWorkTableObject().RowCount(), 0); }

TEST(WorkTable, AddRowPutsArgumentsInColumnOrder) {
  TWorkTableObject table;
  table.AddRow("0", "1", "2", "3", "4", "5", "6", "7");
  for (int column = 0; column < 8; ++column) {
    EXPECT_EQ(table.GetItem(0, column), std::to_string(column));
  }
}

TEST(WorkTable, InsertTablePlacesSourceRowsAtIndex) {
  struct Case {
    int row;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {0, {"x", "y", "a", "b"}},
      {1, {"a", "x", "y", "b"}},
      {2, {"a", "b", "x", "y"}},  // at RowCount(): appended
  };
  for (const Case& c : cases) {
    TWorkTableObject table = TableOf({"a", "b"});
    const TWorkTableObject source = TableOf({"x", "y"});
    table.InsertTable(source, c.row);
    EXPECT_EQ(Texts(table), c.expected) << "row " << c.row;
    EXPECT_EQ(source.RowCount(), 2);
  }
}

TEST(WorkTable, InsertingEmptyTableChangesNothing) {
  TWorkTableObject table = TableOf({"a"});
  table.InsertTable(TWorkTableObject(), 0);
  EXPECT_EQ(Texts(table), std::vector<std::string>{"a"});
}

TEST(WorkTable, InsertingTableIntoItselfDoublesIt) {
  TWorkTableObject table = TableOf({"a", "b"});
  table.InsertTable(table, 1);
  EXPECT_EQ(Texts(table), (std::vector<std::string>{"a", "a", "b", "b"}));
}

TEST(WorkTable, DeleteRowMovesFollowingRowsUp) {
  TWorkTableObject table = TableOf({"a", "b", "c"});
  table.DeleteRow(1);
  EXPECT_EQ(table.GetItem(1, ColText), "c");
  EXPECT_EQ(table.GetItem(1, ColLine), "2");
  EXPECT_EQ(table.RowCount(), 2);
}

TEST(WorkTable, DeleteRowsWhereKeepsOrderOfSurvivors) {
  TWorkTableObject table = TableOf({"a", "b", "c", "d", "e"});
  table.DeleteRowsWhere({true, false, true, false});
  EXPECT_EQ(Texts(table), (std::vector<std::string>{"b", "d", "e"}));
}

TEST(WorkTable, ColumnOutsideRangeThrowsTheSameMessageForGetAndSet) {
  TWorkTableObject table = TableOf({"a"});
  const auto expectMessage = [](auto&& action) {
    try {
      action();
      ADD_FAILURE() << "no exception";
    } catch (const TranslatorError& error) {
      EXPECT_STREQ(error.what(), "GetItem() Index argument more then 7");
    }
  };
  expectMessage([&] { table.GetItem(0, 8); });
  expectMessage([&] { table.GetItem(0, -1); });
  expectMessage([&] { table.SetItem(0, -1, "x"); });
  expectMessage([&] { table.SetItem(0, 8, "x"); });
}

TEST(WorkTable, RowOutsideTableThrows) {
  TWorkTableObject table = TableOf({"a"});
  EXPECT_THROW(table.GetItem(1, 0), std::out_of_range);
  EXPECT_THROW(table.SetItem(-1, 0, "x"), std::out_of_range);
  EXPECT_THROW(table.DeleteRow(1), std::out_of_range);
}

TEST(WorkTable, SaveToFileJoinsCellsWithSingleBlanksAndCrLf) {
  TemporaryDirectory directory;
  const auto path = directory.Path() / "dump.txt";
  struct Case {
    TWorkTableObject table;
    std::string expected;
  };
  TWorkTableObject empty;
  TWorkTableObject blanks;
  blanks.AddRow("", "", "", "", "", "", "", "");
  TWorkTableObject two = TableOf({"mov a, b", ""});
  const Case cases[] = {
      {empty, ""},
      {blanks, "       \r\n"},
      {two, "f.asm 0 mov a, b $ $ $ $ $\r\nf.asm 1  $ $ $ $ $\r\n"},
  };
  for (const Case& c : cases) {
    c.table.SaveToFile(path.string());
    EXPECT_EQ(ReadFile(path), c.expected);
  }
}

TEST(WorkTable, SaveToFileFailsWhenFileCannotBeCreated) {
  TemporaryDirectory directory;
  EXPECT_THROW(TableOf({"a"}).SaveToFile((directory.Path() / "no/such/dir.txt").string()),
               TranslatorError);
}

}  // namespace
