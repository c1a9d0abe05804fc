#include "isa/Mq71r04_asmparserobject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/Textutils.h"
#include "support/Translatorerror.h"

namespace {

struct NamedValue {
  std::string name;
  std::string value;
};

// The instruction rows in their order.
const std::vector<NamedValue>& ExpectedInstructions() {
  static const std::vector<NamedValue> rows = {
      {"mov", "000001"},
      {"cmp", "000010"},
      {"add", "000100"},
      {"sub", "000011"},
      {"and", "000101"},
      {"or", "000110"},
      {"xor", "000111"},
      {"movl", "010"},
      {"cmpl", "011"},
      {"addl", "001100"},
      {"subl", "001011"},
      {"bich", "0010101"},
      {"bicl", "0010100"},
      {"bish", "0011101"},
      {"bisl", "0011100"},
      {"btgh", "0011111"},
      {"btgl", "0011110"},
      {"btth", "0011011"},
      {"bttl", "0011010"},
      {"swap", "00000000001"},
      {"neg", "00000000010"},
      {"not", "00000000011"},
      {"shl", "00000000100"},
      {"shr", "00000000101"},
      {"shra", "00000000110"},
      {"rlc", "00000000111"},
      {"rrc", "00000001000"},
      {"adc", "00000001001"},
      {"sbc", "00000001010"},
      {"ldr", "00100"},
      {"mtpr", "00000010"},
      {"mfpr", "00000011"},
      {"push", "0000000000010"},
      {"pop", "0000000000011"},
      {"sst", "000000011000"},
      {"cst", "000000011100"},
      {"tof", "0000000000000100"},
      {"tdc", "0000000000000101"},
      {"jmp", "100000"},
      {"jsr", "100100"},
      {"jnz", "101100"},
      {"jz", "101000"},
      {"jns", "110000"},
      {"js", "110100"},
      {"jnc", "111000"},
      {"jc", "111100"},
      {"ijmp", "0000000000000011"},
      {"ijsr", "0000000000000111"},
      {"rts", "0000000000001100"},
      {"rti", "0000000000001101"},
      {"rtsc", "000000000000111"},
      {"nop", "0000000000000000"},
      {"wait", "0000000000000001"},
      {"slp", "0000000000001000"},
      {"rst", "0000000000000010"},
      {"sksp", "0000000000000110"},
      {"lrah", "__PSEUDO"},
      {"lral", "__PSEUDO"},
      {"lsah", "__PSEUDO"},
      {"lsal", "__PSEUDO"},
  };
  return rows;
}

// Bits that the operand fields of the instruction at `position` take up, by format.
int OperandFieldBits(int position) {
  struct Range {
    int first;
    int last;
    int bits;
  };
  const Range ranges[] = {
      {0, 6, 10},                  // two register codes
      {7, 8, 13},                  // byte and register code
      {9, 10, 10},                 // five-bit constant and register code
      {11, 18, 9},                 // four-bit constant and register code
      {19, 28, 5},                 // register code
      {29, 29, 11},                // byte and special register code
      {30, 31, 8},                 // special register and register codes
      {32, 33, 3},                 // special register code
      {34, 35, 4},                 // four-bit constant
      {36, 37, 0},  {38, 45, 10},  // jump address
      {46, 49, 0},  {50, 50, 1},   // flag
      {51, 55, 0},
  };
  for (const Range& range : ranges) {
    if (position >= range.first && position <= range.last) return range.bits;
  }
  return -1;
}

std::string Bits(int value, int width) {
  std::string bits;
  for (int bit = width - 1; bit >= 0; --bit) bits += ((value >> bit) & 1) != 0 ? '1' : '0';
  return bits;
}

TEST(InstructionTable, HoldsSixtyRowsInOrderWithTheirOpcodes) {
  OutputSink sink;
  const TMq71R04_ASMParserObject parser(sink);
  const std::vector<NamedValue>& rows = ExpectedInstructions();
  ASSERT_EQ(rows.size(), 60u);
  for (int position = 0; position < 60; ++position) {
    const NamedValue& row = rows[position];
    EXPECT_EQ(parser.FindInstruction(row.name), position) << row.name;
    EXPECT_EQ(parser.ScanInstructionExact(row.name), position) << row.name;
    EXPECT_EQ(parser.InstructionValue(position), row.value) << row.name;
  }
  EXPECT_THROW(parser.InstructionValue(60), std::out_of_range);
  EXPECT_THROW(parser.InstructionValue(-1), std::out_of_range);
}

TEST(InstructionTable, EveryOpcodeAndItsOperandFieldsMakeSixteenBits) {
  OutputSink sink;
  const TMq71R04_ASMParserObject parser(sink);
  for (int position = 0; position < 56; ++position) {
    EXPECT_EQ(
        static_cast<int>(parser.InstructionValue(position).size()) + OperandFieldBits(position), 16)
        << "position " << position;
  }
}

TEST(InstructionTable, LookUpByNameIgnoresCaseWhileTheScanDoesNot) {
  OutputSink sink;
  const TMq71R04_ASMParserObject parser(sink);
  EXPECT_EQ(parser.FindInstruction("MOV"), 0);
  EXPECT_EQ(parser.FindInstruction("LsAl"), 59);
  EXPECT_EQ(parser.ScanInstructionExact("MOV"), -1);
  EXPECT_EQ(parser.ScanInstructionExact("Nop"), -1);
  EXPECT_EQ(parser.InstructionValue(56), "__PSEUDO");
  for (const char* name :
       {"", "DATA_BYTE_ALLOCATION", "DATA_WORD_ALLOCATION", "mov ", " mov", "mo", "movl2",
        "m\xcf"
        "v"}) {
    EXPECT_EQ(parser.FindInstruction(name), -1) << name;
    EXPECT_EQ(parser.ScanInstructionExact(name), -1) << name;
  }
}

// Near misses of every instruction name: each character replaced by bytes around it (NUL, blank,
// the other letter case, bytes above 127), cut short, lengthened and with bytes around it.
std::vector<std::string> NearMisses(const std::vector<std::string>& names) {
  std::vector<std::string> candidates;
  for (const std::string& name : names) {
    for (size_t i = 0; i < name.size(); ++i) {
      for (char replacement : {'\0', ' ', '\t', 'a', 'z', 'A', 'Z', '0', '#', '\x80', '\xff'}) {
        std::string changed = name;
        changed[i] = replacement;
        candidates.push_back(changed);
        changed[i] = static_cast<char>(name[i] - 32);
        candidates.push_back(changed);
      }
      candidates.push_back(name.substr(0, i));
    }
    for (const std::string& around : {std::string(1, '\0'), std::string(" "), std::string("x")}) {
      candidates.push_back(name + around);
      candidates.push_back(around + name);
    }
  }
  return candidates;
}

// The look-ups by name against a plain walk along the expected rows.
TEST(InstructionTable, LookUpsAgreeWithAWalkAlongTheRows) {
  OutputSink sink;
  const TMq71R04_ASMParserObject parser(sink);
  std::vector<std::string> names;
  for (const NamedValue& row : ExpectedInstructions()) names.push_back(row.name);
  const auto walk = [&names](const std::string& text, bool ignoreCase) {
    for (size_t position = 0; position < names.size(); ++position) {
      if (ignoreCase ? EqualsIgnoreCase(names[position], text) : names[position] == text) {
        return static_cast<int>(position);
      }
    }
    return -1;
  };
  for (const std::string& candidate : NearMisses(names)) {
    EXPECT_EQ(parser.FindInstruction(candidate), walk(candidate, true)) << candidate;
    EXPECT_EQ(parser.ScanInstructionExact(candidate), walk(candidate, false)) << candidate;
  }
}

TEST(RegisterTable, CodesAreEightTimesTheBankPlusTheNumber) {
  OutputSink sink;
  const TMq71R04_ASMParserObject parser(sink);
  const std::string banks = "abcd";
  for (int bank = 0; bank < 4; ++bank) {
    for (int number = 0; number < 8; ++number) {
      const int code = 8 * bank + number;
      const std::string name = std::string(1, banks[bank]) + std::to_string(number);
      const std::string upper =
          std::string(1, static_cast<char>(banks[bank] - 32)) + std::to_string(number);
      EXPECT_EQ(parser.FindRegister(name), code) << name;
      EXPECT_EQ(parser.FindRegister(upper), code) << upper;
      EXPECT_EQ(parser.RegisterValue(code), Bits(code, 5)) << name;
    }
  }
}

TEST(RegisterTable, WholeNamesOnly) {
  OutputSink sink;
  const TMq71R04_ASMParserObject parser(sink);
  EXPECT_EQ(parser.FindRegister("A0"), 0);
  EXPECT_EQ(parser.FindRegister("D7"), 31);
  for (const char* name : {"", "e0", "a8", "a0 ", "a 0", "a", "a00", "#0",
                           "\xe1"
                           "0"}) {
    EXPECT_EQ(parser.FindRegister(name), -1) << name;
  }
}

TEST(RegisterTable, NamesWithOtherBytesAroundThemAreNotRegisters) {
  OutputSink sink;
  const TMq71R04_ASMParserObject parser(sink);
  const std::string nul(1, '\0');
  const std::vector<std::string> names = {
      "a0" + nul,
      nul + "a0",
      "a" + nul,
      nul + "0",
      "a0a0",
      "a0\t",
      "\x81"
      "0",
      "a\xb0",
      "#0" + nul,
  };
  for (const std::string& name : names) {
    EXPECT_EQ(parser.FindRegister(name), -1) << name;
    EXPECT_EQ(parser.FindSpecialRegister(name), -1) << name;
  }
  EXPECT_EQ(parser.FindSpecialRegister("#7"), 7);
}

TEST(SpecialRegisterTable, CodesAreTheNumberInThreeBits) {
  OutputSink sink;
  const TMq71R04_ASMParserObject parser(sink);
  for (int number = 0; number < 8; ++number) {
    const std::string name = {'#', static_cast<char>('0' + number)};
    EXPECT_EQ(parser.FindSpecialRegister(name), number);
    EXPECT_EQ(parser.SpecialRegisterValue(number), Bits(number, 3));
  }
  for (const char* name : {"", "#8", "#", "0", "# 1", "a0", "#01"}) {
    EXPECT_EQ(parser.FindSpecialRegister(name), -1) << name;
  }
}

TEST(BareObject, ServesTheTextServicesButNoLookUp) {
  OutputSink sink;
  const auto parser = TMq71R04_ASMParserObject::Bare(sink);
  EXPECT_EQ(parser.ParseNumber("10h"), 16);
  EXPECT_EQ(parser.ExtractCommand("l: mov a"), "mov");
  EXPECT_THROW(parser.FindInstruction("mov"), TranslatorError);
  EXPECT_THROW(parser.FindRegister("a0"), TranslatorError);
  EXPECT_THROW(parser.SpecialRegisterValue(0), TranslatorError);
  EXPECT_THROW(parser.ScanInstructionExact("mov"), TranslatorError);
}

TEST(FullObject, StartsWithAnEmptyOperandList) {
  OutputSink sink;
  const TMq71R04_ASMParserObject parser(sink);
  EXPECT_TRUE(parser.Operands.Items.empty());
  EXPECT_EQ(parser.Operands.Status, StatusOk);
}

// Command recognition of one row, from a fresh object as the recognition pass makes one per row.
struct StatementCase {
  std::string text;
  int result;
  std::string command;
  std::string operand1;
  std::string operand2;
  std::string code;
  std::string output;
};

const std::string CountMessage = "[compiler error] f.asm(4): Invalid operand(s) count.\r\n";

std::string UnknownMessage(const std::string& command) {
  return "[compiler error]f.asm(4): Unknown assembler command \"" + command + "\".\r\n";
}

TEST(ParseStatement, RecognisesCommandsAndCountsOperands) {
  const StatementCase cases[] = {
      {"nop", 0, "nop", "", "", "0000000000000000", ""},
      {"mov a, b", 0, "mov", "a", "b", "000001", ""},
      {"mov a,b", 0, "mov", "a", "b", "000001", ""},
      {"mov\ta,b", 0, "mov", "a", "b", "000001", ""},
      {"mov a\t, b", 0, "mov", "a", "b", "000001", ""},  // the tab is trimmed off the piece
      {"nop x", 0, "nop", "x", "", "0000000000000000", ""},
      {"jmp loop", 0, "jmp", "loop", "", "100000", ""},
      {"lrah a0, here", 0, "lrah", "a0", "here", "__PSEUDO", ""},
      {"", 0, "", "$", "$", "$", ""},  // a row that held only labels
      // failures
      {"mov a, b, c", 1, "mov", "$", "$", "000001", CountMessage},
      {"MOV a, b", 1, "MOV", "$", "$", "$", UnknownMessage("MOV")},
      {"foo", 1, "foo", "$", "$", "$", UnknownMessage("foo")},
      {"f%s%i x", 1, "f%s%i", "$", "$", "$", UnknownMessage("f%s%i")},
      {"mov a b", 1, "mov", "$", "$", "$", ""},
      {"mov a,, b", 1, "mov", "$", "$", "$", ""},
      {"mov a,", 1, "mov", "$", "$", "$", ""},
      {"mov a\tx, b", 1, "mov", "$", "$", "$", ""},  // a tab inside an operand is a space
      {"foo a b", 1, "foo", "$", "$", "$", ""},      // the split fails before the look-up
  };
  for (const StatementCase& c : cases) {
    OutputSink sink;
    TMq71R04_ASMParserObject parser(sink);
    TWorkTableObject table;
    table.AddRow("f.asm", "4", c.text, "$", "$", "$", "", "$");
    EXPECT_EQ(parser.ParseStatement(0, table), c.result) << '"' << c.text << '"';
    EXPECT_EQ(table.Cell(0, ColText), c.text);
    EXPECT_EQ(table.Cell(0, ColCommand), c.command) << '"' << c.text << '"';
    EXPECT_EQ(table.Cell(0, ColOperand1), c.operand1) << '"' << c.text << '"';
    EXPECT_EQ(table.Cell(0, ColOperand2), c.operand2) << '"' << c.text << '"';
    EXPECT_EQ(table.Cell(0, ColCode), c.code) << '"' << c.text << '"';
    EXPECT_EQ(sink.Captured(), c.output) << '"' << c.text << '"';
  }
}

// Statements put together at random from words, blanks, tabs, commas and colons: recognising one
// gives the same row and messages as recognising it with every tab made a space, except that the
// text itself is left as it was.
TEST(ParseStatement, ReadsEveryTabAsASpace) {
  const std::vector<std::string> pieces = {
      "mov", "nop", "jmp", "DATA_WORD_ALLOCATION", "MOV", "a", "b1", " ", " ", "\t", "\t",
      ",",   ":",   "l"};
  std::mt19937 random(71);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 9);
    for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    std::string spaced = text;
    std::replace(spaced.begin(), spaced.end(), '\t', ' ');

