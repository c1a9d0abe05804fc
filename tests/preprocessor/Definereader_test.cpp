#include "preprocessor/Definereader.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Entries(const DefineList& list) {
  std::vector<std::string> entries;
  for (int i = 0; i < list.Count(); ++i) {
    entries.push_back(std::string(list.Symbol(i)) + "=" + std::string(list.Value(i)));
  }
  return entries;
}

const std::string kHead = "[preprocessor error] m.asm(3): ";

TEST(TopLevelDefine, OutcomesEntriesAndMessages) {
  using Outcome = DefineOutcome;
  struct Case {
    std::string line;
    Outcome outcome;
    std::vector<std::string> entries;
    std::string message;  // empty: none, and the pass does not fail
  };
  const Case cases[] = {
      {"#define A 5", Outcome::Emptied, {"A=5"}, ""},
      {"#define A\t5", Outcome::Emptied, {"A=5"}, ""},
      {"#define\tA 5", Outcome::Emptied, {"A=5"}, ""},
      {"#define   Size    16", Outcome::Emptied, {"Size=16"}, ""},
      {"#define A", Outcome::Emptied, {"=A"}, ""},
      {"#define a 5\t6", Outcome::Emptied, {"a=6"}, ""},
      {"#define A\tB 5", Outcome::Emptied, {"A\tB=5"}, ""},
      {"#define A 5%^_;", Outcome::Emptied, {"A=5%^_;"}, ""},
      {"#defineA 5", Outcome::Emptied, {"=5"}, ""},  // the 8th character is cut off
      {"#define", Outcome::Dropped, {}, "Invalid #define expression. Required symbol and value."},
      {"#define A 5 6", Outcome::Unchanged, {}, "Invalid #define expression \"A 5 6\"."},
      {"#define A A",
       Outcome::Dropped,
       {},
       "Invalid #define expression. Defined symbol and value must be different."},
      {"#define a A", Outcome::Emptied, {"a=A"}, ""},  // compared with case
      {"#defineX",
       Outcome::Dropped,
       {},
       "Invalid #define expression. Defined symbol and value must be different."},
      {"#define A-1 5", Outcome::Dropped, {}, "Invalid #define expression \"A-1 5\"."},
      {"#define #A 5", Outcome::Dropped, {}, "Invalid #define expression \"#A 5\"."},
      {"#define A 5 #", Outcome::Dropped, {}, "Invalid #define expression \"A 5 #\"."},
  };
  for (const Case& c : cases) {
    DefineList defines;
    OutputSink out;
    bool failed = false;
    const Outcome outcome = ReadTopLevelDefine(c.line, "m.asm", 3, defines, out, failed);
    EXPECT_EQ(outcome, c.outcome) << c.line;
    EXPECT_EQ(Entries(defines), c.entries) << c.line;
    EXPECT_EQ(out.Captured(), c.message.empty() ? "" : kHead + c.message + "\r\n") << c.line;
    EXPECT_EQ(failed, !c.message.empty()) << c.line;
  }
}

TEST(TopLevelDefine, RefusesEachOfTheTwentyEightCharacters) {
  const std::string forbidden = "!\"#$&'()*+,-./:<>=?@{}[]\\~`|";
  ASSERT_EQ(forbidden.size(), 28u);
  for (char c : forbidden) {
    DefineList defines;
    OutputSink out;
    bool failed = false;
    const std::string line = std::string("#define A") + c + " 1";
    EXPECT_EQ(ReadTopLevelDefine(line, "m.asm", 3, defines, out, failed), DefineOutcome::Dropped)
        << line;
    EXPECT_TRUE(failed) << line;
    EXPECT_EQ(defines.Count(), 0) << line;
  }
  for (char c : std::string("%^_;0aZ\x7f\x80")) {
    EXPECT_FALSE(HasForbiddenCharacter(std::string("A") + c, true)) << c;
  }
}

TEST(SplitDefineBody, SymbolBeforeFirstBlankOrTabValueBehindThem) {
  struct Case {
    std::string body, symbol, value;
  };
  const Case cases[] = {
      {"A 5", "A", "5"},     {"A\t5", "A", "5"},      {"A", "", "A"},
      {"", "", ""},          {"A\tB 5", "A\tB", "5"}, {"A 5\t6", "A", "6"},
      {"A  \t 5", "A", "5"}, {"A 5 6", "A", "5 6"},   {"A\t5\t6", "A", "5\t6"},
  };
  for (const Case& c : cases) {
    const DefineParts parts = SplitDefineBody(c.body);
    EXPECT_EQ(parts.Symbol, c.symbol) << c.body;
    EXPECT_EQ(parts.Value, c.value) << c.body;
  }
}

TEST(IncludedDefine, ReportsButRecordsForbiddenCharactersAndNeverFails) {
  struct Case {
    std::string line;
    std::string lineAfter;
    std::vector<std::string> entries;
    std::vector<std::string> messages;
  };
  const std::string head = "[preprocessor error] inc.h(4): ";
  const Case cases[] = {
      {"#define A 5", "", {"A=5"}, {}},
      {"#define #A 5", "", {"#A=5"}, {}},
      {"#define A-1 5", "", {"A-1=5"}, {"Invalid #define expression \"A-1 5\"."}},
      {"#define A-1 5 6",
       "#define A-1 5 6",
       {},
       {"Invalid #define expression \"A-1 5 6\".", "Invalid #define expression \"A-1 5 6\"."}},
      {"#define A 5 6", "#define A 5 6", {}, {"Invalid #define expression \"A 5 6\"."}},
      {"#define A A",
       "",
       {},
       {"Invalid #define expression. Defined symbol and value must be different."}},
      {"#define A", "", {"=A"}, {}},
      {"nop #define A 5", "nop #define A 5", {}, {}},
  };
  for (const Case& c : cases) {
    DefineList defines;
    OutputSink out;
    std::string line = c.line;
    ReadIncludedDefine(line, "inc.h", 4, defines, out);
    EXPECT_EQ(line, c.lineAfter) << c.line;
    EXPECT_EQ(Entries(defines), c.entries) << c.line;
    std::string expected;
    for (const std::string& message : c.messages) expected += head + message + "\r\n";
    EXPECT_EQ(out.Captured(), expected) << c.line;
  }
}

TEST(IncludedDefine, RefusesTwentySevenCharactersButNotTheHash) {
  EXPECT_FALSE(HasForbiddenCharacter("#A 5", false));
  int refused = 0;
  for (int c = 1; c < 256; ++c) {
    if (HasForbiddenCharacter(std::string(1, static_cast<char>(c)), false)) ++refused;
  }
  EXPECT_EQ(refused, 27);
}

}  // namespace
