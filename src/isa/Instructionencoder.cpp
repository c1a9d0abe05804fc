// The encoder of the instruction set object: one table of the fifteen instruction formats, read
// by one small loop, and the two kinds of data word.

#include <array>
#include <cstdint>
#include <string>

#include "isa/Mq71r04_asmparserobject.h"
#include "support/Textutils.h"

namespace {

// Messages of the instruction checks.
constexpr std::string_view SyntaxWrongRegister =
    "[compiler error] %s(%s): Syntax error. Wrong register name.";
constexpr std::string_view WrongRegister = "[compiler error] %s(%s): Wrong register name.";
constexpr std::string_view ConstantNotNumeric =
    "[compiler error] %s(%s): Wrong value of constant.Value must be numeric.";
constexpr std::string_view ConstantAbove0xff =
    "[compiler error] %s(%s): Wrong value of constant. Value must belong range 0...0xff.";
constexpr std::string_view ConstantAbove0x1f =
    "[compiler error] %s(%s): Wrong value of constant. Value must belong range 0...0x1f.";
constexpr std::string_view ConstantAbove0xf =
    "[compiler error] %s(%s): Wrong value of constant. Value must belong range 0...0xf.";
constexpr std::string_view ConstantNegative =
    "[compiler error] %s(%s): Wrong value of constant. Value must be positive or 0.";
constexpr std::string_view OperandsNotAllowed =
    "[compiler error] %s(%s): Syntax error. Instruction does not require operands.";
constexpr std::string_view SecondJumpOperand =
    "[compiler error] %s(%s): Syntax error. Wrong address value.";
constexpr std::string_view SecondFlagOperand =
    "[compiler error] %s(%s): Syntax error. Invalid flag value.";
constexpr std::string_view FlagNotNumeric =
    "[compiler error] %s(%s): Wrong value of flag. Value must be numeric.";
constexpr std::string_view FlagNotABit =
    "[compiler error] %s(%s): Wrong value of flag. Value must be 0 or 1.";
constexpr std::string_view AddressNotNumeric =
    "[compiler error] %s(%s): Wrong value of address. Value must be numeric.";
constexpr std::string_view AddressAbove0x7ff =
    "[compiler error] %s(%s): Wrong value of address. Value must belong range 0...0x7ff .";
constexpr std::string_view AddressNegative =
    "[compiler error] %s(%s): Wrong value of address. Value must be positive or 0.";

// Messages of the data words.
constexpr std::string_view DataNotNumeric =
    "[compiler error] %s(%s): Wrong value of operand. Value must be numeric.";
constexpr std::string_view DataAbove0xff =
    "[compiler error] %s(%s): Wrong value of operand. Value must belong range 0...0xff.";
constexpr std::string_view DataAbove0xffff =
    "[compiler error] %s(%s): Wrong value of operand. Value must belong range 0...0xffff.";
constexpr std::string_view DataNegative =
    "[compiler error] %s(%s): Wrong value of operand. Value must be positive or 0.";

enum class OperandKind { None, Register, SpecialRegister, Value, JumpAddress };

// Room for an encoded word as BuildWord reckons it before writing (the opcode, two of the longest
// fields, the first operand's text and the suffix), for every operand text of a ten-digit address.
using WordBuffer = std::array<char, 64>;

// The row's cells, read in place: Cell checks the row as every access does, once for all cells.
// The reference lasts while no row is added or removed.
const TWorkTableObject::Row& CheckedRow(const TWorkTableObject& table, int row) {
  table.Cell(row, 0);
  return table.Rows()[static_cast<size_t>(row)];
}

// How the value operand is read: as a number, or as the binary digits of a resolved address.
enum class ValueReading { Number, BinaryAddress };

// What of the checked value goes into the word.
enum class ValueShaping { AsWritten, EighthForLowSpecials, HighByte, LowByte };

// The fields after the opcode, bit 15 side first.
enum class Field { Unused, Operand1Code, Operand2Code, ValueBits, Operand1Text };

enum class Check {
  Done,
  RegistersFound,         // every register operand is in its table, or message and stop
  RegistersFoundOrNoted,  // a missing register prints its message; the row fails at NothingNoted
  Operand1Empty,
  Operand2Empty,
  ValueNumeric,
  ValueAtMostMaximum,
  ValueNotNegative,
  NothingNoted,  // fails without a message when RegistersFoundOrNoted found a miss
};

// One check of a format; every check but RegistersFoundOrNoted ends the row when it fails.
struct CheckStep {
  Check Kind = Check::Done;
  std::string_view Message;
};

struct InstructionFormat {
  int FirstPosition;
  int LastPosition;
  std::string_view FixedOpcode;  // empty: the opcode command recognition put in the code column
  std::array<OperandKind, 2> Operands;
  ValueReading Reading;
  int32_t Maximum;
  int ValueWidth;
  ValueShaping Shaping;
  std::array<Field, 2> Fields;
  std::array<CheckStep, 5> Checks;
};

using Checks = std::array<CheckStep, 5>;

// movl, addl, bisl and ldr: the register message does not stop the constant's checks.
constexpr Checks ConstantChecks(std::string_view registerMessage, std::string_view rangeMessage) {
  return {{{Check::RegistersFoundOrNoted, registerMessage},
           {Check::ValueNumeric, ConstantNotNumeric},
           {Check::ValueAtMostMaximum, rangeMessage},
           {Check::ValueNotNegative, ConstantNegative},
           {Check::NothingNoted, {}}}};
}

// lrah, lral, lsah, lsal: a wrong register stops before the address is tested.
constexpr Checks AddressChecks = {{{Check::RegistersFound, SyntaxWrongRegister},
                                   {Check::ValueNumeric, AddressNotNumeric},
                                   {Check::ValueAtMostMaximum, AddressAbove0x7ff},
                                   {Check::ValueNotNegative, AddressNegative}}};

constexpr Checks NoOperandChecks = {
    {{Check::Operand1Empty, OperandsNotAllowed}, {Check::Operand2Empty, OperandsNotAllowed}}};

constexpr Checks SingleRegisterChecks = {
    {{Check::RegistersFound, SyntaxWrongRegister}, {Check::Operand2Empty, SyntaxWrongRegister}}};

using enum OperandKind;
using enum ValueReading;
using enum ValueShaping;
using enum Field;

// Formats by table position. Register codes take 5 bits, special register codes 3.
// clang-format off
constexpr std::array<InstructionFormat, 19> Formats = {{
    // mov reg1, reg2  ->  oooooo rrrrr(reg2) rrrrr(reg1)
    {0, 6, {}, {Register, Register}, Number, 0, 0, AsWritten,
     {Operand2Code, Operand1Code}, {{{Check::RegistersFound, SyntaxWrongRegister}}}},
    // movl reg, const8  ->  ooo cccccccc rrrrr
    {7, 8, {}, {Register, Value}, Number, 0xff, 8, AsWritten,
     {ValueBits, Operand1Code}, ConstantChecks(SyntaxWrongRegister, ConstantAbove0xff)},
    // addl reg, const5  ->  oooooo ccccc rrrrr
    {9, 10, {}, {Register, Value}, Number, 0x1f, 5, AsWritten,
     {ValueBits, Operand1Code}, ConstantChecks(WrongRegister, ConstantAbove0x1f)},
    // bisl reg, const4  ->  ooooooo cccc rrrrr
    {11, 18, {}, {Register, Value}, Number, 0xf, 4, AsWritten,
     {ValueBits, Operand1Code}, ConstantChecks(WrongRegister, ConstantAbove0xf)},
    // neg reg  ->  ooooooooooo rrrrr
    {19, 28, {}, {Register, None}, Number, 0, 0, AsWritten,
     {Operand1Code, Unused}, SingleRegisterChecks},
    // ldr #s, const8  ->  00100 cccccccc sss  (const8 / 8 for #0 to #3)
    {29, 29, {}, {SpecialRegister, Value}, Number, 0xff, 8, EighthForLowSpecials,
     {ValueBits, Operand1Code}, ConstantChecks(SyntaxWrongRegister, ConstantAbove0xff)},
    // mtpr #s, reg  ->  00000010 sss rrrrr
    {30, 30, {}, {SpecialRegister, Register}, Number, 0, 0, AsWritten,
     {Operand1Code, Operand2Code}, {{{Check::RegistersFound, WrongRegister}}}},
    // mfpr reg, #s  ->  00000011 sss rrrrr
    {31, 31, {}, {Register, SpecialRegister}, Number, 0, 0, AsWritten,
     {Operand2Code, Operand1Code}, {{{Check::RegistersFound, WrongRegister}}}},
    // push #s  ->  ooooooooooooo sss
    {32, 33, {}, {SpecialRegister, None}, Number, 0, 0, AsWritten,
     {Operand1Code, Unused}, SingleRegisterChecks},
    // sst const4  ->  oooooooooooo cccc
    {34, 35, {}, {Value, None}, Number, 0xf, 4, AsWritten,
     {ValueBits, Unused}, {{{Check::Operand2Empty, SyntaxWrongRegister},
                            {Check::ValueNumeric, ConstantNotNumeric},
                            {Check::ValueAtMostMaximum, ConstantAbove0xf},
                            {Check::ValueNotNegative, ConstantNegative}}}},
    // tof  ->  oooooooooooooooo
    {36, 37, {}, {None, None}, Number, 0, 0, AsWritten, {Unused, Unused}, NoOperandChecks},
    // jmp address  ->  oooooo aaaaaaaaaa  (the resolved address text, copied as it stands)
    {38, 45, {}, {JumpAddress, None}, Number, 0, 0, AsWritten,
     {Operand1Text, Unused}, {{{Check::Operand2Empty, SecondJumpOperand}}}},
    // rts  ->  oooooooooooooooo
    {46, 49, {}, {None, None}, Number, 0, 0, AsWritten, {Unused, Unused}, NoOperandChecks},
    // rtsc flag  ->  ooooooooooooooo f
    {50, 50, {}, {Value, None}, Number, 1, 1, AsWritten,
     {ValueBits, Unused}, {{{Check::Operand2Empty, SecondFlagOperand},
                            {Check::ValueNumeric, FlagNotNumeric},
                            {Check::ValueAtMostMaximum, FlagNotABit},
                            {Check::ValueNotNegative, FlagNotABit}}}},
    // nop  ->  oooooooooooooooo
    {51, 55, {}, {None, None}, Number, 0, 0, AsWritten, {Unused, Unused}, NoOperandChecks},
    // lrah reg, address  ->  010 (address >> 8) rrrrr
    {56, 56, "010", {Register, Value}, BinaryAddress, 0x7ff, 8, HighByte,
     {ValueBits, Operand1Code}, AddressChecks},
    // lral reg, address  ->  010 (address & 0xff) rrrrr
    {57, 57, "010", {Register, Value}, BinaryAddress, 0x7ff, 8, LowByte,
     {ValueBits, Operand1Code}, AddressChecks},
    // lsah #s, address  ->  00100 (address >> 8) sss
    {58, 58, "00100", {SpecialRegister, Value}, BinaryAddress, 0x7ff, 8, HighByte,
     {ValueBits, Operand1Code}, AddressChecks},
    // lsal #s, address  ->  00100 (address & 0xff) sss
    {59, 59, "00100", {SpecialRegister, Value}, BinaryAddress, 0x7ff, 8, LowByte,
     {ValueBits, Operand1Code}, AddressChecks},
}};
// clang-format on

// Every format's checks are its steps followed by unused (Done) steps only, so that the checks
// of a row can stop at the first Done.
constexpr bool ChecksEndAtFirstDone() {
  for (const InstructionFormat& format : Formats) {
    bool done = false;
    for (const CheckStep& step : format.Checks) {
      if (done && step.Kind != Check::Done) return false;
      done = done || step.Kind == Check::Done;
    }
  }
  return true;
}
static_assert(ChecksEndAtFirstDone());

// The format of each instruction position, looked up directly for every row; -1 where none.
constexpr int PositionCount = Formats.back().LastPosition + 1;
constexpr std::array<int8_t, PositionCount> FormatOfPosition = [] {
  std::array<int8_t, PositionCount> index{};
  index.fill(-1);
  for (size_t f = 0; f < Formats.size(); ++f) {
    for (int position = Formats[f].FirstPosition; position <= Formats[f].LastPosition; ++position) {
      index[static_cast<size_t>(position)] = static_cast<int8_t>(f);
    }
  }
  return index;
}();

const InstructionFormat* FormatAt(int position) {
  if (position < 0 || position >= PositionCount) return nullptr;
  const int format = FormatOfPosition[static_cast<size_t>(position)];
  return format < 0 ? nullptr : &Formats[static_cast<size_t>(format)];
}

// The operands of one instruction row as the checks and the word need them. The texts are views
// of the row's operand cells and the codes views of the register tables: the row's code cell is
// the only one written, after the word is built.
struct RowOperands {
  std::array<std::string_view, 2> Texts;
  std::array<std::string_view, 2> Codes;  // table values of register operands
  bool AllRegistersFound = true;
  int32_t Value = 0;
};

// ldr shifts for the first four special registers only, and only as written: "#0" to "#3".
bool IsLowSpecialRegister(std::string_view text) {
  return text.size() == 2 && text[0] == '#' && text[1] >= '0' && text[1] <= '3';
}

int32_t ShapeValue(const InstructionFormat& format, const RowOperands& operands) {
  switch (format.Shaping) {
    case EighthForLowSpecials:
      return IsLowSpecialRegister(operands.Texts[0]) ? operands.Value >> 3 : operands.Value;
    case HighByte:
      return operands.Value >> 8;
    case LowByte:
      return operands.Value & 0xff;
    case AsWritten:
      break;
  }
  return operands.Value;
}

int32_t ReadValue(const TMq71R04_ASMParserObject& parser, ValueReading reading,
                  std::string_view text) {
  if (reading == Number) return parser.ParseNumber(text);
  // A resolved address is ten binary digits without their suffix, and the number reading takes
  // binary digits with the suffix "b" as exactly their value: read directly, they need no suffix.
  int32_t value = 0;
  if (TMq71R04_ASMParserObject::BinaryToInt(text, value)) return value;
  // Any other text is read with the suffix, put together on the stack when it fits.
  std::array<char, 32> suffixed;
  if (text.size() >= suffixed.size()) return parser.ParseNumber(std::string(text) + "b");
  text.copy(suffixed.data(), text.size());
  suffixed[text.size()] = 'b';
  return parser.ParseNumber(std::string_view(suffixed.data(), text.size() + 1));
}

// The operands of a row read as the format wants them: register operands looked up in their
// table, the value operand converted.
RowOperands ReadOperands(const TMq71R04_ASMParserObject& parser, const InstructionFormat& format,
                         const TWorkTableObject::Row& cells) {
  RowOperands operands;
  for (size_t i = 0; i < 2; ++i) {
    const std::string_view text = cells[ColOperand1 + static_cast<int>(i)];
    operands.Texts[i] = text;
    int found = 0;
    switch (format.Operands[i]) {
      case Register:
        operands.Codes[i] = parser.RegisterValueViewOf(text);
        found = operands.Codes[i].empty() ? -1 : 0;
        break;
      case SpecialRegister:
        operands.Codes[i] = parser.SpecialRegisterValueViewOf(text);
        found = operands.Codes[i].empty() ? -1 : 0;
        break;
      case Value:
        operands.Value = ReadValue(parser, format.Reading, text);
        break;
      case None:
      case JumpAddress:
        break;
    }
    if (found < 0) operands.AllRegistersFound = false;
  }
  return operands;
}

// What the checks of a format found: the messages to print, in order, and whether the row fails.
// At most two messages: a noted register miss and the fault that ends the checks.
struct CheckOutcome {
  std::array<std::string_view, 2> Messages;
  size_t MessageCount = 0;
  bool Failed = false;
};

bool Passes(Check kind, const InstructionFormat& format, const RowOperands& operands) {
  switch (kind) {
    case Check::RegistersFound:
      return operands.AllRegistersFound;
    case Check::Operand1Empty:
      return operands.Texts[0].empty();
    case Check::Operand2Empty:
      return operands.Texts[1].empty();
    case Check::ValueNumeric:
      return operands.Value != TMq71R04_ASMParserObject::InvalidNumber;
    case Check::ValueAtMostMaximum:
      return operands.Value <= format.Maximum;
    case Check::ValueNotNegative:
      return operands.Value >= 0;
    case Check::Done:
    case Check::RegistersFoundOrNoted:
    case Check::NothingNoted:
      break;
  }
  return true;
}

CheckOutcome RunChecks(const InstructionFormat& format, const RowOperands& operands) {
  CheckOutcome outcome;
  for (const CheckStep& step : format.Checks) {
    // Only unused steps follow the first Done (checked where the table is made).
    if (step.Kind == Check::Done) break;
    if (step.Kind == Check::RegistersFoundOrNoted && !operands.AllRegistersFound) {
      outcome.Messages[outcome.MessageCount++] = step.Message;
      outcome.Failed = true;
    } else if (step.Kind == Check::NothingNoted && outcome.Failed) {
      return outcome;
    } else if (!Passes(step.Kind, format, operands)) {
      outcome.Messages[outcome.MessageCount++] = step.Message;
      outcome.Failed = true;
      return outcome;
    }
  }
  return outcome;
}

// The opcode, then the fields in word order, then the binary suffix, written straight into
// `buffer`, or into `spill` when a long operand text might not fit; the view is of either.
std::string_view BuildWord(const InstructionFormat& format, const RowOperands& operands,
                           std::string_view entryCode, WordBuffer& buffer, std::string& spill) {
  const std::string_view opcode = format.FixedOpcode.empty() ? entryCode : format.FixedOpcode;
  // At most two fields, each a table code or bit field of at most LongestBitField digits or the
  // first operand's text, and the suffix.
  const size_t longest =
      opcode.size() + 2 * TMq71R04_ASMParserObject::LongestBitField + operands.Texts[0].size() + 1;
  char* text = buffer.data();
  if (longest > buffer.size()) {
    spill.resize(longest);
    text = spill.data();
  }
  char* at = text;
  const auto put = [&at](std::string_view piece) {
    // Pieces are a few characters each: copied without a library call.
    MoveShortText(at, piece.data(), piece.size());
    at += piece.size();
  };
  put(opcode);
  std::array<char, TMq71R04_ASMParserObject::LongestBitField> valueBits;
  for (Field field : format.Fields) {
    switch (field) {
      case Operand1Code:
        put(operands.Codes[0]);
        break;
      case Operand2Code:
        put(operands.Codes[1]);
        break;
      case ValueBits:
        put(TMq71R04_ASMParserObject::WriteBits(valueBits, ShapeValue(format, operands),
                                                format.ValueWidth));
        break;
      case Operand1Text:
        put(operands.Texts[0]);
        break;
      case Unused:
        break;
    }
  }
  *at++ = 'b';
  return std::string_view(text, static_cast<size_t>(at - text));
}

// Non-empty when the data values fail; the checks run over all values at once, numeric first.
template <size_t Count>
std::string_view DataFault(const std::array<int32_t, Count>& values, int32_t maximum,
                           std::string_view rangeMessage) {
  const auto any = [&values](auto predicate) {
    for (int32_t value : values) {
      if (predicate(value)) return true;
    }
    return false;
  };
  if (any([](int32_t v) { return v == TMq71R04_ASMParserObject::InvalidNumber; })) {
    return DataNotNumeric;
  }
  if (any([maximum](int32_t v) { return v > maximum; })) return rangeMessage;
  if (any([](int32_t v) { return v < 0; })) return DataNegative;
  return {};
}

}  // namespace

