#include "preprocessor/Calldumps.h"

#include <gtest/gtest.h>

#include "driver/Compilerobject.h"
#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace {

// A held dump put together from rows of the table and texts, in order.
struct Part {
  size_t first = 0;
  size_t count = 0;
  std::string text;
};
Part Rows(size_t first, size_t count) {
  return {first, count, {}};
}
Part Text(std::string text) {
  return {0, 0, std::move(text)};
}
HeldDump Held(const std::vector<Part>& parts) {
  HeldDump dump;
  for (const Part& part : parts) {
    if (part.count > 0) {
      dump.Pieces.push_back(DumpPiece::Rows(part.first, part.count));
    } else {
      dump.Pieces.push_back(DumpPiece::Text(dump.Text.size(), part.text.size()));
      dump.Text += part.text;
    }
  }
  return dump;
}

class CallDumpsTest : public ::testing::Test {
 protected:
  CallDumpsTest() : scope_(directory_.Path()) {
    for (const char* text : {"nop", "rts", "halt"}) {
      job_.WorkTable->AddRow("m.asm", "1", text, "$", "$", "$", "$", "$");
    }
  }
  std::string File(const std::string& name) const { return ReadFile(directory_.Path() / name); }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(directory_.Path() / name);
  }

  TemporaryDirectory directory_;
  CurrentDirectoryScope scope_;
  TMq71R04CompilerObject job_;
  CallDumps dumps_{job_};
};

// The file is created at the first call, so that a dump that cannot be created ends the run
// there; its text is the last call's, put in place when the pass ends.
TEST_F(CallDumpsTest, TableDumpIsCreatedAtTheFirstCallAndFilledAtFlush) {
  WriteFile(directory_.Path() / "sa.txt", "old\r\n");
  dumps_.TableCall();
  dumps_.HoldTable(Held({Text("first\r\n")}));
  dumps_.TableCall();
  dumps_.HoldTable(Held({Rows(0, 2), Text("call\r\n"), Text("rest\r\n")}));
  EXPECT_EQ(File("sa.txt"), "old\r\n");
  dumps_.Flush();
  EXPECT_EQ(File("sa.txt"), "m.asm 1 nop $ $ $ $ $\r\nm.asm 1 rts $ $ $ $ $\r\ncall\r\nrest\r\n");
  dumps_.Flush();  // nothing held any more
  EXPECT_EQ(File("sa.txt"), "m.asm 1 nop $ $ $ $ $\r\nm.asm 1 rts $ $ $ $ $\r\ncall\r\nrest\r\n");
}

TEST_F(CallDumpsTest, ADumpThatCannotBeCreatedFailsAtItsFirstCall) {
  std::filesystem::create_directory(directory_.Path() / "sa.txt");
  EXPECT_THROW(dumps_.TableCall(), TranslatorError);
  std::filesystem::create_directory(directory_.Path() / "MacrosBody.txt");
  EXPECT_THROW(dumps_.Body("body\r\n"), TranslatorError);
}

// Rows named by the dump are copied before they change, however the pieces fall, and the dump
// shows them as they were when it was held.
TEST_F(CallDumpsTest, HeldTableDumpKeepsRowsThatAreAboutToChange) {
  const std::string texts[] = {"nop", "rts", "halt"};
  const std::string lines[] = {"m.asm 1 nop $ $ $ $ $\r\n", "m.asm 1 rts $ $ $ $ $\r\n",
                               "m.asm 1 halt $ $ $ $ $\r\n"};
  struct Case {
    std::vector<Part> parts;
    std::string expected;
  };
  const Case cases[] = {
      {{Rows(0, 3), Text("tail\r\n")}, lines[0] + lines[1] + lines[2] + "tail\r\n"},
      {{Rows(0, 1), Text("call\r\n"), Rows(1, 1), Text("read\r\n"), Rows(2, 1)},
       lines[0] + "call\r\n" + lines[1] + "read\r\n" + lines[2]},
      {{Text("call\r\n"), Rows(1, 2)}, "call\r\n" + lines[1] + lines[2]},
  };
  for (const Case& c : cases) {
    for (int row = 0; row < 3; ++row) job_.WorkTable->SetItem(row, ColText, texts[row]);
    dumps_.TableCall();
    dumps_.HoldTable(Held(c.parts));
    for (int row : {3, 2, 2, 1, 0}) {
      dumps_.DetachTableFrom(static_cast<size_t>(row));
      for (int changed = row; changed < 3; ++changed) {
        job_.WorkTable->SetItem(changed, ColText, "changed");
      }
    }
    dumps_.Flush();
    EXPECT_EQ(File("sa.txt"), c.expected);
  }
}

