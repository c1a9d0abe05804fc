#include "worktable/Worktableobject.h"

#include <gtest/gtest.h>

#include "support/Diskfilesystem.h"

#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace {

// The files of a run on the disk, its base the current directory.
RunFiles& DiskFiles() {
  static RunFiles files(std::make_unique<DiskFileSystem>());
  return files;
}

TWorkTableObject TableOf(const std::vector<std::string>& texts) {
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

TEST(WorkTable, NewTableIsEmpty) {
  EXPECT_EQ(TWorkTableObject().RowCount(), 0);
}

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

TEST(WorkTable, DeleteRowsWhereWithFlagsForSomeRowsOnly) {
  struct Case {
    std::vector<bool> doomed;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{}, {"a", "b", "c"}},
      {{false, false, false}, {"a", "b", "c"}},
      {{false, false, true}, {"a", "b"}},
      {{true, true, true}, {}},
      {{false, true}, {"a", "c"}},
      {{true, false, false, true, true}, {"b", "c"}},  // flags past the end are ignored
  };
  for (const Case& c : cases) {
    TWorkTableObject table = TableOf({"a", "b", "c"});
    table.DeleteRowsWhere(c.doomed);
    EXPECT_EQ(Texts(table), c.expected);
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
  expectMessage([&] { table.Cell(0, 8); });
  expectMessage([&] { table.Cell(5, 8); });  // the column is checked first
}

TEST(WorkTable, RowOutsideTableThrows) {
  TWorkTableObject table = TableOf({"a"});
  EXPECT_THROW(table.GetItem(1, 0), std::out_of_range);
  EXPECT_THROW(table.SetItem(-1, 0, "x"), std::out_of_range);
  EXPECT_THROW(table.DeleteRow(1), std::out_of_range);
  EXPECT_THROW(table.Cell(1, 0), std::out_of_range);
  EXPECT_THROW(table.MutableRow(-1), std::out_of_range);
  EXPECT_THROW(table.MutableRow(1), std::out_of_range);
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
    c.table.SaveToFile(DiskFiles(), path.string());
    EXPECT_EQ(ReadFile(path), c.expected);
  }
}

TEST(WorkTable, SaveToFileFailsWhenFileCannotBeCreated) {
  TemporaryDirectory directory;
  EXPECT_THROW(TableOf({"a"}).SaveToFile(DiskFiles(), (directory.Path() / "no/such/dir.txt").string()),
               TranslatorError);
}

TEST(WorkTable, AppendRowAddsEmptyCellsToFillInPlace) {
  TWorkTableObject table = TableOf({"a"});
  TWorkTableObject::Row& row = table.AppendRow();
  for (int column = 0; column < TWorkTableObject::ColumnCount; ++column) EXPECT_EQ(row[column], "");
  row.Set(ColText, "b");
  row.Set(ColCode, "c");
  ASSERT_EQ(table.RowCount(), 2);
  EXPECT_EQ(table.GetItem(1, ColText), "b");
  EXPECT_EQ(table.GetItem(1, ColCode), "c");
  EXPECT_EQ(table.GetItem(1, ColFile), "");
  EXPECT_EQ(table.GetItem(0, ColText), "a");
}

TEST(WorkTable, ReserveKeepsRowsAndTakesNoRoomAway) {
  TWorkTableObject table = TableOf({"a", "b"});
  for (int rowCount : {-1, 0, 1, 2, 3, 1000, 5}) {
    table.Reserve(rowCount);
    EXPECT_EQ(Texts(table), (std::vector<std::string>{"a", "b"})) << rowCount;
  }
  const TWorkTableObject::Row* first = &table.Rows()[0];
  for (int i = 0; i < 998; ++i) table.AppendRow();
  EXPECT_EQ(&table.Rows()[0], first) << "appending within the reserved room moved the rows";
}

