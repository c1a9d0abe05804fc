#include "preprocessor/Tablewalk.h"

#include <gtest/gtest.h>

#include <random>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "preprocessor/Calldumps.h"
#include "preprocessor/Includeloader.h"
#include "preprocessor/Macroexpansion.h"
#include "preprocessor/Macrosobject.h"
#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace {

using Lines = std::vector<std::string>;
using Row = WorkTableRow;

// A job with top-level rows and macros from an included file, in a temporary current
// directory that receives the dump files. The tick counter is fixed at 1000, whose draws give
// the names 579514062, 1560015161, 3206227360 in turn.
class TableWalkTest : public ::testing::Test {
 protected:
  TableWalkTest() : scope_(directory_.Path()) {
    job_.TickCounter = [] { return 1000u; };
  }

  void Rows(const Lines& texts) {
    for (const std::string& text : texts) {
      job_.WorkTable->AddRow("top.asm", std::to_string(job_.WorkTable->RowCount()), text, "$", "$",
                             "$", "$", "$");
    }
    walker_.AddSourceRows(texts.size());
  }
  void Library(Lines lines) { LoadIncludedLines(job_, "lib.inc", lines); }
  // One walk, and the dumps it holds back written.
  void Walk() {
    walker_.Walk();
    dumps_.Flush();
  }
  Lines Column(int column) const {
    Lines cells;
    for (int r = 0; r < job_.WorkTable->RowCount(); ++r) {
      cells.emplace_back(job_.WorkTable->Cell(r, column));
    }
    return cells;
  }
  Lines Texts() const { return Column(ColText); }
  std::string Dump(const std::string& name) const { return ReadFile(directory_.Path() / name); }
  const std::string& Printed() const { return job_.Out.Captured(); }

  TemporaryDirectory directory_;
  CurrentDirectoryScope scope_;
  TMq71R04CompilerObject job_;
  CallDumps dumps_{job_};
  TableWalker walker_{job_, dumps_};
};

TEST_F(TableWalkTest, SubstitutesDefinesInEveryRow) {
  job_.Defines->Append("A", "5");
  job_.Defines->Append("B", "a1");
  Rows({"movl B, A", "x: jmp AB", "A"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"movl a1, 5", "x: jmp AB", "5"}));
}

TEST_F(TableWalkTest, CallIsReplacedByTheSubstitutedBodyWithCallLabelsInFront) {
  Library({".macro put r, v", "movl r, v", "addl r, 1 ; bump", ".endmacro"});
  Rows({"nop", "a: b: put a0, 3", "halt"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"nop", "a: b:movl  a0 ,  3 ", "addl  a0 , 1", "halt"}));
  EXPECT_EQ(Column(ColFile), (Lines{"top.asm", "lib.inc", "lib.inc", "top.asm"}));
  EXPECT_EQ(Column(ColLine), (Lines{"0", "1", "2", "2"}));
  EXPECT_EQ(Column(ColCode), (Lines{"$", "#", "#", "$"}));
  EXPECT_EQ(Dump("sa.txt"),
            "top.asm 0 nop $ $ $ $ $\r\n"
            "top.asm 1 a: b: put a0, 3 $ $ $ $ $\r\n"
            "top.asm 2 halt $ $ $ $ $\r\n");
  EXPECT_EQ(Dump("MacrosBody.txt"),
            "lib.inc 1 movl  a0 ,  3  # # # # #\r\n"
            "lib.inc 2 addl  a0 , 1 # # # # #\r\n");
  EXPECT_EQ(Printed(), "");
}

TEST_F(TableWalkTest, CommandMustMatchTheNameExactly) {
  Library({".macro put r", "nop", ".endmacro"});
  Rows({"PUT a0", "puts a0", "put", "put\ta0"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"PUT a0", "puts a0", "nop", "nop"}));
}

