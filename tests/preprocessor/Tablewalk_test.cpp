#include "preprocessor/Tablewalk.h"

#include <gtest/gtest.h>

#include <random>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "preprocessor/Includeloader.h"
#include "preprocessor/Macrosobject.h"
#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace {

using Lines = std::vector<std::string>;

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
  }
  void Library(Lines lines) { LoadIncludedLines(job_, "lib.inc", lines); }
  Lines Column(int column) const {
    Lines cells;
    for (int r = 0; r < job_.WorkTable->RowCount(); ++r) {
      cells.push_back(job_.WorkTable->GetItem(r, column));
    }
    return cells;
  }
  Lines Texts() const { return Column(ColText); }
  std::string Dump(const std::string& name) const { return ReadFile(directory_.Path() / name); }
  const std::string& Printed() const { return job_.Out.Captured(); }

  TemporaryDirectory directory_;
  CurrentDirectoryScope scope_;
  TMq71R04CompilerObject job_;
};

TEST_F(TableWalkTest, SubstitutesDefinesInEveryRow) {
  job_.Defines->Append("A=5");
  job_.Defines->Append("B=a1");
  Rows({"movl B, A", "x: jmp AB", "A"});
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"movl a1, 5", "x: jmp AB", "5"}));
}

TEST_F(TableWalkTest, CallIsReplacedByTheSubstitutedBodyWithCallLabelsInFront) {
  Library({".macro put r, v", "movl r, v", "addl r, 1 ; bump", ".endmacro"});
  Rows({"nop", "a: b: put a0, 3", "halt"});
  WalkTable(job_);
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
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"PUT a0", "puts a0", "nop", "nop"}));
}

// A definition without a name (none is read from a file, whose lines are trimmed) would be
// called by every statement whose command word is empty.
TEST_F(TableWalkTest, NamelessDefinitionIsCalledByStatementsWithoutCommand) {
  auto definition = std::make_unique<TMacrosObject>(job_);
  definition->AddRow("lib.inc", "1", "nop", "#", "#", "#", "#", "#");
  job_.Macros->push_back(std::move(definition));
  Rows({"", "x:", "halt", " y"});
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"nop", "x:nop", "halt", "nop"}));
}

TEST_F(TableWalkTest, InvalidArgumentListLeavesTheCallAsItIs) {
  Library({".macro put r, v", "movl r, v", ".endmacro"});
  Rows({"put a0 b, 3", "put a0,,3"});
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"put a0 b, 3", "put a0,,3"}));
  EXPECT_EQ(Printed(),
            "[preprocessor error]top.asm(0): Invalid macros argument list \"a0 b, 3\".\r\n"
            "[preprocessor error]top.asm(1): Invalid macros argument list \"a0,,3\".\r\n");
}

TEST_F(TableWalkTest, CallWithoutArgumentsOrWithWrongCountInsertsTheBodyUnreplaced) {
  Library({".macro put r, v", "movl r, v", ".endmacro"});
  Rows({"put", "put a0"});
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"movl r, v", "movl r, v"}));
  EXPECT_EQ(Printed(), "[preprocessor error] top.asm(1): Invalid macros arguments count.\r\n");
}

TEST_F(TableWalkTest, InsertedRowsAreExaminedOnlyByTheNextWalk) {
  job_.Defines->Append("K=7");
  Library({".macro inner", "movl a0, K", ".endmacro", ".macro outer", "inner", "K", ".endmacro"});
  Rows({"outer K"});
  WalkTable(job_);
  // The argument K of the call is replaced before the call is expanded; the body is not.
  EXPECT_EQ(Texts(), (Lines{"inner", "K"}));
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"movl a0, K", "7"}));
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"movl a0, 7", "7"}));
}

TEST_F(TableWalkTest, SameNamedDefinitionsAreComparedInTurnAgainstTheLastBodyRow) {
  Library({".macro m", "nop", "halt", ".endmacro", ".macro m", "inc a0", ".endmacro"});
  ASSERT_EQ(job_.Macros->size(), 2u);
  Rows({"m", "ret"});
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"nop", "inc a0", "ret"}));
}

