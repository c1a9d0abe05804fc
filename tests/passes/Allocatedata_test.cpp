#include <gtest/gtest.h>

#include "passes/Passtestsupport.h"

namespace {

using Row = TWorkTableObject::Row;

Row Code(const std::string& line, const std::string& text) {
  return {"f.asm", line, text, "$", "$", "$", "$", "$"};
}
Row Data(const std::string& line, const std::string& text, const std::string& first,
         const std::string& second) {
  return {"f.asm", line, text, first, second, "", "", ""};
}

struct Case {
  const char* name;
  std::vector<std::string> texts;  // f.asm, lines from 0
  std::vector<Row> expected;
  std::vector<std::string> messages;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class AllocateDataCase : public ::testing::TestWithParam<Case> {};

TEST_P(AllocateDataCase, GivesRowsAndMessages) {
  const Case& c = GetParam();
  TMq71R04CompilerObject job;
  AddTexts(job, c.texts);
  EXPECT_EQ(job.AllocateData(), 0);  // never fails: bad rows fail later
  EXPECT_EQ(job.WorkTable->Rows(), c.expected);
  EXPECT_EQ(MessageLines(job.Out.Captured()), c.messages);
}

const Case kCases[] = {
    {"BytesGoBehindCodeInPairs",
     {"nop", "tbl: .byte 1, 2, 3", "rts"},
     {Code("0", "nop"), Code("2", "rts"), Data("1", "tbl:DATA_BYTE_ALLOCATION", "1", "2"),
      Data("1", "DATA_BYTE_ALLOCATION", "3", "0x00")},
     {}},
    {"WordsOnePerRow",
     {"tbl: .word 10, 20"},
     {Data("0", "tbl:DATA_WORD_ALLOCATION", "10", ""), Data("0", "DATA_WORD_ALLOCATION", "20", "")},
     {}},
    {"DirectivesKeepSourceOrderBehindAllCode",
     {"a: .word 1", "nop", "b: .byte 2, 3", "rts", "c: .word 4"},
     {Code("1", "nop"), Code("3", "rts"), Data("0", "a:DATA_WORD_ALLOCATION", "1", ""),
      Data("2", "b:DATA_BYTE_ALLOCATION", "2", "3"), Data("4", "c:DATA_WORD_ALLOCATION", "4", "")},
     {}},
    {"UnlabelledDataIsWarnedAbout",
     {".byte 7"},
     {Data("0", "DATA_BYTE_ALLOCATION", "7", "0x00")},
     {"[compiler warning] f.asm(0): Data segment is not acssesble."}},
    {"MalformedListStaysInPlace",
     {"nop", "t: .byte 1,,2", "rts"},
     {Code("0", "nop"), Code("1", "t: .byte 1,,2"), Code("2", "rts")},
     {"[preprocessor error]f.asm(1): Invalid data segment argument list \"1,,2\"."}},
    {"TrailingCommaIsMalformed",
     {".word 1,"},
     {Code("0", ".word 1,")},
     {"[preprocessor error]f.asm(0): Invalid data segment argument list \"1,\"."}},
    {"BareKeywordAndCapitalsAreNoDirectives",
     {".byte", ".BYTE 1", ".bytes 1", " .word 1"},
     {Code("0", ".byte"), Code("1", ".BYTE 1"), Code("2", ".bytes 1"), Code("3", " .word 1")},
     {}},
    {"TabAfterKeyword", {"w: .word\t5"}, {Data("0", "w:DATA_WORD_ALLOCATION", "5", "")}, {}},
    {"LabelPiecesAreTrimmedAtTheirEndsOnly",
     {" a: b : .word 1"},
     {Data("0", "a:b :DATA_WORD_ALLOCATION", "1", "")},
     {}},
    {"ByteAnywhereMakesBytes",
     {"t: .word 1,.byte"},
     {Data("0", "t:DATA_BYTE_ALLOCATION", "1", ".byte")},
     {}},
    {"ValuesAreKeptAsWritten",
     {"t: .byte 0x41, 'x'"},
     {Data("0", "t:DATA_BYTE_ALLOCATION", "0x41", "'x'")},
     {}},
    {"EvenByteCountNeedsNoPadding",
     {"t: .byte 1, 2, 3, 4"},
     {Data("0", "t:DATA_BYTE_ALLOCATION", "1", "2"), Data("0", "DATA_BYTE_ALLOCATION", "3", "4")},
     {}},
    {"EmptyTable", {}, {}, {}},
};

INSTANTIATE_TEST_SUITE_P(AllocateData, AllocateDataCase, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AllocateData, DataRowsCarryTheDirectivesFile) {
  TMq71R04CompilerObject job;
  AddSourceRows(job, {{"tables.inc", "12", "t: .word 1"}, {"main.asm", "3", "nop"}});
  job.AllocateData();
  ASSERT_EQ(job.WorkTable->RowCount(), 2);
  EXPECT_EQ(job.WorkTable->Cell(1, ColFile), "tables.inc");
  EXPECT_EQ(job.WorkTable->Cell(1, ColLine), "12");
}

TEST(AllocateData, EveryDataRowOfADirectiveCarriesItsFileAndLine) {
  TMq71R04CompilerObject job;
  AddSourceRows(job, {{"tables.inc", "12", "t: .word 1, 2, 3"},
                      {"main.asm", "3", "nop"},
                      {"other.inc", "7", ".byte 4, 5, 6"},
                      {"main.asm", "4", "rts"}});
  job.AllocateData();
  const std::vector<std::string> files = ColumnOf(*job.WorkTable, ColFile);
  const std::vector<std::string> lines = ColumnOf(*job.WorkTable, ColLine);
  EXPECT_EQ(files, (std::vector<std::string>{"main.asm", "main.asm", "tables.inc", "tables.inc",
                                             "tables.inc", "other.inc", "other.inc"}));
  EXPECT_EQ(lines, (std::vector<std::string>{"3", "4", "12", "12", "12", "7", "7"}));
  EXPECT_EQ(
      MessageLines(job.Out.Captured()),
      std::vector<std::string>{"[compiler warning] other.inc(7): Data segment is not acssesble."});
}

TEST(AllocateData, ManyDirectivesKeepTheirOrder) {
  TMq71R04CompilerObject job;
  for (int i = 0; i < 50000; ++i) {
    job.WorkTable->AddRow("f", std::to_string(2 * i), "nop", "$", "$", "$", "$", "$");
    std::string text = std::string("d").append(std::to_string(i));
    text.append(": .word ").append(std::to_string(i));
    job.WorkTable->AddRow("f", std::to_string(2 * i + 1), text, "$", "$", "$", "$", "$");
  }
  job.AllocateData();
  ASSERT_EQ(job.WorkTable->RowCount(), 100000);
  EXPECT_EQ(job.WorkTable->Cell(49999, ColText), "nop");
  EXPECT_EQ(job.WorkTable->Cell(50000, ColText), "d0:DATA_WORD_ALLOCATION");
  EXPECT_EQ(job.WorkTable->Cell(99999, ColOperand1), "49999");
}

}  // namespace