    const auto recognise = [](const std::string& statement, TWorkTableObject& table) {
      OutputSink sink;
      TMq71R04_ASMParserObject parser(sink);
      table.AddRow("f.asm", "4", statement, "$", "$", "$", "", "$");
      const int result = parser.ParseStatement(0, table);
      return std::to_string(result) + sink.Captured();
    };
    TWorkTableObject withTabs;
    TWorkTableObject withSpaces;
    EXPECT_EQ(recognise(text, withTabs), recognise(spaced, withSpaces)) << '"' << text << '"';
    TWorkTableObject::Row expected = withSpaces.Rows()[0];
    expected.Set(ColText, text);
    EXPECT_EQ(withTabs.Rows()[0], expected) << '"' << text << '"';
  }
}

TEST(ParseStatement, LeavesTheColumnsOfDataRowsAlone) {
  for (const char* command : {"DATA_BYTE_ALLOCATION", "DATA_WORD_ALLOCATION"}) {
    OutputSink sink;
    TMq71R04_ASMParserObject parser(sink);
    TWorkTableObject table;
    table.AddRow("f.asm", "4", command, "18", "52", "", "", "");
    EXPECT_EQ(parser.ParseStatement(0, table), 0);
    EXPECT_EQ(table.Rows()[0],
              (TWorkTableObject::Row{"f.asm", "4", command, "18", "52", command, "", ""}));
    EXPECT_EQ(sink.Captured(), "");
  }
}

