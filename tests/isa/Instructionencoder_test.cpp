#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "isa/Instructiontables.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "isa/Recognitionsupport.h"

namespace {

// One row as command recognition and label resolution leave it: the command, its operands and
// the table value of the command in the code column.
TWorkTableObject RowOf(const std::string& command, const std::string& operand1,
                       const std::string& operand2, const std::string& line = "7") {
  std::string code = "entry";
  for (const isa::TableRow& row : isa::InstructionTable) {
    if (row.Name == command) code = row.Value;
  }
  TWorkTableObject table;
  table.AddRow("f.asm", line, command, operand1, operand2, command, "", code);
  return table;
}

// A message of an instruction row at f.asm line 7.
std::string Error(const std::string& text) {
  return "[compiler error] f.asm(7): " + text + "\r\n";
}

struct EncodeCase {
  std::string command;
  std::string operand1;
  std::string operand2;
  std::string code;  // ColCode afterwards; on failure the entry value
};

// The row encodes without a message and leaves `c.code` in its code column.
void ExpectEncodedSilently(const EncodeCase& c) {
  OutputSink sink;
  TMq71R04_ASMParserObject parser(sink);
  TWorkTableObject table = RowOf(c.command, c.operand1, c.operand2);
  const std::string where = c.command + ' ' + c.operand1 + ", " + c.operand2;
  EXPECT_EQ(parser.TranslateLine(0, table), 0) << where;
  EXPECT_EQ(table.Cell(0, ColCode), c.code) << where;
  EXPECT_EQ(sink.Captured(), "") << where;
}

TEST(TranslateLine, EncodesTheWorkedWords) {
  // 0100100011 is the address 291 as ten binary digits.
  const EncodeCase cases[] = {
      {"mov", "a1", "b2", "0000010101000001b"},
      {"movl", "a3", "90", "0100101101000011b"},
      {"addl", "c0", "31", "0011001111110000b"},
      {"bisl", "a2", "7", "0011100011100010b"},
      {"neg", "d7", "", "0000000001011111b"},
      {"ldr", "#2", "72", "0010000001001010b"},
      {"ldr", "#5", "72", "0010001001000101b"},
      {"mtpr", "#3", "a5", "0000001001100101b"},
      {"mfpr", "a5", "#3", "0000001101100101b"},
      {"push", "#6", "", "0000000000010110b"},
      {"sst", "9", "", "0000000110001001b"},
      {"jmp", "0000001001", "", "1000000000001001b"},
      {"rtsc", "1", "", "0000000000001111b"},
      {"lrah", "a0", "0100100011", "0100000000100000b"},
      {"lral", "a0", "0100100011", "0100010001100000b"},
      {"lsah", "#1", "0100100011", "0010000000001001b"},
      {"lsal", "#1", "0100100011", "0010000100011001b"},
      {"DATA_BYTE_ALLOCATION", "18", "52", "4660"},
      {"DATA_WORD_ALLOCATION", "48879", "", "48879"},
  };
  for (const EncodeCase& c : cases) ExpectEncodedSilently(c);
}

// `zeros` zeros, then `tail`.
std::string Digits(size_t zeros, const std::string& tail) {
  std::string digits(zeros, '0');
  digits += tail;
  return digits;
}

// An address operand is read as its text with a "b" after it, however long the text is: a short
// and a long text of the same value give the same word.
TEST(TranslateLine, ReadsAddressTextsOfAnyLengthWithTheBinarySuffix) {
  const EncodeCase cases[] = {
      {"lral", "a0", Digits(30, "1"), "0100000000100000b"},
      {"lral", "a0", Digits(31, "1"), "0100000000100000b"},
      {"lral", "a0", Digits(40, "1"), "0100000000100000b"},
      {"lral", "a0", "0x7", "0100111101100000b"},  // read as 0x7b
      {"lral", "a0", "0x" + Digits(40, "7"), "0100111101100000b"},
      {"lsah", "#2", Digits(29, "11100000000"), "0010000000111010b"},
  };
  for (const EncodeCase& c : cases) ExpectEncodedSilently(c);
}

// Long operand texts: a jump copies its address text as it stands, however long, and a long
// number text gives the same word as a short one.
TEST(TranslateLine, LongOperandTextsGiveWholeWords) {
  const EncodeCase cases[] = {
      {"jmp", Digits(60, "11"), "", "100000" + Digits(60, "11") + "b"},
      {"jsr", Digits(200, "1"), "", "100100" + Digits(200, "1") + "b"},
      {"sst", Digits(70, "1001b"), "", "0000000110001001b"},
      {"movl", "a3", Digits(90, "1011010b"), "0100101101000011b"},
  };
  for (const EncodeCase& c : cases) ExpectEncodedSilently(c);
}

TEST(TranslateLine, EncodesTheFieldsOfEveryFormat) {
  const EncodeCase cases[] = {
      // registers in any case; both register banks' ends
      {"mov", "A1", "B2", "0000010101000001b"},
      {"xor", "d7", "a0", "0001110000011111b"},
      {"cmpl", "b1", "0xff", "0111111111101001b"},
      {"cmpl", "b1", "0", "0110000000001001b"},
      {"subl", "a0", "10b", "0010110001000000b"},
      {"bttl", "c7", "0fh", "0011010111110111b"},
      {"sbc", "a7", "", "0000000101000111b"},
      // ldr shifts the constant for #0 to #3 only
      {"ldr", "#0", "7", "0010000000000000b"},
      {"ldr", "#3", "255", "0010000011111011b"},
      {"ldr", "#4", "255", "0010011111111100b"},
      {"ldr", "#7", "0", "0010000000000111b"},
      {"pop", "#0", "", "0000000000011000b"},
      {"cst", "0", "", "0000000111000000b"},
      {"cst", "0xf", "", "0000000111001111b"},
      {"tof", "", "", "0000000000000100b"},
      {"sksp", "", "", "0000000000000110b"},
      {"ijsr", "", "", "0000000000000111b"},
      {"rtsc", "0", "", "0000000000001110b"},
      {"jc", "1111111111", "", "1111001111111111b"},
      // the address is copied as it stands, whatever it is
      {"jsr", "label", "", "100100labelb"},
      // lral and lsal take the low byte, lrah and lsah the rest; lsal never shifts
      {"lral", "b0", "11111111111", "0101111111101000b"},
      {"lrah", "b0", "11111111111", "0100000011101000b"},
      {"lsah", "#2", "11111111111", "0010000000111010b"},
      {"lsal", "#2", "0001001000", "0010001001000010b"},
      {"lrah", "a0", "0", "0100000000000000b"},
      // the mnemonic is looked up ignoring case here
      {"MOV", "a1", "b2", "entry0101000001b"},
  };
  for (const EncodeCase& c : cases) ExpectEncodedSilently(c);
}

struct FailureCase {
  std::string command;
  std::string operand1;
  std::string operand2;
  std::vector<std::string> messages;  // in order
};

const std::string SyntaxWrongRegister = "Syntax error. Wrong register name.";
const std::string WrongRegister = "Wrong register name.";
const std::string ConstantNotNumeric = "Wrong value of constant.Value must be numeric.";
const std::string ConstantNegative = "Wrong value of constant. Value must be positive or 0.";
const std::string Above0xff = "Wrong value of constant. Value must belong range 0...0xff.";
const std::string Above0x1f = "Wrong value of constant. Value must belong range 0...0x1f.";
const std::string Above0xf = "Wrong value of constant. Value must belong range 0...0xf.";
const std::string NoOperands = "Syntax error. Instruction does not require operands.";
const std::string AddressNotNumeric = "Wrong value of address. Value must be numeric.";
const std::string AddressNegative = "Wrong value of address. Value must be positive or 0.";
const std::string Above0x7ff = "Wrong value of address. Value must belong range 0...0x7ff .";
const std::string FlagNotNumeric = "Wrong value of flag. Value must be numeric.";
const std::string FlagNotABit = "Wrong value of flag. Value must be 0 or 1.";

TEST(TranslateLine, ReportsFaultsInTheOrderOfEachFormat) {
  const FailureCase cases[] = {
      // two registers
      {"mov", "a0", "x", {SyntaxWrongRegister}},
      {"add", "e1", "a0", {SyntaxWrongRegister}},
      {"sub", "a0", "", {SyntaxWrongRegister}},
      // register and constant: a wrong register does not stop the constant's checks
      {"movl", "x", "300", {SyntaxWrongRegister, Above0xff}},
      {"movl", "x", "abc", {SyntaxWrongRegister, ConstantNotNumeric}},
      {"movl", "x", "-1", {SyntaxWrongRegister, ConstantNegative}},
      {"movl", "x", "5", {SyntaxWrongRegister}},
      {"movl", "a0", "256", {Above0xff}},
      {"cmpl", "a0", "", {ConstantNotNumeric}},
      {"movl", "a0", "-1", {ConstantNegative}},
      {"addl", "a0", "32", {Above0x1f}},
      {"addl", "x", "3", {WrongRegister}},
      {"subl", "x", "0x20", {WrongRegister, Above0x1f}},
      {"bisl", "a0", "16", {Above0xf}},
      {"bich", "#1", "1", {WrongRegister}},
      {"btgh", "a0", "-5", {ConstantNegative}},
      // one register
      {"neg", "x", "", {SyntaxWrongRegister}},
      {"neg", "a0", "a1", {SyntaxWrongRegister}},
      {"swap", "", "", {SyntaxWrongRegister}},
      // ldr: the range applies before the shift
      {"ldr", "#2", "256", {Above0xff}},
      {"ldr", "a0", "256", {SyntaxWrongRegister, Above0xff}},
      {"ldr", "#8", "1", {SyntaxWrongRegister}},
      {"ldr", "#0", "x", {ConstantNotNumeric}},
      // special register and register
      {"mtpr", "#8", "a0", {WrongRegister}},
      {"mtpr", "#1", "x", {WrongRegister}},
      {"mfpr", "#1", "a0", {WrongRegister}},
      {"mfpr", "a0", "", {WrongRegister}},
      {"push", "a0", "", {SyntaxWrongRegister}},
      {"pop", "#1", "#2", {SyntaxWrongRegister}},
      // four-bit constant alone: a second operand is checked first
      {"sst", "16", "", {Above0xf}},
      {"sst", "x", "a0", {SyntaxWrongRegister}},
      {"cst", "x", "", {ConstantNotNumeric}},
      {"cst", "", "", {ConstantNotNumeric}},
      {"cst", "-1", "", {ConstantNegative}},
      // no operands
      {"nop", "x", "", {NoOperands}},
      {"tof", "", "x", {NoOperands}},
      {"rts", "1", "2", {NoOperands}},
      // jumps: only a second operand is refused, even when the first is fine
      {"jmp", "0000001001", "x", {"Syntax error. Wrong address value."}},
      // flag
      {"rtsc", "2", "", {FlagNotABit}},
      {"rtsc", "-1", "", {FlagNotABit}},
      {"rtsc", "", "", {FlagNotNumeric}},
      {"rtsc", "1", "x", {"Syntax error. Invalid flag value."}},
      // address loads: a wrong register stops before the address is tested
      {"lrah", "x", "2", {SyntaxWrongRegister}},
      {"lsal", "a0", "0100100011", {SyntaxWrongRegister}},
      {"lral", "a0", "2", {AddressNotNumeric}},
      {"lsah", "#1", "100000000000", {Above0x7ff}},
      {"lrah", "a0", "1" + std::string(31, '0'), {AddressNegative}},
  };
  for (const FailureCase& c : cases) {
    OutputSink sink;
    TMq71R04_ASMParserObject parser(sink);
    TWorkTableObject table = RowOf(c.command, c.operand1, c.operand2);
    const TWorkTableObject before = table;
    std::string expected;
    for (const std::string& message : c.messages) expected += Error(message);
    EXPECT_EQ(parser.TranslateLine(0, table), 1) << c.command << ' ' << c.operand1;
    EXPECT_EQ(sink.Captured(), expected) << c.command << ' ' << c.operand1;
    EXPECT_EQ(table.Rows(), before.Rows()) << c.command << ' ' << c.operand1;
    EXPECT_EQ(sink.LastDataMessage, "");
  }
}

TEST(TranslateLine, MessagesNameTheRowsFileAndLine) {
  OutputSink sink;
  TMq71R04_ASMParserObject parser(sink);
  TWorkTableObject table;
  table.AddRow("lib%s.inc", "12", "nop 1", "1", "", "nop", "", "0000000000000000");
  EXPECT_EQ(parser.TranslateLine(0, table), 1);
  EXPECT_EQ(sink.Captured(),
            "[compiler error] lib%s.inc(12): Syntax error. Instruction does not require "
            "operands.\r\n");
}

TEST(TranslateLine, AnUnknownCommandFailsSilentlyAndChangesNothing) {
  OutputSink sink;
  TMq71R04_ASMParserObject parser(sink);
  for (const char* command : {"foo", "", "data_byte_allocation"}) {
    TWorkTableObject table = RowOf(command, "1", "2");
    const TWorkTableObject before = table;
    EXPECT_EQ(parser.TranslateLine(0, table), 1) << command;
    EXPECT_EQ(table.Rows(), before.Rows()) << command;
  }
  EXPECT_EQ(sink.Captured(), "");
}

struct DataCase {
  std::string command;
  std::string value1;
  std::string value2;
  int result;
  std::string code;  // "entry" when unchanged
  std::string message;
};

const std::string DataNotNumeric = "Wrong value of operand. Value must be numeric.";
const std::string DataNegative = "Wrong value of operand. Value must be positive or 0.";
const std::string DataAbove0xff = "Wrong value of operand. Value must belong range 0...0xff.";

TEST(TranslateLine, EncodesDataWordsAndEmptiesTheirOperandColumns) {
  const std::string byte = "DATA_BYTE_ALLOCATION";
  const std::string word = "DATA_WORD_ALLOCATION";
  const DataCase cases[] = {
      {byte, "0xff", "0", 0, "65280", ""},
      {byte, "255", "255", 0, "65535", ""},
      {byte, "0", "0", 0, "0", ""},
      {byte, "1", "", 1, "entry", DataNotNumeric},  // the empty text is no number
      {byte, "0", "256", 1, "entry", DataAbove0xff},
      {byte, "-1", "0", 1, "entry", DataNegative},
      {byte, "-1", "256", 1, "entry", DataAbove0xff},  // range before sign, over both bytes
      {byte, "256", "x", 1, "entry", DataNotNumeric},  // numeric before range
      {word, "65535", "", 0, "65535", ""},
      {word, "0xffff", "", 0, "65535", ""},
      {word, "1111111111111111b", "", 0, "65535", ""},
      {word, "65536", "", 1, "entry",
       "Wrong value of operand. Value must belong range 0...0xffff."},
      {word, "-5", "", 1, "entry", DataNegative},
      {word, "abc", "", 1, "entry", DataNotNumeric},
  };
  for (const DataCase& c : cases) {
    OutputSink sink;
    TMq71R04_ASMParserObject parser(sink);
    TWorkTableObject table;
    table.AddRow("f.asm", "7", c.command, c.value1, c.value2, c.command, "", "entry");
    EXPECT_EQ(parser.TranslateLine(0, table), c.result) << c.value1 << ' ' << c.value2;
    EXPECT_EQ(table.Cell(0, ColCode), c.code) << c.value1 << ' ' << c.value2;
    EXPECT_EQ(table.Cell(0, ColOperand1), "");
    // a word row leaves its second column as it was
    EXPECT_EQ(table.Cell(0, ColOperand2), c.command == word ? c.value2 : "");
    EXPECT_EQ(sink.Captured(), c.message.empty() ? "" : Error(c.message))
        << c.value1 << ' ' << c.value2;
  }
}

// Rows of one run on one sink, a fresh object per row as the encoding pass makes them.
struct RunRow {
  std::string command;
  std::string line;
  std::string operand1;
  bool printed;
};

TEST(DataMessageFilter, PrintsARepeatedDataFaultOnce) {
  const std::string word = "DATA_WORD_ALLOCATION";
  const RunRow rows[] = {
      {word, "5", "x", true},
      {word, "5", "y", false},     // same text: same message
      {word, "6", "x", true},      // another line
      {word, "6", "70000", true},  // another message on the same line
      {word, "6", "x", true},      // only the last message is remembered
      {"nop", "6", "1", true},     // instruction messages are not filtered ...
      {word, "6", "x", false},     // ... and do not change the memory
      {"nop", "6", "1", true},
      {"nop", "6", "1", true},
      {"DATA_BYTE_ALLOCATION", "6", "x", false},
  };
  OutputSink sink;
  for (const RunRow& row : rows) {
    TMq71R04_ASMParserObject parser(sink);
    TWorkTableObject table = RowOf(row.command, row.operand1, "", row.line);
    const std::string before = sink.Captured();
    EXPECT_EQ(parser.TranslateLine(0, table), 1);
    EXPECT_EQ(sink.Captured() != before, row.printed) << row.command << " line " << row.line;
  }
  EXPECT_EQ(sink.LastDataMessage,
            "[compiler error] f.asm(6): Wrong value of operand. Value must be numeric.");
}

TEST(DataMessageFilter, AFreshSinkStartsWithAnEmptyMemory) {
  OutputSink sink;
  EXPECT_EQ(sink.LastDataMessage, "");
  TMq71R04_ASMParserObject parser(sink);
  TWorkTableObject table = RowOf("DATA_WORD_ALLOCATION", "x", "");
  EXPECT_EQ(parser.TranslateLine(0, table), 1);
  EXPECT_EQ(sink.Captured(), Error(DataNotNumeric));
}

TEST(DataMessageFilter, PrintsTheFormattedTextUnchanged) {
  OutputSink sink;
  TMq71R04_ASMParserObject parser(sink);
  TWorkTableObject table;
  table.AddRow("%s%i.asm", "%s", "", "x", "1", "DATA_BYTE_ALLOCATION", "", "");
  EXPECT_EQ(parser.TranslateLine(0, table), 1);
  EXPECT_EQ(sink.Captured(), "[compiler error] %s%i.asm(%s): " + DataNotNumeric + "\r\n");
}

}  // namespace