TEST_F(TableWalkTest, EmptyBodyMovesCallLabelsToTheNextRow) {
  Library({".macro e", ".endmacro", ".macro one", "inc a0", ".endmacro"});
  Rows({"nop", "l: e", "halt"});
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"nop", "l:halt"}));
  EXPECT_EQ(Column(ColLine), (Lines{"0", "2"}));
  EXPECT_EQ(Dump("MacrosBody.txt"), "");
}

TEST_F(TableWalkTest, EmptyBodyRowThatMovedUpIsExaminedInTheSameWalk) {
  Library({".macro e", ".endmacro", ".macro one", "inc a0", ".endmacro"});
  Rows({"e", "e", "l: e", "one", "k: e"});
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"l:inc a0", "k:"}));
}

TEST_F(TableWalkTest, EmptyBodyAsLastRowLeavesOnlyItsLabels) {
  Library({".macro e", ".endmacro"});
  Rows({"nop", "x: y: e"});
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"nop", "x: y:"}));
  EXPECT_EQ(Column(ColFile), (Lines{"top.asm", "top.asm"}));
  EXPECT_EQ(Column(ColLine), (Lines{"0", "1"}));

  TMq71R04CompilerObject job;
  TMacrosObject* empty = job_.Macros->front().get();
  job.Macros->push_back(std::make_unique<TMacrosObject>(job));
  job.Macros->back()->Assign(*empty);
  job.WorkTable->AddRow("top.asm", "0", "e", "$", "$", "$", "$", "$");
  WalkTable(job);
  EXPECT_EQ(job.WorkTable->RowCount(), 0);
}

TEST_F(TableWalkTest, EmptyBodyIsNotComparedWithLaterDefinitions) {
  Library({".macro e", ".endmacro", ".macro e", "inc a0", ".endmacro"});
  Rows({"e", "halt"});
  WalkTable(job_);
  // The call vanished; the row that moved up is no call of e.
  EXPECT_EQ(Texts(), (Lines{"halt"}));
}

TEST_F(TableWalkTest, EveryExpansionAfterTheFirstGetsFreshLabelNames) {
  Library({".macro wait n", "l: dec n", "jnz l", ".endmacro"});
  Rows({"wait a0", "wait a1 b", "wait a1", "wait"});
  WalkTable(job_);
  EXPECT_EQ(Texts(),
            (Lines{"579514062: dec  a0 ", "jnz 579514062", "wait a1 b", "1560015161: dec  a1 ",
                   "jnz 1560015161", "3206227360: dec n", "jnz 3206227360"}));
  EXPECT_EQ(job_.Macros->front()->ExpansionCount, 3);
  // The definition keeps its own names.
  EXPECT_EQ(job_.Macros->front()->GetItem(1, ColText), "jnz 579514062");
}

TEST_F(TableWalkTest, ExpansionWithWrongArgumentCountStillCounts) {
  Library({".macro wait n", "l: dec n", ".endmacro"});
  Rows({"wait a0, a1", "wait a2"});
  WalkTable(job_);
  EXPECT_EQ(Texts(), (Lines{"579514062: dec n", "1560015161: dec  a2 "}));
}

TEST_F(TableWalkTest, DumpsShowTheTableAndBodyOfTheWalksLastCall) {
  job_.Defines->Append("X=a3");
  Library({".macro one", "inc a0", "dec a0", ".endmacro", ".macro two p", "movl p, 1", ".endmacro",
           ".macro e", ".endmacro"});
  Rows({"one", "nop", "l: e", "two X", "halt X"});
  WalkTable(job_);
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
    WalkTable(job_);
    ADD_FAILURE() << "the walk ended normally";
  } catch (const TranslatorError& error) {
    EXPECT_STREQ(error.what(), "Cannot create file sa.txt");
  }
  EXPECT_EQ(Printed(), "");  // the second call was never reached
}

