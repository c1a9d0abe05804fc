// The decoder: words back to instructions by the instruction and format tables that the encoder
// builds them with (Note [decoding]).

#include "isa/Instructiondecoder.h"

#include <array>
#include <string>

#include "isa/Instructionformats.h"
#include "isa/Instructiontables.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "support/Outputsink.h"
#include "worktable/Worktableobject.h"

namespace {

using namespace isa;
using Form = DecodedOperand::Form;

constexpr int WordWidth = 16;
constexpr int32_t HighestAddress = (1 << AddressWidth) - 1;

constexpr uint32_t BinaryValue(std::string_view digits) {
  uint32_t value = 0;
  for (char digit : digits) value = 2 * value + (digit == '1' ? 1 : 0);
  return value;
}

constexpr std::string_view OpcodeOf(const InstructionFormat& format, int position) {
  return format.FixedOpcode.empty() ? InstructionTable[static_cast<size_t>(position)].Value
                                    : format.FixedOpcode;
}

// A register code is as wide as the values of its table.
constexpr int CodeWidth(OperandKind kind) {
  const std::string_view code =
      kind == Register ? RegisterTable[0].Value : SpecialRegisterTable[0].Value;
  return static_cast<int>(code.size());
}

constexpr int FieldWidth(const InstructionFormat& format, Field field) {
  switch (field) {
    case Operand1Code:
      return CodeWidth(format.Operands[0]);
    case Operand2Code:
      return CodeWidth(format.Operands[1]);
    case ValueBits:
      return format.ValueWidth;
    case Operand1Text:
      return AddressWidth;
    case Unused:
      break;
  }
  return 0;
}

// The opcode and the fields of every instruction fill its word exactly, so that reading the
// fields in order accounts for every bit.
constexpr bool FieldsFillEveryWord() {
  for (const InstructionFormat& format : Formats) {
    for (int position = format.FirstPosition; position <= format.LastPosition; ++position) {
      size_t width = OpcodeOf(format, position).size();
      for (Field field : format.Fields) width += static_cast<size_t>(FieldWidth(format, field));
      if (width != WordWidth) return false;
    }
  }
  return true;
}
static_assert(FieldsFillEveryWord());

template <size_t Size>
std::string_view NameOfCode(const std::array<TableRow, Size>& table, uint32_t code) {
  for (const TableRow& row : table) {
    if (BinaryValue(row.Value) == code) return row.Name;
  }
  return {};
}

DecodedOperand CodeOperand(OperandKind kind, uint32_t code) {
  const std::string_view name =
      kind == Register ? NameOfCode(RegisterTable, code) : NameOfCode(SpecialRegisterTable, code);
  return {Form::Name, name, static_cast<int32_t>(code)};
}

// The value whose shaping gives `bits`; the re-encoding tells whether it is in range.
int32_t UnshapedValue(const InstructionFormat& format, const DecodedInstruction& instruction,
                      uint32_t bits) {
  const auto value = static_cast<int32_t>(bits);
  switch (format.Shaping) {
    case EighthForLowSpecials:
      return IsLowSpecialRegister(instruction.Operands[0].Name) ? value * 8 : value;
    case HighByte:
      return value << 8;
    case LowByte:
    case AsWritten:
      break;
  }
  return value;
}

// The operands of `word` as the format places them, not yet proven.
DecodedInstruction ReadFields(const InstructionFormat& format, int position, uint16_t word) {
  DecodedInstruction instruction{
      position, InstructionTable[static_cast<size_t>(position)].Name, {}};
  int rest = WordWidth - static_cast<int>(OpcodeOf(format, position).size());
  uint32_t valueBits = 0;
  for (Field field : format.Fields) {
    const int width = FieldWidth(format, field);
    rest -= width;
    const uint32_t bits = (static_cast<uint32_t>(word) >> rest) & ((1u << width) - 1);
    if (field == Operand1Code) instruction.Operands[0] = CodeOperand(format.Operands[0], bits);
    if (field == Operand2Code) instruction.Operands[1] = CodeOperand(format.Operands[1], bits);
    if (field == Operand1Text) {
      instruction.Operands[0] = {Form::Address, {}, static_cast<int32_t>(bits)};
    }
    if (field == ValueBits) valueBits = bits;
  }
  for (size_t i = 0; i < 2; ++i) {
    if (format.Operands[i] != Value) continue;
    const Form kind = format.Reading == BinaryAddress ? Form::Address : Form::Number;
    instruction.Operands[i] = {kind, {}, UnshapedValue(format, instruction, valueBits)};
  }
  return instruction;
}

// A source names addresses of ten bits only: label resolution refuses any other.
bool AddressesFitTenBits(const DecodedInstruction& instruction) {
  for (const DecodedOperand& operand : instruction.Operands) {
    if (operand.Kind == Form::Address && operand.Value > HighestAddress) return false;
  }
  return true;
}

bool GivesWord(const DecodedInstruction& instruction, uint16_t word) {
  if (!AddressesFitTenBits(instruction)) return false;
  const std::optional<uint16_t> encoded = EncodedWord(instruction);
  return encoded && *encoded == word;
}

}  // namespace

