#include <gtest/gtest.h>

#include "passes/Passtestsupport.h"

namespace {

// A row as command recognition leaves it; the line is the row index.
struct RecognizedRow {
  std::string Labels;
  std::string Command = "nop";
  std::string Operand1 = "";
  std::string Operand2 = "";
};

void AddRecognized(TMq71R04CompilerObject& job, const std::vector<RecognizedRow>& rows) {
  for (const RecognizedRow& row : rows) {
    job.WorkTable->AddRow("f.asm", std::to_string(job.WorkTable->RowCount()), "text", row.Operand1,
                          row.Operand2, row.Command, row.Labels, "opcode");
  }
}

// `count` rows of nop without labels.
void AddFiller(TMq71R04CompilerObject& job, int count) {
  for (int i = 0; i < count; ++i) AddRecognized(job, {{""}});
}

std::string Operand1(const TMq71R04CompilerObject& job, int row) {
  return std::string(job.WorkTable->Cell(row, ColOperand1));
}
std::string Operand2(const TMq71R04CompilerObject& job, int row) {
  return std::string(job.WorkTable->Cell(row, ColOperand2));
}

// A label with an empty name (declared by a lone ":") is named by an empty operand too, and the
// first entry that names an operand decides: here the empty second operand, so the number in the
// first one stays as written.
TEST(ResolveLabels, EmptyLabelNameIsNamedByAnEmptyOperand) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{""}, {""}, {":"}, {"", "jmp", "5", ""}});
  EXPECT_EQ(job.ResolveLabels(), 0);
  EXPECT_EQ(Operand1(job, 3), "5");
  EXPECT_EQ(Operand2(job, 3), "0000000010");
}

TEST(ResolveLabels, EmptyOperandNamesNoLabelWithoutAnEmptyName) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{""}, {""}, {"a:"}, {"", "jmp", "5", ""}});
  EXPECT_EQ(job.ResolveLabels(), 0);
  EXPECT_EQ(Operand1(job, 3), "0000000101");
  EXPECT_EQ(Operand2(job, 3), "");
}

// --- targets -------------------------------------------------------------------------------

struct TargetCase {
  const char* name;
  RecognizedRow row;  // placed at row 9, after "loop:" on row 5
  std::string operand1;
  std::string operand2;
  std::string message;  // empty when none
};

void PrintTo(const TargetCase& c, std::ostream* os) {
  *os << c.name;
}

class ResolveTargetCase : public ::testing::TestWithParam<TargetCase> {};

TEST_P(ResolveTargetCase, RewritesTheTarget) {
  const TargetCase& c = GetParam();
  TMq71R04CompilerObject job;
  AddFiller(job, 5);
  AddRecognized(job, {{"loop:"}});
  AddFiller(job, 3);
  AddRecognized(job, {c.row});
  const int result = job.ResolveLabels();
  EXPECT_EQ(Operand1(job, 9), c.operand1);
  EXPECT_EQ(Operand2(job, 9), c.operand2);
  const std::vector<std::string> expected =
      c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message};
  EXPECT_EQ(MessageLines(job.Out.Captured()), expected);
  EXPECT_EQ(result, c.message.empty() ? 0 : 1);
}