TEST_F(TableWalkTest, WalkEndedByAnErrorLeavesTheTableAsItFoundIt) {
  job_.Defines->Append("X=a3");
  Library({".macro one", "inc a0", ".endmacro"});
  Rows({"nop", "halt", "movl X, 1", "one", "nop", "one"});
  const std::string before = job_.WorkTable->DumpText();
  std::filesystem::create_directory(directory_.Path() / "sa.txt");
  EXPECT_THROW(WalkTable(job_), TranslatorError);
  EXPECT_EQ(job_.WorkTable->DumpText(), before);
}

// Memory may run out at any allocation of a walk: while rows are set aside, while room is
// opened for the rows of expansions, while labels move to the next row. Whenever it does, the
// table is left as the walk found it.
TEST_F(TableWalkTest, WalkThatRunsOutOfMemoryLeavesTheTableAsItFoundIt) {
  job_.Defines->Append("X=a3");
  Library({".macro two", "inc a0", "inc a1", ".endmacro", ".macro none", ".endmacro"});
  // The first half shrinks (a third of its calls vanish), the second grows by 40 rows, so that
  // rows stand both before and behind their first places when memory runs out.
  Lines rows;
  for (int r = 0; r < 60; ++r)
    rows.push_back(r % 3 == 1 ? "l: none" : r % 6 == 2 ? "movl X, 1" : "nop");
  for (int r = 0; r < 80; ++r)
    rows.push_back(r % 2 == 0 ? "two" : r % 6 == 1 ? "movl X, 2" : "nop");
  Rows(rows);
  const std::string before = job_.WorkTable->DumpText();
  long failures = 0;
  for (long count = 0;; ++count) {
    bool failed = false;
    {
      AllocationFailure failure(count);
      try {
        WalkTable(job_);
      } catch (const std::bad_alloc&) {
        failed = true;
      }
    }
    if (!failed) break;
    ++failures;
    ASSERT_EQ(job_.WorkTable->DumpText(), before) << "failing allocation " << count;
  }
  EXPECT_GT(failures, 100);
  EXPECT_EQ(job_.WorkTable->RowCount(), 140 - 20 + 40);  // the walk that succeeded
}

// The walk as an index loop over the table, call by call, with both dumps written at every
// call: the reference for WalkTable.
void ReferenceWalk(TMq71R04CompilerObject& job) {
  TWorkTableObject& table = *job.WorkTable;
  for (int r = 0; r < table.RowCount(); ++r) {
    std::string text = table.GetItem(r, ColText);
    job.Defines->Substitute(text);
    table.SetItem(r, ColText, text);
    const TMq71R04_ASMParserObject parser = TMq71R04_ASMParserObject::Bare(job.Out);
    const std::string command(parser.ExtractCommand(text));
    const size_t colon = text.rfind(':');
    const std::string labels = colon == std::string::npos ? "" : text.substr(0, colon + 1);
    for (size_t k = 0; k < job.Macros->size(); ++k) {
      TMacrosObject& definition = *(*job.Macros)[k];
      if (command != definition.Name) continue;
      table.SaveToFile(job.Files, "sa.txt");
      OperandList split;
      parser.SplitArgumentList(table.GetItem(r, ColText), split, MacroArgumentList,
                               table.GetItem(r, ColLine), table.GetItem(r, ColFile));
      if (split.Status == StatusInvalid) continue;
      std::vector<std::string> arguments;
      if (split.Status == StatusOk) arguments = split.Items;
      TMacrosObject call(job);
      call.Assign(definition);
      if (definition.ExpansionCount++ > 0) call.RenewGeneratedLabels();
      call.Expand(arguments, table.GetItem(r, ColFile), table.GetItem(r, ColLine));
      call.SaveToFile(job.Files, "MacrosBody.txt");
      if (call.RowCount() == 0) {
        if (r + 1 == table.RowCount() && !labels.empty()) {
          table.SetItem(r, ColText, labels);
        } else {
          table.DeleteRow(r);
          if (r < table.RowCount()) table.SetItem(r, ColText, labels + table.GetItem(r, ColText));
        }
        r -= 1;
        break;
      }
      table.DeleteRow(r);
      table.InsertTable(call, r);
      table.SetItem(r, ColText, labels + table.GetItem(r, ColText));
      r += call.RowCount() - 1;
    }
  }
}

