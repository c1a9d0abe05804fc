#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One operand of a decoded instruction.
struct DecodedOperand {
  enum class Form { Absent, Name, Number, Address };
  Form Kind = Form::Absent;
  std::string_view Name;  // a register or special register, spelt as in its table
  int32_t Value = 0;      // a constant, a word address, or a register's code
};

// An instruction read back from its word.
struct DecodedInstruction {
  int Position = -1;  // in the instruction table
  std::string_view Mnemonic;
  std::array<DecodedOperand, 2> Operands;
};

// Note [decoding]
// Words are read back by the encoder's own tables: an instruction's opcode and the fields of its
// format say where each operand stands in the word, and the shaping of the value field is undone
// (ldr's constant times 8 for #0 to #3, an address byte moved back into place). A reading counts
// only when the encoder, given the operands as label resolution would hand them over, makes the
// same word again; so every decoded instruction is proven to re-encode, and a word that no
// reading gives back is data.
//
// The encoder folds some forms together: lrah and lral give the word of a movl, lsah and lsal
// that of an ldr. The canonical reading of a word is the first instruction in table order that
// gives it, so movl and ldr win over the address loads, and lsal stands in for an ldr of #0 to
// #3 whose field is above 31 (the constant would exceed 0xff).

// The canonical instruction of `word`, or none for a data word.
std::optional<DecodedInstruction> DecodeWord(uint16_t word);
// `word` read as the instruction at `position` of the instruction table, when it gives the word.
std::optional<DecodedInstruction> DecodeWordAs(uint16_t word, int position);
// Two words read as the loads of the high and the low byte of one address (lrah and lral, or
// lsah and lsal), when such a pair gives both words; the operands then hold the whole address.
std::optional<std::array<DecodedInstruction, 2>> DecodeAddressLoad(uint16_t high, uint16_t low);

// The word the encoder makes of `instruction`, or none when it refuses the operands.
std::optional<uint16_t> EncodedWord(const DecodedInstruction& instruction);
// An operand as the encoder reads it after label resolution: names as they are, constants in
// decimal, addresses as ten binary digits.
std::string ResolvedOperandText(const DecodedOperand& operand);
