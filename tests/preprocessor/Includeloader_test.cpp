#include "preprocessor/Includeloader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "driver/Compilerobject.h"
#include "preprocessor/Calldumps.h"
#include "preprocessor/Macrosobject.h"
#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace {

using Lines = std::vector<std::string>;

class IncludeTest : public ::testing::Test {
 protected:
  IncludeTest() : scope_(directory_.Path()) {
    job_.TickCounter = [] { return 1000u; };
  }

  void Write(const std::string& name, const std::string& bytes) {
    WriteFile(directory_.Path() / name, bytes);
  }
  IncludeResult Include(const std::string& line) {
    return LoadInclude(job_, dumps_, "top.asm", 4, line);
  }
  Lines Column(int column) const {
    Lines cells;
    for (int r = 0; r < job_.WorkTable->RowCount(); ++r) {
      cells.emplace_back(job_.WorkTable->Cell(r, column));
    }
    return cells;
  }
  const std::string& Printed() const { return job_.Out.Captured(); }

  TemporaryDirectory directory_;
  CurrentDirectoryScope scope_;
  TMq71R04CompilerObject job_;
  CallDumps dumps_{job_};
};

TEST_F(IncludeTest, IncludedLinesGiveRowsDefinesAndMacros) {
  Write("inc.h",
        "nop ; c\r\n"
        "\r\n"
        "#define A 5\r\n"
        ".macro m x\r\n"
        "movl x, 1\r\n"
        ".endmacro\r\n"
        "#include \"other.h\"\r\n"
        "#define\tB 6\r\n"
        "   halt   \r\n");
  EXPECT_EQ(Include("#include \"inc.h\""), IncludeResult::Loaded);
  EXPECT_EQ(Column(ColText), (Lines{"nop", "", "#include \"other.h\"", "#define\tB 6", "halt"}));
  EXPECT_EQ(Column(ColLine), (Lines{"0", "2", "6", "7", "8"}));
  EXPECT_EQ(Column(ColFile), Lines(5, "inc.h"));
  EXPECT_EQ(Column(ColCode), Lines(5, "$"));
  ASSERT_EQ(job_.Defines->Count(), 1);
  EXPECT_EQ(job_.Defines->Symbol(0), "A");
  EXPECT_EQ(job_.Defines->Value(0), "5");
  ASSERT_EQ(job_.Macros->size(), 1u);
  EXPECT_EQ(job_.Macros->front()->Name, "m");
  EXPECT_TRUE(std::filesystem::exists(directory_.Path() / "inc.h_m.txt"));
  EXPECT_EQ(Printed(), "");
}

TEST_F(IncludeTest, RejectedDefinitionIsDiscardedAndItsErrorsDoNotFail) {
  Write("inc.h", ".macro bad (x)\nnop\n.endmacro\n.macro open\nnop\n");
  EXPECT_EQ(Include("#include \"inc.h\""), IncludeResult::Loaded);
  EXPECT_TRUE(job_.Macros->empty());
  EXPECT_EQ(Printed(),
            "[preprocessor error] inc.h(1): Invalid macros arguments list \" (x)\".\r\n"
            "[preprocessor error] inc.h(5): Macros \"open\" not terminated by symbol "
            "\".endmacro\".\r\n");
}

TEST_F(IncludeTest, NestedDefinitionLineIsConsumedByTheOuterOne) {
  Write("inc.h", ".macro a\nnop\n.macro b\nhalt\n.endmacro\nret\n");
  Include("#include \"inc.h\"");
  // a ends at the ".macro b" line, which is skipped; b's body and end become rows.
  EXPECT_EQ(Column(ColText), (Lines{"halt", ".endmacro", "ret"}));
  EXPECT_TRUE(job_.Macros->empty());
}

TEST_F(IncludeTest, IncludedDefineErrorsAreReportedAgainstTheIncludedFile) {
  Write("sub/x.inc", "#define A-1 5\n#define A 5 6\n");
  EXPECT_EQ(Include("#include \"sub/x.inc\""), IncludeResult::Loaded);
  EXPECT_EQ(Printed(),
            "[preprocessor error] sub/x.inc(0): Invalid #define expression \"A-1 5\".\r\n"
            "[preprocessor error] sub/x.inc(1): Invalid #define expression \"A 5 6\".\r\n");
  EXPECT_EQ(Column(ColText), (Lines{"", "#define A 5 6"}));
  EXPECT_EQ(Column(ColFile), Lines(2, "sub/x.inc"));
}

TEST_F(IncludeTest, QuotedNameLosesBothEndCharactersEvenWithOneQuote) {
  Write("inc.", "nop\n");
  EXPECT_EQ(Include("#include \"inc.h"), IncludeResult::Loaded);
  EXPECT_EQ(Column(ColFile), Lines{"inc."});
  EXPECT_EQ(Include("#include   xinc.\"  "), IncludeResult::Loaded);
  EXPECT_EQ(Column(ColFile), (Lines{"inc.", "inc."}));
}

