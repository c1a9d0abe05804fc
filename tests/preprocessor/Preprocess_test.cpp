// The preprocessing pass run in memory: sources in a temporary directory, rows, messages and
// dump files inspected afterwards.
#include <gtest/gtest.h>

#include <set>

#include "driver/Compilerobject.h"
#include "preprocessor/Macrosobject.h"
#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace {

namespace fs = std::filesystem;

// A job whose current directory is a fresh temporary directory.
class PreprocessTest : public ::testing::Test {
 protected:
  PreprocessTest() : scope_(directory_.Path()) {
    job_.TickCounter = [] { return 1000u; };
  }

  void Write(const std::string& name, const std::string& bytes) {
    WriteFile(directory_.Path() / name, bytes);
  }
  int Run(std::initializer_list<std::string> sourceFiles) {
    for (const std::string& name : sourceFiles) job_.SourceFiles->push_back(name);
    return job_.Preprocess();
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> cells;
    for (int r = 0; r < job_.WorkTable->RowCount(); ++r) {
      cells.emplace_back(job_.WorkTable->Cell(r, column));
    }
    return cells;
  }
  std::vector<std::string> Texts() const { return Column(ColText); }
  const std::string& Printed() const { return job_.Out.Captured(); }

  TemporaryDirectory directory_;
  CurrentDirectoryScope scope_;
  TMq71R04CompilerObject job_;
};

using TextList = std::vector<std::string>;

TEST_F(PreprocessTest, NoSourceFilesLeaveTableEmpty) {
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(job_.WorkTable->RowCount(), 0);
  EXPECT_EQ(Printed(), "");
}

TEST_F(PreprocessTest, OneRowPerLineWithFileLineAndPlaceholders) {
  Write("m.asm", "loop: addl a1, 3 ; step\r\n\tnop\n\rmovl a0, ';'\r");
  EXPECT_EQ(Run({"m.asm"}), 0);
  EXPECT_EQ(Texts(), (TextList{"loop: addl a1, 3", "nop", "", "movl a0, '"}));
  EXPECT_EQ(Column(ColFile), (TextList(4, "m.asm")));
  EXPECT_EQ(Column(ColLine), (TextList{"0", "1", "2", "3"}));
  for (int column = ColOperand1; column <= ColCode; ++column) {
    EXPECT_EQ(Column(column), TextList(4, "$")) << "column " << column;
  }
}

TEST_F(PreprocessTest, ThreeEmptyLinesGiveThreeEmptyRows) {
  Write("e.asm", "\n\n\n");
  EXPECT_EQ(Run({"e.asm"}), 0);
  EXPECT_EQ(Texts(), TextList(3, ""));
  EXPECT_EQ(Column(ColLine), (TextList{"0", "1", "2"}));
}

TEST_F(PreprocessTest, FilesAreReadInListOrderKeepingTheirNames) {
  Write("a.asm", "nop");
  Write("sub/b.asm", "halt\nnop");
  EXPECT_EQ(Run({"sub/b.asm", "a.asm"}), 0);
  EXPECT_EQ(Column(ColFile), (TextList{"sub/b.asm", "sub/b.asm", "a.asm"}));
  EXPECT_EQ(Column(ColLine), (TextList{"0", "1", "0"}));
}

TEST_F(PreprocessTest, BinaryBytesBecomeRowsWithoutHarm) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  bytes += std::string(100000, 'x');
  Write("bin.asm", bytes);
  EXPECT_EQ(Run({"bin.asm"}), 0);
  // Line ends at the bytes 10 and 13; the ';' (59) cuts the third line, whose codes up to 32
  // trim away like the whole of the first two lines.
  std::string third;
  for (int i = 33; i < 59; ++i) third += static_cast<char>(i);
  EXPECT_EQ(Texts(), (TextList{"", "", third}));
}

TEST_F(PreprocessTest, UnreadableTopLevelFileEndsTheRunWithAnError) {
  EXPECT_THROW(Run({"absent.asm"}), TranslatorError);
}

TEST_F(PreprocessTest, TopLevelDefineLeavesEmptyRowAndAppliesToEarlierRows) {
  Write("m.asm", "movl a0, SIZE\n#define SIZE 16 ; bytes\naddl a0, SIZE\n");
  EXPECT_EQ(Run({"m.asm"}), 0);
  EXPECT_EQ(Texts(), (TextList{"movl a0, 16", "", "addl a0, 16"}));
}

