#include "preprocessor/Macrosobject.h"

#include <gtest/gtest.h>

#include <random>

#include "driver/Compilerobject.h"
#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace {

using Lines = std::vector<std::string>;

// Definitions are read in a temporary current directory, which receives their dump files.
class MacrosTest : public ::testing::Test {
 protected:
  MacrosTest() : scope_(directory_.Path()) {
    job_.TickCounter = [] { return 1000u; };
  }

  // Reads the definition that starts at lines[index]; returns the result of ReadDefinition.
  int Read(TMacrosObject& macro, Lines& lines, int& index) {
    return macro.ReadDefinition("lib.inc", lines, index);
  }
  static Lines Texts(const TWorkTableObject& table) {
    Lines texts;
    for (int r = 0; r < table.RowCount(); ++r) texts.emplace_back(table.Cell(r, ColText));
    return texts;
  }
  static TMacrosObject& WithBody(TMacrosObject& macro, const Lines& texts) {
    for (size_t i = 0; i < texts.size(); ++i) {
      macro.AddRow("lib.inc", std::to_string(i), texts[i], "#", "#", "#", "#", "#");
    }
    return macro;
  }
  const std::string& Printed() const { return job_.Out.Captured(); }

  TemporaryDirectory directory_;
  CurrentDirectoryScope scope_;
  TMq71R04CompilerObject job_;
};

TEST_F(MacrosTest, NameAndParameterRules) {
  struct Case {
    std::string header;
    std::string name;
    Lines parameters;
    bool accepted;
  };
  const Case cases[] = {
      {".macro m", "m", {}, true},
      {".macro m a, b", "m", {"a", "b"}, true},
      {".macro m a,b,", "m", {"a", "b"}, true},  // a trailing comma is accepted
      {".macro m  a ,\tb", "m", {"a", "b"}, true},
      {".macro m 'p q', $1f, -3, #65", "m", {"p q", "$1f", "-3", "A"}, true},
      // Two blanks: the name is the whole rest, and the parameter text is what is left of
      // the untrimmed rest after as many characters as the name has (" m a, b" -> "b").
      {".macro  m a, b", "m a, b", {"b"}, true},
      // Blank means the space only: the name runs up to the first space.
      {".macro m\ta, b", "m\ta,", {"b"}, true},
      {".macro m (a)", "m", {"("}, false},
      {".macro m a b", "m", {"a"}, false},
      {".macro m a,,b", "m", {"a", ","}, false},
  };
  for (const Case& c : cases) {
    TMacrosObject macro(job_);
    Lines lines = {c.header, ".endmacro"};
    int index = 0;
    EXPECT_EQ(Read(macro, lines, index), c.accepted ? 0 : 1) << c.header;
    EXPECT_EQ(macro.Name, c.name) << c.header;
    EXPECT_EQ(macro.Parameters, c.parameters) << c.header;
    EXPECT_EQ(index, 1) << c.header;
    EXPECT_EQ(lines[0], "") << c.header;
  }
}

TEST_F(MacrosTest, RefusedParameterListIsReportedWithTheNextLineAndItsText) {
  TMacrosObject macro(job_);
  Lines lines = {"nop", "nop", ".macro m (a)", "nop", ".endmacro"};
  int index = 2;
  EXPECT_EQ(Read(macro, lines, index), 1);
  EXPECT_EQ(Printed(),
            "[preprocessor error] lib.inc(3): Invalid macros arguments list \" (a)\".\r\n");
  EXPECT_EQ(Texts(macro), Lines{"nop"});  // the body is read all the same
  EXPECT_EQ(index, 4);
}

TEST_F(MacrosTest, UnclosedQuotedParameterThrowsToTheCaller) {
  TMacrosObject macro(job_);
  Lines lines = {".macro m 'a", ".endmacro"};
  int index = 0;
  try {
    Read(macro, lines, index);
    ADD_FAILURE() << "accepted";
  } catch (const TranslatorError& error) {
    EXPECT_STREQ(error.what(), "Invalid string constant on line 1");
  }
}

