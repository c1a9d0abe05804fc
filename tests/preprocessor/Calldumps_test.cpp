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

// The file is created at the first call, so that a dump that cannot be created ends the run
// there; its text is the last call's, put in place when the pass ends.
TEST_F(CallDumpsTest, TableDumpIsCreatedAtTheFirstCallAndFilledAtFlush) {
  WriteFile(directory_.Path() / "sa.txt", "old\r\n");
  dumps_.TableCall();
  dumps_.HoldTable(0, {"first\r\n"});
  dumps_.TableCall();
  dumps_.HoldTable(2, {"call\r\n", "rest\r\n"});
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

TEST_F(CallDumpsTest, HeldTableDumpKeepsRowsThatAreAboutToChange) {
  dumps_.TableCall();
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

// A source or include file that is a dump reads what the run left there, whether the dump was
// put in place before or is only held; and the dump's file is created again at the next call,
// where the run's files refuse it as an input.
TEST_F(CallDumpsTest, ReadingADumpBackPutsItInPlaceFirstAndMakesItDueAgain) {
  WriteFile(directory_.Path() / "sa.txt", "old\r\n");
  dumps_.TableCall();
  dumps_.HoldTable(0, {"first\r\n"});
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
  dumps_.HoldTable(0, {"first\r\n"});
  dumps_.Flush();
  dumps_.TableCall();
  dumps_.HoldTable(0, {"held\r\n"});
  std::string bytes;
  ASSERT_TRUE(dumps_.ReadInput("x.inc", bytes));
  EXPECT_EQ(bytes, "x\n");
  EXPECT_FALSE(dumps_.ReadInput("absent.inc", bytes));
  EXPECT_EQ(File("sa.txt"), "first\r\n");
  EXPECT_FALSE(Exists("MacrosBody.txt"));
  EXPECT_EQ(job_.Files.InputNames(), std::vector<std::string>{"x.inc"});
}

}  // namespace
