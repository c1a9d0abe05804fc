#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "support/Diagnostic.h"

// The fifteen instruction formats of the Mq71R04 core as one table: which operands a format
// takes, how they are checked and where their bits stand in the word. The encoder builds words
// by it and the decoder reads words back by it, so that there is one description of every
// format for both directions.

namespace isa {

// Messages of the instruction checks.
inline constexpr MessageForm SyntaxWrongRegister =
    NativeMessage("[compiler error] %s(%s): Syntax error. Wrong register name.");
inline constexpr MessageForm WrongRegister =
    NativeMessage("[compiler error] %s(%s): Wrong register name.");
inline constexpr MessageForm ConstantNotNumeric =
    NativeMessage("[compiler error] %s(%s): Wrong value of constant.Value must be numeric.");
inline constexpr MessageForm ConstantAbove0xff = NativeMessage(
    "[compiler error] %s(%s): Wrong value of constant. Value must belong range 0...0xff.");
inline constexpr MessageForm ConstantAbove0x1f = NativeMessage(
    "[compiler error] %s(%s): Wrong value of constant. Value must belong range 0...0x1f.");
inline constexpr MessageForm ConstantAbove0xf = NativeMessage(
    "[compiler error] %s(%s): Wrong value of constant. Value must belong range 0...0xf.");
inline constexpr MessageForm ConstantNegative =
    NativeMessage("[compiler error] %s(%s): Wrong value of constant. Value must be positive or 0.");
inline constexpr MessageForm OperandsNotAllowed =
    NativeMessage("[compiler error] %s(%s): Syntax error. Instruction does not require operands.");
inline constexpr MessageForm SecondJumpOperand =
    NativeMessage("[compiler error] %s(%s): Syntax error. Wrong address value.");
inline constexpr MessageForm SecondFlagOperand =
    NativeMessage("[compiler error] %s(%s): Syntax error. Invalid flag value.");
inline constexpr MessageForm FlagNotNumeric =
    NativeMessage("[compiler error] %s(%s): Wrong value of flag. Value must be numeric.");
inline constexpr MessageForm FlagNotABit =
    NativeMessage("[compiler error] %s(%s): Wrong value of flag. Value must be 0 or 1.");
inline constexpr MessageForm AddressNotNumeric =
    NativeMessage("[compiler error] %s(%s): Wrong value of address. Value must be numeric.");
inline constexpr MessageForm AddressAbove0x7ff = NativeMessage(
    "[compiler error] %s(%s): Wrong value of address. Value must belong range 0...0x7ff .");
inline constexpr MessageForm AddressNegative =
    NativeMessage("[compiler error] %s(%s): Wrong value of address. Value must be positive or 0.");

enum class OperandKind { None, Register, SpecialRegister, Value, JumpAddress };

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
  MessageForm Message{};
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
constexpr Checks ConstantChecks(const MessageForm& registerMessage,
                                const MessageForm& rangeMessage) {
  return {{{Check::RegistersFoundOrNoted, registerMessage},
           {Check::ValueNumeric, ConstantNotNumeric},
           {Check::ValueAtMostMaximum, rangeMessage},
           {Check::ValueNotNegative, ConstantNegative},
           {Check::NothingNoted, {}}}};
}

// lrah, lral, lsah, lsal: a wrong register stops before the address is tested.
inline constexpr Checks AddressChecks = {{{Check::RegistersFound, SyntaxWrongRegister},
                                          {Check::ValueNumeric, AddressNotNumeric},
                                          {Check::ValueAtMostMaximum, AddressAbove0x7ff},
                                          {Check::ValueNotNegative, AddressNegative}}};

inline constexpr Checks NoOperandChecks = {
    {{Check::Operand1Empty, OperandsNotAllowed}, {Check::Operand2Empty, OperandsNotAllowed}}};

inline constexpr Checks SingleRegisterChecks = {
    {{Check::RegistersFound, SyntaxWrongRegister}, {Check::Operand2Empty, SyntaxWrongRegister}}};

using enum OperandKind;
using enum ValueReading;
using enum ValueShaping;
using enum Field;

// Formats by table position. Register codes take 5 bits, special register codes 3.
// clang-format off
inline constexpr std::array<InstructionFormat, 19> Formats = {{
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
inline constexpr int PositionCount = Formats.back().LastPosition + 1;
inline constexpr std::array<int8_t, PositionCount> FormatOfPosition = [] {
  std::array<int8_t, PositionCount> index{};
  index.fill(-1);
  for (size_t f = 0; f < Formats.size(); ++f) {
    for (int position = Formats[f].FirstPosition; position <= Formats[f].LastPosition; ++position) {
      index[static_cast<size_t>(position)] = static_cast<int8_t>(f);
    }
  }
  return index;
}();

constexpr const InstructionFormat* FormatAt(int position) {
  if (position < 0 || position >= PositionCount) return nullptr;
  const int format = FormatOfPosition[static_cast<size_t>(position)];
  return format < 0 ? nullptr : &Formats[static_cast<size_t>(format)];
}

// A jump's address field: the ten binary digits of a word address that label resolution writes.
inline constexpr int AddressWidth = 10;

// ldr shifts for the first four special registers only, and only as written: "#0" to "#3".
constexpr bool IsLowSpecialRegister(std::string_view text) {
  return text.size() == 2 && text[0] == '#' && text[1] >= '0' && text[1] <= '3';
}

}  // namespace isa