const TargetCase kTargetCases[] = {
    {"JumpToLabel", {"", "jmp", "loop"}, "0000000101", "", ""},
    {"EveryJumpCommand", {"", "jnc", "loop"}, "0000000101", "", ""},
    {"AddressLoadToLabel", {"", "lsah", "a", "loop"}, "a", "0000000101", ""},
    {"LowAddressLoadToLabel", {"", "lral", "b1", "loop"}, "b1", "0000000101", ""},
    {"JumpToNumber", {"", "jmp", "12"}, "0000001100", "", ""},
    {"JumpToHighestAddress", {"", "jz", "0x3FF"}, "1111111111", "", ""},
    {"JumpToZero", {"", "jsr", "0"}, "0000000000", "", ""},
    {"AddressLoadToNumber", {"", "lrah", "a0", "291"}, "a0", "0100100011", ""},
    {"JumpBeyondTenBitsIsRefused",
     {"", "jmp", "1024"},
     "0",
     "",
     "[compiler error] f.asm(9): Operand must be label or address."},
    {"NegativeJumpIsRefused",
     {"", "js", "-1"},
     "0",
     "",
     "[compiler error] f.asm(9): Operand must be label or address."},
    {"AddressLoadBeyondTenBitsIsRefused",
     {"", "lsal", "#1", "0x400"},
     "#1",
     "0",
     "[compiler error] f.asm(9): Second operand must be label or address."},
    {"JumpToNowhere",
     {"", "jmp", "nowhere"},
     "0",
     "",
     "[compiler error] f.asm(9): Operand must be label or address."},
    {"AddressLoadToNowhere",
     {"", "lsal", "a", "nowhere"},
     "a",
     "0",
     "[compiler error] f.asm(9): Second operand must be label or address."},
    {"JumpWithoutOperand",
     {"", "jmp"},
     "0",
     "",
     "[compiler error] f.asm(9): Operand must be label or address."},
    {"LabelTestIsExact",
     {"", "jmp", "LOOP"},
     "0",
     "",
     "[compiler error] f.asm(9): Operand must be label or address."},
    {"LabelInFirstOperandOfAddressLoad", {"", "lsah", "loop", "x"}, "0000000101", "x", ""},
    {"LabelInSecondOperandOfJump", {"", "jmp", "x", "loop"}, "x", "0000000101", ""},
    {"MovIsNotResolved", {"", "mov", "loop", "loop"}, "loop", "loop", ""},
    {"LdrIsNotResolved", {"", "ldr", "#1", "loop"}, "#1", "loop", ""},
    {"IjmpIsNotResolved", {"", "ijmp", "loop"}, "loop", "", ""},
    {"CommandsCompareExactly", {"", "JMP", "nowhere"}, "nowhere", "", ""},
    {"JnzToLabel", {"", "jnz", "loop"}, "0000000101", "", ""},
    {"JnsToLabel", {"", "jns", "loop"}, "0000000101", "", ""},
    {"JcToLabel", {"", "jc", "loop"}, "0000000101", "", ""},
    {"LongerNameIsNotResolved", {"", "jmps", "loop"}, "loop", "", ""},
    {"ShorterNameIsNotResolved", {"", "lsa", "a", "loop"}, "a", "loop", ""},
    {"SingleLetterIsNotResolved", {"", "j", "loop"}, "loop", "", ""},
    {"FiveLettersAreNotResolved", {"", "lsahx", "a", "loop"}, "a", "loop", ""},
    {"EmptyCommandIsNotResolved", {"", "", "loop"}, "loop", "", ""},
};

INSTANTIATE_TEST_SUITE_P(ResolveLabels, ResolveTargetCase, ::testing::ValuesIn(kTargetCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ResolveLabels, EarliestEntryDecidesWhichOperandIsReplaced) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{"b:"}, {"a:"}, {"", "jmp", "a", "b"}, {"", "lsah", "a", "b"}});
  EXPECT_EQ(job.ResolveLabels(), 0);
  EXPECT_EQ(Operand1(job, 2), "a");
  EXPECT_EQ(Operand2(job, 2), "0000000000");
  EXPECT_EQ(Operand1(job, 3), "a");
  EXPECT_EQ(Operand2(job, 3), "0000000000");
}

TEST(ResolveLabels, SameEntryPrefersFirstOperand) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{"x:"}, {"", "lrah", "x", "x"}});
  EXPECT_EQ(job.ResolveLabels(), 0);
  EXPECT_EQ(Operand1(job, 1), "0000000000");
  EXPECT_EQ(Operand2(job, 1), "x");
}

TEST(ResolveLabels, AddressLookUpIgnoresCaseFirstDeclarationWins) {
  TMq71R04CompilerObject job;
  AddFiller(job, 2);
  AddRecognized(job, {{"Loop:"}, {"loop:"}, {"", "jmp", "loop"}, {"", "jmp", "Loop"}});
  EXPECT_EQ(job.ResolveLabels(), 0);  // not duplicates: names compare with case
  EXPECT_EQ(Operand1(job, 4), "0000000010");
  EXPECT_EQ(Operand1(job, 5), "0000000010");
  EXPECT_EQ(job.Out.Captured(), "");
}

TEST(ResolveLabels, EntryNameEndsAtFirstEqualsSign) {
  // An invalid label "a=b" (already reported by the label check) enters the table as
  // "a=b=0000000000": its name is "a" and its value "b=0000000000".
  TMq71R04CompilerObject job;
  AddRecognized(job, {{"a=b:"}, {"", "jmp", "a"}, {"", "jmp", "a=b"}});
  EXPECT_EQ(job.ResolveLabels(), 1);
  EXPECT_EQ(Operand1(job, 1), "b=0000000000");
  EXPECT_EQ(Operand1(job, 2), "0");
}

