// The encoder of the instruction set object: the table of the fifteen instruction formats
// (Instructionformats.h), read by one small loop, and the two kinds of data word.

#include <array>
#include <cstdint>
#include <string>

#include "isa/Instructionformats.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "support/Textutils.h"

namespace {

using namespace isa;

// Messages of the data words.
constexpr MessageForm DataNotNumeric =
    NativeMessage("[compiler error] %s(%s): Wrong value of operand. Value must be numeric.");
constexpr MessageForm DataAbove0xff = NativeMessage(
    "[compiler error] %s(%s): Wrong value of operand. Value must belong range 0...0xff.");
constexpr MessageForm DataAbove0xffff = NativeMessage(
    "[compiler error] %s(%s): Wrong value of operand. Value must belong range 0...0xffff.");
constexpr MessageForm DataNegative =
    NativeMessage("[compiler error] %s(%s): Wrong value of operand. Value must be positive or 0.");

// The row's cells, read in place: Cell checks the row as every access does, once for all cells.
// The reference lasts while no row is added or removed.
const TWorkTableObject::Row& CheckedRow(const TWorkTableObject& table, int row) {
  table.Cell(row, 0);
  return table.Rows()[static_cast<size_t>(row)];
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

// A resolved address is ten binary digits, read as a number with the binary suffix. Digits alone
// come to their binary value that way, and are read as such directly.
int32_t ReadValue(const TMq71R04_ASMParserObject& parser, ValueReading reading,
                  std::string_view text) {
  if (reading == Number) return parser.ParseNumber(text);
  int32_t value = 0;
  if (TMq71R04_ASMParserObject::BinaryToInt(text, value)) return value;
  return parser.ParseNumber(std::string(text) + "b");
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
        operands.Codes[i] = parser.RegisterCode(text);
        found = operands.Codes[i].empty() ? -1 : 0;
        break;
      case SpecialRegister:
        operands.Codes[i] = parser.SpecialRegisterCode(text);
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
// At most two messages: a noted register miss and the fault that ends the checks. The messages
// are those of the constant format table, pointed to: every row makes an outcome, and copying or
// clearing whole messages for it cost more than the checks themselves.
struct CheckOutcome {
  std::array<const MessageForm*, 2> Messages;
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
      outcome.Messages[outcome.MessageCount++] = &step.Message;
      outcome.Failed = true;
    } else if (step.Kind == Check::NothingNoted && outcome.Failed) {
      return outcome;
    } else if (!Passes(step.Kind, format, operands)) {
      outcome.Messages[outcome.MessageCount++] = &step.Message;
      outcome.Failed = true;
      return outcome;
    }
  }
  return outcome;
}

// The text of a field other than the value's bits; empty for those.
std::string_view FieldText(Field field, const RowOperands& operands) {
  switch (field) {
    case Operand1Code:
      return operands.Codes[0];
    case Operand2Code:
      return operands.Codes[1];
    case Operand1Text:
      return operands.Texts[0];
    case ValueBits:
    case Unused:
      break;
  }
  return {};
}

size_t FieldLength(const InstructionFormat& format, Field field, const RowOperands& operands) {
  if (field == ValueBits) return TMq71R04_ASMParserObject::BitCount(format.ValueWidth);
  return FieldText(field, operands).size();
}

// Copies the few characters of an opcode or a field without a library call; returns their end.
char* CopyShortText(std::string_view text, char* to) {
  MoveShortText(to, text.data(), text.size());
  return to + text.size();
}

// The opcode, then the fields in word order, then the binary suffix. The word is written into
// room made for all of it at once: appending piece by piece costs more than the few characters.
void BuildWord(const InstructionFormat& format, const RowOperands& operands,
               std::string_view entryCode, std::string& word) {
  const std::string_view opcode = format.FixedOpcode.empty() ? entryCode : format.FixedOpcode;
  size_t length = opcode.size() + 1;
  for (Field field : format.Fields) length += FieldLength(format, field, operands);
  word.resize(length);
  char* to = CopyShortText(opcode, word.data());
  for (Field field : format.Fields) {
    if (field == ValueBits) {
      to = TMq71R04_ASMParserObject::WriteBits(ShapeValue(format, operands), format.ValueWidth, to);
    } else {
      to = CopyShortText(FieldText(field, operands), to);
    }
  }
  *to = 'b';
}

// The message when the data values fail, else null; the checks run over all values at once, numeric
// first.
template <size_t Count>
const MessageForm* DataFault(const std::array<int32_t, Count>& values, int32_t maximum,
                             const MessageForm& rangeMessage) {
  const auto any = [&values](auto predicate) {
    for (int32_t value : values) {
      if (predicate(value)) return true;
    }
    return false;
  };
  if (any([](int32_t v) { return v == TMq71R04_ASMParserObject::InvalidNumber; })) {
    return &DataNotNumeric;
  }
  if (any([maximum](int32_t v) { return v > maximum; })) return &rangeMessage;
  if (any([](int32_t v) { return v < 0; })) return &DataNegative;
  return nullptr;
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
                                                TWorkTableObject& table) {
  const InstructionFormat* format = FormatAt(position);
  if (format == nullptr) return 1;
  const RowOperands operands = ReadOperands(*this, *format, cells);
  const CheckOutcome outcome = RunChecks(*format, operands);
  for (size_t i = 0; i < outcome.MessageCount; ++i) {
    Report(*outcome.Messages[i], cells[ColFile], cells[ColLine]);
  }
  if (outcome.Failed) return 1;
  BuildWord(*format, operands, cells[ColCode], word_);
  table.SetItem(row, ColCode, word_);
  return 0;
}

// .byte pairs: the first byte is the word's high byte. The operand columns are emptied before
// the checks, so also on failure.
int TMq71R04_ASMParserObject::EncodeDataByte(int row, TWorkTableObject& table) const {
  const std::array<int32_t, 2> bytes = {ParseNumber(table.Cell(row, ColOperand1)),
                                        ParseNumber(table.Cell(row, ColOperand2))};
  table.SetItem(row, ColOperand1, "");
  table.SetItem(row, ColOperand2, "");
  const MessageForm* fault = DataFault(bytes, 0xff, DataAbove0xff);
  if (fault != nullptr) return ReportDataFault(*fault, row, table);
  table.SetItem(row, ColCode, std::to_string(bytes[0] * 256 + bytes[1]));
  return 0;
}

int TMq71R04_ASMParserObject::EncodeDataWord(int row, TWorkTableObject& table) const {
  const std::array<int32_t, 1> word = {ParseNumber(table.Cell(row, ColOperand1))};
  table.SetItem(row, ColOperand1, "");
  const MessageForm* fault = DataFault(word, 0xffff, DataAbove0xffff);
  if (fault != nullptr) return ReportDataFault(*fault, row, table);
  table.SetItem(row, ColCode, std::to_string(word[0]));
  return 0;
}

// The filter compares whole native messages, file and line filled in, so a directive's repeated
// fault prints once while the same fault on another line prints again.
int TMq71R04_ASMParserObject::ReportDataFault(const MessageForm& form, int row,
                                              const TWorkTableObject& table) const {
  const Diagnostic diagnostic =
      Diagnostic::Of(form, SourcePlace::At(table.Cell(row, ColFile), table.Cell(row, ColLine)));
  std::string message = RenderNative(diagnostic);
  if (message != out_->LastDataMessage) {
    out_->Report(diagnostic);
    out_->LastDataMessage = std::move(message);
  }
  return 1;
}