TEST_F(MacrosTest, BodyRowsKeepFileAndLineAndLoseCommentsAndTabs) {
  TMacrosObject macro(job_);
  Lines lines = {"nop", ".macro m a", "  movl a, 1 ; set", "\tjmp\tx", "", ".endmacro", "halt"};
  int index = 1;
  EXPECT_EQ(Read(macro, lines, index), 0);
  EXPECT_EQ(index, 5);
  EXPECT_EQ(Texts(macro), (Lines{"movl a, 1", "jmpx", ""}));
  EXPECT_EQ(macro.Cell(0, ColFile), "lib.inc");
  EXPECT_EQ(macro.Cell(0, ColLine), "2");
  EXPECT_EQ(macro.Cell(2, ColLine), "4");
  for (int column = ColOperand1; column <= ColCode; ++column) {
    EXPECT_EQ(macro.Cell(1, column), "#");
  }
  EXPECT_EQ(lines[2], "movl a, 1");  // stored back without its comment
  EXPECT_EQ(Printed(), "");
}

TEST_F(MacrosTest, DefinitionIsDumpedToIncludeNameUnderscoreName) {
  TMacrosObject macro(job_);
  Lines lines = {".macro twice x", "addl x, 1", "addl x, 1", ".endmacro"};
  int index = 0;
  Read(macro, lines, index);
  EXPECT_EQ(ReadFile(directory_.Path() / "lib.inc_twice.txt"),
            "lib.inc 1 addl x, 1 # # # # #\r\nlib.inc 2 addl x, 1 # # # # #\r\n");
}

TEST_F(MacrosTest, EndAndNestedDefinitionTestsLookAtTheLineBeforeItsComment) {
  struct Case {
    Lines lines;
    Lines body;
    int endIndex;
    std::string message;
  };
  const std::string notTerminated = "Macros \"m\" not terminated by symbol \".endmacro\".";
  const Case cases[] = {
      {{".macro m", "nop", "  .endmacro  "}, {"nop"}, 2, ""},
      {{".macro m", ".endmacro ; end"}, {".endmacro"}, 2, "(2): " + notTerminated},
      {{".macro m", ".ENDMACRO", ".endmacro"}, {".ENDMACRO"}, 2, ""},
      {{".macro m", "nop ; not a .macro", ".endmacro"}, {}, 1, "(1): " + notTerminated},
      {{".macro m", "nop", ".macro n", ".endmacro"}, {"nop"}, 2, "(2): " + notTerminated},
      {{".macro m", "nop", "halt"}, {"nop", "halt"}, 3, "(3): " + notTerminated},
      {{".macro m"}, {}, 1, "(1): " + notTerminated},
  };
  for (const Case& c : cases) {
    TMq71R04CompilerObject job;
    TMacrosObject macro(job);
    Lines lines = c.lines;
    int index = 0;
    EXPECT_EQ(macro.ReadDefinition("lib.inc", lines, index), c.message.empty() ? 0 : 1)
        << c.lines[1 % c.lines.size()];
    EXPECT_EQ(Texts(macro), c.body) << c.lines[1 % c.lines.size()];
    EXPECT_EQ(index, c.endIndex) << c.lines[1 % c.lines.size()];
    EXPECT_EQ(job.Out.Captured(),
              c.message.empty() ? "" : "[preprocessor error] lib.inc" + c.message + "\r\n");
  }
}

TEST_F(MacrosTest, ExpandInsertsEachArgumentWithABlankOnEitherSide) {
  TMacrosObject macro(job_);
  macro.Parameters = {"a", "b"};
  WithBody(macro, {"mov a, b"});
  Lines arguments = {"x", "5"};
  EXPECT_EQ(macro.Expand(arguments, "call.asm", "7"), 0);
  EXPECT_EQ(Texts(macro), Lines{"mov  x ,  5 "});
  EXPECT_EQ(arguments, (Lines{" x ", " 5 "}));  // the caller's list is changed
}

