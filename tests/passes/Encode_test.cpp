#include <gtest/gtest.h>

#include "passes/Passtestsupport.h"

namespace {

// The trace printed before a row is translated: back, blank and back again over ten columns more
// than the trace text, then the text itself.
std::string Trace(const std::string& file, const std::string& line) {
  const std::string text = "[translate line] " + file + "(" + line + ")";
  const size_t n = text.size() + 10;
  return std::string(n, '\b') + std::string(n, ' ') + std::string(n, '\b') + text;
}

void AddRow(TMq71R04CompilerObject& job, const std::string& file, const std::string& line,
            const std::string& command, const std::string& operand1, const std::string& operand2,
            const std::string& code) {
  job.WorkTable->AddRow(file, line, command, operand1, operand2, command, "", code);
}

TEST(Encode, EmptyTablePrintsOpeningAndClosingLines) {
  TMq71R04CompilerObject job;
  EXPECT_EQ(job.Encode(), 0);
  EXPECT_EQ(job.Out.Captured(), "Begin translated.\r\n\r\nEnd translated ( total line 0).\r\n");
}

TEST(Encode, TraceRunsAreTenLongerThanTheText) {
  TMq71R04CompilerObject job;
  AddRow(job, "", "5", "nop", "", "", "0000000000000000");
  EXPECT_EQ(job.Encode(), 0);
  const std::string expected = "Begin translated.\r\n" + std::string(30, '\b') +
                               std::string(30, ' ') + std::string(30, '\b') +
                               "[translate line] (5)" + "\r\nEnd translated ( total line 1).\r\n";
  EXPECT_EQ(job.Out.Captured(), expected);
}

TEST(Encode, EveryRowIsEncodedAfterAFailure) {
  TMq71R04CompilerObject job;
  AddRow(job, "m.asm", "0", "nop", "", "", "0000000000000000");
  AddRow(job, "m.asm", "1", "mov", "a1", "x9", "000001");
  AddRow(job, "lib.inc", "12", "addl", "a1", "3", "001100");
  EXPECT_EQ(job.Encode(), 1);
  EXPECT_EQ(job.Out.Captured(),
            "Begin translated.\r\n" + Trace("m.asm", "0") + Trace("m.asm", "1") +
                "[compiler error] m.asm(1): Syntax error. Wrong register name.\r\n" +
                Trace("lib.inc", "12") + "\r\nEnd translated ( total line 3).\r\n");
  EXPECT_EQ(ColumnOf(*job.WorkTable, ColCode),
            (std::vector<std::string>{"0000000000000000b", "000001", "0011000001100001b"}));
}

TEST(Encode, DataFaultOfOneDirectiveIsPrintedOnce) {
  TMq71R04CompilerObject job;
  AddRow(job, "m.asm", "4", "DATA_WORD_ALLOCATION", "x", "", "");
  AddRow(job, "m.asm", "4", "DATA_WORD_ALLOCATION", "y", "", "");
  EXPECT_EQ(job.Encode(), 1);
  EXPECT_EQ(job.Out.Captured(),
            "Begin translated.\r\n" + Trace("m.asm", "4") +
                "[compiler error] m.asm(4): Wrong value of operand. Value must be numeric.\r\n" +
                Trace("m.asm", "4") + "\r\nEnd translated ( total line 2).\r\n");
}

// The trace of each row is its own, whatever the rows before it: line numbers that grow by a digit,
// files that change while the width stays, and a file that comes back.
TEST(Encode, EachTraceIsThatOfItsOwnRow) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"m.asm", "8"},  {"m.asm", "9"},    {"m.asm", "10"}, {"m.asm", "11"}, {"n.asm", "11"},
      {"mm.asm", "1"}, {"m.asm", "100"},  {"m.asm", "7"},  {"", "7"},       {"m.asm", ""},
      {"m.asm", "12"}, {"lib.inc", "12"}, {"m.asm", "12"},
  };
  TMq71R04CompilerObject job;
  std::string expected = "Begin translated.\r\n";
  for (const auto& [file, line] : rows) {
    AddRow(job, file, line, "nop", "", "", "0000000000000000");
    expected += Trace(file, line);
  }
  expected += "\r\nEnd translated ( total line 13).\r\n";
  EXPECT_EQ(job.Encode(), 0);
  EXPECT_EQ(job.Out.Captured(), expected);
}

}  // namespace