TEST_F(PreprocessTest, DefineOfALaterFileReachesRowsOfEarlierFiles) {
  Write("a.asm", "movl a0, N\n");
  Write("b.asm", "#define N 3\nmovl a1, N\n");
  EXPECT_EQ(Run({"a.asm", "b.asm"}), 0);
  EXPECT_EQ(Texts(), (TextList{"movl a0, 3", "", "movl a1, 3"}));
}

TEST_F(PreprocessTest, TopLevelDefineErrorsFailThePass) {
  Write("m.asm", "#define\n#define A 1 2\nnop\n");
  EXPECT_EQ(Run({"m.asm"}), 1);
  EXPECT_EQ(Texts(), (TextList{"#define A 1 2", "nop"}));
  EXPECT_EQ(Printed(),
            "[preprocessor error] m.asm(0): Invalid #define expression. Required symbol and "
            "value.\r\n"
            "[preprocessor error] m.asm(1): Invalid #define expression \"A 1 2\".\r\n");
}

TEST_F(PreprocessTest, IncludedRowsTakeThePlaceOfTheIncludeLine) {
  Write("inc.h", "inc a0\ninc a1\n");
  Write("m.asm", "nop\n#include \"inc.h\" ; the helpers\nhalt\n#include\tinc.h\n");
  EXPECT_EQ(Run({"m.asm"}), 0);
  EXPECT_EQ(Texts(), (TextList{"nop", "inc a0", "inc a1", "halt", "#include\tinc.h"}));
  EXPECT_EQ(Column(ColFile), (TextList{"m.asm", "inc.h", "inc.h", "m.asm", "m.asm"}));
  EXPECT_EQ(Column(ColLine), (TextList{"0", "0", "1", "2", "3"}));
  EXPECT_EQ(Printed(), "");
}

TEST_F(PreprocessTest, WhichErrorsFailThePass) {
  struct Case {
    std::string source;
    int result;
  };
  Write("inc.h", "#define A-1 2\n.macro m (x)\n.endmacro\n.macro n\nl: nop\nl: nop\n.endmacro\n");
  Write("lib/ok.inc", "nop\n");
  const Case cases[] = {
      {"#include \"inc.h\"\nm a, b\nn 1\n", 0},  // included define, definition and call errors
      {"#include \"missing.h\"\n", 1},
      {"#include <missing.h>\n", 1},
      {"#include <ok.inc>\n", 0},
      {"#include missing.h\n", 1},
      {"#define A A\n", 1},
      {".macro m\nnop\n.endmacro\n", 0},
  };
  for (const Case& c : cases) {
    TMq71R04CompilerObject job;
    job.LibraryDirs->push_back((directory_.Path() / "lib").string());
    WriteFile(directory_.Path() / "case.asm", c.source);
    job.SourceFiles->push_back("case.asm");
    EXPECT_EQ(job.Preprocess(), c.result) << c.source;
  }
}

TEST_F(PreprocessTest, MalformedIncludeBecomesARow) {
  Write("m.asm", "#include inc.h\n");
  EXPECT_EQ(Run({"m.asm"}), 1);
  EXPECT_EQ(Texts(), TextList{"#include inc.h"});
  EXPECT_EQ(Printed(), "[preprocessor error] m.asm(0): Invalid #include expression.\r\n");
}

TEST_F(PreprocessTest, MacroBlockInTopLevelFileIsOrdinaryRows) {
  Write("m.asm", ".macro m\nnop\n.endmacro\nm\n");
  EXPECT_EQ(Run({"m.asm"}), 0);
  EXPECT_EQ(Texts(), (TextList{".macro m", "nop", ".endmacro", "m"}));
  EXPECT_TRUE(job_.Macros->empty());
}

TEST_F(PreprocessTest, MacroOfASecondFileExpandsCallsOfTheFirst) {
  Write("a.asm", "twice a0\n");
  Write("lib.h", ".macro twice r\ninc r\ninc r\n.endmacro\n");
  Write("b.asm", "#include \"lib.h\"\ntwice a1\n");
  EXPECT_EQ(Run({"a.asm", "b.asm"}), 0);
  EXPECT_EQ(Texts(), (TextList{"inc  a0 ", "inc  a0 ", "inc  a1 ", "inc  a1 "}));
  EXPECT_EQ(Column(ColFile), (TextList{"lib.h", "lib.h", "lib.h", "lib.h"}));
  EXPECT_EQ(Column(ColLine), (TextList{"1", "2", "1", "2"}));
}