// Long rows and texts pass the bounded block by; short ones are gathered in it, in order.
TEST_F(CallDumpsTest, DumpsLongerThanTheWriteBlockKeepTheirOrder) {
  const std::string longText(70000, 'x');
  job_.WorkTable->SetItem(1, ColText, longText);
  std::string expected;
  for (int round = 0; round < 40; ++round) {
    expected += "m.asm 1 nop $ $ $ $ $\r\nm.asm 1 " + longText + " $ $ $ $ $\r\n" + longText;
  }
  std::vector<Part> parts;
  for (int round = 0; round < 40; ++round) {
    parts.push_back(Rows(0, 2));
    parts.push_back(Text(longText));
  }
  dumps_.TableCall();
  dumps_.HoldTable(Held(parts));
  dumps_.Flush();
  EXPECT_EQ(File("sa.txt"), expected);
}

// A source or include file that is a dump reads what the run left there, whether the dump was
// put in place before or is only held; and the dump's file is created again at the next call,
// where the run's files refuse it as an input.
TEST_F(CallDumpsTest, ReadingADumpBackPutsItInPlaceFirstAndMakesItDueAgain) {
  WriteFile(directory_.Path() / "sa.txt", "old\r\n");
  dumps_.TableCall();
  dumps_.HoldTable(Held({Text("first\r\n")}));
  std::string bytes;
  ASSERT_TRUE(dumps_.ReadInput("./sa.txt", bytes));
  EXPECT_EQ(bytes, "first\r\n");
  EXPECT_THROW(dumps_.TableCall(), TranslatorError);

  dumps_.Body("body\r\n");
  std::filesystem::create_symlink(directory_.Path() / "MacrosBody.txt",
                                  directory_.Path() / "link.inc");
  ASSERT_TRUE(dumps_.ReadInput("link.inc", bytes));  // led nowhere until the dump was put
  EXPECT_EQ(bytes, "body\r\n");
  try {
    dumps_.Body("again\r\n");
    ADD_FAILURE() << "a dump read as an input was replaced";
  } catch (const TranslatorError& error) {
    EXPECT_STREQ(error.what(), "Cannot create file MacrosBody.txt: it is an input of this run");
  }
}

TEST_F(CallDumpsTest, ReadingAnyOtherFileLeavesTheDumpsHeld) {
  WriteFile(directory_.Path() / "x.inc", "x\n");
  dumps_.TableCall();
  dumps_.HoldTable(Held({Text("first\r\n")}));
  dumps_.Flush();
  dumps_.TableCall();
  dumps_.HoldTable(Held({Text("held\r\n")}));
  std::string bytes;
  ASSERT_TRUE(dumps_.ReadInput("x.inc", bytes));
  EXPECT_EQ(bytes, "x\n");
  EXPECT_FALSE(dumps_.ReadInput("absent.inc", bytes));
  EXPECT_EQ(File("sa.txt"), "first\r\n");
  EXPECT_FALSE(Exists("MacrosBody.txt"));
  EXPECT_EQ(job_.Files.InputNames(), std::vector<std::string>{"x.inc"});
}

}  // namespace
