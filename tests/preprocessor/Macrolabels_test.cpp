// Generated names for labels in macro bodies. The tick counter is fixed at 1000, whose draws
// give the names 579514062, 1560015161, 3206227360 and 2476111254 in turn.
#include <gtest/gtest.h>

#include <random>

#include "driver/Compilerobject.h"
#include "preprocessor/Macrosobject.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kFirst = "579514062";
const std::string kSecond = "1560015161";
const std::string kThird = "3206227360";
const std::string kFourth = "2476111254";

class MacroLabelsTest : public ::testing::Test {
 protected:
  MacroLabelsTest() {
    job_.TickCounter = [] { return 1000u; };
  }

  std::unique_ptr<TMacrosObject> Body(const Lines& texts) {
    auto macro = std::make_unique<TMacrosObject>(job_);
    for (size_t i = 0; i < texts.size(); ++i) {
      macro->AddRow("lib.inc", std::to_string(10 + i), texts[i], "#", "#", "#", "#", "#");
    }
    return macro;
  }
  static Lines Texts(const TWorkTableObject& table) {
    Lines texts;
    for (int r = 0; r < table.RowCount(); ++r) texts.emplace_back(table.Cell(r, ColText));
    return texts;
  }
  const std::string& Printed() const { return job_.Out.Captured(); }

  TMq71R04CompilerObject job_;
};

TEST_F(MacroLabelsTest, LabelAndEveryOperandNamingItGetTheSameName) {
  auto macro = Body({"loop: dec a0", "jnz loop", "jmp loop", "lrah a1, loop", "lsal a2,loop",
                     "lral a1, 2, loop", "movl a0, loop", "jz  loop", "jsr loopy", "js x, loop"});
  EXPECT_EQ(macro->MakeLabelsUnique(), 0);
  EXPECT_EQ(Texts(*macro), (Lines{kFirst + ": dec a0", "jnz " + kFirst, "jmp " + kFirst,
                                  "lrah a1, " + kFirst, "lsal a2," + kFirst, "lral a1, 2, loop",
                                  "movl a0, loop", "jz  " + kFirst, "jsr loopy", "js x, loop"}));
  EXPECT_EQ(Printed(), "");
}

TEST_F(MacroLabelsTest, EveryJumpAndLabelAddressCommandIsCovered) {
  for (const std::string command :
       {"jsr", "jmp", "js", "jns", "jz", "jnz", "jc", "jnc", "lrah", "lral", "lsah", "lsal"}) {
    const bool labelAddress = command[0] == 'l';
    auto macro = Body({"t: nop", command + (labelAddress ? " a0, t" : " t")});
    macro->MakeLabelsUnique();
    const std::string declaration(macro->Cell(0, ColText));
    const std::string newName = declaration.substr(0, declaration.find(':'));
    EXPECT_NE(newName, "t");
    std::string expected = command;
    expected += labelAddress ? " a0, " : " ";
    expected += newName;
    EXPECT_EQ(macro->Cell(1, ColText), expected) << command;
  }
  auto upper = Body({"t: nop", "JMP t", "jmpx t", "jmp"});
  upper->MakeLabelsUnique();
  EXPECT_NE(upper->Cell(0, ColText), "t: nop");
  EXPECT_EQ(Texts(*upper), (Lines{std::string(upper->Cell(0, ColText)), "JMP t", "jmpx t", "jmp"}));
}

TEST_F(MacroLabelsTest, RenamingReplacesTheOperandNotAnEarlierOccurrence) {
  auto macro = Body({"j: nop", "jnz j", "a: nop", "ba: jmp a"});
  macro->MakeLabelsUnique();
  EXPECT_EQ(Texts(*macro), (Lines{kFirst + ": nop", "jnz " + kFirst, kSecond + ": nop",
                                  kThird + ": jmp " + kSecond}));
}

