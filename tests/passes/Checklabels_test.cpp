#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "passes/Passtestsupport.h"
#include "support/Textutils.h"

namespace {

struct Expected {
  std::string File;
  std::string Line;
  std::string Text;
};

struct Case {
  const char* name;
  std::vector<SourceRow> rows;
  std::vector<Expected> expected;
  std::vector<std::string> messages;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class CheckLabelsCase : public ::testing::TestWithParam<Case> {};

TEST_P(CheckLabelsCase, GivesRowsAndMessages) {
  const Case& c = GetParam();
  TMq71R04CompilerObject job;
  AddSourceRows(job, c.rows);
  const int result = job.CheckLabels();
  std::vector<Expected> actual;
  for (int r = 0; r < job.WorkTable->RowCount(); ++r) {
    actual.push_back({std::string(job.WorkTable->Cell(r, ColFile)),
                      std::string(job.WorkTable->Cell(r, ColLine)),
                      std::string(job.WorkTable->Cell(r, ColText))});
  }
  ASSERT_EQ(actual.size(), c.expected.size());
  for (size_t i = 0; i < actual.size(); ++i) {
    EXPECT_EQ(actual[i].File, c.expected[i].File) << "row " << i;
    EXPECT_EQ(actual[i].Line, c.expected[i].Line) << "row " << i;
    EXPECT_EQ(actual[i].Text, c.expected[i].Text) << "row " << i;
  }
  EXPECT_EQ(MessageLines(job.Out.Captured()), c.messages);
  EXPECT_EQ(result, c.messages.empty() ? 0 : 1);
}

const Case kCases[] = {
    {"ValidLabelPassesUnchanged",
     {{"f", "0", "start: mov a, b"}},
     {{"f", "0", "start: mov a, b"}},
     {}},
    {"DelimiterInLabelIsReported",
     {{"f", "0", "my-label: nop"}},
     {{"f", "0", "my-label: nop"}},
     {"[compiler error] f(0): Invalid label(s) \"my-label:\"."}},
    {"LabelLineJoinsNextStatement",
     {{"f", "0", "loop:"}, {"f", "1", "nop"}},
     {{"f", "1", "loop:nop"}},
     {}},
    {"DirectiveDotIsNotPartOfLabel",
     {{"f", "0", "loop:"}, {"f", "1", ".byte 1, 2"}},
     {{"f", "1", "loop:.byte 1, 2"}},
     {}},
    {"ThreeLinesCollectInFrontOfStatement",
     {{"f", "0", "a:"}, {"f", "1", "b:"}, {"f", "2", "nop"}},
     {{"f", "2", "a:b:nop"}},
     {}},
    {"LabelAloneAtEndIsReported",
     {{"f", "0", "nop"}, {"f", "7", "end:"}},
     {{"f", "0", "nop"}, {"f", "7", "end:"}},
     {"[compiler error] f(7): Label not refered to instruction."}},
    {"ColonInOperandMakesLabelPart",
     {{"f", "0", "mov a, b:c"}},
     {{"f", "0", "mov a, b:c"}},
     {"[compiler error] f(0): Invalid label(s) \"mov a, b:\"."}},
    {"EmptyRowsVanishBlankRowsStay",
     {{"f", "0", ""}, {"f", "1", "nop"}, {"f", "2", ""}, {"f", "3", "  "}, {"f", "4", ""}},
     {{"f", "1", "nop"}, {"f", "3", "  "}},
     {}},
    {"EmptyRowsBetweenLabelAndStatement",
     {{"f", "0", "a:"}, {"f", "1", ""}, {"f", "2", ""}, {"f", "3", "nop"}},
     {{"f", "3", "a:nop"}},
     {}},
    {"LabelOnlyRowBeforeTrailingEmptyRowsIsLast",
     {{"f", "0", "nop"}, {"f", "1", "a:"}, {"f", "2", ""}},
     {{"f", "0", "nop"}, {"f", "1", "a:"}},
     {"[compiler error] f(1): Label not refered to instruction."}},
    {"JoinedFaultReportedAtStatementPlace",
     {{"inc.asm", "4", "x-y:"}, {"main.asm", "9", "nop"}},
     {{"main.asm", "9", "x-y:nop"}},
     {"[compiler error] main.asm(9): Invalid label(s) \"x-y:\"."}},
    {"LabelLinesUpToTheEndAreReportedOnce",
     {{"f", "0", "a:"}, {"f", "1", "b:"}},
     {{"f", "1", "a:b:"}},
     {"[compiler error] f(1): Label not refered to instruction."}},
    {"LabelLineIsTrimmedBeforeJoining",
     {{"f", "0", "  a:  "}, {"f", "1", "nop"}},
     {{"f", "1", "a:nop"}},
     {}},
    {"LastLabelLineKeepsItsText",
     {{"f", "0", " end: "}},
     {{"f", "0", " end: "}},
     {"[compiler error] f(0): Label not refered to instruction."}},
    {"LabelLineFollowedByBlankTextJoinsAgain",
     {{"f", "0", "a:"}, {"f", "1", "   "}, {"f", "2", "nop"}},
     {{"f", "2", "a:nop"}},
     {}},
    {"LabelLineFollowedByBlankLastRow",
     {{"f", "0", "a:"}, {"f", "1", "   "}},
     {{"f", "1", "a:   "}},
     {"[compiler error] f(1): Label not refered to instruction."}},
    {"AllowedCharactersPass",
     {{"f", "0", "a%b;c^d_e\t9 x:nop"}},
     {{"f", "0", "a%b;c^d_e\t9 x:nop"}},
     {}},
    {"EveryFaultIsReportedInOrder",
     {{"f", "0", "a.b: nop"}, {"f", "1", "ok: nop"}, {"f", "2", "c@d: nop"}, {"f", "3", "e:"}},
     {{"f", "0", "a.b: nop"}, {"f", "1", "ok: nop"}, {"f", "2", "c@d: nop"}, {"f", "3", "e:"}},
     {"[compiler error] f(0): Invalid label(s) \"a.b:\".",
      "[compiler error] f(2): Invalid label(s) \"c@d:\".",
      "[compiler error] f(3): Label not refered to instruction."}},
    {"EmptyTable", {}, {}, {}},
};

INSTANTIATE_TEST_SUITE_P(CheckLabels, CheckLabelsCase, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CheckLabels, EachOfTheTwentySevenDelimitersIsRefused) {
  int refused = 0;
  for (int code = 1; code < 256; ++code) {
    if (code == ':') continue;
    TMq71R04CompilerObject job;
    AddTexts(job, {std::string("a") + static_cast<char>(code) + "b: nop"});
    if (job.CheckLabels() != 0) ++refused;
  }
  EXPECT_EQ(refused, 27);
  for (char c : std::string("!\"#$&'()*+,-./<=>?@[\\]`{|}~")) {
    TMq71R04CompilerObject job;
    AddTexts(job, {std::string("x") + c + ": nop"});
    EXPECT_EQ(job.CheckLabels(), 1) << "character " << c;
  }
}

// A literal version: delete empty rows one at a time, then examine rows, deleting each joined row
// and examining the joined one again. The one-walk pass must agree with it.
struct LiteralResult {
  std::vector<TWorkTableObject::Row> rows;
  std::string messages;
};

void DeleteRow(TWorkTableObject& table, int row) {
  table.DeleteRowsIf([row](int r) { return r == row; });
}

LiteralResult LiteralCheckLabels(TWorkTableObject table) {
  OutputSink out;
  for (int r = 0; r < table.RowCount();) {
    if (table.Cell(r, ColText).empty()) {
      DeleteRow(table, r);
    } else {
      ++r;
    }
  }
  const std::string delimiters = "!\"#$&'()*+,-./<=>?@[\\]`{|}~";
  for (int i = 0; i < table.RowCount();) {
    const std::string s = Trim(table.Cell(i, ColText));
    const size_t last = s.rfind(':');
    if (last == std::string::npos) {
      ++i;
      continue;
    }
    if (last + 1 < s.size()) {
      const std::string labelPart = s.substr(0, last + 1);
      if (labelPart.find_first_of(delimiters) != std::string::npos) {
        out.WriteLine("[compiler error] " + std::string(table.Cell(i, ColFile)) + "(" +
                      std::string(table.Cell(i, ColLine)) + "): Invalid label(s) \"" + labelPart +
                      "\".");
      }
      ++i;
      continue;
    }
    if (i == table.RowCount() - 1) {
      out.WriteLine("[compiler error] " + std::string(table.Cell(i, ColFile)) + "(" +
                    std::string(table.Cell(i, ColLine)) + "): Label not refered to instruction.");
      ++i;
      continue;
    }
    table.SetItem(i, ColText, s + std::string(table.Cell(i + 1, ColText)));
    table.SetItem(i, ColFile, table.Cell(i + 1, ColFile));
    table.SetItem(i, ColLine, table.Cell(i + 1, ColLine));
    DeleteRow(table, i + 1);
  }
  return {table.Rows(), out.Captured()};
}

TEST(CheckLabels, OneWalkAgreesWithTheLiteralVersionOnRandomTables) {
  const std::vector<std::string> pieces = {
      "", "a:", " b : ", "nop", "x-y:", ":", "  ", "c:d:", "z"};
  std::mt19937 random(12345);
  for (int trial = 0; trial < 2000; ++trial) {
    TMq71R04CompilerObject job;
    const int rowCount = static_cast<int>(random() % 8);
    for (int r = 0; r < rowCount; ++r) {
      std::string text;
      for (int k = static_cast<int>(random() % 3); k > 0; --k)
        text += pieces[random() % pieces.size()];
      const std::string file = std::string("f").append(std::to_string(r % 3));
      job.WorkTable->AddRow(file, std::to_string(r), text, "3", "4", "5", "6", "7");
    }
    const LiteralResult expected = LiteralCheckLabels(*job.WorkTable);
    job.CheckLabels();
    ASSERT_EQ(job.WorkTable->Rows(), expected.rows) << "trial " << trial;
    ASSERT_EQ(job.Out.Captured(), expected.messages) << "trial " << trial;
  }
}

// The labels of a run collect in one text: the run's length costs no more than its size.
TEST(CheckLabels, ALongRunOfLabelLinesIsJoinedInLinearTime) {
  const int runLength = 200000;
  const auto started = std::chrono::steady_clock::now();
  TMq71R04CompilerObject job;
  std::vector<std::string> texts;
  std::string expected;
  // Each line is trimmed at its end once joined; its blank in front stays inside the text.
  for (int i = 0; i < runLength; ++i) {
    texts.push_back(" l" + std::to_string(i) + ": ");
    expected += (i == 0 ? "l" : " l") + std::to_string(i) + ":";
  }
  texts.push_back("nop");
  expected += "nop";
  AddTexts(job, texts);
  EXPECT_EQ(job.CheckLabels(), 0);
  ASSERT_EQ(job.WorkTable->RowCount(), 1);
  EXPECT_TRUE(job.WorkTable->Cell(0, ColText) == expected);  // too long to print
  EXPECT_EQ(job.WorkTable->Cell(0, ColLine), std::to_string(runLength));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

}  // namespace