TEST_F(MacrosTest, ExpandReplacesOnlyFreeStandingParameters) {
  struct Case {
    Lines body;
    Lines expected;
  };
  const Case cases[] = {
      {{"a"}, {" 1 "}},
      {{"nop", "a"}, {"nop", "a"}},  // after a line break: not free-standing
      {{"x a", "y a"}, {"x  1 ", "y  1 "}},
      {{"x\ta,a"}, {"x\t 1 , 1 "}},
      {{"ab ba a_ a: (a) a+1"}, {"ab ba a_ a: (a) a+1"}},
      {{"aa a"}, {"aa  1 "}},
      {{"A"}, {"A"}},  // case-sensitive
      {{}, {}},
  };
  for (const Case& c : cases) {
    TMacrosObject macro(job_);
    macro.Parameters = {"a"};
    WithBody(macro, c.body);
    Lines arguments = {"1"};
    macro.Expand(arguments, "call.asm", "7");
    EXPECT_EQ(Texts(macro), c.expected) << (c.body.empty() ? "" : c.body[0]);
  }
}

TEST_F(MacrosTest, ExpandResumesBehindAnOccurrenceLeftAlone) {
  // The parameter 'a,a' occurs at 1 (after x: not free-standing) and, overlapping, at 3 (after
  // ',', before the line end); the search goes on behind the first, so the second is skipped.
  TMacrosObject macro(job_);
  macro.Parameters = {"a,a"};
  WithBody(macro, {"xa,a,a", "a,a a,a"});
  Lines arguments = {"1"};
  macro.Expand(arguments, "call.asm", "7");
  EXPECT_EQ(Texts(macro), (Lines{"xa,a,a", "a,a  1 "}));
}

TEST_F(MacrosTest, ExpandSubstitutesParametersOneAfterAnother) {
  TMacrosObject macro(job_);
  macro.Parameters = {"a", "b"};
  WithBody(macro, {"x a"});
  Lines arguments = {"b", "7"};
  macro.Expand(arguments, "call.asm", "7");
  // The argument of a holds b, which the second round replaces.
  EXPECT_EQ(Texts(macro), Lines{"x   7  "});
}

TEST_F(MacrosTest, ExpandCountsEmptyParameterNamesButNeverFindsThem) {
  TMacrosObject macro(job_);
  macro.Parameters = {"", "a"};
  WithBody(macro, {"x a"});
  Lines arguments = {"1", "2"};
  EXPECT_EQ(macro.Expand(arguments, "call.asm", "7"), 0);
  EXPECT_EQ(Texts(macro), Lines{"x  2 "});
}

TEST_F(MacrosTest, ExpandWithoutArgumentsOrWithWrongCountLeavesBodyAlone) {
  TMacrosObject macro(job_);
  macro.Parameters = {"a", "b"};
  WithBody(macro, {"mov a, b"});
  Lines none;
  EXPECT_EQ(macro.Expand(none, "call.asm", "7"), 0);
  EXPECT_EQ(Printed(), "");
  Lines one = {"x"};
  EXPECT_EQ(macro.Expand(one, "call.asm", "7"), 1);
  EXPECT_EQ(Printed(), "[preprocessor error] call.asm(7): Invalid macros arguments count.\r\n");
  Lines three = {"x", "y", "z"};
  EXPECT_EQ(macro.Expand(three, "call.asm", "8"), 1);
  EXPECT_EQ(Texts(macro), Lines{"mov a, b"});
  EXPECT_EQ(one, Lines{"x"});
}