// Recognition of a statement on its own: the cells it does not decide keep what the caller put
// in them, and messages carry the file and line given.
TEST(RecogniseStatement, ReplacesOnlyTheCellsItDecides) {
  struct Case {
    std::string statement;
    int result;
    RecognisedCells expected;
    std::string output;
  };
  const std::string count = "[compiler error] g.asm(7): Invalid operand(s) count.\r\n";
  const std::string unknown = "[compiler error]g.asm(7): Unknown assembler command \"foo\".\r\n";
  const RecognisedCells unchanged = {"", "old1", "old2", "oldcode"};
  const Case cases[] = {
      {"mov a, b", 0, {"mov", "a", "b", "000001"}, ""},
      {"jmp\tloop", 0, {"jmp", "loop", "", "100000"}, ""},
      {"nop", 0, {"nop", "", "", "0000000000000000"}, ""},
      {"mov a, b, c", 1, {"mov", "old1", "old2", "000001"}, count},
      {"mov a b", 1, {"mov", "old1", "old2", "oldcode"}, ""},
      {"foo x", 1, {"foo", "old1", "old2", "oldcode"}, unknown},
      {"DATA_WORD_ALLOCATION", 0, {"DATA_WORD_ALLOCATION", "old1", "old2", "oldcode"}, ""},
      {"", 0, unchanged, ""},
      // Blanks and control codes around the list and its pieces are trimmed; a blank with nothing
      // after it leaves an empty list, which is malformed.
      {"mov  a ,\t b  ", 0, {"mov", "a", "b", "000001"}, ""},
      {"mov \x01z\x02, b", 0, {"mov", "z", "b", "000001"}, ""},
      {"mov\t", 1, {"mov", "old1", "old2", "oldcode"}, ""},
      {"mov ,", 1, {"mov", "old1", "old2", "oldcode"}, ""},
      // A control code other than a blank inside a piece belongs to it; a space or tab inside
      // one, even after such a code, makes the list malformed; one at a piece's end is trimmed.
      {"mov a\x01"
       "b,c",
       0,
       {"mov",
        "a\x01"
        "b",
        "c", "000001"},
       ""},
      {"mov a\x01 ,c\x02", 0, {"mov", "a", "c", "000001"}, ""},
      {"mov a\x01 b,c", 1, {"mov", "old1", "old2", "oldcode"}, ""},
      {"mov a,b\t\x01"
       "c",
       1,
       {"mov", "old1", "old2", "oldcode"},
       ""},
      {"mov a,,b", 1, {"mov", "old1", "old2", "oldcode"}, ""},
      {"mov a,b,", 1, {"mov", "old1", "old2", "oldcode"}, ""},
      {"nop x,y,z,w", 1, {"nop", "old1", "old2", "0000000000000000"}, count},
  };
  for (const Case& c : cases) {
    OutputSink sink;
    const TMq71R04_ASMParserObject parser(sink);
    RecognisedCells cells{"oldcommand", "old1", "old2", "oldcode"};
    EXPECT_EQ(parser.RecogniseStatement(c.statement, "g.asm", "7", cells), c.result) << c.statement;
    EXPECT_EQ(cells.Command, c.expected.Command) << c.statement;
    EXPECT_EQ(cells.Operand1, c.expected.Operand1) << c.statement;
    EXPECT_EQ(cells.Operand2, c.expected.Operand2) << c.statement;
    EXPECT_EQ(cells.Code, c.expected.Code) << c.statement;
    EXPECT_EQ(sink.Captured(), c.output) << c.statement;
  }
}

}  // namespace