// A definition without a name (none is read from a file, whose lines are trimmed) would be
// called by every statement whose command word is empty.
TEST_F(TableWalkTest, NamelessDefinitionIsCalledByStatementsWithoutCommand) {
  auto definition = std::make_unique<TMacrosObject>(job_);
  definition->AddRow("lib.inc", "1", "nop", "#", "#", "#", "#", "#");
  job_.Macros->push_back(std::move(definition));
  Rows({"", "x:", "halt", " y"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"nop", "x:nop", "halt", "nop"}));
}

TEST_F(TableWalkTest, InvalidArgumentListLeavesTheCallAsItIs) {
  Library({".macro put r, v", "movl r, v", ".endmacro"});
  Rows({"put a0 b, 3", "put a0,,3"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"put a0 b, 3", "put a0,,3"}));
  EXPECT_EQ(Printed(),
            "[preprocessor error]top.asm(0): Invalid macros argument list \"a0 b, 3\".\r\n"
            "[preprocessor error]top.asm(1): Invalid macros argument list \"a0,,3\".\r\n");
  // Such a call is tried again by every walk, and reported again.
  const std::string first = Printed();
  Walk();
  EXPECT_EQ(Printed(), first + first);
}

TEST_F(TableWalkTest, CallWithoutArgumentsOrWithWrongCountInsertsTheBodyUnreplaced) {
  Library({".macro put r, v", "movl r, v", ".endmacro"});
  Rows({"put", "put a0"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"movl r, v", "movl r, v"}));
  EXPECT_EQ(Printed(), "[preprocessor error] top.asm(1): Invalid macros arguments count.\r\n");
}

TEST_F(TableWalkTest, InsertedRowsAreExaminedOnlyByTheNextWalk) {
  job_.Defines->Append("K", "7");
  Library({".macro inner", "movl a0, K", ".endmacro", ".macro outer", "inner", "K", ".endmacro"});
  Rows({"outer K"});
  Walk();
  // The argument K of the call is replaced before the call is expanded; the body is not.
  EXPECT_EQ(Texts(), (Lines{"inner", "K"}));
  Walk();
  EXPECT_EQ(Texts(), (Lines{"movl a0, K", "7"}));
  Walk();
  EXPECT_EQ(Texts(), (Lines{"movl a0, 7", "7"}));
}

TEST_F(TableWalkTest, SameNamedDefinitionsAreComparedInTurnAgainstTheLastBodyRow) {
  Library({".macro m", "nop", "halt", ".endmacro", ".macro m", "inc a0", ".endmacro"});
  ASSERT_EQ(job_.Macros->size(), 2u);
  Rows({"m", "ret"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"nop", "inc a0", "ret"}));
}

TEST_F(TableWalkTest, EmptyBodyMovesCallLabelsToTheNextRow) {
  Library({".macro e", ".endmacro", ".macro one", "inc a0", ".endmacro"});
  Rows({"nop", "l: e", "halt"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"nop", "l:halt"}));
  EXPECT_EQ(Column(ColLine), (Lines{"0", "2"}));
  EXPECT_EQ(Dump("MacrosBody.txt"), "");
}

TEST_F(TableWalkTest, EmptyBodyRowThatMovedUpIsExaminedInTheSameWalk) {
  Library({".macro e", ".endmacro", ".macro one", "inc a0", ".endmacro"});
  Rows({"e", "e", "l: e", "one", "k: e"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"l:inc a0", "k:"}));
}

TEST_F(TableWalkTest, EmptyBodyAsLastRowLeavesOnlyItsLabels) {
  Library({".macro e", ".endmacro"});
  Rows({"nop", "x: y: e"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"nop", "x: y:"}));
  EXPECT_EQ(Column(ColFile), (Lines{"top.asm", "top.asm"}));
  EXPECT_EQ(Column(ColLine), (Lines{"0", "1"}));

  TMq71R04CompilerObject job;
  CallDumps dumps(job);
  TMacrosObject* empty = job_.Macros->front().get();
  job.Macros->push_back(std::make_unique<TMacrosObject>(job));
  job.Macros->back()->Assign(*empty);
  job.WorkTable->AddRow("top.asm", "0", "e", "$", "$", "$", "$", "$");
  TableWalker(job, dumps).Walk();
  EXPECT_EQ(job.WorkTable->RowCount(), 0);
}

