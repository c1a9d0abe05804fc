#include <gtest/gtest.h>

#include "passes/Passtestsupport.h"

namespace {

struct Case {
  const char* name;
  std::string text;
  std::string labels;     // ColLabels afterwards
  std::string statement;  // ColText afterwards
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class LabelSplitCase : public ::testing::TestWithParam<Case> {};

TEST_P(LabelSplitCase, MovesLabelsIntoTheirColumn) {
  const Case& c = GetParam();
  TMq71R04CompilerObject job;
  AddTexts(job, {c.text});
  job.RecognizeCommands();
  EXPECT_EQ(job.WorkTable->Cell(0, ColLabels), c.labels);
  EXPECT_EQ(job.WorkTable->Cell(0, ColText), c.statement);
}

const Case kCases[] = {
    {"TwoLabels", "lab1: lab2: mov a, b", "lab1:lab2:", "mov a, b"},
    {"DataRow", "tbl:DATA_BYTE_ALLOCATION", "tbl:", "DATA_BYTE_ALLOCATION"},
    {"SpacesInsideLabelAreRemoved", "my label: nop", "mylabel:", "nop"},
    {"TabsInsideLabelStay", "my\tlabel : nop", "my\tlabel:", "nop"},
    {"NoLabel", "  mov a, b ", "", "mov a, b"},
    {"LastColonCounts", "mov a, b:c", "mova,b:", "c"},
    {"LabelOnly", "end:", "end:", ""},
    {"EmptyText", "", "", ""},
    {"ControlCharactersTrimmed", "\x01nop\x1f", "", "nop"},
    {"OnlyBlanks", " \t ", "", ""},
    {"NulInsideStays", std::string("mo\0v a", 6), "", std::string("mo\0v a", 6)},
    // A row longer than a row's inline room.
    {"LongRow",
     "a label of many words " + std::string(70, 'x') + " : mov a1, " + std::string(40, 'y'),
     "alabelofmanywords" + std::string(70, 'x') + ":", "mov a1, " + std::string(40, 'y')},
};

INSTANTIATE_TEST_SUITE_P(RecognizeCommands, LabelSplitCase, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecognizeCommands, FillsCommandOperandsAndOpcode) {
  TMq71R04CompilerObject job;
  AddTexts(job, {"loop: addl a1, 3", "nop"});
  EXPECT_EQ(job.RecognizeCommands(), 0);
  EXPECT_EQ(job.WorkTable->Rows()[0], (TWorkTableObject::Row{"f.asm", "0", "addl a1, 3", "a1", "3",
                                                             "addl", "loop:", "001100"}));
  EXPECT_EQ(job.WorkTable->Cell(1, ColCode), "0000000000000000");
  EXPECT_EQ(job.Out.Captured(), "");
}

TEST(RecognizeCommands, EveryFaultyRowIsReportedAndTheRestRecognised) {
  TMq71R04CompilerObject job;
  AddTexts(job, {"MOV a, b", "nop", "mov a, b, c", "jmp x"});
  EXPECT_EQ(job.RecognizeCommands(), 1);
  EXPECT_EQ(MessageLines(job.Out.Captured()),
            (std::vector<std::string>{
                "[compiler error]f.asm(0): Unknown assembler command \"MOV\".",
                "[compiler error] f.asm(2): Invalid operand(s) count.",
            }));
  EXPECT_EQ(ColumnOf(*job.WorkTable, ColCommand),
            (std::vector<std::string>{"MOV", "nop", "mov", "jmp"}));
  EXPECT_EQ(job.WorkTable->Cell(3, ColOperand1), "x");
}

TEST(RecognizeCommands, LabelOnlyRowIsAcceptedSilently) {
  TMq71R04CompilerObject job;
  AddTexts(job, {"end:"});
  EXPECT_EQ(job.RecognizeCommands(), 0);
  EXPECT_EQ(job.Out.Captured(), "");
}

}  // namespace