std::optional<DecodedInstruction> DecodeWordAs(uint16_t word, int position) {
  const InstructionFormat* format = FormatAt(position);
  if (format == nullptr) return std::nullopt;
  const std::string_view opcode = OpcodeOf(*format, position);
  const auto restWidth = static_cast<int>(WordWidth - opcode.size());
  if ((static_cast<uint32_t>(word) >> restWidth) != BinaryValue(opcode)) return std::nullopt;
  DecodedInstruction instruction = ReadFields(*format, position, word);
  if (!GivesWord(instruction, word)) return std::nullopt;
  return instruction;
}

std::optional<DecodedInstruction> DecodeWord(uint16_t word) {
  for (int position = 0; position < PositionCount; ++position) {
    if (auto instruction = DecodeWordAs(word, position)) return instruction;
  }
  return std::nullopt;
}

// The pairs are the formats that load an address's high byte, each with the format that loads
// the low byte into the same kind of register.
std::optional<std::array<DecodedInstruction, 2>> DecodeAddressLoad(uint16_t high, uint16_t low) {
  for (const InstructionFormat& highFormat : Formats) {
    if (highFormat.Shaping != HighByte) continue;
    for (const InstructionFormat& lowFormat : Formats) {
      if (lowFormat.Shaping != LowByte || lowFormat.Operands != highFormat.Operands) continue;
      auto highLoad = DecodeWordAs(high, highFormat.FirstPosition);
      auto lowLoad = DecodeWordAs(low, lowFormat.FirstPosition);
      if (!highLoad || !lowLoad) continue;
      const int32_t address = highLoad->Operands[1].Value | lowLoad->Operands[1].Value;
      highLoad->Operands[1].Value = address;
      lowLoad->Operands[1].Value = address;
      if (GivesWord(*highLoad, high) && GivesWord(*lowLoad, low)) {
        return std::array<DecodedInstruction, 2>{*highLoad, *lowLoad};
      }
    }
  }
  return std::nullopt;
}

std::string ResolvedOperandText(const DecodedOperand& operand) {
  switch (operand.Kind) {
    case Form::Name:
      return std::string(operand.Name);
    case Form::Number:
      return std::to_string(operand.Value);
    case Form::Address:
      return TMq71R04_ASMParserObject::IntToBits(operand.Value, AddressWidth);
    case Form::Absent:
      break;
  }
  return {};
}

// The row as command recognition and label resolution leave it, encoded by the encoding pass's
// own call.
std::optional<uint16_t> EncodedWord(const DecodedInstruction& instruction) {
  OutputSink refusals;  // the messages of a refused reading are of no interest
  TMq71R04_ASMParserObject parser(refusals);
  TWorkTableObject table;
  table.AddRow("", "", "", ResolvedOperandText(instruction.Operands[0]),
               ResolvedOperandText(instruction.Operands[1]), instruction.Mnemonic, "",
               parser.InstructionValue(instruction.Position));
  if (parser.TranslateLine(0, table) != 0) return std::nullopt;
  return static_cast<uint16_t>(parser.ParseNumber(table.Cell(0, ColCode)) & 0xffff);
}