TEST_F(TableWalkTest, EmptyBodyIsNotComparedWithLaterDefinitions) {
  Library({".macro e", ".endmacro", ".macro e", "inc a0", ".endmacro"});
  Rows({"e", "halt"});
  Walk();
  // The call vanished; the row that moved up is no call of e.
  EXPECT_EQ(Texts(), (Lines{"halt"}));
}

TEST_F(TableWalkTest, EveryExpansionAfterTheFirstGetsFreshLabelNames) {
  Library({".macro wait n", "l: dec n", "jnz l", ".endmacro"});
  Rows({"wait a0", "wait a1 b", "wait a1", "wait"});
  Walk();
  EXPECT_EQ(Texts(),
            (Lines{"579514062: dec  a0 ", "jnz 579514062", "wait a1 b", "1560015161: dec  a1 ",
                   "jnz 1560015161", "3206227360: dec n", "jnz 3206227360"}));
  EXPECT_EQ(job_.Macros->front()->ExpansionCount, 3);
  // The definition keeps its own names.
  EXPECT_EQ(job_.Macros->front()->Cell(1, ColText), "jnz 579514062");
}

TEST_F(TableWalkTest, ExpansionWithWrongArgumentCountStillCounts) {
  Library({".macro wait n", "l: dec n", ".endmacro"});
  Rows({"wait a0, a1", "wait a2"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"579514062: dec n", "1560015161: dec  a2 "}));
}

TEST_F(TableWalkTest, DumpsShowTheTableAndBodyOfTheWalksLastCall) {
  job_.Defines->Append("X", "a3");
  Library({".macro one", "inc a0", "dec a0", ".endmacro", ".macro two p", "movl p, 1", ".endmacro",
           ".macro e", ".endmacro"});
  Rows({"one", "nop", "l: e", "two X", "halt X"});
  Walk();
  EXPECT_EQ(Texts(), (Lines{"inc a0", "dec a0", "nop", "l:movl  a3 , 1", "halt a3"}));
  // The call row is substituted before the call; the rows after it are not yet.
  EXPECT_EQ(Dump("sa.txt"),
            "lib.inc 1 inc a0 # # # # #\r\n"
            "lib.inc 2 dec a0 # # # # #\r\n"
            "top.asm 1 nop $ $ $ $ $\r\n"
            "top.asm 3 l:two a3 $ $ $ $ $\r\n"
            "top.asm 4 halt X $ $ $ $ $\r\n");
  EXPECT_EQ(Dump("MacrosBody.txt"), "lib.inc 5 movl  a3 , 1 # # # # #\r\n");
}

TEST_F(TableWalkTest, DumpThatCannotBeWrittenEndsTheWalkAtTheFirstCall) {
  Library({".macro one", "inc a0", ".endmacro"});
  Rows({"one", "one a b"});
  std::filesystem::create_directory(directory_.Path() / "sa.txt");
  try {
    walker_.Walk();
    ADD_FAILURE() << "the walk ended normally";
  } catch (const TranslatorError& error) {
    EXPECT_STREQ(error.what(), "Cannot create file sa.txt");
  }
  EXPECT_EQ(Printed(), "");  // the second call was never reached
}