TEST(WorkTable, TakeRowsEmptiesTheTableAndReplaceRowsRefillsIt) {
  TWorkTableObject table = TableOf({"a", "b"});
  std::vector<TWorkTableObject::Row> rows = table.TakeRows();
  EXPECT_EQ(table.RowCount(), 0);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1][ColText], "b");
  table.AddRow("g.asm", "9", "c", "", "", "", "", "");
  EXPECT_EQ(Texts(table), std::vector<std::string>{"c"});
  table.ReplaceRows(std::move(rows));
  EXPECT_EQ(Texts(table), (std::vector<std::string>{"a", "b"}));
}

TEST(WorkTable, DumpTextOfLongCellsAndManyRows) {
  TWorkTableObject table;
  std::string expected;
  for (int r = 0; r < 300; ++r) {
    const std::string text(static_cast<size_t>(r * 7 % 50), static_cast<char>('a' + r % 26));
    table.AddRow("file" + std::to_string(r), std::to_string(r), text, "", "x", "", "yy", "z");
    expected += "file" + std::to_string(r) + " " + std::to_string(r) + " " + text + "  x  yy z\r\n";
  }
  EXPECT_EQ(table.DumpText(), expected);
}

// A dump through the writer must equal DumpText of the same rows, also when the text spans
// several of the writer's blocks and when single rows are longer than a block.
TEST(TableDumpWriter, WritesRowsFromSeveralPlacesLikeOneTable) {
  TemporaryDirectory directory;
  const auto path = directory.Path() / "dump.txt";
  struct Case {
    int rowCount;
    size_t textLength;
  };
  const Case cases[] = {{0, 0}, {1, 0}, {3, 5}, {5000, 20}, {3, 200000}};
  for (const Case& c : cases) {
    TWorkTableObject first;
    TWorkTableObject second;
    TWorkTableObject whole;
    for (int r = 0; r < c.rowCount; ++r) {
      const std::string text(c.textLength, static_cast<char>('a' + r % 26));
      (r % 3 == 0 ? first : second).AddRow("f", std::to_string(r), text, "$", "", "#", "", "");
    }
    TableDumpWriter writer(DiskFiles(), path.string());
    for (const TWorkTableObject* part : {&first, &second}) {
      for (const TWorkTableObject::Row& row : part->Rows()) {
        writer.Append(row);
        whole.AddRow(row);
      }
    }
    writer.Finish();
    EXPECT_EQ(ReadFile(path), whole.DumpText()) << c.rowCount << " rows of " << c.textLength;
  }
}

TEST(TableDumpWriter, FileThatCannotBeCreatedThrowsCannotCreate) {
  TemporaryDirectory directory;
  const std::string name = (directory.Path() / "no/such/dir.txt").string();
  try {
    TableDumpWriter writer(DiskFiles(), name);
    ADD_FAILURE() << "the writer was made";
  } catch (const TranslatorError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + name);
  }
}

TEST(TableDumpWriter, SaveToFileReplacesALongerFile) {
  TemporaryDirectory directory;
  const auto path = directory.Path() / "dump.txt";
  WriteFile(path, std::string(100000, 'x'));
  TableOf({"a"}).SaveToFile(DiskFiles(), path.string());
  EXPECT_EQ(ReadFile(path), "f.asm 0 a $ $ $ $ $\r\n");
}

// Dumps are overwritten in place: whatever stood in the file before, longer or shorter, only
// the new text remains.
TEST(TableDumpWriter, OverwritingLeavesOnlyTheNewText) {
  TemporaryDirectory directory;
  const auto path = directory.Path() / "dump.txt";
  for (int rowCount : {4000, 3, 0, 2, 5000, 1}) {
    TWorkTableObject table;
    for (int r = 0; r < rowCount; ++r)
      table.AddRow("f", std::to_string(r), "t", "", "", "", "", "");
    table.SaveToFile(DiskFiles(), path.string());
    EXPECT_EQ(ReadFile(path), table.DumpText()) << rowCount << " rows";
  }
}