TEST(ResolveLabels, LabelBeyondTenBitsIsRefused) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{"", "jmp", "far"}, {"", "lsal", "#1", "far"}, {"", "jmp", "near"}});
  AddRecognized(job, {{"near:"}});
  AddFiller(job, 1020);
  AddRecognized(job, {{"far:"}});  // row 1024
  EXPECT_EQ(job.ResolveLabels(), 1);
  EXPECT_EQ(MessageLines(job.Out.Captured()),
            (std::vector<std::string>{
                "[compiler error] f.asm(0): Address of label \"far\" is out of range 0...0x3ff.",
                "[compiler error] f.asm(1): Address of label \"far\" is out of range 0...0x3ff.",
            }));
  EXPECT_EQ(Operand1(job, 0), "0");
  EXPECT_EQ(Operand2(job, 1), "0");
  EXPECT_EQ(Operand1(job, 2), "0000000011");
}

TEST(ResolveLabels, RangeCheckUsesTheEntryFoundIgnoringCase) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{"", "jmp", "FAR"}, {"far:"}});
  AddFiller(job, 1100);
  AddRecognized(job, {{"FAR:"}});  // row 1102; the jump resolves to "far" at row 1
  EXPECT_EQ(job.ResolveLabels(), 0);
  EXPECT_EQ(Operand1(job, 0), "0000000001");
}

// --- multiple declarations -----------------------------------------------------------------

TEST(ResolveLabels, LaterDeclarationsAreReportedAndRemoved) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{""}, {"dup:"}, {""}, {""}, {""}, {"dup:"}, {""}, {""}, {""}, {"x:dup:y:"}});
  EXPECT_EQ(job.ResolveLabels(), 1);
  EXPECT_EQ(MessageLines(job.Out.Captured()),
            (std::vector<std::string>{
                "[compiler error] f.asm(5) Multiple declaration for label \"dup\"",
                "[compiler error] f.asm(9) Multiple declaration for label \"dup\"",
            }));
  EXPECT_EQ(job.WorkTable->Cell(1, ColLabels), "dup:");
  EXPECT_EQ(job.WorkTable->Cell(5, ColLabels), "");
  EXPECT_EQ(job.WorkTable->Cell(9, ColLabels), "x:y:");
}

TEST(ResolveLabels, MessagesFollowTableEntriesThenRows) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{"a:b:"}, {"b:a:"}, {"a:"}});
  EXPECT_EQ(job.ResolveLabels(), 1);
  EXPECT_EQ(MessageLines(job.Out.Captured()),
            (std::vector<std::string>{
                "[compiler error] f.asm(1) Multiple declaration for label \"a\"",
                "[compiler error] f.asm(2) Multiple declaration for label \"a\"",
                "[compiler error] f.asm(1) Multiple declaration for label \"b\"",
            }));
  EXPECT_EQ(ColumnOf(*job.WorkTable, ColLabels), (std::vector<std::string>{"a:b:", "", ""}));
}

TEST(ResolveLabels, TwiceInOneLaterRowIsReportedTwice) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{"n:"}, {"n:x:n:"}});
  EXPECT_EQ(job.ResolveLabels(), 1);
  EXPECT_EQ(MessageLines(job.Out.Captured()),
            (std::vector<std::string>{
                "[compiler error] f.asm(1) Multiple declaration for label \"n\"",
                "[compiler error] f.asm(1) Multiple declaration for label \"n\"",
            }));
  EXPECT_EQ(job.WorkTable->Cell(1, ColLabels), "x:");
}

TEST(ResolveLabels, TwiceInTheFirstRowIsNotReported) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{"n:n:"}, {"", "jmp", "n"}});
  EXPECT_EQ(job.ResolveLabels(), 0);
  EXPECT_EQ(job.WorkTable->Cell(0, ColLabels), "n:n:");
  EXPECT_EQ(Operand1(job, 1), "0000000000");
}

TEST(ResolveLabels, DuplicateStillResolvesToFirstDeclaration) {
  TMq71R04CompilerObject job;
  AddRecognized(job, {{""}, {"d:"}, {"d:"}, {"", "jmp", "d"}});
  EXPECT_EQ(job.ResolveLabels(), 1);
  EXPECT_EQ(Operand1(job, 3), "0000000001");
}

