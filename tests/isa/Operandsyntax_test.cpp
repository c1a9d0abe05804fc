#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "isa/Mq71r04_asmparserobject.h"
#include "support/Textutils.h"

namespace {

using Texts = std::vector<std::string>;

TEST(ExtractCommand, TakesTheWordAfterTheLabelsUpToTheFirstBlank) {
  struct Case {
    std::string statement;
    std::string expected;
  };
  const Case cases[] = {
      {"lab1: lab2: mov a, b", "mov"},
      {"lab:", ""},
      {"lab:   ", ""},
      {"mov a,b", "mov"},
      {"nop", "nop"},
      {"mov\ta", "mov"},
      {"mov\t a", "mov"},
      {"mov a\tb", "mov"},
      {"lab:\tmov a", "mov"},
      {"a:b:c d", "c"},
      {" mov a", ""},  // a leading blank without a label is not trimmed away
      {"", ""},
      {"DATA_BYTE_ALLOCATION", "DATA_BYTE_ALLOCATION"},
  };
  OutputSink sink;
  const auto parser = TMq71R04_ASMParserObject::Bare(sink);
  for (const Case& c : cases) {
    // The word lies within the statement itself.
    const std::string_view view = parser.ExtractCommand(c.statement);
    EXPECT_EQ(view, c.expected) << '"' << c.statement << '"';
    EXPECT_TRUE(view.data() >= c.statement.data() &&
                view.data() + view.size() <= c.statement.data() + c.statement.size())
        << '"' << c.statement << '"';
  }
}

struct SplitCase {
  std::string statement;
  int result;
  Texts items;
  int status;
};

TEST(SplitArgumentList, SplitsAtCommasAndRefusesEmptyPiecesAndInnerSpaces) {
  const SplitCase cases[] = {
      {"mov a,b", 0, {"a", "b"}, StatusOk},
      {"mov a , b", 0, {"a", "b"}, StatusOk},
      {"mov  a", 0, {"a"}, StatusOk},
      {"lab1: lab2: mov a, b", 0, {"a", "b"}, StatusOk},
      {"mov\ta, b\t", 0, {"a", "b"}, StatusOk},
      {"mov a, b, c", 0, {"a", "b", "c"}, StatusOk},
      {"mov a\tb", 0, {"a\tb"}, StatusOk},  // only the space is refused inside a piece
      {"nop", 0, {""}, StatusNoArguments},
      {"lab:", 0, {""}, StatusNoArguments},
      {"mov a,,b", 1, {"a"}, StatusInvalid},  // pieces before the fault stay
      {"mov a,", 1, {"a"}, StatusInvalid},
      {"mov a b", 1, {""}, StatusInvalid},
      {"mov ,a", 1, {""}, StatusInvalid},
      {"mov a,b c,d", 1, {"a"}, StatusInvalid},
      {"mov ,", 1, {""}, StatusInvalid},
  };
  OutputSink sink;
  const auto parser = TMq71R04_ASMParserObject::Bare(sink);
  for (const SplitCase& c : cases) {
    OperandList list;
    EXPECT_EQ(parser.SplitArgumentList(c.statement, list, DataSegmentList, "3", "f.asm"),
              c.result)
        << '"' << c.statement << '"';
    EXPECT_EQ(list.Items, c.items) << '"' << c.statement << '"';
    EXPECT_EQ(list.Status, c.status) << '"' << c.statement << '"';
  }
}

TEST(SplitArgumentList, SplitsLikeOperandsAndMarksAMissingList) {
  const SplitCase cases[] = {
      {"m", 0, {""}, StatusNoArguments},
      {"m   ", 0, {""}, StatusNoArguments},
      {"lab: m", 0, {""}, StatusNoArguments},
      {"m a, b", 0, {"a", "b"}, StatusOk},
      {"lab: .byte 1 ,2", 0, {"1", "2"}, StatusOk},
      {"m a\tb", 0, {"a\tb"}, StatusOk},
      {"m\t5", 0, {"5"}, StatusOk},
  };
  OutputSink sink;
  const auto parser = TMq71R04_ASMParserObject::Bare(sink);
  for (const SplitCase& c : cases) {
    for (ArgumentListKind kind : {DataSegmentList, MacroArgumentList}) {
      OperandList list;
      EXPECT_EQ(parser.SplitArgumentList(c.statement, list, kind, "3", "f.asm"), c.result)
          << '"' << c.statement << '"';
      EXPECT_EQ(list.Items, c.items) << '"' << c.statement << '"';
      EXPECT_EQ(list.Status, c.status) << '"' << c.statement << '"';
    }
  }
  EXPECT_EQ(sink.Captured(), "");
}

// A literal version of the split: labels removed one after another, the command cut off at the
// first blank, then one piece after another, each time trimming what is left.
SplitCase LiteralSplitArgumentList(std::string text) {
  const auto trim = [](const std::string& t) { return std::string(TrimmedView(t)); };
  for (size_t colon = text.find(':'); colon != std::string::npos; colon = text.find(':')) {
    text = trim(text.substr(colon + 1));
  }
  const size_t blank = text.find_first_of(" \t");
  std::string rest = blank == std::string::npos ? "" : trim(text.substr(blank));
  if (rest.empty()) return {text, 0, {""}, StatusNoArguments};
  SplitCase result{text, 0, {}, StatusOk};
  const auto malformed = [&result]() {
    if (result.items.empty()) result.items.emplace_back();
    result.result = 1;
    result.status = StatusInvalid;
    return result;
  };
  for (size_t comma = rest.find(','); comma != std::string::npos; comma = rest.find(',')) {
    const std::string piece = trim(rest.substr(0, comma));
    rest = trim(rest.substr(comma + 1));
    if (piece.empty() || piece.find(' ') != std::string::npos) return malformed();
    result.items.push_back(piece);
  }
  if (rest.empty() || rest.find(' ') != std::string::npos) return malformed();
  result.items.push_back(rest);
  return result;
}

TEST(SplitArgumentList, AgreesWithTheLiteralSplitOnRandomStatements) {
  const std::string alphabet = std::string("ab :,\t\x01", 7);
  std::mt19937 random(5204);
  OutputSink sink;
  const auto parser = TMq71R04_ASMParserObject::Bare(sink);
  for (int trial = 0; trial < 30000; ++trial) {
    std::string statement = "m ";
    const size_t length = random() % 12;
    for (size_t i = 0; i < length; ++i) statement += alphabet[random() % alphabet.size()];
    const SplitCase expected = LiteralSplitArgumentList(statement);
    OperandList list;
    ASSERT_EQ(parser.SplitArgumentList(statement, list, DataSegmentList, "3", "f.asm"),
              expected.result)
        << '"' << statement << '"';
    ASSERT_EQ(list.Items, expected.items) << '"' << statement << '"';
    ASSERT_EQ(list.Status, expected.status) << '"' << statement << '"';
  }
}

TEST(SplitArgumentList, PrintsTheMessageOfItsKindForAMalformedList) {
  struct Case {
    std::string statement;
    ArgumentListKind kind;
    Texts items;
    std::string message;
  };
  const Case cases[] = {
      {"m a,,b",
       MacroArgumentList,
       {"a"},
       "[preprocessor error]f.asm(3): Invalid macros argument list \"a,,b\".\r\n"},
      {"lab: .word  a b ",
       DataSegmentList,
       {""},
       "[preprocessor error]f.asm(3): Invalid data segment argument list \"a b\".\r\n"},
      {"m 1, 2,",
       DataSegmentList,
       {"1", "2"},
       "[preprocessor error]f.asm(3): Invalid data segment argument list \"1, 2,\".\r\n"},
      {"m %s,,%i",
       MacroArgumentList,
       {"%s"},
       "[preprocessor error]f.asm(3): Invalid macros argument list \"%s,,%i\".\r\n"},
  };
  for (const Case& c : cases) {
    OutputSink sink;
    const auto parser = TMq71R04_ASMParserObject::Bare(sink);
    OperandList list;
    EXPECT_EQ(parser.SplitArgumentList(c.statement, list, c.kind, "3", "f.asm"), 1);
    EXPECT_EQ(list.Items, c.items) << '"' << c.statement << '"';
    EXPECT_EQ(list.Status, StatusInvalid);
    EXPECT_EQ(sink.Captured(), c.message);
  }
}

TEST(OperandSyntax, HugeStatementsAreSplitInOneSweep) {
  // Two hundred thousand labels and as many operands: a scan that restarts at every ":" or ","
  // would not finish.
  std::string statement;
  for (int i = 0; i < 200000; ++i) statement += "l:";
  statement += "mov ";
  for (int i = 0; i < 200000; ++i) statement += "a,";
  statement += "z";
  OutputSink sink;
  const auto parser = TMq71R04_ASMParserObject::Bare(sink);
  EXPECT_EQ(parser.ExtractCommand(statement), "mov");
  OperandList list;
  EXPECT_EQ(parser.SplitArgumentList(statement, list, MacroArgumentList, "3", "f.asm"), 0);
  ASSERT_EQ(list.Items.size(), 200001u);
  EXPECT_EQ(list.Items.back(), "z");
}

TEST(OperandSyntax, BinaryBytesAreOrdinaryCharacters) {
  const std::string statement(
      "mov \x7f\xff\0,\x01"
      "b\x80",
      11);
  OutputSink sink;
  const auto parser = TMq71R04_ASMParserObject::Bare(sink);
  OperandList list;
  EXPECT_EQ(parser.SplitArgumentList(statement, list, MacroArgumentList, "3", "f.asm"), 0);
  // Trimming drops the NUL and the code 1 at the ends of the pieces; 127 and above stay.
  EXPECT_EQ(list.Items, (Texts{"\x7f\xff", "b\x80"}));
}

}  // namespace