TEST_F(PreprocessTest, InnerCallsAndDefinesInBodiesWaitForTheNextFile) {
  Write("lib.h",
        "#define K 9\n"
        ".macro inner\nmovl a0, K\n.endmacro\n"
        ".macro outer v\ninner\nmovl a1, v\n.endmacro\n");
  Write("a.asm", "#include \"lib.h\"\nouter K\n");
  Write("b.asm", "nop\n");
  EXPECT_EQ(Run({"a.asm"}), 0);
  EXPECT_EQ(Texts(), (TextList{"", "inner", "movl a1,  9 "}));
  TMq71R04CompilerObject two;
  two.SourceFiles->assign({"a.asm", "b.asm"});
  EXPECT_EQ(two.Preprocess(), 0);
  std::vector<std::string> texts;
  for (int r = 0; r < two.WorkTable->RowCount(); ++r) {
    texts.emplace_back(two.WorkTable->Cell(r, ColText));
  }
  // The second walk expands the inner call; its rows wait for a walk that never comes.
  EXPECT_EQ(texts, (TextList{"", "movl a0, K", "movl a1,  9 ", "nop"}));
}

TEST_F(PreprocessTest, DumpFilesAreWrittenIntoTheCurrentDirectory) {
  Write("lib.h", ".macro one\ninc a0\n.endmacro\n");
  Write("m.asm", "#include \"lib.h\"\none\n");
  EXPECT_EQ(Run({"m.asm"}), 0);
  EXPECT_EQ(ReadFile(directory_.Path() / "lib.h_one.txt"), "lib.h 1 inc a0 # # # # #\r\n");
  EXPECT_EQ(ReadFile(directory_.Path() / "sa.txt"), "m.asm 1 one $ $ $ $ $\r\n");
  EXPECT_EQ(ReadFile(directory_.Path() / "MacrosBody.txt"), "lib.h 1 inc a0 # # # # #\r\n");
}

TEST_F(PreprocessTest, MacroDeclaringALabelCanBeCalledAgainAcrossFiles) {
  Write("lib.h", ".macro wait r\nl: dec r\njnz l\n.endmacro\n");
  Write("a.asm", "#include \"lib.h\"\nwait a0\nwait a1\n");
  Write("b.asm", "wait a2\n");
  EXPECT_EQ(Run({"a.asm", "b.asm"}), 0);
  std::set<std::string> declared;
  int jumps = 0;
  for (const std::string& text : Texts()) {
    const size_t colon = text.find(':');
    if (colon != std::string::npos) {
      EXPECT_TRUE(declared.insert(text.substr(0, colon)).second) << text;
    } else if (text.rfind("jnz ", 0) == 0) {
      EXPECT_EQ(declared.count(text.substr(4)), 1u) << text;
      ++jumps;
    }
  }
  EXPECT_EQ(declared.size(), 3u);
  EXPECT_EQ(jumps, 3);
}

TEST_F(PreprocessTest, NulBytesAndLongLinesInIncludedFiles) {
  const std::string nul(1, '\0');
  Write("inc.h", "a" + nul + "b\n.macro my x\n" + std::string(200000, 'y') +
                     "\n.endmacro\n.macro n" + nul + " x\n.endmacro\n");
  Write("m.asm", "#include \"inc.h\"\n");
  EXPECT_EQ(Run({"m.asm"}), 0);
  ASSERT_EQ(job_.WorkTable->RowCount(), 1);
  EXPECT_EQ(Texts()[0], "a" + nul + "b");
  ASSERT_EQ(job_.Macros->size(), 1u);
  EXPECT_EQ(job_.Macros->front()->Cell(0, ColText).size(), 200000u);
  // A NUL is no blank for the tokenizer: it is a parameter of its own, and x follows it.
  EXPECT_EQ(Printed(),
            "[preprocessor error] inc.h(5): Invalid macros arguments list \"" + nul + " x\".\r\n");
}