// Expansion done the slow, obvious way: per parameter, the body joined with CR LF after every row,
// searched and replaced, then split at the line ends back into as many rows.
Lines ReferenceExpansion(Lines body, const Lines& parameters, const Lines& arguments) {
  const std::string before = ",\t ";
  const std::string after = ",\r\n\t ";
  for (size_t p = 0; p < parameters.size(); ++p) {
    const std::string& parameter = parameters[p];
    const std::string argument = " " + arguments[p] + " ";
    if (parameter.empty()) continue;
    std::string text;
    for (const std::string& row : body) text += row + "\r\n";
    size_t start = 0;
    bool changed = false;
    for (size_t at = text.find(parameter); at != std::string::npos;
         at = text.find(parameter, start)) {
      const size_t end = at + parameter.size();
      if ((at == 0 || before.find(text[at - 1]) != std::string::npos) && end < text.size() &&
          after.find(text[end]) != std::string::npos) {
        text.replace(at, parameter.size(), argument);
        start = at + argument.size();
        changed = true;
      } else {
        start = end;
      }
    }
    if (!changed) continue;
    size_t pieceStart = 0;
    for (size_t row = 0; row < body.size(); ++row) {
      const size_t pieceEnd = std::min(text.find("\r\n", pieceStart), text.size());
      if (row + 1 == body.size()) {
        body[row] = text.substr(pieceStart);
        if (body[row].size() >= 2 && body[row].ends_with("\r\n"))
          body[row].resize(body[row].size() - 2);
      } else {
        body[row] = text.substr(pieceStart, pieceEnd - pieceStart);
      }
      pieceStart = std::min(pieceEnd + 2, text.size());
    }
  }
  return body;
}

// Rows are searched one by one unless a parameter or argument holds a line end: both ways must
// give what the literal rules give, line ends, separators and overlaps included.
TEST_F(MacrosTest, ExpandAgreesWithTheLiteralRulesOverRandomBodies) {
  std::mt19937 random(5);
  const std::string alphabet = "ab, \t:";
  const Lines lineEndPieces = {"\r", "\n", "\r\n"};
  auto word = [&](int maxPieces, bool lineEnds) {
    std::string text;
    const int pieces = static_cast<int>(random() % (maxPieces + 1));
    for (int i = 0; i < pieces; ++i) {
      if (lineEnds && random() % 4 == 0) {
        text += lineEndPieces[random() % lineEndPieces.size()];
      } else {
        text += alphabet[random() % alphabet.size()];
      }
    }
    return text;
  };
  int changed = 0;
  for (int round = 0; round < 4000; ++round) {
    const bool lineEnds = round % 4 == 0;
    Lines body;
    const int rows = static_cast<int>(random() % 4);
    for (int r = 0; r < rows; ++r) body.push_back(word(8, false));
    Lines parameters;
    Lines arguments;
    const int count = 1 + static_cast<int>(random() % 2);
    for (int p = 0; p < count; ++p) {
      parameters.push_back(word(3, lineEnds));
      arguments.push_back(word(2, lineEnds));
    }
    TMacrosObject macro(job_);
    macro.Parameters = parameters;
    WithBody(macro, body);
    Lines given = arguments;
    macro.Expand(given, "call.asm", "1");
    const Lines expected = ReferenceExpansion(body, parameters, arguments);
    if (expected != body) ++changed;
    std::string description;
    for (const std::string& row : body) description += "[" + row + "]";
    ASSERT_EQ(Texts(macro), expected) << description << " parameter [" << parameters[0] << "]";
  }
  EXPECT_GT(changed, 400);
}

TEST_F(MacrosTest, AssignReplacesNameParametersAndBodyByCopies) {
  TMacrosObject definition(job_);
  definition.Name = "m";
  definition.Parameters = {"p"};
  WithBody(definition, {"nop", "halt"});
  TMacrosObject call(job_);
  call.Name = "old";
  call.Parameters = {"q", "r"};
  WithBody(call, {"stale"});
  call.Assign(definition);
  EXPECT_EQ(call.Name, "m");
  EXPECT_EQ(call.Parameters, Lines{"p"});
  EXPECT_EQ(Texts(call), (Lines{"nop", "halt"}));
  EXPECT_EQ(call.Cell(1, ColLine), "1");
  call.SetItem(0, ColText, "changed");
  EXPECT_EQ(definition.Cell(0, ColText), "nop");
}

}  // namespace