// Memory may run out at any allocation of a walk: while rows are read and finished, while a gap
// opens for the rows of an expansion, while the last call's dump is put together. Whenever it
// does, the walk ends with the error and leaves a table of whole rows behind, no gap.
TEST_F(TableWalkTest, WalkThatRunsOutOfMemoryEndsWithTheErrorAndLeavesNoGap) {
  job_.Defines->Append("X", "a3");
  Library({".macro two", "inc a0", "inc a1", ".endmacro", ".macro none", ".endmacro"});
  Lines rows;
  for (int r = 0; r < 60; ++r)
    rows.push_back(r % 3 == 1 ? "l: none" : r % 6 == 2 ? "movl X, 1" : "nop");
  for (int r = 0; r < 80; ++r)
    rows.push_back(r % 2 == 0 ? "two" : r % 6 == 1 ? "movl X, 2" : "nop");
  long failures = 0;
  for (long count = 0;; ++count) {
    TMq71R04CompilerObject job;
    job.Defines->Append("X", "a3");
    for (const auto& macro : *job_.Macros) {
      job.Macros->push_back(std::make_unique<TMacrosObject>(job));
      job.Macros->back()->Assign(*macro);
    }
    for (const std::string& text : rows) {
      job.WorkTable->AddRow("top.asm", "1", text, "$", "$", "$", "$", "$");
    }
    CallDumps dumps(job);
    TableWalker walker(job, dumps);
    bool failed = false;
    {
      AllocationFailure failure(count);
      try {
        walker.Walk();
        dumps.Flush();
      } catch (const std::bad_alloc&) {
        failed = true;
      }
    }
    if (!failed) {
      EXPECT_EQ(job.WorkTable->RowCount(), 140 - 20 + 40);
      break;
    }
    ++failures;
    for (const Row& row : job.WorkTable->Rows()) {
      ASSERT_NE(row[ColFile], "") << "a gap row left in the table, failing allocation " << count;
    }
  }
  EXPECT_GT(failures, 100);
}

// The walk as an index loop over the table, call by call, with both dumps written at every
// call: the reference for the walker, which walks in place and writes only the last dumps.
void ReferenceWalk(TMq71R04CompilerObject& job) {
  std::vector<Row> table = job.WorkTable->TakeRows();
  auto saveDump = [](const std::string& name, const std::vector<Row>& rows) {
    std::string text;
    for (const Row& row : rows) text += std::string(row.Line()) + "\r\n";
    WriteFile(name, text);
  };
  for (int r = 0; r < static_cast<int>(table.size()); ++r) {
    const std::string text(table[r][ColText]);
    std::string substituted;
    if (job.Defines->Substitute(text, std::string::npos, substituted) ==
        DefineList::Outcome::Changed) {
      table[r].Set(ColText, substituted);
    }
    const TMq71R04_ASMParserObject parser = TMq71R04_ASMParserObject::Bare(job.Out);
    const std::string command(parser.ExtractCommand(table[r][ColText]));
    const std::string current(table[r][ColText]);
    const size_t colon = current.rfind(':');
    const std::string labels = colon == std::string::npos ? "" : current.substr(0, colon + 1);
    for (size_t k = 0; k < job.Macros->size(); ++k) {
      TMacrosObject& definition = *(*job.Macros)[k];
      if (command != definition.Name) continue;
      saveDump("sa.txt", table);
      OperandList split;
      parser.SplitArgumentList(table[r][ColText], split, MacroArgumentList, table[r][ColLine],
                               table[r][ColFile]);
      if (split.Status == StatusInvalid) continue;
      std::vector<std::string> arguments;
      if (split.Status == StatusOk) arguments = split.Items;
      TMacrosObject call(job);
      call.Assign(definition);
      if (definition.ExpansionCount++ > 0) call.RenewGeneratedLabels();
      call.Expand(arguments, table[r][ColFile], table[r][ColLine]);
      saveDump("MacrosBody.txt", call.Rows());
      if (call.RowCount() == 0) {
        if (r + 1 == static_cast<int>(table.size()) && !labels.empty()) {
          table[r].Set(ColText, labels);
        } else {
          table.erase(table.begin() + r);
          if (r < static_cast<int>(table.size())) {
            table[r].Set(ColText, labels + std::string(table[r][ColText]));
          }
        }
        r -= 1;
        break;
      }
      table.erase(table.begin() + r);
      table.insert(table.begin() + r, call.Rows().begin(), call.Rows().end());
      table[r].Set(ColText, labels + std::string(table[r][ColText]));
      r += call.RowCount() - 1;
    }
  }
  job.WorkTable->ReplaceRows(std::move(table));
}