int TMq71R04_ASMParserObject::TranslateLine(int row, TWorkTableObject& table) {
  const TWorkTableObject::Row& cells = CheckedRow(table, row);
  const std::string_view command = cells[ColCommand];
  if (command == DataWordCommand) return EncodeDataWord(row, table);
  if (command == DataByteCommand) return EncodeDataByte(row, table);
  // An unknown command was reported by command recognition already.
  const int position = FindInstruction(command);
  if (position < 0) return 1;
  return EncodeInstruction(position, row, cells, table);
}

int TMq71R04_ASMParserObject::EncodeInstruction(int position, int row,
                                                const TWorkTableObject::Row& cells,
                                                TWorkTableObject& table) const {
  const InstructionFormat* format = FormatAt(position);
  if (format == nullptr) return 1;
  const RowOperands operands = ReadOperands(*this, *format, cells);
  const CheckOutcome outcome = RunChecks(*format, operands);
  for (size_t i = 0; i < outcome.MessageCount; ++i) Report(outcome.Messages[i], row, table);
  if (outcome.Failed) return 1;
  WordBuffer buffer;
  std::string spill;
  table.SetItem(row, ColCode, BuildWord(*format, operands, cells[ColCode], buffer, spill));
  return 0;
}

// .byte pairs: the first byte is the word's high byte. The operand columns are emptied before
// the checks, so also on failure.
int TMq71R04_ASMParserObject::EncodeDataByte(int row, TWorkTableObject& table) const {
  const std::array<int32_t, 2> bytes = {ParseNumber(table.Cell(row, ColOperand1)),
                                        ParseNumber(table.Cell(row, ColOperand2))};
  table.SetItem(row, ColOperand1, "");
  table.SetItem(row, ColOperand2, "");
  const std::string_view fault = DataFault(bytes, 0xff, DataAbove0xff);
  if (!fault.empty()) return ReportDataFault(fault, row, table);
  table.SetItem(row, ColCode, std::to_string(bytes[0] * 256 + bytes[1]));
  return 0;
}

int TMq71R04_ASMParserObject::EncodeDataWord(int row, TWorkTableObject& table) const {
  const std::array<int32_t, 1> word = {ParseNumber(table.Cell(row, ColOperand1))};
  table.SetItem(row, ColOperand1, "");
  const std::string_view fault = DataFault(word, 0xffff, DataAbove0xffff);
  if (!fault.empty()) return ReportDataFault(fault, row, table);
  table.SetItem(row, ColCode, std::to_string(word[0]));
  return 0;
}

// The filter compares whole messages, file and line filled in, so a directive's repeated fault
// prints once while the same fault on another line prints again.
int TMq71R04_ASMParserObject::ReportDataFault(std::string_view pattern, int row,
                                              const TWorkTableObject& table) const {
  std::string message =
      FormatMessage(pattern, {table.Cell(row, ColFile), table.Cell(row, ColLine)});
  if (message != out_->LastDataMessage) {
    out_->WriteLine(message);
    out_->LastDataMessage = std::move(message);
  }
  return 1;
}
