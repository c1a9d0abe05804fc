#include "preprocessor/Macroexpansion.h"

#include <gtest/gtest.h>

#include <random>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "preprocessor/Includeloader.h"
#include "preprocessor/Macrosobject.h"
#include "support/Testsupport.h"

namespace {

using Lines = std::vector<std::string>;

// The walk checks the first byte of the command word before it looks the word up: that byte
// must be the word's own, for any text.
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

TEST(CallLabels, AreTheTextUpToTheLastColon) {
  EXPECT_EQ(CallLabels("a: b: put x"), "a: b:");
  EXPECT_EQ(CallLabels("put x"), "");
  EXPECT_EQ(CallLabels("put a:b"), "put a:");
}

class MacroExpansionTest : public ::testing::Test {
 protected:
  MacroExpansionTest() : scope_(directory_.Path()) {
    job_.TickCounter = [] { return 1000u; };
  }
  void Library(Lines lines) { LoadIncludedLines(job_, "lib.inc", lines); }

  TemporaryDirectory directory_;
  CurrentDirectoryScope scope_;
  TMq71R04CompilerObject job_;
  const TMq71R04_ASMParserObject parser_ = TMq71R04_ASMParserObject::Bare(job_.Out);
};

TEST_F(MacroExpansionTest, DirectoryFindsEveryDefinitionOfTheCommandInListOrder) {
  Library({".macro m", "nop", ".endmacro", ".macro n", "rts", ".endmacro", ".macro m x",
           "halt", ".endmacro"});
  const MacroDirectory macros(*job_.Macros);
  const std::vector<TMacrosObject*>* called = macros.CalledBy(parser_, "l: m a0");
  ASSERT_NE(called, nullptr);
  ASSERT_EQ(called->size(), 2u);
  EXPECT_EQ((*called)[0], (*job_.Macros)[0].get());
  EXPECT_EQ((*called)[1], (*job_.Macros)[2].get());
  EXPECT_EQ(macros.CalledBy(parser_, "M a0"), nullptr);
  EXPECT_EQ(macros.CalledBy(parser_, "mm"), nullptr);
  EXPECT_EQ(macros.CalledBy(parser_, "l:"), nullptr);  // no definition without a name
}

TEST_F(MacroExpansionTest, ArgumentsOfACallOrNoneWhenTheListIsInvalid) {
  const auto arguments = CallArguments(parser_, WorkTableRow{"f", "1", "put a0, 3"});
  ASSERT_TRUE(arguments);
  EXPECT_EQ(*arguments, (Lines{"a0", "3"}));
  EXPECT_EQ(CallArguments(parser_, WorkTableRow{"f", "1", "put"}), Lines{});
  EXPECT_FALSE(CallArguments(parser_, WorkTableRow{"f", "2", "put a0 b, 3"}));
  EXPECT_EQ(job_.Out.Captured(),
            "[preprocessor error]f(2): Invalid macros argument list \"a0 b, 3\".\r\n");
}

TEST_F(MacroExpansionTest, BodyOfEveryExpansionButTheFirstDeclaresFreshLabels) {
  Library({".macro wait n", "l: dec n", "jnz l", ".endmacro"});
  TMacrosObject& definition = *job_.Macros->front();
  const WorkTableRow call{"top.asm", "7", "wait a0"};
  const std::vector<WorkTableRow> first = ExpandedBody(job_, definition, {"a0"}, call);
  const std::vector<WorkTableRow> second = ExpandedBody(job_, definition, {"a1"}, call);
  ASSERT_EQ(first.size(), 2u);
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(first[0][ColText], "579514062: dec  a0 ");
  EXPECT_EQ(first[1][ColText], "jnz 579514062");
  EXPECT_EQ(second[0][ColText], "1560015161: dec  a1 ");
  EXPECT_EQ(second[1][ColText], "jnz 1560015161");
  EXPECT_EQ(definition.ExpansionCount, 2);
  EXPECT_EQ(definition.Cell(1, ColText), "jnz 579514062");  // the definition keeps its own
}

}  // namespace