// Each "file" of `files` added to the table in turn (behind the definitions in `library`, and
// any #define among its rows appended to the list), each followed by a walk of the walker and
// by the reference loop, in directories of their own; then `extraWalks` walks more. The
// tables, the printed text and both dumps must agree after each walk.
void ExpectWalksAgreeWithReference(const Lines& library, const std::vector<Lines>& files,
                                   int extraWalks, unsigned tick) {
  TemporaryDirectory walkedDirectory;
  TemporaryDirectory referenceDirectory;
  TMq71R04CompilerObject walked;
  TMq71R04CompilerObject reference;
  CallDumps dumps(walked);
  TableWalker walker(walked, dumps);
  std::string description;
  for (auto [job, directory] :
       {std::pair{&walked, &walkedDirectory}, std::pair{&reference, &referenceDirectory}}) {
    CurrentDirectoryScope scope(directory->Path());
    job->TickCounter = [tick] { return tick; };
    Lines lines = library;
    LoadIncludedLines(*job, "lib.inc", lines);
  }
  for (size_t walk = 0; walk < files.size() + static_cast<size_t>(extraWalks); ++walk) {
    if (walk < files.size()) {
      for (auto* job : {&walked, &reference}) {
        for (size_t i = 0; i < files[walk].size(); ++i) {
          const std::string& text = files[walk][i];
          if (text.rfind("#define ", 0) == 0) {
            const size_t blank = text.find(' ', 8);
            job->Defines->Append(text.substr(8, blank - 8), text.substr(blank + 1));
          }
          const std::string file = std::string("f").append(std::to_string(walk));
          job->WorkTable->AddRow(file, std::to_string(i), text, "$", "$", "$", "$", "$");
        }
      }
      for (const std::string& row : files[walk]) description += row + " | ";
      description += "|| ";
    }
    {
      CurrentDirectoryScope scope(walkedDirectory.Path());
      walker.Walk();
      dumps.Flush();
    }
    {
      CurrentDirectoryScope scope(referenceDirectory.Path());
      ReferenceWalk(reference);
    }
    ASSERT_EQ(walked.WorkTable->DumpText(), reference.WorkTable->DumpText())
        << "walk " << walk << ": " << description;
    ASSERT_EQ(walked.Out.Captured(), reference.Out.Captured()) << description;
    for (const std::string name : {"sa.txt", "MacrosBody.txt"}) {
      ASSERT_EQ(ReadFile(walkedDirectory.Path() / name), ReadFile(referenceDirectory.Path() / name))
          << name << " after walk " << walk << ": " << description;
    }
  }
}