TEST_F(MacroLabelsTest, OperandIsComparedAfterTheRowsFirstLabel) {
  // The row's own label is cut off; a second label stays in front of the command.
  auto macro = Body({"x: jmp x", "y: z: jmp x"});
  macro->MakeLabelsUnique();
  EXPECT_EQ(Texts(*macro), (Lines{kFirst + ": jmp " + kFirst, kSecond + ": z: jmp x"}));
}

TEST_F(MacroLabelsTest, NumbersAndLabelsWithBlanksAreReportedAndKept) {
  const Lines invalid = {"5",           "-7",         "+12",        "$1F", "x1f",
                         "X2",          "0x10",       "0X7fffffff", "-$5", "0xFFFFFFFF",
                         "-2147483648", "2147483647", "007",        "a b"};
  for (const std::string& label : invalid) {
    TMq71R04CompilerObject job;
    job.TickCounter = [] { return 1000u; };
    TMacrosObject macro(job);
    macro.AddRow("lib.inc", "4", label + ": nop", "#", "#", "#", "#", "#");
    EXPECT_EQ(macro.MakeLabelsUnique(), 1) << label;
    EXPECT_EQ(macro.Cell(0, ColText), label + ": nop");
    EXPECT_EQ(
        job.Out.Captured(),
        "[preprocessor error] lib.inc(4): Macros contain invalid label \"" + label + "\".\r\n");
  }
}

TEST_F(MacroLabelsTest, TextsOutsideTheNumberRulesAreRenamed) {
  const Lines valid = {"2147483648", "-2147483649", "0x100000000", "$",   "0x", "x1G",
                       "1e5",        "5h",          "_5",          "--5", "$-5"};
  for (const std::string& label : valid) {
    TMq71R04CompilerObject job;
    job.TickCounter = [] { return 1000u; };
    TMacrosObject macro(job);
    macro.AddRow("lib.inc", "4", label + ": nop", "#", "#", "#", "#", "#");
    EXPECT_EQ(macro.MakeLabelsUnique(), 0) << label;
    EXPECT_EQ(macro.Cell(0, ColText), kFirst + ": nop") << label;
  }
}

// The number rules spelt out: an optional sign, then decimal digits within the signed 32-bit
// range, or a prefix ($, x, X, 0x, 0X) and hexadecimal digits whose value fits in 32 bits.
bool ReferenceIsNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  size_t prefix = 0;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    prefix = 2;
  } else if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
    prefix = 1;
  }
  const std::string_view digits = text.substr(prefix);
  if (digits.empty()) return false;
  uint64_t value = 0;
  for (char c : digits) {
    const std::string_view hexDigits = "0123456789abcdefABCDEF";
    const size_t digit = hexDigits.find(c);
    if (digit == std::string_view::npos || (prefix == 0 && digit > 9)) return false;
    value = value * (prefix > 0 ? 16 : 10) + (digit < 16 ? digit : digit - 6);
    if (value > 0xFFFFFFFFull) return false;
  }
  return prefix > 0 || value <= (negative ? 2147483648ull : 2147483647ull);
}

TEST(MacroLabelNumbers, AgreeWithTheNumberRulesOverRandomLabels) {
  std::mt19937 random(17);
  const std::string_view alphabet = "0123456789abfgxX$+-";
  int numbers = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string label(1 + random() % 11, '0');
    for (char& c : label) c = alphabet[random() % alphabet.size()];
    TMq71R04CompilerObject job;
    job.TickCounter = [] { return 1000u; };
    TMacrosObject macro(job);
    macro.AddRow("lib.inc", "4", label + ": nop", "#", "#", "#", "#", "#");
    const bool reported = macro.MakeLabelsUnique() == 1;
    if (reported) ++numbers;
    ASSERT_EQ(reported, ReferenceIsNumber(label)) << label;
  }
  EXPECT_GT(numbers, 2000);
}