// Only the last call's dumps are left behind, also when an error ends the run after it.
TEST_F(PreprocessTest, DumpsOfTheLastCallAreLeftWhenAnErrorEndsTheRun) {
  Write("lib.h", ".macro one\ninc a0\n.endmacro\n.macro two x\ndec x\n.endmacro\n");
  Write("lib/bad.inc", ".macro m 'open\n.endmacro\n");
  Write("a.asm", "#include \"lib.h\"\none\nnop\ntwo a1\nrts\n");
  Write("b.asm", "#include <bad.inc>\n");
  job_.LibraryDirs->push_back((directory_.Path() / "lib").string());
  EXPECT_THROW(Run({"a.asm", "b.asm"}), TranslatorError);
  EXPECT_EQ(ReadFile(directory_.Path() / "sa.txt"),
            "lib.h 1 inc a0 # # # # #\r\n"
            "a.asm 2 nop $ $ $ $ $\r\n"
            "a.asm 3 two a1 $ $ $ $ $\r\n"
            "a.asm 4 rts $ $ $ $ $\r\n");
  EXPECT_EQ(ReadFile(directory_.Path() / "MacrosBody.txt"), "lib.h 4 dec  a1  # # # # #\r\n");
}

// A source file that is a dump of the run reads what the run left there; the dump cannot be
// replaced afterwards, and the next call that writes it ends the run.
TEST_F(PreprocessTest, SourceThatIsADumpReadsTheLastCallsTable) {
  Write("lib.h", ".macro one\ntwo\n.endmacro\n.macro two\nnop\n.endmacro\n");
  Write("a.asm", "#include \"lib.h\"\none\none\n");
  Write("sa.txt", "stale\n");
  try {
    Run({"a.asm", "sa.txt"});
    ADD_FAILURE() << "the dump was replaced after it was read";
  } catch (const TranslatorError& error) {
    EXPECT_STREQ(error.what(), "Cannot create file sa.txt: it is an input of this run");
  }
  // The rows read from it: the table at the second call of "one".
  const TextList texts = Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(TextList(texts.end() - 2, texts.end()),
            (TextList{"lib.h 1 two # # # # #", "a.asm 2 one $ $ $ $ $"}));
}

// A macro name cannot lead its dump file elsewhere: with a "/" or a NUL byte in it, the dump is a
// file that cannot be created, reported against the include, and nothing is written.
class MacroDumpNameTest : public PreprocessTest,
                          public ::testing::WithParamInterface<std::string> {};

TEST_P(MacroDumpNameTest, IsRefusedAndWritesNothing) {
  const std::string name = GetParam();
  Write("inc.h", ".macro " + name + " p\nnop\n.endmacro\n");
  Write("m.asm", "#include \"inc.h\"\n");
  EXPECT_EQ(Run({"m.asm"}), 1);
  // The message ends where a NUL byte stands in the name.
  const std::string file = "inc.h_" + name + ".txt";
  EXPECT_EQ(Printed(), "[preprocessor error] m.asm(0): Cannot create file " +
                           file.substr(0, file.find('\0')) + "\r\n");
  EXPECT_EQ(ReadFile(directory_.Path() / "m.asm"), "#include \"inc.h\"\n");
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(directory_.Path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 2u);
}

INSTANTIATE_TEST_SUITE_P(Names, MacroDumpNameTest,
                         ::testing::Values("d/../../outside/pwn", std::string("d/../m.asm\0z", 12),
                                           std::string("x\0y", 3), "a/b"));

// Such a dump ends the reading of a quoted include like any error there, and the run in a
// library include.
TEST_F(PreprocessTest, DumpNamedOutsideTheProjectSkipsTheIncludeOrEndsTheRun) {
  Write("inc.h", "nop\n.macro a/b x\nhalt\n.endmacro\nrst\n");
  Write("lib/inc.h", "nop\n.macro a/b\nhalt\n.endmacro\n");
  Write("m.asm", "#include \"inc.h\"\nwait\n");
  EXPECT_EQ(Run({"m.asm"}), 1);
  EXPECT_EQ(Texts(), (TextList{"nop", "wait"}));  // rst is skipped
  EXPECT_EQ(job_.Macros->size(), 0u);

  TMq71R04CompilerObject library;
  library.LibraryDirs->assign({(directory_.Path() / "lib").string()});
  Write("l.asm", "#include <inc.h>\n");
  library.SourceFiles->assign({"l.asm"});
  EXPECT_THROW(library.Preprocess(), TranslatorError);
}

}  // namespace