namespace {

const char* const Mnemonics[] = {
    "mov",  "cmp",  "add",  "sub",  "and",  "or",   "xor",  "movl", "cmpl", "addl", "subl", "bich",
    "bicl", "bish", "bisl", "btgh", "btgl", "btth", "bttl", "swap", "neg",  "not",  "shl",  "shr",
    "shra", "rlc",  "rrc",  "adc",  "sbc",  "ldr",  "mtpr", "mfpr", "push", "pop",  "sst",  "cst",
    "tof",  "tdc",  "jmp",  "jsr",  "jnz",  "jz",   "jns",  "js",   "jnc",  "jc",   "ijmp", "ijsr",
    "rts",  "rti",  "rtsc", "nop",  "wait", "slp",  "rst",  "sksp", "lrah", "lral", "lsah", "lsal"};

bool IsJump(const std::string& mnemonic) {
  return mnemonic[0] == 'j';
}

// Statements made of every mnemonic and a pool of good and bad operands, recognised and then
// encoded: an encoded word is always sixteen binary digits (jumps aside, which copy their
// address text), and a failed instruction always says why.
TEST(TranslateLine, RecognisedInstructionsGiveSixteenBitsOrAMessage) {
  const std::vector<std::string> pool = {
      "a0",  "D7", "#0",  "#3",    "#4",  "#9",         "x",   "0",  "1",    "15",   "0x1f",
      "255", "-1", "256", "0x7ff", "11b", "1111111111", "17o", "2h", "$ff0", "\x7f", "b"};
  uint32_t seed = 12345;
  const auto next = [&seed](size_t bound) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<size_t>((seed >> 8) % bound);
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string mnemonic = Mnemonics[next(std::size(Mnemonics))];
    std::string statement = mnemonic;
    const size_t operandCount = next(3);
    for (size_t i = 0; i < operandCount; ++i) {
      statement += (i == 0 ? " " : ", ") + pool[next(pool.size())];
    }
    OutputSink sink;
    TWorkTableObject table;
    table.AddRow("f.asm", "1", statement, "$", "$", "$", "", "$");
    ASSERT_EQ(RecogniseRow(TMq71R04_ASMParserObject(sink), table, 0), 0) << statement;
    const int result = TMq71R04_ASMParserObject(sink).TranslateLine(0, table);
    const std::string code(table.Cell(0, ColCode));
    if (result != 0) {
      EXPECT_NE(sink.Captured(), "") << statement;
      continue;
    }
    EXPECT_EQ(sink.Captured(), "") << statement;
    if (IsJump(mnemonic)) continue;
    ASSERT_EQ(code.size(), 17u) << statement;
    EXPECT_EQ(code.find_first_not_of("01"), 16u) << statement;
    EXPECT_EQ(code.back(), 'b') << statement;
  }
}

}  // namespace