TEST_F(IncludeTest, MissingQuotedFileIsReported) {
  EXPECT_EQ(Include("#include \"missing.h\""), IncludeResult::Failed);
  EXPECT_EQ(Printed(), "[preprocessor error] top.asm(4): Cannot open file missing.h\r\n");
  EXPECT_EQ(Include("#include \"\""), IncludeResult::Failed);
  EXPECT_EQ(Include("#include \""), IncludeResult::Failed);
}

TEST_F(IncludeTest, ErrorWhileProcessingAQuotedIncludeSkipsTheRest) {
  Write("inc.h", "nop\n.macro m 'x\nnop\n.endmacro\nhalt\n");
  EXPECT_EQ(Include("#include \"inc.h\""), IncludeResult::Failed);
  EXPECT_EQ(Printed(), "[preprocessor error] top.asm(4): Invalid string constant on line 1\r\n");
  EXPECT_EQ(Column(ColText), Lines{"nop"});
  EXPECT_TRUE(job_.Macros->empty());
}

TEST_F(IncludeTest, DefinitionDumpThatCannotBeWrittenIsReportedLikeAReadingError) {
  Write("inc.h", "nop\n.macro a/b\nnop\n.endmacro\nhalt\n");
  EXPECT_EQ(Include("#include \"inc.h\""), IncludeResult::Failed);
  EXPECT_EQ(Printed(), "[preprocessor error] top.asm(4): Cannot create file inc.h_a/b.txt\r\n");
  EXPECT_EQ(Column(ColText), Lines{"nop"});
}

// Only a regular file is read: a FIFO would make the read wait for a writer, and a device like
// /dev/zero would never end. Either is a file that cannot be opened; a library directory
// holding one lets the search go on.
TEST_F(IncludeTest, IncludeThatIsNoRegularFileCannotBeOpened) {
  ASSERT_EQ(mkfifo((directory_.Path() / "fifo.inc").c_str(), 0600), 0);
  std::filesystem::create_directory(directory_.Path() / "d1");
  ASSERT_EQ(mkfifo((directory_.Path() / "d1" / "lib.inc").c_str(), 0600), 0);
  Write("d2/lib.inc", "from d2\n");
  job_.LibraryDirs->push_back((directory_.Path() / "d1").string());
  job_.LibraryDirs->push_back((directory_.Path() / "d2").string());
  EXPECT_EQ(Include("#include \"fifo.inc\""), IncludeResult::Failed);
  EXPECT_EQ(Include("#include \"/dev/zero\""), IncludeResult::Failed);
  EXPECT_EQ(Include("#include <lib.inc>"), IncludeResult::Loaded);
  EXPECT_EQ(Printed(),
            "[preprocessor error] top.asm(4): Cannot open file fifo.inc\r\n"
            "[preprocessor error] top.asm(4): Cannot open file /dev/zero\r\n");
  EXPECT_EQ(Column(ColText), Lines{"from d2"});
}

TEST_F(IncludeTest, AngleIncludeSearchesLibraryDirectoriesInOrder) {
  Write("d1/only1.inc", "one\n");
  Write("d2/only1.inc", "two\n");
  Write("d2/sub/deep.inc", "deep\n");
  Write("here.inc", "here\n");
  job_.LibraryDirs->push_back((directory_.Path() / "d1").string());
  job_.LibraryDirs->push_back((directory_.Path() / "d2").string());
  EXPECT_EQ(Include("#include <only1.inc>"), IncludeResult::Loaded);
  EXPECT_EQ(Include("#include <sub/deep.inc>"), IncludeResult::Loaded);
  EXPECT_EQ(Column(ColText), (Lines{"one", "deep"}));
  EXPECT_EQ(Column(ColFile), (Lines{"only1.inc", "sub/deep.inc"}));
  // The current directory is not searched.
  EXPECT_EQ(Include("#include <here.inc>"), IncludeResult::Failed);
  EXPECT_EQ(Printed(), "[preprocessor error] top.asm(4): Cannot open file here.inc\r\n");
}

TEST_F(IncludeTest, AngleIncludeWithoutLibraryDirectoriesCannotOpen) {
  Write("x.inc", "nop\n");
  // Both end characters go: "x.inc>" names ".inc".
  EXPECT_EQ(Include("#include x.inc>"), IncludeResult::Failed);
  EXPECT_EQ(Printed(), "[preprocessor error] top.asm(4): Cannot open file .inc\r\n");
}

TEST_F(IncludeTest, ErrorWhileProcessingAnAngleIncludeLeavesThePass) {
  Write("lib/x.inc", ".macro m 'x\n.endmacro\n");
  job_.LibraryDirs->push_back((directory_.Path() / "lib").string());
  EXPECT_THROW(Include("#include <x.inc>"), TranslatorError);
}

TEST_F(IncludeTest, NameWithoutQuotesOrBracketsIsMalformed) {
  EXPECT_EQ(Include("#include x.inc"), IncludeResult::Malformed);
  EXPECT_EQ(Printed(), "[preprocessor error] top.asm(4): Invalid #include expression.\r\n");
  EXPECT_EQ(job_.WorkTable->RowCount(), 0);  // the caller adds the row
}

}  // namespace