TEST(TableWalkReference, WalkAgreesWithTheIndexLoop) {
  const Lines library = {
      ".macro one", "inc a0",        ".endmacro",  ".macro two p, q", "z: movl p, q", "jnz z",
      ".endmacro",  ".macro e",      ".endmacro",  ".macro dup v",    "one",          "d2 v",
      ".endmacro",  ".macro dup w",  "d3 w",       ".endmacro",       ".macro d2 x",  "e",
      ".endmacro",  "#define S one", "#define T e"};
  const Lines vocabulary = {"nop",      "l: nop",    "one",  "k: one", "two a0, a1", "two a0",
                            "two",      "two a0 a1", "e",    "x: e",   "y: z: e",    "dup",
                            "m: dup 5", "S",         "n: T", "jmp S",  "dup 1, 2",   "d2 S"};
  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    Lines rows;
    const int count = static_cast<int>(random() % 9);
    for (int i = 0; i < count; ++i) rows.push_back(vocabulary[random() % vocabulary.size()]);
    ExpectWalksAgreeWithReference(library, {rows}, 2, 77u);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

// Most rows of a real program pass a walk unchanged, between calls and rows that #define
// symbols change: the last call's "sa.txt" must still show them as they stood at that call.
TEST(TableWalkReference, WalkAgreesOnLongProgramsOfMostlyPlainRows) {
  const Lines library = {".macro one",    "inc a0",       ".endmacro",    ".macro two p, q",
                         "movl p, q",     ".endmacro",    ".macro e",     ".endmacro",
                         "#define S one", "#define T e",  "#define V a1", "#define p,q nop",
                         "#define W two", ".macro two r", "w: jnz r",     ".endmacro"};
  const Lines plain = {"nop", "l: nop", "movl a0, 1", "halt", "jmp l", "addl a2, 3"};
  const Lines special = {"one",     "k: one", "two a0, V", "two V",     "e",
                         "x: e",    "S",      "n: T",      "movl V, 2", "x p,q",
                         "W a0, 1", "W V",    "m: two",    "jmp S",     "p,q"};
  std::mt19937 random(12);
  for (int round = 0; round < 150; ++round) {
    Lines rows;
    const int count = static_cast<int>(random() % 41);
    for (int i = 0; i < count; ++i) {
      const Lines& pool = random() % 5 == 0 ? special : plain;
      rows.push_back(pool[random() % pool.size()]);
    }
    ExpectWalksAgreeWithReference(library, {rows}, 1, 78u);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

// Files read one after another, some adding #defines, each followed by a walk: the walker
// does not read again the rows that cannot have changed since its last walk, and must end up
// with what walking the whole table every time gives, dumps included. The defines include a
// chain (Y to Z, X to Y), with which a row changes again in a walk without a new define.
TEST(TableWalkReference, WalksAfterEveryFileAgreeWithWalkingTheWholeTable) {
  const Lines library = {".macro one", "inc a0",   ".endmacro", ".macro e",    ".endmacro",
                         ".macro two p", "movl p, 1", "one",    ".endmacro", "#define Y Z",
                         "#define X Y"};
  const Lines vocabulary = {"nop",   "l: nop",     "movl a0, 1", "one",         "two a1",
                            "e",     "k: e",       "X",          "jmp X",       "two X",
                            "add Q", "#define Q R", "#define R one", "#define Z two", "two a b, c"};
  std::mt19937 random(13);
  for (int round = 0; round < 150; ++round) {
    std::vector<Lines> files(1 + random() % 5);
    for (Lines& file : files) {
      const int count = static_cast<int>(random() % 7);
      for (int i = 0; i < count; ++i) file.push_back(vocabulary[random() % vocabulary.size()]);
    }
    ExpectWalksAgreeWithReference(library, files, 2, 79u);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

// prefix followed by the decimal number.
std::string Numbered(const char* prefix, int number) {
  std::string text = prefix;
  text += std::to_string(number);
  return text;
}

TEST_F(TableWalkTest, ManyCallsAndDefinesOverManyRows) {
  Lines library;
  for (int m = 0; m < 50; ++m) {
    library.push_back(Numbered(".macro mac", m) + " x");
    library.push_back("lp: addl x, 1");
    library.push_back("jnz lp");
    library.push_back(".endmacro");
  }
  Library(library);
  for (int d = 0; d < 300; ++d) job_.Defines->Append(Numbered("S", d), std::to_string(d));
  Lines rows;
  for (int r = 0; r < 6000; ++r) {
    rows.push_back(r % 20 == 0 ? Numbered("mac", r % 50) + Numbered(" S", r % 300)
                               : Numbered("addl a0, S", r % 300));
  }
  Rows(rows);
  Walk();
  EXPECT_EQ(job_.WorkTable->RowCount(), 6000 + 300);
  EXPECT_EQ(job_.WorkTable->Cell(2, ColText), "addl a0, 1");
  const std::string_view first = job_.WorkTable->Cell(0, ColText);
  EXPECT_EQ(first.substr(first.find(':')), ": addl  0 , 1");
  EXPECT_EQ(Printed(), "");
}

// Expansion that would grow a row's text or the table past the budget is refused once, with the
// row's file and line; the row stays as it was and nothing more is expanded.
TEST(TableWalkBudget, TooLargeExpansionIsReportedOnceAndStopsExpanding) {
  struct Case {
    const char* name;
    Lines library;
    Lines rows;
    Lines expected;
    std::string message;  // empty: nothing refused
  };
  const Case cases[] = {
      {"text within the budget",
       {"#define A B,B", "#define B C,C"},
       {"nop A"},
       {"nop C,C,C,C"},
       ""},
      {"text beyond the budget",
       {"#define A B,B", "#define B C,C,C"},
       {"nop", "nop A", "A"},
       {"nop", "nop A", "A"},
       "top.asm(1)"},
      {"long text that does not grow",
       {"#define A B"},
       {"nop A,A,A,A,A,A"},
       {"nop B,B,B,B,B,B"},
       ""},
      {"long text that would grow",
       {"#define A BB"},
       {"nop A,A,A,A,A,A"},
       {"nop A,A,A,A,A,A"},
       "top.asm(0)"},
      {"rows within the budget",
       {".macro m", "nop", "nop", "nop", ".endmacro"},
       {"m", "m"},
       {"nop", "nop", "nop", "nop", "nop", "nop"},
       ""},
      {"rows beyond the budget",
       {".macro m", "nop", "nop", "nop", "nop", ".endmacro", "#define Q halt"},
       {"m", "m", "Q"},
       {"nop", "nop", "nop", "nop", "m", "Q"},
       "top.asm(1)"},
  };
  for (const Case& c : cases) {
    TemporaryDirectory directory;
    CurrentDirectoryScope scope(directory.Path());
    TMq71R04CompilerObject job;
    job.TickCounter = [] { return 5u; };
    Lines library;
    for (const std::string& line : c.library) {
      if (line.rfind("#define ", 0) != 0) {
        library.push_back(line);
        continue;
      }
      const size_t blank = line.find(' ', 8);
      job.Defines->Append(line.substr(8, blank - 8), line.substr(blank + 1));
    }
    LoadIncludedLines(job, "lib.inc", library);
    for (const std::string& text : c.rows) {
      job.WorkTable->AddRow("top.asm", std::to_string(job.WorkTable->RowCount()), text, "$", "$",
                            "$", "$", "$");
    }
    CallDumps dumps(job);
    TableWalker walker(job, dumps, ExpansionBudget{12, 4});
    walker.AddSourceRows(c.rows.size());
    walker.Walk();
    walker.Walk();  // a refused expansion is not tried again
    Lines texts;
    for (const Row& row : job.WorkTable->Rows()) texts.emplace_back(row[ColText]);
    EXPECT_EQ(texts, c.expected) << c.name;
    EXPECT_EQ(walker.ExpansionRefused(), !c.message.empty()) << c.name;
    EXPECT_EQ(job.Out.Captured(),
              c.message.empty() ? ""
                                : "[preprocessor error] " + c.message +
                                      ": Expansion is too large.\r\n")
        << c.name;
  }
}

// A macro whose body calls it twice doubles the table with every walk: the walk that would pass
// the budget is refused at its first call, and later walks expand nothing.
TEST(TableWalkBudget, DoublingMacroStopsAtTheBudget) {
  TemporaryDirectory directory;
  CurrentDirectoryScope scope(directory.Path());
  TMq71R04CompilerObject job;
  job.TickCounter = [] { return 5u; };
  Lines library = {".macro m", "m", "m", ".endmacro"};
  LoadIncludedLines(job, "lib.inc", library);
  job.WorkTable->AddRow("top.asm", "0", "m", "$", "$", "$", "$", "$");
  CallDumps dumps(job);
  TableWalker walker(job, dumps, ExpansionBudget{1 << 20, 60});
  walker.AddSourceRows(1);
  for (int walk = 0; walk < 10; ++walk) walker.Walk();
  // 1, 2, 4, ... 32 rows; in the sixth walk each call adds a row, up to the 61 allowed, and the
  // 30th call, of a row made from the body's second line, would make 62.
  EXPECT_EQ(job.WorkTable->RowCount(), 61);
  EXPECT_TRUE(walker.ExpansionRefused());
  EXPECT_EQ(job.Out.Captured(), "[preprocessor error] lib.inc(2): Expansion is too large.\r\n");
}

}  // namespace