TEST_F(MacroLabelsTest, SecondDeclarationIsReportedThenRenamedOnItsOwn) {
  auto macro = Body({"a: nop", "jmp a", "a: halt", "x: a: nop", "jz a"});
  EXPECT_EQ(macro->MakeLabelsUnique(), 1);
  EXPECT_EQ(Printed(),
            "[preprocessor error] lib.inc(12): Multiple declaration label \"a\".\r\n"
            "[preprocessor error] lib.inc(13): Multiple declaration label \"a\".\r\n"
            "[preprocessor error] lib.inc(13): Multiple declaration label \"a\".\r\n");
  // The jumps already carry the first declaration's name.
  EXPECT_EQ(Texts(*macro), (Lines{kFirst + ": nop", "jmp " + kFirst, kSecond + ": halt",
                                  kThird + ": a: nop", "jz " + kFirst}));
}

TEST_F(MacroLabelsTest, OneRowDeclaringTheSameLabelTwiceGetsTwoMessages) {
  auto macro = Body({"b: nop", "b: b: nop"});
  macro->MakeLabelsUnique();
  EXPECT_EQ(Printed(),
            "[preprocessor error] lib.inc(11): Multiple declaration label \"b\".\r\n"
            "[preprocessor error] lib.inc(11): Multiple declaration label \"b\".\r\n");
}

TEST_F(MacroLabelsTest, DefinitionsReadInTheSameMillisecondGetDifferentNames) {
  auto first = Body({"l: nop", "jmp l"});
  auto second = Body({"l: nop", "jmp l"});
  first->MakeLabelsUnique();
  second->MakeLabelsUnique();  // reseeded with the same tick
  EXPECT_EQ(Texts(*first), (Lines{kFirst + ": nop", "jmp " + kFirst}));
  EXPECT_EQ(Texts(*second), (Lines{kSecond + ": nop", "jmp " + kSecond}));
}

TEST_F(MacroLabelsTest, EachDefinitionReseedsWithTheTickCount) {
  uint32_t tick = 1000;
  job_.TickCounter = [&tick] { return tick; };
  auto first = Body({"l: nop"});
  first->MakeLabelsUnique();
  tick = 0;
  auto second = Body({"l: nop"});
  second->MakeLabelsUnique();
  EXPECT_EQ(second->Cell(0, ColText), "130346: nop");
}

TEST_F(MacroLabelsTest, RenewedCopyCarriesFreshNamesWhereTheDefinitionHasItsOwn) {
  auto definition = Body({"l: dec a0", "jnz l", "m: lrah a1, l", "movl a0, l"});
  definition->MakeLabelsUnique();
  const Lines original = Texts(*definition);
  EXPECT_EQ(original, (Lines{kFirst + ": dec a0", "jnz " + kFirst, kSecond + ": lrah a1, " + kFirst,
                             "movl a0, l"}));
  TMacrosObject call(job_);
  call.Assign(*definition);
  call.RenewGeneratedLabels();  // continues the generator without reseeding
  EXPECT_EQ(Texts(call), (Lines{kThird + ": dec a0", "jnz " + kThird,
                                kFourth + ": lrah a1, " + kThird, "movl a0, l"}));
  EXPECT_EQ(Texts(*definition), original);
  // A copy of the renewed copy renews from its own names.
  TMacrosObject again(job_);
  again.Assign(call);
  again.RenewGeneratedLabels();
  EXPECT_EQ(again.Cell(1, ColText).find(kThird), std::string::npos);
  EXPECT_EQ(again.Cell(1, ColText).substr(0, 4), "jnz ");
  EXPECT_EQ(again.Cell(0, ColText).substr(0, again.Cell(0, ColText).find(':')),
            again.Cell(1, ColText).substr(4));
}

TEST_F(MacroLabelsTest, BodiesWithManyLabelsStayFast) {
  Lines texts;
  for (int i = 0; i < 20000; ++i) {
    std::string label = "l";
    label += std::to_string(i);
    texts.push_back(label + ": dec a0");
    texts.push_back("jnz " + label);
  }
  auto macro = Body(texts);
  EXPECT_EQ(macro->MakeLabelsUnique(), 0);
  const std::string declared(macro->Cell(39998, ColText));
  std::string expected = "jnz ";
  expected.append(declared, 0, declared.find(':'));
  EXPECT_EQ(macro->Cell(39999, ColText), expected);
}

}  // namespace