// A dump replaces a symbolic link in its place rather than writing through it.
TEST(TableDumpWriter, ReplacesASymbolicLinkNotItsTarget) {
  TemporaryDirectory directory;
  const auto path = directory.Path() / "sa.txt";
  WriteFile(directory.Path() / "outside.txt", "kept");
  std::filesystem::create_symlink(directory.Path() / "outside.txt", path);
  TableOf({"a"}).SaveToFile(DiskFiles(), path.string());
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  EXPECT_EQ(ReadFile(path), "f.asm 0 a $ $ $ $ $\r\n");
  EXPECT_EQ(ReadFile(directory.Path() / "outside.txt"), "kept");
}

// A row may be written with another text in place of its own, and a dump may end with the text
// of rows that an earlier dump put together; the whole goes out in one piece.
TEST(TableDumpWriter, RowsWithOtherTextsAndReusedDumpText) {
  TemporaryDirectory directory;
  const auto path = directory.Path() / "dump.txt";
  const TWorkTableObject table = TableOf({"a", "bb", "ccc"});
  const auto& rows = table.Rows();
  struct Case {
    std::string text;    // for row 1, when it is appended
    size_t firstReused;  // rows from this one on come from the first dump's text
    std::vector<std::string> expected;
  };
  const std::string longText(70000, 'q');
  const Case cases[] = {
      {"", 3, {"a", "", "ccc"}},         {"xyz", 3, {"a", "xyz", "ccc"}},
      {"x", 2, {"a", "x", "ccc"}},       {longText, 2, {"a", longText, "ccc"}},
      {"unused", 1, {"a", "bb", "ccc"}}, {"unused", 0, {"a", "bb", "ccc"}},
  };
  for (const Case& c : cases) {
    TableDumpWriter first(DiskFiles(), path.string());
    for (const auto& row : rows) first.Append(row);
    first.Finish();
    ASSERT_EQ(first.Text(), table.DumpText());  // still there after Finish

    TableDumpWriter second(DiskFiles(), path.string());
    size_t reusedStart = 0;
    for (size_t r = 0; r < c.firstReused; ++r) {
      if (r == 1) {
        second.Append(rows[r], c.text);
      } else {
        second.Append(rows[r]);
      }
      reusedStart += TableDumpWriter::RowTextSize(rows[r]);
    }
    second.AppendDumpText(first.Text().substr(reusedStart));
    second.Finish();
    EXPECT_EQ(ReadFile(path), TableOf(c.expected).DumpText())
        << c.text.size() << " " << c.firstReused;
  }
}

TEST(TableDumpWriter, RowTextSizeCountsCellsBlanksAndLineEnd) {
  const TWorkTableObject table = TableOf({"", "abc"});
  EXPECT_EQ(TableDumpWriter::RowTextSize(table.Rows()[0]), 5u + 1 + 0 + 5 + 7 + 2);
  EXPECT_EQ(TableDumpWriter::RowTextSize(table.Rows()[1]), 5u + 1 + 3 + 5 + 7 + 2);
  EXPECT_EQ(table.DumpText().size(), TableDumpWriter::RowTextSize(table.Rows()[0]) +
                                         TableDumpWriter::RowTextSize(table.Rows()[1]));
}

// Reserving less than is then written, or nothing, gives the same text as reserving enough.
TEST(TableDumpWriter, ReservedRoomDoesNotChangeTheText) {
  TemporaryDirectory directory;
  const auto path = directory.Path() / "dump.txt";
  TWorkTableObject table;
  for (int r = 0; r < 300; ++r)
    table.AddRow("f", std::to_string(r), std::string(r % 40, 'x'), "$", "", "", "", "");
  const std::string expected = table.DumpText();
  for (size_t reserved :
       {size_t{0}, size_t{1}, size_t{100}, expected.size(), 3 * expected.size()}) {
    TableDumpWriter writer(DiskFiles(), path.string());
    writer.Reserve(reserved);
    for (const auto& row : table.Rows()) writer.Append(row);
    writer.Finish();
    EXPECT_EQ(ReadFile(path), expected) << reserved;
  }
}

}  // namespace