// --- checksum label and malfunction handler --------------------------------------------------

TEST(ResolveLabels, ChecksumLabelAddressesTheWordAfterTheProgram) {
  TMq71R04CompilerObject job;
  job.ChecksumLabel = "sum";
  AddRecognized(job, {{"", "lsah", "#1", "sum"}, {"", "lsal", "#1", "sum"}, {""}});
  EXPECT_EQ(job.ResolveLabels(), 0);
  EXPECT_EQ(Operand2(job, 0), "0000000011");
  EXPECT_EQ(Operand2(job, 1), "0000000011");
}

TEST(ResolveLabels, ChecksumLabelMustNotBeUserLabel) {
  TMq71R04CompilerObject job;
  job.ChecksumLabel = "SUM";
  AddRecognized(job, {{"sum:"}, {"", "jmp", "SUM"}});
  EXPECT_EQ(job.ResolveLabels(), 1);
  EXPECT_EQ(MessageLines(job.Out.Captured()),
            (std::vector<std::string>{
                "[compiler error] : SheckSumLabel is overlapped user label.",
                "[compiler error] f.asm(1): Operand must be label or address.",
            }));
}

TEST(ResolveLabels, ChecksumLabelBeyondTenBitsIsRefusedWhereUsed) {
  TMq71R04CompilerObject job;
  job.ChecksumLabel = "sum";
  AddRecognized(job, {{"", "lsah", "#1", "sum"}});
  AddFiller(job, 1023);
  EXPECT_EQ(job.ResolveLabels(), 1);
  EXPECT_EQ(job.Out.Captured(),
            "[compiler error] f.asm(0): Address of label \"sum\" is out of range 0...0x3ff.\r\n");
}

TEST(ResolveLabels, MalfunctionHandlerAddressIsHandedOn) {
  TMq71R04CompilerObject job;
  job.MalfunctionHandler = "Panic";
  AddFiller(job, 3);
  AddRecognized(job, {{"panic:"}});
  EXPECT_EQ(job.ResolveLabels(), 0);
  EXPECT_EQ(job.MalfunctionHandlerAddress, "0000000011");
  EXPECT_EQ(job.Out.Captured(), "");
}

TEST(ResolveLabels, MissingMalfunctionHandlerIsOnlyAWarning) {
  TMq71R04CompilerObject job;
  job.MalfunctionHandler = "panic";
  AddRecognized(job, {{"main:"}});
  EXPECT_EQ(job.ResolveLabels(), 0);
  EXPECT_EQ(job.MalfunctionHandlerAddress, "");
  EXPECT_EQ(job.Out.Captured(), "[compiler warning] : MalfunctionHandler is not defined.\r\n");
}

TEST(ResolveLabels, ChecksumLabelCountsAsMalfunctionHandler) {
  TMq71R04CompilerObject job;
  job.ChecksumLabel = "sum";
  job.MalfunctionHandler = "SUM";
  AddFiller(job, 2);
  EXPECT_EQ(job.ResolveLabels(), 0);
  EXPECT_EQ(job.MalfunctionHandlerAddress, "0000000010");
}

TEST(ResolveLabels, MalfunctionHandlerBeyondTenBitsIsRefused) {
  TMq71R04CompilerObject job;
  job.MalfunctionHandler = "panic";
  AddFiller(job, 1025);
  AddRecognized(job, {{"panic:"}});
  EXPECT_EQ(job.ResolveLabels(), 1);
  EXPECT_EQ(job.MalfunctionHandlerAddress, "");
  EXPECT_EQ(job.Out.Captured(),
            "[compiler error] : MalfunctionHandler address is out of range 0...0x3ff.\r\n");
}

TEST(ResolveLabels, EveryStageRunsAfterEarlierFaults) {
  TMq71R04CompilerObject job;
  job.ChecksumLabel = "a";
  job.MalfunctionHandler = "none";
  AddRecognized(job, {{"a:"}, {"a:"}, {"", "jmp", "?"}});
  EXPECT_EQ(job.ResolveLabels(), 1);
  EXPECT_EQ(MessageLines(job.Out.Captured()),
            (std::vector<std::string>{
                "[compiler error] f.asm(1) Multiple declaration for label \"a\"",
                "[compiler error] : SheckSumLabel is overlapped user label.",
                "[compiler warning] : MalfunctionHandler is not defined.",
                "[compiler error] f.asm(2): Operand must be label or address.",
            }));
}

}  // namespace
