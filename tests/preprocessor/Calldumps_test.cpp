#include "preprocessor/Calldumps.h"

#include <gtest/gtest.h>

#include "driver/Compilerobject.h"
#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace {

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

TEST_F(CallDumpsTest, FirstTableDumpIsWrittenAtOnceLaterOnesAreHeldUntilFlush) {
  ASSERT_TRUE(dumps_.TableDue());
  dumps_.WriteTable("first\r\n");
  EXPECT_EQ(File("sa.txt"), "first\r\n");
  EXPECT_FALSE(dumps_.TableDue());
  dumps_.HoldTable(2, {"call\r\n", "rest\r\n"});
  EXPECT_EQ(File("sa.txt"), "first\r\n");
  dumps_.Flush();
  EXPECT_EQ(File("sa.txt"), "m.asm 1 nop $ $ $ $ $\r\nm.asm 1 rts $ $ $ $ $\r\ncall\r\nrest\r\n");
  dumps_.Flush();  // nothing held any more
  EXPECT_EQ(File("sa.txt"), "m.asm 1 nop $ $ $ $ $\r\nm.asm 1 rts $ $ $ $ $\r\ncall\r\nrest\r\n");
}

TEST_F(CallDumpsTest, HeldTableDumpKeepsRowsThatAreAboutToChange) {
  dumps_.WriteTable("");
  dumps_.HoldTable(3, {"tail\r\n"});
  dumps_.DetachTableFrom(3);  // no shared row changes
  dumps_.DetachTableFrom(1);
  job_.WorkTable->SetItem(1, ColText, "changed");
  job_.WorkTable->SetItem(2, ColText, "changed");
  dumps_.DetachTableFrom(0);
  job_.WorkTable->SetItem(0, ColText, "changed");
  dumps_.Flush();
  EXPECT_EQ(File("sa.txt"),
            "m.asm 1 nop $ $ $ $ $\r\nm.asm 1 rts $ $ $ $ $\r\nm.asm 1 halt $ $ $ $ $\r\ntail\r\n");
}

TEST_F(CallDumpsTest, BodyDumpIsWrittenAtOnceFirstThenHeld) {
  dumps_.Body("one\r\n");
  EXPECT_EQ(File("MacrosBody.txt"), "one\r\n");
  dumps_.Body("two\r\n");
  dumps_.Body("");
  EXPECT_EQ(File("MacrosBody.txt"), "one\r\n");
  dumps_.Flush();
  EXPECT_EQ(File("MacrosBody.txt"), "");
}

// A source or include file that is a dump reads what the run left there, and the dump must be
// written at once again at the next call, where the run's files refuse it as an input.
TEST_F(CallDumpsTest, ReadingADumpBackWritesItFirstAndMakesItDueAgain) {
  dumps_.WriteTable("first\r\n");
  dumps_.HoldTable(0, {"held\r\n"});
  dumps_.Body("body\r\n");
  dumps_.Body("held body\r\n");
  std::string bytes;
  ASSERT_TRUE(dumps_.ReadInput("./sa.txt", bytes));
  EXPECT_EQ(bytes, "held\r\n");
  EXPECT_TRUE(dumps_.TableDue());
  EXPECT_EQ(File("MacrosBody.txt"), "body\r\n");  // a dump not read stays held
  try {
    dumps_.WriteTable("again\r\n");
    ADD_FAILURE() << "a dump read as an input was replaced";
  } catch (const TranslatorError& error) {
    EXPECT_STREQ(error.what(), "Cannot create file sa.txt: it is an input of this run");
  }
  std::filesystem::create_symlink(directory_.Path() / "MacrosBody.txt",
                                  directory_.Path() / "link.inc");
  ASSERT_TRUE(dumps_.ReadInput("link.inc", bytes));
  EXPECT_EQ(bytes, "held body\r\n");
}

TEST_F(CallDumpsTest, ReadingAnyOtherFileLeavesTheDumpsHeld) {
  WriteFile(directory_.Path() / "x.inc", "x\n");
  dumps_.WriteTable("first\r\n");
  dumps_.HoldTable(0, {"held\r\n"});
  std::string bytes;
  ASSERT_TRUE(dumps_.ReadInput("x.inc", bytes));
  EXPECT_EQ(bytes, "x\n");
  EXPECT_FALSE(dumps_.ReadInput("absent.inc", bytes));
  EXPECT_EQ(File("sa.txt"), "first\r\n");
  EXPECT_FALSE(dumps_.TableDue());
  EXPECT_FALSE(Exists("MacrosBody.txt"));
}

}  // namespace