// Three walks of `rows` (behind the definitions in `library`) by WalkTable and by the reference
// loop, in directories of their own: the tables, the printed text and both dumps must agree
// after each walk.
void ExpectWalkAgreesWithReference(const Lines& library, const Lines& rows, unsigned tick) {
  TemporaryDirectory walkedDirectory;
  TemporaryDirectory referenceDirectory;
  TMq71R04CompilerObject walked;
  TMq71R04CompilerObject reference;
  for (auto [job, directory] :
       {std::pair{&walked, &walkedDirectory}, std::pair{&reference, &referenceDirectory}}) {
    CurrentDirectoryScope scope(directory->Path());
    job->TickCounter = [tick] { return tick; };
    Lines lines = library;
    LoadIncludedLines(*job, "lib.inc", lines);
    for (size_t i = 0; i < rows.size(); ++i) {
      job->WorkTable->AddRow("top.asm", std::to_string(i), rows[i], "$", "$", "$", "$", "$");
    }
  }
  std::string description;
  for (const std::string& row : rows) description += row + " | ";
  for (int walk = 0; walk < 3; ++walk) {
    {
      CurrentDirectoryScope scope(walkedDirectory.Path());
      WalkTable(walked);
    }
    {
      CurrentDirectoryScope scope(referenceDirectory.Path());
      ReferenceWalk(reference);
    }
    ASSERT_EQ(walked.WorkTable->DumpText(), reference.WorkTable->DumpText()) << description;
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
    ExpectWalkAgreesWithReference(library, rows, 77u);
    if (HasFatalFailure()) return;
  }
}

// Most rows of a real program pass a walk unchanged, between calls and rows that #define
// symbols change: the walk leaves such rows where they are until the end, and its "sa.txt" must
// still show them at their places at the time of each call.
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
    ExpectWalkAgreesWithReference(library, rows, 78u);
    if (HasFatalFailure()) return;
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
  for (int d = 0; d < 300; ++d) job_.Defines->Append(Numbered("S", d) + Numbered("=", d));
  Lines rows;
  for (int r = 0; r < 6000; ++r) {
    rows.push_back(r % 20 == 0 ? Numbered("mac", r % 50) + Numbered(" S", r % 300)
                               : Numbered("addl a0, S", r % 300));
  }
  Rows(rows);
  WalkTable(job_);
  EXPECT_EQ(job_.WorkTable->RowCount(), 6000 + 300);
  EXPECT_EQ(job_.WorkTable->GetItem(2, ColText), "addl a0, 1");
  EXPECT_EQ(
      job_.WorkTable->GetItem(0, ColText).substr(job_.WorkTable->GetItem(0, ColText).find(':')),
      ": addl  0 , 1");
  EXPECT_EQ(Printed(), "");
}

// The walk looks for calls only where the command word's first byte could begin a macro name:
// that byte must be the command word's own, for any text.
TEST(CommandFirstByte, IsTheFirstByteOfTheCommandWord) {
  OutputSink out;
  const TMq71R04_ASMParserObject parser = TMq71R04_ASMParserObject::Bare(out);
  const char alphabet[] = {'a', 'b', ':', ' ', '\t', '\x01', '\0', ',', '\xff', '\r'};
  std::mt19937 random(13);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 9, ' ');
    for (char& c : text) c = alphabet[random() % sizeof alphabet];
    const std::string_view command = parser.ExtractCommand(text);
    const int expected = command.empty() ? -1 : static_cast<unsigned char>(command[0]);
    ASSERT_EQ(CommandFirstByte(text), expected) << "text \"" << text << "\"";
  }
  EXPECT_EQ(CommandFirstByte("x: y: bump a0"), 'b');
  EXPECT_EQ(CommandFirstByte("label:"), -1);
  EXPECT_EQ(CommandFirstByte(" bump"), -1);
}

}  // namespace
